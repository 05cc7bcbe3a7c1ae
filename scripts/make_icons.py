#!/usr/bin/env python3
"""Writes the tool-strip and edit-strip icons of the main window.

Each icon is a small SVG (24 x 24) drawn here from simple shapes, written to
resources/icons/. Run it from anywhere:

    python3 scripts/make_icons.py [output folder]
"""

import os
import sys

INK = "#2b3a55"
ACCENT = "#3d7be0"
WARM = "#e0853d"

ICONS = {
    # drawing tools
    "arrow": f'<path d="M6 3 L6 19 L10 15 L13 21 L15.5 20 L12.5 14 L18 14 Z" fill="{INK}"/>',
    "line": f'<line x1="4" y1="20" x2="20" y2="4" stroke="{INK}" stroke-width="2.5" stroke-linecap="round"/>',
    "text": f'<path d="M5 5 H19 V8 H17 V7 H13.5 V18 H15.5 V20 H8.5 V18 H10.5 V7 H7 V8 H5 Z" fill="{INK}"/>',
    "rectangle": f'<rect x="4" y="6" width="16" height="12" fill="{ACCENT}" stroke="{INK}" stroke-width="1.5"/>',
    "circle": f'<ellipse cx="12" cy="12" rx="8" ry="7" fill="{ACCENT}" stroke="{INK}" stroke-width="1.5"/>',
    "rounded": f'<rect x="4" y="6" width="16" height="12" rx="4" fill="{ACCENT}" stroke="{INK}" stroke-width="1.5"/>',
    "triangle": f'<path d="M12 4 L20 19 L4 19 Z" fill="{ACCENT}" stroke="{INK}" stroke-width="1.5" stroke-linejoin="round"/>',
    "diamond": f'<path d="M12 3 L20 12 L12 21 L4 12 Z" fill="{ACCENT}" stroke="{INK}" stroke-width="1.5" stroke-linejoin="round"/>',
    "picture": f'<rect x="3" y="5" width="18" height="14" fill="#ffffff" stroke="{INK}" stroke-width="1.5"/>'
               f'<circle cx="8" cy="9.5" r="1.8" fill="{WARM}"/>'
               f'<path d="M4 18 L10 12 L13 15 L16 11 L20 18 Z" fill="{ACCENT}"/>',
    "library": f'<rect x="6" y="3" width="15" height="12" fill="#ffffff" stroke="{INK}" stroke-width="1.2"/>'
               f'<rect x="3" y="8" width="15" height="12" fill="#ffffff" stroke="{INK}" stroke-width="1.5"/>'
               f'<path d="M4 19 L9 14 L12 17 L14 14.5 L17 19 Z" fill="{ACCENT}"/>',
    "barcode": "".join(f'<rect x="{x}" y="5" width="{w}" height="14" fill="{INK}"/>'
                       for x, w in ((3, 1.5), (5.5, 1), (7.5, 2), (10.5, 1), (12.5, 1.5), (15, 2), (18, 1), (19.8, 1.5))),
    "signature": f'<path d="M3 16 C6 6 8 6 8 12 C8 18 11 9 13 12 C14 14 15 14 17 11" fill="none" stroke="{INK}" '
                 f'stroke-width="1.8" stroke-linecap="round"/><line x1="3" y1="20" x2="21" y2="20" stroke="{ACCENT}" stroke-width="1.5"/>',
    "fingerprint": "".join(f'<ellipse cx="12" cy="13" rx="{r}" ry="{r * 1.3:.1f}" fill="none" stroke="{INK}" stroke-width="1.2"/>'
                           for r in (1.5, 3.5, 5.5, 7.5)),
    "star": f'<path d="M12 2.5 L14.6 9 L21.5 9.2 L16 13.5 L18 20.5 L12 16.5 L6 20.5 L8 13.5 L2.5 9.2 L9.4 9 Z" '
            f'fill="{WARM}" stroke="{INK}" stroke-width="1.2" stroke-linejoin="round"/>',
    "doublestar": f'<path d="M12 2 L13.5 7 L17.5 4 L16 9 L21 9.5 L17 12 L21 14.5 L16 15 L17.5 20 L13.5 17 L12 22 '
                  f'L10.5 17 L6.5 20 L8 15 L3 14.5 L7 12 L3 9.5 L8 9 L6.5 4 L10.5 7 Z" fill="{WARM}" stroke="{INK}" '
                  f'stroke-width="1" stroke-linejoin="round"/>',
    "polygon": f'<path d="M12 3 L20.5 9.2 L17.3 19 L6.7 19 L3.5 9.2 Z" fill="{ACCENT}" stroke="{INK}" stroke-width="1.5" stroke-linejoin="round"/>',
    # edit strip
    "cut": f'<circle cx="7" cy="17" r="3" fill="none" stroke="{INK}" stroke-width="1.8"/>'
           f'<circle cx="17" cy="17" r="3" fill="none" stroke="{INK}" stroke-width="1.8"/>'
           f'<path d="M9 15 L17 3 M15 15 L7 3" stroke="{INK}" stroke-width="1.8" stroke-linecap="round"/>',
    "copy": f'<rect x="8" y="3" width="12" height="14" fill="#ffffff" stroke="{INK}" stroke-width="1.5"/>'
            f'<rect x="4" y="7" width="12" height="14" fill="#ffffff" stroke="{INK}" stroke-width="1.5"/>',
    "paste": f'<rect x="4" y="5" width="14" height="16" rx="1.5" fill="{WARM}" stroke="{INK}" stroke-width="1.5"/>'
             f'<rect x="8" y="3" width="6" height="4" rx="1" fill="{INK}"/>'
             f'<rect x="10" y="10" width="10" height="12" fill="#ffffff" stroke="{INK}" stroke-width="1.3"/>',
    "delete": f'<path d="M6 7 H18 L17 21 H7 Z" fill="#ffffff" stroke="{INK}" stroke-width="1.5" stroke-linejoin="round"/>'
              f'<path d="M4 7 H20 M9 7 V4 H15 V7 M10 10 V18 M14 10 V18" stroke="{INK}" stroke-width="1.5" fill="none"/>',
    "front": f'<rect x="3" y="3" width="12" height="12" fill="#c9d3e6" stroke="{INK}" stroke-width="1.2"/>'
             f'<rect x="9" y="9" width="12" height="12" fill="{ACCENT}" stroke="{INK}" stroke-width="1.5"/>',
    "back": f'<rect x="9" y="9" width="12" height="12" fill="#c9d3e6" stroke="{INK}" stroke-width="1.2"/>'
            f'<rect x="3" y="3" width="12" height="12" fill="#ffffff" stroke="{INK}" stroke-width="1.2" stroke-dasharray="2 1.5"/>'
            f'<rect x="9" y="9" width="6" height="6" fill="{ACCENT}"/>',
    "lock": f'<path d="M8 11 V7.5 A4 4 0 0 1 16 7.5 V11" fill="none" stroke="{INK}" stroke-width="2"/>'
            f'<rect x="5" y="11" width="14" height="10" rx="1.5" fill="{WARM}" stroke="{INK}" stroke-width="1.5"/>',
    "unlock": f'<path d="M8 11 V7.5 A4 4 0 0 1 15.5 5.5" fill="none" stroke="{INK}" stroke-width="2"/>'
              f'<rect x="5" y="11" width="14" height="10" rx="1.5" fill="#ffffff" stroke="{INK}" stroke-width="1.5"/>',
    "undo": f'<path d="M9 5 L4 10 L9 15 M4 10 H14 A6 6 0 0 1 14 22" fill="none" stroke="{INK}" stroke-width="2" '
            f'stroke-linecap="round" stroke-linejoin="round"/>',
    "redo": f'<path d="M15 5 L20 10 L15 15 M20 10 H10 A6 6 0 0 0 10 22" fill="none" stroke="{INK}" stroke-width="2" '
            f'stroke-linecap="round" stroke-linejoin="round"/>',
}


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "resources", "icons")
    os.makedirs(out, exist_ok=True)
    for name, body in sorted(ICONS.items()):
        svg = ('<svg xmlns="http://www.w3.org/2000/svg" width="24" height="24" viewBox="0 0 24 24">'
               f"{body}</svg>\n")
        with open(os.path.join(out, name + ".svg"), "w", encoding="ascii") as f:
            f.write(svg)
    print(f"{len(ICONS)} icons written to {out}")


if __name__ == "__main__":
    main()
