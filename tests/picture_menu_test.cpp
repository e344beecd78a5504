// Every picture's menu keeps the picture as drawn: copied whole at the widget's size, saved as a
// PNG or refused in words, under a name that can be a file's; a secondary click on an approach
// chooses nothing, and the menu's own entry does.

#include "app/approaches_window.h"
#include "app/sky_window.h"
#include "ephemeris/utc_clock.h"
#include "panes/distance_chart_picture.h"
#include "panes/mars_disk_view.h"
#include "panes/picture_menu.h"
#include "panes/sky_dome.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace orvanta;

namespace {

// The menu a secondary click at `at` opens, and its entries' text.
QStringList menuAt(QWidget& picture, QPoint at, QMenu** menu) {
    QContextMenuEvent e(QContextMenuEvent::Mouse, at, picture.mapToGlobal(at));
    QApplication::sendEvent(&picture, &e);
    *menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    QStringList texts;
    for (const QAction* a : *menu != nullptr ? (*menu)->actions() : QList<QAction*>()) {
        texts << a->text();
    }
    return texts;
}

void trigger(QMenu* menu, const QString& text) {
    for (QAction* a : menu->actions()) {
        if (a->text() == text) {
            a->trigger();
        }
    }
    menu->close();
}

TEST(PictureMenu, CopiesTheDrawingAndNeverChoosesOnASecondaryClick) {
    const FixedUtcClock clock({2027, 2, 20, 21, 0, 0});
    const Town town{"a/b\n", "", "Germany", "Europe/Berlin", {52.52, 13.405, 34}};
    SkyWindow sky(PlaceEntry(town.place, town));
    int chosen = -1;
    ApproachesWindow approaches([&](const CountdownChoice&) { ++chosen; });
    sky.show();
    approaches.show();
    DistanceChartPicture& chart = *approaches.chart();
    const QPoint onApproach = chart.placeOf(3).toPoint();
    QTest::mouseClick(&chart, Qt::RightButton, {}, onApproach);
    EXPECT_EQ(chosen, -1);
    for (QWidget* picture :
         {static_cast<QWidget*>(sky.findChild<SkyDome*>()),
          static_cast<QWidget*>(sky.findChild<MarsDiskView*>()), static_cast<QWidget*>(&chart)}) {
        QMenu* menu = nullptr;
        const QStringList texts = menuAt(*picture, onApproach, &menu);
        ASSERT_NE(menu, nullptr);
        EXPECT_TRUE(texts.contains("Save picture…") && texts.contains("Copy picture"))
            << texts.join('|').toStdString();
        QGuiApplication::clipboard()->clear();
        trigger(menu, "Copy picture");
        const QImage copied = QGuiApplication::clipboard()->image();
        EXPECT_EQ(copied.size(), picture->size() * picture->devicePixelRatio());
        EXPECT_EQ(copied.convertToFormat(QImage::Format_RGB32),
                  picture->grab().toImage().convertToFormat(QImage::Format_RGB32));
    }
    QMenu* menu = nullptr;
    EXPECT_TRUE(menuAt(chart, onApproach, &menu).contains("Count down to this approach"));
    trigger(menu, "Count down to this approach");
    EXPECT_EQ(chosen, 0);
    EXPECT_EQ(approaches.scene().picked, 3);
    EXPECT_FALSE(menuAt(chart, {1, 1}, &menu).contains("Count down to this approach"));
    menu->close();

    // The name proposed: the place and the date, safe as a file's whatever the town is called.
    EXPECT_EQ(pictureFileName(*sky.findChild<SkyDome*>()).toStdString(),
              "Mars tonight, a b, 2027-02-20.png");
    EXPECT_EQ(pictureFileName(chart).toStdString(), "Approaches 2012-2059.png");
}

TEST(PictureMenu, SavesAPngOrSaysWhyNot) {
    QTemporaryDir folder;
    QWidget picture;
    picture.resize(40, 30);
    picture.setStyleSheet("background: #3050a0");
    const QString good = folder.filePath("p.png");
    EXPECT_EQ(savePicture(picture, good), QString());
    EXPECT_EQ(QImage(good, "PNG").size(), QSize(40, 30));
    for (const QString& bad : {folder.path(), folder.filePath("none/p.png")}) {
        const QString why = savePicture(picture, bad);
        EXPECT_TRUE(why.startsWith("Not saved: " + bad) && !why.contains('\n'))
            << why.toStdString();
    }
    const struct {
        const char* name;
        const char* file;
    } names[] = {{"a/b\n", "a b.png"}, {"..\\x\t y", "x y.png"}, {"\n", "Orvanta.png"}};
    for (const auto& n : names) {
        EXPECT_EQ(pictureFileName(QString::fromUtf8(n.name)).toStdString(), n.file);
    }
}

} // namespace
