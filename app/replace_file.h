#pragma once

// A file replaced whole or not at all: what was there stays as it was when anything fails.

#include <string>
#include <string_view>

namespace orvanta {

// Writes `data` into a new file beside `path` and renames it over `path` once it is complete; the
// error number, or 0. A link is followed to the file it names (the link stays a link), and a file
// that was there keeps its permissions. The new file has no name until it is complete where the
// filesystem allows (O_TMPFILE); elsewhere it is a ".orvanta-XXXXXX" beside the file, which a save
// killed part way leaves behind.
int replaceFile(const std::string& path, std::string_view data);

// Removes the ".orvanta-XXXXXX" files beside `path` (beside the file a link names) that saves
// killed part way left. Only while no replaceFile of the same file can run: under a lock every
// writer of it takes.
void removeLeftTemporaries(const std::string& path);

} // namespace orvanta
