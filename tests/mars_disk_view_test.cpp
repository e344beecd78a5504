// The disk as drawn: the map's markings where the geometry puts them, north up, the mirror a true
// mirror, the lit side towards the Sun; and the disk in words.

#include "app/mars_disk_panel.h"
#include "ephemeris/julian_date.h"
#include "panes/mars_disk_view.h"

#include <QAccessible>
#include <QCheckBox>
#include <cmath>
#include <gtest/gtest.h>
#include <memory>

using namespace orvanta;

namespace {

int brightness(const QImage& image, QPointF p) {
    const QColor c = image.pixelColor(p.toPoint());
    return c.red() + c.green() + c.blue();
}

// 2003-08-27 at 21:20 UT, the night of the approach: Syrtis Major on the central meridian, Hellas
// south of it, as the photographs of that night show them.
TEST(MarsDiskView, TheMarkingsOfTheNightOfTheApproach) {
    const MarsDisk disk =
        marsDiskAt(julianDateValue(julianDateFromCalendar(2003, 8, 27, 21 + 1 / 3.0)));
    QWidget window; // a part of a window, as in the program
    MarsDiskView view(&window);
    view.resize(240, 240);
    view.setDisk(disk);
    const QImage direct = view.grab().toImage();
    const DiskGeometry geometry(disk);
    const auto at = [&](double latitude, double west) {
        const DiskGeometry::Seen s = geometry.seen(latitude, west);
        return view.pointOf(s.x, s.y);
    };
    const QPointF syrtis = at(8.4, 290.5), hellas = at(-42.4, 289.5);
    EXPECT_LT(syrtis.y(), hellas.y() - 40);
    EXPECT_LT(brightness(direct, syrtis) * 2, brightness(direct, hellas));
    view.setMirrored(true);
    const QImage mirrored = view.grab().toImage();
    for (const QPointF p : {syrtis, hellas, at(20, 330), at(-10, 255)}) {
        EXPECT_EQ(direct.pixel(p.toPoint()),
                  mirrored.pixel(239 - p.toPoint().x(), p.toPoint().y()));
    }
    QAccessibleInterface* read = QAccessible::queryAccessibleInterface(&view);
    EXPECT_EQ(read->role(), QAccessible::Graphic);
    EXPECT_EQ(read->text(QAccessible::Description).toStdString(),
              "25.1 arcseconds across, 100 percent lit; tilted 19 degrees with the south pole "
              "towards us; central meridian 290 degrees. Syrtis Major near the central meridian; "
              "Hellas near the central meridian; Isidis Planitia near the central meridian; "
              "Hesperia Planum west of the central meridian.");
}

// 2005-06-23, near quadrature: 84 % lit, the dark side away from the Sun.
TEST(MarsDiskView, TheTerminatorOnTheLimbAwayFromTheSun) {
    const MarsDisk disk = marsDiskAt(julianDateValue(julianDateFromCalendar(2005, 6, 23, 12.5)));
    MarsDiskView view(nullptr);
    view.resize(240, 240);
    view.setDisk(disk);
    const QImage image = view.grab().toImage();
    for (const bool toSun : {true, false}) {
        const double angle = (disk.brightLimb + (toSun ? 0 : 180)) * M_PI / 180;
        const int seen =
            brightness(image, view.pointOf(-0.9 * std::sin(angle), 0.9 * std::cos(angle)));
        EXPECT_EQ(seen > 150, toSun) << seen;
        EXPECT_EQ(seen < 15, !toSun) << seen;
    }
}

// The mirror is kept for the next window, and turns the west limb to the left.
TEST(MarsDiskView, TheMirrorIsKept) {
    auto panel = std::make_unique<MarsDiskPanel>(nullptr);
    panel->resize(220, 420);
    ASSERT_FALSE(panel->mirror()->isChecked());
    panel->mirror()->click();
    panel = std::make_unique<MarsDiskPanel>(nullptr);
    panel->resize(220, 420);
    EXPECT_TRUE(panel->mirror()->isChecked());
    EXPECT_LT(panel->view(1)->pointOf(1, 0).x(), panel->view(1)->pointOf(-1, 0).x());
    panel->mirror()->click();
}

} // namespace
