#!/usr/bin/env python3
"""Draws the About window's picture (510 x 511) and writes it as a binary PPM.

The committed src/app/about.jpg was made with
    python3 scripts/make-about-picture.py /tmp/about.ppm
    cjpeg -quality 88 -optimize -outfile src/app/about.jpg /tmp/about.ppm
(cjpeg from Debian's libjpeg-turbo-progs). Only the standard library is used
and nothing is random, so the same picture comes out every time.

The window draws its version label in light grey at (12, 304) of the picture,
so the band around y = 300..325 stays dark.
"""

import math
import sys

W, H = 510, 511

# 5 x 7 block glyphs of the title.
GLYPHS = {
    "T": ["#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."],
    "r": [".....", ".....", "#.##.", "##..#", "#....", "#....", "#...."],
    "a": [".....", ".....", ".###.", "....#", ".####", "#...#", ".####"],
    "m": [".....", ".....", "##.#.", "#.#.#", "#.#.#", "#.#.#", "#.#.#"],
    "o": [".....", ".....", ".###.", "#...#", "#...#", "#...#", ".###."],
    "2": [".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"],
}


class Canvas:
    def __init__(self, width, height):
        self.width = width
        self.height = height
        self.pixels = [0.0] * (width * height * 3)

    def blend(self, x, y, color, alpha):
        if alpha <= 0 or not (0 <= x < self.width and 0 <= y < self.height):
            return
        alpha = min(alpha, 1.0)
        i = (y * self.width + x) * 3
        for c in range(3):
            self.pixels[i + c] += (color[c] - self.pixels[i + c]) * alpha

    def fill_rect(self, x0, y0, x1, y1, color_at, alpha=1.0):
        """Exact-area anti-aliased rectangle; color_at(y) gives the row colour."""
        for y in range(max(0, int(y0)), min(self.height, int(math.ceil(y1)))):
            cover_y = min(y + 1, y1) - max(y, y0)
            if cover_y <= 0:
                continue
            color = color_at(y + 0.5)
            for x in range(max(0, int(x0)), min(self.width, int(math.ceil(x1)))):
                cover_x = min(x + 1, x1) - max(x, x0)
                if cover_x > 0:
                    self.blend(x, y, color, alpha * cover_x * cover_y)

    def ring(self, cx, cy, radius, width, color):
        r_out = radius + width / 2 + 1
        for y in range(int(cy - r_out), int(cy + r_out) + 1):
            for x in range(int(cx - r_out), int(cx + r_out) + 1):
                d = math.hypot(x + 0.5 - cx, y + 0.5 - cy)
                self.blend(x, y, color, 0.5 + width / 2 - abs(d - radius))

    def segment(self, ax, ay, bx, by, width, color):
        """A line with round ends, anti-aliased by distance."""
        pad = width / 2 + 1
        dx, dy = bx - ax, by - ay
        length2 = dx * dx + dy * dy
        for y in range(int(min(ay, by) - pad), int(max(ay, by) + pad) + 1):
            for x in range(int(min(ax, bx) - pad), int(max(ax, bx) + pad) + 1):
                px, py = x + 0.5 - ax, y + 0.5 - ay
                t = max(0.0, min(1.0, (px * dx + py * dy) / length2))
                d = math.hypot(px - t * dx, py - t * dy)
                self.blend(x, y, color, 0.5 + width / 2 - d)

    def write_ppm(self, out):
        out.write(b"P6\n%d %d\n255\n" % (self.width, self.height))
        out.write(bytes(max(0, min(255, int(round(v)))) for v in self.pixels))


def mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


def background(canvas):
    top, bottom = (14, 20, 52), (2, 3, 10)
    glow = (28, 44, 96)
    for y in range(H):
        row = mix(top, bottom, y / (H - 1))
        for x in range(W):
            d = math.hypot(x - 255, (y - 190) * 1.2) / 270
            g = max(0.0, 1 - d) ** 2
            i = (y * W + x) * 3
            for c in range(3):
                canvas.pixels[i + c] = row[c] + glow[c] * g
    grid = (255, 255, 255)
    for k in range(15, W, 30):
        canvas.fill_rect(k, 0, k + 1, H, lambda y: grid, 0.025)
    for k in range(15, H, 30):
        canvas.fill_rect(0, k, W, k + 1, lambda y: grid, 0.025)


def clock(canvas, cx, cy, radius):
    blue = (90, 170, 255)
    canvas.ring(cx, cy, radius + 10, 2, (40, 70, 130))
    canvas.ring(cx, cy, radius, 5, blue)
    for hour in range(12):
        angle = hour * math.pi / 6
        inner = radius - (14 if hour % 3 == 0 else 9)
        canvas.segment(cx + math.sin(angle) * inner, cy - math.cos(angle) * inner,
                       cx + math.sin(angle) * (radius - 5), cy - math.cos(angle) * (radius - 5),
                       3 if hour % 3 == 0 else 2, blue)
    hands = (230, 236, 250)
    hour_angle, minute_angle = (10 + 10 / 60) * math.pi / 6, 10 * math.pi / 30
    canvas.segment(cx, cy, cx + math.sin(hour_angle) * radius * 0.5,
                   cy - math.cos(hour_angle) * radius * 0.5, 6, hands)
    canvas.segment(cx, cy, cx + math.sin(minute_angle) * radius * 0.78,
                   cy - math.cos(minute_angle) * radius * 0.78, 4, hands)
    canvas.ring(cx, cy, 2, 6, (255, 170, 60))


def title(canvas, text, top, cell):
    glyph_width = 5 * cell
    total = len(text) * glyph_width + (len(text) - 1) * cell
    left = (W - total) / 2
    warm, gold = (255, 140, 40), (255, 220, 100)
    shadow = (0, 0, 0)
    for pass_index in range(2):
        for n, ch in enumerate(text):
            for row, bits in enumerate(GLYPHS[ch]):
                for col, bit in enumerate(bits):
                    if bit != "#":
                        continue
                    x = left + n * (glyph_width + cell) + col * cell
                    y = top + row * cell
                    if pass_index == 0:
                        canvas.fill_rect(x + 4, y + 4, x + cell + 3, y + cell + 3,
                                         lambda yy: shadow, 0.6)
                    else:
                        color = mix(warm, gold, (x - left) / total)
                        canvas.fill_rect(x, y, x + cell - 1, y + cell - 1,
                                         lambda yy, c=color: mix(c, (255, 250, 230),
                                                                 max(0, 1 - (yy - y) / 4) * 0.5))
    canvas.fill_rect(left, top + 7 * cell + 14, left + total, top + 7 * cell + 16,
                     lambda y: (90, 170, 255), 0.8)


def activity_bars(canvas, left, right, base, tallest):
    """One bar per hour of a working day: quiet at night, busy mornings and afternoons."""
    step = (right - left) / 24
    low, high = (40, 200, 180), (90, 140, 255)
    for hour in range(24):
        level = (0.08 + 0.9 * math.exp(-((hour - 10) / 2.2) ** 2)
                 + 0.75 * math.exp(-((hour - 15) / 2.0) ** 2)
                 + 0.35 * math.exp(-((hour - 20.5) / 1.5) ** 2))
        level = min(level, 1.0)
        height = max(3.0, tallest * level)
        x0 = left + hour * step + 2
        canvas.fill_rect(x0, base - height, x0 + step - 4, base,
                         lambda y: mix(low, high, (base - y) / tallest))
    canvas.fill_rect(left, base + 3, right, base + 5, lambda y: (90, 110, 150))
    for hour in range(0, 25, 6):
        x = left + hour * step
        canvas.fill_rect(x - 1, base + 5, x + 1, base + 12, lambda y: (90, 110, 150))


def main():
    canvas = Canvas(W, H)
    background(canvas)
    clock(canvas, 255, 98, 58)
    title(canvas, "Tramo2", 176, 12)
    activity_bars(canvas, 40, 470, 466, 110)
    path = sys.argv[1] if len(sys.argv) > 1 else None
    if path is None:
        canvas.write_ppm(sys.stdout.buffer)
    else:
        with open(path, "wb") as out:
            canvas.write_ppm(out)


if __name__ == "__main__":
    main()
