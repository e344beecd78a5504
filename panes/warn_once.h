#pragma once

#include <QString>

namespace orvanta {

// One line on the standard error stream, headed with the program's name, the first time it is said
// in a run: what the program works on without is told, not repeated.
void warnOnce(const QString& what);

} // namespace orvanta
