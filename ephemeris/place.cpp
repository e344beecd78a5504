#include "ephemeris/place.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <strings.h>
#include <unistd.h>

namespace orvanta {

namespace {

// "+5230" or "+523015": sign, degrees (`degreeDigits` of them), minutes and maybe seconds.
std::optional<double> isoCoordinate(std::string_view text, std::size_t degreeDigits) {
    if (text.size() != 1 + degreeDigits + 2 && text.size() != 1 + degreeDigits + 4) {
        return std::nullopt;
    }
    const auto number = [&](std::size_t at, std::size_t length) {
        return std::atoi(std::string(text.substr(at, length)).c_str());
    };
    double value = number(1, degreeDigits) + number(1 + degreeDigits, 2) / 60.0;
    if (text.size() == 1 + degreeDigits + 4) {
        value += number(3 + degreeDigits, 2) / 3600.0;
    }
    return text[0] == '-' ? -value : value;
}

// The tz database's zones with their places: "+5230+01322 Europe/Berlin".
template <typename Visit>
void forEachZone(Visit visit) {
    std::ifstream table("/usr/share/zoneinfo/zone1970.tab");
    std::string line;
    while (std::getline(table, line)) {
        std::istringstream fields(line);
        std::string countries, coordinates, name;
        if (line.empty() || line[0] == '#' || !(fields >> countries >> coordinates >> name)) {
            continue;
        }
        const std::size_t split = coordinates.find_first_of("+-", 1);
        const auto latitude = isoCoordinate(std::string_view(coordinates).substr(0, split), 2);
        const auto longitude = isoCoordinate(std::string_view(coordinates).substr(split), 3);
        if (latitude && longitude && visit(name, Place{*latitude, *longitude, 0})) {
            return;
        }
    }
}

} // namespace

std::optional<Place> parsePlace(std::string_view text, std::string& error) {
    std::istringstream in{std::string(text)};
    Place place{0, 0, 0};
    char comma = 0;
    if (!(in >> place.latitude >> comma) || comma != ',' || !(in >> place.longitude)) {
        error = "is not LAT,LON or LAT,LON,HEIGHT";
        return std::nullopt;
    }
    if (in >> comma && (comma != ',' || !(in >> place.height))) {
        error = "is not LAT,LON or LAT,LON,HEIGHT";
        return std::nullopt;
    }
    std::string rest;
    if (in >> rest || !std::isfinite(place.latitude) || !std::isfinite(place.longitude) ||
        !std::isfinite(place.height)) {
        error = "is not LAT,LON or LAT,LON,HEIGHT";
        return std::nullopt;
    }
    if (std::fabs(place.latitude) > 90 || std::fabs(place.longitude) > 180) {
        error = "lies beyond latitude ±90 or longitude ±180";
        return std::nullopt;
    }
    if (place.height < LOWEST_HEIGHT || place.height > HIGHEST_HEIGHT) {
        error = "has a height outside -500 to 9000 m";
        return std::nullopt;
    }
    return place;
}

std::string timeZoneName() {
    if (const char* tz = std::getenv("TZ"); tz != nullptr && *tz != '\0') {
        return tz[0] == ':' ? tz + 1 : tz;
    }
    char link[4096];
    const ssize_t length = ::readlink("/etc/localtime", link, sizeof link - 1);
    if (length <= 0) {
        return {};
    }
    const std::string target(link, static_cast<std::size_t>(length));
    const std::size_t at = target.find("zoneinfo/");
    return at == std::string::npos ? std::string() : target.substr(at + 9);
}

std::optional<Place> placeOfZone(const std::string& zone) {
    std::optional<Place> found;
    forEachZone([&](const std::string& name, const Place& place) {
        if (name == zone) {
            found = place;
        }
        return found.has_value();
    });
    return found;
}

std::optional<NearestZone> nearestZone(const Place& place) {
    constexpr double EARTH_RADIUS_KM = 6371.0;
    std::optional<NearestZone> nearest;
    forEachZone([&](const std::string& name, const Place& city) {
        const double km = angleBetween(place.longitude * DEGREE, place.latitude * DEGREE,
                                       city.longitude * DEGREE, city.latitude * DEGREE) *
                          DEGREE * EARTH_RADIUS_KM;
        if (!nearest || km < nearest->km) {
            nearest = NearestZone{name, km};
        }
        return false;
    });
    return nearest;
}

std::optional<std::pair<std::string, Place>> placeOfCity(std::string city) {
    std::replace(city.begin(), city.end(), ' ', '_');
    std::optional<std::pair<std::string, Place>> found;
    forEachZone([&](const std::string& name, const Place& place) {
        const std::string last = name.substr(name.rfind('/') + 1);
        if (!city.empty() && strcasecmp(last.c_str(), city.c_str()) == 0) {
            found.emplace(name, place);
        }
        return found.has_value();
    });
    return found;
}

} // namespace orvanta
