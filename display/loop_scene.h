#pragma once

// What the loop picture shows, as plain data: Mars's loop, the stars, figures and ecliptic around
// it, the part of the sky it is drawn in, and the loop in words for those who cannot see it.

#include "ephemeris/mars_loop.h"
#include "ephemeris/sky_chart.h"

#include <optional>
#include <string>

namespace orvanta {

// A point on the chart, in degrees from its centre: x to the west, y to the north, as the sky
// looks from the northern hemisphere facing south (east on the left). The southern view turns
// the picture, not the chart.
struct ChartPoint {
    double x, y;
};

// A gnomonic projection about a centre (straight lines stay great circles, as on a star atlas)
// and the part of the plane the picture covers.
struct LoopFrame {
    Equatorial centre;
    double left, right, bottom, top; // degrees, left < right and bottom < top
    // Empty for a place 80° or more from the centre, which the plane cannot hold.
    std::optional<ChartPoint> project(const Equatorial& place) const;
    Equatorial placeAt(const ChartPoint& point) const;
    // Whether every place of the loop (its days and marks) can be projected: a loop always lies
    // within a few tens of degrees of its middle, but a frame is checked before it is drawn on.
    bool holds(const MarsLoop& loop) const;
    double width() const { return right - left; }
    double height() const { return top - bottom; }
};

// The frame about the middle of the loop's path (across 0 h as well), with a margin on each side
// for the marks' labels, widened to `aspect` (width over height).
LoopFrame loopFrame(const MarsLoop& loop, double aspect);

struct LoopScene {
    MarsLoop loop;
    ChartPlaces sky; // at the opposition: they move too little in a few months to matter
    // The stars Mars passes (within ALONG_THE_PATH of a day's place, to LABELLED_FAINTEST), by
    // their index in stars(), brightest first: those the chart labels before the others.
    std::vector<std::size_t> alongPath;
    // Drawn south up and east on the right, as the sky looks from the southern hemisphere.
    bool southUp = false;
};
constexpr double ALONG_THE_PATH = 3.0;    // degrees
constexpr double LABELLED_FAINTEST = 5.0; // a fainter star beside the path stays unlabelled
LoopScene loopScene(const MarsLoop& loop, bool southUp = false);

// Whether the loop is best drawn south up for a place at this latitude (degrees): south of the
// equator.
bool southUpAt(double latitude);

// "From 13 November 2026 Mars moves east in Leo; it stops on 13 January 2027 and moves west until
// 3 April 2027, then east again until 3 May 2027. Opposition on 19 February 2027; closest to
// Earth on 20 February 2027, magnitude -1.2." The constellations it passes into are named too.
std::string loopWords(const MarsLoop& loop);

// The stars the chart names along the path, in words: " It passes η Leonis and Regulus." (with
// its leading space), or nothing.
std::string alongWords(const LoopScene& scene);

} // namespace orvanta
