// "Start at login" in the tray menu, in a config folder of the test's own: the entry written and
// removed, one made by hand counted and hidden rather than removed, a link and a read-only folder
// said in one line and left as they were; each shown as it is when the menu opens.

#include "app/main_window.h"
#include "tests/scoped_environment.h"

#include <QAction>
#include <QDir>
#include <QMenu>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>

using namespace orvanta;

TEST(StartAtLogin, TheTickWritesTheEntryAndShowsWhatIsThere) {
    const QByteArray mine = "[Desktop Entry]\nType=Application\nExec=orvanta\n";
    const struct {
        const char* what;
        QByteArray before; // the entry, or the file a link to it names
        bool link, readOnly;
        std::vector<bool> ticks; // as the menu opens, then after each click
        const char* said;        // what each click says in one line, or ""
        QByteArray after;
    } cases[] = {
        {"nothing there", "", false, false, {false, true, false}, "", ""},
        {"made by hand", mine, false, false, {true, false, true}, "", mine + "Hidden=false\n"},
        {"hidden by hand",
         mine + "Hidden=true\n",
         false,
         false,
         {false},
         "",
         mine + "Hidden=true\n"},
        {"a link", mine, true, false, {true, true}, "it is a link", mine},
        {"a read-only folder", "", false, true, {false, false}, "is left as it is", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const QTemporaryDir home;
        const ScopedEnvironment config("XDG_CONFIG_HOME",
                                       QFile::encodeName(home.path()).toStdString());
        MainWindow window(QRect(0, 0, 640, 480));
        QAction* tick = window.trayMenu()->actions().at(window.trayMenu()->actions().size() - 3);
        ASSERT_EQ(tick->text(), "Start at &login");
        const QString entry = home.filePath(QStringLiteral("autostart/orvanta.desktop"));
        const QByteArray folder = QFile::encodeName(QFileInfo(entry).absolutePath());
        QDir().mkpath(folder);
        QFile file(c.link ? home.filePath(QStringLiteral("mine.desktop")) : entry);
        ASSERT_TRUE(c.before.isEmpty() ||
                    (file.open(QIODevice::WriteOnly) && file.write(c.before) > 0 &&
                     (!c.link || QFile::link(file.fileName(), entry))));
        file.close();
        // Root writes through a folder's mode: for root the folder is bound read-only onto itself.
        if (c.readOnly &&
            !(::geteuid() != 0 ? ::chmod(folder, 0500) == 0
                               : ::mount(folder, folder, nullptr, MS_BIND, nullptr) == 0 &&
                                     ::mount(nullptr, folder, nullptr,
                                             MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) == 0)) {
            continue; // no read-only folder can be had here
        }
        window.trayMenu()->popup(QPoint(0, 0));
        window.trayMenu()->hide();
        EXPECT_EQ(tick->isChecked(), c.ticks[0]);
        for (std::size_t i = 1; i < c.ticks.size(); ++i) {
            testing::internal::CaptureStderr();
            tick->trigger();
            const std::string said = testing::internal::GetCapturedStderr();
            EXPECT_EQ(tick->isChecked(), c.ticks[i]) << i;
            EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), *c.said ? 1 : 0) << said;
            EXPECT_NE(said.find(c.said), std::string::npos) << said;
        }
        QFile after(entry);
        EXPECT_EQ(after.open(QIODevice::ReadOnly) ? after.readAll() : QByteArray(), c.after);
        EXPECT_EQ(QFileInfo(entry).isSymLink(), c.link);
        ::umount2(folder, MNT_DETACH);
        ::chmod(folder, 0700);
    }
}
