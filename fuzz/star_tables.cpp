// The star and figure tables' text: one row for every line that is neither empty nor a comment,
// every number finite.

#include "ephemeris/stars.h"
#include "fuzz/fuzz_input.h"

#include <cmath>

using namespace orvanta;

namespace {

std::size_t rowLines(std::string_view text) {
    std::size_t rows = 0;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        rows += !line.empty() && line[0] != '#';
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    }
    return rows;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = fuzz::textOf(data, size);
    const std::size_t rows = rowLines(text);

    const std::vector<Star> stars = readStarTable(text);
    fuzz::check(stars.size() == rows, "a star for every row");
    for (const Star& s : stars) {
        fuzz::check(std::isfinite(s.rightAscension) && std::isfinite(s.declination) &&
                        std::isfinite(s.motionRa) && std::isfinite(s.motionDec) &&
                        std::isfinite(s.magnitude),
                    "the star's numbers are finite", s.name);
    }

    const std::vector<FigureLine> lines = readFigureTable(text);
    fuzz::check(lines.size() == rows, "a figure line for every row");
    for (const FigureLine& l : lines) {
        fuzz::check(std::isfinite(l.ra1) && std::isfinite(l.dec1) && std::isfinite(l.ra2) &&
                        std::isfinite(l.dec2),
                    "the figure line's ends are finite");
    }
    return 0;
}
