#!/usr/bin/env python3
"""Prints the rows of a workbook's first sheet as JSON: each row a list of cells, each cell
["n", number], ["s", text] or null for an empty one, empty cells at a row's end left out."""
import json
import sys

import openpyxl

sheet = openpyxl.load_workbook(sys.argv[1], read_only=True).worksheets[0]
rows = []
for row in sheet.iter_rows(values_only=True):
    cells = [None if value is None else
             ["s", value] if isinstance(value, str) else ["n", value] for value in row]
    while cells and cells[-1] is None:
        cells.pop()
    rows.append(cells)
json.dump(rows, sys.stdout, ensure_ascii=False)
