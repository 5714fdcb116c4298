#!/usr/bin/python3
"""Reads a workbook back with an independent reader (openpyxl) and prints, as JSON, its
filled cells by "row,column" (from 1) and the widths of its columns by letter."""
import json
import sys

import openpyxl

book = openpyxl.load_workbook(sys.argv[1])
sheet = book.active
cells = {}
for row in sheet.iter_rows():
    for cell in row:
        if cell.value is not None:
            cells[f"{cell.row},{cell.column}"] = {"value": cell.value, "type": cell.data_type}
widths = {letter: dimension.width for letter, dimension in sheet.column_dimensions.items()}
print(json.dumps({"sheets": len(book.worksheets), "cells": cells, "widths": widths}))
