// "Start at login" in the tray menu, in a config folder of the test's own: the entry written,
// found and removed; one made by hand counts, and is hidden rather than removed; a link and a
// read-only folder are said in one line and left as they were.

#include "app/autostart.h"
#include "app/main_window.h"
#include "tests/read_only_folder.h"
#include "tests/scoped_environment.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace orvanta;

namespace {

constexpr const char HAND_MADE[] = "[Desktop Entry]\nType=Application\nExec=orvanta\n";

QByteArray contentsOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void write(const QString& path, const QByteArray& text) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(text) == text.size());
}

QAction* startAtLogin(MainWindow& window) {
    for (QAction* action : window.trayMenu()->actions()) {
        if (action->text() == QStringLiteral("Start at login")) {
            return action;
        }
    }
    return nullptr;
}

TEST(StartAtLogin, TheEntryAsTheTickSaysAndAsItIs) {
    const struct {
        const char* what;
        void (*make)(const QString& entry); // given the entry's path, its folder made
        bool readOnly;
        std::vector<bool> ticks; // at first, then after each click
        const char* said;        // the one line each click says, or ""
        QByteArray after;        // the entry then ("" where there is none)
    } cases[] = {
        {"nothing there", [](const QString&) {}, false, {false, true, false}, "", ""},
        {"written by hand",
         [](const QString& e) { write(e, HAND_MADE); },
         false,
         {true, false, true},
         "",
         QByteArray(HAND_MADE) + "Hidden=false\n"},
        {"hidden by hand",
         [](const QString& e) { write(e, QByteArray(HAND_MADE) + "Hidden=true\n"); },
         false,
         {false},
         "",
         QByteArray(HAND_MADE) + "Hidden=true\n"},
        {"a link to one written by hand",
         [](const QString& e) {
             write(e + ".mine", HAND_MADE);
             QFile::link(e + ".mine", e);
         },
         false,
         {true, true},
         "it is a link",
         HAND_MADE},
        {"a read-only folder", [](const QString&) {}, true, {false, false}, "left as it is", ""},
        {"a read-only folder with ours",
         [](const QString&) { setStartAtLogin(true); },
         true,
         {true, true},
         "left as it is",
         "ours"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const QTemporaryDir home;
        const ScopedEnvironment config("XDG_CONFIG_HOME",
                                       QFile::encodeName(home.path()).toStdString());
        const QString entry = autostartPath();
        ASSERT_EQ(entry, home.filePath(QStringLiteral("autostart/orvanta.desktop")));
        QDir().mkpath(QFileInfo(entry).absolutePath());
        c.make(entry);
        const std::optional<ReadOnlyFolder> readOnly =
            c.readOnly
                ? std::optional<ReadOnlyFolder>(std::in_place, QFileInfo(entry).absolutePath())
                : std::nullopt;
        if (readOnly && !readOnly->taken()) {
            continue; // no read-only folder can be had here
        }
        MainWindow window(QRect(0, 0, 640, 480));
        QAction* tick = startAtLogin(window);
        ASSERT_NE(tick, nullptr);
        EXPECT_EQ(tick->isChecked(), c.ticks.front());
        for (std::size_t i = 1; i < c.ticks.size(); ++i) {
            testing::internal::CaptureStderr();
            tick->trigger();
            const std::string said = testing::internal::GetCapturedStderr();
            EXPECT_EQ(tick->isChecked(), c.ticks[i]) << i;
            EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), *c.said ? 1 : 0) << said;
            EXPECT_NE(said.find(c.said), std::string::npos) << said;
        }
        EXPECT_EQ(QFileInfo(entry).isSymLink(), std::string_view(c.what).starts_with("a link"));
        const QByteArray now = contentsOf(entry);
        EXPECT_TRUE(c.after == "ours" ? now.contains("X-Orvanta-Start-At-Login=true")
                                      : now == c.after)
            << now.toStdString();
    }
}

// The entry runs "orvanta" where that name on PATH is the program running, else the program by
// its path; and the tick shows what is there each time the menu opens.
TEST(StartAtLogin, WhatTheEntryRunsAndWhatTheMenuShows) {
    const QTemporaryDir home;
    const ScopedEnvironment config("XDG_CONFIG_HOME", QFile::encodeName(home.path()).toStdString());
    const QString running = QCoreApplication::applicationFilePath();
    ASSERT_TRUE(QDir().mkpath(home.filePath(QStringLiteral("bin"))));
    ASSERT_TRUE(QFile::link(running, home.filePath(QStringLiteral("bin/orvanta"))));
    for (const auto& [path, exec] :
         {std::pair{home.path(), "Exec=" + running},
          std::pair{home.filePath(QStringLiteral("bin")), QStringLiteral("Exec=orvanta")}}) {
        const ScopedEnvironment searched("PATH", QFile::encodeName(path).toStdString());
        ASSERT_EQ(setStartAtLogin(true), QString());
        EXPECT_TRUE(contentsOf(autostartPath()).contains('\n' + exec.toUtf8() + '\n'))
            << contentsOf(autostartPath()).toStdString();
        ASSERT_EQ(setStartAtLogin(false), QString());
        EXPECT_FALSE(QFileInfo::exists(autostartPath()));
    }
    MainWindow window(QRect(0, 0, 640, 480));
    QAction* tick = startAtLogin(window);
    for (const bool there : {true, false}) {
        if (there) {
            write(autostartPath(), HAND_MADE);
        } else {
            QFile::remove(autostartPath());
        }
        window.trayMenu()->popup(QPoint(0, 0));
        EXPECT_EQ(tick->isChecked(), there);
        window.trayMenu()->hide();
    }
}

} // namespace
