#!/usr/bin/env python3
"""Writes resources/Samples/Guests.xlsx, the guest list of the guide's worked
example: a title row (Name, Company, Ticket) and ten guests, each with the
ticket number their badge's QR Code holds.

The workbook's dates and its archive entries carry a fixed date, so that the
file is the same on every run.

Usage: /usr/bin/python3 scripts/make_guest_list_xlsx.py [output path]
"""

import datetime
import io
import os
import sys
import zipfile

import openpyxl
from openpyxl.styles import Font

TITLES = ("Name", "Company", "Ticket")
GUESTS = (
    ("Ada Lovelace", "Analytical Engines Ltd", "SM26-0101"),
    ("Grace Hopper", "Compiler Works", "SM26-0102"),
    ("Alan Turing", "Bletchley Systems", "SM26-0103"),
    ("Katherine Johnson", "Orbit Calculations", "SM26-0104"),
    ("Edsger Dijkstra", "Shortest Path BV", "SM26-0105"),
    ("Margaret Hamilton", "Apollo Software", "SM26-0106"),
    ("Donald Knuth", "Typesetting Press", "SM26-0107"),
    ("Barbara Liskov", "Substitution Labs", "SM26-0108"),
    ("Tim Berners-Lee", "Hypertext Web", "SM26-0109"),
    ("Frances Allen", "Optimising Compilers", "SM26-0110"),
)
FIXED = datetime.datetime(2026, 1, 1)


def workbook_bytes():
    book = openpyxl.Workbook()
    sheet = book.active
    sheet.title = "Guests"
    sheet.append(TITLES)
    for cell in sheet[1]:
        cell.font = Font(bold=True)
    for guest in GUESTS:
        sheet.append(guest)
    for column, width in zip("ABC", (24, 26, 14)):
        sheet.column_dimensions[column].width = width
    book.properties.creator = "QUVO Gratulo"
    book.properties.created = FIXED
    book.properties.modified = FIXED
    data = io.BytesIO()
    book.save(data)
    return data.getvalue()


def with_fixed_dates(package):
    """The same archive, each entry dated 1 January 1980."""
    out = io.BytesIO()
    with zipfile.ZipFile(io.BytesIO(package)) as source, zipfile.ZipFile(out, "w") as target:
        for entry in source.infolist():
            copy = zipfile.ZipInfo(entry.filename, date_time=(1980, 1, 1, 0, 0, 0))
            copy.compress_type = zipfile.ZIP_DEFLATED
            copy.external_attr = 0o644 << 16
            target.writestr(copy, source.read(entry.filename))
    return out.getvalue()


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    default = os.path.join(here, "..", "resources", "Samples", "Guests.xlsx")
    path = os.path.normpath(sys.argv[1] if len(sys.argv) > 1 else default)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(with_fixed_dates(workbook_bytes()))


if __name__ == "__main__":
    main()
