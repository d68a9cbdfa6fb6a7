# Small image toolkit for the Tandrel artwork: float RGBA layers (premultiplied),
# blurs, noise, masks from fonts and shapes. numpy + Pillow only.
import numpy as np
from PIL import Image, ImageDraw, ImageFont

SANS = "/usr/share/fonts/opentype/noto/NotoSansCJK-Bold.ttc"
SERIF = "/usr/share/fonts/opentype/noto/NotoSerifCJK-Bold.ttc"
KAI = "/usr/share/fonts/truetype/arphic/ukai.ttc"
LATIN_BOLD = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"
LATIN_BOLD_OBL = "/usr/share/fonts/truetype/dejavu/DejaVuSansCondensed-BoldOblique.ttf"
SC = 2  # index of the Simplified Chinese face in the Noto CJK collections


def font(path, size, index=None):
    if index is None:
        index = SC if "Noto" in path else 0
    return ImageFont.truetype(path, size, index=index)


# ---------------------------------------------------------------- blurs

def _box1d(a, r, axis):
    if r <= 0:
        return a
    pad = [(0, 0)] * a.ndim
    pad[axis] = (r + 1, r)
    p = np.pad(a, pad, mode="edge")
    c = np.cumsum(p, axis=axis, dtype=np.float64)
    n = a.shape[axis]
    hi = np.take(c, np.arange(2 * r + 1, 2 * r + 1 + n), axis=axis)
    lo = np.take(c, np.arange(0, n), axis=axis)
    return ((hi - lo) / (2 * r + 1)).astype(np.float32)


def _kernel1d(a, sigma, axis):
    rad = int(np.ceil(3 * sigma))
    x = np.arange(-rad, rad + 1, dtype=np.float32)
    k = np.exp(-0.5 * (x / sigma) ** 2)
    k /= k.sum()
    pad = [(0, 0)] * a.ndim
    pad[axis] = (rad, rad)
    p = np.pad(a, pad, mode="edge")
    n = a.shape[axis]
    out = np.zeros_like(a, dtype=np.float32)
    for i, w in enumerate(k):
        out += w * np.take(p, np.arange(i, i + n), axis=axis)
    return out


def blur(a, sigma, sigma_y=None):
    """Gaussian-like blur of a float array (H, W) or (H, W, C)."""
    a = np.asarray(a, dtype=np.float32)
    sy = sigma if sigma_y is None else sigma_y
    for axis, s in ((1, sigma), (0, sy)):
        if s <= 0:
            continue
        if s < 4:
            a = _kernel1d(a, s, axis)
        else:
            # three box passes approximate a gaussian
            w = np.sqrt(12 * s * s / 3 + 1)
            r = max(1, int(round((w - 1) / 2)))
            for _ in range(3):
                a = _box1d(a, r, axis)
    return a


def shift(a, dx, dy, fill=0.0):
    """Integer shift of a 2D/3D array, filling with `fill`."""
    out = np.full_like(a, fill)
    h, w = a.shape[:2]
    xs0, xs1 = max(0, -dx), min(w, w - dx)
    ys0, ys1 = max(0, -dy), min(h, h - dy)
    if xs1 > xs0 and ys1 > ys0:
        out[ys0 + dy:ys1 + dy, xs0 + dx:xs1 + dx] = a[ys0:ys1, xs0:xs1]
    return out


def dilate(m, r):
    """Soft round dilation of a mask by radius r (may be fractional)."""
    out = m.copy()
    R = int(np.ceil(r + 0.5))
    for dy in range(-R, R + 1):
        for dx in range(-R, R + 1):
            d = np.hypot(dx, dy)
            w = np.clip(r + 0.5 - d, 0, 1)
            if w <= 0 or (dx == 0 and dy == 0):
                continue
            out = np.maximum(out, shift(m, dx, dy) * w)
    return out


def erode(m, r):
    return 1.0 - dilate(1.0 - m, r)


# ---------------------------------------------------------------- noise

def value_noise(w, h, cell_x, cell_y, rng, wrap_x=False):
    """Smooth isotropic noise in about 0..1 with the given feature size.

    White noise on a grid of half-cell spacing is gaussian-blurred (no grid artefacts)
    and then upsampled bicubically."""
    sx, sy = max(1.0, cell_x / 2.0), max(1.0, cell_y / 2.0)
    gw = int(np.ceil(w / sx)) + 8
    gh = int(np.ceil(h / sy)) + 8
    g = rng.rand(gh, gw).astype(np.float32)
    g = blur(g, 1.0)
    g = (g - 0.5) / (g.std() + 1e-6) * 0.17 + 0.5
    big = Image.fromarray(g, "F").resize((int(round(gw * sx)), int(round(gh * sy))), Image.BICUBIC)
    a = np.asarray(big)
    ox, oy = int(4 * sx), int(4 * sy)
    return np.clip(a[oy:oy + h, ox:ox + w], 0, 1).copy()


def fbm(w, h, cell, rng, octaves=5, persistence=0.5, stretch=1.0):
    total = np.zeros((h, w), np.float32)
    amp, norm = 1.0, 0.0
    c = float(cell)
    for _ in range(octaves):
        total += amp * value_noise(w, h, max(1.0, c * stretch), max(1.0, c), rng)
        norm += amp
        amp *= persistence
        c /= 2.0
        if c < 1.0:
            break
    total = total / norm
    # normalise the contrast: mean 0.5, standard deviation 0.16
    return np.clip((total - total.mean()) / (total.std() + 1e-6) * 0.16 + 0.5, 0, 1)


def noise1d(n, cell, rng, octaves=5, persistence=0.5):
    return fbm(n, 1, cell, rng, octaves, persistence)[0]


def smoothstep(e0, e1, x):
    t = np.clip((x - e0) / (e1 - e0), 0, 1)
    return t * t * (3 - 2 * t)


# ---------------------------------------------------------------- colour

def hexrgb(h):
    h = h.lstrip("#")
    return np.array([int(h[i:i + 2], 16) / 255.0 for i in (0, 2, 4)], np.float32)


def ramp(t, stops):
    """Map t (array) through colour stops [(pos, '#rrggbb'), ...] -> (..., 3)."""
    t = np.asarray(t, np.float32)
    pos = np.array([p for p, _ in stops], np.float32)
    cols = np.stack([hexrgb(c) for _, c in stops])
    out = np.empty(t.shape + (3,), np.float32)
    for ch in range(3):
        out[..., ch] = np.interp(t, pos, cols[:, ch])
    return out


def vgrad(h, w, stops, y0=0.0, y1=None):
    """Vertical gradient (h, w, 3) from stops over rows y0..y1."""
    y1 = h - 1 if y1 is None else y1
    t = (np.arange(h, dtype=np.float32) - y0) / max(1e-6, (y1 - y0))
    col = ramp(np.clip(t, 0, 1), stops)
    return np.repeat(col[:, None, :], w, axis=1)


# ---------------------------------------------------------------- layers

def layer(rgb, alpha):
    """Premultiplied RGBA layer from colour (h,w,3 or 3,) and alpha (h,w)."""
    alpha = np.clip(np.asarray(alpha, np.float32), 0, 1)
    rgb = np.broadcast_to(np.asarray(rgb, np.float32), alpha.shape + (3,))
    return np.concatenate([rgb * alpha[..., None], alpha[..., None]], axis=-1)


def over(top, bottom):
    return top + bottom * (1.0 - top[..., 3:4])


def add_light(base, rgb, amount):
    """Additive light on a premultiplied layer (only where it is opaque)."""
    out = base.copy()
    a = np.asarray(amount, np.float32)[..., None]
    out[..., :3] = out[..., :3] + np.asarray(rgb, np.float32) * a * base[..., 3:4]
    return out


def empty(h, w):
    return np.zeros((h, w, 4), np.float32)


def to_image(p):
    p = np.clip(p, 0, 1)
    a = p[..., 3:4]
    rgb = np.where(a > 1e-6, p[..., :3] / np.maximum(a, 1e-6), 0)
    rgb = np.clip(rgb, 0, 1)
    out = np.concatenate([rgb, a], axis=-1)
    return Image.fromarray((out * 255.0 + 0.5).astype(np.uint8), "RGBA")


def from_image(im):
    a = np.asarray(im.convert("RGBA"), np.float32) / 255.0
    a[..., :3] *= a[..., 3:4]
    return a


def downscale(p, w, h):
    """Area-average a premultiplied float layer to (w, h)."""
    chans = [np.asarray(Image.fromarray(p[..., c], "F").resize((w, h), Image.BOX)) for c in range(p.shape[2])]
    return np.stack(chans, axis=-1).astype(np.float32)


def resize_f(a, w, h, method=Image.BICUBIC):
    if a.ndim == 2:
        return np.asarray(Image.fromarray(a.astype(np.float32), "F").resize((w, h), method)).astype(np.float32)
    return np.stack([resize_f(a[..., c], w, h, method) for c in range(a.shape[2])], axis=-1)


def save_png(p, path):
    to_image(p).save(path, "PNG", optimize=True)


# ---------------------------------------------------------------- masks

def text_mask(text, fnt, w, h, x, y, spacing=0.0, anchor="ls"):
    """Antialiased text coverage (h, w) in 0..1; `spacing` adds pixels between glyphs."""
    im = Image.new("L", (w, h), 0)
    d = ImageDraw.Draw(im)
    if spacing == 0:
        d.text((x, y), text, font=fnt, fill=255, anchor=anchor)
    else:
        cx = x
        for ch in text:
            d.text((cx, y), ch, font=fnt, fill=255, anchor=anchor)
            cx += fnt.getlength(ch) + spacing
    return np.asarray(im, np.float32) / 255.0


def text_width(text, fnt, spacing=0.0):
    return sum(fnt.getlength(c) for c in text) + spacing * (len(text) - 1)


def shape_mask(w, h, ss, draw_fn):
    """Draw with ImageDraw at `ss` times the size and area-average down: smooth edges."""
    im = Image.new("L", (w * ss, h * ss), 0)
    draw_fn(ImageDraw.Draw(im), ss)
    im = im.resize((w, h), Image.BOX)
    return np.asarray(im, np.float32) / 255.0


def rounded_rect_mask(w, h, x0, y0, x1, y1, r, ss=8):
    def f(d, s):
        d.rounded_rectangle([x0 * s, y0 * s, x1 * s - 1, y1 * s - 1], radius=r * s, fill=255)
    return shape_mask(w, h, ss, f)


def emboss(height, light=(-1.0, -1.0), strength=1.0):
    """Lambert-ish shading from a height map: >0 lit, <0 shadow."""
    gy, gx = np.gradient(height)
    lx, ly = light
    n = np.hypot(lx, ly)
    return -(gx * lx + gy * ly) / n * strength


def gold_ramp(t):
    return ramp(t, [(0.0, "#2a1404"), (0.25, "#6e3e0c"), (0.45, "#b07820"), (0.62, "#e6b04a"),
                    (0.80, "#ffe08e"), (0.92, "#fff6d2"), (1.0, "#ffffff")])


def relief(mask, radius, depth=6.0, light=(-1.0, -1.0)):
    """Shading (-1..1, about) of a blurred mask treated as a height field."""
    h = blur(mask, radius)
    gy, gx = np.gradient(h)
    lx, ly = light
    n = np.hypot(lx, ly)
    return np.tanh(-(gx * lx + gy * ly) / n * depth * radius)


def gold_metal(mask, radius, depth=6.0, base=0.55, gloss=0.25, light=(-1.0, -1.0)):
    """Colour (h, w, 3) of polished gold embossed along the mask's edges."""
    sh = relief(mask, radius, depth, light)
    t = np.clip(base + 0.38 * sh, 0, 1)
    col = gold_ramp(t)
    col = col + gloss * np.clip(sh - 0.55, 0, 1)[..., None] * 2.0
    return np.clip(col, 0, 1.2)
