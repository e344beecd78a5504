#pragma once

// The published VSOP87A series files, read record by record: every header and term record is
// checked, and every series count must be the one the program is built for. Apart from the
// generator's main so that the reading can be driven on its own.

#include <array>
#include <istream>
#include <string>
#include <string_view>
#include <vector>

namespace orvanta::vsop87gen {

constexpr int SERIES = 18;

struct BodyLayout {
    const char* symbol;   // name of the generated constant
    const char* fileName; // as named in messages, when the path says nothing else
    std::string_view headerName;
    char bodyCode;
    std::array<int, SERIES> counts;
};

extern const BodyLayout EARTH;
extern const BodyLayout MARS;

struct Term {
    std::string a, b, c; // the published decimal text, emitted unchanged as C++ literals
};

// What is wrong, as "file:line: what".
struct ParseError {
    std::string message;
};

// The terms of all series of `body` in file order; throws ParseError naming `path` and the line
// for any deviation, including anything after the last series.
std::vector<Term> readBody(std::istream& in, const std::string& path, const BodyLayout& body);

} // namespace orvanta::vsop87gen
