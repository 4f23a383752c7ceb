#!/usr/bin/env python3
"""Draws Quillory's icon and writes it as an 18-image .ico file.

The picture is a quill over a rounded tile, described below as shapes and rendered at
512x512, then box-filtered to 256, 128, 48, 32, 24 and 16 pixels. Every size is stored
three times: 16 colours, 256 colours and 32-bit with alpha. The 256x256 images are
PNG-compressed. The directory lists the sizes largest first and, within a size, 16 colours
first, so a "first image with 16 or more colours" rule picks the 16-colour image.
Usage: gen_icon.py OUTPUT.ico
"""
import math
import struct
import sys
import zlib

MASTER = 512
SIZES = [256, 128, 48, 32, 24, 16]

TILE_TOP = (22, 101, 125)      # deep teal
TILE_BOTTOM = (10, 58, 82)
FEATHER = (250, 248, 240)
FEATHER_SHADE = (196, 214, 222)
NIB = (232, 178, 48)
INK = (20, 32, 44)


def mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


def rounded_box(x, y, half, radius):
    qx, qy = abs(x) - half + radius, abs(y) - half + radius
    return math.hypot(max(qx, 0), max(qy, 0)) + min(max(qx, qy), 0) - radius


def shade(u, v):
    """Colour and coverage at a point of the unit square (0..1, y down)."""
    x, y = u - 0.5, v - 0.5
    if rounded_box(x, y, 0.46, 0.12) > 0:
        return (0, 0, 0), 0.0
    colour = mix(TILE_TOP, TILE_BOTTOM, v)
    # The quill runs from the lower left to the upper right.
    ax, ay = 0.5 ** 0.5, -(0.5 ** 0.5)
    s = (u - 0.26) * ax + (v - 0.74) * ay          # along the shaft
    t = (u - 0.26) * -ay + (v - 0.74) * ax         # across it
    if 0.0 <= s <= 0.12 and abs(t) <= 0.035 * (s / 0.12):
        return (INK if abs(t) < 0.006 and s > 0.03 else NIB), 1.0
    if 0.10 <= s <= 0.72:
        k = (s - 0.10) / 0.62
        width = 0.13 * math.sin(math.pi * min(1.0, k * 1.1)) ** 0.7
        if -width * 0.55 <= t <= width:
            if abs(t) < 0.008:
                return FEATHER_SHADE, 1.0
            barb = (s * 40 + (t if t > 0 else -t) * 25) % 1.0
            return (FEATHER if barb < 0.8 else FEATHER_SHADE), 1.0
    # The written line under the quill.
    if 0.16 <= u <= 0.62 and abs(v - 0.80) < 0.012:
        return mix(FEATHER, TILE_BOTTOM, 0.3), 1.0
    return colour, 1.0


def render_master():
    pixels = []
    for j in range(MASTER):
        row = []
        for i in range(MASTER):
            colour, alpha = shade((i + 0.5) / MASTER, (j + 0.5) / MASTER)
            row.append((colour[0] * alpha, colour[1] * alpha, colour[2] * alpha, alpha))
        pixels.append(row)
    return pixels


def downsample(master, size):
    """Box filter over premultiplied colour; returns rows of (r, g, b, a) in 0..255."""
    step = MASTER / size
    out = []
    for j in range(size):
        row = []
        y0, y1 = int(j * step), int((j + 1) * step)
        for i in range(size):
            x0, x1 = int(i * step), int((i + 1) * step)
            acc = [0.0, 0.0, 0.0, 0.0]
            for y in range(y0, y1):
                for p in master[y][x0:x1]:
                    for k in range(4):
                        acc[k] += p[k]
            n = (y1 - y0) * (x1 - x0)
            a = acc[3] / n
            if a <= 0:
                row.append((0, 0, 0, 0))
            else:
                row.append(tuple(min(255, round(acc[k] / n / a)) for k in range(3)) + (round(a * 255),))
        out.append(row)
    return out


PALETTE16 = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
             (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
             (255, 0, 255), (0, 255, 255), (255, 255, 255)]
PALETTE256 = [(r * 51, g * 51, b * 51) for r in range(6) for g in range(6) for b in range(6)] + \
             [(round(i * 255 / 39),) * 3 for i in range(40)]


# One palette entry the picture never uses (magenta) marks transparency in the PNGs.
RESERVED = {16: 13, 256: (5 * 36 + 0 * 6 + 5)}


def nearest(palette, colour):
    skip = RESERVED[len(palette)]
    return min((i for i in range(len(palette)) if i != skip),
               key=lambda i: sum((palette[i][k] - colour[k]) ** 2 for k in range(3)))


def quantize(image, palette):
    cache = {}
    rows = []
    for row in image:
        out = []
        for r, g, b, a in row:
            if a < 128:
                out.append(None)
                continue
            key = (r, g, b)
            if key not in cache:
                cache[key] = nearest(palette, key)
            out.append(cache[key])
        rows.append(out)
    return rows


def png(image, bits, palette, indexes):
    size = len(image)

    def chunk(kind, data):
        return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data) & 0xFFFFFFFF)

    raw = bytearray()
    for j in range(size):
        raw.append(0)
        if bits == 32:
            for p in image[j]:
                raw += bytes(p)
        else:
            row = [RESERVED[len(palette)] if v is None else v for v in indexes[j]]
            if bits == 4:
                raw += bytes((row[i] << 4) | row[i + 1] for i in range(0, size, 2))
            else:
                raw += bytes(row)
    if bits == 32:
        header = struct.pack('>IIBBBBB', size, size, 8, 6, 0, 0, 0)
        extra = b''
    else:
        header = struct.pack('>IIBBBBB', size, size, bits, 3, 0, 0, 0)
        alphas = b'\xff' * RESERVED[len(palette)] + b'\x00'
        extra = chunk(b'PLTE', b''.join(bytes(c) for c in palette)) + chunk(b'tRNS', alphas)
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', header) + extra +
            chunk(b'IDAT', zlib.compress(bytes(raw), 9)) + chunk(b'IEND', b''))


def dib(image, bits, palette, indexes):
    size = len(image)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, bits, 0, 0, 0, 0, 0, 0)
    table = b''
    if bits != 32:
        count = 16 if bits == 4 else 256
        table = b''.join(bytes((c[2], c[1], c[0], 0)) for c in palette[:count])
    xor = bytearray()
    for j in reversed(range(size)):  # bottom-up
        line = bytearray()
        if bits == 32:
            for r, g, b, a in image[j]:
                line += bytes((b, g, r, a))
        elif bits == 8:
            line += bytes(0 if v is None else v for v in indexes[j])
        else:
            row = [0 if v is None else v for v in indexes[j]]
            line += bytes((row[i] << 4) | row[i + 1] for i in range(0, size, 2))
        line += b'\0' * (-len(line) % 4)
        xor += line
    mask = bytearray()
    for j in reversed(range(size)):
        bits_row = [1 if (image[j][i][3] < 128 if bits == 32 else indexes[j][i] is None) else 0 for i in range(size)]
        line = bytearray()
        for i in range(0, size, 8):
            byte = 0
            for k in range(8):
                byte = byte << 1 | (bits_row[i + k] if i + k < size else 0)
            line.append(byte)
        line += b'\0' * (-len(line) % 4)
        mask += line
    return header + table + bytes(xor) + bytes(mask)


def main(output):
    master = render_master()
    entries = []
    for size in SIZES:
        image = downsample(master, size)
        for bits, palette in ((4, PALETTE16), (8, PALETTE256), (32, None)):
            indexes = quantize(image, palette) if palette else None
            data = png(image, bits, palette, indexes) if size == 256 else dib(image, bits, palette, indexes)
            entries.append((size, bits, data))
    directory = struct.pack('<HHH', 0, 1, len(entries))
    offset = 6 + 16 * len(entries)
    blobs = b''
    for size, bits, data in entries:
        side = 0 if size == 256 else size
        colours = 16 if bits == 4 else 0
        directory += struct.pack('<BBBBHHII', side, side, colours, 0, 1, bits, len(data), offset + len(blobs))
        blobs += data
    with open(output, 'wb') as f:
        f.write(directory + blobs)


if __name__ == '__main__':
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    main(sys.argv[1])
