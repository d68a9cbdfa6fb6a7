# The window skin of the Tandrel box: a burning landscape under a dark, ornate header.
# Drawn in window coordinates (980 x 939, the size it is shown at) on a 1.5x canvas,
# then resampled to the 1280 x 830 picture the box stretches back to 980 x 939.
# Usage: make_background.py OUTDIR
import sys

import numpy as np
from PIL import Image, ImageDraw

from artlib import (blur, dilate, fbm, hexrgb, noise1d, ramp, resize_f, save_png, shift, smoothstep,
                    value_noise, layer)

OUT = sys.argv[1] if len(sys.argv) > 1 else "."
WW, WH = 980, 939            # window size
S = 1.5                      # canvas scale
CW, CH = int(WW * S), int(WH * S)
OUTW, OUTH = 1280, 830
LIST = (13, 123, 965, 923)   # list rectangle in window coordinates (x0, y0, x1, y1)

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


# ---------------------------------------------------------------- sky

def sky():
    col = ramp(YW, [(0, "#040203"), (110, "#0a0405"), (260, "#220806"), (420, "#4c1207"),
                    (540, "#8e2809"), (620, "#d2520f"), (668, "#ffa033"), (700, "#ffc35a")])
    # hot spots on the horizon: a burning city far away
    hot = np.exp(-(((XW - 600) / 330) ** 2 + ((YW - 690) / 170) ** 2))
    hot2 = np.exp(-(((XW - 140) / 220) ** 2 + ((YW - 700) / 140) ** 2))
    hot3 = np.exp(-(((XW - 900) / 200) ** 2 + ((YW - 690) / 150) ** 2))
    col = col + hexrgb("#ff6a14") * (0.55 * hot + 0.35 * hot2 + 0.30 * hot3)[..., None]
    # layered smoke: dark billows, lit from below by the fires
    n1 = fbm(CW, CH, 260 * S, rng, octaves=6, persistence=0.55, aspect=2.2)
    n2 = fbm(CW, CH, 120 * S, rng, octaves=5, persistence=0.5, aspect=3.0)
    dens = smoothstep(0.40, 0.78, n1 * 0.75 + n2 * 0.35)
    lit = smoothstep(150, 650, YW)
    smoke_dark = ramp(YW, [(0, "#050303"), (400, "#160706"), (700, "#3a1008")])
    smoke_lit = ramp(YW, [(0, "#1a0806"), (300, "#5a1a0a"), (560, "#c24a14"), (700, "#ff9a40")])
    # the underside of each billow catches the glow: use the vertical gradient of the density
    under = np.clip((dens - shift(dens, 0, int(10 * S))) * 3.0, 0, 1)
    scol = mix(smoke_dark, smoke_lit, np.clip(lit * 0.55 + under * 0.7, 0, 1))
    col = mix(col, scol, dens * 0.85)
    # thin glowing streaks of ember haze near the horizon
    st = fbm(CW, CH, 90 * S, rng, octaves=4, aspect=6.0)
    streak = smoothstep(0.62, 0.80, st) * np.exp(-((YW - 560) / 110) ** 2)
    col = col + hexrgb("#ff7a22") * (streak * 0.35)[..., None]
    return col


# ---------------------------------------------------------------- mountains and fortress

def ridge_line(base, amp, cell, octaves=6, sharp=0.6):
    n = noise1d(CW, cell * S, rng, octaves=octaves, persistence=0.52)
    r = 1 - np.abs(2 * n - 1)            # ridged: sharp peaks
    m = n * (1 - sharp) + r * sharp
    m = (m - m.min()) / (m.max() - m.min())
    return (base - amp * m) * S


def mountains(col):
    # far range, hazy and glowing
    r1 = ridge_line(640, 120, 160)
    m1 = sil(r1)
    far = mix(col, hexrgb("#3a0f08"), 0.72)
    col = mix(col, far, m1)
    # rim glow on the far ridge
    rim1 = np.exp(-np.clip(yy - r1[None, :], 0, None) / (3 * S)) * m1
    col = col + hexrgb("#ff8a30") * (rim1 * 0.35)[..., None]
    # glow haze at the foot of the far range
    col = col + hexrgb("#ff5a10") * (np.exp(-((YW - 700) / 40) ** 2) * 0.35 * m1)[..., None]

    # middle range with the fortress
    r2 = ridge_line(760, 130, 230, sharp=0.45)
    # flatten a plateau for the fortress
    px0, px1 = 520 * S, 860 * S
    xs = np.arange(CW, dtype=np.float32)
    w = smoothstep(px0 - 40 * S, px0 + 30 * S, xs) * (1 - smoothstep(px1 - 30 * S, px1 + 40 * S, xs))
    r2 = r2 * (1 - w) + (690 * S + (r2 - r2.mean()) * 0.12) * w
    m2 = np.maximum(sil(r2), fortress_mask())
    tex = fbm(CW, CH, 40 * S, rng, octaves=4)
    midc = ramp(YW, [(560, "#1c0806"), (760, "#0f0504"), (900, "#080303")])
    midc = midc * (0.85 + 0.3 * tex)[..., None]
    col = mix(col, midc, m2)
    edge = np.clip(m2 - shift(m2, 0, int(2 * S)), 0, 1)
    rim2 = blur(edge, 1.2 * S)
    col = col + hexrgb("#ff7a24") * (np.clip(rim2 * 2.2, 0, 1) * 0.55)[..., None]
    col = col + windows_glow()

    # near foreground: black rock with lava cracks
    r3 = ridge_line(880, 70, 300, sharp=0.3)
    m3 = sil(r3)
    rock = fbm(CW, CH, 60 * S, rng, octaves=5)
    nearc = ramp(YW, [(780, "#120605"), (939, "#050202")]) * (0.8 + 0.4 * rock)[..., None]
    col = mix(col, nearc, m3)
    edge3 = blur(np.clip(m3 - shift(m3, 0, int(2 * S)), 0, 1), 1.0 * S)
    col = col + hexrgb("#ff6a1a") * (np.clip(edge3 * 2.0, 0, 1) * 0.5)[..., None]
    # lava cracks: ridged noise lines
    c = fbm(CW, CH, 80 * S, rng, octaves=5, persistence=0.55, aspect=2.5)
    crack = np.clip(1 - np.abs(c - 0.5) * 22, 0, 1) ** 1.5
    c2 = fbm(CW, CH, 35 * S, rng, octaves=4, aspect=1.5)
    crack = np.maximum(crack, np.clip(1 - np.abs(c2 - 0.5) * 30, 0, 1) ** 2 * 0.7)
    depth = smoothstep(0, 40 * S, yy - r3[None, :])
    crack = crack * m3 * depth
    glow = blur(crack, 4 * S) * 2.5 + blur(crack, 14 * S) * 2.0
    col = col + ramp(np.clip(crack, 0, 1), [(0, "#000000"), (0.4, "#c42a06"), (0.8, "#ff8a1c"), (1.0, "#ffe08a")]) * 1.0
    col = col + hexrgb("#ff4a0a") * (np.clip(glow, 0, 1.2) * 0.55 * m3)[..., None]
    return col


FORT = []  # (polygons, windows) filled by fortress_mask


def fortress_mask():
    """Silhouette of burnt fortress ruins on the middle range (window coordinates)."""
    ss = 3
    im = Image.new("L", (CW * ss, CH * ss), 0)
    d = ImageDraw.Draw(im)
    k = S * ss

    def P(pts):
        d.polygon([(x * k, y * k) for x, y in pts], fill=255)

    base = 700
    # curtain wall with battlements
    wall_top = 650
    P([(540, base), (540, wall_top), (840, wall_top), (840, base)])
    x = 540
    while x < 836:
        P([(x, wall_top), (x, wall_top - 7), (x + 6, wall_top - 7), (x + 6, wall_top)])
        x += 11
    # broken breaches in the wall
    P([(600, wall_top - 8), (606, wall_top - 8), (604, wall_top - 1)])
    # gate house with a two-tier pagoda roof
    cx = 690
    P([(cx - 34, base), (cx - 34, 612), (cx + 34, 612), (cx + 34, base)])
    P([(cx - 52, 606), (cx - 46, 612), (cx + 46, 612), (cx + 52, 606), (cx + 40, 604), (cx + 26, 594),
       (cx - 26, 594), (cx - 40, 604)])                      # lower roof with upturned eaves
    P([(cx - 22, 596), (cx - 22, 580), (cx + 22, 580), (cx + 22, 596)])
    P([(cx - 36, 575), (cx - 31, 581), (cx + 31, 581), (cx + 36, 575), (cx + 27, 573), (cx + 15, 562),
       (cx - 15, 562), (cx - 27, 573)])                      # upper roof
    P([(cx - 16, 563), (cx - 18, 558), (cx - 12, 561), (cx + 12, 561), (cx + 18, 558), (cx + 16, 563)])
    P([(cx - 1.5, 562), (cx - 1.5, 548), (cx + 1.5, 548), (cx + 1.5, 562)])  # finial
    # left watch tower, broken
    P([(568, base), (568, 618), (572, 612), (577, 616), (582, 606), (587, 614), (592, 609), (596, 620),
       (596, base)])
    # right watch tower, taller, with a half-burnt roof
    P([(772, base), (772, 600), (800, 600), (800, base)])
    P([(764, 602), (768, 606), (804, 606), (806, 601), (798, 598), (790, 588), (780, 590), (776, 596)])
    P([(786, 589), (787, 576), (789, 589)])
    # a leaning banner pole
    P([(620, 650), (632, 598), (634, 598), (623, 650)])
    P([(632, 599), (650, 604), (646, 609), (652, 614), (630, 610)])
    m = im.resize((CW, CH), Image.BOX)
    FORT[:] = [(cx - 6, 630, cx + 6, 646), (cx - 8, 584, cx - 3, 592), (cx + 3, 584, cx + 8, 592),
               (781, 612, 787, 620), (579, 628, 584, 636), (720, 662, 724, 668), (650, 662, 654, 668),
               (812, 664, 816, 670)]
    return np.asarray(m, np.float32) / 255.0


def windows_glow():
    g = np.zeros((CH, CW), np.float32)
    for x0, y0, x1, y1 in FORT:
        sl = (slice(int(y0 * S), int(y1 * S)), slice(int(x0 * S), int(x1 * S)))
        g[sl] = 1.0
    core = blur(g, 0.6 * S)
    halo = blur(g, 6 * S) * 3
    return (hexrgb("#ffc45a")[None, None, :] * np.clip(core, 0, 1)[..., None] * 0.9 +
            hexrgb("#ff5a10")[None, None, :] * np.clip(halo, 0, 1)[..., None] * 0.4)


# ---------------------------------------------------------------- sparks

def sparks(n, region, size=(0.5, 1.6), bright=(0.5, 1.0), avoid=(), seed=7):
    """Drifting embers: short curved streaks with a warm halo, on an additive layer."""
    r = np.random.RandomState(seed)
    ss = 2
    im = Image.new("F", (CW * ss, CH * ss), 0.0)
    d = ImageDraw.Draw(im)
    x0, y0, x1, y1 = region
    placed = 0
    while placed < n:
        x = r.uniform(x0, x1)
        # more embers lower down
        y = y0 + (y1 - y0) * (1 - r.power(1.6))
        if any(ax0 <= x <= ax1 and ay0 <= y <= ay1 for ax0, ay0, ax1, ay1 in avoid):
            continue
        placed += 1
        s = r.uniform(*size)
        b = r.uniform(*bright) * (0.35 + 0.65 * r.rand() ** 2)
        ln = r.uniform(2, 9) * s
        ang = np.radians(r.uniform(-115, -65))      # drifting upwards
        curve = r.uniform(-0.5, 0.5)
        pts = []
        for t in np.linspace(0, 1, 6):
            a = ang + curve * t
            pts.append(((x + np.cos(a) * ln * t) * S * ss, (y + np.sin(a) * ln * t) * S * ss))
        d.line(pts, fill=float(b), width=max(1, int(round(s * S * ss))))
    a = np.asarray(im.resize((CW, CH), Image.BOX), np.float32)
    core = np.clip(a * 1.6, 0, 1.5)
    halo = blur(a, 2.5 * S) * 4 + blur(a, 8 * S) * 5
    return (ramp(np.clip(core, 0, 1), [(0, "#000000"), (0.3, "#ff5a10"), (0.7, "#ffb040"), (1.0, "#fff0b0")]) +
            hexrgb("#ff4a0a")[None, None, :] * np.clip(halo, 0, 1)[..., None] * 0.6)


# ---------------------------------------------------------------- header and frame

def header(col):
    band_bottom = 122.0
    dark = 1 - smoothstep(band_bottom - 6, band_bottom + 14, YW)
    # the header: smoky, dark lacquer red-black over the sky
    n = fbm(CW, CH, 70 * S, rng, octaves=6, persistence=0.55, aspect=2.6)
    n2 = fbm(CW, CH, 24 * S, rng, octaves=4, aspect=1.8)
    base = ramp(YW, [(0, "#0c0606"), (60, "#110707"), (122, "#0a0505")])
    base = base * (0.75 + 0.5 * n + 0.12 * (n2 - 0.5))[..., None]
    # ember light from the corners behind the banner
    eg = (np.exp(-(((XW - 40) / 90) ** 2 + ((YW - 60) / 70) ** 2)) +
          np.exp(-(((XW - 935) / 90) ** 2 + ((YW - 62) / 70) ** 2)) * 0.8 +
          np.exp(-(((XW - 485) / 420) ** 2 + ((YW - 8) / 26) ** 2)) * 0.5)
    wisp = smoothstep(0.45, 0.85, n) * eg
    base = base + hexrgb("#7a1e08") * (eg * 0.22)[..., None] + hexrgb("#ff5a14") * (wisp * 0.35)[..., None]
    # keep the heading strip (y 92..122) calm and dark
    calm = smoothstep(84, 96, YW) * (1 - smoothstep(120, 126, YW))
    base = base * (1 - 0.35 * calm)[..., None]
    return mix(col, base, dark)


def gold(t):
    return ramp(t, [(0, "#4a2606"), (0.35, "#9a6218"), (0.6, "#e0aa44"), (0.85, "#fff0b0"), (1.0, "#fffbe8")])


def line_layer(draw_fn):
    """Antialiased coverage drawn in window coordinates on a 3x canvas."""
    ss = 3
    im = Image.new("L", (CW * ss, CH * ss), 0)
    draw_fn(ImageDraw.Draw(im), S * ss)
    return np.asarray(im.resize((CW, CH), Image.BOX), np.float32) / 255.0


def frame(col):
    x0, y0, x1, y1 = LIST

    # recessed shadow around the list and the banner
    def recess(d, k):
        d.rectangle([(x0 - 1) * k, (y0 - 1) * k, (x1 + 1) * k, (y1 + 1) * k], fill=255)
        d.rectangle([84 * k, 16 * k, 886 * k, 88 * k], fill=255)
    rc = line_layer(recess)
    sh = blur(rc, 5 * S)
    col = col * (1 - 0.55 * np.clip(sh * 1.6, 0, 1))[..., None]

    # gold hairline around the list and the banner slot
    def hair(d, k):
        w = max(1, int(round(1.2 * k)))
        d.rectangle([(x0 - 2) * k, (y0 - 2) * k, (x1 + 1) * k, (y1 + 1) * k], outline=255, width=w)
        d.rectangle([83 * k, 15 * k, 886 * k, 88 * k], outline=255, width=w)
    hl = line_layer(hair)
    shade = 0.55 + 0.35 * np.clip(1 - (YW - 123) / 800, 0, 1)   # a little brighter at the top
    col = mix(col, gold(np.clip(shade * 0.9, 0, 1)), hl * 0.9)

    # outer rim of the window: a bevelled dark-gold edge
    def rim(d, k):
        d.rectangle([0.5 * k, 0.5 * k, (WW - 0.5) * k, (WH - 0.5) * k], outline=255, width=int(2.2 * k))
    rm = line_layer(rim)
    lightside = np.clip(1 - (XW + YW) / (WW + WH) * 1.3, 0, 1)
    col = mix(col, gold(0.35 + 0.45 * lightside), rm)
    col[:int(1 * S), :] *= 0.2
    col[-int(1 * S):, :] *= 0.2
    col[:, :int(1 * S)] *= 0.2
    col[:, -int(1 * S):] *= 0.2

    # the divider above the list: gold line with a glow and lozenges at its ends
    def divider(d, k):
        d.rectangle([x0 * k, 118.6 * k, x1 * k, 119.8 * k], fill=255)
    dv = line_layer(divider)
    fade = smoothstep(x0, x0 + 140, XW) * (1 - smoothstep(x1 - 140, x1, XW))
    col = mix(col, gold(0.55 + 0.35 * fade), dv * (0.25 + 0.6 * fade))
    col = col + hexrgb("#ff7a20") * (blur(dv * fade, 2.5 * S) * 0.5)[..., None]

    def lozenges(d, k):
        for cx in (x0 + 6, x1 - 6, WW / 2):
            cy = 119.2
            r = 3.2
            d.polygon([(cx * k, (cy - r) * k), ((cx + r * 1.4) * k, cy * k), (cx * k, (cy + r) * k),
                       ((cx - r * 1.4) * k, cy * k)], fill=255)
    lz = line_layer(lozenges)
    col = mix(col, gold(0.55 + 0.4 * smoothstep(-2, 2, 119.2 - YW + 1)), lz)
    return col


def corner_ornaments(col):
    """Key-fret brackets in the three free corners of the header and the foot."""
    def fret(d, k, ox, oy, sx, sy):
        # an L-shaped meander, mirrored by (sx, sy)
        w = 1.6
        segs = [((0, 0), (34, 0)), ((0, 0), (0, 34)), ((5, 5), (22, 5)), ((5, 5), (5, 22)),
                ((22, 5), (22, 12)), ((22, 12), (12, 12)), ((12, 12), (12, 22)), ((12, 22), (5, 22))]
        for (ax, ay), (bx, by) in segs:
            d.line([((ox + sx * ax) * k, (oy + sy * ay) * k), ((ox + sx * bx) * k, (oy + sy * by) * k)],
                   fill=255, width=max(1, int(w * k)))

    def draw(d, k):
        fret(d, k, 4, 4, 1, 1)
    m = line_layer(draw)
    hi = np.clip(shift(m, -1, -1) - m, 0, 1)
    col = mix(col, gold(0.62), m)
    col = col + hexrgb("#fff0b0") * (hi * 0.25)[..., None]
    col = col + hexrgb("#ff7a20") * (blur(m, 3 * S) * 0.35)[..., None]
    return col


def button_tray(col):
    """A recessed dark plate under the minimise and close buttons."""
    def tray(d, k):
        d.rounded_rectangle([927 * k, 3 * k, 977 * k, 29 * k], radius=6 * k, fill=255)
    t = line_layer(tray)
    sh = blur(t, 3 * S)
    col = col * (1 - 0.5 * sh)[..., None]
    inside = ramp(YW, [(3, "#1a0c08"), (29, "#070303")])
    col = mix(col, inside, t * 0.92)

    def tray_rim(d, k):
        d.rounded_rectangle([927 * k, 3 * k, 977 * k, 29 * k], radius=6 * k, outline=255, width=int(1.2 * k))
    r = line_layer(tray_rim)
    col = mix(col, gold(0.45 + 0.4 * (1 - smoothstep(3, 29, YW))), r * 0.9)
    return col


def main():
    col = sky()
    col = mountains(col)
    col = col + sparks(520, (0, 300, WW, WH), seed=11)
    col = col + sparks(160, (0, 120, WW, 700), size=(0.4, 1.0), bright=(0.3, 0.7), seed=12)
    col = header(col)
    col = col + sparks(36, (0, 2, WW, 84), size=(0.35, 0.9), bright=(0.25, 0.6),
                       avoid=[(84, 16, 886, 88)], seed=13)
    col = frame(col)
    col = corner_ornaments(col)
    col = button_tray(col)
    # a vignette towards the bottom corners
    v = ((XW - WW / 2) / (WW * 0.62)) ** 2 + ((YW - WH * 0.45) / (WH * 0.75)) ** 2
    col = col * (1 - 0.35 * smoothstep(0.6, 1.3, v))[..., None]
    out = resize_f(np.clip(col, 0, 1.2), OUTW, OUTH, Image.LANCZOS)
    grain = np.random.RandomState(99).rand(OUTH, OUTW).astype(np.float32) - 0.5
    out = out + grain[..., None] * (3.0 / 255.0)
    out = np.clip(out, 0, 1)
    save_png(layer(out, np.ones((OUTH, OUTW), np.float32)), f"{OUT}/background.png")


if __name__ == "__main__":
    main()
