#include "app/settings.h"

#include "app/replace_file.h"
#include "panes/texts.h"
#include "rules/settings_text.h"
#include "rules/warning.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QStandardPaths>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orvanta {

namespace {

// The settings file holds a few choices: anything far larger is not ours to parse or rewrite.
constexpr off_t SETTINGS_LIMIT = off_t{64} * 1024;

bool& settingsFileUsed() {
    static bool used = true;
    return used;
}

QString settingsPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/orvanta/orvanta.conf");
}

// What was saved in this run, by file and key: it holds whether or not the file took it.
QHash<QString, QString>& chosenThisRun() {
    static QHash<QString, QString> chosen;
    return chosen;
}
QString chosenKey(const char* key) {
    return settingsPath() + QLatin1Char('\n') + QLatin1String(key);
}

QString systemError(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

// The settings file as it is now: the regular file that holds the settings (the file a link
// leads to), its text, and why it cannot be used; `exists` false where there is none yet. What the
// path names is known before anything is opened: opening a device can have effects of its own, and
// a pipe would wait for a writer.
struct SettingsFile {
    std::string path;
    bool exists = false;
    std::string text;
    QString problem;
};

QString notRegular(const struct stat& seen) {
    return S_ISDIR(seen.st_mode) ? QStringLiteral("it is a folder")
                                 : QStringLiteral("it is not a regular file");
}

void readRegular(SettingsFile& file) {
    // O_NONBLOCK and O_NOFOLLOW for a path swapped since it was looked at, for a pipe or a link;
    // fstat then says whether what was opened is still a regular file.
    const int fd = ::open(file.path.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        file.problem = errno == ELOOP ? QStringLiteral("it became a link while it was read")
                                      : systemError(errno);
        return;
    }
    struct stat seen {};
    if (::fstat(fd, &seen) != 0 || !S_ISREG(seen.st_mode)) {
        file.problem = notRegular(seen);
    } else if (seen.st_size > SETTINGS_LIMIT) {
        file.problem = QStringLiteral("it is larger than %1 KB").arg(SETTINGS_LIMIT / 1024);
    } else {
        char buffer[4096];
        ssize_t got = 0;
        while ((got = ::read(fd, buffer, sizeof buffer)) > 0 || (got < 0 && errno == EINTR)) {
            file.text.append(buffer, static_cast<std::size_t>(std::max<ssize_t>(got, 0)));
            if (file.text.size() > static_cast<std::size_t>(SETTINGS_LIMIT)) {
                file.problem = QStringLiteral("it is larger than %1 KB").arg(SETTINGS_LIMIT / 1024);
                break;
            }
        }
        if (got < 0) {
            file.problem = systemError(errno);
        }
    }
    ::close(fd);
}

SettingsFile openSettings() {
    SettingsFile file;
    file.path = QFile::encodeName(settingsPath()).toStdString();
    struct stat seen {};
    if (::lstat(file.path.c_str(), &seen) != 0) {
        if (errno != ENOENT) {
            file.problem = systemError(errno);
        }
        return file;
    }
    file.exists = true;
    if (S_ISLNK(seen.st_mode)) {
        char target[PATH_MAX];
        if (::realpath(file.path.c_str(), target) == nullptr || ::lstat(target, &seen) != 0) {
            file.problem = QStringLiteral("it is a link to nothing that can be used (%1)")
                               .arg(systemError(errno));
            return file;
        }
        file.path = target;
    }
    if (!S_ISREG(seen.st_mode)) {
        file.problem = notRegular(seen);
        return file;
    }
    readRegular(file);
    return file;
}

const char* const NOT_SETTINGS = "it is not a settings file: it holds a NUL byte or bytes that are "
                                 "not UTF-8";

// Said the same whether a read or a save finds it, so that it is said once.
void cannotUse(const QString& problem) {
    warnOnce(QStringLiteral("the settings file %1 is not used (%2): it is left as it is, the "
                            "defaults hold, and what is chosen holds until the program ends")
                 .arg(echoed(settingsPath(), '\0', std::string::npos), problem)
                 .toStdString());
}

} // namespace

void useNoSettingsFile() {
    settingsFileUsed() = false;
}

std::optional<QString> readSetting(const char* key) {
    if (const auto chosen = chosenThisRun().constFind(chosenKey(key));
        chosen != chosenThisRun().cend()) {
        return *chosen;
    }
    if (!settingsFileUsed()) {
        return std::nullopt;
    }
    const SettingsFile file = openSettings();
    if (!file.problem.isEmpty()) {
        cannotUse(file.problem);
        return std::nullopt;
    }
    const std::optional<SettingsText> settings = SettingsText::parse(file.text);
    if (!settings) {
        cannotUse(QLatin1String(NOT_SETTINGS));
        return std::nullopt;
    }
    const std::optional<std::string> value = settings->value(key);
    return value ? std::optional(QString::fromStdString(*value)) : std::nullopt;
}

void refuseSetting(const char* key, const QString& kept, const QString& expected) {
    warnOnce(QStringLiteral("the settings file's %1 %2 is not %3: it is not used")
                 .arg(QLatin1String(key), echoed(kept, '"'), expected)
                 .toStdString());
}

bool readFlagSetting(const char* key, bool fallback) {
    const std::optional<QString> kept = readSetting(key);
    if (!kept) {
        return fallback;
    }
    if (const std::optional<bool> flag = settingFlag(kept->toStdString())) {
        return *flag;
    }
    refuseSetting(key, *kept, QStringLiteral("true or false"));
    return fallback;
}

std::optional<double> readNumberSetting(const char* key, double low, double high) {
    const std::optional<QString> kept = readSetting(key);
    if (!kept) {
        return std::nullopt;
    }
    if (const std::optional<double> number = settingNumber(kept->toStdString(), low, high)) {
        return number;
    }
    refuseSetting(
        key, *kept,
        QStringLiteral("a number from %1 to %2").arg(QString::number(low), QString::number(high)));
    return std::nullopt;
}

namespace {

// The settings folder held locked while its file is read, changed and replaced: two instances
// saving at once would each replace the file with what it read, and the first one's keys would be
// lost. The folder, not a file of its own: it is there already, and nothing is left beside the
// settings.
class FolderLock {
  public:
    explicit FolderLock(const QString& folder)
        : fd_(::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
        while (fd_ >= 0 && ::flock(fd_, LOCK_EX) != 0) {
            if (errno != EINTR) {
                error_ = errno;
                return;
            }
        }
        if (fd_ < 0) {
            error_ = errno;
        }
    }
    ~FolderLock() {
        if (fd_ >= 0) {
            ::close(fd_); // which lets the lock go
        }
    }
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;
    int error() const { return error_; }

  private:
    int fd_;
    int error_ = 0;
};

// Why the settings could not be saved in the file; empty once they are.
QString saved(std::initializer_list<SettingChange> changes) {
    const QString folder = QFileInfo(settingsPath()).absolutePath();
    if (!QDir().mkpath(folder)) {
        return QStringLiteral("its folder cannot be made");
    }
    const FolderLock lock(folder);
    if (lock.error() != 0) {
        return QStringLiteral("its folder cannot be locked against another save: %1")
            .arg(systemError(lock.error()));
    }
    const SettingsFile file = openSettings();
    if (!file.problem.isEmpty()) {
        cannotUse(file.problem);
        return {};
    }
    std::optional<SettingsText> settings = SettingsText::parse(file.text);
    if (!settings) {
        cannotUse(QLatin1String(NOT_SETTINGS));
        return {};
    }
    for (const SettingChange& change : changes) {
        settings->set(change.key, change.value.toStdString());
    }
    removeLeftTemporaries(file.path);
    if (const int error = replaceFile(file.path, settings->text()); error != 0) {
        return QStringLiteral("it cannot be written: %1").arg(systemError(error));
    }
    return {};
}

} // namespace

void saveSettings(std::initializer_list<SettingChange> changes) {
    for (const SettingChange& change : changes) {
        chosenThisRun().insert(chosenKey(change.key), change.value);
    }
    if (!settingsFileUsed()) {
        return;
    }
    if (const QString problem = saved(changes); !problem.isEmpty()) {
        warnOnce(QStringLiteral("the settings are not saved in %1 (%2): what was chosen holds "
                                "until the program ends")
                     .arg(echoed(settingsPath(), '\0', std::string::npos), problem)
                     .toStdString());
    }
}

void saveSetting(const char* key, const QString& value) {
    saveSettings({{key, value}});
}

void saveSetting(const char* key, bool value) {
    saveSetting(key, value ? QStringLiteral("true") : QStringLiteral("false"));
}

void saveSetting(const char* key, double value) {
    saveSetting(key, settingText(value));
}

QString settingText(double value) {
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

} // namespace orvanta
