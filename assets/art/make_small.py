# Small pictures of the Tandrel box: refresh caption, window buttons, row plate,
# the enter-game and web-site buttons.  Usage: make_small.py OUTDIR [SCALE]
# SCALE 2 draws every length twice as long, for screens at 200 %, into NAME@2x.png.
import math
import sys

import numpy as np

from artlib import (SANS, blur, dilate, empty, font, layer, over, rounded_rect_mask,
                    save_png, shape_mask, shift, text_mask, text_width, vgrad, hexrgb)

OUT = sys.argv[1] if len(sys.argv) > 1 else "."
S = int(sys.argv[2]) if len(sys.argv) > 2 else 1  # every length in pixels is drawn S times as long
SUFFIX = "" if S == 1 else f"@{S}x"

GOLD = [(0.00, "#fffbe2"), (0.22, "#ffe48a"), (0.48, "#f6b93a"), (0.70, "#c27a14"), (1.00, "#f0b845")]
OUTLINE = hexrgb("#1e0c03")


def ink_rows(mask):
    rows = np.where(mask.max(axis=1) > 0.05)[0]
    return (rows[0], rows[-1]) if len(rows) else (0, mask.shape[0] - 1)


def gold_glyph(mask, outline_r=1.0, outline_alpha=0.92, shadow=True, stops=GOLD, glow=None):
    """Gold-gradient fill over a dark outline, with a faint top highlight."""
    h, w = mask.shape
    y0, y1 = ink_rows(mask)
    base = empty(h, w)
    if glow is not None:
        col, rad, amt = glow
        g = blur(dilate(mask, 0.6), rad) * amt
        base = over(layer(hexrgb(col), np.clip(g, 0, 1)), base)
    if shadow:
        sh = shift(dilate(mask, outline_r), S, S)
        base = over(layer(OUTLINE * 0.6, sh * 0.55), base)
    out_m = dilate(mask, outline_r)
    base = over(layer(OUTLINE, out_m * outline_alpha), base)
    fill = vgrad(h, w, stops, y0, y1)
    # bevel: brighten the upper-left edges of strokes, darken lower-right
    edge = mask - shift(mask, S, S)
    fill = fill + np.clip(edge, 0, 1)[..., None] * 0.18 - np.clip(-edge, 0, 1)[..., None] * 0.10
    base = over(layer(np.clip(fill, 0, 1), mask), base)
    return base


# ---------------------------------------------------------------- refresh.png

def refresh():
    W, H = 115 * S, 16 * S
    cx, cy, r, sw = 7.6, 8.6, 5.0, 2.0
    a0, a1 = 30.0, 285.0  # PIL angles: degrees clockwise from 3 o'clock

    def draw(d, s):
        s *= S
        d.arc([(cx - r) * s, (cy - r) * s, (cx + r) * s, (cy + r) * s], a0, a1, fill=255, width=int(sw * s))
        # arrow head at the end of the arc, pointing along the turning direction (clockwise)
        t = math.radians(a1)
        px, py = cx + r * math.cos(t), cy + r * math.sin(t)
        tx, ty = -math.sin(t), math.cos(t)  # clockwise tangent
        nx, ny = math.cos(t), math.sin(t)
        L, B = 4.0, 3.3
        tip = (px + tx * L * 0.9, py + ty * L * 0.9)
        p1 = (px + nx * B - tx * 0.6, py + ny * B - ty * 0.6)
        p2 = (px - nx * B - tx * 0.6, py - ny * B - ty * 0.6)
        d.polygon([(tip[0] * s, tip[1] * s), (p1[0] * s, p1[1] * s), (p2[0] * s, p2[1] * s)], fill=255)

    icon = shape_mask(W, H, 8, draw)
    f = font(SANS, 13 * S)
    label = "最新开机信息"
    sp = 1.0 * S
    tx = 19 * S
    txt = text_mask(label, f, W, H, tx, 13 * S, spacing=sp)
    m = np.maximum(icon, txt)
    p = gold_glyph(m, outline_r=1.0 * S)
    # a touch of warm glow behind the arrow
    g = blur(icon, 1.6 * S) * 0.45
    p = over(p, layer(hexrgb("#ff7a1a"), g))
    save_png(p, f"{OUT}/refresh{SUFFIX}.png")
    return tx + text_width(label, f, sp)


# ---------------------------------------------------------------- close.png / minimise.png

def close():
    W = H = 16 * S

    def draw(d, s):
        s *= S
        a, b, wdt = 4.0, 12.0, 2.3
        d.line([(a * s, a * s), (b * s, b * s)], fill=255, width=int(wdt * s))
        d.line([(b * s, a * s), (a * s, b * s)], fill=255, width=int(wdt * s))
        # rounded stroke ends
        for (x, y) in ((a, a), (b, b), (a, b), (b, a)):
            rr = wdt / 2
            d.ellipse([(x - rr) * s, (y - rr) * s, (x + rr) * s, (y + rr) * s], fill=255)

    m = shape_mask(W, H, 8, draw)
    p = gold_glyph(m, outline_r=1.0 * S, glow=("#ff8a20", 1.4 * S, 0.55))
    save_png(p, f"{OUT}/close{SUFFIX}.png")


def minimise():
    W = H = 16 * S
    m = rounded_rect_mask(W, H, 3.5 * S, 9.0 * S, 12.5 * S, 11.6 * S, 1.1 * S)
    p = gold_glyph(m, outline_r=1.0 * S, glow=("#ff8a20", 1.4 * S, 0.55))
    p = p * (128.0 / 255.0)  # at most half opaque
    p[..., 3] = np.floor(p[..., 3] * 255.0 + 1e-4) / 255.0
    save_png(p, f"{OUT}/minimise{SUFFIX}.png")


# ---------------------------------------------------------------- row-plate.png

def row_plate():
    W, H = 950 * S, 36 * S
    rng = np.random.RandomState(36)
    fill = vgrad(H, W, [(0.0, "#1b1a1a"), (0.45, "#141313"), (1.0, "#0e0e0f")], 2 * S, H - 2 * S)
    # very faint brushed texture: horizontal streaks plus fine grain
    streak = rng.rand(H, W // (40 * S) + 2).astype(np.float32)
    from PIL import Image
    streak = np.asarray(Image.fromarray(streak, "F").resize((W + 80 * S, H), Image.BICUBIC))[:, 40 * S:40 * S + W]
    grain = rng.rand(H, W).astype(np.float32)
    fill = fill + ((streak - 0.5) * 0.010 + (grain - 0.5) * 0.008)[..., None]
    # faint warm sheen in the middle, darker towards the ends
    x = np.linspace(-1, 1, W, dtype=np.float32)
    fill = fill * (0.97 + 0.05 * (1 - x * x))[None, :, None]
    fill[..., 0] += 0.004
    rgb = fill
    rgb[S:2 * S, S:-S] = hexrgb("#3b3733") * 0.85 + rgb[S:2 * S, S:-S] * 0.15   # faint light top edge
    rgb[2 * S:3 * S, S:-S] = rgb[2 * S:3 * S, S:-S] * 0.6 + hexrgb("#24221f") * 0.4
    rgb[H - 2 * S:H - S, S:-S] *= 0.75                                      # slight inner shadow at the bottom
    rgb[:S, :] = 0
    rgb[-S:, :] = 0
    rgb[:, :S] = 0
    rgb[:, -S:] = 0
    p = layer(np.clip(rgb, 0, 1), np.ones((H, W), np.float32))
    save_png(p, f"{OUT}/row-plate{SUFFIX}.png")


# ---------------------------------------------------------------- buttons

def plate(W, H, radius, stops, outline, state, text, text_col, text_outline, fsize, text_dy=0.0,
          emboss_col="#fff4cc", name="btn"):
    """A metallic rounded plate with a caption. state: normal / pressed / hot. Sizes at 100 %."""
    W, H, radius, fsize, text_dy = W * S, H * S, radius * S, fsize * S, text_dy * S
    outer = rounded_rect_mask(W, H, 0, 0, W, H, radius)
    inner = rounded_rect_mask(W, H, S, S, W - S, H - S, radius - S)
    gain = {"normal": 1.0, "pressed": 1.0, "hot": 1.12}[state]
    face = vgrad(H, W, stops, 2 * S, H) if state == "pressed" else vgrad(H, W, stops, S, H - 2 * S)
    face = face * gain
    if state == "pressed":
        face = np.clip(face / gain, 0, 1) * hexrgb("#e6c89e")
        yy = np.arange(H, dtype=np.float32)[:, None, None]
        face = face * (1.0 - 0.28 * np.exp(-(yy - S) / (2.5 * S)))  # inner shadow under the top edge
    # horizontal sheen: brighter in the middle
    x = np.linspace(-1, 1, W, dtype=np.float32)
    sheen = (1 - x * x) ** 1.5
    face = face + (0.06 if state != "pressed" else 0.03) * sheen[None, :, None]
    if state == "hot":
        yy, xx = np.mgrid[0:H, 0:W].astype(np.float32)
        glow = np.exp(-(((xx - W / 2) / (W * 0.45)) ** 2 + ((yy - H * 0.45) / (H * 0.6)) ** 2))
        face = face + glow[..., None] * hexrgb("#fff0b0") * 0.22
    # bevel: light inner top edge, dark inner bottom edge
    top_edge = np.clip(inner - shift(inner, 0, S), 0, 1)
    bot_edge = np.clip(inner - shift(inner, 0, -S), 0, 1)
    side_l = np.clip(inner - shift(inner, S, 0), 0, 1)
    side_r = np.clip(inner - shift(inner, -S, 0), 0, 1)
    if state == "pressed":
        face = face - top_edge[..., None] * 0.30 - side_l[..., None] * 0.12
        face = face + bot_edge[..., None] * 0.12
    else:
        face = face + top_edge[..., None] * 0.35 + side_l[..., None] * 0.12
        face = face - bot_edge[..., None] * 0.22 - side_r[..., None] * 0.10
    rng = np.random.RandomState(W // S * 100 + H // S)
    face = face + (rng.rand(H, W).astype(np.float32) - 0.5)[..., None] * 0.025
    p = layer(hexrgb(outline), outer)
    p = over(layer(np.clip(face, 0, 1), inner), p)
    # caption
    f = font(SANS, fsize)
    tw = text_width(text, f)
    tx = (W - tw) / 2.0
    dy = text_dy + (S if state == "pressed" else 0)
    asc = f.getmetrics()[0]
    # centre the ideographs' ink vertically
    probe = text_mask(text, f, W, H * 3, 0, H + asc, anchor="ls")
    r = np.where(probe.max(axis=1) > 0.05)[0]
    ink_top, ink_bot = r[0] - H, r[-1] - H
    base_y = asc + (H - (ink_bot - ink_top + 1)) / 2.0 - ink_top + dy
    tx_i, by_i = int(round(tx)), int(round(base_y))
    m = text_mask(text, f, W, H, tx_i, by_i, anchor="ls")
    # light emboss below, thin light outline, dark text
    if emboss_col:
        p = over(layer(hexrgb(emboss_col), np.clip(shift(m, 0, S) * 0.55 * inner, 0, 1)), p)
    if text_outline:
        col, amt, rad = text_outline
        p = over(layer(hexrgb(col), np.clip(dilate(m, rad * S) * amt * inner, 0, 1)), p)
    tcol = vgrad(H, W, text_col, by_i - (ink_bot - ink_top), by_i)
    p = over(layer(tcol, m * inner), p)
    save_png(p, f"{OUT}/{name}-{state}{SUFFIX}.png")


def enter_game():
    stops_gold = [(0.00, "#fff3bd"), (0.18, "#ffe17c"), (0.46, "#f2b436"), (0.54, "#d48f1c"),
                  (0.80, "#e9a92e"), (1.00, "#ffd36a")]
    for st in ("normal", "pressed", "hot"):
        plate(74, 25, 4, stops_gold, "#3b1c04", st, "进入游戏",
              [(0.0, "#5a1600"), (1.0, "#2a0800")], None, 13, emboss_col="#fff1c2",
              name="enter-game")


def web_site():
    stops_orange = [(0.00, "#ffd49a"), (0.20, "#ffb058"), (0.48, "#fb8a26"), (0.56, "#e26512"),
                    (0.85, "#f07d1e"), (1.00, "#ffaa4a")]
    for st in ("normal", "pressed", "hot"):
        plate(46, 22, 4, stops_orange, "#3d1203", st, "官网",
              [(0.0, "#c8120a"), (1.0, "#8a0200")], ("#ffe6b4", 0.8, 0.8), 14, emboss_col=None,
              name="web-site")


if __name__ == "__main__":
    refresh()
    close()
    minimise()
    row_plate()
    enter_game()
    web_site()
