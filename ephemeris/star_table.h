#pragma once

// The star and figure tables' text as tools/make_star_tables.py writes it (data/stars/*.dat), and
// the constellations' boundaries and names as published (data/constellations/*.dat): one row a
// line, comments (#) and empty lines skipped. Read strictly and whatever the process locale, so
// that the build, which reads them first, stops at a bad line rather than the sky showing a star
// at 0 h, 0° or a Mars "In the constellation , …".

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace orvanta {

struct Star {
    double rightAscension, declination; // radians, equator and equinox J2000 at the epoch J2000.0
    double motionRa, motionDec;         // radians a Julian year, the first along the parallel
    double magnitude;
    std::string name; // the proper name, or empty
    // The catalogue's designations, each empty where it gives none: its number (HR), the
    // Flamsteed number ("44"), the Bayer letter in its three letters with the component's digit
    // ("Alp2") and the constellation's abbreviation ("Vir").
    int number = 0;
    std::string flamsteed, bayer, constellation;
};

// A line of a constellation figure between two stars, J2000, in radians.
struct FigureLine {
    double ra1, dec1, ra2, dec2;
};

// A band of the constellation boundaries (Roman 1987, equinox B1875): the sky from raLow to raHigh
// hours and from decLow degrees north belongs to the constellation, where no band before it took
// it.
struct ConstellationBand {
    double raLow, raHigh, decLow;
    std::string abbreviation; // "Vir"
};

// A constellation's name by its abbreviation: "Vir", "Virgo".
struct ConstellationName {
    std::string abbreviation, name;
};

// What is wrong with a row, and on which line (from 1).
struct TableError {
    std::size_t line;
    std::string what;
};

// Each throws TableError at the first row that is not a row of its table.
std::vector<Star> readStarTable(std::string_view text);
std::vector<FigureLine> readFigureTable(std::string_view text);
std::vector<ConstellationBand> readBoundaryTable(std::string_view text);
std::vector<ConstellationName> readConstellationNames(std::string_view text);

} // namespace orvanta
