#include "towns/place_text.h"

#include "rules/whole_text.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <sstream>
#include <string>
#include <vector>

namespace orvanta {

namespace {

// In ASCII, so that a tool's one line of error stays plain: 'd' is taken for a degree sign too.
constexpr const char* NOT_A_PLACE = "is not a latitude and longitude such as 52.52, 13.40 or "
                                    "52d31'N 13d24'E";

// The marks people type for degrees, minutes and seconds, in ASCII: 'd', '\'' and '"'.
std::string plainMarks(std::string_view spaced) {
    const std::string text = withPlainSpaces(spaced);
    struct Mark {
        std::string_view utf8;
        char plain;
    };
    static constexpr Mark MARKS[] = {
        {"\u00B0", 'd'}, {"\u00BA", 'd'}, {"\u2032", '\''}, {"\u2019", '\''},
        {"\u2033", '"'}, {"\u201D", '"'}, {"''", '"'},      {"\u2212", '-'},
    };
    std::string plain;
    for (std::size_t at = 0; at < text.size();) {
        bool replaced = false;
        for (const Mark& mark : MARKS) {
            if (text.substr(at, mark.utf8.size()) == mark.utf8) {
                plain += mark.plain;
                at += mark.utf8.size();
                replaced = true;
                break;
            }
        }
        if (!replaced) {
            plain += text[at++];
        }
    }
    return plain;
}

bool isHemisphere(char c) {
    return c == 'N' || c == 'S' || c == 'E' || c == 'W' || c == 'n' || c == 's' || c == 'e' ||
           c == 'w';
}

bool isDigit(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

// Written with marks or hemisphere letters; an 'e' between digits is an exponent, not east.
bool marked(const std::string& text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const bool exponent = (c == 'e' || c == 'E') && i > 0 && isDigit(text[i - 1]) &&
                              i + 1 < text.size() &&
                              (isDigit(text[i + 1]) || text[i + 1] == '-' || text[i + 1] == '+');
        if (c == 'd' || c == '\'' || c == '"' || (isHemisphere(c) && !exponent)) {
            return true;
        }
    }
    return false;
}

// The whole of `text` as a finite number, a decimal comma taken as a point where `comma` is.
std::optional<double> numberOf(std::string text, bool comma) {
    if (comma) {
        std::replace(text.begin(), text.end(), ',', '.');
    }
    return wholeNumber<double>(text);
}

class Reader {
  public:
    explicit Reader(const std::string& text) : text_(text) {}
    bool atEnd() {
        skipSpace();
        return at_ == text_.size();
    }
    void skipSpace() {
        while (at_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[at_]))) {
            ++at_;
        }
    }
    bool take(char c) {
        skipSpace();
        if (at_ < text_.size() && text_[at_] == c) {
            ++at_;
            return true;
        }
        return false;
    }
    char hemisphere() {
        skipSpace();
        if (at_ < text_.size() && isHemisphere(text_[at_])) {
            return static_cast<char>(std::toupper(static_cast<unsigned char>(text_[at_++])));
        }
        return 0;
    }
    // Digits with a fraction after a point, or after a comma between digits.
    std::optional<double> number(bool& whole) {
        skipSpace();
        const std::size_t from = at_;
        while (at_ < text_.size() &&
               (isDigit(text_[at_]) || ((text_[at_] == '.' || text_[at_] == ',') && at_ > from &&
                                        at_ + 1 < text_.size() && isDigit(text_[at_ + 1])))) {
            ++at_;
        }
        const std::string digits = text_.substr(from, at_ - from);
        whole = digits.find_first_of(".,") == std::string::npos;
        return digits.empty() ? std::nullopt : numberOf(digits, true);
    }

    std::size_t position() const { return at_; }
    void rewind(std::size_t to) { at_ = to; }

  private:
    const std::string& text_;
    std::size_t at_ = 0;
};

struct Coordinate {
    double degrees;
    char hemisphere; // 'N', 'S', 'E', 'W' or 0
};

// [N] [-]D[d [M' [S"]]] [N]: minutes only after whole degrees, seconds after whole minutes.
std::optional<Coordinate> readCoordinate(Reader& in) {
    char hemisphere = in.hemisphere();
    const bool negative = in.take('-');
    bool whole = false;
    std::optional<double> value = in.number(whole);
    if (!value) {
        return std::nullopt;
    }
    if (in.take('d')) {
        for (const char mark : {'\'', '"'}) {
            const std::size_t before = in.position();
            bool wholePart = false;
            const std::optional<double> part = in.number(wholePart);
            if (!part) {
                in.rewind(before); // a hemisphere letter, or the next coordinate
                break;
            }
            if (!whole || *part >= 60 || !in.take(mark)) {
                return std::nullopt;
            }
            *value += *part / (mark == '\'' ? 60.0 : 3600.0);
            whole = wholePart;
        }
    }
    if (hemisphere == 0) {
        hemisphere = in.hemisphere(); // else a letter here is the next coordinate's
    }
    if (negative && hemisphere != 0) {
        return std::nullopt; // "-52 S" says the hemisphere twice
    }
    const bool southOrWest = hemisphere == 'S' || hemisphere == 'W';
    return Coordinate{negative || southOrWest ? -*value : *value, hemisphere};
}

std::optional<Place> markedPlace(const std::string& text) {
    Reader in(text);
    const std::optional<Coordinate> first = readCoordinate(in);
    if (!first) {
        return std::nullopt;
    }
    in.take(',') || in.take(';');
    const std::optional<Coordinate> second = readCoordinate(in);
    if (!second || !in.atEnd()) {
        return std::nullopt;
    }
    const auto isLongitude = [](char h) { return h == 'E' || h == 'W'; };
    const auto isLatitude = [](char h) { return h == 'N' || h == 'S'; };
    const bool swapped = isLongitude(first->hemisphere) || isLatitude(second->hemisphere);
    const Coordinate& latitude = swapped ? *second : *first;
    const Coordinate& longitude = swapped ? *first : *second;
    if (isLongitude(latitude.hemisphere) || isLatitude(longitude.hemisphere)) {
        return std::nullopt; // two latitudes, or two longitudes
    }
    return Place{latitude.degrees, longitude.degrees, 0};
}

// Two or three numbers: split at commas where a point is the decimal mark or nothing else
// separates them ("52.52,13.40"), else at semicolons or spaces, with commas as decimal marks
// ("52,52 13,40") or points ("52.52 13.40").
std::optional<Place> decimalPlace(std::string text) {
    const bool points = text.find('.') != std::string::npos;
    const bool commaFields = (points && text.find_first_of(",;") != std::string::npos) ||
                             text.find_first_of(" \t;") == std::string::npos;
    std::vector<std::string> fields;
    if (commaFields) {
        std::replace(text.begin(), text.end(), ';', ',');
        std::istringstream in(text);
        for (std::string field; std::getline(in, field, ',');) {
            std::istringstream words(field);
            std::string number, rest;
            if (!(words >> number) || words >> rest) {
                return std::nullopt;
            }
            fields.push_back(number);
        }
    } else {
        for (std::size_t at = 0; at < text.size(); ++at) {
            // "52,52, 13,40": a comma before a space separates too
            if (text[at] == ';' ||
                (text[at] == ',' && at + 1 < text.size() && text[at + 1] == ' ')) {
                text[at] = ' ';
            }
        }
        std::istringstream in(text);
        for (std::string field; in >> field;) {
            fields.push_back(field);
        }
    }
    std::vector<double> numbers;
    for (const std::string& field : fields) {
        const std::optional<double> number = numberOf(field, !commaFields && !points);
        if (!number) {
            return std::nullopt;
        }
        numbers.push_back(*number);
    }
    if (numbers.size() != 2 && numbers.size() != 3) {
        return std::nullopt;
    }
    return Place{numbers[0], numbers[1], numbers.size() == 3 ? numbers[2] : 0.0};
}

// A name under the zoneinfo directory, its leap-second and POSIX variants the zone itself.
std::string zoneOfName(std::string_view name) {
    while (name.starts_with("posix/") || name.starts_with("right/")) {
        name.remove_prefix(6);
    }
    return isZoneName(name) ? std::string(name) : std::string();
}

// What follows the last zoneinfo directory of a path, absolute or relative.
std::string zoneOfPath(std::string_view path) {
    constexpr std::string_view DIRECTORY = "zoneinfo/";
    for (std::size_t at = path.rfind(DIRECTORY); at != std::string_view::npos;
         at = at == 0 ? std::string_view::npos : path.rfind(DIRECTORY, at - 1)) {
        if (at == 0 || path[at - 1] == '/') {
            return zoneOfName(path.substr(at + DIRECTORY.size()));
        }
    }
    return {};
}

} // namespace

std::string withPlainSpaces(std::string_view text) {
    std::string plain;
    plain.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        bool space = false;
        for (const std::string_view nbsp : {"\u00A0", "\u2007", "\u2009", "\u202F"}) {
            if (text.substr(at, nbsp.size()) == nbsp) {
                plain += ' ';
                at += nbsp.size();
                space = true;
                break;
            }
        }
        if (!space) {
            plain += text[at++];
        }
    }
    return plain;
}

bool isZoneName(std::string_view name) {
    constexpr std::size_t LONGEST_ZONE_NAME = 64;
    if (name.empty() || name.size() > LONGEST_ZONE_NAME) {
        return false;
    }
    bool wordBegins = true;
    for (const char c : name) {
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        if (c == '/' && !wordBegins) {
            wordBegins = true;
        } else if (wordBegins ? letter : letter || isDigit(c) || c == '_' || c == '-' || c == '+') {
            wordBegins = false;
        } else {
            return false;
        }
    }
    // A zoneinfo directory within would make the name another one as a path.
    return !wordBegins && !name.starts_with("zoneinfo/") &&
           name.find("/zoneinfo/") == std::string_view::npos;
}

std::optional<Place> parsePlace(std::string_view text, std::string& error) {
    const std::string plain = plainMarks(text);
    const std::optional<Place> place = marked(plain) ? markedPlace(plain) : decimalPlace(plain);
    if (!place) {
        error = NOT_A_PLACE;
        return std::nullopt;
    }
    if (std::fabs(place->latitude) > 90 || std::fabs(place->longitude) > 180) {
        error = "lies beyond latitude ±90 or longitude ±180";
        return std::nullopt;
    }
    if (place->height < LOWEST_HEIGHT || place->height > HIGHEST_HEIGHT) {
        error = "has a height outside -500 to 9000 m";
        return std::nullopt;
    }
    return place;
}

std::string timeZoneNameOf(std::string_view tz, std::string_view localtime) {
    if (!tz.empty() && tz.front() == ':') {
        tz.remove_prefix(1);
    }
    if (tz.empty() || tz == "/etc/localtime") {
        return zoneOfPath(localtime);
    }
    // Anything else not begun by a slash is read from the zoneinfo directory, as the C library
    // does.
    return tz.front() == '/' ? zoneOfPath(tz) : zoneOfName(tz);
}

} // namespace orvanta
