#!/usr/bin/python3
"""Makes tests/approaches/stationary.tsv: the stationary points of Mars from 1990 to 2060 by an
independent implementation (Debian's python3-ephem), for the stationary point test to compare
against.

A stationary point is an instant at which the apparent geocentric ecliptic longitude of date of
Mars stops changing: "retrograde" where its westward motion begins, "direct" where it ends. The
instants are UT; the longitude is Mars's then, in degrees.

usage: make_stationary_reference.py > tests/approaches/stationary.tsv"""

import math

import ephem

STEP = 0.05  # days either side for the rate


def longitude(date):
    date = ephem.Date(date)
    mars = ephem.Mars(date)
    return ephem.Ecliptic(ephem.Equatorial(mars.g_ra, mars.g_dec, epoch=date), epoch=date).lon


def rate(date):
    """How fast the longitude grows, in radians a day."""
    return math.remainder(longitude(date + STEP) - longitude(date - STEP), 2 * math.pi) / (2 * STEP)


print("stationary_utc\tsense\tlongitude")
date, end = ephem.Date("1990/01/01"), ephem.Date("2060/01/01")
while date < end:
    before, after = rate(date), rate(date + 5)
    if (before > 0) != (after > 0):
        at = ephem.Date(ephem.newton(rate, date, date + 5))
        sense = "retrograde" if before > 0 else "direct"
        lon = math.degrees(longitude(at)) % 360
        print(f"{at.datetime().strftime('%Y-%m-%dT%H:%M:%S')}\t{sense}\t{lon:.3f}")
    date = ephem.Date(date + 5)
