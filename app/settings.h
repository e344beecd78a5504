#pragma once

// The user's choices, kept across runs in ~/.config/orvanta/orvanta.conf (or wherever
// XDG_CONFIG_HOME says). A file that cannot be used is said so once; what was chosen holds for the
// run either way.

#include <QVariant>

namespace orvanta {

// The kept value, or `fallback` when there is none or the file cannot be read.
QVariant readSetting(const char* key, const QVariant& fallback);
void saveSetting(const char* key, const QVariant& value);

} // namespace orvanta
