// A time read on a clock, to the instant it names: the daylight-saving gaps and overlaps of
// three continents, zones at :30 and :45, and the steps of a day and an hour across a change. The
// instants expected are Python's zoneinfo's for the same readings (fold 0: a time in a gap read on
// the offset before it, the first of two), from the same tz database.

#include "app/wall_clock.h"

#include <QTimeZone>
#include <gtest/gtest.h>
#include <string>

using namespace orvanta;

namespace {

QDateTime utc(const char* iso) {
    return QDateTime::fromString(QString::fromLatin1(iso), Qt::ISODate).toUTC();
}

QDateTime wall(const char* iso) {
    return QDateTime::fromString(QString::fromLatin1(iso), Qt::ISODate);
}

// "03:30 CEST": the instant on the zone's clock.
std::string onClock(const QDateTime& instant, const QTimeZone& zone) {
    const QDateTime local = instant.toTimeZone(zone);
    return (local.toString(QStringLiteral("HH:mm ")) + zone.abbreviation(local)).toStdString();
}

using Fit = WallInstant::Fit;

TEST(WallClock, GapsAndOverlapsOnThreeContinents) {
    const struct {
        const char* zone;
        const char* wall; // as typed
        Fit fit;
        const char* first;  // UTC
        const char* second; // UTC, for a time that comes twice
        const char* shown;  // the first on the zone's clock
    } cases[] = {
        // Spring: a wall time the clocks skip moves on by the gap.
        {"Europe/Berlin", "2028-03-26T02:30", Fit::Gap, "2028-03-26T01:30Z", nullptr, "03:30 CEST"},
        {"Europe/Berlin", "2028-03-26T02:00", Fit::Gap, "2028-03-26T01:00Z", nullptr, "03:00 CEST"},
        {"Europe/Berlin", "2028-03-26T01:59", Fit::Once, "2028-03-26T00:59Z", nullptr, "01:59 CET"},
        {"Europe/Berlin", "2028-03-26T03:00", Fit::Once, "2028-03-26T01:00Z", nullptr,
         "03:00 CEST"},
        {"Australia/Sydney", "2027-10-03T02:30", Fit::Gap, "2027-10-02T16:30Z", nullptr,
         "03:30 AEDT"},
        {"America/New_York", "2029-03-11T02:30", Fit::Gap, "2029-03-11T07:30Z", nullptr,
         "03:30 EDT"},
        // Autumn: a wall time the clocks repeat is the first of the two.
        {"Europe/Berlin", "2028-10-29T02:30", Fit::Twice, "2028-10-29T00:30Z", "2028-10-29T01:30Z",
         "02:30 CEST"},
        {"Europe/Berlin", "2028-10-29T02:00", Fit::Twice, "2028-10-29T00:00Z", "2028-10-29T01:00Z",
         "02:00 CEST"},
        {"Europe/Berlin", "2028-10-29T01:59", Fit::Once, "2028-10-28T23:59Z", nullptr,
         "01:59 CEST"},
        {"Europe/Berlin", "2028-10-29T03:00", Fit::Once, "2028-10-29T02:00Z", nullptr, "03:00 CET"},
        {"Australia/Sydney", "2027-04-04T02:30", Fit::Twice, "2027-04-03T15:30Z",
         "2027-04-03T16:30Z", "02:30 AEDT"},
        {"America/New_York", "2029-11-04T01:30", Fit::Twice, "2029-11-04T05:30Z",
         "2029-11-04T06:30Z", "01:30 EDT"},
        // Half-hour and three-quarter zones, and their changes: Adelaide's hour, Lord Howe's half
        // hour, Kathmandu's quarter when it left +05:30 at the start of 1986.
        {"Asia/Kolkata", "2027-02-20T05:44", Fit::Once, "2027-02-20T00:14Z", nullptr, "05:44 IST"},
        {"Asia/Kathmandu", "2027-02-20T06:00", Fit::Once, "2027-02-20T00:15Z", nullptr,
         "06:00 +0545"},
        {"Asia/Kathmandu", "1986-01-01T00:10", Fit::Gap, "1985-12-31T18:40Z", nullptr,
         "00:25 +0545"},
        {"Asia/Kathmandu", "1985-12-31T23:50", Fit::Once, "1985-12-31T18:20Z", nullptr,
         "23:50 +0530"},
        {"Australia/Adelaide", "2027-10-03T02:30", Fit::Gap, "2027-10-02T17:00Z", nullptr,
         "03:30 ACDT"},
        {"Australia/Adelaide", "2027-04-04T02:30", Fit::Twice, "2027-04-03T16:00Z",
         "2027-04-03T17:00Z", "02:30 ACDT"},
        {"Australia/Lord_Howe", "2027-10-03T02:15", Fit::Gap, "2027-10-02T15:45Z", nullptr,
         "02:45 +11"},
        {"Australia/Lord_Howe", "2027-04-04T01:45", Fit::Twice, "2027-04-03T14:45Z",
         "2027-04-03T15:15Z", "01:45 +11"},
        // The rules go on to the last year a date is taken in.
        {"Europe/Berlin", "9999-03-28T02:30", Fit::Gap, "9999-03-28T01:30Z", nullptr, "03:30 CEST"},
        {"Australia/Sydney", "9999-10-03T02:30", Fit::Gap, "9999-10-02T16:30Z", nullptr,
         "03:30 AEDT"},
        // UT has no changes.
        {"UTC", "2028-03-26T02:30", Fit::Once, "2028-03-26T02:30Z", nullptr, "02:30 UTC"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.zone) + " " + c.wall);
        const QTimeZone zone(c.zone);
        ASSERT_TRUE(zone.isValid());
        const QDateTime typed = wall(c.wall);
        const WallInstant taken = instantOfWallTime(typed.date(), typed.time(), zone);
        EXPECT_EQ(taken.fit, c.fit);
        EXPECT_EQ(taken.utc, utc(c.first));
        EXPECT_EQ(onClock(taken.utc, zone), c.shown);
        if (c.second != nullptr) {
            EXPECT_EQ(taken.second, utc(c.second));
        }
        EXPECT_EQ(taken.date, typed.date());
        EXPECT_EQ(taken.time, typed.time());
    }
}

// The window's words for each: the gap's size is the move, the overlap's the time between.
TEST(WallClock, WhatIsSaidOfAGapAndAnOverlap) {
    const struct {
        const char* zone;
        const char* wall;
        const char* where;
        const char* said;
    } cases[] = {
        {"Europe/Berlin", "2028-03-26T02:30", "in Berlin",
         "02:30 does not exist on 26 March in Berlin: shown for 03:30 CEST."},
        {"Australia/Sydney", "2027-10-03T02:30", "in Sydney",
         "02:30 does not exist on 3 October in Sydney: shown for 03:30 AEDT."},
        {"America/New_York", "2029-03-11T02:30", "in New York",
         "02:30 does not exist on 11 March in New York: shown for 03:30 EDT."},
        {"Europe/Berlin", "2028-10-29T02:30", "on this computer's clock",
         "02:30 comes twice on 29 October on this computer's clock: shown for the first, 02:30 "
         "CEST; the second, 02:30 CET, is 1 h later."},
        {"Australia/Lord_Howe", "2027-04-04T01:45", "in Lord Howe",
         "01:45 comes twice on 4 April in Lord Howe: shown for the first, 01:45 +11; the second, "
         "01:45 +1030, is 30 min later."},
        {"Asia/Kathmandu", "1986-01-01T00:10", "in Kathmandu",
         "00:10 does not exist on 1 January in Kathmandu: shown for 00:25 +0545."},
        {"Europe/Berlin", "2028-10-29T03:00", "in Berlin", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.wall);
        const QTimeZone zone(c.zone);
        const QDateTime typed = wall(c.wall);
        EXPECT_EQ(wallTimeNote(instantOfWallTime(typed.date(), typed.time(), zone), zone,
                               QString::fromLatin1(c.where))
                      .toStdString(),
                  c.said);
    }
}

// A day on keeps the wall time, 23 or 25 hours of real time across a change; an hour is one of
// real time, which across a change is two or none on the clock.
TEST(WallClock, StepsOfADayAndAnHourAcrossAChange) {
    const struct {
        const char* zone;
        const char* from; // UTC
        int days, hours;
        const char* to; // UTC
        const char* shown;
        Fit fit;
    } cases[] = {
        {"Europe/Berlin", "2028-03-25T11:00Z", 1, 0, "2028-03-26T10:00Z", "12:00 CEST", Fit::Once},
        {"Europe/Berlin", "2028-03-26T10:00Z", -1, 0, "2028-03-25T11:00Z", "12:00 CET", Fit::Once},
        {"Europe/Berlin", "2028-10-28T10:00Z", 1, 0, "2028-10-29T11:00Z", "12:00 CET", Fit::Once},
        {"Europe/Berlin", "2028-10-29T11:00Z", -1, 0, "2028-10-28T10:00Z", "12:00 CEST", Fit::Once},
        // A day on into the gap is moved on by it; into the overlap, the first.
        {"Europe/Berlin", "2028-03-25T01:30Z", 1, 0, "2028-03-26T01:30Z", "03:30 CEST", Fit::Gap},
        {"Europe/Berlin", "2028-10-30T01:30Z", -1, 0, "2028-10-29T00:30Z", "02:30 CEST",
         Fit::Twice},
        {"Europe/Berlin", "2028-03-26T00:30Z", 0, 1, "2028-03-26T01:30Z", "03:30 CEST", Fit::Once},
        {"Europe/Berlin", "2028-03-26T01:30Z", 0, -1, "2028-03-26T00:30Z", "01:30 CET", Fit::Once},
        {"Europe/Berlin", "2028-10-29T00:30Z", 0, 1, "2028-10-29T01:30Z", "02:30 CET", Fit::Once},
        {"Europe/Berlin", "2028-10-29T01:30Z", 0, -1, "2028-10-29T00:30Z", "02:30 CEST", Fit::Once},
        {"Australia/Sydney", "2027-10-02T02:00Z", 1, 0, "2027-10-03T01:00Z", "12:00 AEDT",
         Fit::Once},
        {"Australia/Sydney", "2027-10-02T15:30Z", 0, 1, "2027-10-02T16:30Z", "03:30 AEDT",
         Fit::Once},
        {"America/New_York", "2029-03-11T03:00Z", 1, 0, "2029-03-12T02:00Z", "22:00 EDT",
         Fit::Once},
        {"America/New_York", "2029-11-04T05:30Z", 0, 1, "2029-11-04T06:30Z", "01:30 EST",
         Fit::Once},
        {"America/New_York", "2029-11-05T06:30Z", -1, 0, "2029-11-04T05:30Z", "01:30 EDT",
         Fit::Twice},
        {"Asia/Kathmandu", "2027-02-20T00:15Z", 1, 0, "2027-02-21T00:15Z", "06:00 +0545",
         Fit::Once},
        {"Australia/Adelaide", "2027-10-02T16:30Z", 0, 1, "2027-10-02T17:30Z", "04:00 ACDT",
         Fit::Once},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.zone) + " " + c.from + " " + std::to_string(c.days) + " d " +
                     std::to_string(c.hours) + " h");
        const QTimeZone zone(c.zone);
        const WallInstant taken = steppedBy(utc(c.from), c.days, c.hours, zone);
        EXPECT_EQ(taken.utc, utc(c.to));
        EXPECT_EQ(onClock(taken.utc, zone), c.shown);
        EXPECT_EQ(taken.fit, c.fit);
    }
}

} // namespace
