#!/usr/bin/env python3
"""Writes resources/Template.xlsx, the workbook the series export fills.

It is the smallest package a spreadsheet program opens: one worksheet
(xl/worksheets/sheet1.xml), a shared-string table (xl/sharedStrings.xml),
a plain style sheet, the workbook with its relationships, and the content
types that declare every part. The export replaces the worksheet and the
shared strings and keeps the rest. Entries carry a fixed date so that the
file is the same on every run.

Usage: python3 scripts/make_template_xlsx.py [output path]
"""

import os
import sys
import zipfile

MAIN = "http://schemas.openxmlformats.org/spreadsheetml/2006/main"
REL = "http://schemas.openxmlformats.org/officeDocument/2006/relationships"
PKG_REL = "http://schemas.openxmlformats.org/package/2006/relationships"
TYPES = "http://schemas.openxmlformats.org/package/2006/content-types"
CORE = "http://schemas.openxmlformats.org/package/2006/metadata/core-properties"
ML = "application/vnd.openxmlformats-officedocument.spreadsheetml"
HEAD = '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'

PARTS = [
    ("[Content_Types].xml", f"""<Types xmlns="{TYPES}">
  <Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>
  <Default Extension="xml" ContentType="application/xml"/>
  <Override PartName="/xl/workbook.xml" ContentType="{ML}.sheet.main+xml"/>
  <Override PartName="/xl/worksheets/sheet1.xml" ContentType="{ML}.worksheet+xml"/>
  <Override PartName="/xl/sharedStrings.xml" ContentType="{ML}.sharedStrings+xml"/>
  <Override PartName="/xl/styles.xml" ContentType="{ML}.styles+xml"/>
  <Override PartName="/docProps/core.xml" ContentType="application/vnd.openxmlformats-package.core-properties+xml"/>
  <Override PartName="/docProps/app.xml" ContentType="application/vnd.openxmlformats-officedocument.extended-properties+xml"/>
</Types>
"""),
    ("_rels/.rels", f"""<Relationships xmlns="{PKG_REL}">
  <Relationship Id="rId1" Type="{REL}/officeDocument" Target="xl/workbook.xml"/>
  <Relationship Id="rId2" Type="{PKG_REL}/metadata/core-properties" Target="docProps/core.xml"/>
  <Relationship Id="rId3" Type="{REL}/extended-properties" Target="docProps/app.xml"/>
</Relationships>
"""),
    ("docProps/core.xml", f"""<cp:coreProperties xmlns:cp="{CORE}" xmlns:dc="http://purl.org/dc/elements/1.1/" xmlns:dcterms="http://purl.org/dc/terms/" xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance">
  <dc:creator>QUVO Gratulo</dc:creator>
</cp:coreProperties>
"""),
    ("docProps/app.xml", """<Properties xmlns="http://schemas.openxmlformats.org/officeDocument/2006/extended-properties">
  <Application>QUVO Gratulo</Application>
</Properties>
"""),
    ("xl/workbook.xml", f"""<workbook xmlns="{MAIN}" xmlns:r="{REL}">
  <bookViews>
    <workbookView activeTab="0"/>
  </bookViews>
  <sheets>
    <sheet name="Batch Values" sheetId="1" r:id="rId1"/>
  </sheets>
</workbook>
"""),
    ("xl/_rels/workbook.xml.rels", f"""<Relationships xmlns="{PKG_REL}">
  <Relationship Id="rId1" Type="{REL}/worksheet" Target="worksheets/sheet1.xml"/>
  <Relationship Id="rId2" Type="{REL}/sharedStrings" Target="sharedStrings.xml"/>
  <Relationship Id="rId3" Type="{REL}/styles" Target="styles.xml"/>
</Relationships>
"""),
    ("xl/styles.xml", f"""<styleSheet xmlns="{MAIN}">
  <fonts count="1">
    <font><sz val="12"/><name val="Calibri"/><family val="2"/></font>
  </fonts>
  <fills count="2">
    <fill><patternFill patternType="none"/></fill>
    <fill><patternFill patternType="gray125"/></fill>
  </fills>
  <borders count="1">
    <border><left/><right/><top/><bottom/><diagonal/></border>
  </borders>
  <cellStyleXfs count="1">
    <xf numFmtId="0" fontId="0" fillId="0" borderId="0"/>
  </cellStyleXfs>
  <cellXfs count="1">
    <xf numFmtId="0" fontId="0" fillId="0" borderId="0" xfId="0"/>
  </cellXfs>
  <cellStyles count="1">
    <cellStyle name="Normal" xfId="0" builtinId="0"/>
  </cellStyles>
</styleSheet>
"""),
    ("xl/worksheets/sheet1.xml", f"""<worksheet xmlns="{MAIN}" xmlns:r="{REL}">
  <dimension ref="A1"/>
  <sheetViews>
    <sheetView tabSelected="1" workbookViewId="0"/>
  </sheetViews>
  <sheetFormatPr baseColWidth="10" defaultRowHeight="15"/>
  <sheetData/>
  <pageMargins left="0.75" right="0.75" top="1" bottom="0.5" header="0.5" footer="0.5"/>
</worksheet>
"""),
    ("xl/sharedStrings.xml", f"""<sst xmlns="{MAIN}"/>
"""),
]

FIXED_DATE = (1980, 1, 1, 0, 0, 0)


def write_template(path):
    folder = os.path.dirname(path)
    if folder:
        os.makedirs(folder, exist_ok=True)
    with zipfile.ZipFile(path, "w", compression=zipfile.ZIP_DEFLATED) as package:
        for name, body in PARTS:
            entry = zipfile.ZipInfo(name, date_time=FIXED_DATE)
            entry.compress_type = zipfile.ZIP_DEFLATED
            entry.external_attr = 0o644 << 16
            package.writestr(entry, HEAD + body)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    default = os.path.join(here, "..", "resources", "Template.xlsx")
    write_template(os.path.normpath(sys.argv[1] if len(sys.argv) > 1 else default))


if __name__ == "__main__":
    main()
