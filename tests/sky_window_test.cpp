// The "Mars tonight" window at a pinned instant and place: the facts in words and the picture.

#include "app/sky_window.h"
#include "ephemeris/encounter_state.h"
#include "ephemeris/utc_clock.h"

#include <QApplication>
#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>

using namespace orvanta;

namespace {

TEST(SkyWindow, TheNightOfTheApproachFromBerlin) {
    setenv("TZ", "Europe/Berlin", 1);
    FixedUtcClock clock({2027, 2, 20, 0, 14, 0});
    computeEncounterState();
    SkyWindow window(Place{52.52, 13.405, 34});
    window.show();
    // The times and directions an independent implementation gives (tests/sky/reference.tsv),
    // in local time.
    EXPECT_EQ(window.facts().toStdString(),
              "Rises at 16:59 in the east-north-east.\n"
              "Highest at 00:25, 53° above the horizon in the south.\n"
              "Sets at 07:52 in the west-north-west.\n"
              "Now 52° above the horizon in the south-south-west.\n"
              "In the constellation Leo, at magnitude -1.2.\n"
              "Near Regulus (4.0° north-east).\n"
              "Best seen from 18:50 to 05:50 (a dark sky, and Mars above 10°).");
    // Mars is drawn where it is now, low in the south-south-west of the dome, in red, and no
    // name, hour or star over it; the stars fill the north, where neither the track nor a name
    // is.
    QWidget* dome = window.childAt(20, 20);
    ASSERT_NE(dome, nullptr);
    const QImage picture = dome->grab().toImage();
    double x = 0, y = 0;
    int red = 0, stars = 0;
    for (int j = 0; j < picture.height(); ++j) {
        for (int i = 0; i < picture.width(); ++i) {
            const QColor c = picture.pixelColor(i, j);
            if (c.red() > 200 && c.green() < 100 && c.blue() < 80) {
                x += i, y += j, ++red;
            }
            stars += i > 20 && j > 60 && j < picture.height() / 3 &&
                     std::min({c.red(), c.green(), c.blue()}) > 160;
        }
    }
    ASSERT_GT(red, 100);
    for (int dx = -5; dx <= 5; ++dx) {
        for (int dy = -5; dy <= 5; ++dy) {
            const QColor c = picture.pixelColor(qRound(x / red) + dx, qRound(y / red) + dy);
            EXPECT_TRUE(dx * dx + dy * dy > 25 || (c.red() > 200 && c.green() < 100)) << dx << dy;
        }
    }
    EXPECT_GT(stars, 100);
    unsetenv("TZ");
}

// Clocks go forward in Berlin at 01:00 UTC on 2027-03-28: Mars rises and culminates in winter time
// (12:43:15 and 20:24:35 UTC) and sets in summer time (04:05:51 UTC).
TEST(SkyWindow, LocalTimesAcrossAChangeToSummerTime) {
    setenv("TZ", "Europe/Berlin", 1);
    FixedUtcClock clock({2027, 3, 27, 20, 0, 0});
    computeEncounterState();
    const SkyWindow window(Place{52.52, 13.405, 34});
    const std::string facts = window.facts().toStdString();
    EXPECT_NE(facts.find("Rises at 13:43 "), std::string::npos) << facts;
    EXPECT_NE(facts.find("Highest at 21:25,"), std::string::npos) << facts;
    EXPECT_NE(facts.find("Sets at 06:06 "), std::string::npos) << facts;
    unsetenv("TZ");
}

} // namespace
