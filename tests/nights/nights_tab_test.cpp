// The Approaches window's Nights tab: found only once shown, for the place Mars tonight keeps,
// around the approach picked, and a feature's nights marked in the chart and in the list.

#include "app/approaches_window.h"
#include "app/nights_tab.h"
#include "app/settings.h"
#include "ephemeris/utc_clock.h"
#include "panes/nights_chart_picture.h"

#include <QComboBox>
#include <QListWidget>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>

using namespace orvanta;

TEST(NightsTab, FollowsThePickFromThePlaceOfMarsTonight) {
    QTemporaryDir home;
    const QByteArray config = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.path()));
    saveSettings({{"sky/latitude", QStringLiteral("-33.45")},
                  {"sky/longitude", QStringLiteral("-70.67")},
                  {"sky/height", QStringLiteral("570")},
                  {"sky/name", QStringLiteral("Santiago")}});
    FixedUtcClock clock({2026, 12, 7, 12, 0, 0});
    ApproachesWindow window([](const CountdownChoice&) {});
    window.show();
    NightsTab& tab = *window.nights();
    const auto nights = [&] {
        EXPECT_TRUE(QTest::qWaitFor([&] { return !tab.finding(); }, 20000));
        return tab.chart()->scene() ? tab.chart()->scene()->nights : std::vector<ApparitionNight>{};
    };
    EXPECT_FALSE(tab.finding() || tab.chart()->scene()); // a tab never shown costs nothing
    window.views()->setCurrentWidget(&tab);
    // The next approach's (2027-02-20): from five months before its opposition to five after,
    // the place's nights, their opposition in the middle.
    std::vector<ApparitionNight> found = nights();
    ASSERT_EQ(found.size(), 304U);
    const double opposition = *tab.chart()->scene()->opposition;
    EXPECT_NEAR(opposition, 152, 1);
    const double approach2027 = 2461456.5;
    EXPECT_NEAR(found[static_cast<std::size_t>(opposition)].noon, approach2027, 2);
    // Each night from the place's mean noon, 4 h 43 min after Greenwich's (a Julian day's start).
    EXPECT_NEAR(found.front().noon - std::floor(found.front().noon), 70.67 / 360, 1e-6);
    // The approach picked in the list: its apparition instead.
    const auto& all = window.scene().chart.approaches;
    const auto later = std::find_if(
        all.begin(), all.end(), [&](const auto& a) { return a.julianDate > approach2027 + 800; });
    ASSERT_NE(later, all.end());
    window.list()->setCurrentRow(static_cast<int>(later - all.begin()) + 2);
    found = nights();
    ASSERT_FALSE(found.empty());
    EXPECT_NEAR(found[found.size() / 2].noon, later->julianDate, 12);
    // A feature chosen: some nights marked, the list saying when on those and on no other.
    tab.features()->setCurrentText(QStringLiteral("Syrtis Major"));
    nights();
    const std::vector<std::optional<double>>& facing = tab.chart()->scene()->facing;
    ASSERT_EQ(facing.size(), found.size());
    const auto marked =
        std::count_if(facing.begin(), facing.end(), [](const auto& f) { return f; });
    EXPECT_GT(marked, 10);
    EXPECT_LT(marked, static_cast<long>(found.size()) / 2);
    for (std::size_t i = 0; i < facing.size(); ++i) {
        EXPECT_EQ(window.nights()
                      ->list()
                      ->item(static_cast<int>(i))
                      ->text()
                      .contains(QStringLiteral("Syrtis Major faces Earth at")),
                  facing[i].has_value())
            << i;
    }
    qputenv("XDG_CONFIG_HOME", config);
}
