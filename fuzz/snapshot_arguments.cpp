// orvanta-snapshot's command line: a request within the tool's bounds, or one printable line.

#include "tools/snapshot/snapshot_arguments.h"

#include "fuzz/fuzz_input.h"

#include <cmath>

using namespace orvanta;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::string> args = fuzz::argumentsOf(data, size);
    bool help = false;
    std::string error;
    const std::optional<SnapshotRequest> request = parseSnapshotArguments(args, help, error);
    if (!request) {
        fuzz::check(help || fuzz::isOneLine(error), "the message is one printable line", error);
        return 0;
    }
    fuzz::check(!help, "a request comes without --help");
    fuzz::check(!request->output.empty(), "--out names a file");
    fuzz::check(request->width >= 1 && request->width <= 4096 && request->height >= 1 &&
                    request->height <= 4096,
                "the size is 1 to 4096 each way");
    fuzz::check(request->fromYear == 0 || (request->fromYear >= 1 && request->fromYear <= 5990),
                "--from is 1 to 5990");
    fuzz::check(request->years == 0 || (request->years >= 5 && request->years <= 200),
                "--years is 5 to 200");
    fuzz::check(!(request->sky && request->approaches),
                "--sky and --approaches exclude each other");
    if (request->place) {
        fuzz::check(request->sky, "--place comes with --sky");
        const Place& at = request->place->place;
        fuzz::check(std::isfinite(at.height) && std::fabs(at.latitude) <= 90 &&
                        std::fabs(at.longitude) <= 180,
                    "the place is on Earth");
    }
    return 0;
}
