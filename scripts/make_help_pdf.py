#!/usr/bin/env python3
"""Writes resources/Help.pdf, the user guide, from the text of README.md.

A small PDF writer of its own (standard library only): A4 pages, the
standard Helvetica and Courier fonts, headings in bold, indented lines in
Courier, paragraphs and list items wrapped to the page width. Run it from
anywhere:

    python3 scripts/make_help_pdf.py [README] [output PDF]
"""

import os
import re
import sys
import zlib

PAGE_W, PAGE_H = 595, 842
MARGIN = 60
BODY, HEAD1, HEAD2, CODE = 10.5, 18, 13, 9.5

# Helvetica advance widths (1/1000 em) of the printable ASCII characters.
HELVETICA = [278, 278, 355, 556, 556, 889, 667, 191, 333, 333, 389, 584, 278, 333, 278, 278, 556, 556, 556, 556,
             556, 556, 556, 556, 556, 556, 278, 278, 584, 584, 584, 556, 1015, 667, 667, 722, 722, 667, 611, 778, 722,
             278, 500, 667, 556, 833, 722, 778, 667, 778, 722, 667, 611, 722, 667, 944, 667, 667, 611, 278, 278, 278,
             469, 556, 333, 556, 556, 500, 556, 556, 278, 556, 556, 222, 222, 500, 222, 833, 556, 556, 556, 556, 333,
             500, 278, 556, 500, 722, 500, 500, 500, 334, 260, 334, 584]

REPLACEMENTS = {"\u2026": "...", "\u2014": "-", "\u2013": "-", "\u2018": "'", "\u2019": "'", "\u201c": '"',
                "\u201d": '"', "\u00d7": "x", "\u2192": "->"}


def plain(text):
    for k, v in REPLACEMENTS.items():
        text = text.replace(k, v)
    text = re.sub(r"`([^`]*)`", r"\1", text)
    text = re.sub(r"\*\*([^*]*)\*\*", r"\1", text)
    return text.encode("latin-1", "replace").decode("latin-1")


def width(text, size, bold=False):
    total = 0
    for ch in text:
        code = ord(ch)
        total += HELVETICA[code - 32] if 32 <= code < 127 else 556
    return total * size / 1000 * (1.05 if bold else 1.0)


def wrap(text, size, limit, bold=False):
    words, lines, line = text.split(), [], ""
    for word in words:
        trial = word if not line else line + " " + word
        if width(trial, size, bold) <= limit or not line:
            line = trial
        else:
            lines.append(line)
            line = word
    if line:
        lines.append(line)
    return lines


def blocks(markdown):
    """(kind, text) blocks: h1, h2, code, item, para."""
    out, para = [], []

    def flush():
        if para:
            out.append(("para", " ".join(para)))
            para.clear()
    for raw in markdown.splitlines():
        line = raw.rstrip()
        if not line.strip():
            flush()
            continue
        if line.startswith("# "):
            flush()
            out.append(("h1", line[2:]))
        elif line.startswith("## "):
            flush()
            out.append(("h2", line[3:]))
        elif line.startswith("    ") and not para and (not out or out[-1][0] != "item"):
            flush()
            out.append(("code", line.strip()))
        elif line.lstrip().startswith("- "):
            flush()
            out.append(("item", line.lstrip()[2:]))
        elif out and out[-1][0] == "item" and not para and raw.startswith("  "):
            out[-1] = ("item", out[-1][1] + " " + line.strip())
        else:
            para.append(line.strip())
    flush()
    return out


class Pages:
    def __init__(self):
        self.pages, self.ops, self.y = [], [], PAGE_H - MARGIN

    def need(self, height):
        if self.y - height < MARGIN:
            self.finish()

    def finish(self):
        if self.ops:
            number = len(self.pages) + 1
            self.ops.append(f"BT /F1 8 Tf {PAGE_W / 2 - 10:.1f} 30 Td ({number}) Tj ET")
            self.pages.append("\n".join(self.ops))
        self.ops, self.y = [], PAGE_H - MARGIN

    def text(self, x, string, font, size, leading):
        self.need(leading)
        self.y -= leading
        escaped = string.replace("\\", "\\\\").replace("(", "\\(").replace(")", "\\)")
        self.ops.append(f"BT /{font} {size} Tf {x:.1f} {self.y:.1f} Td ({escaped}) Tj ET")


def layout(markdown):
    pages = Pages()
    limit = PAGE_W - 2 * MARGIN
    for kind, text in blocks(markdown):
        text = plain(text)
        if kind == "h1":
            pages.text(MARGIN, text, "F2", HEAD1, HEAD1 * 1.6)
            pages.y -= 6
        elif kind == "h2":
            pages.need(HEAD2 * 4)
            pages.y -= 8
            pages.text(MARGIN, text, "F2", HEAD2, HEAD2 * 1.5)
        elif kind == "code":
            pages.text(MARGIN + 18, text, "F3", CODE, CODE * 1.5)
        elif kind == "item":
            for i, line in enumerate(wrap(text, BODY, limit - 14)):
                if i == 0:
                    pages.text(MARGIN, "-", "F1", BODY, BODY * 1.45)
                    pages.y += BODY * 1.45
                pages.text(MARGIN + 12, line, "F1", BODY, BODY * 1.45)
        else:
            pages.y -= 3
            for line in wrap(text, BODY, limit):
                pages.text(MARGIN, line, "F1", BODY, BODY * 1.45)
            pages.y -= 3
    pages.finish()
    return pages.pages


def write_pdf(path, page_streams, title):
    objects = []

    def add(body):
        objects.append(body)
        return len(objects)
    catalog = add(None)
    pages_id = add(None)
    fonts = [add(f"<< /Type /Font /Subtype /Type1 /BaseFont /{name} /Encoding /WinAnsiEncoding >>")
             for name in ("Helvetica", "Helvetica-Bold", "Courier")]
    kids = []
    for stream in page_streams:
        data = zlib.compress(stream.encode("latin-1"))
        content = add(f"<< /Length {len(data)} /Filter /FlateDecode >>\nstream\n".encode("latin-1") + data +
                      b"\nendstream")
        kids.append(add(f"<< /Type /Page /Parent {pages_id} 0 R /MediaBox [0 0 {PAGE_W} {PAGE_H}] "
                        f"/Resources << /Font << /F1 {fonts[0]} 0 R /F2 {fonts[1]} 0 R /F3 {fonts[2]} 0 R >> >> "
                        f"/Contents {content} 0 R >>"))
    info = add(f"<< /Title ({title}) /Producer (QUVO Gratulo make_help_pdf.py) >>")
    objects[catalog - 1] = f"<< /Type /Catalog /Pages {pages_id} 0 R >>"
    objects[pages_id - 1] = f"<< /Type /Pages /Kids [{' '.join(f'{k} 0 R' for k in kids)}] /Count {len(kids)} >>"
    out = bytearray(b"%PDF-1.4\n%\xe2\xe3\xcf\xd3\n")
    offsets = []
    for number, body in enumerate(objects, start=1):
        offsets.append(len(out))
        payload = body if isinstance(body, bytes) else body.encode("latin-1")
        out += f"{number} 0 obj\n".encode() + payload + b"\nendobj\n"
    xref = len(out)
    out += f"xref\n0 {len(objects) + 1}\n0000000000 65535 f \n".encode()
    for offset in offsets:
        out += f"{offset:010d} 00000 n \n".encode()
    out += (f"trailer\n<< /Size {len(objects) + 1} /Root {catalog} 0 R /Info {info} 0 R >>\n"
            f"startxref\n{xref}\n%%EOF\n").encode()
    with open(path, "wb") as f:
        f.write(out)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    readme = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "README.md")
    target = sys.argv[2] if len(sys.argv) > 2 else os.path.join(here, "..", "resources", "Help.pdf")
    with open(readme, encoding="utf-8") as f:
        text = f.read()
    pages = layout(text)
    write_pdf(target, pages, "QUVO Gratulo User Guide")
    print(f"{target}: {len(pages)} pages")


if __name__ == "__main__":
    main()
