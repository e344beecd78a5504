#include "ephemeris/star_table.h"

#include "ephemeris/angles.h"

#include <cmath>
#include <sstream>

namespace orvanta {

namespace {

constexpr double MILLIARCSECOND = ARCSECOND / 1000;
constexpr double HOUR_ANGLE = 15 * DEGREE;

struct BadField {
    std::string what;
};

// The next number of a row, which must be there, finite and within its range.
double field(std::istringstream& in, const char* name, double low, double high) {
    double value = 0;
    if (!(in >> value) || !std::isfinite(value) || value < low || value > high) {
        throw BadField{std::string(name) + " is missing or not a number from " +
                       std::to_string(static_cast<int>(low)) + " to " +
                       std::to_string(static_cast<int>(high))};
    }
    return value;
}

Star starOf(std::istringstream& in) {
    field(in, "the catalogue number", 1, 1e6);
    const double ra = field(in, "the right ascension (h)", 0, 24);
    const double dec = field(in, "the declination", -90, 90);
    const double magnitude = field(in, "the magnitude", -2, 8);
    const double motionRa = field(in, "the proper motion in RA", -1e4, 1e4);
    const double motionDec = field(in, "the proper motion in Dec", -1e4, 1e4);
    std::string name;
    std::getline(in >> std::ws, name);
    return {ra * HOUR_ANGLE, dec * DEGREE, motionRa * MILLIARCSECOND, motionDec * MILLIARCSECOND,
            magnitude,       name};
}

FigureLine lineOf(std::istringstream& in) {
    const double dec1 = field(in, "the first declination", -90, 90);
    const double ra1 = field(in, "the first right ascension (h)", 0, 24);
    const double dec2 = field(in, "the second declination", -90, 90);
    const double ra2 = field(in, "the second right ascension (h)", 0, 24);
    if (std::string rest; in >> rest) {
        throw BadField{"more than four numbers: '" + rest + "'"};
    }
    return {ra1 * HOUR_ANGLE, dec1 * DEGREE, ra2 * HOUR_ANGLE, dec2 * DEGREE};
}

template <typename Row>
std::vector<Row> readTable(std::string_view text, Row (*parse)(std::istringstream&)) {
    std::vector<Row> rows;
    std::istringstream in{std::string(text)};
    std::string line;
    for (std::size_t number = 1; std::getline(in, line); ++number) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.empty() || line[0] == '#') {
            continue;
        }
        std::istringstream fields(line);
        try {
            rows.push_back(parse(fields));
        } catch (const BadField& bad) {
            throw TableError{number, bad.what};
        }
    }
    return rows;
}

} // namespace

std::vector<Star> readStarTable(std::string_view text) {
    return readTable(text, &starOf);
}

std::vector<FigureLine> readFigureTable(std::string_view text) {
    return readTable(text, &lineOf);
}

} // namespace orvanta
