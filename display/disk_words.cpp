#include "display/disk_words.h"

#include "display/number_text.h"
#include "ephemeris/stars.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace orvanta {

namespace {

// Halves upwards, as the words have always been rounded (wholeDegrees rounds so too).
int rounded(double value) {
    return static_cast<int>(std::floor(value + 0.5));
}

constexpr const char* ORIENTATION_NAMES[] = {"north-up", "mirrored", "south-up"};

} // namespace

std::string seasonText(const MarsDisk& disk) {
    static constexpr const char* SEASONS[] = {"spring", "summer", "autumn", "winter"};
    static constexpr const char* THIRDS[] = {"early", "mid", "late"};
    const double ls = wrap360(disk.solarLongitude);
    // Ls 0 is the northern spring equinox: the southern seasons are half a year on.
    const bool north = disk.tilt >= 0;
    const int quarter = std::min(static_cast<int>(ls / 90), 3);
    const int third = std::min(static_cast<int>((ls - 90 * quarter) / 30), 2);
    return "Ls " + std::to_string(wholeDegrees(ls)) + "°, " + THIRDS[third] + ' ' +
           (north ? "northern " : "southern ") + SEASONS[(quarter + (north ? 0 : 2)) % 4];
}

const char* orientationName(DiskOrientation orientation) {
    return ORIENTATION_NAMES[static_cast<int>(orientation)];
}

std::optional<DiskOrientation> orientationNamed(std::string_view name) {
    for (int i = 0; i < 3; ++i) {
        if (name == ORIENTATION_NAMES[i]) {
            return static_cast<DiskOrientation>(i);
        }
    }
    return std::nullopt;
}

std::string diskWords(const MarsDisk& disk) {
    std::string words = formatFixed(disk.diameter, 1) + " arcseconds across, " +
                        std::to_string(rounded(disk.phase * 100)) + " percent lit";
    if (disk.phase < 0.995) {
        words += ", the dark side to the ";
        words += compassWord(disk.brightLimb + 180);
    }
    words += "; tilted " + std::to_string(rounded(std::fabs(disk.tilt))) + " degrees with the " +
             (disk.tilt >= 0 ? "north" : "south") + " pole towards us; central meridian " +
             std::to_string(wholeDegrees(disk.centralMeridian)) + " degrees. " + seasonText(disk) +
             // No published model of the caps' size through the seasons is drawn here.
             "; the polar caps shown are the global map's, not the season's.";
    // The named features on the lit face, well inside the limb, nearest the central meridian
    // first.
    const DiskGeometry geometry(disk);
    std::vector<std::pair<double, std::string>> facing;
    for (const MarsFeature& f : marsFeatures()) {
        const DiskGeometry::Seen s = geometry.seen(f.latitude, f.westLongitude);
        if (s.facing < 0.35 || geometry.surfaceAt(s.x, s.y).sunlight < 0.1) {
            continue;
        }
        // West longitudes above the central meridian's are on the east side, turning towards it.
        const double east = wrap180(f.westLongitude - disk.centralMeridian);
        const char* where = std::fabs(east) <= 20 ? "near the central meridian"
                            : east > 0            ? "east of the central meridian"
                                                  : "west of the central meridian";
        facing.emplace_back(std::fabs(east), std::string(f.name) + ' ' + where);
    }
    std::sort(facing.begin(), facing.end());
    for (std::size_t i = 0; i < facing.size() && i < 4; ++i) {
        words += (i == 0 ? " " : "; ") + facing[i].second;
    }
    if (!facing.empty()) {
        words += '.';
    }
    return words;
}

} // namespace orvanta
