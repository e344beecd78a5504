#!/usr/bin/python3
"""Makes tests/approaches/oppositions.tsv: the oppositions of Mars from 2003 to 2035 by an
independent implementation (Debian's python3-ephem), with the elongation of Mars then, for the
opposition test to compare against.

An opposition is the instant at which the apparent geocentric ecliptic longitudes of date of Mars
and the Sun differ by 180 degrees; the instants are UT.

usage: make_reference.py > tests/approaches/oppositions.tsv"""

import math

import ephem


def past_opposition(date):
    """Mars's longitude less the Sun's less 180 degrees, in radians in (-pi, pi]."""
    date = ephem.Date(date)
    lon = [ephem.Ecliptic(ephem.Equatorial(b.g_ra, b.g_dec, epoch=date), epoch=date).lon
           for b in (ephem.Mars(date), ephem.Sun(date))]
    return math.remainder(lon[0] - lon[1] - math.pi, 2 * math.pi)


print("opposition_utc\telongation")
date, end = ephem.Date("2003/01/01"), ephem.Date("2036/01/01")
while date < end:
    if past_opposition(date) > 0 > past_opposition(date + 5):
        at = ephem.Date(ephem.newton(past_opposition, date, date + 5))
        elongation = abs(math.degrees(ephem.Mars(at).elong))
        print(f"{at.datetime().strftime('%Y-%m-%dT%H:%M:%S')}\t{elongation:.3f}")
    date = ephem.Date(date + 5)
