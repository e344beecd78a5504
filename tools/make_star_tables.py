#!/usr/bin/python3
"""Makes data/stars/stars.dat and data/stars/figures.dat from the star tables that Debian packages
ship (see data/stars/SOURCE.md). Needs Debian's xplanet, python3-ephem and stellarium-data when it
is run (or their files under ROOT, as dpkg-deb -x leaves them); the build only reads its output.

usage: make_star_tables.py data/stars [ROOT]"""

import math
import os
import re
import sys

BSC = "usr/share/xplanet/stars/BSC"
T_CORONAE_BOREALIS = 5958
FIGURES = "usr/share/xplanet/arcs/constellations"
CROSS_ID = "usr/share/stellarium/stars/default/cross-id.dat"
STAR_NAMES = "usr/share/stellarium/skycultures/western/star_names.fab"
# The names that list takes from the IAU's: its references 6 (the IAU Catalog of Star Names) and
# 12 (the IAU's page on naming stars).
IAU_REFERENCES = {"6", "12"}
FAINTEST = 6.0

# ephem's list names a few stars twice, and spells one in an older way: the names kept are the
# IAU's (None drops the other spelling).
SPELLINGS = {
    "Adara": None, "Agena": None, "Alcaid": None, "Sirrah": None, "Etamin": None,
    "Formalhaut": None, "Gienah Corvi": None, "Albereo": "Albireo",
}


def named_stars():
    """(name, ra hours, pm ra mas/yr, dec degrees, pm dec mas/yr) of the stars with proper names
    that ephem places by Hipparcos."""
    from ephem import stars

    rows = []
    for line in stars.db.strip().splitlines():
        name, _, ra, dec, _ = line.split(",")
        name = SPELLINGS.get(name, name)
        if name is None:
            continue
        (ra, pm_ra), (dec, pm_dec) = ra.split("|"), dec.split("|")
        rows.append((name, float(ra), float(pm_ra), float(dec), float(pm_dec)))
    return rows


def iau_names(root):
    """The IAU's proper names by Bright Star number. A Hipparcos star that the catalogue splits in
    two or three gives its name to the brightest of them."""
    hr_of = {}
    for line in open(os.path.join(root, CROSS_ID), encoding="utf-8"):
        fields = line.rstrip("\n").split("\t")
        if not line.startswith("#") and len(fields) >= 5 and fields[4].strip():
            hr_of.setdefault(int(fields[0]), []).append(int(fields[4]))
    names = {}
    for line in open(os.path.join(root, STAR_NAMES), encoding="utf-8"):
        m = re.match(r'\s*(\d+)\|_\("([^"]+)"\)\s*([\d,]*)', line)
        if m and set(m.group(3).split(",")) & IAU_REFERENCES and int(m.group(1)) in hr_of:
            if int(m.group(1)) in names:
                sys.exit(f"HIP {m.group(1)} has two IAU names")
            names[int(m.group(1))] = (m.group(2), hr_of[int(m.group(1))])
    return names.values()


def designation(field):
    """The Flamsteed number, the Bayer letter (the catalogue's three letters and the component's
    digit) and the constellation of the catalogue's name field ("  9Alp CMa"), '-' where none."""
    flamsteed, bayer, constellation = field[0:3].strip(), field[3:7].replace(" ", ""), field[7:10].strip()
    return flamsteed or "-", bayer or "-", constellation or "-"


def separation(ra1, dec1, ra2, dec2):
    """Degrees between two places given in hours and degrees."""
    a1, d1, a2, d2 = (math.radians(ra1 * 15), math.radians(dec1), math.radians(ra2 * 15),
                      math.radians(dec2))
    c = math.sin(d1) * math.sin(d2) + math.cos(d1) * math.cos(d2) * math.cos(a1 - a2)
    return math.degrees(math.acos(max(-1.0, min(1.0, c))))


def main():
    if len(sys.argv) not in (2, 3):
        sys.exit(__doc__)
    out = sys.argv[1]
    root = sys.argv[2] if len(sys.argv) == 3 else "/"
    catalogue = []
    for line in open(os.path.join(root, BSC), encoding="latin-1"):
        if line.startswith("#") or not line.strip():
            continue
        dec, ra, mag = (float(f) for f in line.split()[:3])
        hr = int(line.rsplit('"', 1)[1].split()[0])
        # The catalogue gives T Coronae Borealis (HR 5958) at 2.0, its 1946 outburst; between
        # outbursts the nova lies near magnitude 10, far below anything drawn.
        if mag <= FAINTEST and hr != T_CORONAE_BOREALIS:
            catalogue.append([hr, ra, dec, mag, 0.0, 0.0, *designation(line.split('"')[1]), ""])
    by_hr = {star[0]: star for star in catalogue}
    for name, ra, pm_ra, dec, pm_dec in named_stars():
        nearest = min(catalogue, key=lambda s: separation(s[1], s[2], ra, dec))
        if separation(nearest[1], nearest[2], ra, dec) > 0.02 or nearest[9]:
            sys.exit(f"{name}: no star of the catalogue within 0.02 degrees, or one already named")
        nearest[1:3], nearest[4:6], nearest[9] = [ra, dec], [pm_ra, pm_dec], name
    # The IAU's name wherever it has one; ephem's where the IAU has none.
    for name, numbers in iau_names(root):
        components = [by_hr[n] for n in numbers if n in by_hr]
        if components:
            min(components, key=lambda s: s[3])[9] = name
    with open(os.path.join(out, "stars.dat"), "w", encoding="utf-8") as f:
        f.write("# Stars to magnitude 6: the Yale Bright Star Catalogue (5th revised ed.) as Debian's\n"
                "# xplanet ships it, with its designations; the places and proper motions of\n"
                "# python3-ephem's named stars from Hipparcos; the IAU's names as Debian's\n"
                "# stellarium-data lists them. See SOURCE.md.\n"
                "# HR  RA (h, J2000)  Dec (deg)  V  pm RA*cos(Dec)  pm Dec (mas/yr)  Flamsteed\n"
                "# Bayer  constellation  name\n")
        for hr, ra, dec, mag, pm_ra, pm_dec, flamsteed, bayer, con, name in catalogue:
            row = (f"{hr:4d} {ra:11.8f} {dec:12.8f} {mag:5.2f} {pm_ra:8.2f} {pm_dec:8.2f}"
                   f" {flamsteed:>3} {bayer:<4} {con:<3} {name}")
            f.write(row.rstrip() + "\n")
    with open(os.path.join(out, "figures.dat"), "w", encoding="utf-8") as f:
        f.write("# Constellation figures: Dec, RA (h), Dec, RA (h) of the two stars of each line, J2000,\n"
                "# from Debian's xplanet (arcs/constellations, by Chris Dolan). See SOURCE.md.\n")
        for line in open(os.path.join(root, FIGURES), encoding="latin-1"):
            data = line.split("#", 1)[0].split()
            if len(data) == 4:
                f.write(" ".join(data) + "\n")


if __name__ == "__main__":
    main()
