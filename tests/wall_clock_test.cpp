// Expected instants are Python zoneinfo's (fold 0) for the same readings, from the same tz data.

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

using Fit = WallInstant::Fit;

TEST(WallClock, GapsAndOverlapsOnThreeContinents) {
    const struct {
        const char* zone;
        const char* wall;
        Fit fit;
        const char* first; // UTC
        int later;         // minutes to the second of a time that comes twice
    } cases[] = {
        // The edges of Berlin's gap and overlap catch an off-by-one at either end.
        {"Europe/Berlin", "2028-03-26T02:30", Fit::Gap, "2028-03-26T01:30Z", 0},
        {"Europe/Berlin", "2028-03-26T02:00", Fit::Gap, "2028-03-26T01:00Z", 0},
        {"Europe/Berlin", "2028-03-26T01:59", Fit::Once, "2028-03-26T00:59Z", 0},
        {"Europe/Berlin", "2028-03-26T03:00", Fit::Once, "2028-03-26T01:00Z", 0},
        {"Europe/Berlin", "2028-10-29T02:30", Fit::Twice, "2028-10-29T00:30Z", 60},
        {"Europe/Berlin", "2028-10-29T02:00", Fit::Twice, "2028-10-29T00:00Z", 60},
        {"Europe/Berlin", "2028-10-29T01:59", Fit::Once, "2028-10-28T23:59Z", 0},
        {"Europe/Berlin", "2028-10-29T03:00", Fit::Once, "2028-10-29T02:00Z", 0},
        {"Australia/Sydney", "2027-10-03T02:30", Fit::Gap, "2027-10-02T16:30Z", 0},
        {"Australia/Sydney", "2027-04-04T02:30", Fit::Twice, "2027-04-03T15:30Z", 60},
        {"America/New_York", "2029-03-11T02:30", Fit::Gap, "2029-03-11T07:30Z", 0},
        {"America/New_York", "2029-11-04T01:30", Fit::Twice, "2029-11-04T05:30Z", 60},
        // Kathmandu left +05:30 for +05:45 at the start of 1986: a gap of a quarter hour.
        {"Asia/Kathmandu", "1986-01-01T00:10", Fit::Gap, "1985-12-31T18:40Z", 0},
        {"Asia/Kathmandu", "2027-02-20T06:00", Fit::Once, "2027-02-20T00:15Z", 0},
        {"Australia/Adelaide", "2027-10-03T02:30", Fit::Gap, "2027-10-02T17:00Z", 0},
        {"Australia/Lord_Howe", "2027-04-04T01:45", Fit::Twice, "2027-04-03T14:45Z", 30},
        {"Australia/Sydney", "9999-10-03T02:30", Fit::Gap, "9999-10-02T16:30Z", 0},
        {"UTC", "2028-03-26T02:30", Fit::Once, "2028-03-26T02:30Z", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.zone) + " " + c.wall);
        const QTimeZone zone(c.zone);
        ASSERT_TRUE(zone.isValid());
        const QDateTime typed = wall(c.wall);
        const WallInstant taken = instantOfWallTime(typed.date(), typed.time(), zone);
        EXPECT_EQ(taken.fit, c.fit);
        EXPECT_EQ(taken.utc, utc(c.first));
        if (c.fit == Fit::Twice) {
            EXPECT_EQ(taken.second, utc(c.first).addSecs(qint64{60} * c.later));
        }
        EXPECT_EQ(taken.date, typed.date());
        EXPECT_EQ(taken.time, typed.time());
    }
}

TEST(WallClock, WhatIsSaidOfAGapAndAnOverlap) {
    const struct {
        const char* zone;
        const char* wall;
        const char* where;
        const char* said;
    } cases[] = {
        {"Europe/Berlin", "2028-03-26T02:30", "in Berlin",
         "02:30 does not exist on 26 March in Berlin: shown for 03:30 CEST."},
        {"Europe/Berlin", "2028-10-29T02:30", "on this computer's clock",
         "02:30 comes twice on 29 October on this computer's clock: shown for the first, 02:30 "
         "CEST; the second, 02:30 CET, is 1 h later."},
        // Lord Howe's overlap is half an hour; Kathmandu's gap a quarter.
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

// A day keeps the wall time (23 or 25 h of real time); an hour is one of real time.
TEST(WallClock, StepsOfADayAndAnHourAcrossAChange) {
    const QTimeZone berlin("Europe/Berlin");
    const struct {
        const char* from; // UTC
        int days, hours;
        const char* to; // UTC
        Fit fit;
    } cases[] = {
        {"2028-03-25T11:00Z", 1, 0, "2028-03-26T10:00Z", Fit::Once},
        {"2028-03-26T10:00Z", -1, 0, "2028-03-25T11:00Z", Fit::Once},
        {"2028-10-28T10:00Z", 1, 0, "2028-10-29T11:00Z", Fit::Once},
        {"2028-10-29T11:00Z", -1, 0, "2028-10-28T10:00Z", Fit::Once},
        {"2028-03-25T01:30Z", 1, 0, "2028-03-26T01:30Z", Fit::Gap},
        {"2028-10-30T01:30Z", -1, 0, "2028-10-29T00:30Z", Fit::Twice},
        {"2028-03-26T00:30Z", 0, 1, "2028-03-26T01:30Z", Fit::Once},
        {"2028-03-26T01:30Z", 0, -1, "2028-03-26T00:30Z", Fit::Once},
        {"2028-10-29T00:30Z", 0, 1, "2028-10-29T01:30Z", Fit::Once},
        {"2028-10-29T01:30Z", 0, -1, "2028-10-29T00:30Z", Fit::Once},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.from) + " " + std::to_string(c.days) + " d " +
                     std::to_string(c.hours) + " h");
        const WallInstant taken = steppedBy(utc(c.from), c.days, c.hours, berlin);
        EXPECT_EQ(taken.utc, utc(c.to));
        EXPECT_EQ(taken.fit, c.fit);
    }
}

} // namespace
