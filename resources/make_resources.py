#!/usr/bin/python3
"""Draws Vantorel's pictures and its fanfare into this folder.

Run with the Debian interpreter, which carries Pillow:

    /usr/bin/python3 resources/make_resources.py

Everything is computed, nothing is random, so a re-run only changes files
when the drawing code changes.  Shapes are drawn at S times the final size
and reduced with LANCZOS, which gives clean anti-aliased edges without
needing a vector renderer.
"""

import math
import os
import struct
import wave

from PIL import Image, ImageDraw

HERE = os.path.dirname(os.path.abspath(__file__))
S = 4


# ----------------------------------------------------------------------------
# geometry helpers (all in final-pixel coordinates)

def ellipse_pts(cx, cy, rx, ry, a0=0.0, a1=360.0, n=None):
    if n is None:
        n = max(12, int(abs(a1 - a0) / 3))
    out = []
    for i in range(n + 1):
        a = math.radians(a0 + (a1 - a0) * i / n)
        out.append((cx + rx * math.cos(a), cy + ry * math.sin(a)))
    return out


def egg_pts(cx, cy, rx, ry, k=0.15, n=120):
    """Egg outline: k > 0 makes the top narrower than the bottom."""
    out = []
    for i in range(n):
        t = 2 * math.pi * i / n
        out.append((cx + rx * math.sin(t) * (1 - k * math.cos(t)),
                    cy - ry * math.cos(t)))
    return out


def superellipse_pts(cx, cy, a, b, p=2.6, n=120):
    out = []
    for i in range(n):
        t = 2 * math.pi * i / n
        c, s = math.cos(t), math.sin(t)
        out.append((cx + a * math.copysign(abs(c) ** (2 / p), c),
                    cy + b * math.copysign(abs(s) ** (2 / p), s)))
    return out


def smooth(pts, closed=True, n=10):
    """Catmull-Rom curve through the given points."""
    m = len(pts)
    out = []
    last = m if closed else m - 1
    for i in range(last):
        p0 = pts[(i - 1) % m] if closed else pts[max(i - 1, 0)]
        p1 = pts[i]
        p2 = pts[(i + 1) % m]
        p3 = pts[(i + 2) % m] if closed else pts[min(i + 2, m - 1)]
        for k in range(n):
            t = k / n
            t2, t3 = t * t, t * t * t
            out.append(tuple(
                0.5 * (2 * p1[j] + (-p0[j] + p2[j]) * t
                       + (2 * p0[j] - 5 * p1[j] + 4 * p2[j] - p3[j]) * t2
                       + (-p0[j] + 3 * p1[j] - 3 * p2[j] + p3[j]) * t3)
                for j in (0, 1)))
    if not closed:
        out.append(pts[-1])
    return out


def polar(cx, cy, rx, ry, deg):
    a = math.radians(deg)
    return (cx + rx * math.cos(a), cy + ry * math.sin(a))


def mix(c1, c2, t):
    return tuple(round(a + (b - a) * t) for a, b in zip(c1, c2))


# ----------------------------------------------------------------------------
# supersampled canvas

class Canvas:
    """RGB picture drawn at S x; RGBA inks blend over what is already there."""

    def __init__(self, w, h, bg=(255, 255, 255)):
        self.w, self.h = w, h
        self.im = Image.new("RGB", (w * S, h * S), bg)
        self.d = ImageDraw.Draw(self.im, "RGBA")

    @staticmethod
    def sp(pts):
        return [(x * S, y * S) for x, y in pts]

    def vgradient(self, top, bottom, y0=0, y1=None):
        y1 = self.h if y1 is None else y1
        for y in range(int(y0 * S), int(y1 * S)):
            t = (y - y0 * S) / max(1, (y1 - y0) * S - 1)
            self.d.line([(0, y), (self.w * S, y)], fill=mix(top, bottom, t))

    def poly(self, pts, fill=None, line=None, w=1.0):
        if fill is not None:
            self.d.polygon(self.sp(pts), fill=fill)
        if line is not None:
            self.path(list(pts) + [pts[0]], line, w)

    def path(self, pts, color, w=1.0, caps=True):
        q = self.sp(pts)
        ww = max(1, round(w * S))
        self.d.line(q, fill=color, width=ww, joint="curve")
        if caps and ww > 2:
            r = ww / 2
            for x, y in (q[0], q[-1]):
                self.d.ellipse([x - r, y - r, x + r, y + r], fill=color)

    def ell(self, cx, cy, rx, ry, fill=None, line=None, w=1.0):
        box = [(cx - rx) * S, (cy - ry) * S, (cx + rx) * S, (cy + ry) * S]
        self.d.ellipse(box, fill=fill, outline=line,
                       width=max(1, round(w * S)) if line else 0)

    def tube(self, p0, p1, w, fill, edge=None, ew=1.0):
        """A round-ended tube, optionally with a darker rim."""
        if edge is not None:
            self.path([p0, p1], edge, w + 2 * ew)
        self.path([p0, p1], fill, w)

    def masked(self, shapes, color, alpha=255):
        """Fill the union of polygons with one uniform translucent colour.

        Filling overlapping translucent polygons one by one would darken the
        overlaps; drawing the union into a mask first keeps the wash even."""
        mask = Image.new("L", self.im.size, 0)
        md = ImageDraw.Draw(mask)
        for pts in shapes:
            md.polygon(self.sp(pts), fill=alpha)
        self.im.paste(Image.new("RGB", self.im.size, color), (0, 0), mask)

    def clipped(self, clip_pts):
        return _Clip(self, clip_pts)

    def final(self):
        return self.im.resize((self.w, self.h), Image.LANCZOS)


class _Clip:
    """Inside the block, drawing only lands within clip_pts."""

    def __init__(self, canvas, clip_pts):
        self.c, self.pts = canvas, clip_pts

    def __enter__(self):
        self.saved = (self.c.im, self.c.d)
        self.c.im = self.saved[0].copy()
        self.c.d = ImageDraw.Draw(self.c.im, "RGBA")
        return self.c

    def __exit__(self, *exc):
        mask = Image.new("L", self.c.im.size, 0)
        ImageDraw.Draw(mask).polygon(Canvas.sp(self.pts), fill=255)
        drawn = self.c.im
        self.c.im, self.c.d = self.saved
        self.c.im.paste(drawn, (0, 0), mask)
        return False


def save_png(img, name):
    img.save(os.path.join(HERE, name), "PNG", optimize=True)


def save_jpeg(img, name):
    # 4:4:4 keeps the thin coloured lines from bleeding.
    img.save(os.path.join(HERE, name), "JPEG", quality=90, subsampling=0,
             optimize=True)


# ----------------------------------------------------------------------------
# graph backdrops: pale line art, so the grid, dots and marks stay readable

class Pale:
    line = (170, 190, 211)
    line2 = (186, 201, 219)
    body = (229, 235, 244)
    shade = (214, 223, 236)
    glass = (200, 220, 238)
    glass_hi = (238, 244, 251)
    accent = (196, 224, 214)
    accent2 = (218, 212, 238)
    disc = (190, 208, 230, 62)
    disc_edge = (180, 198, 220)
    blade = (176, 194, 214)
    shadow = (150, 165, 192, 34)


def backdrop_canvas():
    c = Canvas(560, 300)
    c.vgradient((228, 237, 248), (250, 251, 253))
    for x, y, s in ((95, 52, 1.0), (470, 34, 0.75), (215, 26, 0.55)):
        c.masked([ellipse_pts(x, y, 42 * s, 13 * s),
                  ellipse_pts(x - 26 * s, y + 4 * s, 24 * s, 9 * s),
                  ellipse_pts(x + 30 * s, y + 3 * s, 26 * s, 10 * s),
                  ellipse_pts(x + 4 * s, y - 8 * s, 24 * s, 12 * s),
                  ellipse_pts(x - 14 * s, y - 5 * s, 16 * s, 9 * s)],
                 (255, 255, 255), 150)
    return c


def blade_poly(x, y, rx, ry, deg, r0=0.08, r1=0.96, c0=0.075, c1=0.05):
    """One rotor blade lying in a disc seen as an ellipse of radii rx, ry."""
    a = math.radians(deg)
    dx, dy = math.cos(a), math.sin(a)
    px, py = -dy, dx
    local = [(r0 * dx + c0 * px, r0 * dy + c0 * py),
             (r1 * dx + c1 * px, r1 * dy + c1 * py),
             ((r1 + 0.03) * dx, (r1 + 0.03) * dy),
             (r1 * dx - c1 * px, r1 * dy - c1 * py),
             (r0 * dx - c0 * px, r0 * dy - c0 * py)]
    return [(x + rx * u, y + ry * v) for u, v in local]


def pale_rotor(c, x, y, rx, ry, deg, blades=2):
    c.ell(x, y, rx, ry, fill=Pale.disc, line=Pale.disc_edge, w=1.1)
    for k in range(blades):
        c.poly(blade_poly(x, y, rx, ry, deg + k * 360 / blades), fill=Pale.blade)
    c.ell(x, y, 4, 2.2, fill=Pale.line2)


def pale_motor(c, x, ytop, ybot, w):
    c.poly([(x - w / 2, ytop), (x + w / 2, ytop), (x + w / 2, ybot), (x - w / 2, ybot)],
           fill=Pale.shade, line=Pale.line, w=1)
    c.ell(x, ytop, w / 2, w / 5, fill=Pale.body, line=Pale.line, w=0.8)


def shadow(c, x, y, rx, ry):
    c.ell(x, y, rx, ry, fill=Pale.shadow)


def draw_ehang():
    c = backdrop_canvas()
    cx = 318
    shadow(c, cx, 266, 150, 11)
    acx, acy, arx, ary = cx, 104, 190, 52

    def rotor_pair(a, s, attach):
        tx, ty = polar(acx, acy, arx, ary, a)
        pale_rotor(c, tx, ty + 12 * s, 60 * s, 12.5 * s, 25 + a)
        c.tube(attach, (tx, ty + 2), 7 * s, Pale.body, Pale.line)
        pale_motor(c, tx, ty - 10 * s, ty + 12 * s, 9 * s)
        pale_rotor(c, tx, ty - 12 * s, 60 * s, 12.5 * s, 70 - a)

    for a, side in ((236, -1), (304, 1)):
        rotor_pair(a, 0.88, (cx + side * 24, 104))
    # rear legs
    for side in (-1, 1):
        c.tube((cx + side * 26, 222), (cx + side * 46, 252), 5, Pale.shade, Pale.line)
        c.ell(cx + side * 47, 253, 9, 3, fill=Pale.shade, line=Pale.line)
    egg = egg_pts(cx, 165, 60, 70, 0.16)
    c.poly(egg, fill=Pale.body)
    with c.clipped(egg):
        c.masked([ellipse_pts(cx + 70, 200, 70, 90)], Pale.shade, 150)
        c.poly([(cx - 70, 212), (cx + 70, 198), (cx + 70, 206), (cx - 70, 220)],
               fill=Pale.accent)
    c.poly(egg, line=Pale.line, w=1.4)
    win = egg_pts(cx, 146, 44, 38, 0.22)
    c.poly(win, fill=Pale.glass, line=Pale.line, w=1.2)
    with c.clipped(win):
        c.poly([(cx - 40, 140), (cx - 10, 108), (cx + 2, 108), (cx - 28, 150)],
               fill=Pale.glass_hi)
    c.ell(cx, 100, 30, 8, fill=Pale.shade, line=Pale.line, w=1)
    for side in (-1, 1):
        c.tube((cx + side * 36, 226), (cx + side * 64, 258), 6, Pale.body, Pale.line)
        c.ell(cx + side * 66, 259, 11, 3.5, fill=Pale.shade, line=Pale.line)
    for a, side in ((150, -1), (30, 1)):
        rotor_pair(a, 1.0, (cx + side * 46, 120))
    return c.final()


def draw_volocopter():
    c = backdrop_canvas()
    cx = 320
    shadow(c, cx, 266, 170, 10)
    rcx, rcy, rrx, rry = cx, 84, 218, 44
    hub = (cx, 70)

    def rotor_at(a):
        x, y = polar(rcx, rcy, rrx, rry, a)
        s = 0.86 + 0.14 * (math.sin(math.radians(a)) + 1) / 2
        c.path([(x, y), (x, y - 7 * s)], Pale.line, 2.2 * s)
        pale_rotor(c, x, y - 8 * s, 27 * s, 6.5 * s, a * 3 + 20)

    def ring_arc(a0, a1):
        pts = ellipse_pts(rcx, rcy, rrx, rry, a0, a1)
        c.path(pts, Pale.line, 6)
        c.path(pts, Pale.body, 3.6)

    angles = [10 + 20 * k for k in range(18)]
    for a in angles:
        if a > 180:
            rotor_at(a)
    ring_arc(180, 360)
    for a in (0, 180, 240, 300):
        c.tube(hub, polar(rcx, rcy, rrx, rry, a), 3, Pale.body, Pale.line, 0.8)
    c.poly([(cx - 7, 68), (cx + 7, 68), (cx + 13, 130), (cx - 13, 130)],
           fill=Pale.shade, line=Pale.line, w=1)
    c.ell(hub[0], hub[1], 14, 5, fill=Pale.body, line=Pale.line, w=1)
    for side in (-1, 1):
        c.tube((cx + side * 34, 212), (cx + side * 62, 250), 5, Pale.shade, Pale.line)
        c.tube((cx + side * 58, 240), (cx + side * 66, 258), 6, Pale.body, Pale.line)
    c.tube((cx - 50, 232), (cx + 50, 232), 4, Pale.shade, Pale.line)
    egg = egg_pts(cx, 172, 64, 56, 0.1)
    c.poly(egg, fill=Pale.body)
    with c.clipped(egg):
        c.masked([ellipse_pts(cx + 70, 200, 70, 80)], Pale.shade, 150)
        c.poly([(cx - 70, 206), (cx + 70, 200), (cx + 70, 208), (cx - 70, 214)],
               fill=Pale.accent2)
    c.poly(egg, line=Pale.line, w=1.4)
    win = egg_pts(cx, 162, 52, 40, 0.18)
    c.poly(win, fill=Pale.glass, line=Pale.line, w=1.2)
    with c.clipped(win):
        c.poly([(cx - 48, 160), (cx - 14, 124), (cx - 2, 124), (cx - 36, 170)],
               fill=Pale.glass_hi)
    c.path([(cx, 122), (cx, 202)], Pale.line2, 1)
    for a in (60, 120):
        c.tube(hub, polar(rcx, rcy, rrx, rry, a), 3, Pale.body, Pale.line, 0.8)
    ring_arc(0, 180)
    for a in angles:
        if a < 180:
            rotor_at(a)
    return c.final()


def draw_kivo():
    c = backdrop_canvas()
    cx = 320
    shadow(c, cx, 262, 160, 11)
    hcx, hcy = cx, 108
    arx, ary = 200, 50
    base = (cx, 236, 66, 17)      # frame bottom ring: centre and radii
    top = (cx, 118, 28, 7)

    def depth(a):
        return 0.88 + 0.12 * (math.sin(math.radians(a)) + 1) / 2

    def arm(a):
        c.tube((hcx, hcy), polar(hcx, hcy, arx, ary, a), 6 * depth(a), Pale.body, Pale.line)

    def rotor(a):
        tx, ty = polar(hcx, hcy, arx, ary, a)
        s = depth(a)
        pale_motor(c, tx, ty - 8 * s, ty + 4 * s, 8 * s)
        pale_rotor(c, tx, ty - 10 * s, 46 * s, 10.5 * s, a * 2 + 15)

    def post(a):
        c.tube(polar(*top, a), polar(*base, a), 4.5, Pale.body, Pale.line)

    corners = (45, 135, 225, 315)
    for k in range(8):
        a = 22.5 + 45 * k
        if math.sin(math.radians(a)) < 0:
            arm(a)
            rotor(a)
    for a in (225, 315):
        post(a)
    bl = [polar(*base, a) for a in corners]
    c.tube(bl[2], bl[3], 4.5, Pale.body, Pale.line)
    # skids run front to back under the left and right sides
    for i, j in ((1, 2), (0, 3)):
        p, q = bl[i], bl[j]
        c.tube((p[0] + (p[0] - q[0]) * 0.35, p[1] + 6 + (p[1] - q[1]) * 0.35),
               (q[0] - (p[0] - q[0]) * 0.2, q[1] + 6 - (p[1] - q[1]) * 0.2),
               5, Pale.shade, Pale.line)
    # the seat
    c.tube((cx, 206), (cx, 234), 6, Pale.shade, Pale.line)
    c.poly(smooth([(cx - 22, 152), (cx + 22, 152), (cx + 25, 200), (cx - 25, 200)], n=6),
           fill=Pale.accent, line=Pale.line, w=1.2)
    c.poly(smooth([(cx - 30, 198), (cx + 30, 198), (cx + 36, 212), (cx - 36, 212)], n=6),
           fill=Pale.accent, line=Pale.line, w=1.2)
    c.tube((cx + 44, 214), (cx + 48, 188), 3, Pale.shade, Pale.line, 0.8)
    c.ell(cx + 48, 187, 4, 3, fill=Pale.shade, line=Pale.line, w=0.8)
    for a in (45, 135):
        post(a)
    c.tube(bl[0], bl[1], 4.5, Pale.body, Pale.line)
    c.tube(bl[1], bl[2], 4.5, Pale.body, Pale.line)
    c.tube(bl[0], bl[3], 4.5, Pale.body, Pale.line)
    front = [22.5 + 45 * k for k in range(8) if math.sin(math.radians(22.5 + 45 * k)) > 0]
    for a in front:
        arm(a)
    c.poly([(hcx - 30, hcy), (hcx + 30, hcy), (hcx + 30, hcy + 10), (hcx - 30, hcy + 10)],
           fill=Pale.shade)
    c.ell(hcx, hcy + 10, 30, 7, fill=Pale.shade, line=Pale.line)
    c.ell(hcx, hcy, 30, 7, fill=Pale.body, line=Pale.line)
    for a in front:
        rotor(a)
    return c.final()


def draw_popup():
    c = backdrop_canvas()
    cx = 322
    shadow(c, cx, 268, 130, 9)
    mcx, mcy, arx, ary = cx, 70, 176, 40

    def arm(a, s):
        c.tube((mcx, mcy + 2), polar(mcx, mcy, arx, ary, a), 8 * s, Pale.body, Pale.line)

    def rotor(a, s):
        tx, ty = polar(mcx, mcy, arx, ary, a)
        pale_motor(c, tx, ty - 6 * s, ty + 4 * s, 10 * s)
        pale_rotor(c, tx, ty - 7 * s, 64 * s, 14 * s, a + 40, blades=3)
        c.ell(tx, ty - 7 * s, 66 * s, 15 * s, line=Pale.line, w=2.2)

    for a in (210, 330):
        arm(a, 0.9)
        rotor(a, 0.9)
    for a in (150, 30):
        arm(a, 1.0)
    # coupling struts between the flying module and the capsule
    for side in (-1, 1):
        c.tube((cx + side * 30, 80), (cx + side * 34, 126), 5, Pale.shade, Pale.line)
    body = superellipse_pts(mcx, mcy, 64, 15, 3.0)
    c.poly([(mcx - 64, mcy), (mcx + 64, mcy), (mcx + 64, mcy + 10), (mcx - 64, mcy + 10)],
           fill=Pale.shade)
    c.poly(superellipse_pts(mcx, mcy + 10, 64, 12, 3.0), fill=Pale.shade, line=Pale.line)
    c.poly(body, fill=Pale.body, line=Pale.line, w=1.2)
    c.poly(superellipse_pts(mcx, mcy - 1, 30, 6, 3.0), fill=Pale.accent, line=Pale.line2)
    cap = superellipse_pts(cx, 182, 84, 58, 2.6)
    c.poly(cap, fill=Pale.body)
    with c.clipped(cap):
        c.masked([ellipse_pts(cx + 90, 215, 80, 80)], Pale.shade, 150)
        c.poly([(cx - 90, 216), (cx + 90, 212), (cx + 90, 250), (cx - 90, 250)],
               fill=Pale.accent2)
    c.poly(cap, line=Pale.line, w=1.4)
    win = superellipse_pts(cx, 168, 66, 36, 2.4)
    c.poly(win, fill=Pale.glass, line=Pale.line, w=1.2)
    with c.clipped(win):
        c.poly([(cx - 62, 170), (cx - 24, 130), (cx - 10, 130), (cx - 50, 184)],
               fill=Pale.glass_hi)
    c.path([(cx, 132), (cx, 204)], Pale.line2, 1)
    for side in (-1, 1):
        c.ell(cx + side * 50, 244, 12, 5, fill=Pale.shade, line=Pale.line)
    for side in (-1, 1):
        c.ell(cx + side * 34, 125, 8, 3, fill=Pale.shade, line=Pale.line)
    for a in (150, 30):
        rotor(a, 1.0)
    return c.final()


def draw_multidrone():
    c = backdrop_canvas()
    cx, cy = 322, 140
    shadow(c, cx, 258, 150, 12)
    arx, ary = 175, 50

    def arm(a, s):
        c.tube((cx, cy), polar(cx, cy, arx, ary, a), 9 * s, Pale.body, Pale.line)

    def rotor(a, s):
        tx, ty = polar(cx, cy, arx, ary, a)
        pale_motor(c, tx, ty - 12 * s, ty + 2 * s, 16 * s)
        c.ell(tx, ty + 5 * s, 3, 2, fill=Pale.accent if a < 180 else Pale.accent2)
        pale_rotor(c, tx, ty - 15 * s, 74 * s, 15 * s, a + 30)

    for a in (215, 325):
        arm(a, 0.9)
        rotor(a, 0.9)
    # front arms leave from under the body
    for a in (145, 35):
        arm(a, 1.0)
    for side in (-1, 1):
        c.tube((cx + side * 20, cy + 10), (cx + side * 52, 214), 5, Pale.shade, Pale.line)
        c.tube((cx + side * 48, 204), (cx + side * 56, 222), 7, Pale.body, Pale.line)
    c.tube((cx - 38, 188), (cx + 38, 188), 3, Pale.shade, Pale.line, 0.8)
    c.poly([(cx - 48, cy - 4), (cx + 48, cy - 4), (cx + 48, cy + 8), (cx - 48, cy + 8)],
           fill=Pale.shade)
    c.poly(superellipse_pts(cx, cy + 8, 48, 14, 3.0), fill=Pale.shade, line=Pale.line)
    c.poly(superellipse_pts(cx, cy - 4, 48, 14, 3.0), fill=Pale.body, line=Pale.line, w=1.2)
    c.poly([(cx - 26, cy - 20), (cx + 26, cy - 20), (cx + 26, cy - 8), (cx - 26, cy - 8)],
           fill=Pale.accent, line=Pale.line)
    c.poly([(cx - 26, cy - 20), (cx - 18, cy - 26), (cx + 32, cy - 26), (cx + 26, cy - 20)],
           fill=Pale.body, line=Pale.line)
    c.poly([(cx + 26, cy - 20), (cx + 32, cy - 26), (cx + 32, cy - 14), (cx + 26, cy - 8)],
           fill=Pale.shade, line=Pale.line)
    # camera on its gimbal under the nose
    c.path([(cx, cy + 14), (cx, cy + 24)], Pale.line, 3)
    c.ell(cx, cy + 34, 13, 12, fill=Pale.body, line=Pale.line, w=1.2)
    c.ell(cx, cy + 36, 6, 6, fill=Pale.glass, line=Pale.line, w=1)
    c.ell(cx - 2, cy + 34, 2, 2, fill=Pale.glass_hi)
    for a in (145, 35):
        rotor(a, 1.0)
    return c.final()


# ----------------------------------------------------------------------------
# small option pictures for the fuselage and seating choices

class Ink:
    line = (44, 60, 88)
    frame = (88, 104, 128)
    fill = (206, 220, 238)
    fill2 = (170, 192, 220)
    glass = (150, 200, 236, 150)
    glass_hi = (255, 255, 255, 170)
    seat = (72, 112, 168)
    seat_hi = (118, 156, 206)
    helmet = (236, 150, 40)
    suit = (96, 120, 150)
    border = (112, 132, 160)
    cabin = (232, 239, 248)


def framed(img):
    """Finish an option picture with a 1 px border drawn at final size."""
    ImageDraw.Draw(img).rectangle([0, 0, img.width - 1, img.height - 1],
                                  outline=Ink.border)
    return img


def skids(c, front=14, back=100, y=62):
    c.path([(front + 2, y - 6), (front + 6, y - 1), (front + 12, y), (back, y)],
           Ink.line, 2.2)
    for x in (front + 22, back - 18):
        c.path([(x + 2, y - 12), (x, y)], Ink.line, 2)


def pilot(c, x, y):
    """Seated pilot facing left; (x, y) is the hip."""
    c.path([(x, y), (x - 14, y - 1), (x - 19, y + 9)], Ink.suit, 4.2)
    c.path([(x, y), (x + 2, y - 15)], Ink.suit, 5.5)
    c.path([(x + 1, y - 12), (x - 8, y - 6), (x - 12, y - 8)], Ink.suit, 3)
    c.ell(x + 1, y - 21, 5.2, 5.2, fill=Ink.helmet, line=Ink.line, w=0.9)
    c.poly([(x - 4.5, y - 22), (x - 1, y - 23), (x - 1, y - 19), (x - 4, y - 19)],
           fill=(60, 70, 90))


def open_frame(c):
    """Tube frame with a seat and pilot; shared by the first two pictures."""
    skids(c)
    # tail boom and fin
    c.path([(76, 36), (108, 31)], Ink.frame, 2)
    c.path([(76, 44), (108, 33)], Ink.frame, 1.4)
    c.poly([(104, 31), (110, 20), (112, 20), (110, 36)], fill=Ink.fill2, line=Ink.line, w=0.9)
    # mast and rotor
    c.path([(73, 24), (73, 11)], Ink.line, 2.2)
    c.path([(14, 10.5), (106, 9.5)], Ink.line, 1.8)
    c.ell(73, 10, 2.8, 2, fill=Ink.line)
    # the frame itself
    c.path([(30, 50), (90, 50)], Ink.frame, 2.4)
    c.path([(76, 50), (73, 22)], Ink.frame, 2.4)
    c.path([(30, 50), (73, 24)], Ink.frame, 1.8)
    c.path([(90, 50), (74, 30)], Ink.frame, 1.8)
    c.ell(76, 42, 6, 5, fill=Ink.fill2, line=Ink.line, w=0.9)      # engine
    # seat and pilot
    c.poly([(48, 44), (64, 44), (64, 47), (48, 47)], fill=Ink.seat, line=Ink.line, w=0.8)
    c.poly([(62, 47), (66, 47), (70, 27), (66, 27)], fill=Ink.seat, line=Ink.line, w=0.8)
    c.path([(44, 50), (46, 36)], Ink.line, 1.4)
    pilot(c, 60, 42)


def draw_openframe():
    c = Canvas(115, 71)
    open_frame(c)
    return framed(c.final())


def draw_windshield():
    c = Canvas(115, 71)
    open_frame(c)
    nose = smooth([(24, 51), (22, 44), (28, 38), (38, 37), (42, 50)], n=8)
    c.poly(nose, fill=Ink.fill2, line=Ink.line, w=1)
    shield = smooth([(27, 40), (29, 28), (35, 18), (43, 12), (48, 12), (47, 20),
                     (44, 30), (42, 39)], n=8)
    c.poly(shield, fill=Ink.glass, line=Ink.line, w=1.1)
    c.path([(32, 32), (38, 20)], Ink.glass_hi, 1.6)
    return framed(c.final())


def draw_streamlined():
    c = Canvas(115, 71)
    skids(c, 16, 96)
    body = smooth([(10, 38), (18, 24), (36, 15), (58, 14), (76, 20), (92, 28),
                   (110, 30), (108, 35), (90, 40), (74, 50), (52, 56), (28, 54),
                   (14, 48)], n=10)
    c.poly([(100, 30), (108, 18), (112, 18), (110, 34)], fill=Ink.fill2, line=Ink.line, w=0.9)
    c.path([(58, 14), (58, 9)], Ink.line, 2.2)
    c.path([(10, 8.5), (106, 7.5)], Ink.line, 1.8)
    c.ell(58, 8, 2.8, 2, fill=Ink.line)
    c.poly(body, fill=Ink.fill)
    with c.clipped(body):
        canopy = smooth([(6, 40), (14, 22), (34, 11), (56, 10), (58, 20), (50, 32),
                         (36, 38), (20, 44)], n=8)
        c.poly(canopy, fill=(150, 196, 232))
        c.ell(44, 24, 5, 5, fill=mix((150, 196, 232), Ink.helmet, 0.8))
        c.poly(canopy, fill=(150, 196, 232, 90))
        c.path([(18, 30), (30, 18)], (255, 255, 255, 190), 2)
        c.path(canopy[len(canopy) // 2 - 10:], Ink.line, 0.9, caps=False)
        c.poly([(0, 44), (120, 36), (120, 40), (0, 49)], fill=Ink.seat)
        c.poly([(0, 52), (120, 44), (120, 80), (0, 80)], fill=Ink.fill2)
    c.poly(body, line=Ink.line, w=1.2)
    c.path([(62, 22), (62, 48)], Ink.frame, 0.8)
    return framed(c.final())


def seat_top(c, x, y):
    """A seat seen from above, facing right (towards the nose)."""
    c.poly(smooth([(x - 6, y - 8), (x + 9, y - 8), (x + 10, y + 8), (x - 6, y + 8)], n=5),
           fill=Ink.seat_hi, line=Ink.line, w=1)
    c.poly(smooth([(x - 13, y - 10), (x - 5, y - 10), (x - 5, y + 10), (x - 13, y + 10)], n=5),
           fill=Ink.seat, line=Ink.line, w=1)
    for side in (-1, 1):
        c.poly([(x - 7, y + side * 9), (x + 6, y + side * 9),
                (x + 6, y + side * 11.5), (x - 7, y + side * 11.5)],
               fill=Ink.seat, line=Ink.line, w=0.8)
    c.ell(x - 9, y, 3, 4.5, fill=Ink.seat_hi)
    c.ell(x + 17, y, 1.6, 1.6, fill=Ink.line)       # control stick


def cabin_top(c, half):
    pts = smooth([(112, 35), (102, 35 - half * 0.8), (80, 35 - half), (44, 35 - half),
                  (18, 35 - half * 0.8), (6, 35 - half * 0.35), (6, 35 + half * 0.35),
                  (18, 35 + half * 0.8), (44, 35 + half), (80, 35 + half),
                  (102, 35 + half * 0.8)], n=10)
    c.poly(pts, fill=Ink.cabin)
    with c.clipped(pts):
        c.poly([(96, 0), (120, 0), (120, 71), (96, 71)], fill=(196, 226, 246))
    c.poly(pts, line=Ink.line, w=1.4)
    c.path(smooth([(96, 35 - half * 0.9), (92, 35), (96, 35 + half * 0.9)], closed=False),
           Ink.frame, 1.2)


def draw_singleseat():
    c = Canvas(117, 71)
    cabin_top(c, 20)
    seat_top(c, 58, 35)
    return framed(c.final())


def draw_tandem():
    c = Canvas(117, 71)
    cabin_top(c, 18)
    seat_top(c, 34, 35)
    seat_top(c, 68, 35)
    return framed(c.final())


def draw_sbys():
    c = Canvas(117, 71)
    cabin_top(c, 30)
    seat_top(c, 58, 21.5)
    seat_top(c, 58, 48.5)
    return framed(c.final())


# ----------------------------------------------------------------------------
# credits helicopter; the tail rotor is animated by the Prop frames

PROP_POS = (115, 76)
PROP_SIZE = 56
HUB = (PROP_POS[0] + PROP_SIZE // 2, PROP_POS[1] + PROP_SIZE // 2)
TAIL_R = 24
# 50 degree steps: whether the window cycles all four frames or only the
# last three, every step is well under the two-blade 180 degree period's
# half, so the rotor reads as turning one way.
PROP_ANGLES = (30, 80, 130, 180)

HELI_LINE = (40, 48, 62)
HELI_BODY = (236, 239, 244)


def draw_heli_base():
    c = Canvas(190, 270)
    c.vgradient((138, 182, 228), (214, 232, 246), 0, 200)
    for x, y, s in ((40, 36, 0.8), (150, 180, 0.6), (160, 22, 0.5)):
        c.masked([ellipse_pts(x, y, 30 * s, 9 * s),
                  ellipse_pts(x - 18 * s, y + 3 * s, 18 * s, 7 * s),
                  ellipse_pts(x + 20 * s, y + 2 * s, 18 * s, 7 * s),
                  ellipse_pts(x + 2 * s, y - 6 * s, 16 * s, 9 * s)],
                 (255, 255, 255), 190)
    c.poly(smooth([(-20, 206), (30, 190), (80, 196), (130, 186), (210, 198),
                   (210, 280), (-20, 280)], n=12), fill=(170, 204, 160))
    c.poly(smooth([(-20, 216), (60, 204), (120, 210), (210, 202),
                   (210, 280), (-20, 280)], n=12), fill=(128, 180, 112))
    c.ell(66, 220, 52, 5, fill=(40, 70, 30, 50))

    # far skid first, partly hidden by the body
    c.path([(26, 156), (34, 161), (106, 161)], (90, 98, 110), 2.6)
    c.path([(44, 140), (42, 161)], (90, 98, 110), 2.2)
    c.path([(88, 138), (92, 161)], (90, 98, 110), 2.2)

    boom = [(94, 104), (140, 100), (141, 107), (94, 126)]
    c.poly(boom, fill=HELI_BODY, line=HELI_LINE, w=1.2)
    c.poly([(100, 110), (141, 103.5), (141, 105.5), (100, 116)], fill=(35, 85, 160))
    c.poly([(118, 104), (130, 102), (131, 106), (118, 108)], fill=(35, 85, 160),
           line=HELI_LINE, w=0.8)
    fin = smooth([(132, 103), (142, 86), (150, 74), (155, 75), (151, 96), (150, 108),
                  (154, 120), (148, 121), (140, 110)], n=6)
    c.poly(fin, fill=HELI_BODY, line=HELI_LINE, w=1.2)
    with c.clipped(fin):
        c.poly([(140, 60), (170, 60), (170, 84), (140, 92)], fill=(210, 60, 45))

    body = smooth([(10, 118), (16, 100), (34, 86), (60, 82), (86, 86), (102, 98),
                   (108, 114), (98, 134), (62, 146), (28, 143), (14, 134)], n=10)
    c.poly(body, fill=HELI_BODY)
    with c.clipped(body):
        c.poly([(0, 124), (120, 112), (120, 119), (0, 131)], fill=(35, 85, 160))
        c.poly([(0, 133), (120, 121), (120, 123), (0, 135)], fill=(210, 60, 45))
        c.poly([(0, 136), (120, 124), (120, 170), (0, 170)], fill=(206, 212, 222))
        glass = smooth([(2, 128), (4, 90), (40, 78), (58, 80), (56, 92), (40, 102),
                        (32, 126), (16, 140)], n=8)
        c.poly(glass, fill=(118, 172, 214), line=HELI_LINE, w=1.2)
        c.path([(16, 108), (36, 90)], (235, 245, 255, 200), 2.4)
        c.path([(14, 120), (22, 112)], (235, 245, 255, 150), 1.6)
        door = smooth([(62, 92), (84, 92), (88, 108), (62, 110)], n=4)
        c.poly(door, fill=(118, 172, 214), line=HELI_LINE, w=1.1)
        c.path([(66, 104), (76, 94)], (235, 245, 255, 170), 1.6)
        c.path([(58, 86), (58, 140)], (150, 158, 172), 1)
        c.path([(92, 92), (94, 136)], (150, 158, 172), 1)
    c.poly(body, line=HELI_LINE, w=1.4)

    cowl = smooth([(48, 86), (56, 76), (90, 76), (100, 88), (96, 92), (52, 90)], n=6)
    c.poly(cowl, fill=(214, 220, 230), line=HELI_LINE, w=1.2)
    c.poly([(84, 79), (92, 79), (92, 84), (84, 84)], fill=(70, 78, 92))
    c.path([(72, 76), (72, 66)], HELI_LINE, 3)
    c.ell(72, 65, 5, 2.5, fill=(90, 98, 112), line=HELI_LINE, w=0.8)
    c.poly([(2, 66.5), (30, 64.8), (70, 64), (70, 66), (30, 66.4), (2, 67.8)],
           fill=(52, 58, 70))
    c.poly([(74, 64), (130, 63.6), (186, 64.4), (186, 65.6), (130, 65.4), (74, 66)],
           fill=(52, 58, 70))

    # near skid in front of everything
    c.path([(36, 140), (32, 164)], HELI_LINE, 2.6)
    c.path([(82, 139), (86, 164)], HELI_LINE, 2.6)
    c.path([(10, 156), (16, 163), (24, 165), (104, 165)], HELI_LINE, 3)
    return c


def tail_rotor_layer(deg, spinning):
    """The tail rotor alone, on a transparent PROP_SIZE square, final size."""
    n = PROP_SIZE * S
    h = PROP_SIZE / 2
    layer = Image.new("RGBA", (n, n), (0, 0, 0, 0))

    def sheet():
        # ImageDraw replaces rather than blends on RGBA images, so every
        # translucent part gets its own sheet, composited in order.
        c = Canvas.__new__(Canvas)
        c.w = c.h = PROP_SIZE
        c.im = Image.new("RGBA", (n, n), (0, 0, 0, 0))
        c.d = ImageDraw.Draw(c.im)
        return c

    if spinning:
        c = sheet()
        c.ell(h, h, TAIL_R, TAIL_R, fill=(90, 96, 108, 18))
        layer.alpha_composite(c.im)
        for i in range(7, 0, -1):
            c = sheet()
            for k in range(2):
                c.poly(blade_poly(h, h, TAIL_R, TAIL_R, deg + k * 180 - i * 5,
                                  r0=0.12, r1=0.95, c0=0.1, c1=0.1),
                       fill=(70, 76, 88, 60 - i * 6))
            layer.alpha_composite(c.im)
    c = sheet()
    for k in range(2):
        a = deg + k * 180
        c.poly(blade_poly(h, h, TAIL_R, TAIL_R, a, r0=0.1, r1=0.95, c0=0.11, c1=0.1),
               fill=(58, 62, 72))
        c.poly(blade_poly(h, h, TAIL_R, TAIL_R, a, r0=0.74, r1=0.95, c0=0.1, c1=0.1),
               fill=(220, 60, 45))
        c.poly(blade_poly(h, h, TAIL_R, TAIL_R, a, r0=0.80, r1=0.86, c0=0.1, c1=0.1),
               fill=(245, 245, 245))
    c.ell(h, h, 3.6, 3.6, fill=(150, 156, 168), line=(40, 46, 58), w=0.8)
    c.ell(h - 0.8, h - 0.8, 1.2, 1.2, fill=(230, 232, 236))
    layer.alpha_composite(c.im)
    return layer.resize((PROP_SIZE, PROP_SIZE), Image.LANCZOS)


def prop_box():
    x, y = PROP_POS
    return (x, y, x + PROP_SIZE, y + PROP_SIZE)


def draw_credits():
    base = draw_heli_base().final()
    still = base.copy().convert("RGBA")
    still.alpha_composite(tail_rotor_layer(PROP_ANGLES[0], False), PROP_POS)
    save_jpeg(still.convert("RGB"), "CreditsHeli.jpg")

    # The frames go over the decoded JPEG, so take their surroundings from
    # it; only the disc itself comes from the rotor-free drawing.
    jpeg = Image.open(os.path.join(HERE, "CreditsHeli.jpg")).convert("RGB")
    clean = base.crop(prop_box())
    disc = Image.new("L", (PROP_SIZE * S, PROP_SIZE * S), 0)
    r = (TAIL_R + 1.5) * S
    m = PROP_SIZE * S / 2
    ImageDraw.Draw(disc).ellipse([m - r, m - r, m + r, m + r], fill=255)
    disc = disc.resize((PROP_SIZE, PROP_SIZE), Image.LANCZOS)
    names = ("Prop.png", "Prop1.png", "Prop2.png", "Prop3.png")
    for i, (name, deg) in enumerate(zip(names, PROP_ANGLES)):
        frame = jpeg.crop(prop_box())
        frame.paste(clean, (0, 0), disc)
        frame = frame.convert("RGBA")
        frame.alpha_composite(tail_rotor_layer(deg, i > 0))
        save_png(frame.convert("RGB"), name)


# ----------------------------------------------------------------------------
# fanfare

RATE = 22050


def brass(freq, dur, amp, phase=0.0):
    """A brassy note: harmonics that brighten as the note swells."""
    n = int(dur * RATE)
    out = [0.0] * n
    harm = [(h, 1.0 / h ** 1.05) for h in range(1, 11) if freq * h < 7000]
    two_pi = 2 * math.pi
    attack, decay, release = 0.028, 0.10, min(0.08, dur * 0.3)
    for i in range(n):
        t = i / RATE
        if t < attack:
            env = (t / attack) ** 1.5
        elif t < attack + decay:
            env = 1.0 - 0.25 * (t - attack) / decay
        else:
            env = 0.75
        if t > dur - release:
            env *= max(0.0, (dur - t) / release)
        vib = 1.0 + (0.004 * math.sin(two_pi * 5.2 * t) * min(1.0, max(0.0, t - 0.25) * 3))
        phase += two_pi * freq * vib / RATE
        v = 0.0
        bright = env ** 0.5
        for h, a in harm:
            v += a * (bright ** (h - 1)) * math.sin(h * phase)
        out[i] = amp * env * v
    return out


def make_fanfare():
    C4, G4, C5, E5, G5, C6 = 261.63, 392.00, 523.25, 659.26, 783.99, 1046.50
    step = 0.15
    notes = [(C5, 0.0, step * 0.9, 1.0), (E5, step, step * 0.9, 1.0),
             (G5, 2 * step, step * 0.9, 1.0)]
    hold = 3 * step
    held = 1.45
    # Chord voices enter a few ms apart, slightly detuned and out of phase:
    # started together in phase, octaves stack their waveform edges into a
    # hard spike that sounds like a click and eats the headroom.
    notes += [(C6, hold, held, 1.0), (G5 * 1.0015, hold + 0.008, held, 0.6, 1.1),
              (E5 * 0.9988, hold + 0.014, held, 0.55, 2.3),
              (C5 * 1.001, hold + 0.02, held, 0.6, 3.7),
              (G4 * 0.999, hold + 0.026, held, 0.4, 0.6),
              (C4 * 1.0005, hold + 0.03, held, 0.45, 4.9)]
    total = hold + held + 0.05
    buf = [0.0] * int(total * RATE)
    for f, start, dur, amp, *ph in notes:
        s0 = int(start * RATE)
        for i, v in enumerate(brass(f, dur, amp, *ph)):
            if s0 + i < len(buf):
                buf[s0 + i] += v
    fade = int(0.35 * RATE)
    for i in range(fade):
        buf[len(buf) - fade + i] *= 0.5 * (1 + math.cos(math.pi * i / fade))
    peak = max(abs(v) for v in buf)
    scale = 0.89 * 32767 / peak
    frames = b"".join(struct.pack("<h", int(round(v * scale))) for v in buf)
    with wave.open(os.path.join(HERE, "finale"), "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(frames)


# ----------------------------------------------------------------------------

BACKDROPS = {
    "ehang184.jpg": draw_ehang,
    "volocopter-two-1.jpg": draw_volocopter,
    "Kivo-15.png": draw_kivo,
    "Popup2.png": draw_popup,
    "Multidrone.png": draw_multidrone,
}

OPTIONS = {
    "Openframe.png": (draw_openframe, (115, 71)),
    "Windshield.png": (draw_windshield, (115, 71)),
    "Streamlined.png": (draw_streamlined, (115, 71)),
    "Singleseat.png": (draw_singleseat, (117, 71)),
    "tandem.png": (draw_tandem, (117, 71)),
    "sbys.png": (draw_sbys, (117, 71)),
}


def check():
    def opened(name, fmt, size):
        im = Image.open(os.path.join(HERE, name))
        assert im.format == fmt, (name, im.format)
        assert im.size == size, (name, im.size)
        return im.convert("RGB")

    for name in BACKDROPS:
        im = opened(name, "JPEG" if name.endswith(".jpg") else "PNG", (560, 300))
        darkest = min(im.convert("L").getdata())
        # the graph's grid, dots and marks must stand out on top
        assert darkest >= 170, (name, darkest)
    for name, (_, size) in OPTIONS.items():
        im = Image.open(os.path.join(HERE, name))
        assert im.mode == "RGB", (name, im.mode)      # opaque
        opened(name, "PNG", size)
    heli = opened("CreditsHeli.jpg", "JPEG", (190, 270))
    x0, y0, x1, y1 = prop_box()
    assert x1 <= 190 and y1 <= 240
    ref = heli.crop(prop_box())
    for name in ("Prop.png", "Prop1.png", "Prop2.png", "Prop3.png"):
        im = Image.open(os.path.join(HERE, name))
        assert im.format == "PNG" and im.mode == "RGB", name
        assert im.size == (PROP_SIZE, PROP_SIZE), name
        # the frame's rim must match the picture under it, or it shows a seam
        n = PROP_SIZE
        rim = [(x, y) for x in range(n) for y in range(n)
               if x in (0, 1, n - 2, n - 1) or y in (0, 1, n - 2, n - 1)]
        diff = max(max(abs(a - b) for a, b in zip(im.getpixel(p), ref.getpixel(p)))
                   for p in rim)
        assert diff <= 2, (name, diff)
    with open(os.path.join(HERE, "finale"), "rb") as f:
        head = f.read(36)
    assert head[:4] == b"RIFF" and head[8:16] == b"WAVEfmt "
    assert struct.unpack("<H", head[20:22])[0] == 1        # plain PCM
    with wave.open(os.path.join(HERE, "finale")) as w:
        assert w.getnchannels() == 1 and w.getsampwidth() == 2
        assert w.getframerate() in (22050, 44100)
        secs = w.getnframes() / w.getframerate()
        assert 1.0 <= secs <= 3.0, secs
        pcm = w.readframes(w.getnframes())
        peak = max(abs(v) for v in struct.unpack("<%dh" % (len(pcm) // 2), pcm))
        assert peak < 32767, peak

    total = 0
    for name in sorted(os.listdir(HERE)):
        if name == os.path.basename(__file__):
            continue
        size = os.path.getsize(os.path.join(HERE, name))
        total += size
        if name == "finale":
            desc = "WAVE PCM 16-bit mono %d Hz, %.2f s" % (RATE, secs)
        else:
            im = Image.open(os.path.join(HERE, name))
            desc = "%s %dx%d" % (im.format, im.width, im.height)
        print("%-22s %7d bytes  %s" % (name, size, desc))
    print("%-22s %7d bytes" % ("total", total))
    assert total < 1_000_000


def main():
    for name, fn in BACKDROPS.items():
        img = fn()
        (save_jpeg if name.endswith(".jpg") else save_png)(img, name)
    for name, (fn, size) in OPTIONS.items():
        img = fn()
        assert img.size == size
        save_png(img, name)
    draw_credits()
    make_fanfare()
    check()


if __name__ == "__main__":
    main()
