// "Add to calendar…" in the Approaches window writes, byte for byte, what orvanta-state --ics
// writes for the same span, with or without the oppositions (as the tick beside it, kept in the
// settings, says), and a file it cannot replace is left as it was, said in one line.

#include "app/approaches_window.h"
#include "app/settings.h"
#include "ephemeris/utc_clock.h"
#include "tests/read_only_folder.h"
#include "tools/state/state_tool.h"

#include <QCheckBox>
#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace orvanta;

namespace {

QByteArray contentsOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(ApproachesCalendar, TheWindowWritesWhatTheToolWrites) {
    const FixedUtcClock clock({2026, 12, 7, 12, 0, 0}); // the files' stamp
    const QTemporaryDir folder;
    const std::vector<std::string> span = {"--ics", "2001-01-01T00:00:00", "2011-01-01T00:00:00"};
    // The events of 2003's apparition beside its approach, at the minutes --approaches tells.
    const char* const apparition[] = {"UID:20030729T073600Z-mars-stationary-retrograde@orvanta",
                                      "UID:20030828T175900Z-mars-opposition@orvanta",
                                      "UID:20030927T075100Z-mars-stationary-direct@orvanta"};
    for (const bool withOppositions : {true, false}) {
        SCOPED_TRACE(withOppositions);
        ApproachesWindow window([](const CountdownChoice&) {}, 2001, 10);
        QCheckBox& tick = *window.calendarWithOppositions();
        EXPECT_EQ(tick.isChecked(), !withOppositions) << "as kept from the window before";
        tick.click();
        const QString path = folder.filePath(QStringLiteral("mars.ics"));
        EXPECT_EQ(window.saveCalendar(path), QString());
        std::vector<std::string> args = span;
        if (withOppositions) {
            args.emplace_back("--with-oppositions");
        }
        std::string out, err;
        ASSERT_EQ(runStateTool(args, out, err), 0) << err;
        const QByteArray saved = contentsOf(path);
        EXPECT_EQ(saved.toStdString(), out);
        EXPECT_NE(out.find("UID:20030827T095114Z-mars-closest-approach@orvanta"), out.npos);
        for (const char* uid : apparition) {
            EXPECT_EQ(out.find(uid) != out.npos, withOppositions) << uid;
        }
    }
    const std::optional<QString> kept = readSetting("approaches/calendarOppositions");
    EXPECT_EQ(kept.value_or(QString()), QStringLiteral("false"));
}

TEST(ApproachesCalendar, AFileThatCannotBeReplacedIsLeftAsItWas) {
    const QTemporaryDir home;
    const QString own = home.filePath(QStringLiteral("own"));
    QDir().mkpath(own);
    QFile mine(own + QStringLiteral("/mars.ics"));
    ASSERT_TRUE(mine.open(QIODevice::WriteOnly) && mine.write("mine") == 4);
    mine.close();
    const ReadOnlyFolder readOnly(own);
    if (!readOnly.taken()) {
        GTEST_SKIP() << "no read-only folder can be had here";
    }
    ApproachesWindow window([](const CountdownChoice&) {}, 2001, 10);
    for (const QString& path : {mine.fileName(), home.filePath(QStringLiteral("none/mars.ics"))}) {
        testing::internal::CaptureStderr();
        const QString line = window.saveCalendar(path);
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_TRUE(line.contains(QStringLiteral("is not saved"))) << line.toStdString();
        EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    }
    EXPECT_EQ(contentsOf(mine.fileName()), QByteArray("mine"));
    EXPECT_FALSE(QFileInfo::exists(home.filePath(QStringLiteral("none"))));
}

} // namespace
