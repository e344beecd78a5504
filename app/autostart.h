#pragma once

// Started at login through the user's XDG autostart entry,
// $XDG_CONFIG_HOME/autostart/orvanta.desktop
// (~/.config when XDG_CONFIG_HOME is unset). The entry is what is there, whoever made it: one the
// user wrote by hand counts as much as one the tray's tick wrote.

#include <QString>

namespace orvanta {

QString autostartPath();

// Whether the entry there starts the program: a file, or a link to one, that is a desktop entry
// and not Hidden=true.
bool startsAtLogin();

// Makes the program start at login, or no longer. Off, the entry the tick wrote is removed, while
// one the user made by hand is kept with Hidden=true, and on again with Hidden=false: what the
// user wrote is never lost. A link is neither written through nor removed. The one line that
// tells why nothing changed, or empty.
QString setStartAtLogin(bool on);

} // namespace orvanta
