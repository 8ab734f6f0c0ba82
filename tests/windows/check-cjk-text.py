#!/usr/bin/env python3
"""Exit 0 when the band of a screenshot (PPM) holds Chinese glyphs, 1 when it holds boxes.

Usage: check-cjk-text.py image.ppm left top width height
A font without the characters draws each of them as the same empty box, so the glyphs of a
title of different characters would all look alike. The glyphs are the runs of inked columns.
"""
import sys
from collections import Counter


def read_ppm(path):
    data = open(path, "rb").read()
    fields, pos = [], 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b"#":
            pos = data.index(b"\n", pos)
            continue
        end = pos
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[pos:end])
        pos = end
    assert fields[0] == b"P6", "binary PPM expected"
    width, height, maxval = int(fields[1]), int(fields[2]), int(fields[3])
    raw = data[pos + 1:]
    size = 1 if maxval < 256 else 2  # 16-bit samples are big-endian
    samples = [int.from_bytes(raw[i:i + size], "big") * 255 // maxval
               for i in range(0, width * height * 3 * size, size)]
    return width, height, bytes(samples)


def main():
    path, left, top, width, height = sys.argv[1], *map(int, sys.argv[2:6])
    w, _, pixels = read_ppm(path)
    rows = [[pixels[3 * (y * w + x):3 * (y * w + x) + 3] for x in range(left, left + width)]
            for y in range(top, top + height)]
    background = Counter(p for row in rows for p in row).most_common(1)[0][0]
    ink = [[sum(abs(a - b) for a, b in zip(p, background)) > 96 for p in row] for row in rows]
    columns = [any(row[x] for row in ink) for x in range(width)]
    glyphs, start = [], None
    for x, inked in enumerate(columns + [False]):
        if inked and start is None:
            start = x
        elif not inked and start is not None:
            glyphs.append(tuple(tuple(row[start:x]) for row in ink))
            start = None
    distinct = len(set(glyphs))
    print(f"{len(glyphs)} glyphs, {distinct} different")
    return 0 if len(glyphs) >= 4 and distinct >= 0.7 * len(glyphs) else 1


sys.exit(main())
