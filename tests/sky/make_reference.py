#!/usr/bin/python3
"""Makes tests/sky/reference.tsv: Mars in the sky of several places at several instants, by an
independent implementation (Debian's python3-ephem), for the sky test to compare against.

Altitude and azimuth are apparent and topocentric, refracted for 1010 hPa and 10 °C; rise and set
are those of the centre at -0°34' with no further refraction (the usual convention for planets);
the transit's altitude is refracted. Each event is the first at or after the instant less 12
hours, or 'none' when there is none within the 36 hours from then. Then the star nearest to Mars
of those the sky dome draws (data/stars/stars.dat to magnitude 4.5, placed by ephem from the
table's J2000 places and proper motions; geocentric apparent places), by its Bright Star number,
the degrees from it and the direction of Mars from it; and the degrees between the Moon and Mars
seen from the place.

usage: make_reference.py > tests/sky/reference.tsv"""

import math
import os

import ephem

STARS = os.path.join(os.path.dirname(__file__), "..", "..", "data", "stars", "stars.dat")
DRAWN_FAINTEST = 4.5

WORDS = ["north", "north-east", "east", "south-east", "south", "south-west", "west", "north-west"]

PLACES = [  # latitude, longitude, height: the equator, 60 N, 35 S, 70 N, Berlin, and either side
    # of the date line
    (0.0, -78.5, 2850), (60.17, 24.94, 10), (-35.28, 149.13, 580), (70.0, 19.0, 0),
    (52.52, 13.405, 34), (-18.1, 178.4, 0), (-14.3, -170.7, 0),
]
INSTANTS = [  # 2003, 2027, 2035, and near each solstice
    "2003/08/27 22:00:00", "2027/02/20 00:14:00", "2035/09/15 20:00:00",
    "2026/06/21 12:00:00", "2026/12/21 12:00:00", "2031/05/12 03:00:00",
]
# Mars passing fainter stars: Singapore at 21:00 on 1 June 2029 (1.35 degrees from beta Virginis),
# Anchorage at 22:00 on 21 June 2027 (sigma Leonis; theta Leonis 9.5 degrees off).
ALSO = [((1.29, 103.85, 15), "2029/06/01 13:00:00"), ((61.22, -149.9, 40), "2027/06/22 06:00:00")]


def drawn_stars():
    """The stars of the table the dome draws, as ephem bodies, with their Bright Star numbers."""
    bodies = []
    for line in open(STARS, encoding="utf-8"):
        if line.startswith("#"):
            continue
        hr, ra, dec, mag, pm_ra, pm_dec = line.split()[:6]
        if float(mag) <= DRAWN_FAINTEST:
            body = ephem.readdb(f"HR {hr},f|S,{ra}|{pm_ra},{dec}|{pm_dec},{mag},2000")
            bodies.append((int(hr), body))
    return bodies


DRAWN = drawn_stars()


def observer(lat, lon, height, date, pressure):
    o = ephem.Observer()
    o.lat, o.lon, o.elevation = str(lat), str(lon), height
    o.date = date
    o.pressure = pressure
    o.temp = 10
    return o


def event(find, start):
    try:
        at = find()
    except (ephem.AlwaysUpError, ephem.NeverUpError):
        return None
    return at if at <= start + 1.5 else None


def nearest_star(date):
    mars = ephem.Mars(date)
    best = None
    for hr, star in DRAWN:
        star.compute(date)
        d = math.degrees(ephem.separation(star, mars))
        if best is None or d < best[1]:
            dra = mars.ra - star.ra
            angle = math.degrees(math.atan2(
                math.sin(dra) * math.cos(mars.dec),
                math.cos(star.dec) * math.sin(mars.dec)
                - math.sin(star.dec) * math.cos(mars.dec) * math.cos(dra))) % 360
            best = (str(hr), d, WORDS[int(angle / 45 + 0.5) % 8])
    return best


def iso(date):
    return ephem.Date(date).datetime().strftime("%Y-%m-%dT%H:%M:%S")


print("latitude\tlongitude\theight\tutc\taltitude\tazimuth\tconstellation\trise\ttransit\tset"
      "\ttransit_altitude\tnear\tnear_degrees\tnear_direction\tmoon_degrees")
for (lat, lon, height), instant in [(p, i) for p in PLACES for i in INSTANTS] + ALSO:
    now = observer(lat, lon, height, instant, 1010)
    mars = ephem.Mars(now)
    start = ephem.Date(ephem.Date(instant) - 0.5)
    rising = observer(lat, lon, height, start, 0)
    rising.horizon = "-0:34"
    rise = event(lambda: rising.next_rising(ephem.Mars(), use_center=True), start)
    transit = event(lambda: rising.next_transit(ephem.Mars()), start)
    set_ = event(lambda: rising.next_setting(ephem.Mars(), use_center=True), start)
    transit_altitude = "none"
    if transit is not None:
        transit_altitude = f"{math.degrees(ephem.Mars(observer(lat, lon, height, transit, 1010)).alt):.4f}"
    near = nearest_star(instant)
    seen = observer(lat, lon, height, instant, 0)
    moon = math.degrees(ephem.separation(ephem.Moon(seen), ephem.Mars(seen)))
    print("\t".join([
        f"{lat}", f"{lon}", f"{height}", iso(instant).replace("/", "-"),
        f"{math.degrees(mars.alt):.4f}", f"{math.degrees(mars.az):.4f}",
        ephem.constellation(mars)[1],
        iso(rise) if rise else "none", iso(transit) if transit else "none",
        iso(set_) if set_ else "none", transit_altitude,
        near[0], f"{near[1]:.4f}", near[2], f"{moon:.4f}"]))
