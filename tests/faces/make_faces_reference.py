#!/usr/bin/python3
"""Makes tests/faces/reference.csv: the instants named features of Mars cross its central
meridian through a day at several places and apparitions, by an independent route: Mars's
astrometric (light-time corrected) place and its topocentric refracted altitude from PyEphem
4.1.4 (libastro's ephemeris, its own Delta T), and the IAU rotation of Mars in its linear form,
W = 176.630 + 350.89198226 d, pole 317.68143 - 0.1061 T, 52.88650 - 0.0609 T, taken when the
light left Mars. Rows only while Mars is above the horizon.

usage: /usr/bin/python3 tests/faces/make_faces_reference.py > tests/faces/reference.csv
"""
import math

import ephem

# place name, latitude, longitude (degrees north and east), height (m), start (UT)
CASES = [
    ("Berlin", 52.52, 13.405, 34, "2003/8/27 12:00"),
    ("Sydney", -33.8688, 151.2093, 58, "2020/10/13 02:00"),
    ("Tokyo", 35.6895, 139.6917, 40, "2027/2/19 03:00"),
    ("Santiago", -33.4489, -70.6693, 570, "2035/9/15 12:00"),
]
# west longitudes of the Gazetteer's centres, as the program names them
FEATURES = [
    ("Syrtis Major", 290.0), ("Hellas", 290.0), ("Mare Acidalium", 30.0),
    ("Sinus Meridiani", 0.0), ("Mare Erythraeum", 40.0), ("Solis Lacus", 90.0),
    ("Mare Tyrrhenum", 250.0), ("Mare Cimmerium", 220.0), ("Elysium", 210.0),
    ("Mare Sirenum", 155.0), ("Sinus Sabaeus", 340.0), ("Utopia", 250.0),
    ("Isidis Planitia", 273.0), ("Amazonis Planitia", 164.0), ("Olympus Mons", 133.8),
    ("Valles Marineris", 59.2), ("Argyre Planitia", 44.0), ("Chryse Planitia", 40.3),
]
DUBLIN_JD = 2415020.0  # PyEphem's dates count days from 1899-12-31 12:00
LIGHT_DAYS_PER_AU = 499.004783836 / 86400


def central_meridian(t):
    mars = ephem.Mars(ephem.Date(t))
    tt = t + DUBLIN_JD + ephem.delta_t(ephem.Date(t)) / 86400
    d = tt - mars.earth_distance * LIGHT_DAYS_PER_AU - 2451545.0
    big_t = d / 36525
    w = 176.630 + 350.89198226 * d
    ra0 = math.radians(317.68143 - 0.1061 * big_t)
    dec0 = math.radians(52.88650 - 0.0609 * big_t)
    pole = (math.cos(dec0) * math.cos(ra0), math.cos(dec0) * math.sin(ra0), math.sin(dec0))
    ra, dec = float(mars.a_ra), float(mars.a_dec)
    earth = (-math.cos(dec) * math.cos(ra), -math.cos(dec) * math.sin(ra), -math.sin(dec))
    node = (-math.sin(ra0), math.cos(ra0), 0.0)
    across = (pole[1] * node[2] - pole[2] * node[1], pole[2] * node[0] - pole[0] * node[2],
              pole[0] * node[1] - pole[1] * node[0])
    dot = lambda a, b: sum(x * y for x, y in zip(a, b))
    return (w - math.degrees(math.atan2(dot(earth, across), dot(earth, node)))) % 360


def past(t, west):
    return (central_meridian(t) - west + 180) % 360 - 180


def crossings(start, west):
    step = 1 / 48
    for i in range(48):
        a, b = start + i * step, start + (i + 1) * step
        if past(a, west) < 0 <= past(b, west):
            while b - a > 0.2 / 86400:
                m = (a + b) / 2
                a, b = (m, b) if past(m, west) < 0 else (a, m)
            yield (a + b) / 2


def main():
    print("place,latitude,longitude,height,start,feature,utc,altitude")
    for name, lat, lon, height, start in CASES:
        observer = ephem.Observer()
        observer.lat, observer.lon, observer.elevation = str(lat), str(lon), height
        observer.pressure, observer.temp = 1010, 10
        begin = float(ephem.Date(start))
        for feature, west in FEATURES:
            for t in crossings(begin, west):
                observer.date = ephem.Date(t)
                altitude = math.degrees(float(ephem.Mars(observer).alt))
                if altitude > 0:
                    utc = ephem.Date(t).datetime().strftime("%Y-%m-%dT%H:%M:%S")
                    print(f"{name},{lat},{lon},{height},{ephem.Date(begin).datetime():%Y-%m-%dT%H:%M:%S},"
                          f"{feature},{utc},{altitude:.3f}")


main()
