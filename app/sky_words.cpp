#include "app/sky_words.h"

#include "ephemeris/stars.h"
#include "panes/texts.h"

namespace orvanta {

namespace {

constexpr double BRIGHT_STAR_WITHIN = 20.0; // else the brightest named star this near

} // namespace

QString direction(double azimuth) {
    const std::string_view word = compassWord(azimuth, 16);
    return QString::fromLatin1(word.data(), static_cast<qsizetype>(word.size()));
}

QString degrees(double value) {
    return QString::number(qRound(value)) + QChar(0x00B0);
}

// The pass in words, on the place's clock.
QStringList eventLines(const Tonight& night, const QTimeZone& zone) {
    QStringList lines;
    if (night.alwaysUp) {
        lines << QStringLiteral("Mars does not set here now: it is above the horizon all day and "
                                "night.");
    } else if (night.neverUp && night.transit) {
        // Its highest is below the horizon: said so, not as a height above it.
        lines << QStringLiteral(
                     "Mars does not rise here now; at its highest, %1, it stays %2 below "
                     "the horizon.")
                     .arg(zonedMinuteText(night.transit->utJd, zone),
                          degrees(-night.transit->altitude));
        return lines;
    } else if (night.neverUp) {
        lines << QStringLiteral("Mars does not rise here now.");
    }
    if (night.rise) {
        lines << QStringLiteral("Rises at %1 in the %2.")
                     .arg(zonedMinuteText(night.rise->utJd, zone), direction(night.rise->degrees));
    }
    if (night.transit) {
        lines << QStringLiteral("Highest at %1, %2 above the horizon in the %3.")
                     .arg(zonedMinuteText(night.transit->utJd, zone),
                          degrees(night.transit->altitude), direction(night.transit->azimuth));
    }
    if (night.set) {
        lines << QStringLiteral("Sets at %1 in the %2.")
                     .arg(zonedMinuteText(night.set->utJd, zone), direction(night.set->degrees));
    }
    return lines;
}

QString skyOf(double sunAltitude) {
    const SkyLight light = skyLightOf(sunAltitude);
    return light == SkyLight::Day ? QStringLiteral(", in a daylit sky")
           : darkSky(light)       ? QString()
                            : QStringLiteral(", in ") + QString::fromLatin1(skyLightWords(light));
}

// The named star the words give: the nearest one where it lies within 10°, else the brightest
// within 20°, else none.
NearStar starToName(const Equatorial& mars, const std::vector<Equatorial>& places) {
    const NearStar nearest = nearestNamedStar(mars, places);
    if (!nearest.star || nearest.degrees <= NEAR_WITHIN) {
        return nearest;
    }
    const std::vector<Star>& table = stars(); // brightest first
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (const double d = separation(places[i], mars);
            !table[i].name.empty() && d <= BRIGHT_STAR_WITHIN) {
            return {&table[i], d, compassWord(positionAngle(places[i], mars))};
        }
    }
    return {nullptr, 0, {}};
}

QString bestLine(const Tonight& night, const QTimeZone& zone) {
    return night.best ? QStringLiteral(
                            "Best seen from %1 to %2 (the Sun 12° or more below the horizon, and "
                            "Mars above 10°).")
                            .arg(zonedMinuteText(night.best->from, zone),
                                 zonedMinuteText(night.best->to, zone))
                      : QStringLiteral("Not well placed tonight: never high in a dark sky.");
}

} // namespace orvanta
