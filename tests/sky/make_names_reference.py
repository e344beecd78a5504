#!/usr/bin/python3
"""Makes tests/sky/names.tsv: how a sample of the stars of data/stars/stars.dat is designated, from
the Bright Star Catalogue's own name field as Debian's xplanet ships it, and the IAU's proper name
as Debian's stellarium-data lists it (or '-'), for the star names test to compare against. The
Greek letters are found by their Unicode names, not by the program's table.

usage: make_names_reference.py [ROOT] > tests/sky/names.tsv"""

import os
import re
import sys
import unicodedata

ROOT = sys.argv[1] if len(sys.argv) > 1 else "/"
BSC = os.path.join(ROOT, "usr/share/xplanet/stars/BSC")
CROSS_ID = os.path.join(ROOT, "usr/share/stellarium/stars/default/cross-id.dat")
STAR_NAMES = os.path.join(ROOT, "usr/share/stellarium/skycultures/western/star_names.fab")
GREEK = ["ALPHA", "BETA", "GAMMA", "DELTA", "EPSILON", "ZETA", "ETA", "THETA", "IOTA", "KAPPA",
         "LAMDA", "MU", "NU", "XI", "OMICRON", "PI", "RHO", "SIGMA", "TAU", "UPSILON", "PHI", "CHI",
         "PSI", "OMEGA"]
DIGITS = ["ZERO", "ONE", "TWO", "THREE", "FOUR", "FIVE", "SIX", "SEVEN", "EIGHT", "NINE"]
# The stars Mars passes in the cases the sky test takes, components, a star the catalogue gives
# no letter or number, one of every fiftieth of the table besides.
CHOSEN = [4540, 4359, 4386, 5531, 6247, 6252, 3803, 3982, 8709, 5056, 4689, 603]


def written(field, hr):
    flamsteed, bayer, constellation = field[0:3].strip(), field[3:6].strip(), field[7:10].strip()
    if bayer:
        letter = [g for g in GREEK if g.startswith(bayer.upper())]
        text = unicodedata.lookup("GREEK SMALL LETTER " + letter[0])
        if field[6].isdigit():
            text += unicodedata.lookup("SUPERSCRIPT " + DIGITS[int(field[6])])
        return f"{text} {constellation}"
    return f"{flamsteed} {constellation}" if flamsteed else f"HR {hr}"


def iau_names():
    hip_of = {}
    for line in open(CROSS_ID, encoding="utf-8"):
        fields = line.rstrip("\n").split("\t")
        if not line.startswith("#") and len(fields) >= 5 and fields[4].strip():
            hip_of[int(fields[4])] = int(fields[0])
    names = {}
    for line in open(STAR_NAMES, encoding="utf-8"):
        m = re.match(r'\s*(\d+)\|_\("([^"]+)"\)\s*([\d,]*)', line)
        if m and set(m.group(3).split(",")) & {"6", "12"}:
            names[int(m.group(1))] = m.group(2)
    return hip_of, names


def main():
    table = os.path.join(os.path.dirname(__file__), "..", "..", "data", "stars", "stars.dat")
    numbers = [int(line.split()[0]) for line in open(table, encoding="utf-8")
               if not line.startswith("#")]
    sample = CHOSEN + [n for n in numbers[::50] if n not in CHOSEN]
    fields, magnitude = {}, {}
    for line in open(BSC, encoding="latin-1"):
        if not line.startswith("#") and '"' in line:
            hr = int(line.rsplit('"', 1)[1].split()[0])
            fields[hr], magnitude[hr] = line.split('"')[1], float(line.split()[2])
    hip_of, names = iau_names()
    # Where the catalogue splits one Hipparcos star in two, the name is the brighter component's.
    brightest = {}
    for hr, hip in hip_of.items():
        if hr in magnitude and (hip not in brightest or magnitude[hr] < magnitude[brightest[hip]]):
            brightest[hip] = hr
    print("hr\tdesignation\tname")
    for hr in sample:
        hip = hip_of.get(hr)
        name = names.get(hip, "-") if brightest.get(hip) == hr else "-"
        print(f"{hr}\t{written(fields[hr], hr)}\t{name}")


if __name__ == "__main__":
    main()
