#pragma once

#include <string>
#include <vector>

namespace orvanta {

// The orvanta-state command line: `args` without the program name. Writes the report to `out`, or
// one line to `err` on bad input; returns the exit status (0, or 2 for bad input). Nothing is
// written to `out` unless every argument is good.
int runStateTool(const std::vector<std::string>& args, std::string& out, std::string& err);

} // namespace orvanta
