#!/usr/bin/python3
"""Makes tests/nights/best.tsv: for nights of four apparitions seen from four places, the highest
Mars stands while the Sun is 12 degrees or more below the horizon, and when, by an independent
implementation (Debian's python3-ephem, without refraction, seen from the place), for the nights
test to compare against. A night begins at the place's mean noon and is told by its evening's date.

usage: make_nights_reference.py > tests/nights/best.tsv"""

import math

import ephem

# Name, latitude, longitude, height, and the opposition the apparition is centred on.
PLACES = [
    ("Berlin", 52.52, 13.405, 34, "2003/08/28 18:00"),
    ("Sydney", -33.87, 151.21, 20, "2020/10/13 23:00"),
    ("Tokyo", 35.68, 139.69, 40, "2027/02/19 16:00"),
    ("Santiago", -33.45, -70.67, 570, "2035/09/15 21:00"),
]
OFFSETS = range(-150, 151, 25)  # days from the opposition: the apparition's sample of nights
MINUTE = 1 / 1440
DARK = math.radians(-12)


def seen(observer, at):
    observer.date = at
    mars, sun = ephem.Mars(observer), ephem.Sun(observer)
    return mars.alt, sun.alt


def best_of_night(observer, noon):
    """The highest Mars in a dark sky from one noon to the next, and when; None if never dark."""
    best = None
    for i in range(1441):
        at = noon + i * MINUTE
        mars, sun = seen(observer, at)
        if sun <= DARK and (best is None or mars > best[1]):
            best = (at, mars)
    if best is None:
        return None
    # Around the best minute by the second, still in a dark sky.
    centre = best[0]
    for i in range(-60, 61):
        at = centre + i / 86400
        mars, sun = seen(observer, at)
        if sun <= DARK and mars > best[1]:
            best = (at, mars)
    return best


def main():
    print("place\tlatitude\tlongitude\theight\tevening\tbest\taltitude")
    for name, lat, lon, height, opposition in PLACES:
        observer = ephem.Observer()
        observer.lat, observer.lon = str(lat), str(lon)
        observer.elevation = height
        observer.pressure = 0  # true altitudes, as the core compares them
        for offset in OFFSETS:
            # The Julian day number whose noon, less the longitude's share, starts the night.
            day = math.floor(ephem.julian_date(ephem.Date(opposition)) + 0.5 + lon / 360)
            day += offset
            noon = ephem.Date(day - 2415020 - lon / 360)
            evening = ephem.Date(day - 2415020).datetime()
            best = best_of_night(observer, noon)
            when = ephem.Date(best[0]).datetime().strftime("%Y-%m-%dT%H:%M:%S") if best else "none"
            altitude = f"{math.degrees(best[1]):.3f}" if best else "none"
            print(f"{name}\t{lat}\t{lon}\t{height}\t{evening:%Y-%m-%d}\t{when}\t{altitude}")


main()
