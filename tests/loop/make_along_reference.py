#!/usr/bin/python3
"""Makes tests/loop/along.tsv: the stars of data/stars/stars.dat to magnitude 5 that Mars passes
within 3.5 degrees of, around the same three closest approaches as path.tsv (the days from 80
before to 80 after), by an independent implementation (Debian's python3-ephem: apparent
geocentric places of date of Mars and of the stars, from the table's J2000 places and proper
motions): the star's Bright Star number, the least separation in degrees and its day, for the loop
test to check which stars the chart labels as along the path.

usage: make_along_reference.py > tests/loop/along.tsv"""

import math
import os

import ephem

APPROACHES = ["2003/08/27", "2027/02/20", "2035/09/11"]
REACH = 80
FAINTEST = 5.0
WITHIN = 3.5
STARS = os.path.join(os.path.dirname(__file__), "..", "..", "data", "stars", "stars.dat")


def stars():
    rows = []
    for line in open(STARS, encoding="utf-8"):
        if not line.startswith("#"):
            hr, ra, dec, mag, pm_ra, pm_dec = line.split()[:6]
            if float(mag) <= FAINTEST:
                rows.append((int(hr), ephem.readdb(f"HR {hr},f|S,{ra}|{pm_ra},{dec}|{pm_dec},"
                                                   f"{mag},2000")))
    return rows


print("year\thr\tleast_deg\tutc_date")
table = stars()
for approach in APPROACHES:
    centre = ephem.Date(approach)
    days = [ephem.Date(centre + day) for day in range(-REACH, REACH + 1)]
    marses = [ephem.Mars(d) for d in days]
    for hr, star in table:
        star.compute(centre)
        least, when = min((math.degrees(ephem.separation((m.g_ra, m.g_dec),
                                                         (star.g_ra, star.g_dec))), d)
                          for m, d in zip(marses, days))
        if least <= WITHIN:
            print(f"{approach[:4]}\t{hr}\t{least:.3f}\t"
                  f"{ephem.Date(when).datetime().strftime('%Y-%m-%d')}")
