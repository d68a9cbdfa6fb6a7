# The window skin of the Tandrel box: a burning landscape under a dark, ornate header.
# Drawn in window coordinates (980 x 939, the size it is shown at) on a 1.5x canvas,
# then resampled to the 1280 x 830 picture the box stretches back to 980 x 939, so
# round things stay round in the window. With SCALE 2 it is drawn on a 2x canvas
# and kept at that size, 1960 x 1878, for screens at 200 %: as JPEG, which keeps
# the Windows program small.
# Usage: make_background.py OUTDIR [SCALE]
import sys

import numpy as np
from PIL import Image, ImageDraw

from artlib import (KAI, blur, dilate, fbm, font, gold_metal, gold_ramp, hexrgb, layer, noise1d, ramp,
                    resize_f, save_png, shift, smoothstep)

OUT = sys.argv[1] if len(sys.argv) > 1 else "."
DOUBLE = len(sys.argv) > 2 and sys.argv[2] == "2"
WW, WH = 980, 939            # window size
S = 2.0 if DOUBLE else 1.5   # canvas scale
CW, CH = int(WW * S), int(WH * S)
OUTW, OUTH = (CW, CH) if DOUBLE else (1280, 830)
LIST = (13, 123, 965, 923)   # list rectangle in window coordinates (x0, y0, x1, y1)
BANNER = (85, 17, 885, 87)   # banner in window coordinates
MEDAL = (44.0, 52.0, 33.0)   # emblem centre and radius

rng = np.random.RandomState(20240611)
yy, xx = np.mgrid[0:CH, 0:CW].astype(np.float32)
YW, XW = yy / S, xx / S      # window coordinates of every canvas pixel


def mix(a, b, t):
    t = np.asarray(t, np.float32)
    if t.ndim == 2:
        t = t[..., None]
    return a * (1 - t) + b * t


def sil(ridge):
    """Antialiased silhouette below a ridge line given per canvas column (canvas px)."""
    return np.clip(yy - ridge[None, :] + 0.5, 0, 1)


def draw_mask(draw_fn, ss=3):
    """Antialiased coverage drawn in window coordinates (k = canvas px per window px)."""
    im = Image.new("L", (CW * ss, CH * ss), 0)
    draw_fn(ImageDraw.Draw(im), S * ss)
    return np.asarray(im.resize((CW, CH), Image.BOX), np.float32) / 255.0


# ---------------------------------------------------------------- sky

def sky():
    col = ramp(YW, [(0, "#050203"), (140, "#100405"), (260, "#2a0907"), (360, "#561409"),
                    (430, "#98300c"), (490, "#da5a16"), (540, "#ff9a3a"), (580, "#ffcf72"), (640, "#ffe6a0")])
    hot = np.exp(-(((XW - 650) / 300) ** 2 + ((YW - 560) / 150) ** 2))
    hot2 = np.exp(-(((XW - 60) / 200) ** 2 + ((YW - 560) / 160) ** 2))
    hot3 = np.exp(-(((XW - 940) / 170) ** 2 + ((YW - 550) / 160) ** 2))
    col = col + hexrgb("#ff7a1c") * (0.45 * hot + 0.30 * hot2 + 0.30 * hot3)[..., None]
    # billowing smoke, lit from below by the fires
    n1 = fbm(CW, CH, 300 * S, rng, octaves=7, persistence=0.55, stretch=2.0)
    n2 = fbm(CW, CH, 90 * S, rng, octaves=5, persistence=0.5, stretch=2.5)
    n = n1 * 0.8 + n2 * 0.3
    dens = smoothstep(0.45, 0.80, n)
    under = np.clip((shift(n, 0, -int(12 * S)) - n) * 6.0, 0, 1)   # lower side of the billows
    smoke_dark = ramp(YW, [(0, "#040202"), (300, "#160606"), (600, "#3c0f07")])
    smoke_lit = ramp(YW, [(0, "#1a0706"), (220, "#5c180a"), (400, "#b8400f"), (540, "#ff9436")])
    scol = mix(smoke_dark, smoke_lit, np.clip(0.25 + under * 0.9, 0, 1))
    col = mix(col, scol, dens * 0.78)
    # thin ember haze streaks near the horizon
    st = fbm(CW, CH, 70 * S, rng, octaves=4, stretch=7.0)
    streak = smoothstep(0.62, 0.85, st) * np.exp(-((YW - 470) / 80) ** 2)
    col = col + hexrgb("#ff8a2c") * (streak * 0.30)[..., None]
    return col


# ---------------------------------------------------------------- mountains and fortress

def ridge_line(base, amp, cell, detail=0.3, sharp=0.5):
    """Mountain ridge (canvas px per column): broad masses, ridged peaks and fine crags."""
    lo = noise1d(CW, cell * S, rng, octaves=3, persistence=0.5)
    mid = noise1d(CW, cell * 0.35 * S, rng, octaves=3, persistence=0.5)
    fine = noise1d(CW, cell * 0.08 * S, rng, octaves=3, persistence=0.6)
    norm = lambda a: (a - a.min()) / (a.max() - a.min() + 1e-6)
    ridged = 1 - np.abs(2 * mid - 1)
    m = norm(lo) ** 1.3 * (1 - detail) + (ridged * sharp + mid * (1 - sharp)) * detail + (fine - 0.5) * 0.06
    m = norm(m)
    return (base - amp * m) * S


def rim_light(m, width, strength, colour="#ff8a30", tex=None):
    """Glow along the top edges of a silhouette, just inside it."""
    above = shift(m, 0, int(max(1, width * S)))
    edge = np.clip(m - above, 0, 1)
    e = blur(edge, width * 0.8 * S)
    if tex is not None:
        e = e * tex
    return hexrgb(colour) * (np.clip(e, 0, 1) * strength * m)[..., None]


def mountains(col):
    tex = fbm(CW, CH, 30 * S, rng, octaves=5)
    # farthest range: hazy, close to the glow
    r0 = ridge_line(600, 120, 260, detail=0.45)
    m0 = sil(r0)
    c0 = mix(col, ramp(YW, [(470, "#8a2a0e"), (620, "#b8400f")]), 0.6) * (0.92 + 0.16 * tex)[..., None]
    col = mix(col, c0, m0)
    col = col + rim_light(m0, 1.5, 0.25, "#ffc060")
    # far range
    r1 = ridge_line(650, 150, 300, detail=0.5)
    m1 = sil(r1)
    c1 = ramp(YW, [(480, "#4e160a"), (650, "#2a0a06")]) * (0.85 + 0.3 * tex)[..., None]
    c1 = c1 + hexrgb("#ff6a14") * (np.exp(-((YW - 640) / 30) ** 2) * 0.35)[..., None]  # glowing haze at the foot
    col = mix(col, c1, m1)
    col = col + rim_light(m1, 1.5, 0.35, "#ffa040", tex=0.5 + tex)

    # middle range with the fortress on a plateau
    r2 = ridge_line(770, 150, 380, detail=0.45)
    xs = np.arange(CW, dtype=np.float32)
    px0, px1 = 520 * S, 860 * S
    w = smoothstep(px0 - 70 * S, px0 + 20 * S, xs) * (1 - smoothstep(px1 - 20 * S, px1 + 80 * S, xs))
    r2 = r2 * (1 - w) + (705 * S + (r2 - r2.mean()) * 0.05) * w
    fort = fortress_mask()
    m2 = np.maximum(sil(r2), fort)
    midc = ramp(YW, [(540, "#1e0806"), (760, "#0f0504"), (939, "#060202")]) * (0.8 + 0.4 * tex)[..., None]
    midc = midc + hexrgb("#ff4a10") * (smoothstep(720, 900, YW) * 0.10 * (0.5 + tex))[..., None]  # lava light
    col = mix(col, midc, m2)
    col = col + rim_light(m2, 3.0, 0.30, "#ff8a34", tex=0.3 + tex)
    col = col + fires()

    # near foreground: black rock with lava cracks
    r3 = ridge_line(900, 80, 420, detail=0.4)
    m3 = sil(r3)
    rock = fbm(CW, CH, 50 * S, rng, octaves=6)
    nearc = ramp(YW, [(800, "#140706"), (939, "#060303")]) * (0.7 + 0.6 * rock)[..., None]
    col = mix(col, nearc, m3)
    col = col + rim_light(m3, 3.0, 0.15, "#ff7a24", tex=0.4 + rock)
    c = fbm(CW, CH, 90 * S, rng, octaves=6, persistence=0.55, stretch=2.8)
    c2 = fbm(CW, CH, 30 * S, rng, octaves=4, stretch=1.6)
    crack = np.clip(1 - np.abs(c - 0.5) * 14, 0, 1) ** 1.6
    crack = np.maximum(crack, np.clip(1 - np.abs(c2 - 0.5) * 20, 0, 1) ** 2 * 0.6)
    depth = smoothstep(4 * S, 50 * S, yy - r3[None, :])
    crack = crack * m3 * depth
    pool = smoothstep(0.70, 0.85, fbm(CW, CH, 60 * S, rng, octaves=4, stretch=2.2)) * m3 * depth
    heat = np.clip(crack + pool, 0, 1)
    glow = blur(heat, 3 * S) * 1.5 + blur(heat, 16 * S) * 2.0
    col = mix(col, ramp(heat, [(0, "#200404"), (0.35, "#b42206"), (0.7, "#ff7a18"), (1.0, "#ffe49a")]),
              smoothstep(0.02, 0.5, heat))
    col = col + hexrgb("#ff4a0a") * (np.clip(glow, 0, 1.2) * 0.45 * m3)[..., None]
    return col


def side_flames(col):
    """Flames licking up both side edges of the window from the burning ground."""
    t = fbm(CW, CH, 30 * S, rng, octaves=5, persistence=0.55, stretch=0.3)
    t2 = fbm(CW, CH, 10 * S, rng, octaves=3, stretch=0.4)
    edge = np.maximum(np.exp(-XW / 14.0), np.exp(-(WW - XW) / 14.0))
    rise = smoothstep(380, 939, YW)
    fuel = edge * (0.30 + 0.62 * rise)
    turb = t * 0.7 + t2 * 0.3
    heat = np.clip((turb + fuel * 0.9 - 0.85) * 3.0, 0, 1) * smoothstep(0.25, 0.45, edge)
    fire = ramp(heat, [(0, "#000000"), (0.2, "#6a1004"), (0.45, "#d0380a"), (0.75, "#ff8a24"), (1.0, "#ffe49a")])
    a = smoothstep(0.0, 0.3, heat)
    col = mix(col, fire, a * 0.9)
    col = col + hexrgb("#ff4a10") * (np.clip(blur(heat, 5 * S), 0, 1) * 0.35)[..., None]
    return col


FIRES = []   # burning spots of the fortress (window coordinates)


def fortress_mask():
    """Silhouette of burnt fortress ruins on the middle range (window coordinates)."""
    def draw(d, k):
        def P(pts):
            d.polygon([(x * k, y * k) for x, y in pts], fill=255)
        base = 712
        wall_top = 660
        P([(540, base), (540, wall_top), (840, wall_top), (840, base)])
        x = 540
        while x < 836:
            if not (598 <= x <= 618 or 740 <= x <= 752):       # broken stretches
                P([(x, wall_top), (x, wall_top - 7), (x + 6, wall_top - 7), (x + 6, wall_top)])
            x += 11
        P([(598, wall_top), (602, wall_top + 4), (608, wall_top + 2), (614, wall_top + 6), (618, wall_top)])
        cx = 690
        P([(cx - 34, base), (cx - 34, 622), (cx + 34, 622), (cx + 34, base)])
        P([(cx - 54, 615), (cx - 46, 622), (cx + 46, 622), (cx + 54, 615), (cx + 41, 613), (cx + 27, 603),
           (cx - 27, 603), (cx - 41, 613)])
        P([(cx - 22, 605), (cx - 22, 589), (cx + 22, 589), (cx + 22, 605)])
        P([(cx - 38, 584), (cx - 31, 590), (cx + 31, 590), (cx + 38, 584), (cx + 28, 582), (cx + 15, 571),
           (cx - 15, 571), (cx - 28, 582)])
        P([(cx - 17, 572), (cx - 20, 566), (cx - 12, 569), (cx + 12, 569), (cx + 20, 566), (cx + 17, 572)])
        P([(cx - 1.5, 571), (cx - 1.5, 556), (cx + 1.5, 556), (cx + 1.5, 571)])
        P([(568, base), (568, 628), (572, 622), (577, 626), (582, 616), (587, 624), (592, 619), (596, 630),
           (596, base)])
        P([(772, base), (772, 610), (800, 610), (800, base)])
        P([(764, 612), (768, 616), (804, 616), (806, 611), (798, 608), (790, 598), (780, 600), (776, 606)])
        P([(786, 599), (787, 586), (789, 599)])
        P([(620, 660), (632, 606), (634, 606), (623, 660)])
        P([(632, 607), (652, 611), (646, 616), (654, 621), (630, 618)])
    FIRES[:] = [(cx, y, r, a) for cx, y, r, a in
                ((608, 660, 9, 0.9), (746, 660, 7, 0.8), (690, 700, 5, 0.7), (786, 632, 2.0, 0.7),
                 (560, 690, 3, 0.5), (830, 692, 3, 0.5))]
    return draw_mask(draw)


def fires():
    g = np.zeros((CH, CW), np.float32)
    flick = fbm(CW, CH, 4 * S, rng, octaves=3, stretch=0.5)
    for cx, cy, r, a in FIRES:
        # tall flame tongues: narrow, stretched upwards from the burning spot
        dy = YW - cy
        g += a * np.exp(-(((XW - cx) / r) ** 2)) * np.where(dy > 0, np.exp(-(dy / (r * 0.6)) ** 2),
                                                            np.exp(-(dy / (r * 2.2)) ** 2))
    g = g * (0.5 + flick)
    core = np.clip(g * 1.5, 0, 1)
    halo = blur(g, 10 * S) * 4
    plume = blur(shift(g, int(6 * S), -int(30 * S)), 18 * S, 30 * S) * 3   # smoke-lit haze above
    return (ramp(core, [(0, "#000000"), (0.3, "#c83008"), (0.7, "#ff9a30"), (1, "#fff0b0")]) +
            hexrgb("#ff5a10")[None, None, :] * np.clip(halo, 0, 1)[..., None] * 0.45 +
            hexrgb("#ff7a20")[None, None, :] * np.clip(plume, 0, 1)[..., None] * 0.20)


# ---------------------------------------------------------------- sparks

def sparks(n, region, size=(0.5, 1.4), bright=(0.4, 1.0), avoid=(), seed=7, bokeh=0):
    """Drifting embers: tiny bright flecks with a warm halo, plus a few soft out-of-focus ones."""
    r = np.random.RandomState(seed)
    ss = 2
    im = Image.new("F", (CW * ss, CH * ss), 0.0)
    d = ImageDraw.Draw(im)
    x0, y0, x1, y1 = region
    placed = 0
    while placed < n:
        x = r.uniform(x0, x1)
        y = y0 + (y1 - y0) * (1 - r.power(1.8))
        if any(ax0 <= x <= ax1 and ay0 <= y <= ay1 for ax0, ay0, ax1, ay1 in avoid):
            continue
        placed += 1
        s = r.uniform(*size)
        b = r.uniform(*bright) * (0.25 + 0.75 * r.rand() ** 3)
        ln = r.uniform(0.0, 2.2) * s * (1 + 2.5 * (r.rand() < 0.12))
        ang = np.radians(r.uniform(-120, -40))      # rising, with a breeze to the right
        curve = r.uniform(-0.6, 0.6)
        pts = []
        for t in np.linspace(0, 1, 5):
            a = ang + curve * t
            pts.append(((x + np.cos(a) * ln * t) * S * ss, (y + np.sin(a) * ln * t) * S * ss))
        wdt = max(1, int(round(s * S * ss)))
        d.line(pts, fill=float(b), width=wdt)
        d.ellipse([pts[0][0] - wdt / 2, pts[0][1] - wdt / 2, pts[0][0] + wdt / 2, pts[0][1] + wdt / 2], fill=float(b))
    for _ in range(bokeh):
        x = r.uniform(x0, x1)
        y = y0 + (y1 - y0) * (1 - r.power(1.5))
        if any(ax0 <= x <= ax1 and ay0 <= y <= ay1 for ax0, ay0, ax1, ay1 in avoid):
            continue
        rad = r.uniform(3, 8) * S * ss
        b = r.uniform(0.03, 0.09)
        d.ellipse([x * S * ss - rad, y * S * ss - rad, x * S * ss + rad, y * S * ss + rad], fill=float(b))
    a = np.asarray(im.resize((CW, CH), Image.BOX), np.float32)
    a = blur(a, 0.45 * S)
    core = np.clip(a * 2.2, 0, 1.0)
    halo = blur(a, 2.0 * S) * 3 + blur(a, 7 * S) * 4
    return (ramp(core, [(0, "#000000"), (0.25, "#d23c08"), (0.6, "#ff9a30"), (1.0, "#fff4c0")]) +
            hexrgb("#ff4a0a")[None, None, :] * np.clip(halo, 0, 1)[..., None] * 0.5)


# ---------------------------------------------------------------- header

def header(col):
    band_bottom = 123.0
    dark = 1 - smoothstep(band_bottom - 2, band_bottom + 16, YW)
    n = fbm(CW, CH, 80 * S, rng, octaves=7, persistence=0.58, stretch=2.4)
    n2 = fbm(CW, CH, 14 * S, rng, octaves=3, stretch=1.5)
    base = ramp(YW, [(0, "#120808"), (50, "#170909"), (123, "#0e0606")])
    base = base * (0.55 + 0.95 * n + 0.14 * (n2 - 0.5))[..., None]
    # embers glowing behind the smoke in the free corners of the header
    eg = (np.exp(-(((XW - 30) / 110) ** 2 + ((YW - 75) / 70) ** 2)) +
          np.exp(-(((XW - 935) / 80) ** 2 + ((YW - 62) / 50) ** 2)) * 1.1 +
          np.exp(-(((XW - 485) / 460) ** 2 + ((YW - 0) / 22) ** 2)) * 0.6)
    wisp = smoothstep(0.50, 0.85, n) * eg
    base = base + hexrgb("#6a1606") * (eg * 0.28)[..., None] + hexrgb("#ff5a14") * (wisp * 0.40)[..., None]
    # keep the strip with the headings and the refresh caption calm and dark
    calm = smoothstep(86, 96, YW) * (1 - smoothstep(121, 124, YW))
    base = base * (1 - 0.10 * calm)[..., None]
    return mix(col, base, dark)


def fret_strip(col):
    """A key-fret (meander) band along the top edge, above the banner."""
    def draw(d, k):
        w = 1.1
        y0, y1 = 4.6, 12.6
        x = 20.0
        unit = 13.0
        lw = max(1, int(round(w * k)))
        while x + unit < WW - 56:
            pts = [(x, y1), (x, y0), (x + 9, y0), (x + 9, y0 + 6), (x + 3.3, y0 + 6), (x + 3.3, y0 + 2.6),
                   (x + 6, y0 + 2.6)]
            d.line([(px * k, py * k) for px, py in pts], fill=255, width=lw, joint="curve")
            d.line([(x * k, y1 * k), ((x + unit) * k, y1 * k)], fill=255, width=lw)
            x += unit
    m = draw_mask(draw, ss=4)
    fade = smoothstep(14, 80, XW) * (1 - smoothstep(WW - 130, WW - 60, XW))
    gcol = gold_ramp(np.clip(0.48 + 0.25 * (1 - smoothstep(4, 13, YW)), 0, 1))
    col = mix(col, gcol, m * (0.30 + 0.35 * fade))
    return col


def frame(col):
    x0, y0, x1, y1 = LIST
    bx0, by0, bx1, by1 = BANNER

    # recessed shadow around the list and the banner slot
    def recess(d, k):
        d.rectangle([(x0 - 1) * k, (y0 - 1) * k, (x1 + 1) * k, (y1 + 1) * k], fill=255)
        d.rectangle([(bx0 - 1) * k, (by0 - 1) * k, (bx1 + 1) * k, (by1 + 1) * k], fill=255)
    rc = draw_mask(recess)
    sh = blur(rc, 3 * S)
    col = col * (1 - 0.45 * np.clip(sh * 1.6, 0, 1) * (1 - rc))[..., None]
    slot = draw_mask(lambda d, k: d.rectangle([bx0 * k, by0 * k, bx1 * k - 1, by1 * k - 1], fill=255))
    col = mix(col, ramp(YW, [(by0, "#140606"), (by1, "#070303")]), slot)

    # gold hairlines around the list and the banner slot
    def hair(d, k):
        w = max(1, int(round(1.3 * k)))
        d.rectangle([(x0 - 2.3) * k, (y0 - 2.3) * k, (x1 + 1.3) * k, (y1 + 1.3) * k], outline=255, width=w)
        d.rectangle([(bx0 - 2.3) * k, (by0 - 2.3) * k, (bx1 + 1.3) * k, (by1 + 1.3) * k], outline=255, width=w)
    hl = draw_mask(hair)
    tone = 0.50 + 0.20 * (1 - smoothstep(0, 300, YW))
    col = mix(col, gold_ramp(tone), hl * 0.95)
    col = col + hexrgb("#ff8a30") * (blur(hl, 2 * S) * 0.25)[..., None]

    # corner brackets on the banner slot and the list
    def brackets(d, k):
        L = 16
        for (cx, cy, sx, sy) in ((bx0 - 2, by0 - 2, 1, 1), (bx1 + 1, by0 - 2, -1, 1),
                                 (bx0 - 2, by1 + 1, 1, -1), (bx1 + 1, by1 + 1, -1, -1)):
            pts = [(cx - sx * 2.5, cy + sy * L), (cx - sx * 2.5, cy - sy * 2.5), (cx + sx * L, cy - sy * 2.5),
                   (cx + sx * L, cy - sy * 0.8), (cx - sx * 0.8, cy - sy * 0.8), (cx - sx * 0.8, cy + sy * L)]
            d.polygon([(px * k, py * k) for px, py in pts], fill=255)
            r = 2.2
            for (qx, qy) in ((cx + sx * (L + 2.5), cy - sy * 1.6), (cx - sx * 1.6, cy + sy * (L + 2.5))):
                d.polygon([(qx * k, (qy - r) * k), ((qx + r) * k, qy * k), (qx * k, (qy + r) * k),
                           ((qx - r) * k, qy * k)], fill=255)
        # lozenges where the list frame meets the margins
        for (qx, qy) in ((6.5, y0 - 1.5), (WW - 6.5, y0 - 1.5), (6.5, y1 + 0.5), (WW - 6.5, y1 + 0.5)):
            r = 3.4
            d.polygon([(qx * k, (qy - r) * k), ((qx + r) * k, qy * k), (qx * k, (qy + r) * k),
                       ((qx - r) * k, qy * k)], fill=255)
        for qx in (WW - 6.5, 6.5):
            d.rectangle([(qx - 4.5) * k, (y0 - 2.2) * k, (qx + 4.5) * k, (y0 - 0.9) * k], fill=255)
    bm = draw_mask(brackets, ss=4)
    col = mix(col, gold_metal(bm, 0.8 * S, depth=5.0, base=0.58), bm)
    col = col + hexrgb("#ff7a20") * (blur(bm, 3 * S) * 0.35)[..., None]

    # outer rim of the window: bevelled dark gold, black outermost pixel
    def rim(d, k):
        d.rectangle([0, 0, WW * k - 1, WH * k - 1], outline=255, width=int(2.6 * k))
    rm = draw_mask(rim)
    inner = draw_mask(lambda d, k: d.rectangle([2.6 * k, 2.6 * k, (WW - 2.6) * k, (WH - 2.6) * k], fill=255))
    lightside = 1 - smoothstep(0, 1, (XW / WW) * 0.3 + (YW / WH) * 0.7)
    col = mix(col, gold_ramp(0.32 + 0.40 * lightside), rm * (1 - inner))
    col = col * (1 - 0.5 * np.clip(blur(1 - inner, 2 * S) - (1 - inner), 0, 1))[..., None]  # shadow inside
    e = int(round(0.8 * S))
    for sl in ((slice(0, e), slice(None)), (slice(CH - e, CH), slice(None)),
               (slice(None), slice(0, e)), (slice(None), slice(CW - e, CW))):
        col[sl] *= 0.15
    return col


def medallion(col):
    """Round bronze emblem with the brush character 焰 in the free top-left corner."""
    cx, cy, R = MEDAL
    d2 = np.hypot(XW - cx, YW - cy)
    disc = np.clip(R - d2 + 0.5, 0, 1)
    # drop shadow and ember halo
    col = col * (1 - 0.7 * np.clip(blur(disc, 4 * S), 0, 1))[..., None]
    col = col + hexrgb("#ff4a10") * (np.clip(blur(disc, 9 * S) - disc, 0, 1) * 0.45)[..., None]
    # rings: outer bevelled gold, thin inner gold
    ring = np.clip(R - d2 + 0.5, 0, 1) * np.clip(d2 - (R - 5.5) + 0.5, 0, 1)
    ring2 = np.clip((R - 8.2) - d2 + 0.5, 0, 1) * np.clip(d2 - (R - 9.6) + 0.5, 0, 1)
    # lacquered red-black face with an inner glow
    face = ramp(d2 / R, [(0, "#5a1608"), (0.55, "#2a0806"), (0.9, "#120404"), (1, "#0a0303")])
    tex = fbm(CW, CH, 6 * S, rng, octaves=3)
    face = face * (0.85 + 0.3 * tex)[..., None]
    col = mix(col, face, disc)
    # tiny studs around the outer ring
    def studs(d, k):
        for i in range(16):
            a = 2 * np.pi * i / 16 + np.pi / 16
            px, py = cx + np.cos(a) * (R - 6.9), cy + np.sin(a) * (R - 6.9)
            r = 0.9
            d.ellipse([(px - r) * k, (py - r) * k, (px + r) * k, (py + r) * k], fill=255)
    st = draw_mask(studs, ss=4)
    metal = np.maximum(np.maximum(ring, ring2), st)
    col = mix(col, gold_metal(metal, 1.0 * S, depth=5.0, base=0.55, gloss=0.35), metal)
    # the character: gold with an ember glow, cut into the face
    ss = 4
    im = Image.new("L", (CW * ss, CH * ss), 0)
    dr = ImageDraw.Draw(im)
    f = font(KAI, int(44 * S * ss))
    dr.text((cx * S * ss, (cy + 1) * S * ss), "焰", font=f, fill=255, anchor="mm")
    ch = np.asarray(im.resize((CW, CH), Image.BOX), np.float32) / 255.0
    ch = np.clip(dilate(ch, 1.3), 0, 1)
    col = col + hexrgb("#ff5a10") * (np.clip(blur(ch, 3 * S) * 1.6, 0, 1) * 0.6 * disc)[..., None]
    col = mix(col, hexrgb("#0a0202"), np.clip(shift(ch, int(S), int(S)) * 0.8, 0, 1))
    col = mix(col, gold_metal(ch, 0.7 * S, depth=6.0, base=0.66, gloss=0.3), ch)
    return col


def button_tray(col):
    """A recessed dark plate under the minimise and close buttons."""
    box = (927, 3, 978, 29)

    def tray(d, k):
        d.rounded_rectangle([box[0] * k, box[1] * k, box[2] * k, box[3] * k], radius=6 * k, fill=255)
    t = draw_mask(tray)
    col = col * (1 - 0.55 * np.clip(blur(t, 3 * S), 0, 1))[..., None]
    inside = ramp(YW, [(3, "#1c0b07"), (16, "#0e0504"), (29, "#060202")])
    col = mix(col, inside, t * 0.95)

    def tray_rim(d, k):
        d.rounded_rectangle([box[0] * k, box[1] * k, box[2] * k, box[3] * k], radius=6 * k, outline=255,
                            width=int(1.3 * k))
        d.line([(952.5 * k, 7 * k), (952.5 * k, 25 * k)], fill=255, width=max(1, int(0.9 * k)))  # divider
    r = draw_mask(tray_rim, ss=4)
    col = mix(col, gold_metal(r, 0.5 * S, depth=4.0, base=0.55), r * 0.9)
    return col


def main():
    col = sky()
    col = mountains(col)
    col = col + sparks(650, (0, 200, WW, WH), seed=11)
    col = side_flames(col)
    col = header(col)
    col = col + sparks(40, (0, 2, WW, 86), size=(0.35, 0.9), bright=(0.25, 0.6),
                       avoid=[(BANNER[0] - 4, BANNER[1] - 4, BANNER[2] + 4, BANNER[3] + 4), (0, 0, 90, 100),
                              (920, 0, 980, 34)], seed=13)
    col = fret_strip(col)
    col = frame(col)
    col = medallion(col)
    col = button_tray(col)
    v = ((XW - WW / 2) / (WW * 0.62)) ** 2 + ((YW - WH * 0.45) / (WH * 0.75)) ** 2
    col = col * (1 - 0.30 * smoothstep(0.7, 1.4, v))[..., None]
    out = np.clip(col, 0, 1.2) if DOUBLE else resize_f(np.clip(col, 0, 1.2), OUTW, OUTH, Image.LANCZOS)
    grain = np.random.RandomState(99).rand(OUTH, OUTW).astype(np.float32) - 0.5
    out = np.clip(out + grain[..., None] * (3.0 / 255.0), 0, 1)
    if DOUBLE:
        pixels = (out[..., :3] * 255.0 + 0.5).astype(np.uint8)
        Image.fromarray(pixels, "RGB").save(f"{OUT}/background@2x.jpg", quality=88, optimize=True, subsampling=0)
    else:
        save_png(layer(out, np.ones((OUTH, OUTW), np.float32)), f"{OUT}/background.png")


if __name__ == "__main__":
    main()
