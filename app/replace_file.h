#pragma once

// A file replaced whole or not at all: what was there stays as it was when anything fails.

#include <string>
#include <string_view>

namespace orvanta {

// Writes `data` into a new file beside `path` and renames it over `path` once it is complete; the
// error number, or 0. A link is followed to the file it names (the link stays a link), and a file
// that was there keeps its permissions.
int replaceFile(const std::string& path, std::string_view data);

} // namespace orvanta
