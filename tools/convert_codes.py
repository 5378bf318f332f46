#!/usr/bin/env python3
"""Turns the statistical office's settlement list and the postal service's postal code list into
the code-table files of data/codes: Torzs_KSHTELEPULES, Torzs_IRSZ, Torzs_KSHMEGYE and
Torzs_TELEPULESIRSZ (which county each settlement lies in and which postal codes are its).

    python3 tools/convert_codes.py SOURCE_DIR data/codes

SOURCE_DIR holds the UTF-8 tab-separated tables telepulesek.tsv (settlements), budapest_keruletek.tsv
(the Budapest districts), megyek.tsv (counties) and iranyitoszamok.tsv (postal code, settlement
pairs), each with one header row. Every property the program relies on is checked before anything
is written; a failed check stops the converter and names the row. Not needed to build: its output
is committed.
"""

import csv
import os
import sys

SOURCE_KSH = (
    "Source: Hungarian Central Statistical Office (KSH), territorial code system 2018 and Detailed\n"
    "Gazetteer, status on 1 January 2018, taken from the raw files of the CC0 package\n"
    "github.com/svraka/teroszt (commit a277aa81, 2021-01-29).\n"
    "The present content was prepared using the territorial classification system of the Hungarian\n"
    "Central Statistical Office. The present content was prepared using the Detailed Gazetteer of\n"
    "the Hungarian Central Statistical Office."
)
SOURCE_POSTA = (
    "Source: postal code list of Magyar Posta Zrt. of 2019-01-15, taken from the raw files of the\n"
    "CC0 package github.com/svraka/teroszt (commit a277aa81, 2021-01-29)."
)

SETTLEMENT_NAME_WIDTH = 30  # copied into AdatlapInt.Telepules
SHOWN_LINE_WIDTH = 80


class ConversionError(Exception):
    pass


def read_table(folder, name):
    with open(os.path.join(folder, name), encoding="utf-8", newline="") as source:
        return list(csv.DictReader(source, delimiter="\t", quoting=csv.QUOTE_NONE))


def check_digit_holds(code):
    digits = [int(c) for c in code]
    return (digits[0] + 3 * digits[1] + 7 * digits[2] + 9 * digits[3]) % 10 == digits[4]


def require(condition, text):
    if not condition:
        raise ConversionError(text)


def settlement_rows(folder, counties):
    """(id, nev, county code) of every settlement and every Budapest district, ordered by id, and
    the districts by id with the city's id."""
    rows = []
    for row in read_table(folder, "telepulesek.tsv"):
        county = row["megye_kod"]
        require(counties.get(county) == row["megye_nev"],
                f"settlement {row['ksh_kod']}: county {county} {row['megye_nev']} "
                "differs from the county list")
        rows.append((row["ksh_kod"], row["nev"], county))
    districts = read_table(folder, "budapest_keruletek.tsv")
    for row in districts:
        rows.append((row["ksh_kod"], row["nev"], "01"))
    seen = set()
    for code, name, _ in rows:
        require(len(code) == 5 and code.isdigit(), f"settlement id {code!r} is not 5 digits")
        require(check_digit_holds(code), f"settlement id {code} fails its check digit")
        require(code not in seen, f"settlement id {code} appears twice")
        require(0 < len(name) <= SETTLEMENT_NAME_WIDTH,
                f"settlement {code}: name {name!r} is longer than {SETTLEMENT_NAME_WIDTH}")
        seen.add(code)
    for code, _, line in shown_lines(rows, counties):
        require(len(line) <= SHOWN_LINE_WIDTH, f"settlement {code}: shown line too long")
    return sorted(rows), {row["ksh_kod"]: row["budapest_ksh_kod"] for row in districts}


def shown_lines(settlements, counties):
    return [(code, name, f"{code} {name} ({counties[county]})")
            for code, name, county in settlements]


def postal_codes(folder, settlement_ids):
    """The postal codes by settlement id."""
    served = {}
    for row in read_table(folder, "iranyitoszamok.tsv"):
        code = row["irsz"]
        require(len(code) == 4 and code.isdigit(), f"postal code {code!r} is not 4 digits")
        require(row["ksh_kod"] in settlement_ids,
                f"postal code {code}: unknown settlement {row['ksh_kod']}")
        served.setdefault(row["ksh_kod"], set()).add(code)
    return served


def address_rows(settlements, served, districts):
    """(settlement, county, postal code) for every postal code of every settlement; a Budapest
    district has the city's codes, since the postal list gives them to the city as a whole."""
    rows = []
    for code, _, county in settlements:
        for postal in sorted(served[districts.get(code, code)]):
            rows.append((code, county, postal))
    return rows


def write_table(path, notes, columns, rows):
    with open(path, "w", encoding="utf-8", newline="\n") as out:
        for note in notes.split("\n"):
            out.write(f"# {note}\n")
        out.write("\t".join(columns) + "\n")
        for row in rows:
            out.write("\t".join(row) + "\n")


def convert(source, target):
    county_rows = [(r["megye_kod"], r["megye_nev"]) for r in read_table(source, "megyek.tsv")]
    counties = dict(county_rows)
    require(len(counties) == len(county_rows) == 20, "the county list must hold 20 codes")
    settlements, district_city = settlement_rows(source, counties)
    districts = len(district_city)
    served = postal_codes(source, {code for code, _, _ in settlements})
    # The postal list gives every Budapest code to the capital as a whole, none to a district.
    unserved = [code for code, _, _ in settlements
                if district_city.get(code, code) not in served]
    require(not unserved, f"settlements without a postal code: {' '.join(unserved)}")
    codes = sorted(set().union(*served.values()))

    write_table(os.path.join(target, "Torzs_KSHMEGYE.tsv"),
                "Counties of Hungary with Budapest, under their two-digit county codes.\n"
                "Names as written on 1 January 2018 (county 06 was renamed Csongrád-Csanád in 2020).\n"
                + SOURCE_KSH, ["ID", "Nev"], county_rows)
    write_table(os.path.join(target, "Torzs_KSHTELEPULES.tsv"),
                f"Settlements: the {len(settlements) - districts} settlements of Hungary and the "
                f"{districts} districts of Budapest\n"
                "(a seat in Budapest carries its district's number) under their five-digit\n"
                "identification numbers, whose last digit is a check digit:\n"
                "d5 = (1*d1 + 3*d2 + 7*d3 + 9*d4) mod 10. nev is the name as the office writes it\n"
                "(copied into the institution record), nevstr the line shown in the settlement list:\n"
                "code, name and county. Written by tools/convert_codes.py.\n" + SOURCE_KSH,
                ["id", "nev", "nevstr"], shown_lines(settlements, counties))
    write_table(os.path.join(target, "Torzs_IRSZ.tsv"),
                f"Postal codes offered in the institution editor: the {len(codes)} distinct codes "
                "of the postal\nservice's list (settlements, and the streets of the cities listed "
                "by street). Written by\ntools/convert_codes.py.\n" + SOURCE_POSTA,
                ["id"], [(code,) for code in codes])
    addresses = address_rows(settlements, served, district_city)
    write_table(os.path.join(target, "Torzs_TELEPULESIRSZ.tsv"),
                f"The {len(addresses)} pairs of a settlement and one of its postal codes, with the "
                "settlement's county,\nwhich the period check compares with a record's address. "
                "The districts of Budapest have the\ncity's postal codes. Written by "
                "tools/convert_codes.py.\n" + SOURCE_KSH + "\n" + SOURCE_POSTA,
                ["telepules", "megye", "irsz"], addresses)
    print(f"{len(county_rows)} counties, {len(settlements)} settlements ({districts} districts), "
          f"{len(codes)} postal codes")


def main(argv):
    if len(argv) != 3:
        print(__doc__.strip().split("\n\n")[1].strip(), file=sys.stderr)
        return 2
    try:
        convert(argv[1], argv[2])
    except (ConversionError, KeyError, OSError) as error:
        print(f"convert_codes: {error}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
