// The Approaches window at a pinned instant: the approach counted to is marked where the chart
// puts its instant, at both pixel ratios, and choosing one by keyboard or mouse in the chart, or
// the list's own first entries, reaches the tip and the menu.

#include "app/approaches_window.h"
#include "app/main_window.h"
#include "display/approaches_scene.h"
#include "ephemeris/julian_date.h"
#include "ephemeris/utc_clock.h"
#include "panes/distance_chart_picture.h"
#include "panes/loop_picture.h"

#include <QAction>
#include <QCheckBox>
#include <QListWidget>
#include <QMenu>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QThreadPool>
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
        if (action->text() == QStringLiteral("Approaches…")) {
            action->trigger();
        }
    }
    return dynamic_cast<ApproachesWindow*>(main.approachesWindow());
}

TEST(ApproachesWindow, ChoosingAnApproachReachesTheTipAndTheMenu) {
    FixedUtcClock clock({2026, 12, 7, 12, 0, 0});
    setCountdownChoice({});
    MainWindow main(QRect(0, 0, 640, 480));
    ApproachesWindow* first = openApproaches(main);
    ApproachesWindow* window = openApproaches(main); // one at a time, as for "Mars tonight…"
    ASSERT_TRUE(window != nullptr && window == first && window->isVisible() && !window->isModal());

    // In the chart a click chooses; the arrow keys pick the approach after it, and Enter chooses.
    // (Choosing one in the list, and what follows it there, in the settings and after a restart,
    // the end-to-end test reads.)
    DistanceChartPicture* chart = window->chart();
    QTest::mouseClick(chart, Qt::LeftButton, {}, chart->placeOf(0).toPoint());
    EXPECT_TRUE(main.trayIcon()->toolTip().startsWith("Quellmark Orvanta 2012-03-05, "));
    QTest::keyClick(chart, Qt::Key_Right);
    QTest::keyClick(chart, Qt::Key_Return);
    EXPECT_TRUE(main.trayIcon()->toolTip().startsWith("Quellmark Orvanta 2014-04-14, "));
    const QAction* chosen = main.trayMenu()->actions().at(1)->menu()->actions().at(2);
    EXPECT_TRUE(chosen->isVisible() && chosen->isChecked() && chosen->text() == "2014-04-14");

    // The list's own first entries, and the menu's.
    QListWidget* list = window->list();
    QTest::keyClick(list, Qt::Key_Home);
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(countdownChoice().target, CountdownTarget::Next);
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
    QCheckBox* southUp = nullptr;
    for (QCheckBox* box : window.views()->findChildren<QCheckBox*>()) {
        southUp = box->text() == QStringLiteral("South up") ? box : southUp;
    }
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
    from->setFocus();
    // Typed, then a pause: "2030" alone, found off the GUI thread.
    QTest::keyClick(from, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(from, "2030");
    EXPECT_EQ(spansShownUntil(window, 2030), (std::vector<int>{2011, 2030}));
    // Typed and Enter, then a newer span before it was found: only the newer one is shown.
    QTest::keyClick(from, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(from, "1900");
    QTest::keyClick(from, Qt::Key_Return);
    EXPECT_TRUE(window.updating());
    from->setValue(1950);
    EXPECT_EQ(spansShownUntil(window, 1950), (std::vector<int>{2030, 1950}));
    EXPECT_FALSE(window.updating());
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
