#pragma once

// The red night mode as a choice kept in the settings, one for the windows an observer uses at the
// eyepiece ("Mars tonight" and Approaches): each has a tick for it, and all follow it at once.

#include <vector>

class QCheckBox;
class QWidget;

namespace orvanta {

constexpr const char* NIGHT_RED_SETTING = "view/nightRed";

// The tick "Red night mode" of `window`, which shows the window in the mode while it is ticked: at
// first as the settings keep it.
QCheckBox* nightRedTick(QWidget* window);
// The choice as a tick makes it: kept, and taken by every window open now and opened later.
void chooseNightRed(bool on);

} // namespace orvanta
