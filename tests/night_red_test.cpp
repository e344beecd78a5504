// The red night mode: all that "Mars tonight" and Approaches draw, their popups too, in dark reds
// while it is on and as before once it is off again; one choice for both windows, kept.

#include "app/approaches_window.h"
#include "app/night_red_setting.h"
#include "app/sky_window.h"
#include "panes/night_red.h"
#include "rules/settings_text.h"
#include "tests/pinned_at.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QCompleter>
#include <QFile>
#include <QHelpEvent>
#include <QLineEdit>
#include <QStandardPaths>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

using namespace orvanta;

namespace {

// How many pixels hold green or blue, or a red past the cap; and whether any is a readable red.
std::pair<int, bool> outsideTheReds(const QImage& picture) {
    int outside = 0;
    bool readable = false;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            const QRgb p = picture.pixel(x, y);
            outside += qGreen(p) > 8 || qBlue(p) > 8 || qRed(p) > NIGHT_RED_CAP ? 1 : 0;
            readable = readable || qRed(p) > NIGHT_RED_CAP / 2;
        }
    }
    return {outside, readable};
}

// The window and the popups it opens (a combo box's list, the calendar, a completer's list, the
// tip of its tick).
std::vector<QWidget*> drawnBy(QWidget& window) {
    auto* tick = window.findChild<QCheckBox*>(QStringLiteral("nightRed"));
    QHelpEvent help(QEvent::ToolTip, QPoint(2, 2), tick->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(tick, &help);
    std::vector<QWidget*> all{&window};
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (top->inherits("QTipLabel") && top->isVisible()) {
            all.push_back(top);
        }
    }
    for (QWidget* child : window.findChildren<QWidget*>()) {
        if (child->isWindow()) {
            all.push_back(child);
        }
    }
    for (auto* edit : window.findChildren<QLineEdit*>()) {
        if (edit->completer() != nullptr) {
            all.push_back(edit->completer()->popup());
        }
    }
    return all;
}

const struct {
    const char* name;
    std::function<std::unique_ptr<QWidget>()> open;
} WINDOWS[] = {
    {"Mars tonight",
     [] {
         return std::make_unique<SkyWindow>(Place{52.52, 13.405, 34});
     }},
    {"Approaches",
     [] { return std::make_unique<ApproachesWindow>([](const CountdownChoice&) {}); }},
};

TEST(NightRed, EveryPixelOfBothWindowsIsRedWhileItIsOn) {
    const PinnedAt pinned({2027, 2, 20, 0, 14, 0});
    for (const auto& w : WINDOWS) {
        const std::unique_ptr<QWidget> window = w.open();
        window->show();
        const QImage before = window->grab().toImage();
        chooseNightRed(true);
        for (QWidget* drawn : drawnBy(*window)) {
            // Shown as the user sees them, popups too, so that each is laid out and painted whole.
            drawn->show();
            const auto [outside, readable] = outsideTheReds(drawn->grab().toImage());
            EXPECT_EQ(outside, 0) << w.name << ": " << drawn->metaObject()->className();
            // Not all black: its words can be read (a popup may be empty yet).
            EXPECT_TRUE(readable || drawn != window.get()) << w.name;
            if (drawn != window.get()) {
                drawn->hide();
            }
        }
        chooseNightRed(false);
        EXPECT_EQ(window->grab().toImage(), before) << w.name;
    }
}

TEST(NightRed, OneTickForBothWindowsKeptInTheSettings) {
    const PinnedAt pinned({2027, 2, 20, 0, 14, 0});
    const QString file = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                         QStringLiteral("/orvanta/orvanta.conf");
    const auto kept = [&] {
        QFile in(file);
        const auto text = in.open(QIODevice::ReadOnly)
                              ? SettingsText::parse(in.readAll().toStdString())
                              : std::nullopt;
        return text ? text->value(NIGHT_RED_SETTING) : std::nullopt;
    };
    const std::unique_ptr<QWidget> sky = WINDOWS[0].open(), approaches = WINDOWS[1].open();
    const auto tick = [](QWidget& window) {
        return window.findChild<QCheckBox*>(QStringLiteral("nightRed"));
    };
    for (const bool on : {true, false}) {
        QTest::mouseClick(tick(on ? *sky : *approaches), Qt::LeftButton);
        EXPECT_EQ(tick(*sky)->isChecked(), on);
        EXPECT_EQ(tick(*approaches)->isChecked(), on);
        EXPECT_EQ(kept(), on ? "true" : "false");
        // A window opened later takes the choice, drawn in the mode from the start.
        const std::unique_ptr<QWidget> later = WINDOWS[0].open();
        later->show();
        EXPECT_EQ(tick(*later)->isChecked(), on);
        EXPECT_EQ(outsideTheReds(later->grab().toImage()).first == 0, on);
    }
}

} // namespace
