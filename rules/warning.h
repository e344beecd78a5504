#pragma once

// The one way the programs and the tools say something on the standard error stream: a line
// headed with the program's name ("orvanta: ...", "orvanta-snapshot: ...").

#include <string_view>

namespace orvanta {

void warn(std::string_view text);
// warn, the first time `text` is said in a run: what the program works on without is told, not
// repeated.
void warnOnce(std::string_view text);

} // namespace orvanta
