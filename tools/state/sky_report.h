#pragma once

// orvanta-state --sky: Mars in the sky of a place, in lines a script can read: the record the
// "Mars tonight" window shows (sky_tonight.h), its star the one the window names.

#include "ephemeris/sky.h"
#include "ephemeris/utc_clock.h"

#include <string>

namespace orvanta {

// place 52.5200 13.4050 34
// mars 2027-02-20T00:14:00Z altitude 51.23 azimuth 181.07 constellation Leo
// sun altitude -52.10
// rise 2027-02-19T16:42Z azimuth 62.1
// transit 2027-02-19T23:55Z altitude 51.3
// set 2027-02-20T07:10Z azimuth 297.9
// best 2027-02-19T17:50Z 2027-02-20T04:50Z
// near η Leo 2.36 south-east       (the window's star: its name, else its designation)
// moon 7.3
// disk diameter 13.81 phase 0.999 tilt 20.14 cm 158.12 pole 2.35
void appendSkyReport(std::string& out, const UtcClockReading& at, const Place& place);

// orvanta-state --faces: the night's crossings of the central meridian (mars_faces.h), one a line:
// face Syrtis Major 2003-08-27T21:18Z altitude 19.6
void appendFacesReport(std::string& out, const UtcClockReading& at, const Place& place);

} // namespace orvanta
