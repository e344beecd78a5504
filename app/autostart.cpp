#include "app/autostart.h"

#include "app/replace_file.h"
#include "panes/texts.h"
#include "rules/settings_text.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <cerrno>
#include <cstring>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace orvanta {

namespace {

// The key that tells an entry the tick wrote from one the user made: only the first is removed.
constexpr const char* OURS_KEY = "Desktop Entry/X-Orvanta-Start-At-Login";
constexpr const char* HIDDEN_KEY = "Desktop Entry/Hidden";
// An entry is a few lines: anything far larger is not one to read or rewrite.
constexpr off_t ENTRY_LIMIT = off_t{64} * 1024;

QString systemError(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

// The entry as it is now; `problem` says why it cannot be read as one.
struct Entry {
    bool exists = false;
    bool link = false;
    std::optional<SettingsText> text;
    QString problem;

    bool starts() const { return text && text->value(HIDDEN_KEY) != "true"; }
    bool ours() const { return text && text->value(OURS_KEY) == "true"; }
};

// What the path names is known before anything is opened: a pipe would wait for a writer.
Entry readEntry(const QString& path) {
    Entry entry;
    const QByteArray name = QFile::encodeName(path);
    struct stat seen {};
    if (::lstat(name.constData(), &seen) != 0) {
        return entry;
    }
    entry.exists = true;
    entry.link = S_ISLNK(seen.st_mode);
    if (::stat(name.constData(), &seen) != 0) {
        entry.problem = QStringLiteral("it is a link to nothing (%1)").arg(systemError(errno));
    } else if (!S_ISREG(seen.st_mode)) {
        entry.problem = QStringLiteral("it is not a regular file");
    } else if (seen.st_size > ENTRY_LIMIT) {
        entry.problem = QStringLiteral("it is larger than %1 KB").arg(ENTRY_LIMIT / 1024);
    } else if (QFile file(path); !file.open(QIODevice::ReadOnly)) {
        entry.problem = file.errorString();
    } else if (!(entry.text = SettingsText::parse(file.read(ENTRY_LIMIT).toStdString()))) {
        entry.problem = QStringLiteral("it is not a desktop entry");
    }
    return entry;
}

// The path as one argument of an Exec key: quoted where it holds a character the key reserves,
// then written as a string value, and a percent sign doubled, not taken for a field code.
std::string execArgument(const std::string& path) {
    const bool plain = path.find_first_of(" \t\n\"'\\><~|&;$*?#()`") == std::string::npos;
    std::string quoted = plain ? "" : "\"";
    for (const char c : path) {
        if (!plain && (c == '"' || c == '`' || c == '$' || c == '\\')) {
            quoted += '\\';
        }
        quoted += c;
    }
    quoted += plain ? "" : "\"";
    std::string value;
    for (const char c : quoted) {
        value += c == '\\' ? "\\\\" : c == '\n' ? "\\n" : c == '%' ? "%%" : std::string(1, c);
    }
    return value;
}

// "orvanta" where that name on PATH is the program running, as the package installs it, so that
// the entry keeps working across upgrades and reinstalls; otherwise (a build run from its folder,
// or another copy first on PATH) the running program itself, by its absolute path: the tick
// starts at login what it was ticked in.
std::string execLine() {
    const QString running = QFileInfo(QCoreApplication::applicationFilePath()).canonicalFilePath();
    const QString onPath = QStandardPaths::findExecutable(QStringLiteral("orvanta"));
    if (!onPath.isEmpty() && QFileInfo(onPath).canonicalFilePath() == running) {
        return "Exec=orvanta";
    }
    return "Exec=" + execArgument(QFile::encodeName(running).toStdString());
}

// The packaging's autostart entry, which runs the program the tick is in, marked as the tick's.
std::string ourEntry() {
    QFile packaged(QStringLiteral(":/autostart.desktop"));
    packaged.open(QIODevice::ReadOnly);
    std::string text = packaged.readAll().toStdString();
    const std::size_t exec = text.find("\nExec=") + 1;
    text.replace(exec, text.find('\n', exec) - exec, execLine());
    return "# Written by Orvanta's \"Start at login\" tick, which removes it when unticked.\n" +
           text + "X-Orvanta-Start-At-Login=true\n";
}

} // namespace

QString autostartPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/autostart/orvanta.desktop");
}

bool startsAtLogin() {
    return readEntry(autostartPath()).starts();
}

QString setStartAtLogin(bool on) {
    const QString path = autostartPath();
    const Entry entry = readEntry(path);
    if (entry.starts() == on) {
        return {};
    }
    const auto unchanged = [&](const QString& why) {
        return QStringLiteral("the autostart entry %1 is left as it is (%2): Orvanta %3")
            .arg(echoed(path, '\0', std::string::npos), why,
                 on ? QStringLiteral("does not start at login")
                    : QStringLiteral("still starts at login"));
    };
    if (entry.link) {
        return unchanged(QStringLiteral("it is a link, and a link is never written through"));
    }
    if (!entry.problem.isEmpty()) {
        return unchanged(entry.problem);
    }
    const std::string file = QFile::encodeName(path).toStdString();
    if (!on && entry.ours()) {
        return ::unlink(file.c_str()) == 0 ? QString() : unchanged(systemError(errno));
    }
    std::string text;
    if (entry.exists && !entry.ours()) {
        SettingsText own = *entry.text; // the user's: every other line kept as it is
        own.set(HIDDEN_KEY, on ? "false" : "true");
        text = own.text();
    } else {
        text = ourEntry();
    }
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        return unchanged(QStringLiteral("its folder cannot be made"));
    }
    const int error = replaceFile(file, text);
    return error == 0 ? QString() : unchanged(systemError(error));
}

} // namespace orvanta
