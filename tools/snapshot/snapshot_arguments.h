#pragma once

// The orvanta-snapshot command line, read without Qt so that it can be tested on its own.

#include "display/disk_words.h"
#include "display/sky_words.h"
#include "ephemeris/sky.h"
#include "ephemeris/utc_clock.h"
#include "towns/towns.h"

#include <optional>
#include <string>
#include <vector>

namespace orvanta {

struct SnapshotRequest {
    UtcClockReading utc;
    std::string output;
    int width = 640; // the main window's client area
    int height = 480;
    bool sizeGiven = false;
    bool sky = false; // the "Mars tonight" window instead
    std::optional<PlaceEntry> place;
    std::optional<DiskOrientation> disk; // with sky: the telescope's disks turned so
    std::optional<ClockChoice> clock;    // with sky: the clock its times are told on
    // With sky: the date and time typed into its date field, on that clock, instead of `utc`.
    std::optional<UtcClockReading> typed;
    bool approaches = false; // the Approaches window instead
    int fromYear = 0;        // its span; 0 for the window's own
    int years = 0;
    int loopYear = 0;     // the loop of that year's approach instead; 0 for none
    bool southUp = false; // with loopYear: drawn as from the southern hemisphere
    int nightsYear = 0;   // the nights of that year's approach instead; 0 for none
    int feature = -1;     // with nightsYear: the feature marked, an index into marsFeatures()
    bool red = false;     // with sky or approaches: in the red night mode
};

constexpr const char* SNAPSHOT_USAGE =
    "usage: orvanta-snapshot --utc YYYY-MM-DDTHH:MM:SS --out FILE.png [--size WIDTHxHEIGHT]\n"
    "       orvanta-snapshot --sky --utc T|--typed T [--place P] [--disk O] [--clock C]\n"
    "                        [--red] --out FILE.png\n"
    "       orvanta-snapshot --approaches [--from YEAR --years N] [--utc T] [--red]\n"
    "                        --out FILE.png\n"
    "       orvanta-snapshot --loop YEAR [--south] [--size WIDTHxHEIGHT] --out FILE.png\n"
    "       orvanta-snapshot --nights YEAR [--place P] [--feature NAME] --out FILE.png\n"
    "\n"
    "Draws what the widget's window shows at a UTC instant into a PNG file, without showing a\n"
    "window and without a display. The clock line is in the local time zone (TZ). The picture\n"
    "is the arguments' and the environment's (TZ, the locale) alone: no settings are read or\n"
    "saved.\n"
    "\n"
    "  --utc T        the UTC clock reading T, in the years 0100 to 9999 (proleptic\n"
    "                 Gregorian)\n"
    "  --out FILE     the PNG file to write (a regular file, replaced if it exists)\n"
    "  --size WxH     the client area, 1 to 4096 pixels each way (default 640x480)\n"
    "  --sky          the \"Mars tonight\" window instead: Mars in the sky of a place\n"
    "  --place P      with --sky or --nights: LAT,LON[,HEIGHT] in degrees north and east and "
    "metres,\n"
    "                 52°31'N 13°24'E, or a town by its name in English or in a language\n"
    "                 of its country (Reykjavík, München, \"Sydney, Canada\"), shown in\n"
    "                 the language of the locale (LANGUAGE, LC_ALL, LC_MESSAGES, LANG)\n"
    "                 (default: the town of the time zone)\n"
    "  --disk O       with --sky: the telescope's view of Mars north-up (east on the left, as\n"
    "                 the eye sees the sky), mirrored (as in a star diagonal) or south-up (as\n"
    "                 in a Newtonian or a straight refractor) (default north-up)\n"
    "  --clock C      with --sky: the clock its times are told on: place (the place's own),\n"
    "                 ut, or computer (the local time zone, TZ) (default place)\n"
    "  --typed T      with --sky: T typed into its date field, on that clock, instead of\n"
    "                 --utc (a time a change of clocks skips is moved on by the change, one\n"
    "                 it repeats is the first, and the window says so)\n"
    "  --approaches   the Approaches window instead: the distance of Mars over the years and\n"
    "                 the orbits from above, with every closest approach (at T, by default\n"
    "                 now; the countdown's target is 2003's)\n"
    "  --from YEAR    with --approaches: the first year shown, 100 to 5990 (default: 15 years\n"
    "                 before T)\n"
    "  --years N      with --approaches: how many years, 5 to 200 (default 47)\n"
    "  --red          with --sky or --approaches: in the red night mode, dark reds on black\n"
    "  --loop YEAR    Mars's loop among the stars around the closest approach of YEAR (0100\n"
    "                 to 5999), alone (default 800x560); a year without one is refused\n"
    "  --south        with --loop: south up and east on the right, as the sky looks from the\n"
    "                 southern hemisphere (default north up and east on the left)\n"
    "  --nights YEAR  the nights of the apparition of YEAR's closest approach (0100 to\n"
    "                 5999) from the place, as the Approaches window's Nights tab draws\n"
    "                 them, alone (default 900x420)\n"
    "  --feature NAME with --nights: the nights NAME (Syrtis Major, Hellas, ...) faces\n"
    "                 Earth while Mars is well placed marked\n"
    "  --help         show this text\n"
    "\n"
    "Exit status: 0 when the picture is written; 1 when it is written but the orbit diagram\n"
    "could not be drawn (it stays black, and a line on stderr says why); 2 for bad arguments or\n"
    "a file that cannot be written.\n";

// The request, or nothing with the one line that says what is wrong in `error`. `help` is set when
// the usage was asked for.
std::optional<SnapshotRequest> parseSnapshotArguments(const std::vector<std::string>& args,
                                                      bool& help, std::string& error);

} // namespace orvanta
