#include "ephemeris/star_table.h"

#include "ephemeris/angles.h"
#include "rules/whole_text.h"

#include <algorithm>
#include <cmath>
#include <locale>
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
    std::string token;
    in >> token;
    const std::optional<double> value = wholeNumber<double>(token);
    if (!value || *value < low || *value > high) {
        throw BadField{std::string(name) + " is missing or not a number from " +
                       std::to_string(static_cast<int>(low)) + " to " +
                       std::to_string(static_cast<int>(high))};
    }
    return *value;
}

// "-", or the catalogue's Flamsteed number, Bayer letter or constellation.
std::string designationOf(std::istringstream& in, const char* name, bool (*valid)(char),
                          std::size_t longest) {
    std::string token;
    in >> token;
    if (token == "-") {
        return {};
    }
    if (token.empty() || token.size() > longest ||
        !std::all_of(token.begin(), token.end(), valid)) {
        throw BadField{std::string(name) + " is missing or not as the catalogue writes it"};
    }
    return token;
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool isLetterOrDigit(char c) {
    return isDigit(c) || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

Star starOf(std::istringstream& in) {
    const double number = field(in, "the catalogue number", 1, 1e6);
    const double ra = field(in, "the right ascension (h)", 0, 24);
    const double dec = field(in, "the declination", -90, 90);
    const double magnitude = field(in, "the magnitude", -2, 8);
    const double motionRa = field(in, "the proper motion in RA", -1e4, 1e4);
    const double motionDec = field(in, "the proper motion in Dec", -1e4, 1e4);
    std::string flamsteed = designationOf(in, "the Flamsteed number", &isDigit, 3);
    std::string bayer = designationOf(in, "the Bayer letter", &isLetterOrDigit, 4);
    std::string constellation = designationOf(in, "the constellation", &isLetterOrDigit, 3);
    std::string name;
    std::getline(in >> std::ws, name);
    return {ra * HOUR_ANGLE,
            dec * DEGREE,
            motionRa * MILLIARCSECOND,
            motionDec * MILLIARCSECOND,
            magnitude,
            name,
            static_cast<int>(number),
            std::move(flamsteed),
            std::move(bayer),
            std::move(constellation)};
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

// Three letters, as the tables abbreviate every constellation.
std::string abbreviationOf(std::istringstream& in) {
    std::string abbreviation;
    in >> abbreviation;
    if (abbreviation.size() != 3 ||
        !std::all_of(abbreviation.begin(), abbreviation.end(),
                     [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); })) {
        throw BadField{"the constellation's abbreviation is missing or not three letters"};
    }
    return abbreviation;
}

ConstellationBand bandOf(std::istringstream& in) {
    const double raLow = field(in, "the lower right ascension (h)", 0, 24);
    const double raHigh = field(in, "the upper right ascension (h)", 0, 24);
    const double decLow = field(in, "the lower declination", -90, 90);
    if (raHigh <= raLow) {
        throw BadField{"the upper right ascension is not above the lower"};
    }
    std::string abbreviation = abbreviationOf(in);
    if (std::string rest; in >> rest) {
        throw BadField{"more than a band: '" + rest + "'"};
    }
    return {raLow, raHigh, decLow, std::move(abbreviation)};
}

ConstellationName nameOf(std::istringstream& in) {
    std::string abbreviation = abbreviationOf(in);
    std::string name;
    std::getline(in >> std::ws, name);
    if (name.empty()) {
        throw BadField{"the name is missing"};
    }
    return {std::move(abbreviation), std::move(name)};
}

template <typename Row>
std::vector<Row> readTable(std::string_view text, Row (*parse)(std::istringstream&)) {
    std::vector<Row> rows;
    std::istringstream in{std::string(text)};
    in.imbue(std::locale::classic());
    std::string line;
    for (std::size_t number = 1; std::getline(in, line); ++number) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.empty() || line[0] == '#') {
            continue;
        }
        std::istringstream fields(line);
        fields.imbue(std::locale::classic());
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

std::vector<ConstellationBand> readBoundaryTable(std::string_view text) {
    return readTable(text, &bandOf);
}

std::vector<ConstellationName> readConstellationNames(std::string_view text) {
    return readTable(text, &nameOf);
}

} // namespace orvanta
