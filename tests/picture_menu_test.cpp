// Every picture's menu keeps the picture as drawn, under a name that can be a file's; a secondary
// click on an approach chooses nothing, and the menu's own entry does.

#include "app/approaches_window.h"
#include "app/mars_disk_panel.h"
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

// The entries of the menu a secondary click at `at` opens, `chosen` triggered among them.
QStringList menuAt(QWidget& picture, QPoint at, const QString& chosen = {}) {
    QContextMenuEvent e(QContextMenuEvent::Mouse, at, picture.mapToGlobal(at));
    QApplication::sendEvent(&picture, &e);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    QStringList texts;
    for (QAction* a : menu != nullptr ? menu->actions() : QList<QAction*>()) {
        texts << QString(a->text()).remove(QLatin1Char('&'));
        if (texts.back() == chosen) {
            a->trigger();
        }
    }
    if (menu != nullptr) {
        menu->close();
    }
    return texts;
}

TEST(PictureMenu, CopiesTheDrawingAndNeverChoosesOnASecondaryClick) {
    const FixedUtcClock clock({2027, 2, 20, 21, 0, 0});
    const Town town{"a/b\n", "", "Germany", "Europe/Berlin", {52.52, 13.405, 34}};
    SkyWindow sky(PlaceEntry(town.place, town));
    int chosen = 0;
    ApproachesWindow approaches([&](const CountdownChoice&) { ++chosen; });
    sky.show();
    approaches.show();
    DistanceChartPicture& chart = *approaches.chart();
    const QPoint onApproach = chart.placeOf(3).toPoint();
    QTest::mouseClick(&chart, Qt::RightButton, {}, onApproach);
    EXPECT_EQ(chosen, 0);
    for (QWidget* picture :
         std::initializer_list<QWidget*>{sky.dome(), sky.disks()->view(0), &chart}) {
        QGuiApplication::clipboard()->clear();
        EXPECT_TRUE(menuAt(*picture, onApproach, "Copy picture").contains("Save picture…"));
        const QImage copied = QGuiApplication::clipboard()->image();
        EXPECT_EQ(copied.size(), picture->size() * picture->devicePixelRatio());
        EXPECT_EQ(copied, picture->grab().toImage());
        // And the desktop's Copy key, where the picture has the focus.
        QGuiApplication::clipboard()->clear();
        picture->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(picture->window()));
        picture->setFocus();
        QTest::keySequence(picture, QKeySequence::Copy);
        EXPECT_EQ(QGuiApplication::clipboard()->image(), copied);
    }
    EXPECT_FALSE(menuAt(chart, {1, 1}).contains("Count down to this approach"));
    menuAt(chart, onApproach, "Count down to this approach");
    EXPECT_EQ(chosen, 1);
    EXPECT_EQ(approaches.scene().picked, 3);

    EXPECT_EQ(pictureFileName(*sky.dome()).toStdString(), "Mars tonight, a b, 2027-02-20.png");
    EXPECT_EQ(pictureFileName(chart).toStdString(), "Approaches 2012-2059.png");
}

TEST(PictureMenu, SavesAPngOrSaysWhyNot) {
    QTemporaryDir folder;
    QWidget picture;
    picture.resize(40, 30);
    EXPECT_EQ(savePicture(picture, folder.filePath("p.png")), QString());
    EXPECT_EQ(QImage(folder.filePath("p.png"), "PNG").size(), QSize(40, 30));
    for (const QString& bad : {folder.path(), folder.filePath("none/p.png")}) {
        EXPECT_TRUE(savePicture(picture, bad).startsWith("Not saved: " + bad));
    }
    const char* const names[][2] = {
        {"a/b\n", "a b.png"}, {"..\\x\t y", "x y.png"}, {"\n", "Orvanta.png"}};
    for (const auto& n : names) {
        EXPECT_EQ(pictureFileName(QString::fromUtf8(n[0])).toStdString(), n[1]);
    }
}

} // namespace
