#pragma once

// The user's choices, kept across runs in ~/.config/orvanta/orvanta.conf (or wherever
// XDG_CONFIG_HOME says). Only a regular file is ever opened, read or replaced: a link to one is
// written through (the link stays), anything else (a device, a pipe, a folder) is left alone. A
// file that cannot be used is said so once; what was chosen holds for the run either way, and
// whatever else the file holds (comments, other keys) is kept when a choice is saved.

#include <QString>
#include <initializer_list>
#include <optional>

namespace orvanta {

// For the tools, which draw from their arguments and the environment alone: from here on nothing is
// read from the settings file or saved to it, and what is chosen holds until the process ends.
void useNoSettingsFile();

// The kept text of "section/key": what was saved in this run, else what the file holds; nothing
// where there is neither.
std::optional<QString> readSetting(const char* key);
// A kept "true" or "false", else `fallback`.
bool readFlagSetting(const char* key, bool fallback);
// A kept number from `low` to `high`; nothing where there is none.
std::optional<double> readNumberSetting(const char* key, double low, double high);
// One line saying that the value kept under `key` is not used, and what it should be: a value
// edited by hand is checked as strictly as one typed in.
void refuseSetting(const char* key, const QString& kept, const QString& expected);

struct SettingChange {
    const char* key;
    QString value;
};
// The keys saved in one replace of the file, so that a save killed part way leaves all of them as
// they were or none: a choice made of several keys is never kept half made. Saves of other
// instances wait for one another, and none loses the keys another saved.
void saveSettings(std::initializer_list<SettingChange> changes);
void saveSetting(const char* key, const QString& value);
void saveSetting(const char* key, bool value);
void saveSetting(const char* key, double value);
// A number as it is kept: as short as reads back the same.
QString settingText(double value);

} // namespace orvanta
