// The red night mode: all that "Mars tonight" and Approaches draw, their popups and tips too, in
// dark reds while it is on and as before once it is off; one choice for both windows, kept.

#include "app/approaches_window.h"
#include "app/night_red_setting.h"
#include "app/sky_window.h"
#include "panes/night_red.h"
#include "tests/pinned_at.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QDateTimeEdit>
#include <QFile>
#include <QHelpEvent>
#include <QLineEdit>
#include <QScrollArea>
#include <QStandardPaths>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

using namespace orvanta;

namespace {

std::unique_ptr<QWidget> open(bool sky) {
    if (sky) {
        return std::make_unique<SkyWindow>(Place{52.52, 13.405, 34});
    }
    return std::make_unique<ApproachesWindow>([](const CountdownChoice&) {});
}

QCheckBox* tick(QWidget& window) {
    auto* box = window.findChild<QCheckBox*>(QStringLiteral("nightRed"));
    // Where the window is narrow its parts scroll: the tick is brought into view to be clicked.
    if (auto* area = window.findChild<QScrollArea*>()) {
        area->ensureWidgetVisible(box);
    }
    return box;
}

// Pixels with green or blue, or a red past the cap; -1 where none is a readable red.
int outsideTheReds(const QImage& picture) {
    int outside = 0, readable = 0;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            const QRgb p = picture.pixel(x, y);
            outside += qGreen(p) > 8 || qBlue(p) > 8 || qRed(p) > NIGHT_RED_CAP ? 1 : 0;
            readable += qRed(p) > NIGHT_RED_CAP / 2 ? 1 : 0;
        }
    }
    return readable == 0 ? -1 : outside;
}

TEST(NightRed, EveryPixelOfBothWindowsIsRedWhileItIsOn) {
    const PinnedAt pinned({2027, 2, 20, 0, 14, 0});
    for (const bool sky : {true, false}) {
        const std::unique_ptr<QWidget> window = open(sky);
        window->show();
        const QImage before = window->grab().toImage();
        chooseNightRed(true);
        EXPECT_EQ(outsideTheReds(window->grab().toImage()), 0) << sky;
        chooseNightRed(false);
        EXPECT_EQ(window->grab().toImage(), before) << sky;
        chooseNightRed(true);
        // The popups, opened as the user opens them (a combo box's list, the calendar), a
        // completer's list and the tick's tip; any may be empty of words yet.
        const auto check = [sky](QWidget* popup) {
            ASSERT_NE(popup, nullptr);
            popup->show();
            EXPECT_LE(outsideTheReds(popup->grab().toImage()), 0)
                << sky << popup->metaObject()->className();
            popup->hide();
        };
        for (auto* box : window->findChildren<QComboBox*>()) {
            box->showPopup();
            check(box->view()->window());
        }
        for (auto* edit : window->findChildren<QDateTimeEdit*>()) {
            QTest::mouseClick(edit, Qt::LeftButton, {},
                              QPoint(edit->width() - 4, edit->height() / 2));
            check(QApplication::activePopupWidget());
        }
        if (auto* edit = window->findChild<QLineEdit*>(QStringLiteral("placeField"))) {
            check(edit->completer()->popup());
        }
        QHelpEvent help(QEvent::ToolTip, QPoint(2, 2), tick(*window)->mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(tick(*window), &help);
        int tips = 0;
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (top->inherits("QTipLabel") && top->isVisible()) {
                ++tips;
                check(top);
            }
        }
        EXPECT_EQ(tips, 1) << sky;
        chooseNightRed(false);
    }
}

TEST(NightRed, OneTickForBothWindowsKeptInTheSettings) {
    const PinnedAt pinned({2027, 2, 20, 0, 14, 0});
    QFile kept(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
               QStringLiteral("/orvanta/orvanta.conf"));
    const std::unique_ptr<QWidget> sky = open(true), approaches = open(false);
    sky->show();
    approaches->show();
    for (const bool on : {true, false}) {
        // On its box: the tick may be wider than its words, and only they and the box take a click.
        QCheckBox* box = tick(on ? *sky : *approaches);
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
        EXPECT_TRUE(tick(*sky)->isChecked() == on && tick(*approaches)->isChecked() == on);
        ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
        EXPECT_TRUE(kept.readAll().contains(on ? "nightRed=true" : "nightRed=false"));
        kept.close();
        // A window opened later takes the choice, drawn in the mode from the start.
        const std::unique_ptr<QWidget> later = open(true);
        later->show();
        EXPECT_EQ(tick(*later)->isChecked(), on);
        EXPECT_EQ(outsideTheReds(later->grab().toImage()) == 0, on);
    }
}

} // namespace
