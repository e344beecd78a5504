#!/usr/bin/python3
"""Makes tests/sky/moon.tsv: the lit share of the Moon's disk (0 new, 1 full) at instants through
two lunations of 2027 and single instants across four centuries, by an independent implementation
(Debian's python3-ephem: its moon_phase, seen from the centre of Earth), for the sky test to
compare against.

usage: make_moon_reference.py > tests/sky/moon.tsv"""

import ephem

# Every 2 days 9 hours through February and March 2027 (the approach's loop), so that crescents,
# quarters, gibbous and full Moons all come; then instants of other centuries.
INSTANTS = [ephem.Date(ephem.Date("2027/02/01 00:00:00") + i * (2 + 9 / 24)) for i in range(25)]
INSTANTS += [ephem.Date(d) for d in (
    "1803/03/04 06:00:00", "1956/09/07 21:30:00", "2003/08/27 09:52:00", "2033/07/05 15:00:00",
    "2035/09/15 20:00:00", "2099/12/31 23:00:00", "2187/05/20 04:00:00",
)]


def main():
    print("utc\tlit")
    for at in INSTANTS:
        at = ephem.Date(round(at * 1440) / 1440)
        moon = ephem.Moon(at)
        minute = ephem.Date(at + 0.5 / 86400).datetime()  # read to the minute it is
        print(f"{minute:%Y-%m-%dT%H:%M}:00\t{moon.moon_phase:.5f}")


main()
