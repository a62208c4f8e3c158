#!/usr/bin/env python3
"""Draws the pictures of the main window and its small windows, beside this script:

  splash.bmp   the start-up window (the version and progress texts are written over its foot)
  about.bmp    the banner of the version window
  dialogl.bmp  the left end of the dialogs' title band
  dialogr.bmp  the right end of the dialogs' title band
  tavu.ico     the program's icon (16 and 32 pixels)
  busy.ico     the icon while a request runs
  anime.gif    the busy animation of the address band (16 x 16, looping)
  marks.png    the thirteen marks of the thread-list rows (16 x 16 each, one strip)

Plain Python: shapes are sampled 3 x 3 times per pixel inside their bounding boxes, so edges come
out smooth. Run it from anywhere.
"""

import math
import os
import struct
import zlib

SAMPLES = 3

NAVY = (22, 40, 74)
TEAL = (28, 110, 128)
WHITE = (255, 255, 255)
PAPER = (250, 250, 246)
LINE = (180, 188, 200)
ORANGE = (238, 132, 36)
AMBER = (250, 190, 70)
BLUE = (52, 110, 200)
GRAY = (120, 126, 138)
RED = (210, 50, 45)
GREEN = (40, 150, 60)
YELLOW = (245, 200, 50)
BROWN = (150, 105, 60)


class Canvas:
    def __init__(self, width, height, background=None):
        self.w, self.h = width, height
        bg = (background + (1.0,)) if background else (0.0, 0.0, 0.0, 0.0)
        self.px = [[bg for _ in range(width)] for _ in range(height)]

    def blend(self, x, y, color, a):
        r, g, b, da = self.px[y][x]
        out = a + da * (1 - a)
        if out <= 0:
            return
        mix = [(c * a + d * da * (1 - a)) / out for c, d in zip(color, (r, g, b))]
        self.px[y][x] = (mix[0], mix[1], mix[2], out)

    def paint(self, inside, color, box, alpha=1.0):
        x0, y0, x1, y1 = box
        step = 1.0 / SAMPLES
        for y in range(max(0, int(y0)), min(self.h, int(math.ceil(y1)) + 1)):
            for x in range(max(0, int(x0)), min(self.w, int(math.ceil(x1)) + 1)):
                hits = sum(1 for sy in range(SAMPLES) for sx in range(SAMPLES)
                           if inside(x + (sx + 0.5) * step, y + (sy + 0.5) * step))
                if hits:
                    self.blend(x, y, color, alpha * hits / (SAMPLES * SAMPLES))

    def gradient(self, top, bottom):
        for y in range(self.h):
            t = y / max(1, self.h - 1)
            c = tuple(a + (b - a) * t for a, b in zip(top, bottom))
            for x in range(self.w):
                self.px[y][x] = c + (1.0,)

    def round_rect(self, x0, y0, x1, y1, r, color, alpha=1.0):
        def inside(x, y):
            cx = min(max(x, x0 + r), x1 - r)
            cy = min(max(y, y0 + r), y1 - r)
            return x0 <= x <= x1 and y0 <= y <= y1 and (x - cx) ** 2 + (y - cy) ** 2 <= r * r
        self.paint(inside, color, (x0, y0, x1, y1), alpha)

    def circle(self, cx, cy, r, color, alpha=1.0):
        self.paint(lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r, color, (cx - r, cy - r, cx + r, cy + r), alpha)

    def polygon(self, points, color, alpha=1.0):
        xs = [p[0] for p in points]
        ys = [p[1] for p in points]

        def inside(x, y):
            hit = False
            j = len(points) - 1
            for i in range(len(points)):
                xi, yi = points[i]
                xj, yj = points[j]
                if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                    hit = not hit
                j = i
            return hit
        self.paint(inside, color, (min(xs), min(ys), max(xs), max(ys)), alpha)

    def rgba(self):
        return [[tuple(int(round(v)) for v in p[:3]) + (int(round(p[3] * 255)),) for p in row] for row in self.px]


# ---- the program's mark: a speech bubble with a "V" ----

def bubble(c, x, y, size, fill, mark, lines=False):
    """A speech bubble whose box is size wide at (x, y), with its tail at the lower left."""
    h = size * 0.72
    c.round_rect(x, y, x + size, y + h, size * 0.18, fill)
    c.polygon([(x + size * 0.18, y + h - 1), (x + size * 0.42, y + h - 1), (x + size * 0.12, y + size * 0.98)], fill)
    if lines:
        for i in range(3):
            ly = y + h * (0.28 + 0.2 * i)
            c.round_rect(x + size * 0.38, ly, x + size * (0.86 - 0.12 * i), ly + h * 0.08, h * 0.04, LINE)
    vx = x + size * (0.12 if lines else 0.22)
    vw = size * (0.22 if lines else 0.56)
    top, bottom = y + h * 0.2, y + h * 0.8
    t = vw * 0.26
    c.polygon([(vx, top), (vx + t, top), (vx + vw / 2, bottom - t * 1.2), (vx + vw - t, top), (vx + vw, top),
               (vx + vw / 2 + t * 0.5, bottom), (vx + vw / 2 - t * 0.5, bottom)], mark)


def splash():
    c = Canvas(400, 250)
    c.gradient(TEAL, NAVY)
    for i, (x, y, r) in enumerate([(330, 40, 46), (60, 200, 70), (370, 210, 30)]):
        c.circle(x, y, r, WHITE, 0.06 + 0.02 * i)
    bubble(c, 100, 18, 200, PAPER, ORANGE, lines=True)
    c.round_rect(0, 206, 400, 250, 0, NAVY, 0.55)
    return c


def about():
    c = Canvas(300, 80)
    c.gradient(TEAL, NAVY)
    c.circle(260, 20, 40, WHITE, 0.07)
    bubble(c, 20, 10, 72, PAPER, ORANGE, lines=True)
    for i in range(5):
        c.circle(120 + 32 * i, 40, 5 + i, AMBER, 0.35 + 0.1 * i)
    return c


def header_left():
    c = Canvas(44, 36, PAPER)
    bubble(c, 6, 4, 32, ORANGE, WHITE)
    return c


def header_right():
    c = Canvas(120, 36, PAPER)
    for i in range(8):
        c.circle(12 + 14 * i, 18, 1.5 + 0.6 * i, TEAL, 0.12 + 0.1 * i)
    return c


def icon(size, fill):
    c = Canvas(size, size)
    bubble(c, size * 0.04, size * 0.06, size * 0.92, fill, WHITE)
    return c


def spinner_frames(count=8):
    frames = []
    for f in range(count):
        c = Canvas(16, 16)
        for i in range(count):
            a = 2 * math.pi * i / count
            fade = ((i - f) % count) / count
            c.circle(8 + 5.2 * math.cos(a), 8 + 5.2 * math.sin(a), 1.6, BLUE, 0.25 + 0.75 * (1 - fade))
        frames.append(c)
    return frames


# ---- the marks of the thread-list rows ----

def page(c, dot=None):
    c.round_rect(3, 1.5, 13, 14.5, 1, GRAY)
    c.round_rect(4, 2.5, 12, 13.5, 0.5, PAPER)
    for y in (5, 8, 11):
        c.round_rect(5.5, y, 10.5, y + 1, 0.4, LINE)
    if dot:
        c.circle(12, 12, 3.2, dot)


def star(c, color, cx=8, cy=8.5, r=7):
    points = []
    for i in range(10):
        a = -math.pi / 2 + i * math.pi / 5
        rr = r if i % 2 == 0 else r * 0.45
        points.append((cx + rr * math.cos(a), cy + rr * math.sin(a)))
    c.polygon(points, color)


def mark_pictures():
    """The marks in the order of the image list they are taken from (see GlyphOrder of the main
    window): new, updated, more posts, read, favorite, past log, new posts, favorite with new
    posts, checking, (unused), read point, check failed, local log."""
    def new():
        c = Canvas(16, 16)
        star(c, ORANGE, r=7.5)
        c.circle(8, 8.5, 2.2, YELLOW)
        return c

    def updated():
        c = Canvas(16, 16)
        c.polygon([(8, 1.5), (14.5, 8), (10.5, 8), (10.5, 14.5), (5.5, 14.5), (5.5, 8), (1.5, 8)], GREEN)
        return c

    def more():
        c = Canvas(16, 16)
        c.circle(8, 8, 5.5, BLUE)
        c.round_rect(5, 7.2, 11, 8.8, 0.5, WHITE)
        c.round_rect(7.2, 5, 8.8, 11, 0.5, WHITE)
        return c

    def read():
        c = Canvas(16, 16)
        page(c)
        return c

    def favorite():
        c = Canvas(16, 16)
        star(c, YELLOW)
        return c

    def kakolog():
        c = Canvas(16, 16)
        c.round_rect(2, 6, 14, 14.5, 1, BROWN)
        c.round_rect(1.5, 3, 14.5, 6.5, 1, (185, 140, 90))
        c.round_rect(6, 8, 10, 9.5, 0.5, PAPER)
        return c

    def new_posts():
        c = Canvas(16, 16)
        page(c, RED)
        return c

    def favorite_new():
        c = Canvas(16, 16)
        star(c, YELLOW)
        c.circle(12.5, 12.5, 3, RED)
        return c

    def checking():
        c = Canvas(16, 16)
        c.circle(7, 7, 5, BLUE)
        c.circle(7, 7, 3.4, (220, 235, 255))
        c.polygon([(10, 11.5), (11.5, 10), (15, 13.5), (13.5, 15)], GRAY)
        return c

    def read_point():
        c = Canvas(16, 16)
        c.polygon([(4, 1.5), (12, 1.5), (12, 14.5), (8, 11), (4, 14.5)], GREEN)
        return c

    def error():
        c = Canvas(16, 16)
        c.circle(8, 8, 6.5, RED)
        c.polygon([(4.5, 5.5), (5.5, 4.5), (11.5, 10.5), (10.5, 11.5)], WHITE)
        c.polygon([(10.5, 4.5), (11.5, 5.5), (5.5, 11.5), (4.5, 10.5)], WHITE)
        return c

    def local():
        c = Canvas(16, 16)
        c.round_rect(1.5, 3, 7.5, 6, 1, (200, 150, 40))
        c.round_rect(1.5, 4.5, 14.5, 13.5, 1, AMBER)
        return c

    return [new(), updated(), more(), read(), favorite(), kakolog(), new_posts(), favorite_new(),
            checking(), Canvas(16, 16), read_point(), error(), local()]


# ---- file formats ----

def write_bmp(path, canvas):
    """24-bit, bottom-up, rows padded to four bytes."""
    rows = canvas.rgba()
    pad = (4 - canvas.w * 3 % 4) % 4
    data = bytearray()
    for row in reversed(rows):
        for r, g, b, a in row:
            data += bytes((b, g, r))
        data += b"\0" * pad
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, canvas.w, canvas.h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + data)


def ico_image(canvas):
    """One icon image: a 32-bit DIB (height doubled) with its AND mask."""
    rows = canvas.rgba()
    xor = bytearray()
    for row in reversed(rows):
        for r, g, b, a in row:
            xor += bytes((b, g, r, a))
    mask_row = (canvas.w + 31) // 32 * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(mask_row)
        for x, (r, g, b, a) in enumerate(row):
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    info = struct.pack("<IiiHHIIiiII", 40, canvas.w, canvas.h * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return info + xor + mask


def write_ico(path, canvases):
    images = [ico_image(c) for c in canvases]
    offset = 6 + 16 * len(images)
    out = struct.pack("<HHH", 0, 1, len(images))
    for c, data in zip(canvases, images):
        out += struct.pack("<BBBBHHII", c.w % 256, c.h % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(path, "wb") as f:
        f.write(out + b"".join(images))


def lzw_literal(indexes):
    """GIF image data of 8-bit indexes without compression: every pixel is a literal code, and a
    clear code comes before the table would need 10-bit codes."""
    clear, end = 256, 257
    codes = [clear]
    for i, value in enumerate(indexes):
        if i and i % 250 == 0:
            codes.append(clear)
        codes.append(value)
    codes.append(end)
    bits, count, out = 0, 0, bytearray()
    for code in codes:
        bits |= code << count
        count += 9
        while count >= 8:
            out.append(bits & 0xFF)
            bits >>= 8
            count -= 8
    if count:
        out.append(bits & 0xFF)
    blocks = bytearray([8])
    for i in range(0, len(out), 255):
        chunk = out[i:i + 255]
        blocks += bytes([len(chunk)]) + chunk
    return bytes(blocks + b"\0")


def write_gif(path, frames, delay_cs=8):
    """An animated GIF with transparency (index 0), looping forever."""
    palette = [(0, 0, 0)]
    index_of = {}
    pictures = []
    for frame in frames:
        indexes = []
        for row in frame.rgba():
            for r, g, b, a in row:
                if a < 64:
                    indexes.append(0)
                    continue
                key = (r // 8 * 8, g // 8 * 8, b // 8 * 8)
                if key not in index_of:
                    index_of[key] = len(palette)
                    palette.append(key)
                indexes.append(index_of[key])
        pictures.append(indexes)
    palette = (palette + [(0, 0, 0)] * 256)[:256]
    w, h = frames[0].w, frames[0].h
    out = bytearray(b"GIF89a" + struct.pack("<HHBBB", w, h, 0xF7, 0, 0))
    for color in palette:
        out += bytes(color)
    out += b"\x21\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00"
    for indexes in pictures:
        out += b"\x21\xF9\x04" + struct.pack("<BHBB", 0x09, delay_cs, 0, 0)
        out += b"\x2C" + struct.pack("<HHHHB", 0, 0, w, h, 0)
        out += lzw_literal(indexes)
    out += b"\x3B"
    with open(path, "wb") as f:
        f.write(out)


def write_png(path, canvases):
    """The pictures side by side in one RGBA strip."""
    height = canvases[0].h
    rows = [b"".join(bytes(p) for c in canvases for p in c.rgba()[y]) for y in range(height)]
    raw = b"".join(b"\0" + row for row in rows)
    width = sum(c.w for c in canvases)

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
                + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def main():
    here = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "resources", "resource")
    write_bmp(os.path.join(here, "splash.bmp"), splash())
    write_bmp(os.path.join(here, "about.bmp"), about())
    write_bmp(os.path.join(here, "dialogl.bmp"), header_left())
    write_bmp(os.path.join(here, "dialogr.bmp"), header_right())
    write_ico(os.path.join(here, "tavu.ico"), [icon(16, ORANGE), icon(32, ORANGE)])
    write_ico(os.path.join(here, "busy.ico"), [icon(16, BLUE), icon(32, BLUE)])
    write_gif(os.path.join(here, "anime.gif"), spinner_frames())
    write_png(os.path.join(here, "marks.png"), mark_pictures())


if __name__ == "__main__":
    main()
