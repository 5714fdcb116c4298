#!/usr/bin/python3
"""Reads a workbook back with an independent reader (openpyxl) and prints, as JSON, its
filled cells by "row,column" (from 1) with their value, type and number format, and the
widths of its columns by letter. Date-time values are written in ISO form."""
import datetime
import json
import sys

import openpyxl

book = openpyxl.load_workbook(sys.argv[1])
sheet = book.active
cells = {}
for row in sheet.iter_rows():
    for cell in row:
        if cell.value is None:
            continue
        value = cell.value
        if isinstance(value, datetime.datetime):
            value = value.isoformat()
        cells[f"{cell.row},{cell.column}"] = {
            "value": value, "type": cell.data_type, "format": cell.number_format}
widths = {letter: dimension.width for letter, dimension in sheet.column_dimensions.items()}
print(json.dumps({"sheets": len(book.worksheets), "cells": cells, "widths": widths}))
