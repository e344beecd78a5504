#include "display/face_words.h"

#include "display/number_text.h"
#include "ephemeris/angles.h"

#include <algorithm>
#include <cmath>

namespace orvanta {

namespace {

// The central meridian turns about 7° meanwhile: a straight line between readings is off by
// far less than a pixel of any strip.
constexpr double READING_STEP = 20.0 / 1440;

std::string utText(double utJd) {
    const std::string minute = isoText(nearestMinute(utJd), false);
    return minute.substr(minute.find('T') + 1) + " UT";
}

} // namespace

std::string faceLine(const FaceCrossing& crossing, const ClockText& clock) {
    const std::string told = clock(crossing.utJd);
    const std::string ut = utText(crossing.utJd);
    return std::string(crossing.feature->name) + " on the central meridian at " + told +
           (told == ut ? std::string() : " (" + ut + ")") + ", Mars " +
           degreesText(crossing.altitude) + " up, " +
           (darkSky(crossing.light) ? std::string("dark sky") : skyLightWords(crossing.light));
}

FacesScene facesScene(const Tonight& night, const Place& where, const ClockText& clock,
                      const ZoneOffset& offsetAt) {
    FacesScene scene;
    if (night.neverUp || night.samples.empty()) {
        return scene;
    }
    scene.from = night.rise ? night.rise->utJd : night.samples.front().utJd;
    scene.to = night.end;
    const auto steps = static_cast<int>(std::ceil((scene.to - scene.from) / READING_STEP));
    for (int i = 0; i <= steps; ++i) {
        const double t = std::min(scene.from + i * READING_STEP, scene.to);
        double cm = centralMeridianAt(t);
        if (!scene.meridian.empty()) {
            const double before = scene.meridian.back().centralMeridian;
            cm = before + wrap360(cm - before);
        }
        scene.meridian.push_back({t, cm});
    }
    for (const SkySample& s : night.samples) {
        if (s.utJd >= scene.from && s.utJd <= scene.to) {
            scene.samples.push_back(s);
        }
    }
    scene.hours = localHourMarks(scene.samples, offsetAt);
    scene.crossings = faceCrossings(night, where);
    for (const FaceCrossing& c : scene.crossings) {
        scene.lines.push_back(faceLine(c, clock));
    }
    return scene;
}

} // namespace orvanta
