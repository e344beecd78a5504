#include "display/nights_scene.h"

#include "display/number_text.h"
#include "ephemeris/julian_date.h"
#include "ephemeris/mars_disk.h"
#include "ephemeris/moon.h"

#include <algorithm>
#include <cmath>

namespace orvanta {

namespace {

constexpr const char* MONTHS[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                  "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// "23:25 UT", to the nearest minute.
std::string minuteText(double utJd) {
    const std::string iso = isoText(nearestMinute(utJd), false);
    return iso.substr(iso.find('T') + 1) + " UT";
}

} // namespace

NightsScene nightsScene(std::vector<ApparitionNight> nights, std::string place,
                        std::optional<double> opposition) {
    NightsScene scene;
    scene.place = std::move(place);
    if (!nights.empty()) {
        const double first = nights.front().evening;
        if (opposition) {
            // The opposition's column is the night it falls in, counted from that night's noon.
            const double noon = nights.front().noon;
            scene.opposition = *opposition - noon;
        }
        const auto [small, large] =
            std::minmax_element(nights.begin(), nights.end(), [](const auto& a, const auto& b) {
                return a.diameter < b.diameter;
            });
        scene.smallest = small->diameter;
        scene.largest = large->diameter;
        for (std::size_t i = 0; i < nights.size(); ++i) {
            scene.mostHours = std::max(scene.mostHours, nights[i].hoursWellPlaced());
            const UtcClockReading day = calendarOfJulianDate(nights[i].evening);
            if (day.day == 1 || i == 0) {
                const bool year = scene.months.empty() || day.month == 1;
                scene.months.push_back(
                    {nights[i].evening - first,
                     std::string(MONTHS[day.month - 1]) +
                         (year ? ' ' + std::to_string(static_cast<int>(day.year)) : "")});
            }
        }
    }
    scene.nights = std::move(nights);
    return scene;
}

double moonGlare(const ApparitionNight& night) {
    if (night.moonAltitude <= 0) {
        return 0;
    }
    const double far =
        std::clamp((night.moonFromMars - MOON_NEAR_MARS) / (60 - MOON_NEAR_MARS), 0.0, 1.0);
    return night.moonLit * (1 - far / 2);
}

double sizeShare(const NightsScene& scene, double diameter) {
    const double range = scene.largest - scene.smallest;
    return range > 0 ? std::clamp((diameter - scene.smallest) / range, 0.0, 1.0) : 1.0;
}

std::string nightWords(const NightsScene& scene, std::size_t i) {
    const ApparitionNight& night = scene.nights[i];
    std::string words = dateInWords(night.evening) + ": " + formatFixed(night.diameter, 1) + "″, ";
    if (night.best) {
        words += "highest " + formatFixed(night.best->altitude, 1) + "° at " +
                 minuteText(night.best->utJd) + ", " + formatFixed(night.hoursWellPlaced(), 1) +
                 " h well placed";
    } else {
        words += "no dark sky";
    }
    words += night.moonAltitude > 0 ? "; Moon " + formatFixed(100 * night.moonLit, 0) + "% lit, " +
                                          formatFixed(night.moonFromMars, 0) + "° from Mars"
                                    : "; Moon down";
    if (i < scene.facing.size() && scene.facing[i]) {
        words += "; " + scene.feature + " faces Earth at " + minuteText(*scene.facing[i]);
    }
    return words;
}

} // namespace orvanta
