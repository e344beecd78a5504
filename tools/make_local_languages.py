#!/usr/bin/python3
"""Makes towns/local_languages.inc, each country with the locales of the languages spoken there,
from glibc's list of the locales it supports (Debian's package locales ships it). The towns are
found by their names in these languages too; the build only reads the output.

usage: make_local_languages.py [SUPPORTED] > towns/local_languages.inc"""

import re
import sys

SUPPORTED = "/usr/share/i18n/SUPPORTED"


def country_locales(lines):
    """{country code: [locale, ...]} in the list's order, each locale without codeset or modifier
    (de_AT for de_AT.UTF-8 and de_AT@euro: a modifier names a script or a currency, and the
    catalogs of a language are found without it too)."""
    countries = {}
    for line in lines:
        line = line.split("#", 1)[0].strip()
        if not line:
            continue
        name = line.split()[0]
        match = re.fullmatch(r"([a-z]{2,3})_([A-Z]{2})(\.[^@]*)?(@.*)?", name)
        if not match:
            continue  # a locale of no country: C.UTF-8, eo
        locale = f"{match.group(1)}_{match.group(2)}"
        locales = countries.setdefault(match.group(2), [])
        if locale not in locales:
            locales.append(locale)
    return countries


def main():
    path = sys.argv[1] if len(sys.argv) > 1 else SUPPORTED
    with open(path, encoding="utf-8") as supported:
        countries = country_locales(supported)
    if not countries:
        sys.exit(f"{path}: no locale of a country")
    print("// Each country with the locales of the languages spoken there, from glibc's list of")
    print("// the locales it supports (/usr/share/i18n/SUPPORTED, Debian's package locales).")
    print("// Made by tools/make_local_languages.py; not to be edited by hand.")
    for code in sorted(countries):
        print(f'{{"{code}", "{" ".join(countries[code])}"}},')


if __name__ == "__main__":
    main()
