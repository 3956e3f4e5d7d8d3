#!/usr/bin/env python3
"""Makes Veldakor's icon and bitmap files from the drawings in pictures.py.

usage: make_art.py OUTDIR [--preview FILE.png]

Writes every file the resource script names into OUTDIR. --preview also
writes a contact sheet of all images, enlarged, for a look at the artwork.
Python 3 standard library only.
"""

import os
import sys

# Keep the source folder free of compiled modules.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import formats  # noqa: E402
import pictures  # noqa: E402

PROGRAM_SIZES = (256, 64, 48, 32, 24, 16)

STATUS_ICONS = ("good", "caution", "danger", "error")
STATUS_PICTURES = ("good", "caution", "danger", "error", "hot")


def images():
    """Every output file: name -> ("ico", [rows...]) or ("bmp", rows)."""
    out = {}
    out["program.ico"] = ("ico", [pictures.program_image(s) for s in PROGRAM_SIZES])
    out["small.ico"] = ("ico", [pictures.program_image(16)])
    for name in STATUS_ICONS:
        out["status_%s.ico" % name] = ("ico", [pictures.icon_image(pictures.STATUS[name], 16)])
    for name, draw in pictures.TIPS.items():
        out["%s.ico" % name] = ("ico", [pictures.icon_image(draw, 16)])
    for name in STATUS_PICTURES:
        out["status_%s.bmp" % name] = ("bmp", pictures.status_picture(name))
    return out


def write_file(path, data):
    with open(path, "wb") as f:
        f.write(data)


def preview(files, path, zoom=4):
    """A sheet with every image enlarged zoom times on a checkerboard."""
    tiles = []
    for name in sorted(files):
        kind, content = files[name]
        for rows in (content if kind == "ico" else [content]):
            if len(rows) <= 64:
                tiles.append(rows)
    gap = 8
    width = sum(len(t[0]) * zoom + gap for t in tiles) + gap
    height = max(len(t) for t in tiles) * zoom + 2 * gap
    sheet = [[(255, 255, 255, 255)] * width for _ in range(height)]
    x = gap
    for rows in tiles:
        for y in range(len(rows) * zoom):
            for dx in range(len(rows[0]) * zoom):
                r, g, b, a = rows[y // zoom][dx // zoom]
                check = 204 if ((dx // 8) + (y // 8)) % 2 else 255
                k = a / 255.0
                sheet[gap + y][x + dx] = (int(r * k + check * (1 - k)), int(g * k + check * (1 - k)),
                                          int(b * k + check * (1 - k)), 255)
        x += len(rows[0]) * zoom + gap
    write_file(path, formats.png_bytes(sheet))


def main(argv):
    if len(argv) not in (2, 4) or (len(argv) == 4 and argv[2] != "--preview"):
        sys.stderr.write(__doc__)
        return 2
    outdir = argv[1]
    os.makedirs(outdir, exist_ok=True)
    files = images()
    for name, (kind, content) in files.items():
        data = formats.ico_bytes(content) if kind == "ico" else formats.bmp_bytes(content)
        write_file(os.path.join(outdir, name), data)
    if len(argv) == 4:
        preview(files, argv[3])
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
