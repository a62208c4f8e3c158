#!/usr/bin/env python3
"""Draws the pictures of the main window's actions into one strip, actions.png (16 x 16 each).

The order of the pictures is the order of TActionImage in mainwindow/ActionCatalogue.h; keep both
in step. Plain Python: shapes are sampled 4 x 4 times per pixel, so edges come out smooth.
Run it from anywhere; it writes actions.png beside itself.
"""

import math
import os
import struct
import zlib

SIZE = 16
SAMPLES = 4

DARK = (55, 60, 70)
GRAY = (140, 145, 155)
LIGHT = (215, 218, 225)
PAPER = (252, 252, 248)
BLUE = (40, 100, 200)
SKY = (165, 200, 240)
GREEN = (40, 150, 60)
LEAF = (150, 210, 120)
RED = (205, 45, 40)
YELLOW = (245, 205, 60)
ORANGE = (235, 135, 30)
BROWN = (145, 95, 50)
PINK = (240, 150, 170)
WHITE = (255, 255, 255)


class Canvas:
    def __init__(self):
        self.px = [[(0.0, 0.0, 0.0, 0.0) for _ in range(SIZE)] for _ in range(SIZE)]

    def paint(self, inside, color, alpha=1.0):
        """Composites color over every pixel by the share of its samples for which inside holds."""
        step = 1.0 / SAMPLES
        for y in range(SIZE):
            for x in range(SIZE):
                hits = 0
                for sy in range(SAMPLES):
                    for sx in range(SAMPLES):
                        if inside(x + (sx + 0.5) * step, y + (sy + 0.5) * step):
                            hits += 1
                if hits:
                    self.blend(x, y, color, alpha * hits / (SAMPLES * SAMPLES))

    def blend(self, x, y, color, a):
        r, g, b, da = self.px[y][x]
        out = a + da * (1 - a)
        mix = [(c * a + d * da * (1 - a)) / out for c, d in zip(color, (r, g, b))]
        self.px[y][x] = (mix[0], mix[1], mix[2], out)

    # ---- shapes ----
    def rect(self, x0, y0, x1, y1, color, outline=None, width=1.0):
        if outline:
            self.paint(lambda x, y: x0 <= x <= x1 and y0 <= y <= y1, outline)
            x0, y0, x1, y1 = x0 + width, y0 + width, x1 - width, y1 - width
        self.paint(lambda x, y: x0 <= x <= x1 and y0 <= y <= y1, color)

    def poly(self, points, color):
        self.paint(lambda x, y: inside_polygon(points, x, y), color)

    def circle(self, cx, cy, r, color):
        self.paint(lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r, color)

    def ellipse(self, cx, cy, rx, ry, color):
        self.paint(lambda x, y: ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1, color)

    def ring(self, cx, cy, r, w, color, a0=0, a1=360):
        def inside(x, y):
            d = math.hypot(x - cx, y - cy)
            if abs(d - r) > w / 2:
                return False
            ang = math.degrees(math.atan2(cy - y, x - cx)) % 360
            return angle_between(ang, a0, a1)
        self.paint(inside, color)

    def line(self, x0, y0, x1, y1, w, color):
        self.paint(lambda x, y: segment_distance(x, y, x0, y0, x1, y1) <= w / 2, color)

    def stadium_ring(self, x0, y0, x1, y1, r, w, color):
        self.paint(lambda x, y: abs(segment_distance(x, y, x0, y0, x1, y1) - r) <= w / 2, color)

    def lines(self, points, w, color):
        for (x0, y0), (x1, y1) in zip(points, points[1:]):
            self.line(x0, y0, x1, y1, w, color)


def inside_polygon(points, x, y):
    inside = False
    j = len(points) - 1
    for i, (xi, yi) in enumerate(points):
        xj, yj = points[j]
        if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
            inside = not inside
        j = i
    return inside


def segment_distance(px, py, x0, y0, x1, y1):
    dx, dy = x1 - x0, y1 - y0
    length = dx * dx + dy * dy
    t = 0 if length == 0 else max(0, min(1, ((px - x0) * dx + (py - y0) * dy) / length))
    return math.hypot(px - (x0 + t * dx), py - (y0 + t * dy))


def angle_between(ang, a0, a1):
    return a0 <= ang <= a1 if a0 <= a1 else ang >= a0 or ang <= a1


def arc_point(cx, cy, r, deg):
    return cx + r * math.cos(math.radians(deg)), cy - r * math.sin(math.radians(deg))


def star(cx, cy, outer, inner, points=5, turn=90):
    result = []
    for i in range(points * 2):
        r = outer if i % 2 == 0 else inner
        result.append(arc_point(cx, cy, r, turn + i * 180 / points))
    return result


# ---- parts used by several pictures ----

def sheet(c, x0=3, y0=1.5, x1=13, y1=14.5):
    c.rect(x0, y0, x1, y1, PAPER, GRAY)


def text_lines(c, x0, x1, ys, color=GRAY):
    for y in ys:
        c.line(x0, y, x1, y, 1.1, color)


def folder(c, body, edge):
    c.poly([(1.5, 4), (6, 4), (7.5, 5.5), (14.5, 5.5), (14.5, 13.5), (1.5, 13.5)], edge)
    c.poly([(2.5, 5), (5.6, 5), (7.1, 6.5), (13.5, 6.5), (13.5, 12.5), (2.5, 12.5)], body)


def arrow_right(c, y, x0, x1, color, w=1.8, head=3):
    c.line(x0, y, x1 - head + 0.5, y, w, color)
    c.poly([(x1, y), (x1 - head, y - head), (x1 - head, y + head)], color)


def arrow_left(c, y, x0, x1, color, w=1.8, head=3):
    c.line(x0 + head - 0.5, y, x1, y, w, color)
    c.poly([(x0, y), (x0 + head, y - head), (x0 + head, y + head)], color)


def circular_arrow(c, color, a0, a1, head_at, clockwise):
    c.ring(8, 8, 4.8, 2.0, color, a0, a1)
    hx, hy = arc_point(8, 8, 4.8, head_at)
    tangent = head_at - 90 if clockwise else head_at + 90
    tip = arc_point(hx, hy, 3.2, tangent)
    side1 = arc_point(hx, hy, 2.6, head_at)
    side2 = arc_point(hx, hy, 2.6, head_at + 180)
    c.poly([tip, side1, side2], color)


def cross(c, cx, cy, r, w, color):
    c.line(cx - r, cy - r, cx + r, cy + r, w, color)
    c.line(cx - r, cy + r, cx + r, cy - r, w, color)


def plus(c, cx, cy, r, w, color):
    c.line(cx - r, cy, cx + r, cy, w, color)
    c.line(cx, cy - r, cx, cy + r, w, color)


def tab_shape(c):
    c.poly([(1.5, 14), (3, 4), (13, 4), (14.5, 14)], GRAY)
    c.poly([(2.7, 13.2), (3.9, 5), (12.1, 5), (13.3, 13.2)], LIGHT)


def frame(c):
    c.rect(1.5, 2.5, 14.5, 13.5, PAPER, DARK)


# ---- the pictures, in TActionImage order ----

def board_list(c):
    c.rect(1.5, 1.5, 6, 5, YELLOW, BROWN)
    c.line(3.7, 5, 3.7, 12.6, 1.2, DARK)
    c.line(3.7, 8.5, 7, 8.5, 1.2, DARK)
    c.line(3.7, 12.5, 7, 12.5, 1.2, DARK)
    c.rect(7, 6.8, 14.5, 10.2, SKY, BLUE)
    c.rect(7, 10.8, 14.5, 14.2, SKY, BLUE)


def thread_list(c):
    sheet(c, 2, 2, 14, 14)
    for y in (5, 8, 11):
        c.circle(4.6, y, 0.9, BLUE)
        c.line(6.5, y, 12, y, 1.2, DARK)


def browser(c):
    frame(c)
    c.rect(1.5, 2.5, 14.5, 5.5, BLUE)
    text_lines(c, 3.5, 12.5, (8, 10.5))


def pane_change(c):
    arrow_right(c, 5, 2, 14, BLUE)
    arrow_left(c, 11, 2, 14, GREEN)


def reload_(c):
    circular_arrow(c, GREEN, 60, 340, 60, False)


def stop(c):
    c.circle(8, 8, 7, RED)
    cross(c, 8, 8, 3, 2.0, WHITE)


def new_thread(c):
    c.poly([(2.5, 1.5), (9.5, 1.5), (12.5, 4.5), (12.5, 14.5), (2.5, 14.5)], GRAY)
    c.poly([(3.5, 2.5), (9, 2.5), (11.5, 5), (11.5, 13.5), (3.5, 13.5)], PAPER)
    c.circle(11.5, 11.5, 4, GREEN)
    plus(c, 11.5, 11.5, 2.2, 1.5, WHITE)


def category(c):
    folder(c, YELLOW, BROWN)


def write(c):
    c.line(4.5, 11.5, 12, 4, 3.4, ORANGE)
    c.line(11.3, 4.7, 12.8, 3.2, 3.4, PINK)
    c.poly([(1.8, 14.2), (2.6, 10.4), (5.6, 13.4)], (235, 210, 170))
    c.poly([(1.8, 14.2), (2.2, 12.4), (3.6, 13.8)], DARK)


def login(c):
    c.ring(5.5, 5.5, 3, 2.0, ORANGE)
    c.line(7.6, 7.6, 13.8, 13.8, 2.0, ORANGE)
    c.line(11, 11, 13, 9, 1.8, ORANGE)
    c.line(12.8, 12.8, 14.4, 11.2, 1.8, ORANGE)


def info(c):
    c.circle(8, 8, 7, BLUE)
    c.circle(8, 4.6, 1.2, WHITE)
    c.line(8, 7.3, 8, 12, 2.0, WHITE)


def update(c):
    c.poly(star(8, 8, 7.5, 4, 8, 90), ORANGE)
    c.circle(8, 8, 3, YELLOW)


def online(c):
    c.line(6.3, 1.5, 6.3, 6, 1.4, GRAY)
    c.line(9.7, 1.5, 9.7, 6, 1.4, GRAY)
    c.rect(4, 5.5, 12, 10.5, GREEN, DARK)
    c.line(8, 10.5, 8, 14.5, 2.0, DARK)


def save(c):
    c.rect(2, 2, 14, 14, BLUE, DARK)
    c.rect(4.5, 2.5, 11.5, 7.5, PAPER)
    c.rect(5.5, 10, 10.5, 14, LIGHT)
    c.rect(8.5, 10.7, 9.7, 13.3, DARK)


def board(c):
    sheet(c)
    c.rect(3, 1.5, 13, 5, GREEN)
    text_lines(c, 5, 11, (7.5, 10, 12.5))


def favorite(c):
    c.poly(star(8, 8.4, 7.6, 3.2), ORANGE)
    c.poly(star(8, 8.4, 5.8, 2.3), YELLOW)


def shortcut(c):
    c.poly([(9.5, 0.8), (3, 9), (7.5, 9), (5.5, 15.2), (13, 6.5), (8.5, 6.5), (11, 0.8)], DARK)
    c.poly([(9.6, 2.2), (4.6, 8.2), (8.8, 8.2), (7.4, 12.6), (11.4, 7.3), (7.2, 7.3), (9.8, 2.2)], YELLOW)


def delete(c):
    c.rect(2.5, 3, 13.5, 4.6, DARK)
    c.rect(6, 1.5, 10, 3.2, DARK)
    c.poly([(3.5, 5), (12.5, 5), (11.5, 14.5), (4.5, 14.5)], GRAY)
    for x in (6.3, 8, 9.7):
        c.line(x, 6.5, x, 13, 1.0, LIGHT)


def copy(c):
    c.rect(1.5, 1.5, 10, 11, PAPER, GRAY)
    text_lines(c, 3.5, 8, (4.5, 7))
    c.rect(6, 5, 14.5, 14.5, PAPER, DARK)
    text_lines(c, 8, 12.5, (8, 10.5, 12.5), BLUE)


def property_(c):
    c.rect(1.5, 2.5, 14.5, 13.5, PAPER, DARK)
    for y in (5.5, 8, 10.5):
        c.line(3.5, y, 6, y, 1.4, BLUE)
        c.line(7.5, y, 12.5, y, 1.1, GRAY)


def option(c):
    for i in range(8):
        a = i * 45
        c.line(*arc_point(8, 8, 4, a), *arc_point(8, 8, 7, a), 2.4, GRAY)
    c.circle(8, 8, 5.3, GRAY)
    c.circle(8, 8, 2.2, WHITE)


def find(c):
    c.line(9.8, 9.8, 14.2, 14.2, 2.6, BROWN)
    c.circle(6.5, 6.5, 4.4, DARK)
    c.circle(6.5, 6.5, 3.2, SKY)


def close_tab(c):
    tab_shape(c)
    cross(c, 8, 9, 2.7, 1.8, RED)


def next_(c):
    c.poly([(14.5, 8), (8, 2), (8, 5.5), (1.5, 5.5), (1.5, 10.5), (8, 10.5), (8, 14)], BLUE)


def prior(c):
    c.poly([(1.5, 8), (8, 2), (8, 5.5), (14.5, 5.5), (14.5, 10.5), (8, 10.5), (8, 14)], BLUE)


def check_update(c):
    c.lines([(2.5, 8.5), (6.5, 12.5), (13.5, 3.5)], 2.6, GREEN)


def round_(c):
    circular_arrow(c, BLUE, 20, 160, 20, True)
    circular_arrow(c, BLUE, 200, 340, 200, True)


def erase(c):
    c.poly([(1.8, 10.5), (8.5, 3.8), (14.2, 9.5), (7.5, 16.2)], DARK)
    c.poly([(3.2, 10.5), (8.5, 5.2), (12.8, 9.5), (7.5, 14.8)], PINK)
    c.poly([(3.2, 10.5), (5.6, 8.1), (9.9, 12.4), (7.5, 14.8)], WHITE)


def bold(c):
    c.line(5, 2.5, 5, 13.5, 2.6, DARK)
    c.line(5, 2.5, 8, 2.5, 2.2, DARK)
    c.line(5, 7.7, 8.5, 7.7, 2.2, DARK)
    c.line(5, 13.4, 8.8, 13.4, 2.2, DARK)
    c.ring(8, 5.1, 2.6, 2.2, DARK, 270, 90)
    c.ring(8.8, 10.55, 2.85, 2.2, DARK, 270, 90)


def color(c):
    c.ellipse(8, 8.5, 7, 6, (230, 200, 150))
    c.circle(10.5, 11.5, 1.5, (0, 0, 0))
    c.circle(10.5, 11.5, 1.4, WHITE)
    for (x, y), col in zip([(4.5, 7), (7.5, 4.8), (11, 5.5), (4.8, 10.8)], [RED, GREEN, BLUE, YELLOW]):
        c.circle(x, y, 1.5, col)


def comment(c):
    c.poly([(4, 10), (3, 14.5), (8, 11)], DARK)
    c.ellipse(8, 7, 7, 5, DARK)
    c.ellipse(8, 7, 6, 4, PAPER)
    c.poly([(4.8, 10), (4.3, 12.8), (7.5, 10.5)], PAPER)


def lock(c):
    c.ring(8, 6.5, 3.3, 1.8, GRAY, 0, 180)
    c.line(4.7, 6.5, 4.7, 8, 1.8, GRAY)
    c.line(11.3, 6.5, 11.3, 8, 1.8, GRAY)
    c.rect(3, 7.5, 13, 14.5, YELLOW, BROWN)
    c.circle(8, 10.5, 1.2, BROWN)
    c.line(8, 10.5, 8, 12.8, 1.0, BROWN)


def history(c):
    c.circle(8, 8, 7, DARK)
    c.circle(8, 8, 5.8, PAPER)
    c.line(8, 8, 8, 3.8, 1.4, DARK)
    c.line(8, 8, 11, 9.8, 1.4, BLUE)


def exit_(c):
    c.rect(2.5, 1.5, 9.5, 14.5, BROWN, DARK)
    c.circle(7.6, 8.5, 0.8, YELLOW)
    arrow_right(c, 8, 8, 15.5, RED, 2.0, 3)


def about(c):
    c.circle(8, 8, 7, BLUE)
    c.ring(8, 5.8, 2.5, 1.8, WHITE, 330, 180)
    c.lines([arc_point(8, 5.8, 2.5, 330), (8, 9.5)], 1.8, WHITE)
    c.circle(8, 12, 1.1, WHITE)


def favorites_folder(c):
    folder(c, YELLOW, BROWN)
    c.poly(star(10.5, 9.8, 4.2, 1.8), RED)


def local_folder(c):
    folder(c, LEAF, GREEN)
    c.line(8, 6.5, 8, 10, 1.8, DARK)
    c.poly([(8, 12.5), (5.2, 9.3), (10.8, 9.3)], DARK)


def read_point(c):
    c.line(3.5, 1.5, 3.5, 15, 1.4, DARK)
    c.poly([(4, 2), (13.5, 5.5), (4, 9)], RED)


def priority(c):
    c.poly([(6.5, 1.5), (9.5, 1.5), (9, 10.5), (7, 10.5)], RED)
    c.circle(8, 13.2, 1.6, RED)


def ext_thread_list(c):
    frame(c)
    c.rect(2.5, 3.5, 13.5, 7, SKY)
    c.line(8, 8, 8, 13, 1.0, DARK)
    c.line(1.5, 7.5, 14.5, 7.5, 1.0, DARK)


def vertical(c):
    frame(c)
    c.rect(2.5, 3.5, 7.5, 12.5, SKY)
    c.line(8, 2.5, 8, 13.5, 1.0, DARK)


def gaishutu(c):
    sheet(c, 2, 1.5, 11, 12.5)
    text_lines(c, 4, 9, (4.5, 7, 9.5))
    c.ring(10.5, 10.5, 3.6, 1.6, RED)
    c.circle(10.5, 10.5, 1.2, RED)


def link(c):
    c.stadium_ring(3.2, 12.8, 7, 9, 2.3, 1.6, GRAY)
    c.stadium_ring(9, 7, 12.8, 3.2, 2.3, 1.6, DARK)


def export(c):
    c.lines([(2, 8), (2, 14), (14, 14), (14, 8)], 1.8, DARK)
    c.line(8, 12, 8, 5, 2.0, GREEN)
    c.poly([(8, 1), (4.2, 5.5), (11.8, 5.5)], GREEN)


def memo(c):
    c.poly([(2, 2), (14, 2), (14, 10), (10, 14), (2, 14)], ORANGE)
    c.poly([(3, 3), (13, 3), (13, 9.5), (9.5, 13), (3, 13)], (255, 240, 140))
    c.poly([(14, 10), (10, 10), (10, 14)], ORANGE)
    text_lines(c, 4.5, 11, (5.5, 8), BROWN)


def message_log(c):
    c.rect(1.5, 2.5, 14.5, 13.5, DARK)
    c.lines([(3.5, 5), (5.5, 6.5), (3.5, 8)], 1.2, LEAF)
    c.line(7, 6.5, 12, 6.5, 1.2, LEAF)
    c.line(3.5, 10.8, 10, 10.8, 1.2, LEAF)


def add(c):
    plus(c, 8, 8, 6, 3.2, GREEN)


def expand(c):
    c.rect(2.5, 2.5, 13.5, 13.5, PAPER, DARK)
    plus(c, 8, 8, 3, 2.0, DARK)


def collapse(c):
    c.rect(2.5, 2.5, 13.5, 13.5, PAPER, DARK)
    c.line(5, 8, 11, 8, 2.0, DARK)


def kakolog(c):
    c.rect(1.5, 2, 14.5, 5.5, BROWN, DARK)
    c.rect(2.5, 5.5, 13.5, 14.5, (205, 160, 110), DARK)
    c.rect(6, 7.5, 10, 9.3, DARK)


def thumbnails(c):
    for x, y in ((1.5, 1.5), (8.5, 1.5), (1.5, 8.5), (8.5, 8.5)):
        c.rect(x, y, x + 6, y + 6, SKY, DARK)
        c.poly([(x + 1, y + 5), (x + 3, y + 2.5), (x + 5, y + 5)], GREEN)


def chotto(c):
    def lens(r):
        return lambda x, y: math.hypot(x - 8, y - 12.5) <= r and math.hypot(x - 8, y - 3.5) <= r
    c.paint(lens(9), DARK)
    c.paint(lens(7.8), PAPER)
    c.circle(8, 8, 3, BLUE)
    c.circle(8, 8, 1.3, DARK)


def wizard(c):
    c.line(2, 14, 9.5, 6.5, 1.8, DARK)
    c.poly(star(11, 5, 4.5, 1.9), YELLOW)


def tool(c):
    c.line(2.5, 13.5, 8.5, 7.5, 2.8, GRAY)
    c.ring(10.5, 5.5, 3.3, 2.2, GRAY, 100, 350)


def keyboard(c):
    c.rect(0.5, 4, 15.5, 12.5, LIGHT, DARK)
    for y in (6, 8.3):
        for x in range(2, 14, 3):
            c.rect(x, y, x + 2, y + 1.4, DARK)
    c.rect(4, 10.5, 12, 11.5, DARK)


def paste(c):
    c.rect(2, 2.5, 14, 15, BROWN, DARK)
    c.rect(4, 4.5, 12, 13.5, PAPER)
    c.rect(5.5, 1, 10.5, 4, GRAY, DARK)
    text_lines(c, 5.5, 10.5, (7, 9.5, 11.8))


def restore(c):
    circular_arrow(c, BLUE, 300, 150, 150, False)


def new_tab(c):
    tab_shape(c)
    plus(c, 8, 9, 3, 1.8, GREEN)


def hide(c):
    c.rect(1.5, 1.5, 12.5, 9.5, PAPER, DARK)
    c.rect(1.5, 1.5, 12.5, 4, BLUE)
    c.line(9, 9, 13, 13, 1.8, RED)
    c.poly([(14.8, 14.8), (14.8, 10), (10, 14.8)], RED)


def globe(c):
    c.circle(8, 8, 7, BLUE)
    c.circle(8, 8, 6, SKY)
    c.ring(8, 8, 6, 1.0, BLUE)
    c.paint(lambda x, y: abs(((x - 8) / 3) ** 2 + ((y - 8) / 6) ** 2 - 1) < 0.22, BLUE)
    c.line(2, 8, 14, 8, 1.0, BLUE)
    c.line(8, 2, 8, 14, 1.0, BLUE)


def bookmark(c):
    c.poly([(4, 1), (12, 1), (12, 15), (8, 11), (4, 15)], RED)
    c.poly([(5.2, 2.2), (10.8, 2.2), (10.8, 3.4), (5.2, 3.4)], PINK)


def filter_(c):
    c.poly([(1.5, 2), (14.5, 2), (9.5, 8.5), (9.5, 14), (6.5, 12.5), (6.5, 8.5)], DARK)
    c.poly([(3.5, 3), (12.5, 3), (8.5, 8.1), (8.5, 12.3), (7.5, 11.8), (7.5, 8.1)], SKY)


PICTURES = [
    board_list, thread_list, browser, pane_change, reload_, stop, new_thread, category, write, login,
    info, update, online, save, board, favorite, shortcut, delete, copy, property_, option, find,
    close_tab, next_, prior, check_update, round_, erase, bold, color, comment, lock, history, exit_,
    about, favorites_folder, local_folder, read_point, priority, ext_thread_list, vertical, gaishutu,
    link, export, memo, message_log, add, expand, collapse, kakolog, thumbnails, chotto, wizard, tool,
    keyboard, paste, restore, new_tab, hide, globe, bookmark, filter_,
]


def write_png(path, width, height, raw_rows):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)
    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
                + chunk(b"IDAT", zlib.compress(raw_rows, 9)) + chunk(b"IEND", b""))


def main():
    canvases = []
    for draw in PICTURES:
        c = Canvas()
        draw(c)
        canvases.append(c)
    raw = b""
    for y in range(SIZE):
        raw += b"\0"
        for c in canvases:
            raw += b"".join(struct.pack("BBBB", *(round(v) for v in p[:3]), round(p[3] * 255))
                            for p in c.px[y])
    out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "resources", "resource", "icons", "actions.png")
    write_png(out, SIZE * len(canvases), SIZE, raw)
    print("%s: %d pictures" % (out, len(canvases)))


if __name__ == "__main__":
    main()
