#include "ephemeris/apparition_nights.h"
#include "ephemeris/julian_date.h"
#include "ephemeris/night.h"

#include <cmath>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>

using namespace orvanta;

namespace {

double jdOf(const std::string& iso) {
    UtcClockReading r{};
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    std::sscanf(iso.c_str(), "%d-%d-%dT%d:%d:%d", &year, &month, &day, &hour, &minute, &second);
    r.year = static_cast<std::uint16_t>(year);
    r.month = static_cast<std::uint8_t>(month);
    r.day = static_cast<std::uint8_t>(day);
    r.hour = static_cast<std::uint8_t>(hour);
    r.minute = static_cast<std::uint8_t>(minute);
    r.second = static_cast<std::uint8_t>(second);
    return julianDateValue(julianDateOfReading(r));
}

// The one night whose evening is `date` (YYYY-MM-DD) at the place.
ApparitionNight nightOfEvening(const std::string& date, const Place& where) {
    const double noon = jdOf(date + "T12:00:00") - where.longitude / 360;
    const std::vector<ApparitionNight> nights = apparitionNights(noon - 0.5, noon + 0.5, where);
    EXPECT_EQ(nights.size(), 1U);
    return nights.empty() ? ApparitionNight{} : nights.front();
}

} // namespace

// The best moment of each night against an independent implementation, through four
// apparitions seen from both hemispheres, from the months Mars is low in the dawn to those it is
// low in the dusk.
TEST(Nights, BestDarkAltitudeAgreesWithTheReference) {
    std::ifstream table(ORVANTA_NIGHTS_REFERENCE);
    std::string line;
    std::getline(table, line); // the heading
    int rows = 0;
    while (std::getline(table, line)) {
        std::istringstream fields(line);
        std::string name, evening, when, altitude;
        Place where{};
        fields >> name >> where.latitude >> where.longitude >> where.height >> evening >> when >>
            altitude;
        SCOPED_TRACE(line);
        ++rows;
        const ApparitionNight night = nightOfEvening(evening, where);
        ASSERT_EQ(night.best.has_value(), when != "none");
        if (night.best) {
            EXPECT_NEAR(night.best->altitude, std::stod(altitude), 0.3);
            EXPECT_NEAR(night.best->utJd, jdOf(when), 10.0 / 1440);
        }
    }
    EXPECT_EQ(rows, 52);
}

// The stretch a night is well placed in is the one Mars tonight tells as best seen, which that
// finds on its ten-minute samples: its first and last samples lie within the stretch, a step at
// most from its ends.
TEST(Nights, WellPlacedIsTonightsBestSeen) {
    const struct {
        Place where;
        const char* evening;
    } cases[] = {
        {{52.52, 13.405, 34}, "2027-02-19"},
        {{-33.87, 151.21, 20}, "2020-10-14"},
        {{-33.45, -70.67, 570}, "2035-09-15"},
    };
    for (const auto& [where, evening] : cases) {
        SCOPED_TRACE(evening);
        const ApparitionNight night = nightOfEvening(evening, where);
        const Tonight tonight = marsTonight(night.noon + 0.2, where);
        ASSERT_TRUE(tonight.best.has_value());
        ASSERT_EQ(night.wellPlaced.size(), 1U);
        const WellPlaced& stretch = night.wellPlaced.front();
        EXPECT_GE(tonight.best->from, stretch.from);
        EXPECT_LT(tonight.best->from - stretch.from, 10.0 / 1440);
        EXPECT_LE(tonight.best->to, stretch.to);
        EXPECT_LT(stretch.to - tonight.best->to, 10.0 / 1440);
    }
}
