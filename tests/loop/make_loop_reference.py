#!/usr/bin/python3
"""Makes tests/loop/path.tsv: the apparent geocentric right ascension and declination of date of
Mars at 0 h UT of every day around three closest approaches (2003, across 0 h; 2027; 2035, across
0 h), by an independent implementation (Debian's python3-ephem), for the loop test to compare the
path against.

usage: make_loop_reference.py > tests/loop/path.tsv"""

import math

import ephem

# A day near each closest approach; the days from 80 before it to 80 after are written.
APPROACHES = ["2003/08/27", "2027/02/20", "2035/09/11"]
REACH = 80

print("utc_date\tra_deg\tdec_deg")
for approach in APPROACHES:
    centre = ephem.Date(approach)
    for day in range(-REACH, REACH + 1):
        date = ephem.Date(centre + day)
        mars = ephem.Mars(date)
        print(f"{date.datetime().strftime('%Y-%m-%d')}\t{math.degrees(mars.g_ra):.5f}\t"
              f"{math.degrees(mars.g_dec):.5f}")
