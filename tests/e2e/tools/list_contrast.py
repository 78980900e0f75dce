#!/usr/bin/env python3
"""list_contrast.py PPM UNSELECTED SELECTED LEFT RIGHT: how well the item list's text reads in a
screenshot of the window (binary PPM). UNSELECTED and SELECTED are the rows' background colours
as #rrggbb; LEFT and RIGHT bound the left column in pixels. A pixel line belongs to a row when
most of the column is that row's background; the text's contrast is that of its most contrasting
pixel (a stroke's core, free of anti-aliasing). Prints NAME=VALUE lines: the contrast of the
unselected rows' text and of the selected row's, and the selected text's colour."""

import sys


def read_ppm(path):
    with open(path, "rb") as f:
        data = f.read()
    fields = []
    pos = 0
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
    assert fields[0] == b"P6" and fields[3] == b"255", "a binary PPM with 8-bit channels"
    width, height = int(fields[1]), int(fields[2])
    pixels = data[pos + 1:]
    return width, height, pixels


def luminance(rgb):
    def channel(v):
        v /= 255
        return v / 12.92 if v <= 0.03928 else ((v + 0.055) / 1.055) ** 2.4
    r, g, b = rgb
    return 0.2126 * channel(r) + 0.7152 * channel(g) + 0.0722 * channel(b)


def contrast(a, b):
    la, lb = sorted((luminance(a), luminance(b)), reverse=True)
    return (la + 0.05) / (lb + 0.05)


def colour(text):
    text = text.lstrip("#")
    return tuple(int(text[i:i + 2], 16) for i in (0, 2, 4))


def main():
    path, unselected, selected, left, right = sys.argv[1:6]
    width, height, pixels = read_ppm(path)
    backgrounds = {"unselected": colour(unselected), "selected": colour(selected)}
    left, right = int(left), min(int(right), width)
    best = {name: (1.0, None) for name in backgrounds}
    lines = {name: 0 for name in backgrounds}
    for y in range(height):
        row = [tuple(pixels[3 * (y * width + x):3 * (y * width + x) + 3]) for x in range(left, right)]
        for name, background in backgrounds.items():
            if sum(1 for p in row if p == background) < len(row) // 2:
                continue
            lines[name] += 1
            for p in row:
                ratio = contrast(p, background)
                if ratio > best[name][0]:
                    best[name] = (ratio, p)
    for name in backgrounds:
        ratio, pen = best[name]
        print(f"{name}_lines={lines[name]}")
        print(f"{name}_contrast={ratio:.2f}")
        print(f"{name}_pen={'#%02x%02x%02x' % pen if pen else 'none'}")


if __name__ == "__main__":
    main()
