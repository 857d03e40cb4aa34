#!/usr/bin/env python3
"""Makes res/icons/plaxomet.ico, the Windows icon, from the PNG artwork: a
16x16 and a 32x32 image in the 16 colours of the standard Windows palette,
each with the transparency mask its alpha channel gives (the dialogs draw
these), full-colour images with alpha at 20, 24 and 40 pixels (the small and
large icon at 125, 150 and 200 %) and at 48 for Explorer, and the 256x256
artwork as PNG for the Start menu. Run it again after the artwork changes
(the larger PNGs come from plaxomet.svg: rsvg-convert -w N -h N); the build
uses the .ico it wrote."""
import struct
import sys
import zlib
from pathlib import Path

PALETTE = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
           (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
           (255, 0, 255), (0, 255, 255), (255, 255, 255)]


def read_rgba(path):
    data = path.read_bytes()
    pos, width, height, idat = 8, 0, 0, b""
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            width, height, depth, colour = struct.unpack(">IIBB", body[:10])
            assert depth == 8 and colour == 6, "8-bit RGBA artwork expected"
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    raw, stride, rows, previous = zlib.decompress(idat), width * 4, [], bytearray(width * 4)
    for y in range(height):
        kind, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            left = line[i - 4] if i >= 4 else 0
            up, corner = previous[i], previous[i - 4] if i >= 4 else 0
            if kind == 1:
                line[i] = (line[i] + left) & 255
            elif kind == 2:
                line[i] = (line[i] + up) & 255
            elif kind == 3:
                line[i] = (line[i] + (left + up) // 2) & 255
            elif kind == 4:
                p = left + up - corner
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - corner)
                line[i] = (line[i] + (left if pa <= pb and pa <= pc else up if pb <= pc else corner)) & 255
        rows.append(bytes(line))
        previous = line
    return width, height, rows


def nearest(r, g, b):
    return min(range(16), key=lambda i: sum((a - c) ** 2 for a, c in zip(PALETTE[i], (r, g, b))))


def bitmap(width, height, rows):
    header = struct.pack("<IiiHHIIiiII", 40, width, height * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    colours, mask = b"", b""
    for row in reversed(rows):  # bottom-up
        pixels = [row[x * 4:x * 4 + 4] for x in range(width)]
        indices = [nearest(*p[:3]) if p[3] >= 128 else 0 for p in pixels]
        line = bytes((indices[x] << 4) | indices[x + 1] for x in range(0, width, 2))
        colours += line + b"\0" * (-len(line) % 4)
        bits = 0
        for x, p in enumerate(pixels):
            bits = (bits << 1) | (p[3] < 128)
        line = bits.to_bytes(width // 8, "big")
        mask += line + b"\0" * (-len(line) % 4)
    return header + palette + colours + mask


def true_colour_bitmap(width, height, rows):
    header = struct.pack("<IiiHHIIiiII", 40, width, height * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    colours, mask = b"", b""
    for row in reversed(rows):  # bottom-up, BGRA
        colours += b"".join(bytes((row[x * 4 + 2], row[x * 4 + 1], row[x * 4], row[x * 4 + 3])) for x in range(width))
        bits = 0
        for x in range(width):
            bits = (bits << 1) | (row[x * 4 + 3] == 0)
        line = (bits << (-width % 8)).to_bytes((width + 7) // 8, "big")  # left-aligned, MSB first
        mask += line + b"\0" * (-len(line) % 4)
    return header + colours + mask


def main():
    icons = Path(sys.argv[0]).resolve().parent.parent / "res" / "icons"
    # size, colour count (0: more than 256), bits per pixel, image
    entries = [(size, 16, 4, bitmap(*read_rgba(icons / f"plaxomet-{size}.png"))) for size in (16, 32)]
    # Full colour at the sizes Windows asks for at 125 to 250 % and in Explorer.
    for size in (20, 24, 40, 48):
        entries.append((size, 0, 32, true_colour_bitmap(*read_rgba(icons / f"plaxomet-{size}.png"))))
    entries.append((256, 0, 32, (icons / "plaxomet-256.png").read_bytes()))
    out, offset = struct.pack("<HHH", 0, 1, len(entries)), 6 + 16 * len(entries)
    for size, colours, bits, image in entries:
        out += struct.pack("<BBBBHHII", size % 256, size % 256, colours, 0, 1, bits, len(image), offset)
        offset += len(image)
    (icons / "plaxomet.ico").write_bytes(out + b"".join(image for *_, image in entries))


main()
