#!/usr/bin/python3
"""Makes tests/sky/stars.tsv: apparent geocentric places (right ascension and declination of date,
degrees) of stars and of the Moon by an independent implementation (Debian's python3-ephem), for
the sky test to compare against. The stars are ephem's own, with their proper motions: far north
and south, the fastest, and along the ecliptic; from 1950 to 2060.

usage: make_star_reference.py > tests/sky/stars.tsv"""

import math

import ephem

STARS = ["Polaris", "Rigil Kentaurus", "Arcturus", "Sirius", "Acrux", "Achernar", "Regulus",
         "Spica", "Antares", "Aldebaran", "Vega", "Fomalhaut"]
STAR_INSTANTS = ["1950/01/01 00:00:00", "2003/08/27 22:00:00", "2060/06/01 12:00:00"]
MOON_INSTANTS = ["1992/04/12 00:00:00", "2003/08/27 22:00:00", "2010/01/15 07:07:00",
                 "2019/07/02 19:23:00", "2027/02/20 00:14:00", "2035/09/15 20:00:00"]

print("body\tutc\tra\tdec")
for name, instants in [(s, STAR_INSTANTS) for s in STARS] + [("Moon", MOON_INSTANTS)]:
    for instant in instants:
        body = ephem.Moon(instant) if name == "Moon" else ephem.star(name, instant)
        utc = ephem.Date(instant).datetime().strftime("%Y-%m-%dT%H:%M:%S")
        print(f"{name}\t{utc}\t{math.degrees(body.ra):.5f}\t{math.degrees(body.dec):.5f}")
