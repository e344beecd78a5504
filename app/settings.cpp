#include "app/settings.h"

#include "panes/warn_once.h"

#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace orvanta {

namespace {

// The settings file holds a few choices: anything far larger is not ours to parse or rewrite.
constexpr qint64 SETTINGS_LIMIT = 64 * 1024;

QString settingsPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/orvanta/orvanta.conf");
}

// Why the settings file cannot be used as it stands, looked at before it is parsed; empty when
// it can (or when there is none yet).
QString settingsProblem() {
    const QFileInfo file(settingsPath());
    if (file.isDir()) {
        return QStringLiteral("it is a folder");
    }
    if (file.exists() && file.size() > SETTINGS_LIMIT) {
        return QStringLiteral("it is larger than %1 KB").arg(SETTINGS_LIMIT / 1024);
    }
    if (file.exists() && !file.isReadable()) {
        return QStringLiteral("it cannot be read");
    }
    return {};
}

} // namespace

QVariant readSetting(const char* key, const QVariant& fallback) {
    QString problem = settingsProblem();
    if (problem.isEmpty()) {
        const QSettings kept(settingsPath(), QSettings::IniFormat);
        if (kept.status() != QSettings::AccessError) {
            return kept.value(QLatin1String(key), fallback);
        }
        problem = QStringLiteral("it cannot be read");
    }
    warnOnce(QStringLiteral("the settings file %1 is not read (%2): the defaults hold until the "
                            "menu says otherwise")
                 .arg(settingsPath(), problem));
    return fallback;
}

void saveSetting(const char* key, const QVariant& value) {
    QString problem = settingsProblem();
    if (problem.isEmpty()) {
        QSettings kept(settingsPath(), QSettings::IniFormat);
        kept.setValue(QLatin1String(key), value);
        kept.sync();
        if (kept.status() == QSettings::NoError) {
            return;
        }
        problem = QStringLiteral("it cannot be written");
    }
    warnOnce(QStringLiteral("the settings are not saved in %1 (%2): what was chosen holds until "
                            "the program ends")
                 .arg(settingsPath(), problem));
}

} // namespace orvanta
