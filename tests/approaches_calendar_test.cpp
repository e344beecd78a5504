// "Add to calendar…" in the Approaches window writes, byte for byte, what orvanta-state --ics
// writes for the same span, with the oppositions where the tick beside it (a kept choice) says.

#include "app/approaches_window.h"
#include "ephemeris/utc_clock.h"
#include "tools/state/state_tool.h"

#include <QCheckBox>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace orvanta;

TEST(ApproachesCalendar, TheWindowWritesWhatTheToolWrites) {
    const FixedUtcClock clock({2026, 12, 7, 12, 0, 0}); // the files' stamp
    const QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("mars.ics"));
    for (const bool withOppositions : {true, false}) {
        ApproachesWindow window([](const CountdownChoice&) {}, 2001, 10);
        EXPECT_EQ(window.calendarWithOppositions()->isChecked(), !withOppositions) << "as kept";
        window.calendarWithOppositions()->click();
        ASSERT_EQ(window.saveCalendar(path), QString());
        std::vector<std::string> args = {"--ics", "2001-01-01T00:00:00", "2011-01-01T00:00:00"};
        if (withOppositions) {
            args.emplace_back("--with-oppositions");
        }
        std::string out, err;
        ASSERT_EQ(runStateTool(args, out, err), 0) << err;
        QFile saved(path);
        ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
        EXPECT_EQ(saved.readAll().toStdString(), out);
        EXPECT_EQ(out.find("UID:20030828T175900Z-mars-opposition@orvanta") != out.npos,
                  withOppositions);
    }
}
