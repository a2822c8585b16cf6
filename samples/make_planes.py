#!/usr/bin/env python3
"""Makes the bundled sample: a small photo-like picture (sky gradient, sun, hills, a red
square, an orange disc, a grey ramp) separated into the inks of both printers and
error-diffused into 2-bit levels (0 none, 1 small, 2 medium, 3 large dot).

Writes one gzip-compressed PGM (maxval 3) per ink into this folder:
K C M Y (both models), R O GO (R2000), LC LM LK LLK (R3000).
Run from anywhere: python3 samples/make_planes.py
"""
import gzip
import math
import os

WIDTH, HEIGHT = 960, 640  # pixels: 16.9 x 22.6 mm at 1440 x 720 dpi
ASPECT = 2.0 * HEIGHT / WIDTH  # the picture's height over its width on paper (rows are twice as tall)
HERE = os.path.dirname(os.path.abspath(__file__))


def picture(x, y):
    """RGB in 0..1 of the picture at pixel (x, y)."""
    u, v = x / WIDTH, y / HEIGHT
    # Sky: deep blue at the top to pale near the horizon.
    r, g, b = 0.25 + 0.6 * v, 0.45 + 0.45 * v, 0.95
    # Sun.
    if (u - 0.75) ** 2 + ((v - 0.22) * ASPECT) ** 2 < 0.02:
        r, g, b = 1.0, 0.92, 0.35
    # Two hills.
    if v > 0.55 + 0.08 * math.sin(u * 7.0) or v > 0.68 + 0.05 * math.cos(u * 11.0 + 1.0):
        shade = 0.6 + 0.4 * (1.0 - v)
        r, g, b = 0.2 * shade, 0.55 * shade, 0.18 * shade
    # A red square and an orange disc.
    if 0.08 < u < 0.28 and 0.30 < v < 0.50:
        r, g, b = 0.85, 0.1, 0.12
    if (u - 0.45) ** 2 + ((v - 0.78) * ASPECT) ** 2 < 0.012:
        r, g, b = 1.0, 0.55, 0.05
    # A grey ramp along the bottom.
    if v > 0.9:
        r = g = b = u
    # White margins at the left and bottom right, so rows and passes have empty ends.
    if u < 0.03 or (u > 0.92 and v > 0.8):
        r = g = b = 1.0
    return r, g, b


def separate(r, g, b):
    """Ink densities 0..1 for every ink name."""
    c, m, yel = 1.0 - r, 1.0 - g, 1.0 - b
    k = min(c, m, yel)
    c, m, yel = c - k, m - k, yel - k
    red = min(m, yel) * (1.0 if r > 0.7 else 0.0)
    orange = min(m, yel) * (1.0 if 0.3 < g < 0.7 and r > 0.9 else 0.0)
    ink = {
        "K": k, "C": c, "M": m, "Y": yel,
        "R": red, "O": orange, "GO": 0.12 if max(c, m, yel, k) > 0.02 else 0.0,
        "LC": min(c, 0.3) / 0.3 * 0.5, "LM": min(m, 0.3) / 0.3 * 0.5,
        "LK": min(k, 0.4) / 0.4 * 0.5, "LLK": min(k, 0.15) / 0.15 * 0.4,
    }
    return ink


def diffuse(density):
    """Floyd-Steinberg error diffusion of densities 0..1 into levels 0..3."""
    out = bytearray(WIDTH * HEIGHT)
    err_row = [0.0] * (WIDTH + 2)
    for y in range(HEIGHT):
        next_row = [0.0] * (WIDTH + 2)
        base = y * WIDTH
        for x in range(WIDTH):
            want = density[base + x] * 3.0 + err_row[x + 1]
            level = min(3, max(0, int(want + 0.5)))
            out[base + x] = level
            e = want - level
            err_row[x + 2] += e * 7 / 16
            next_row[x] += e * 3 / 16
            next_row[x + 1] += e * 5 / 16
            next_row[x + 2] += e * 1 / 16
        err_row = next_row
    return bytes(out)


def main():
    names = ["K", "C", "M", "Y", "R", "O", "GO", "LC", "LM", "LK", "LLK"]
    planes = {n: [0.0] * (WIDTH * HEIGHT) for n in names}
    for y in range(HEIGHT):
        for x in range(WIDTH):
            ink = separate(*picture(x, y))
            for n in names:
                planes[n][y * WIDTH + x] = ink[n]
    for n in names:
        data = b"P5\n# rphoto sample plane " + n.encode() + b"\n%d %d\n3\n" % (WIDTH, HEIGHT) + diffuse(planes[n])
        path = os.path.join(HERE, "plane-%s.pgm.gz" % n)
        with gzip.GzipFile(path, "wb", compresslevel=9, mtime=0) as f:
            f.write(data)
        print("wrote", path)


if __name__ == "__main__":
    main()
