# icon.png (256 x 256) and its 128 / 48 px versions: a cracked, carved stone tile
# bearing the brush character 焰 in glowing gold.  Usage: make_icon.py OUTDIR
import sys

import numpy as np
from PIL import Image, ImageDraw, ImageFilter

from artlib import (KAI, blur, dilate, downscale, fbm, font, gold_ramp, hexrgb, layer, over, ramp,
                    rounded_rect_mask, save_png, shift, smoothstep, to_image)

OUT = sys.argv[1] if len(sys.argv) > 1 else "."
SS = 2
N = 256 * SS
rng = np.random.RandomState(880)


def cracks_mask(inside):
    """Branching cracks from the rim inwards, drawn as tapering polylines."""
    im = Image.new("L", (N, N), 0)
    d = ImageDraw.Draw(im)
    r = np.random.RandomState(31)

    def walk(x, y, ang, length, width, depth):
        pts = [(x, y)]
        steps = int(length / (7 * SS))
        for i in range(steps):
            ang += r.normal(0, 0.35)
            step = r.uniform(5, 9) * SS
            x += np.cos(ang) * step
            y += np.sin(ang) * step
            pts.append((x, y))
            if depth < 2 and r.rand() < 0.12:
                walk(x, y, ang + r.choice([-1, 1]) * r.uniform(0.5, 1.1), length * 0.45, width * 0.6, depth + 1)
        for i in range(len(pts) - 1):
            w = max(1, int(round(width * (1 - i / len(pts)) + 0.6)))
            d.line([pts[i], pts[i + 1]], fill=255, width=w)

    starts = [(22, 70, 0.3), (20, 170, -0.2), (80, 20, 1.3), (190, 22, 1.9), (236, 100, 3.3), (234, 200, 2.9),
              (120, 236, -1.4), (60, 234, -1.0), (236, 46, 2.6)]
    for sx, sy, a in starts:
        walk(sx * SS, sy * SS, a, r.uniform(40, 95) * SS, r.uniform(1.6, 2.6) * SS, 0)
    m = np.asarray(im, np.float32) / 255.0
    return m * inside


def main():
    x0, y0, x1, y1, rad = 10, 10, 246, 246, 38
    shape = rounded_rect_mask(N, N, x0 * SS, y0 * SS, x1 * SS, y1 * SS, rad * SS, ss=2)
    # chipped, slightly irregular edge
    chip = fbm(N, N, 9 * SS, rng, octaves=3)
    shape = smoothstep(0.5, 0.5 + 0.08, blur(shape, 1.6 * SS) - (chip - 0.5) * 0.35)
    # distance-like bevel profile: blur of the shape, remapped
    prof = blur(shape, 6 * SS)
    bevel = smoothstep(0.5, 0.98, prof)
    # an inner carved frame (groove) around the face
    g_outer = rounded_rect_mask(N, N, 26 * SS, 26 * SS, 230 * SS, 230 * SS, 24 * SS, ss=2)
    g_inner = rounded_rect_mask(N, N, 31 * SS, 31 * SS, 225 * SS, 225 * SS, 20 * SS, ss=2)
    groove = np.clip(g_outer - g_inner, 0, 1)

    stone_n = fbm(N, N, 70 * SS, rng, octaves=7, persistence=0.55)
    grit = fbm(N, N, 3 * SS, rng, octaves=2)
    pits = smoothstep(0.72, 0.9, fbm(N, N, 5 * SS, rng, octaves=3))
    cracks = cracks_mask(smoothstep(0.6, 0.9, prof))
    crack_soft = blur(cracks, 0.8 * SS)

    bumps = fbm(N, N, 16 * SS, rng, octaves=4, persistence=0.6)
    height = (bevel * 1.0 + stone_n * 0.25 + bumps * 0.10 + grit * 0.05 - pits * 0.05 - crack_soft * 0.55
              - blur(groove, 0.8 * SS) * 0.35)
    gy, gx = np.gradient(blur(height, 0.7 * SS))
    shade = np.tanh((gx + gy) / np.sqrt(2) * 55.0)        # light from the top left

    base = ramp(stone_n, [(0.2, "#2a2725"), (0.5, "#4a4541"), (0.8, "#6a625a")])
    base = base * (0.92 + 0.16 * (grit - 0.5) * 2)[..., None]
    # mottled darker patches and a soot gradient towards the bottom
    yy, xx = np.mgrid[0:N, 0:N].astype(np.float32) / SS
    soot = smoothstep(0.45, 0.85, fbm(N, N, 40 * SS, rng, octaves=5))
    base = base * (1 - 0.35 * soot)[..., None]
    base = base * (1.08 - 0.35 * smoothstep(40, 250, yy))[..., None]
    col = base * (0.78 + 0.55 * shade)[..., None]
    col = col * (1 - 0.65 * cracks)[..., None] * (1 - 0.3 * pits)[..., None]
    col = col * (1 - 0.35 * groove)[..., None]

    # the character: thickened brush strokes, cut into the stone and filled with glowing gold
    im = Image.new("L", (N, N), 0)
    d = ImageDraw.Draw(im)
    f = font(KAI, int(186 * SS))
    d.text((N / 2 + 2 * SS, N / 2 + 4 * SS), "焰", font=f, fill=255, anchor="mm")
    ch = np.asarray(im, np.float32) / 255.0
    ch = np.clip(dilate(ch, 2.8 * SS), 0, 1)
    ch = np.asarray(Image.fromarray((ch * 255).astype(np.uint8)).filter(ImageFilter.GaussianBlur(0.8 * SS)),
                    np.float32) / 255.0
    ch = smoothstep(0.35, 0.65, ch)

    # ember light in the cracks near the character and a hot halo
    halo = blur(ch, 10 * SS)
    col = col + hexrgb("#ff5210") * (np.clip(halo * 1.8, 0, 1) * 0.70)[..., None]
    col = col + hexrgb("#ff8a30") * (np.clip(blur(ch, 4 * SS) * 1.5, 0, 1) * 0.35)[..., None]
    col = col + hexrgb("#ff6a14") * (cracks * np.clip(blur(ch, 26 * SS) * 2.5, 0, 1) * 0.9)[..., None]
    # carved recess: a dark cut slightly larger than the stroke, offset to the top left (inner shadow)
    cut = np.clip(dilate(ch, 1.8 * SS), 0, 1)
    col = col * (1 - 0.85 * cut)[..., None]
    col = col * (1 - 0.5 * np.clip(shift(blur(ch, 2 * SS), 3 * SS, 4 * SS) - ch, 0, 1))[..., None]
    # gold relief
    hch = blur(ch, 2.0 * SS)
    gy, gx = np.gradient(hch)
    sh = np.tanh((gx + gy) / np.sqrt(2) * 14.0 * SS)
    t = np.clip(0.60 + 0.42 * sh, 0, 1)
    gold = gold_ramp(t)
    # hotter towards the bottom: gold above, molten orange below
    vert = smoothstep(60, 215, yy)
    gold = gold * (1 - 0.35 * vert)[..., None] + hexrgb("#ff6a10") * (0.35 * vert * (0.5 + 0.5 * t))[..., None]
    # molten core: hotter, redder deep inside the thick strokes
    core = smoothstep(0.55, 0.95, blur(ch, 5 * SS))
    gold = gold * (1 - 0.25 * core)[..., None] + hexrgb("#ff7a1a") * (0.25 * core)[..., None]
    gold = gold * (0.93 + 0.14 * fbm(N, N, 2 * SS, rng, octaves=2))[..., None]   # cast-metal grain
    gloss = np.clip(sh - 0.6, 0, 1) * 1.5
    gold = gold + gloss[..., None] * hexrgb("#fff6d8") * 0.5
    col = col * (1 - ch)[..., None] + gold * ch[..., None]
    # a thin bright rim of light on the stone's edge and an outer dark edge
    edge_light = np.clip(shape - shift(shape, 2, 2), 0, 1)
    col = col + edge_light[..., None] * 0.18
    col = col * (0.55 + 0.45 * smoothstep(0.5, 0.75, prof))[..., None]
    # warm glow from below
    col = col + hexrgb("#ff4a0a") * (smoothstep(150, 250, yy) * 0.10 * shape)[..., None]

    stone = layer(np.clip(col, 0, 1), shape)
    # drop shadow
    sh_m = shift(blur(shape, 5 * SS), 0, 4 * SS)
    pic = over(stone, layer(hexrgb("#000000"), sh_m * 0.6))
    pic = over(pic, layer(hexrgb("#ff4a10"), np.clip(blur(shape, 8 * SS) - shape, 0, 1) * 0.0))
    small = downscale(pic, 256, 256)
    save_png(small, f"{OUT}/icon.png")
    for s in (128, 48):
        im = to_image(downscale(pic, s, s))
        if s == 48:
            im = im.filter(ImageFilter.UnsharpMask(radius=0.8, percent=60, threshold=0))
        im.save(f"{OUT}/icon-{s}.png", "PNG", optimize=True)


if __name__ == "__main__":
    main()
