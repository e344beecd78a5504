#include "app/settings.h"
#include "rules/settings_text.h"

#include <QDir>
#include <QTemporaryDir>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace orvanta {
namespace {

// XDG_CONFIG_HOME in a folder of the test's own while it runs.
class OwnConfig {
  public:
    OwnConfig() : before_(qgetenv("XDG_CONFIG_HOME")) {
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(home_.path() + QStringLiteral("/config")));
        QDir().mkpath(folder());
    }
    ~OwnConfig() { qputenv("XDG_CONFIG_HOME", before_); }
    OwnConfig(const OwnConfig&) = delete;
    OwnConfig& operator=(const OwnConfig&) = delete;
    QString folder() const { return home_.path() + QStringLiteral("/config/orvanta"); }
    QString home() const { return home_.path(); }

  private:
    QTemporaryDir home_;
    QByteArray before_;
};

std::string contents(const QString& path) {
    std::ifstream in(QFile::encodeName(path).toStdString(), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Two instances saving at once: each save reads the file, so without a lock held around the read
// and the replace one instance's keys are lost to the other's.
TEST(SettingsSave, InstancesSavingAtOnceLoseNoKey) {
    const OwnConfig config;
    constexpr int SAVES = 40;
    pid_t children[2];
    for (int child = 0; child < 2; ++child) {
        children[child] = ::fork();
        ASSERT_GE(children[child], 0);
        if (children[child] == 0) {
            for (int i = 0; i < SAVES; ++i) {
                saveSetting(("s" + std::to_string(child) + "/k" + std::to_string(i)).c_str(),
                            QString::number(i));
            }
            ::_exit(0);
        }
    }
    for (const pid_t child : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    const auto settings =
        SettingsText::parse(contents(config.folder() + QStringLiteral("/orvanta.conf")));
    ASSERT_TRUE(settings);
    for (int child = 0; child < 2; ++child) {
        for (int i = 0; i < SAVES; ++i) {
            const std::string key = "s" + std::to_string(child) + "/k" + std::to_string(i);
            EXPECT_EQ(settings->value(key), std::to_string(i)) << key;
        }
    }
}

// The settings a link to a file elsewhere, beside which a killed save left its temporary file: the
// link is written through and stays, the file keeps its permissions, and of the files beside it
// only the left temporary goes.
TEST(SettingsSave, ThroughALinkKeepsTheFileAndRemovesWhatAKilledSaveLeft) {
    const OwnConfig config;
    const QString elsewhere = config.home() + QStringLiteral("/elsewhere");
    const std::string file = QFile::encodeName(elsewhere + QStringLiteral("/orvanta.conf")).data();
    QDir().mkpath(elsewhere);
    std::ofstream(file) << "; mine\r\n[sky]\r\nname=x\r\n";
    ASSERT_EQ(::chmod(file.c_str(), 0640), 0);
    std::ofstream(QFile::encodeName(elsewhere + QStringLiteral("/.orvanta-Ab12Cd")).data()) << "a";
    std::ofstream(QFile::encodeName(elsewhere + QStringLiteral("/.orvanta-mine")).data()) << "b";
    const std::string link =
        QFile::encodeName(config.folder() + QStringLiteral("/orvanta.conf")).data();
    ASSERT_EQ(::symlink(file.c_str(), link.c_str()), 0);

    saveSettings({{"sky/latitude", QStringLiteral("1.5")}, {"sky/longitude", QStringLiteral("2")}});

    struct stat seen {};
    ASSERT_EQ(::lstat(link.c_str(), &seen), 0);
    EXPECT_TRUE(S_ISLNK(seen.st_mode));
    ASSERT_EQ(::stat(file.c_str(), &seen), 0);
    EXPECT_EQ(seen.st_mode & 07777, 0640u);
    EXPECT_EQ(contents(QFile::decodeName(file.c_str())),
              "; mine\r\n[sky]\r\nname=x\r\nlatitude=1.5\r\nlongitude=2\r\n");
    EXPECT_EQ(QDir(elsewhere).entryList(QDir::Files | QDir::Hidden),
              QStringList({QStringLiteral(".orvanta-mine"), QStringLiteral("orvanta.conf")}));
}

} // namespace
} // namespace orvanta
