#include "rules/warning.h"

#include <cerrno>
#include <cstdio>
#include <mutex>
#include <set>
#include <string>

namespace orvanta {

void warn(std::string_view text) {
    // Headed with the name the program was started by, as a shell's own messages are. One write of
    // the whole line, so that lines of threads or processes never interleave.
    const std::string line =
        std::string(program_invocation_short_name) + ": " + std::string(text) + "\n";
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
}

void warnOnce(std::string_view text) {
    static std::mutex guard;
    static std::set<std::string, std::less<>> said;
    {
        const std::lock_guard lock(guard);
        if (!said.emplace(text).second) {
            return;
        }
    }
    warn(text);
}

} // namespace orvanta
