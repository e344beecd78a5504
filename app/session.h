#pragma once

// What the entry point settles before Qt starts: which platform Qt runs on, and whether its display
// can be reached at all (Qt aborts the process when it cannot open it).

#include <string>

namespace orvanta {

// Takes Qt's -platform and -display options into the environment, where Qt also reads them, and
// prefers X11 where both X11 and Wayland are offered and the user has not chosen: only there can
// the window place itself in the corner of the work area. Sets QT_QPA_PLATFORM accordingly.
void choosePlatform(int argc, char** argv);

// Empty when the chosen platform can show a window and its display answers; else one line saying
// what is wrong.
std::string displayProblem();

} // namespace orvanta
