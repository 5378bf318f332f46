#!/usr/bin/env python3
"""Prints the rows of a workbook's first sheet as the purchase listing writes its lines: the
cells joined by TAB, an item line (below the eighth) ending in a TAB, its codes between
apostrophes, its prices with two decimals and a decimal comma. An item's number, quantity or
price that is not a number is printed as such."""
import sys

import openpyxl

sys.stdout.reconfigure(encoding="utf-8")
QUOTED, NUMBERS, PRICES = (3, 4, 6, 11), (0, 8, 15, 16), (15, 16)
for row, cells in enumerate(openpyxl.load_workbook(sys.argv[1]).worksheets[0].iter_rows(
        values_only=True)):
    item = row > 7
    texts = []
    for column, value in enumerate(cells):
        if item and column in NUMBERS and not isinstance(value, (int, float)):
            texts.append("not a number: %r" % value)
        elif isinstance(value, (int, float)):
            whole = float(value).is_integer() and column not in PRICES
            text = "%d" % value if whole else "%.2f" % value if column in PRICES else repr(value)
            texts.append(text.replace(".", ","))
        else:
            quote = "'" if item and column in QUOTED else ""
            texts.append(quote + (value or "") + quote)
    line = "\t".join(texts).rstrip("\t") if not item else "\t".join(texts) + "\t"
    print(line, end="\r\n")
