#include "towns/zone_tables.h"

#include "towns/place_text.h"

#include <algorithm>

namespace orvanta {

namespace {

// The text's lines, without their line ends.
std::vector<std::string_view> linesOf(std::string_view text) {
    std::vector<std::string_view> lines;
    for (std::size_t from = 0; from < text.size();) {
        const std::size_t end = std::min(text.find('\n', from), text.size());
        std::string_view line = text.substr(from, end - from);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        lines.push_back(line);
        from = end + 1;
    }
    return lines;
}

// A line split at `separator`, each field as it stands; with `squeeze`, runs of it are one.
std::vector<std::string_view> fieldsOf(std::string_view line, char separator, bool squeeze) {
    std::vector<std::string_view> fields;
    for (std::size_t from = 0; from <= line.size();) {
        const std::size_t end = std::min(line.find(separator, from), line.size());
        if (!squeeze || end > from) {
            fields.push_back(line.substr(from, end - from));
        }
        from = end + 1;
    }
    return fields;
}

bool allDigits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

int numberOf(std::string_view digits) {
    int value = 0;
    for (const char c : digits) {
        value = value * 10 + (c - '0');
    }
    return value;
}

// ±DDMM[SS] or ±DDDMM[SS], with `degreeDigits` digits of degrees; false for anything else.
bool angleOf(std::string_view text, std::size_t degreeDigits, bool seconds, double& angle) {
    const std::size_t size = 1 + degreeDigits + (seconds ? 4 : 2);
    if (text.size() != size || (text[0] != '+' && text[0] != '-') || !allDigits(text.substr(1))) {
        return false;
    }
    const int minutes = numberOf(text.substr(1 + degreeDigits, 2));
    const int secs = seconds ? numberOf(text.substr(3 + degreeDigits, 2)) : 0;
    if (minutes >= 60 || secs >= 60) {
        return false;
    }
    angle = numberOf(text.substr(1, degreeDigits)) + minutes / 60.0 + secs / 3600.0;
    angle = text[0] == '-' ? -angle : angle;
    return true;
}

// ISO 6709 as the zone tables write it: "+0117+10351" or "+011700+1035100".
bool placeOf(std::string_view text, Place& place) {
    const bool seconds = text.size() == 15;
    const std::size_t split = seconds ? 7 : 5;
    if (text.size() != 11 && !seconds) {
        return false;
    }
    return angleOf(text.substr(0, split), 2, seconds, place.latitude) &&
           angleOf(text.substr(split), 3, seconds, place.longitude) &&
           std::abs(place.latitude) <= 90 && std::abs(place.longitude) <= 180;
}

bool isCountryCode(std::string_view code) {
    return code.size() == 2 &&
           std::all_of(code.begin(), code.end(), [](char c) { return c >= 'A' && c <= 'Z'; });
}

} // namespace

void ZoneNames::readTzdata(std::string_view text) {
    for (const std::string_view line : linesOf(text)) {
        const std::vector<std::string_view> fields = fieldsOf(line, ' ', true);
        if (fields.size() >= 2 && fields[0] == "Z") {
            addZone(fields[1]);
        } else if (fields.size() >= 3 && fields[0] == "L") {
            addLink(fields[1], fields[2]);
        }
    }
}

void ZoneNames::addZone(std::string_view name) {
    if (isZoneName(name)) {
        zones_.emplace(name);
    }
}

void ZoneNames::addLink(std::string_view target, std::string_view link) {
    // A link that would lead back to itself is no link: the links stay free of loops, so that
    // each name stands for one zone.
    if (isZoneName(target) && isZoneName(link) && targetOf(target) != link &&
        links_.emplace(std::string(link), std::string(target)).second) {
        linkedTo_.emplace(std::string(target), std::string(link));
    }
}

void ZoneNames::addListed(std::string_view name) {
    if (isZoneName(name)) {
        listed_.emplace(name);
    }
}

bool ZoneNames::knows(std::string_view name) const {
    return zones_.contains(name) || links_.contains(name);
}

std::string ZoneNames::targetOf(std::string_view name) const {
    // A link to a link is followed to its end, which addLink keeps from looping.
    std::string target(name);
    for (auto link = links_.find(target); link != links_.end(); link = links_.find(target)) {
        target = link->second;
    }
    return target;
}

std::vector<std::string> ZoneNames::namesOf(std::string_view name) const {
    std::vector<std::string> names{std::string(name)};
    const std::string target = targetOf(name);
    std::vector<std::string> others{target};
    // Links to the zone, and links to those.
    for (std::size_t i = 0; i < others.size(); ++i) {
        const auto [from, to] = linkedTo_.equal_range(others[i]);
        for (auto link = from; link != to; ++link) {
            if (std::find(others.begin(), others.end(), link->second) == others.end()) {
                others.push_back(link->second);
            }
        }
    }
    std::sort(others.begin() + 1, others.end());
    for (std::string& other : others) {
        if (other != names.front()) {
            names.push_back(std::move(other));
        }
    }
    return names;
}

std::string ZoneNames::listedName(std::string_view name) const {
    const std::vector<std::string> names = namesOf(name);
    const auto listed = std::find_if(names.begin(), names.end(),
                                     [this](const std::string& n) { return listed_.contains(n); });
    return listed != names.end() ? *listed : targetOf(name);
}

std::vector<ZoneRow> readZoneTable(std::string_view text) {
    std::vector<ZoneRow> rows;
    for (const std::string_view line : linesOf(text)) {
        if (line.empty() || line.front() == '#') {
            continue;
        }
        const std::vector<std::string_view> fields = fieldsOf(line, '\t', false);
        ZoneRow row;
        if (fields.size() < 3 || fields.size() > 4 || !placeOf(fields[1], row.place) ||
            !isZoneName(fields[2])) {
            continue;
        }
        for (const std::string_view code : fieldsOf(fields[0], ',', false)) {
            if (!isCountryCode(code)) {
                row.countries.clear();
                break;
            }
            row.countries.emplace_back(code);
        }
        if (row.countries.empty()) {
            continue;
        }
        row.zone = std::string(fields[2]);
        row.comment = fields.size() == 4 ? std::string(fields[3]) : std::string();
        rows.push_back(std::move(row));
    }
    return rows;
}

std::map<std::string, std::string, std::less<>> readCountryTable(std::string_view text) {
    std::map<std::string, std::string, std::less<>> countries;
    for (const std::string_view line : linesOf(text)) {
        const std::vector<std::string_view> fields = fieldsOf(line, '\t', false);
        if (fields.size() == 2 && isCountryCode(fields[0]) && !fields[1].empty()) {
            countries.emplace(std::string(fields[0]), std::string(fields[1]));
        }
    }
    return countries;
}

std::string cityOfZone(std::string_view zone) {
    const std::size_t slash = zone.rfind('/');
    if (!isZoneName(zone) || slash == std::string_view::npos || zone.starts_with("Etc/")) {
        return {};
    }
    std::string city(zone.substr(slash + 1));
    std::replace(city.begin(), city.end(), '_', ' ');
    return city;
}

} // namespace orvanta
