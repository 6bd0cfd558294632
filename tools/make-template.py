#!/usr/bin/python3
"""Builds resources/Veltrane.xlsx, the workbook the Excel export fills.

The export writes cells only; this workbook supplies the sheet names, the column titles and the
look. Run it with Debian's python3 (python3-openpyxl). The result is byte-for-byte reproducible:
document dates are fixed and the zip is rebuilt with fixed entry times, so rebuilding after an
unrelated change leaves the committed file untouched.

usage: tools/make-template.py [OUTPUT]   (default: resources/Veltrane.xlsx beside this script)
"""

import datetime
import io
import os
import sys
import zipfile

from openpyxl import Workbook
from openpyxl.styles import Alignment, Border, Font, PatternFill, Side
from openpyxl.utils import get_column_letter
from openpyxl.worksheet.properties import PageSetupProperties

# Column titles by column number. Subnet columns 7 and 14-21 are left blank: column 7 is never
# filled, and the export writes the User Config titles of 14-21 only when a subnet uses it.
SHEETS = [
    ("Fieldbus", {
        1: "Type of Protocol", 2: "Assign IP Mode", 3: "IP Address", 4: "Subnet Mask",
        5: "Default Gateway", 6: "DNS1", 7: "DNS2",
        8: "Input Valid Data Length", 9: "Transaction No.",
    }, {2: 17, 3: 16, 4: 16, 5: 16, 6: 16, 7: 16}),
    ("Subnet", {
        1: "Subnet", 2: "Type of Protocol", 3: "Baud Rate", 4: "Data Bits", 5: "Parity",
        6: "Stop Bits", 8: "Transmission Mode", 9: "Response Timeout (10~60000ms)",
        10: "Delay between Polls (0~2500ms)", 11: "Output Mode", 12: "Output Pulse (200~2500ms)",
        13: "Scan Rate (1~255)",
    }, {
        # Column 7 stays empty; 14-21 are sized for the User Config titles the export may write,
        # and 14 for its longest value, "Time Interval between Characters".
        7: 3, 14: 33, 15: 22, 16: 10, 17: 11, 18: 11, 19: 14, 20: 14, 21: 12,
    }),
    ("Command List", {
        1: "Subnet", 2: "Slave Address (0~247)", 3: "Function Code", 4: "Starting Address",
        5: "Number of Data", 6: "Mapping Address (HEX)", 7: "Mapping Bit (0~7)",
        8: "Number of Bytes", 9: "Byte Swap / Data Filter", 10: "Type of Check",
        11: "Type of Scan",
    }, {}),
]

FIXED_TIME = datetime.datetime(2026, 1, 1, 0, 0, 0)
ZIP_TIME = (2026, 1, 1, 0, 0, 0)

TITLE_FONT = Font(name="Calibri", size=11, bold=True, color="FFFFFF")
TITLE_FILL = PatternFill(fill_type="solid", start_color="305496", end_color="305496")
TITLE_ALIGN = Alignment(horizontal="center", vertical="center", wrap_text=True)
THIN = Side(style="thin", color="A6A6A6")
TITLE_BORDER = Border(left=THIN, right=THIN, top=THIN, bottom=THIN)
DATA_FONT = Font(name="Calibri", size=11)
DATA_ALIGN = Alignment(horizontal="left", vertical="center")
LAST_COLUMN = {"Fieldbus": 9, "Subnet": 21, "Command List": 11}


def build_workbook():
    wb = Workbook()
    wb.remove(wb.active)
    for name, titles, widths in SHEETS:
        ws = wb.create_sheet(name)
        for column in range(1, LAST_COLUMN[name] + 1):
            letter = get_column_letter(column)
            title = titles.get(column)
            cell = ws.cell(row=1, column=column)
            if title is not None:
                cell.value = title
            # Blank title cells get the title style too, so titles written later look the same.
            cell.font = TITLE_FONT
            cell.fill = TITLE_FILL
            cell.alignment = TITLE_ALIGN
            cell.border = TITLE_BORDER
            width = widths.get(column)
            if width is None:
                # Long titles wrap onto the second line of the title row.
                width = max(10, min(len(title or "") + 3, 17))
            dim = ws.column_dimensions[letter]
            dim.width = width
            # Cells the export creates take the column style: text format, left aligned.
            dim.font = DATA_FONT
            dim.alignment = DATA_ALIGN
            dim.number_format = "@"
        ws.row_dimensions[1].height = 32
        ws.freeze_panes = "A2"
        ws.sheet_view.zoomScale = 100
        # Printed, a sheet is one page wide (landscape), with the titles repeated on every page.
        ws.page_setup.orientation = "landscape"
        ws.page_setup.paperSize = ws.PAPERSIZE_A4
        ws.page_setup.fitToWidth = 1
        ws.page_setup.fitToHeight = 0
        ws.sheet_properties.pageSetUpPr = PageSetupProperties(fitToPage=True)
        ws.print_title_rows = "1:1"
    wb.active = 0
    props = wb.properties
    props.creator = "Veltrane"
    props.lastModifiedBy = "Veltrane"
    props.title = "Veltrane export template"
    props.created = FIXED_TIME
    props.modified = FIXED_TIME
    return wb


def deterministic_zip(data):
    """Rewrites the archive with fixed entry times and a fixed order of entries."""
    source = zipfile.ZipFile(io.BytesIO(data))
    out = io.BytesIO()
    with zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED) as target:
        for info in source.infolist():
            entry = zipfile.ZipInfo(info.filename, date_time=ZIP_TIME)
            entry.compress_type = zipfile.ZIP_DEFLATED
            entry.external_attr = 0o644 << 16
            entry.create_system = 3
            target.writestr(entry, source.read(info.filename))
    return out.getvalue()


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    output = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "resources", "Veltrane.xlsx")
    buffer = io.BytesIO()
    build_workbook().save(buffer)
    data = deterministic_zip(buffer.getvalue())
    with open(output, "wb") as handle:
        handle.write(data)


if __name__ == "__main__":
    main()
