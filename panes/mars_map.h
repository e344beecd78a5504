#pragma once

// The global map of Mars the painted views show its surface from: the telescope's disk and the
// strip of the night's faces.

#include <QImage>

namespace orvanta {

// The smallest of the map's halvings with two of its pixels or more to each of a disk's of this
// radius (pixels) at the centre, where a pixel spans 1/r of a radian of longitude.
const QImage& marsMapFor(double radius);
// The map's colour at a planetocentric latitude and west longitude, between its four nearest
// pixels.
QRgb marsMapColour(const QImage& map, double latitude, double westLongitude);

} // namespace orvanta
