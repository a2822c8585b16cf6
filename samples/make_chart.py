#!/usr/bin/env python3
"""Writes the bundled test chart as a PNG: grey and colour ramps, a hue circle, skin-tone and
sky gradients, fine lines and text, and a synthetic landscape. Landscape format, so that
printing it on a portrait sheet turns it. Usage: make_chart.py OUT.png [WIDTH HEIGHT]"""
import colorsys
import math
import random
import struct
import sys
import zlib

# 5 x 7 glyphs, one string of 7 rows of 5 bits each.
FONT = {
    'A': '01110100011000111111100011000110001', 'B': '11110100011000111110100011000111110',
    'C': '01110100011000010000100001000101110', 'E': '11111100001000011110100001000011111',
    'H': '10001100011000111111100011000110001', 'I': '01110001000010000100001000010001110',
    'K': '10001100101010011000101001001010001', 'L': '10000100001000010000100001000011111',
    'M': '10001110111010110101100011000110001', 'N': '10001110011010110011100011000110001',
    'O': '01110100011000110001100011000101110', 'P': '11110100011000111110100001000010000',
    'R': '11110100011000111110101001001010001', 'S': '01111100001000001110000010000111110',
    'T': '11111001000010000100001000010000100', 'Y': '10001100010101000100001000010000100',
    '0': '01110100011001110101110011000101110', '1': '00100011000010000100001000010001110',
    '2': '01110100010000100010001000100011111', '3': '11110000010000101110000010000111110',
    '4': '00010001100101010010111110001000010', '5': '11111100001111000001000011000101110',
    '6': '00110010001000011110100011000101110', '7': '11111000010001000100010000100001000',
    '8': '01110100011000101110100011000101110', '9': '01110100011000101111000010001001100',
    'X': '10001100010101000100010101000110001', ' ': '0' * 35, '-': '00000000000000011111000000000000000', '%': '11001110010001000100010001001110011',
}


def noise2(x, y, seed):
    """Smooth value noise in 0..1."""
    def h(i, j):
        n = (i * 374761393 + j * 668265263 + seed * 144665) & 0xffffffff
        n = ((n ^ (n >> 13)) * 1274126177) & 0xffffffff
        return (n & 0xffff) / 65535.0
    xi, yi = math.floor(x), math.floor(y)
    fx, fy = x - xi, y - yi
    fx, fy = fx * fx * (3 - 2 * fx), fy * fy * (3 - 2 * fy)
    a = h(xi, yi) + fx * (h(xi + 1, yi) - h(xi, yi))
    b = h(xi, yi + 1) + fx * (h(xi + 1, yi + 1) - h(xi, yi + 1))
    return a + fy * (b - a)


def fractal(x, y, seed, octaves=4):
    v, amp, total = 0.0, 1.0, 0.0
    for o in range(octaves):
        v += amp * noise2(x * (2 ** o), y * (2 ** o), seed + o)
        total += amp
        amp *= 0.5
    return v / total


def lerp(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


class Canvas:
    def __init__(self, w, h):
        self.w, self.h = w, h
        self.px = bytearray(b'\xff' * (w * h * 3))

    def put(self, x, y, rgb):
        if 0 <= x < self.w and 0 <= y < self.h:
            i = (y * self.w + x) * 3
            self.px[i:i + 3] = bytes(max(0, min(255, int(round(c)))) for c in rgb)

    def fill(self, x0, y0, w, h, fn):
        for y in range(y0, y0 + h):
            for x in range(x0, x0 + w):
                self.put(x, y, fn((x - x0) / max(1, w - 1), (y - y0) / max(1, h - 1)))

    def text(self, x0, y0, s, size, rgb=(0, 0, 0)):
        for k, ch in enumerate(s.upper()):
            g = FONT.get(ch, FONT[' '])
            for r in range(7):
                for c in range(5):
                    if g[r * 5 + c] == '1':
                        for dy in range(size):
                            for dx in range(size):
                                self.put(x0 + (k * 6 + c) * size + dx, y0 + r * size + dy, rgb)

    def png(self, path):
        raw = b''.join(b'\x00' + bytes(self.px[y * self.w * 3:(y + 1) * self.w * 3]) for y in range(self.h))

        def chunk(kind, data):
            return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data) & 0xffffffff)
        with open(path, 'wb') as f:
            f.write(b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', self.w, self.h, 8, 2, 0, 0, 0)) +
                    chunk(b'pHYs', struct.pack('>IIB', 11811, 11811, 1)) +  # 300 dpi
                    chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b''))


def scene(c, x0, y0, w, h):
    """A lake under mountains at dusk: gradients, soft noise, hard edges, a reflection."""
    horizon = int(h * 0.62)
    ridge = [horizon - int(h * (0.15 + 0.30 * fractal(x / w * 3, 0.5, 7))) for x in range(w)]
    near = [horizon - int(h * (0.05 + 0.15 * fractal(x / w * 6, 2.5, 11))) for x in range(w)]
    for y in range(h):
        for x in range(w):
            if y < horizon:
                t = y / horizon
                sky = lerp((40, 90, 170), (250, 190, 140), t ** 1.5)
                d = math.hypot(x - w * 0.7, y - horizon * 0.75)
                sky = lerp(sky, (255, 250, 220), max(0.0, 1 - d / (h * 0.08)) if d > h * 0.04 else 1.0)
                cloud = fractal(x / w * 5, y / h * 12, 3)
                sky = lerp(sky, (255, 235, 225), max(0.0, cloud - 0.55) * 1.8)
                if y >= ridge[x]:
                    sky = lerp((70, 80, 110), (110, 100, 120), fractal(x / w * 20, y / h * 20, 5))
                if y >= near[x]:
                    sky = lerp((20, 60, 30), (60, 100, 40), fractal(x / w * 40, y / h * 40, 9))
                c.put(x0 + x, y0 + y, sky)
            else:
                my = 2 * horizon - y - int(3 * math.sin(y * 0.7 + x * 0.05))
                i = ((y0 + max(0, my)) * c.w + x0 + x) * 3
                r, g, b = c.px[i], c.px[i + 1], c.px[i + 2]
                c.put(x0 + x, y0 + y, lerp((r * 0.7, g * 0.75, b * 0.85), (20, 40, 60), (y - horizon) / (h - horizon) * 0.6))


def main():
    out = sys.argv[1]
    w, h = (int(sys.argv[2]), int(sys.argv[3])) if len(sys.argv) > 3 else (1500, 1000)
    random.seed(1)
    c = Canvas(w, h)
    u = w / 1500.0
    S = lambda v: int(v * u)
    # Grey ramp and 21 grey steps.
    c.fill(S(20), S(20), S(1460), S(60), lambda t, s: (255 * (1 - t),) * 3)
    for k in range(21):
        v = 255 - k * 255 / 20
        c.fill(S(20) + k * S(1460) // 21, S(85), S(1460) // 21, S(40), lambda t, s, v=v: (v, v, v))
    # Colour ramps from white to the full colour and on to black.
    for k, col in enumerate([(0, 255, 255), (255, 0, 255), (255, 255, 0), (255, 0, 0), (0, 160, 0), (0, 0, 255),
                             (255, 128, 0)]):
        c.fill(S(20), S(140) + k * S(34), S(1460), S(30),
               lambda t, s, col=col: lerp((255, 255, 255), col, t * 2) if t < 0.5 else lerp(col, (0, 0, 0), t * 2 - 1))
    # Hue circle.
    cx, cy, rad = S(180), S(610), S(150)
    for y in range(cy - rad, cy + rad):
        for x in range(cx - rad, cx + rad):
            d = math.hypot(x - cx, y - cy)
            if d <= rad:
                hue = (math.atan2(y - cy, x - cx) / (2 * math.pi)) % 1.0
                c.put(x, y, tuple(255 * v for v in colorsys.hsv_to_rgb(hue, d / rad, 1.0)))
    # Skin tones and sky gradients.
    c.fill(S(360), S(470), S(260), S(130), lambda t, s: lerp(lerp((255, 224, 196), (141, 85, 36), t), (90, 50, 30), s * 0.4))
    c.fill(S(360), S(610), S(260), S(130), lambda t, s: lerp((30, 80, 180), (200, 225, 250), s))
    # Fine lines: 1, 2 and 3 pixels apart, and converging lines.
    for k in range(60):
        x = S(20) + k * (1 + k // 20)
        for y in range(S(780), S(880)):
            c.put(x, y, (0, 0, 0))
    for k in range(24):
        a = k * math.pi / 48
        for r in range(S(100)):
            c.put(int(S(400) + r * math.cos(a)), int(S(880) - r * math.sin(a)), (0, 0, 0))
    c.text(S(20), S(900), 'RPHOTO TEST CHART', max(1, S(6)))
    c.text(S(20), S(960), '0123456789 - 5% 25% 50% 75%', max(1, S(2)))
    c.text(S(360), S(960), 'SMALL TEXT 1234', 1)
    scene(c, S(650), S(400), S(830), S(580))
    c.png(out)


if __name__ == '__main__':
    main()
