#!/usr/bin/env python3
"""Draws the built-in icons on the 448 grid and writes icons/VelkoIconArt.cpp.

Each icon is a list of open polylines in grid units (x right, y down, 0..448). Curves are
sampled here and rounded to whole grid units; the C++ side divides by 448 to reach icon
space. Run from the repository root:

    python3 scripts/icons/make_icon_art.py            # rewrites icons/VelkoIconArt.cpp
    python3 scripts/icons/make_icon_art.py --svg DIR  # also writes one SVG per icon to look at
"""

import math
import os
import sys

GRID = 448


# ---- curve helpers (angles in degrees, measured y-down: 90 is straight down) ----------

def arc(cx, cy, rx, ry, a0, a1, n):
    """n points on an ellipse from angle a0 to a1 (either direction)."""
    pts = []
    for i in range(n):
        a = math.radians(a0 + (a1 - a0) * i / (n - 1))
        pts.append((cx + rx * math.cos(a), cy + ry * math.sin(a)))
    return pts


def spiral(cx, cy, rx, ry, turns, n):
    """A spiral from the ellipse (rx, ry) in to a fifth of it: reads as a dark blot."""
    pts = []
    for i in range(n):
        t = i / (n - 1)
        a = math.radians(-90 + 360 * turns * t)
        k = 1 - 0.8 * t
        pts.append((cx + rx * k * math.cos(a), cy + ry * k * math.sin(a)))
    return pts


def circle(cx, cy, r, n, start=0.0):
    """Closed circle as an open polyline: n distinct points plus the first again."""
    return arc(cx, cy, r, r, start, start + 360, n + 1)


def ellipse(cx, cy, rx, ry, n, start=0.0):
    return arc(cx, cy, rx, ry, start, start + 360, n + 1)


def line(p0, p1, n=2):
    return [(p0[0] + (p1[0] - p0[0]) * i / (n - 1), p0[1] + (p1[1] - p0[1]) * i / (n - 1))
            for i in range(n)]


def bezier(p0, p1, p2, p3, n):
    pts = []
    for i in range(n):
        t = i / (n - 1)
        u = 1 - t
        pts.append((u * u * u * p0[0] + 3 * u * u * t * p1[0] + 3 * u * t * t * p2[0] + t * t * t * p3[0],
                    u * u * u * p0[1] + 3 * u * u * t * p1[1] + 3 * u * t * t * p2[1] + t * t * t * p3[1]))
    return pts


def quad(p0, p1, p2, n):
    pts = []
    for i in range(n):
        t = i / (n - 1)
        u = 1 - t
        pts.append((u * u * p0[0] + 2 * u * t * p1[0] + t * t * p2[0],
                    u * u * p0[1] + 2 * u * t * p1[1] + t * t * p2[1]))
    return pts


def join(*parts):
    """Concatenates polylines, dropping a point equal to the one before it."""
    out = []
    for part in parts:
        for p in part:
            if out and abs(out[-1][0] - p[0]) < 1e-6 and abs(out[-1][1] - p[1]) < 1e-6:
                continue
            out.append(p)
    return out


def close(pts):
    return pts + [pts[0]]


def translate(pts, dx, dy):
    return [(x + dx, y + dy) for x, y in pts]


def scale_about(pts, cx, cy, s):
    return [(cx + (x - cx) * s, cy + (y - cy) * s) for x, y in pts]


def rotate_about(pts, cx, cy, deg):
    a = math.radians(deg)
    c, s = math.cos(a), math.sin(a)
    return [(cx + (x - cx) * c - (y - cy) * s, cy + (x - cx) * s + (y - cy) * c) for x, y in pts]


def mirror_x(pts):
    return [(GRID - x, y) for x, y in pts]


def circle_meet(c0, r0, c1, r1, upper=True):
    """Angle on circle 0 (degrees) of the upper (or lower) crossing with circle 1."""
    dx, dy = c1[0] - c0[0], c1[1] - c0[1]
    d = math.hypot(dx, dy)
    a = (r0 * r0 - r1 * r1 + d * d) / (2 * d)
    h = math.sqrt(max(r0 * r0 - a * a, 0))
    mx, my = c0[0] + a * dx / d, c0[1] + a * dy / d
    p1 = (mx + h * dy / d, my - h * dx / d)
    p2 = (mx - h * dy / d, my + h * dx / d)
    p = min(p1, p2, key=lambda q: q[1]) if upper else max(p1, p2, key=lambda q: q[1])
    return p


def angle_of(c, p):
    return math.degrees(math.atan2(p[1] - c[1], p[0] - c[0]))


def bumpy_outline(circles, per_bump, bottom=None):
    """Outline over a row of overlapping circles (left to right), joined at their upper
    crossings; bottom, if given, is the y of a flat base closing the shape."""
    pts = []
    for k, (c, r) in enumerate(circles):
        if k == 0:
            a0 = 90 if bottom is None else angle_of(c, (c[0] - math.sqrt(max(r * r - (bottom - c[1]) ** 2, 0)), bottom))
            a0 = a0 if a0 > 0 else a0 + 360
        else:
            pc, pr = circles[k - 1]
            a0 = angle_of(c, circle_meet(c, r, pc, pr))
            if a0 > 0:
                a0 -= 360
            a0 += 360
        if k == len(circles) - 1:
            a1 = 360 + 90 if bottom is None else 360 + angle_of(c, (c[0] + math.sqrt(max(r * r - (bottom - c[1]) ** 2, 0)), bottom))
        else:
            nc, nr = circles[k + 1]
            a1 = angle_of(c, circle_meet(c, r, nc, nr))
            a1 = a1 + 360 if a1 < 0 else a1
            if a1 < a0:
                a1 += 360
        pts = join(pts, arc(c[0], c[1], r, r, a0, a1, per_bump))
    if bottom is not None:
        pts = join(pts, [pts[0]])
    return pts


# ---- the icons ----------------------------------------------------------------------

def exclamation_mark():
    # A tapering bar with a rounded top, and a round dot below it
    bar = join(arc(224, 88, 48, 48, 180, 360, 12),
               quad((272, 88), (262, 200), (240, 300), 8),
               arc(224, 300, 16, 12, 0, 180, 6),
               quad((208, 300), (186, 200), (176, 88), 8))
    dot = circle(224, 372, 30, 18, -90)
    return [bar, dot]


def question_mark():
    hook = join(arc(224, 150, 100, 92, 190, 360, 20),
                arc(224, 150, 100, 92, 0, 50, 8),
                bezier((288, 220), (250, 248), (224, 262), (224, 300), 10))
    # Outline the hook by walking it out and back on a slightly offset path
    inner = [(224 + (x - 224) * 0.82, 150 + (y - 150) * 0.8) for x, y in hook[:28]]
    body = join(hook, [(210, 304)], list(reversed(
        join(inner, bezier(inner[-1], (240, 240), (210, 252), (210, 304), 8)))))
    body = join(body, [hook[0]])
    dot = circle(220, 372, 26, 20, -90)
    return [body, dot]


def ellipses():
    return [join(circle(x, 300, 26, 16, -90), arc(x, 300, 14, 14, -90, 270, 5))
            for x in (96, 224, 352)]


def droplet():
    c, r = (224, 284), 116
    tip = (224, 36)
    right = arc(c[0], c[1], r, r, -30, 210, 34)
    return [join(quad(tip, (300, 140), right[0], 7), right, quad(right[-1], (148, 140), tip, 7))]


def flies():
    strokes = []
    # Three flies, each a dark body with two wings and a dashed flight path behind it
    for cx, cy, tilt, back in ((330, 100, 10, -1), (126, 220, -10, 1), (320, 330, 5, -1)):
        body = spiral(cx, cy, 30, 20, 2, 16)
        wing_l = arc(cx - 18, cy - 32, 17, 28, 70, 430, 10)
        wing_r = arc(cx + 18, cy - 32, 17, 28, 110, 470, 10)
        strokes += [rotate_about(q, cx, cy, tilt) for q in (body, wing_l, wing_r)]
        # A dashed wavy flight path leading away from the fly
        path = []
        for i in range(20):
            t = i / 19
            path.append((cx + back * (50 + 130 * t), cy + 6 + 30 * math.sin(2 * math.pi * t)))
        strokes += [path[0:6], path[10:16]]
    return strokes


def heart_curve(t):
    x = 16 * math.sin(t) ** 3
    y = 13 * math.cos(t) - 5 * math.cos(2 * t) - 2 * math.cos(3 * t) - math.cos(4 * t)
    return (224 + 11.5 * x, 200 - 11.5 * y)


def heart():
    return [close([heart_curve(2 * math.pi * i / 55) for i in range(55)])]


def broken_heart():
    notch = heart_curve(0)
    tip = heart_curve(math.pi)
    # Jagged crack from the notch down to the tip, x offsets from the middle
    zig = [0, -30, 22, -26, 18, -14, 0]
    crack = [(notch[0] + zig[i], notch[1] + (tip[1] - notch[1]) * i / (len(zig) - 1))
             for i in range(len(zig))]
    right = [heart_curve(math.pi * i / 52) for i in range(53)]
    left = [(2 * 224 - x, y) for x, y in right]
    left_half = join(left, list(reversed(crack)))
    right_half = join(right, list(reversed(crack)))
    left_half = rotate_about(translate(left_half, -14, 0), tip[0] - 14, tip[1], -6)
    right_half = rotate_about(translate(right_half, 14, 0), tip[0] + 14, tip[1], 6)
    return [left_half, right_half]


def skull():
    cx, cy, r = 224, 180, 148
    cranium = arc(cx, cy, r, r, 150, 390, 44)
    outline = join(cranium,
                   quad(cranium[-1], (362, 290), (312, 316), 6),
                   [(304, 404)],
                   quad((304, 404), (224, 420), (144, 404), 5),
                   [(136, 316)],
                   quad((136, 316), (86, 290), cranium[0], 6))
    # Dark eye sockets
    eye_l = join(ellipse(160, 212, 44, 40, 20, -90), spiral(160, 212, 44, 40, 2, 22))
    eye_r = join(ellipse(288, 212, 44, 40, 20, -90), spiral(288, 212, 44, 40, 2, 22))
    nose = [(224, 262), (244, 306), (224, 298), (204, 306), (224, 262)]
    mouth = line((144, 360), (304, 360), 2)
    teeth = [line((x, 326), (x, 398), 2) for x in (168, 192, 216, 240, 264, 288)]
    jaw_top = join(quad((136, 326), (224, 340), (312, 326), 9))
    return [outline, eye_l, eye_r, nose, jaw_top, mouth] + teeth[:5]


def cloud_circles():
    return [((104, 214), 52), ((182, 158), 74), ((282, 150), 80), ((356, 214), 52)]


def dark_cloud():
    outline = bumpy_outline(cloud_circles(), 12, bottom=262)
    strokes = [outline]
    # Scribbled shading inside makes the cloud dark
    for y, x0, x1 in ((150, 150, 320), (192, 80, 380), (232, 70, 390)):
        n = int((x1 - x0) / 22) + 1
        strokes.append([(x0 + (x1 - x0) * i / (n - 1), y + (14 if i % 2 else -14)) for i in range(n)])
    # Rain
    for x in (110, 170, 230, 290, 350):
        strokes.append(line((x, 296), (x - 26, 366), 3))
    return strokes


def balloon_outline():
    # A wide ellipse whose tail leaves its lower left and points down and left
    body = arc(236, 176, 196, 150, 122, 470, 56)
    return join(body, [(128, 378), (84, 430), (178, 316)], [body[0]])


def speech_balloon():
    strokes = [balloon_outline()]
    # Handwriting-like squiggles for the words
    rows = [(104, [(120, 220), (238, 356)]), (156, [(76, 190), (206, 312), (328, 392)]),
            (208, [(80, 236), (252, 390)]), (260, [(128, 250), (266, 336)])]
    for y, words in rows:
        for x0, x1 in words:
            n = int((x1 - x0) / 11) + 1
            strokes.append([(x0 + (x1 - x0) * i / (n - 1), y + 9 * math.sin(i * 1.9))
                            for i in range(n)])
    return strokes


def speechless_balloon():
    # The balloon with nothing to say but three dots
    strokes = [balloon_outline()]
    for x in (146, 236, 326):
        strokes.append(join(circle(x, 180, 20, 12, -90), spiral(x, 180, 20, 20, 2, 12)))
    return strokes


def thought_balloon():
    ring = []
    n = 9
    for k in range(n):
        a0 = k * 360 / n - 90
        # Each scallop is a small arc bulging outwards between two points of an ellipse
        mid = math.radians(a0 + 180 / n)
        cx, cy = 246 + 150 * math.cos(mid), 160 + 104 * math.sin(mid)
        ang = math.degrees(mid)
        ring = join(ring, arc(cx, cy, 48, 40, ang - 110, ang + 110, 8))
    ring = join(ring, [ring[0]])
    return [ring, circle(112, 338, 30, 16), circle(64, 406, 18, 12)]


def sigh():
    # A weary face, eyes closed and brows sagging, breathing out a long puff of air
    cx, cy = 170, 236
    strokes = [circle(cx, cy, 136, 34, -90)]
    for ex in (cx - 52, cx + 40):
        strokes.append(arc(ex, 198, 26, 18, 20, 160, 6))          # closed eye
        strokes.append(line((ex - 26, 150), (ex + 24, 140 + (ex - cx) * 0.3), 2))  # brow
    strokes.append(ellipse(cx + 60, 316, 16, 12, 10))  # pursed mouth
    # The breath: a puff of air blown out past the cheek, with two streaks behind it
    strokes.append(bumpy_outline([((322, 334), 26), ((364, 312), 34), ((406, 336), 26)], 8,
                                 bottom=356))
    strokes.append(line((254, 306), (290, 300), 2))
    strokes.append(line((256, 328), (290, 334), 2))
    return strokes


def gasp():
    # A face gasping: raised brows, wide eyes, a round open mouth and shock lines above
    strokes = [circle(224, 250, 150, 36, -90)]
    for side in (-1, 1):
        ex = 224 + side * 58
        strokes.append(quad((ex - 30, 168), (ex, 138), (ex + 30, 168), 5))  # brow
        strokes.append(circle(ex, 210, 24, 12, -90))  # eye
        strokes.append(spiral(ex, 214, 9, 9, 1.5, 6))  # pupil
    strokes.append(ellipse(224, 320, 36, 46, 18, -90))
    strokes.append(spiral(224, 324, 22, 30, 1.5, 10))
    for a in (-125, -90, -55):
        t = math.radians(a)
        strokes.append(line((224 + 166 * math.cos(t), 250 + 166 * math.sin(t)),
                            (224 + 226 * math.cos(t), 250 + 226 * math.sin(t)), 2))
    return strokes


def note_head(cx, cy):
    # A tilted oval filled by a spiral
    pts = []
    for i in range(40):
        t = i / 39
        a = math.radians(-90 + 360 * 3 * t)
        rx, ry = 40 * (1 - 0.8 * t), 27 * (1 - 0.8 * t)
        pts.append((rx * math.cos(a), ry * math.sin(a)))
    return rotate_about([(cx + x, cy + y) for x, y in pts], cx, cy, -22)


def notes():
    strokes = []
    # An eighth note on the left
    strokes.append(note_head(114, 360))
    strokes.append(line((148, 352), (148, 120), 2))
    strokes.append(join(bezier((148, 120), (168, 180), (228, 180), (212, 272), 12)))
    # Two beamed notes on the right
    strokes.append(note_head(262, 318))
    strokes.append(note_head(370, 286))
    strokes.append(line((296, 310), (296, 96), 2))
    strokes.append(line((404, 278), (404, 64), 2))
    strokes.append([(296, 96), (404, 64), (404, 100), (296, 132), (296, 96)])
    strokes.append([(296, 114), (404, 82)])
    return strokes


TURN_LEFT = [
    [(296, 89), (302, 90), (323, 98), (340, 114), (337, 128), (312, 140), (263, 147), (193, 157),
     (184, 157)],
    [(328, 277), (340, 294), (341, 318), (316, 335), (279, 340), (255, 340)],
    [(317, 209), (288, 228), (262, 234), (248, 232)],
]


def turn_left():
    return [list(s) for s in TURN_LEFT]


def turn_right():
    top, low, mid = (mirror_x(s) for s in TURN_LEFT)
    # Same marks mirrored; the top mark drops its doubled end point, the low one gains two
    top = top[:7] + top[8:]
    low = join(low[:2], [((low[1][0] + low[2][0]) / 2, (low[1][1] + low[2][1]) / 2)], low[2:4],
               [((low[3][0] + low[4][0]) / 2, (low[3][1] + low[4][1]) / 2)], low[4:])
    return [top, mid, low]


def zed(x, y, w, h, t):
    """Outline of a Z with stroke thickness t, top left at (x, y)."""
    return [(x, y), (x + w, y), (x + w, y + t), (x + 1.6 * t, y + h - t), (x + w, y + h - t),
            (x + w, y + h), (x, y + h), (x, y + h - t), (x + w - 1.6 * t, y + t), (x, y + t),
            (x, y)]


def zzz():
    return [zed(40, 300, 96, 108, 22), zed(168, 180, 120, 134, 26), zed(306, 36, 112, 126, 24)]


def bubbles():
    spots = [(110, 370, 52), (246, 320, 40), (360, 250, 56), (164, 226, 34), (280, 150, 44),
             (136, 108, 26), (372, 78, 30), (218, 52, 20)]
    strokes = []
    for cx, cy, r in spots:
        strokes.append(circle(cx, cy, r, 10 if r < 30 else 12, -90))
    for cx, cy, r in spots[:5]:
        strokes.append(arc(cx, cy, r * 0.62, r * 0.62, 195, 255, 4))
    return strokes


def gear(cx, cy, r_root, r_tip, teeth, phase):
    pts = []
    step = 360 / teeth
    for k in range(teeth):
        a = phase + k * step
        pts += arc(cx, cy, r_root, r_root, a, a + step * 0.4, 3)
        pts += [(cx + r_tip * math.cos(math.radians(a + step * 0.5)), cy + r_tip * math.sin(math.radians(a + step * 0.5))),
                (cx + r_tip * math.cos(math.radians(a + step * 0.9)), cy + r_tip * math.sin(math.radians(a + step * 0.9)))]
    return close(pts)


def gears():
    strokes = []
    big = (170, 262, 118, 146, 12)
    small = (338, 120, 64, 90, 8)
    strokes.append(gear(big[0], big[1], big[2], big[3], big[4], 0))
    strokes.append(circle(big[0], big[1], 58, 20))
    strokes.append(circle(big[0], big[1], 22, 10))
    strokes.append(gear(small[0], small[1], small[2], small[3], small[4], 10))
    strokes.append(circle(small[0], small[1], 30, 14))
    strokes.append(circle(small[0], small[1], 10, 8))
    # Spokes of the big wheel between hub and rim
    for k in range(4):
        a = math.radians(45 + 90 * k)
        strokes.append(line((big[0] + 22 * math.cos(a), big[1] + 22 * math.sin(a)),
                            (big[0] + 58 * math.cos(a), big[1] + 58 * math.sin(a)), 2))
    return strokes


def lightbulb():
    strokes = []
    c, r = (224, 176), 110
    # Glass: round top narrowing into the neck
    glass = join([(178, 318)], quad((178, 318), (172, 266), (136, 232), 5),
                 arc(c[0], c[1], r, r, 142, 398, 30),
                 quad((312, 232), (276, 266), (270, 318), 5))
    strokes.append(glass)
    # Screw base: threaded bands under the neck, then the contact
    strokes.append([(178, 318), (270, 318)])
    for k, y in enumerate((318, 340, 362)):
        strokes.append(quad((174, y + 4), (224, y + 30), (274, y + 4), 5))
    strokes.append([(174, 322), (174, 374)])
    strokes.append([(274, 322), (274, 374)])
    strokes.append(join(quad((174, 374), (224, 402), (274, 374), 5)))
    strokes.append(join(quad((202, 392), (224, 424), (246, 392), 5)))
    # Filament
    strokes.append([(200, 318), (200, 210), (212, 190), (224, 210), (236, 190), (248, 210),
                    (248, 318)])
    # Rays
    for a in (-90, -135, -45, 180, 0, -160, -20):
        t = math.radians(a)
        strokes.append(line((c[0] + 134 * math.cos(t), c[1] + 134 * math.sin(t)),
                            (c[0] + 164 * math.cos(t), c[1] + 164 * math.sin(t)), 2))
    return strokes


def none():
    return []


ICONS = [
    ("exclamation_mark", exclamation_mark), ("question_mark", question_mark),
    ("ellipses", ellipses), ("droplet", droplet), ("flies", flies),
    ("broken_heart", broken_heart), ("heart", heart), ("skull", skull),
    ("dark_cloud", dark_cloud), ("speech_balloon", speech_balloon),
    ("speechless_balloon", speechless_balloon), ("thought_balloon", thought_balloon),
    ("sigh", sigh), ("gasp", gasp), ("notes", notes), ("turn_left", turn_left),
    ("turn_right", turn_right), ("zzz", zzz), ("bubbles", bubbles), ("gears", gears),
    ("lightbulb", lightbulb), ("none", none),
]


# ---- output ---------------------------------------------------------------------------

def to_grid(strokes):
    out = []
    for s in strokes:
        g = []
        for x, y in s:
            p = (int(round(x)), int(round(y)))
            if g and g[-1] == p:
                continue
            g.append(p)
        if g:
            out.append(g)
    return out


def check(name, strokes):
    for s in strokes:
        for x, y in s:
            if not (0 <= x <= GRID and 0 <= y <= GRID):
                raise SystemExit("%s: point (%d, %d) leaves the grid" % (name, x, y))


def write_cpp(path, icons):
    lines = [
        "// The built-in icons as point streams. Generated by scripts/icons/make_icon_art.py;",
        "// edit the drawing there and rerun it rather than editing the numbers here.",
        "//",
        "// Points are drawn on a 448 x 448 grid (x right, y down) and divided by 448 into icon",
        "// space. (-1, -1) starts a stroke, (-2, -2) ends the icon.",
        '#include "VelkoIcons.h"',
        "",
        "namespace {",
        "",
        "// A grid coordinate in icon space",
        "constexpr float G(int v) { return (float)v / 448.0f; }",
        "",
        "}  // namespace",
        "",
        "// clang-format off",
        "",
    ]
    for name, strokes in icons:
        npts = sum(len(s) for s in strokes)
        lines.append("// %d strokes, %d points" % (len(strokes), npts))
        lines.append("const float %s[] = {" % name)
        for s in strokes:
            lines.append("    -1, -1,")
            row = "   "
            for x, y in s:
                item = " G(%d), G(%d)," % (x, y)
                if len(row) + len(item) > 96:
                    lines.append(row)
                    row = "   "
                row += item
            lines.append(row)
        lines.append("    -2, -2,")
        lines.append("};")
        lines.append("")
    lines.append("// clang-format on")
    with open(path, "w") as f:
        f.write("\n".join(lines) + "\n")


def write_svg(path, strokes):
    with open(path, "w") as f:
        f.write('<svg xmlns="http://www.w3.org/2000/svg" width="448" height="448">'
                '<rect width="448" height="448" fill="white"/>')
        for s in strokes:
            f.write('<polyline fill="none" stroke="black" stroke-width="8" points="%s"/>'
                    % " ".join("%d,%d" % p for p in s))
        f.write("</svg>")


def main():
    root = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
    icons = []
    for name, fn in ICONS:
        strokes = to_grid(fn())
        check(name, strokes)
        icons.append((name, strokes))
        print("%-20s %3d strokes %4d points" % (name, len(strokes), sum(len(s) for s in strokes)))
    write_cpp(os.path.join(root, "icons", "VelkoIconArt.cpp"), icons)
    if len(sys.argv) > 2 and sys.argv[1] == "--svg":
        os.makedirs(sys.argv[2], exist_ok=True)
        for name, strokes in icons:
            write_svg(os.path.join(sys.argv[2], name + ".svg"), strokes)


if __name__ == "__main__":
    main()
