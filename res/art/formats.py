"""Writers for the files the resource compiler takes: ICO, BMP and PNG.

Everything is packed by hand with struct and zlib, so the build needs no
image library. The output depends only on the pixels: no time stamps.
"""

import struct
import zlib


def png_bytes(rows):
    """An RGBA PNG from rows top to bottom of (r, g, b, a) tuples."""
    height = len(rows)
    width = len(rows[0])
    raw = bytearray()
    for row in rows:
        raw.append(0)  # filter: none
        for pixel in row:
            raw.extend(pixel)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))


def _icon_dib(rows):
    """A 32-bit icon image: header, BGRA colours bottom-up, then the AND mask.

    The mask marks fully transparent pixels, for the code paths that still
    draw icons through it.
    """
    height = len(rows)
    width = len(rows[0])
    colours = bytearray()
    for row in reversed(rows):
        for r, g, b, a in row:
            colours.extend((b, g, r, a))
    stride = ((width + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        line = bytearray(stride)
        for x, pixel in enumerate(row):
            if pixel[3] == 0:
                line[x // 8] |= 0x80 >> (x % 8)
        mask.extend(line)
    header = struct.pack("<IiiHHIIiiII", 40, width, height * 2, 1, 32, 0,
                         len(colours) + len(mask), 0, 0, 0, 0)
    return header + bytes(colours) + bytes(mask)


def ico_bytes(images):
    """An ICO file from RGBA images (lists of rows), largest first.

    Images of 256 pixels are stored PNG-compressed, the smaller ones as
    32-bit DIBs, as Windows expects them.
    """
    blobs = []
    for rows in images:
        size = len(rows)
        blobs.append((size, len(rows[0]), png_bytes(rows) if size >= 256 else _icon_dib(rows)))
    out = bytearray(struct.pack("<HHH", 0, 1, len(blobs)))
    offset = 6 + 16 * len(blobs)
    for height, width, data in blobs:
        out += struct.pack("<BBBBHHII", width % 256, height % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for _, _, data in blobs:
        out += data
    return bytes(out)


def bmp_bytes(rows):
    """A 24-bit bottom-up BMP; any alpha is dropped (the pictures are opaque)."""
    height = len(rows)
    width = len(rows[0])
    stride = (width * 3 + 3) & ~3
    pixels = bytearray()
    for row in reversed(rows):
        line = bytearray()
        for r, g, b, _ in row:
            line.extend((b, g, r))
        line.extend(b"\0" * (stride - len(line)))
        pixels.extend(line)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    return header + info + bytes(pixels)
