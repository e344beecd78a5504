// The disk as drawn: the map's markings where the geometry puts them, north up, the mirror a true
// mirror and south up a half turn, every disk to one scale, the lit side towards the Sun; the
// disk and the season in words; the orientation kept, the earlier mirror choice read.

#include "app/mars_disk_panel.h"
#include "ephemeris/julian_date.h"
#include "panes/mars_disk_view.h"
#include "tests/scoped_environment.h"

#include <QAccessible>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
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
    view.setOrientation(DiskOrientation::Mirrored);
    const QImage mirrored = view.grab().toImage();
    for (const QPointF p : {syrtis, hellas, at(20, 330), at(-10, 255)}) {
        EXPECT_EQ(direct.pixel(p.toPoint()),
                  mirrored.pixel(239 - p.toPoint().x(), p.toPoint().y()));
    }
    // South up is the north-up picture turned half round, every pixel inside the limb.
    view.setOrientation(DiskOrientation::SouthUp);
    const QImage turned = view.grab().toImage();
    int compared = 0;
    for (int y = 0; y < 240; ++y) {
        for (int x = 0; x < 240; ++x) {
            if (std::hypot(x + 0.5 - 120, y + 0.5 - 120) < 100) {
                ASSERT_EQ(direct.pixel(x, y), turned.pixel(239 - x, 239 - y)) << x << ' ' << y;
                ++compared;
            }
        }
    }
    EXPECT_GT(compared, 30000);
    QAccessibleInterface* read = QAccessible::queryAccessibleInterface(&view);
    EXPECT_EQ(read->role(), QAccessible::Graphic);
    EXPECT_EQ(read->text(QAccessible::Description).toStdString(),
              "25.1 arcseconds across, 100 percent lit; tilted 19 degrees with the south pole "
              "towards us; central meridian 290 degrees. Ls 249°, late southern spring; the polar "
              "caps shown are the global map's, not the season's. Hellas near the central "
              "meridian; Syrtis Major near the central meridian; Isidis Planitia near the central "
              "meridian; Mare Tyrrhenum west of the central meridian.");
}

// One scale for every disk: 25" fills the view, 4" is 4/25 of it, and a disk of a few pixels is
// still a lit disk (the width measured on the middle row, the limb's soft pixel and rim within
// a pixel and a half).
TEST(MarsDiskView, EveryDiskToOneScale) {
    MarsDisk disk = marsDiskAt(julianDateValue(julianDateFromCalendar(2003, 8, 27, 21)));
    MarsDiskView view(nullptr);
    view.resize(240, 240);
    for (const double diameter : {25.0, 4.0, 1.2}) {
        disk.diameter = diameter;
        view.setDisk(disk);
        const QImage image = view.grab().toImage();
        const QRgb sky = image.pixel(120, 2);
        int first = 240, last = -1;
        for (int x = 12; x < 228; ++x) { // inside the E and W marks
            if (image.pixel(x, 120) != sky) {
                first = std::min(first, x);
                last = std::max(last, x);
            }
        }
        const double expected = diameter * view.pixelsPerArcsecond();
        EXPECT_NEAR(last - first + 1, expected + 2, 1.5) << diameter;
        EXPECT_GT(brightness(image, QPointF(120, 120)), 150) << diameter;
    }
    EXPECT_NEAR(view.pixelsPerArcsecond(), 208 / 25.0, 1e-9);
}

// The season of the hemisphere tilted towards us, by the thirds of each 90° of Ls.
TEST(MarsDiskView, TheSeasonInWords) {
    const struct {
        double ls, tilt;
        const char* said;
    } cases[] = {
        {253, -19, "Ls 253°, late southern spring"}, {253, 5, "Ls 253°, late northern autumn"},
        {0.2, 10, "Ls 0°, early northern spring"},   {359.8, -3, "Ls 0°, late southern summer"},
        {135, 25, "Ls 135°, mid northern summer"},   {60, -1, "Ls 60°, late southern autumn"},
        {290, 2, "Ls 290°, early northern winter"}};
    for (const auto& c : cases) {
        MarsDisk disk{};
        disk.solarLongitude = c.ls;
        disk.tilt = c.tilt;
        EXPECT_EQ(seasonText(disk), c.said);
    }
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

// The orientation is kept for the next window; a settings file of before, with only the mirror,
// still reads as mirrored; a kept orientation goes before it, one misspelt does not.
TEST(MarsDiskView, TheOrientationIsKept) {
    const struct {
        const char* file;
        DiskOrientation read;
    } cases[] = {{"", DiskOrientation::NorthUp},
                 {"[disk]\nmirrored=true\n", DiskOrientation::Mirrored},
                 {"[disk]\nmirrored=true\norientation=south-up\n", DiskOrientation::SouthUp},
                 {"[disk]\nmirrored=false\norientation=north-up\n", DiskOrientation::NorthUp},
                 {"[disk]\nmirrored=true\norientation=sideways\n", DiskOrientation::Mirrored}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        QTemporaryDir home;
        const ScopedEnvironment settingsFolder("XDG_CONFIG_HOME", home.path().toStdString());
        QDir().mkpath(home.path() + "/orvanta");
        QFile file(home.path() + "/orvanta/orvanta.conf");
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(c.file);
        file.close();
        testing::internal::CaptureStderr();
        auto panel = std::make_unique<MarsDiskPanel>(nullptr);
        testing::internal::GetCapturedStderr();
        EXPECT_EQ(panel->orientation()->currentIndex(), static_cast<int>(c.read));
        panel->orientation()->setCurrentIndex(2);
        panel = std::make_unique<MarsDiskPanel>(nullptr);
        panel->resize(220, 420);
        panel->showSky(
            skyTonight(2452879.4, Place{52.52, 13.405, 34}),
            [](double) { return std::string("00:00 UTC"); }, QTimeZone::utc());
        EXPECT_EQ(panel->orientation()->currentIndex(), 2);
        // North down, and east (x negative) on the right.
        EXPECT_GT(panel->view(1)->pointOf(0, 1).y(), panel->view(1)->pointOf(0, -1).y());
        EXPECT_LT(panel->view(1)->pointOf(1, 0).x(), panel->view(1)->pointOf(-1, 0).x());
    }
    // A kept value is echoed as words: terminal escapes in it neither retitle nor clear the
    // user's terminal.
    QTemporaryDir home;
    const ScopedEnvironment settingsFolder("XDG_CONFIG_HOME", home.path().toStdString());
    QDir().mkpath(home.path() + "/orvanta");
    QFile file(home.path() + "/orvanta/orvanta.conf");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[disk]\norientation=side\x1b]0;owned\x07\x1b[2Jways\n");
    file.close();
    testing::internal::CaptureStderr();
    const MarsDiskPanel panel(nullptr);
    const std::string warned = testing::internal::GetCapturedStderr();
    EXPECT_NE(warned.find("side\\x1b]0;owned\\x07\\x1b[2Jways"), std::string::npos) << warned;
    EXPECT_EQ(warned.find('\x1b'), std::string::npos);
}

} // namespace
