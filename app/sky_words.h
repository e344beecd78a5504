#pragma once

// Mars tonight in words: the pass on the place's clock, the sky it stands in, the star it is near.

#include "ephemeris/night.h"
#include "ephemeris/stars.h"

#include <QString>
#include <QStringList>
#include <QTimeZone>
#include <vector>

namespace orvanta {

constexpr double NEAR_WITHIN = 10.0;          // degrees: a star further off is not "near"
constexpr double TOO_CLOSE_TO_THE_SUN = 15.0; // degrees: lost in the Sun's glare

QString direction(double azimuth);
QString degrees(double value);
// The pass in words, on the place's clock.
QStringList eventLines(const Tonight& night, const QTimeZone& zone);
// The sky Mars stands in, by the Sun's altitude: nothing said for a dark one.
QString skyOf(double sunAltitude);
// The named star the words give: the nearest one where it lies within 10°, else the brightest
// within 20°, else none.
NearStar starToName(const Equatorial& mars, const std::vector<Equatorial>& places);
QString bestLine(const Tonight& night, const QTimeZone& zone);

} // namespace orvanta
