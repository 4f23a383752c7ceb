#!/usr/bin/env python3
"""Builds the 33 .SHE skins from skin/skins.txt (see skinlib/FORMAT.md).

Each line gives a face, an accent and a text colour and two metrics; the full palette is
derived here so that every skin is consistent. Writes skinNN.she into the output folder.
Usage: gen_skins.py SKINS.txt OUTPUT_DIR
"""
import os
import re
import struct
import sys

ORDER = ['window face', 'label text', 'edit face', 'edit text', 'edit border', 'button face', 'button hot',
         'button pressed', 'button border', 'button text', 'button focus', 'status face', 'status text',
         'status edge', 'caption', 'caption text', 'frame', 'caption inactive', 'disabled text']

WHITE, BLACK = (255, 255, 255), (0, 0, 0)


def rgb(text):
    return tuple(int(text[i:i + 2], 16) for i in (1, 3, 5))


def mix(a, b, t):
    return tuple(round(a[i] + (b[i] - a[i]) * t) for i in range(3))


def luminance(c):
    return (0.2126 * c[0] + 0.7152 * c[1] + 0.0722 * c[2]) / 255


def palette(face, accent, text):
    dark = luminance(face) < 0.5
    return {
        'window face': face,
        'label text': text,
        'edit face': mix(face, WHITE, 0.08) if dark else mix(face, WHITE, 0.85),
        'edit text': text,
        'edit border': mix(face, accent, 0.55),
        'button face': mix(face, accent, 0.14),
        'button hot': mix(face, accent, 0.28),
        'button pressed': mix(face, accent, 0.48),
        'button border': mix(face, accent, 0.72),
        'button text': text,
        'button focus': accent,
        'status face': mix(face, BLACK if dark else accent, 0.10 if dark else 0.07),
        'status text': text,
        'status edge': mix(face, accent, 0.40),
        'caption': accent,
        'caption text': (20, 20, 20) if luminance(accent) > 0.55 else (250, 250, 250),
        'frame': mix(accent, BLACK, 0.25),
        'caption inactive': mix(face, accent, 0.35),
        'disabled text': mix(face, text, 0.45),
    }


def skin_bytes(name, colours, border, radius):
    fields = [
        (1, name.encode('ascii')),
        (2, b''.join(bytes(colours[key]) + b'\0' for key in ORDER)),
        (3, bytes((border, radius))),
    ]
    body = b''.join(struct.pack('<HH', tag, len(payload)) + payload for tag, payload in fields)
    total = 16 + len(body)
    return b'.SHE' + struct.pack('<HHIHH', 1, 0, total, 16, len(fields)) + body


def main(source, output):
    os.makedirs(output, exist_ok=True)
    numbers = []
    for line in open(source, encoding='utf-8'):
        line = line.strip()
        if not line or line.startswith('#'):
            continue
        m = re.match(r'(\d+)\s+(.+?)\s+(#[0-9A-Fa-f]{6})\s+(#[0-9A-Fa-f]{6})\s+(#[0-9A-Fa-f]{6})\s+(\d)\s+(\d+)$', line)
        if not m:
            sys.exit('%s: cannot read: %s' % (source, line))
        number = int(m.group(1))
        colours = palette(rgb(m.group(3)), rgb(m.group(4)), rgb(m.group(5)))
        data = skin_bytes(m.group(2), colours, int(m.group(6)), int(m.group(7)))
        with open(os.path.join(output, 'skin%02d.she' % number), 'wb') as f:
            f.write(data)
        numbers.append(number)
    if sorted(numbers) != list(range(1, 34)):
        sys.exit('%s: the skins must be numbered 1 to 33' % source)


if __name__ == '__main__':
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    main(sys.argv[1], sys.argv[2])
