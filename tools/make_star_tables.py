#!/usr/bin/python3
"""Makes data/stars/stars.dat and data/stars/figures.dat from the star tables that Debian packages
ship (see data/stars/SOURCE.md). Needs Debian's xplanet and python3-ephem when it is run; the build
only reads its output.

usage: make_star_tables.py data/stars"""

import math
import os
import sys

BSC = "/usr/share/xplanet/stars/BSC"
FIGURES = "/usr/share/xplanet/arcs/constellations"
FAINTEST = 4.5

# ephem's list names a few stars twice, and spells one in an older way: the names kept are the
# IAU's (None drops the other spelling).
SPELLINGS = {
    "Adara": None, "Agena": None, "Alcaid": None, "Sirrah": None, "Etamin": None,
    "Formalhaut": None, "Gienah Corvi": None, "Albereo": "Albireo",
}


def named_stars():
    """(name, ra hours, pm ra mas/yr, dec degrees, pm dec mas/yr) of the stars with proper names."""
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


def separation(ra1, dec1, ra2, dec2):
    """Degrees between two places given in hours and degrees."""
    a1, d1, a2, d2 = (math.radians(ra1 * 15), math.radians(dec1), math.radians(ra2 * 15),
                      math.radians(dec2))
    c = math.sin(d1) * math.sin(d2) + math.cos(d1) * math.cos(d2) * math.cos(a1 - a2)
    return math.degrees(math.acos(max(-1.0, min(1.0, c))))


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    out = sys.argv[1]
    catalogue = []
    for line in open(BSC, encoding="latin-1"):
        if line.startswith("#") or not line.strip():
            continue
        dec, ra, mag = (float(f) for f in line.split()[:3])
        hr = int(line.rsplit('"', 1)[1].split()[0])
        if mag <= FAINTEST:
            catalogue.append([hr, ra, dec, mag, 0.0, 0.0, ""])
    for name, ra, pm_ra, dec, pm_dec in named_stars():
        nearest = min(catalogue, key=lambda s: separation(s[1], s[2], ra, dec))
        if separation(nearest[1], nearest[2], ra, dec) > 0.02 or nearest[6]:
            sys.exit(f"{name}: no star of the catalogue within 0.02 degrees, or one already named")
        nearest[1:3], nearest[4:7] = [ra, dec], [pm_ra, pm_dec, name]
    with open(os.path.join(out, "stars.dat"), "w", encoding="utf-8") as f:
        f.write("# Stars to magnitude 4.5: the Yale Bright Star Catalogue (5th revised ed.) as Debian's\n"
                "# xplanet ships it; the named stars' places and proper motions from Hipparcos as\n"
                "# Debian's python3-ephem ships them. See SOURCE.md.\n"
                "# HR  RA (h, J2000)  Dec (deg)  V  pm RA*cos(Dec)  pm Dec (mas/yr)  name\n")
        for hr, ra, dec, mag, pm_ra, pm_dec, name in catalogue:
            f.write(f"{hr:4d} {ra:11.8f} {dec:12.8f} {mag:5.2f} {pm_ra:8.2f} {pm_dec:8.2f}"
                    f"{' ' + name if name else ''}\n")
    with open(os.path.join(out, "figures.dat"), "w", encoding="utf-8") as f:
        f.write("# Constellation figures: Dec, RA (h), Dec, RA (h) of the two stars of each line, J2000,\n"
                "# from Debian's xplanet (arcs/constellations, by Chris Dolan). See SOURCE.md.\n")
        for line in open(FIGURES, encoding="latin-1"):
            data = line.split("#", 1)[0].split()
            if len(data) == 4:
                f.write(" ".join(data) + "\n")


if __name__ == "__main__":
    main()
