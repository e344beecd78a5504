// A value of TZ, and what /etc/localtime links to, after a NUL: no zone, or a name the tz database
// could hold, which names that zone again as TZ in each of its forms.

#include "fuzz/fuzz_input.h"
#include "towns/place_text.h"

using namespace orvanta;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::string> args = fuzz::argumentsOf(data, size);
    const std::string tz = args.empty() ? std::string() : args[0];
    const std::string localtime = args.size() < 2 ? std::string() : args[1];
    const std::string zone = timeZoneNameOf(tz, localtime);
    if (zone.empty()) {
        return 0;
    }
    fuzz::check(zone.size() <= 64 && zone.front() != '/' && zone.find("..") == std::string::npos,
                "a zone is a short name, no path", zone);
    for (const char c : zone) {
        fuzz::check(c > ' ' && c < 0x7f, "a zone is printable ASCII", zone);
    }
    for (const std::string& again :
         {zone, ":" + zone, "/usr/share/zoneinfo/" + zone, ":/usr/share/zoneinfo/posix/" + zone}) {
        fuzz::check(timeZoneNameOf(again, "") == zone, "the zone names itself again", again);
    }
    return 0;
}
