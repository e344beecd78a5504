// The star and figure tables' text: a row for every line that is neither empty nor a comment,
// every number finite; or the line of the first bad row.

#include "ephemeris/star_table.h"
#include "fuzz/fuzz_input.h"

#include <cmath>

using namespace orvanta;

namespace {

struct Lines {
    std::size_t rows = 0, all = 0;
};

Lines linesOf(std::string_view text) {
    Lines lines;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        lines.rows += !line.empty() && line[0] != '#' && line != "\r";
        ++lines.all;
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    }
    return lines;
}

template <typename Row, typename Finite>
void check(std::string_view text, std::vector<Row> (*read)(std::string_view), Finite finite) {
    const Lines lines = linesOf(text);
    try {
        const std::vector<Row> rows = read(text);
        fuzz::check(rows.size() == lines.rows, "a row for every line of one");
        for (const Row& row : rows) {
            fuzz::check(finite(row), "the row's numbers are finite");
        }
    } catch (const TableError& e) {
        fuzz::check(e.line >= 1 && e.line <= lines.all && !e.what.empty(),
                    "a bad row is named by its line");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = fuzz::textOf(data, size);
    check(text, &readStarTable, [](const Star& s) {
        return std::isfinite(s.rightAscension) && std::isfinite(s.declination) &&
               std::isfinite(s.motionRa) && std::isfinite(s.motionDec) &&
               std::isfinite(s.magnitude);
    });
    check(text, &readFigureTable, [](const FigureLine& l) {
        return std::isfinite(l.ra1) && std::isfinite(l.dec1) && std::isfinite(l.ra2) &&
               std::isfinite(l.dec2);
    });
    return 0;
}
