// The Approaches window at a pinned instant: the approach counted to is marked where the chart
// puts its instant, at both pixel ratios, and only a deliberate choice (Enter, a double click, the
// button), not a click or the arrow keys that show one, counts down to it.

#include "app/approaches_window.h"
#include "app/main_window.h"
#include "app/settings.h"
#include "display/approaches_scene.h"
#include "ephemeris/julian_date.h"
#include "ephemeris/utc_clock.h"
#include "panes/distance_chart_picture.h"
#include "panes/loop_picture.h"
#include "tests/scoped_environment.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QThreadPool>
#include <algorithm>
#include <gtest/gtest.h>
#include <vector>

using namespace orvanta;

namespace {

constexpr double APPROACH_2035 = 2464582.096955; // 2035-09-11T14:19:37 UT

// Whether the target's colour runs down most of the upper half of the picture's column x.
bool marked(const QImage& picture, int x) {
    int yellow = 0;
    for (int y = picture.height() / 8; y < picture.height() / 2; ++y) {
        const QColor c = picture.pixelColor(x, y);
        yellow += c.red() > 200 && c.green() > 170 && c.blue() < 120;
    }
    return yellow > picture.height() * 3 / 10;
}

TEST(ApproachesWindow, TheTargetIsMarkedAtItsInstant) {
    FixedUtcClock clock({2026, 12, 7, 12, 0, 0});
    setCountdownChoice({CountdownTarget::Chosen, APPROACH_2035});
    computeEncounterState();
    ApproachesWindow window([](const CountdownChoice&) {});
    window.show();
    DistanceChartPicture& chart = *window.chart();
    // The default span: 15 years before now to 32 after, every approach in it.
    EXPECT_EQ(window.scene().chart.approaches.size(), 22u);
    ASSERT_EQ(window.scene().target, 11);
    for (const qreal ratio : {1.0, 2.0}) {
        QImage picture(chart.size() * ratio, QImage::Format_RGB32);
        picture.setDevicePixelRatio(ratio);
        chart.render(&picture);
        const int x = qRound(chart.xOf(APPROACH_2035) * ratio), off = qRound(3 * ratio);
        const bool near = marked(picture, x - 1) || marked(picture, x) || marked(picture, x + 1);
        EXPECT_TRUE(near && !marked(picture, x - off) && !marked(picture, x + off)) << ratio;
    }
    setCountdownChoice({});
}

// The Approaches window the tray menu opens (or brings forward).
ApproachesWindow* openApproaches(MainWindow& main) {
    for (QAction* action : main.trayMenu()->actions()) {
        if (action->text() == QStringLiteral("A&pproaches…")) {
            action->trigger();
        }
    }
    return dynamic_cast<ApproachesWindow*>(main.approachesWindow());
}

// Showing an approach is not counting down to it: only the primary button picks, a click or the
// arrow keys show, and Enter, a double click or the button count down, in the pictures and the
// list alike; the list's own first entries, the tip and the menu follow.
TEST(ApproachesWindow, ShowingIsNotCountingDown) {
    FixedUtcClock clock({2026, 12, 7, 12, 0, 0});
    setCountdownChoice({});
    MainWindow main(QRect(0, 0, 640, 480));
    ApproachesWindow* first = openApproaches(main);
    ApproachesWindow* window = openApproaches(main); // one at a time, as for "Mars tonight…"
    ASSERT_TRUE(window != nullptr && window == first && window->isVisible() && !window->isModal());
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    ApproachesPicture* chart = window->chart();
    auto* orbits = dynamic_cast<ApproachesPicture*>(window->views()->widget(0));
    QListWidget* list = window->list();
    QWidget* button = window->countDownButton();
    enum Act { CLICK, DOUBLE, KEY };
    constexpr int OF_2003 = -2, NEXT = -1;
    const struct {
        Act act;
        QWidget* where;
        int at; // an approach, or a key
        int picked, counted;
        Qt::MouseButton button = Qt::LeftButton;
    } steps[] = {
        {CLICK, chart, 0, -1, OF_2003, Qt::RightButton},
        {CLICK, orbits, 2, -1, OF_2003, Qt::MiddleButton},
        {CLICK, chart, 0, 0, OF_2003},
        {KEY, chart, Qt::Key_Right, 1, OF_2003},
        {KEY, chart, Qt::Key_Return, 1, 1},
        {CLICK, orbits, 3, 3, 1},
        {DOUBLE, chart, 5, 3, 1, Qt::RightButton},
        {DOUBLE, chart, 5, 5, 5},
        {CLICK, list, 7, 7, 5},
        {KEY, list, Qt::Key_Return, 7, 7},
        {DOUBLE, list, 2, 2, 2},
        {CLICK, list, 1, 1, 2},
        {CLICK, button, 0, 1, 1},
        {KEY, list, Qt::Key_Home, -1, 1},
        {KEY, list, Qt::Key_Down, -1, 1},
        {KEY, list, Qt::Key_Enter, -1, NEXT},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(&step - steps);
        QWidget* target = step.where == list ? list->viewport() : step.where;
        QPoint at = step.where->rect().center();
        if (auto* picture = dynamic_cast<ApproachesPicture*>(step.where);
            picture && step.act != KEY) {
            at = picture->placeOf(step.at).toPoint();
        } else if (step.where == list && step.act != KEY) {
            list->scrollToItem(list->item(step.at + 2));
            at = list->visualItemRect(list->item(step.at + 2)).center();
        }
        if (step.act == KEY) {
            step.where->setFocus();
            QTest::keyClick(step.where, static_cast<Qt::Key>(step.at));
        } else {
            QTest::mouseClick(target, step.button, {}, at);
        }
        if (step.act == DOUBLE) { // the rest of what a window system sends
            QTest::mouseDClick(target, step.button, {}, at);
            QTest::mouseRelease(target, step.button, {}, at);
        }
        const CountdownChoice choice = countdownChoice();
        const auto index = static_cast<std::size_t>(std::max(step.counted, 0));
        EXPECT_EQ(window->scene().picked, step.picked);
        EXPECT_EQ(choice.target, step.counted >= 0      ? CountdownTarget::Chosen
                                 : step.counted == NEXT ? CountdownTarget::Next
                                                        : CountdownTarget::Of2003);
        EXPECT_TRUE(step.counted < 0 ||
                    choice.chosenJd == window->scene().chart.approaches[index].julianDate);
    }
    const QAction* chosen = main.trayMenu()->actions().at(1)->menu()->actions().at(2);
    EXPECT_TRUE(chosen->isVisible() && chosen->text() == "The &chosen one, 2014-04-14");
    EXPECT_TRUE(main.trayIcon()->toolTip().startsWith("Quellmark Orvanta 2027-02-20, "));
    setCountdownChoice({});
}

TEST(ApproachesWindow, TheLoopFollowsThePick) {
    FixedUtcClock clock({2026, 12, 7, 12, 0, 0});
    setCountdownChoice({CountdownTarget::Chosen, APPROACH_2035});
    computeEncounterState();
    ApproachesWindow window([](const CountdownChoice&) {});
    window.show();
    const QSize least = window.minimumSizeHint();
    EXPECT_TRUE(least.width() <= 1366 && least.height() <= 740)
        << least.width() << "x" << least.height();
    window.views()->setCurrentIndex(1);
    // At first the one counted to; its stops in the words a screen reader reads.
    const auto shown = [&] { return window.loop()->scene()->loop.approach.julianDate; };
    ASSERT_TRUE(window.loop()->scene());
    EXPECT_NEAR(shown(), APPROACH_2035, 1e-5);
    const QString words = window.loop()->accessibleDescription();
    EXPECT_TRUE(words.contains("it stops on 15 August 2035 and moves west") &&
                words.contains("until 15 October 2035, then east again"))
        << words.toStdString();
    // The first one picked in the chart with the keyboard, then one clicked: the loop moves.
    DistanceChartPicture* chart = window.chart();
    QTest::keyClick(chart, Qt::Key_Right);
    EXPECT_EQ(shown(), window.scene().chart.approaches[0].julianDate);
    QTest::mouseClick(chart, Qt::LeftButton, {}, chart->placeOf(3).toPoint());
    EXPECT_EQ(shown(), window.scene().chart.approaches[3].julianDate);
    window.refresh(); // the minute's refresh keeps the pick
    EXPECT_EQ(shown(), window.scene().chart.approaches[3].julianDate);
    setCountdownChoice({});
}

// The southern view as the window is opened for a place south of the equator, switched in the
// tab, and kept for the next loop picked.
TEST(ApproachesWindow, TheLoopFromTheSouth) {
    FixedUtcClock clock({2026, 12, 7, 12, 0, 0});
    computeEncounterState();
    ApproachesWindow window([](const CountdownChoice&) {}, 0, 0, true);
    window.show();
    window.views()->setCurrentIndex(1);
    auto* southUp = qobject_cast<QCheckBox*>(window.views()->cornerWidget());
    ASSERT_TRUE(southUp && window.loop()->scene());
    EXPECT_TRUE(southUp->isChecked() && window.loop()->scene()->southUp);
    southUp->click();
    EXPECT_FALSE(window.loop()->scene()->southUp);
    QTest::keyClick(window.chart(), Qt::Key_Right);
    EXPECT_FALSE(window.loop()->scene()->southUp);
    southUp->click();
    QTest::keyClick(window.chart(), Qt::Key_Right);
    EXPECT_TRUE(window.loop()->scene()->southUp);
}

int firstYearShown(const ApproachesWindow& window) {
    return calendarOfJulianDate(window.scene().chart.fromJd).year;
}

// The first years of the spans the window shows until it shows `last` and finds nothing more (or
// ten seconds have passed), each once, in order.
std::vector<int> spansShownUntil(const ApproachesWindow& window, int last) {
    std::vector<int> seen;
    (void)QTest::qWaitFor(
        [&] {
            const int year = firstYearShown(window);
            if (seen.empty() || seen.back() != year) {
                seen.push_back(year);
            }
            return year == last && !window.updating();
        },
        10000);
    return seen;
}

TEST(ApproachesWindow, ATypedYearIsTakenWhenItIsWhole) {
    FixedUtcClock clock({2026, 12, 7, 12, 0, 0});
    ApproachesWindow window([](const CountdownChoice&) {});
    window.show();
    QSpinBox* from = window.fromYear();
    const auto type = [&](const char* year) {
        from->setFocus();
        QTest::keyClick(from, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(from, year);
    };
    // Not taken while one who types slowly may still be typing ("200" of "2000"); then a pause,
    // or leaving the box, takes it, found off the GUI thread.
    type("200");
    QTest::qWait(400);
    EXPECT_FALSE(window.updating() || firstYearShown(window) == 200);
    EXPECT_EQ(spansShownUntil(window, 200), (std::vector<int>{2011, 200}));
    type("2030");
    window.list()->setFocus();
    EXPECT_EQ(spansShownUntil(window, 2030), (std::vector<int>{200, 2030}));
    // Typed and Enter, then a newer span before it was found: only the newer one is shown.
    type("1900");
    QTest::keyClick(from, Qt::Key_Return);
    EXPECT_TRUE(window.updating());
    from->setValue(1950);
    EXPECT_EQ(spansShownUntil(window, 1950), (std::vector<int>{2030, 1950}));
    EXPECT_FALSE(window.updating());
}

// The row picked is in view, whole, at the window's least size as at its usual one, with no
// scroll bar across the list to hide it; its times in UT or on the computer's clock.
TEST(ApproachesWindow, ThePickedRowInViewOnEitherClock) {
    FixedUtcClock clock({2026, 12, 7, 12, 0, 0});
    const ScopedEnvironment zone("TZ", "Europe/Berlin");
    ApproachesWindow window([](const CountdownChoice&) {});
    window.show();
    QListWidget* list = window.list();
    const struct {
        QSize size;
        int times;
        const char* row; // 2035's
    } cases[] = {
        {window.minimumSize(), 1, "2035-09-11 16:20 CEST: 56.91 million km"},
        {window.minimumSize(), 0, "2035-09-11 14:20 UT: 56.91 million km"},
        {QSize(1000, 720), 1, "2035-09-11 16:20 CEST: 56.91 million km"},
    };
    for (const auto& c : cases) {
        window.resize(c.size);
        window.times()->setCurrentIndex(c.times);
        list->setCurrentRow(11 + 2);
        QCoreApplication::processEvents();
        QListWidgetItem* item = list->currentItem();
        EXPECT_TRUE(item->text().startsWith(c.row)) << item->text().toStdString();
        EXPECT_TRUE(list->viewport()->rect().contains(list->visualItemRect(item)))
            << c.size.width();
        EXPECT_FALSE(list->horizontalScrollBar()->isVisible()) << c.size.width();
        EXPECT_EQ(readSetting("approaches/times"), c.times == 1 ? "local" : "ut");
    }
}

// The approach picked stays picked in a new span that holds it, by its instant, and is let go in
// one that does not; spans that come one after the other, with no paint between, leave the list
// and the pictures on the last one.
TEST(ApproachesWindow, ThePickAcrossSpans) {
    FixedUtcClock clock({2026, 12, 7, 12, 0, 0});
    ApproachesWindow window([](const CountdownChoice&) {});
    window.show();
    const auto indexOf = [&](double jd) {
        const auto& all = window.scene().chart.approaches;
        for (std::size_t i = 0; i < all.size(); ++i) {
            if (all[i].julianDate == jd) {
                return static_cast<int>(i);
            }
        }
        return -1;
    };
    const double picked = window.scene().chart.approaches[11].julianDate; // 2035's
    window.list()->setCurrentRow(11 + 2);
    const struct {
        std::vector<int> fromYears; // set one after the other, the last one waited for
        bool kept;
    } cases[] = {
        {{2030}, true},
        {{2040, 2030}, true},
        {{2030, 2040}, false},
        {{2030}, false}, // once let go, not picked again
    };
    for (const auto& c : cases) {
        for (const int year : c.fromYears) {
            window.fromYear()->setValue(year);
        }
        ASSERT_EQ(spansShownUntil(window, c.fromYears.back()).back(), c.fromYears.back());
        const int expected = c.kept ? indexOf(picked) : -1;
        EXPECT_TRUE(!c.kept || expected >= 0);
        EXPECT_EQ(window.scene().picked, expected) << c.fromYears.back();
        EXPECT_EQ(window.list()->currentRow(), c.kept ? expected + 2 : -1);
        EXPECT_FALSE(window.grab().isNull());
    }
}

// A span still being found when the window closes (and so is deleted) reaches no window: the
// program goes on, and the window opens anew on its default span.
TEST(ApproachesWindow, ASpanFoundAfterTheWindowClosed) {
    FixedUtcClock clock({2026, 12, 7, 12, 0, 0});
    setCountdownChoice({});
    MainWindow main(QRect(0, 0, 640, 480));
    ApproachesWindow* window = openApproaches(main);
    ASSERT_NE(window, nullptr);
    window->fromYear()->setValue(1800);
    ASSERT_TRUE(window->updating());
    window->close();
    EXPECT_TRUE(QTest::qWaitFor([&] { return main.approachesWindow() == nullptr; }, 10000));
    EXPECT_TRUE(QThreadPool::globalInstance()->waitForDone(10000));
    QCoreApplication::processEvents();
    window = openApproaches(main);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(firstYearShown(*window), 2011);
    window->close();
}

} // namespace

// The curve kept for a span is drawn anew for another span of as many samples, even where the
// new span's samples take the old one's memory, as a vector assigned anew does.
TEST(DistanceChart, ANewSpanInTheSameMemoryIsDrawnAnew) {
    const double days = 47 * 365.25, from = julianDateOfYear(2000), later = julianDateOfYear(2100);
    const ApproachesSpan first = approachesSpan(from, from + days);
    const ApproachesSpan second = approachesSpan(later, later + days);
    ASSERT_EQ(first.chart.curve.size(), second.chart.curve.size());
    ApproachesScene scene{first.chart, first.topAu, {}, 0, -1, -1};
    DistanceChartPicture picture(nullptr, scene, [](int, bool) {});
    picture.resize(720, 290);
    (void)picture.grab();
    const DistanceSample* memory = scene.chart.curve.data();
    scene.chart = second.chart;
    scene.topAu = second.topAu;
    ASSERT_EQ(scene.chart.curve.data(), memory);
    ApproachesScene fresh{second.chart, second.topAu, {}, 0, -1, -1};
    DistanceChartPicture drawnOnce(nullptr, fresh, [](int, bool) {});
    drawnOnce.resize(720, 290);
    EXPECT_EQ(picture.grab().toImage(), drawnOnce.grab().toImage());
}
