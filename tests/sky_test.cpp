// Mars in the sky against an independent implementation's figures (tests/sky/reference.tsv, made
// by tests/sky/make_reference.py): at the equator, 60° N, 35° S and 70° N, either side of the date
// line, in 2003, 2027 and 2035 and near both solstices, with the nearest drawn star and the Moon,
// and Mars passing fainter stars (Singapore 2029, Anchorage 2027);
// stars and the Moon from 1950 to 2060 (tests/sky/stars.tsv); tonight's pass at awkward instants;
// and places typed or of time zones.

#include "ephemeris/closest_approach.h"
#include "ephemeris/encounter_state.h"
#include "ephemeris/julian_date.h"
#include "ephemeris/moon.h"
#include "ephemeris/night.h"
#include "ephemeris/opposition.h"
#include "ephemeris/place.h"
#include "ephemeris/sky.h"
#include "ephemeris/sky_chart.h"
#include "ephemeris/stars.h"
#include "ephemeris/time_scales.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

using namespace orvanta;

namespace {

constexpr double DEGREES = 3.14159265358979323846 / 180;

double jdOf(const std::string& iso) { // "2003-08-27T22:00:00"
    const auto n = [&](std::size_t at, std::size_t length) {
        return std::stoi(iso.substr(at, length));
    };
    return julianDateValue(julianDateFromCalendar(n(0, 4), n(5, 2), n(8, 2),
                                                  n(11, 2) + n(14, 2) / 60.0 + n(17, 2) / 3600.0));
}

TEST(Sky, AgreesWithAnIndependentImplementation) {
    std::ifstream table(ORVANTA_SKY_REFERENCE);
    std::string line;
    std::getline(table, line); // the heading
    int rows = 0;
    while (std::getline(table, line)) {
        std::istringstream fields(line);
        Place place{};
        std::string utc, constellation, rise, transit, set, transitAltitude, near, direction;
        double altitude = 0, azimuth = 0, nearDegrees = 0, moonDegrees = 0;
        fields >> place.latitude >> place.longitude >> place.height >> utc >> altitude >> azimuth;
        fields.ignore(1);
        std::getline(fields, constellation, '\t');
        fields >> rise >> transit >> set >> transitAltitude;
        fields.ignore(1);
        std::getline(fields, near, '\t');
        fields >> nearDegrees >> direction >> moonDegrees;
        SCOPED_TRACE(line);
        ++rows;

        const double now = jdOf(utc);
        const Horizontal seen = horizontalOf(apparentMars(now), now, place);
        EXPECT_NEAR(refracted(seen.altitude), altitude, 0.05);
        EXPECT_NEAR(std::remainder(seen.azimuth - azimuth, 360.0), 0.0, 0.05);
        EXPECT_EQ(marsConstellation(now), constellation);

        const NearStar nearest = nearestStar(apparentMars(now), apparentStars(now));
        ASSERT_NE(nearest.star, nullptr);
        EXPECT_EQ(std::to_string(nearest.star->number), near);
        EXPECT_NEAR(nearest.degrees, nearDegrees, 0.02);
        EXPECT_EQ(nearest.direction, direction);
        EXPECT_NEAR(moonFrom(apparentMars(now), now, place), moonDegrees, 0.02);

        // The reference's events are each the first within 36 hours from half a day before.
        const MarsEvents events = marsEvents(now - 0.5, now + 1.0, place);
        const auto sameEvent = [](const std::vector<SkyEvent>& ours, const std::string& theirs) {
            return theirs == "none"
                       ? ours.empty()
                       : !ours.empty() && std::fabs(ours.front().utJd - jdOf(theirs)) * 1440 < 1.0;
        };
        EXPECT_TRUE(sameEvent(events.rises, rise)) << "rise";
        EXPECT_TRUE(sameEvent(events.transits, transit)) << "transit";
        EXPECT_TRUE(sameEvent(events.sets, set)) << "set";
        if (!events.transits.empty() && transitAltitude != "none") {
            EXPECT_NEAR(events.transits.front().degrees, std::stod(transitAltitude), 0.05);
        }
    }
    EXPECT_EQ(rows, 44);
}

// Tonight's pass: the one Mars is on, else the next; where it neither rises nor sets, the next
// transit alone. "On" is decided by the rise and set altitude, as the events are.
TEST(Sky, TonightIsThePassMarsIsOnOrTheNext) {
    enum Kind { ON, NEXT, ALWAYS, NEVER };
    const struct {
        Place place;
        const char* utc;
        Kind kind;
        bool best;
    } cases[] = {
        {{52.52, 13.405, 34}, "2027-02-20T00:14:00", ON, true},
        {{52.52, 13.405, 34}, "2027-02-20T07:00:00", NEXT, true}, // just after the set
        {{52.52, 13.405, 34}, "2027-02-19T15:50:00", NEXT, true}, // just before the rise
        {{80, 20, 0}, "2027-02-20T00:14:00", ALWAYS, true},       // circumpolar
        {{-80, 20, 0}, "2027-02-20T00:14:00", NEVER, false},      // never up
        {{69.65, 18.96, 0}, "2026-06-21T12:00:00", ON, false},    // the midnight Sun
        {{-18.1, 178.4, 0}, "2027-02-20T00:14:00", NEXT, true},   // west of the date line
        {{-14.3, -170.7, 0}, "2027-02-20T12:00:00", ON, true},    // east of it
        {{70, 19, 0}, "2035-09-15T20:00:00", ON, true},           // low in the south
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.utc + (" at " + std::to_string(c.place.latitude)));
        const double now = jdOf(c.utc);
        const Tonight night = marsTonight(now, c.place);
        const double altitude = horizontalOf(apparentMars(now), now, c.place).altitude;
        EXPECT_EQ(altitude > -34.0 / 60, c.kind == ON || c.kind == ALWAYS);
        EXPECT_EQ(night.alwaysUp, c.kind == ALWAYS);
        EXPECT_EQ(night.neverUp, c.kind == NEVER);
        ASSERT_TRUE(night.transit);
        if (c.kind == ALWAYS || c.kind == NEVER) {
            EXPECT_FALSE(night.rise || night.set);
            EXPECT_GT(night.transit->utJd, now);
            EXPECT_LT(night.transit->utJd, now + 1);
        } else {
            ASSERT_TRUE(night.rise && night.set);
            const double rise = night.rise->utJd, set = night.set->utJd;
            EXPECT_LT(rise, night.transit->utJd);
            EXPECT_LT(night.transit->utJd, set);
            // The pass Mars is on holds the instant; the next one is the first to begin after it.
            EXPECT_EQ(rise < now && now < set, c.kind == ON);
            if (c.kind == NEXT) {
                EXPECT_GT(rise, now);
                EXPECT_LT(rise, now + 1);
            }
            EXPECT_EQ(night.end, set);
        }
        ASSERT_EQ(night.best.has_value(), c.best);
        if (night.best) {
            EXPECT_LT(night.best->from, night.best->to);
            EXPECT_LE(night.best->to, night.end);
            if (!night.rise) {
                // Up all along: the dark stretch the instant is in, from its beginning hours
                // before, the polar evening.
                EXPECT_LT(night.best->from, now - 0.25);
                EXPECT_GE(night.best->to, now);
                continue;
            }
            EXPECT_GE(night.best->from, night.rise->utJd);
            // Best is what the words say it is: the Sun 12° or more down, Mars above 10°.
            EXPECT_TRUE(std::any_of(night.samples.begin(), night.samples.end(), [&](auto& s) {
                return s.utJd == night.best->from && s.sunAltitude <= -12.0 &&
                       s.mars.altitude > 10.0;
            }));
        }
    }
}

// The oppositions of 2003 to 2035 (tests/approaches/oppositions.tsv, by make_reference.py beside
// it), each found from the closest approach of its apparition as orvanta-state finds it; none
// near a conjunction.
TEST(Sky, OppositionsAgreeWithAnIndependentImplementation) {
    std::ifstream table(ORVANTA_OPPOSITIONS);
    std::string utc;
    std::getline(table, utc); // the heading
    const auto approaches =
        findClosestApproaches(jdOf("2003-01-01T00:00:00"), jdOf("2036-01-01T00:00:00"));
    std::size_t rows = 0;
    for (double elongation = 0; table >> utc >> elongation; ++rows) {
        ASSERT_LT(rows, approaches.size());
        const std::optional<double> found = oppositionNear(approaches[rows].julianDate);
        ASSERT_TRUE(found) << utc;
        EXPECT_NEAR(*found, jdOf(utc), 60.0 / 86400) << utc;
        EXPECT_NEAR(elongationOfMars(*found), elongation, 0.01) << utc;
    }
    EXPECT_EQ(rows, 16u);
    EXPECT_FALSE(oppositionNear(jdOf("2004-09-15T00:00:00")));
}

// The stationary points of 1990 to 2060 (tests/approaches/stationary.tsv, by
// make_stationary_reference.py beside it), to ten minutes, with their sense and Mars's longitude.
TEST(Sky, StationaryPointsAgreeWithAnIndependentImplementation) {
    std::ifstream table(ORVANTA_STATIONARY);
    std::string utc, sense;
    std::getline(table, utc); // the heading
    const std::vector<StationaryPoint> found =
        apparitionsBetween(jdOf("1990-01-01T00:00:00"), jdOf("2060-01-01T00:00:00"))
            .stationaryPoints;
    std::size_t rows = 0;
    for (double longitude = 0; table >> utc >> sense >> longitude; ++rows) {
        ASSERT_LT(rows, found.size()) << utc;
        EXPECT_NEAR(found[rows].utJd, jdOf(utc), 10.0 / 1440) << utc;
        EXPECT_EQ(found[rows].retrograde, sense == "retrograde") << utc;
        EXPECT_NEAR(found[rows].longitude, longitude, 0.01) << utc;
    }
    EXPECT_EQ(rows, found.size());
    EXPECT_EQ(rows, 66u);
}

// The apparent places of named stars (their proper motions included) and of the Moon; and Meeus's
// worked example for the Moon (Astronomical Algorithms 47.a, 1992 April 12 at 0h TT).
TEST(Sky, StarsAndTheMoonAgreeWithAnIndependentImplementation) {
    std::ifstream table(ORVANTA_STAR_REFERENCE);
    std::string line;
    std::getline(table, line); // the heading
    int rows = 0;
    while (std::getline(table, line)) {
        std::istringstream fields(line);
        std::string body, utc;
        double ra = 0, dec = 0;
        std::getline(fields, body, '\t');
        fields >> utc >> ra >> dec;
        SCOPED_TRACE(line);
        ++rows;
        const double now = jdOf(utc);
        const Equatorial theirs{ra * DEGREES, dec * DEGREES, 1};
        if (body == "Moon") {
            EXPECT_LT(separation(apparentMoon(now), theirs), 0.01);
            continue;
        }
        const auto star = std::find_if(stars().begin(), stars().end(),
                                       [&](const Star& s) { return s.name == body; });
        ASSERT_NE(star, stars().end());
        // Closer than aberration (20″) or nutation (17″) would leave it.
        EXPECT_LT(separation(ApparentSky(now).of(*star), theirs), 0.002);
    }
    EXPECT_EQ(rows, 42);
    const double tt = 2448724.5;
    const Equatorial moon = apparentMoon(tt - ttMinusUtSeconds(tt) / 86400);
    EXPECT_NEAR(moon.rightAscension / DEGREES, 134.688470, 0.0005);
    EXPECT_NEAR(moon.declination / DEGREES, 13.768368, 0.0005);
    EXPECT_NEAR(moon.distanceAu * KM_PER_AU, 368409.7, 1);
}

// The lit share of the Moon, from its place and the Sun's, through two lunations and across the
// centuries: within half a percent, the figure the words round to.
TEST(Sky, TheMoonsLitShareAgreesWithAnIndependentImplementation) {
    std::ifstream table(ORVANTA_MOON_REFERENCE);
    std::string line;
    std::getline(table, line); // the heading
    int rows = 0;
    while (std::getline(table, line)) {
        std::istringstream fields(line);
        std::string utc;
        double lit = 0;
        fields >> utc >> lit;
        SCOPED_TRACE(line);
        ++rows;
        const double now = jdOf(utc);
        EXPECT_NEAR(moonLitFraction(apparentMoon(now), apparentSun(now)), lit, 0.005);
    }
    EXPECT_EQ(rows, 32);
}

// The Moon's lit side is drawn towards the Sun: the point the chart gives for it lies a degree
// from the Moon and a degree nearer the Sun, in an evening crescent over Berlin (the Sun set in
// the west) and in a morning one over Sydney (the Sun still below the eastern horizon).
TEST(Sky, TheMoonsLitSideFacesTheSun) {
    const struct {
        Place place;
        const char* utc;
    } cases[] = {
        {{52.52, 13.405, 34}, "2027-02-10T17:30:00"},
        {{-33.87, 151.21, 20}, "2027-03-06T19:00:00"},
    };
    const auto apart = [](const Horizontal& a, const Horizontal& b) {
        return angleBetween(a.azimuth * DEGREES, a.altitude * DEGREES, b.azimuth * DEGREES,
                            b.altitude * DEGREES);
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.utc);
        const double now = jdOf(c.utc);
        const SkyChart chart = skyChartAt(now, c.place, chartPlacesAt(now), apparentMars(now), {});
        ASSERT_TRUE(chart.moon);
        EXPECT_LT(chart.moonLit, 0.3);
        EXPECT_NEAR(apart(*chart.moon, chart.moonTowardsSun), 1.0, 1e-6);
        EXPECT_NEAR(apart(chart.moonTowardsSun, chart.sun), apart(*chart.moon, chart.sun) - 1.0,
                    1e-6);
    }
}

// How lit the sky is, either side of each boundary of the Sun's altitude.
TEST(Sky, TheSkyLightByTheSunsAltitude) {
    const std::pair<double, SkyLight> cases[] = {
        {-0.83, SkyLight::Day},
        {-0.84, SkyLight::CivilTwilight},
        {-5.99, SkyLight::CivilTwilight},
        {-6.01, SkyLight::NauticalTwilight},
        {-11.99, SkyLight::NauticalTwilight},
        {-12.01, SkyLight::AstronomicalTwilight},
        {-17.99, SkyLight::AstronomicalTwilight},
        {-18.01, SkyLight::Night},
    };
    for (const auto& [altitude, light] : cases) {
        EXPECT_EQ(skyLightOf(altitude), light) << altitude;
    }
}

} // namespace
