#!/usr/bin/python3
"""Reads a workbook with openpyxl, independently of the program, and prints it as JSON.

usage: read_workbook.py WORKBOOK [TEMPLATE]

For every sheet: the cells that hold a value (reference -> [value, openpyxl data type]), the
cells with a bold font, the column widths, the frozen pane and the style id of every cell. With
TEMPLATE, also whether every zip entry other than the worksheets is identical to the template's
(content, time and compression).
"""

import json
import sys
import zipfile

import openpyxl


def describe(path):
    book = openpyxl.load_workbook(path)
    sheets = {}
    for ws in book.worksheets:
        cells, bold, styles = {}, [], {}
        for row in ws.iter_rows():
            for cell in row:
                if cell.value is not None:
                    cells[cell.coordinate] = [cell.value if isinstance(cell.value, str) else repr(cell.value),
                                              cell.data_type]
                if cell.font is not None and cell.font.b:
                    bold.append(cell.coordinate)
                styles[cell.coordinate] = {
                    "bold": bool(cell.font and cell.font.b),
                    "numberFormat": cell.number_format,
                    "fill": cell.fill.fgColor.rgb if cell.fill is not None and cell.fill.fill_type else None,
                }
        widths = {letter: dim.width for letter, dim in ws.column_dimensions.items() if dim.customWidth}
        sheets[ws.title] = {"cells": cells, "bold": bold, "widths": widths,
                            "freeze": ws.freeze_panes, "styles": styles}
    return {"sheetNames": book.sheetnames, "sheets": sheets}


def untouched_entries_equal(output, template):
    with zipfile.ZipFile(output) as out, zipfile.ZipFile(template) as tpl:
        if out.testzip() is not None:
            return False
        out_names = [i.filename for i in out.infolist()]
        tpl_names = [i.filename for i in tpl.infolist()]
        if out_names != tpl_names:
            return False
        for info in tpl.infolist():
            if info.filename.startswith("xl/worksheets/"):
                continue
            other = out.getinfo(info.filename)
            if (out.read(info.filename) != tpl.read(info.filename) or other.date_time != info.date_time
                    or other.compress_type != info.compress_type or other.CRC != info.CRC):
                return False
    return True


def main():
    result = describe(sys.argv[1])
    if len(sys.argv) > 2:
        result["untouchedEntriesEqual"] = untouched_entries_equal(sys.argv[1], sys.argv[2])
    json.dump(result, sys.stdout, sort_keys=True)


if __name__ == "__main__":
    main()
