#pragma once

// What the sky dome shows besides Mars and its track: the stars, the constellation figures, the
// ecliptic, the names of the bright stars near Mars, and the Moon, where they are seen from a
// place (true altitudes). Pure, as sky.h.

#include "ephemeris/sky.h"
#include "ephemeris/stars.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace orvanta {

struct SkyChart {
    struct Star {
        Horizontal at;
        double magnitude;
    };
    struct Name {
        Horizontal at;
        std::string text;
        // The star the words name, the Sun and the Moon: given room however crowded.
        bool always = false;
        double magnitude = -30; // a star's; the Moon and the Sun outshine any
    };
    std::vector<Star> stars;
    std::vector<std::pair<Horizontal, Horizontal>> figures;
    std::vector<Horizontal> ecliptic; // a closed line
    std::vector<Name> names; // the most wanted first: a name that finds no room is left out
    std::optional<Horizontal> moon;
    double moonLit = 1; // moonLitFraction, whether or not it is up
    // A point a degree from the Moon towards the Sun: the lit side's direction, as the chart is
    // drawn, whatever the projection.
    Horizontal moonTowardsSun{90, 0};
    Horizontal sun{-90, 0}; // also below the horizon: it tells how lit the sky is
};

// The apparent places of the stars (in the table's order), of the ends of the figures' lines,
// and of points along the ecliptic: they move so little in a night that they are found once.
struct ChartPlaces {
    std::vector<Equatorial> stars, figureEnds, ecliptic;
};
ChartPlaces chartPlacesAt(double utJd);

// The chart at `utJd` from `where`; `near` is the star the words name, which is named first, then
// the Sun when it is up.
SkyChart skyChartAt(double utJd, const Place& where, const ChartPlaces& places,
                    const Equatorial& mars, const NearStar& near);

} // namespace orvanta
