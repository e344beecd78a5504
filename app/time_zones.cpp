#include "app/time_zones.h"

#include "towns/towns.h"

#include <string>
#include <vector>

namespace orvanta {

std::optional<QTimeZone> qtTimeZoneOf(std::string_view zone) {
    if (zone.empty()) {
        return std::nullopt;
    }
    const ZoneNames& database = systemZoneNames();
    const std::vector<std::string> names = database.namesOf(zone);
    for (const std::string& name : names) {
        if (QTimeZone::isTimeZoneIdAvailable(QByteArray::fromStdString(name))) {
            return QTimeZone(QByteArray::fromStdString(name));
        }
    }
    for (const std::string& name : names) {
        if (database.knows(name)) {
            if (QTimeZone clock(QByteArray::fromStdString(name)); clock.isValid()) {
                return clock;
            }
        }
    }
    return std::nullopt;
}

} // namespace orvanta
