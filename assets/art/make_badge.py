# badge.gif: the word NEW! in flickering flames, 98 x 46, 10 frames of 70 ms, looping.
# The flame noise is periodic over the 10 frames, so the loop has no seam.
# Usage: make_badge.py OUTDIR
import sys

import numpy as np
from PIL import Image

from artlib import blur, dilate, font, hexrgb, ramp, shift, smoothstep, text_mask

OUT = sys.argv[1] if len(sys.argv) > 1 else "."
W, H, FRAMES = 98, 46, 10
MATTE = hexrgb("#141313")   # the row plate's colour: soft edges are blended into it


def torus_noise(w, h, cell, rng):
    """Smooth noise that tiles in x and y (FFT low-pass of white noise), 0..1."""
    g = rng.randn(h, w)
    fy = np.fft.fftfreq(h)[:, None]
    fx = np.fft.fftfreq(w)[None, :]
    k = np.exp(-((fx * cell) ** 2 + (fy * cell) ** 2) * 2.0)
    n = np.real(np.fft.ifft2(np.fft.fft2(g) * k))
    n = (n - n.mean()) / (n.std() + 1e-9)
    return np.clip(0.5 + 0.18 * n, 0, 1).astype(np.float32)


def sample(tex, x, y):
    """Bilinear lookup with wrap-around."""
    h, w = tex.shape
    x0 = np.floor(x).astype(int)
    y0 = np.floor(y).astype(int)
    fx, fy = x - x0, y - y0
    x0 %= w
    y0 %= h
    x1, y1 = (x0 + 1) % w, (y0 + 1) % h
    return (tex[y0, x0] * (1 - fx) * (1 - fy) + tex[y0, x1] * fx * (1 - fy) +
            tex[y1, x0] * (1 - fx) * fy + tex[y1, x1] * fx * fy)


def bilinear(img, x, y):
    h, w = img.shape
    x = np.clip(x, 0, w - 1.001)
    y = np.clip(y, 0, h - 1.001)
    x0, y0 = np.floor(x).astype(int), np.floor(y).astype(int)
    fx, fy = x - x0, y - y0
    return (img[y0, x0] * (1 - fx) * (1 - fy) + img[y0, x0 + 1] * fx * (1 - fy) +
            img[y0 + 1, x0] * (1 - fx) * fy + img[y0 + 1, x0 + 1] * fx * fy)


def letters():
    f = font("/usr/share/fonts/truetype/dejavu/DejaVuSansCondensed-Bold.ttf", 35)
    text = "NEW!"
    # measure, then place: letters sit low, flames rise above them
    probe = text_mask(text, f, 200, 80, 10, 60)
    cols = np.where(probe.max(axis=0) > 0.05)[0]
    rows = np.where(probe.max(axis=1) > 0.05)[0]
    tw = cols[-1] - cols[0] + 1
    x = (W - tw) / 2.0 - (cols[0] - 10)
    base = 42 - (rows[-1] - 60)
    m = text_mask(text, f, W, H, int(round(x)), int(round(base)))
    # slant a little for motion: shear rows to the right towards the top
    out = np.zeros_like(m)
    top = np.where(m.max(axis=1) > 0.05)[0]
    t0, t1 = top[0], top[-1]
    xs = np.arange(W, dtype=np.float32)
    for yrow in range(H):
        sh = (t1 - yrow) / max(1, t1 - t0) * 2.4 - 1.2
        out[yrow] = np.interp(xs - sh, xs, m[yrow], left=0, right=0)
    return out, t0, t1


def main():
    rng = np.random.RandomState(4711)
    m, top, bottom = letters()
    # two noise fields on a torus; one period of scrolling = the whole loop
    P1, P2 = 60, 40
    n1 = torus_noise(W, P1, 7.0, rng)
    n2 = torus_noise(W, P2, 3.5, rng)
    sway = torus_noise(W, P1, 12.0, rng)
    yy, xx = np.mgrid[0:H, 0:W].astype(np.float32)
    outline = np.clip(dilate(m, 2.2), 0, 1)
    # fuel: the letters smeared upwards, fading with height
    fuel = np.zeros_like(m)
    body = np.clip(dilate(m, 1.0), 0, 1)
    for k in range(0, 22):
        fuel = np.maximum(fuel, shift(body, 0, -k) * (1 - k / 22.0) ** 1.3)
    fuel = blur(fuel, 1.2)
    frames = []
    for t in range(FRAMES):
        ph = t / FRAMES
        a = sample(n1, xx, yy + ph * P1)          # rising turbulence
        b = sample(n2, xx * 1.3, yy + ph * P2 * 2)  # faster fine flicker
        s = sample(sway, xx * 0.5, yy * 0.5 + ph * P1)
        dx = (s - 0.5) * 9.0 * smoothstep(bottom, top - 14, yy)   # the tips sway more
        f = bilinear(fuel, xx + dx, yy + (a - 0.5) * 3.0)
        heat = f * 1.25 - (1 - a) * 0.55 - (1 - b) * 0.30 + 0.28
        heat = np.clip(heat, 0, 1)
        fire = ramp(heat, [(0.0, "#3a0400"), (0.25, "#a81600"), (0.5, "#f04a06"), (0.72, "#ff9a1c"),
                           (0.9, "#ffdc5a"), (1.0, "#fff6c8")])
        falpha = smoothstep(0.18, 0.42, heat)
        # letters: fire gradient, yellow at the top to red at the bottom, with moving hot spots
        grad = ramp((yy - top) / max(1, bottom - top),
                    [(0.0, "#fff6a0"), (0.2, "#ffe040"), (0.5, "#ff9a14"), (0.78, "#f2440a"), (1.0, "#c41800")])
        grad = grad + ((a - 0.5) * 0.25)[..., None] * hexrgb("#ffd080")
        # bevel on the letters
        edge = m - shift(m, 1, 1)
        grad = grad + np.clip(edge, 0, 1)[..., None] * 0.20 - np.clip(-edge, 0, 1)[..., None] * 0.06
        rgb = fire * falpha[..., None]
        alpha = falpha.copy()
        # dark outline over the flames, then the letters
        oc = hexrgb("#2a0300")
        rgb = rgb * (1 - outline[..., None] * 0.95) + oc * outline[..., None] * 0.95
        alpha = np.maximum(alpha, outline * 0.95)
        rgb = rgb * (1 - m[..., None]) + np.clip(grad, 0, 1) * m[..., None]
        alpha = np.maximum(alpha, m)
        # binary transparency: blend soft edges into the row colour, cut the faint rest
        colour = np.where(alpha[..., None] > 1e-4, rgb / np.maximum(alpha[..., None], 1e-4), 0)
        a_cov = np.clip(alpha, 0, 1)[..., None]
        matted = colour * a_cov + MATTE * (1 - a_cov)
        matted = np.where(a_cov > 0.5, colour * np.clip(a_cov * 1.2, 0, 1) + MATTE * (1 - np.clip(a_cov * 1.2, 0, 1)),
                          matted)
        keep = alpha > 0.33
        frames.append((np.clip(matted, 0, 1), keep))

    # one palette for all frames (255 colours + the transparent index 255)
    strip = np.concatenate([f for f, _ in frames], axis=0)
    keep_all = np.concatenate([k for _, k in frames], axis=0)
    pix = (strip[keep_all] * 255 + 0.5).astype(np.uint8)
    probe = Image.fromarray(pix.reshape(1, -1, 3), "RGB")
    pal_img = probe.quantize(colors=255, method=Image.Quantize.MEDIANCUT, dither=Image.Dither.NONE)
    palette = pal_img.getpalette()[:255 * 3]
    palette += [0, 0, 0] * (256 - len(palette) // 3)
    ref = Image.new("P", (1, 1))
    ref.putpalette(palette)
    indexed = []
    for rgbf, keep in frames:
        im = Image.fromarray((rgbf * 255 + 0.5).astype(np.uint8), "RGB")
        idx = np.asarray(im.quantize(palette=ref, dither=Image.Dither.NONE)).copy()
        idx[idx == 255] = 254      # 255 is reserved for transparency
        idx[~keep] = 255
        indexed.append(idx)
    write_gif(f"{OUT}/badge.gif", indexed, palette, delay_cs=7, transparent=255)


def lzw(indices, min_code=8):
    """GIF LZW compression of a flat list of 8-bit indices."""
    clear, end = 1 << min_code, (1 << min_code) + 1
    out, acc, nbits = bytearray(), 0, 0

    def emit(code, size):
        nonlocal acc, nbits
        acc |= code << nbits
        nbits += size
        while nbits >= 8:
            out.append(acc & 0xFF)
            acc >>= 8
            nbits -= 8

    size = min_code + 1
    table = {(i,): i for i in range(clear)}
    nxt = end + 1
    emit(clear, size)
    cur = ()
    for px in indices:
        cand = cur + (px,)
        if cand in table:
            cur = cand
            continue
        emit(table[cur], size)
        if nxt < 4096:
            table[cand] = nxt
            if nxt == (1 << size) and size < 12:
                size += 1
            nxt += 1
        else:
            emit(clear, size)
            table = {(i,): i for i in range(clear)}
            nxt = end + 1
            size = min_code + 1
        cur = (px,)
    if cur:
        emit(table[cur], size)
    emit(end, size)
    if nbits:
        out.append(acc & 0xFF)
    return bytes(out)


def write_gif(path, frames, palette, delay_cs, transparent):
    """GIF89a: global 256-colour table, loops forever, every frame full size,
    disposal 'restore to background', one transparent index."""
    h, w = frames[0].shape
    b = bytearray(b"GIF89a")
    b += w.to_bytes(2, "little") + h.to_bytes(2, "little")
    b += bytes([0xF7, transparent, 0])                      # global table of 256 colours
    b += bytes(palette[:768])
    b += b"\x21\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00"      # loop forever
    for idx in frames:
        b += bytes([0x21, 0xF9, 4, (2 << 2) | 1]) + delay_cs.to_bytes(2, "little") + bytes([transparent, 0])
        b += b"\x2C" + (0).to_bytes(2, "little") * 2 + w.to_bytes(2, "little") + h.to_bytes(2, "little") + b"\x00"
        b += b"\x08"
        data = lzw(idx.reshape(-1).tolist())
        for i in range(0, len(data), 255):
            chunk = data[i:i + 255]
            b += bytes([len(chunk)]) + chunk
        b += b"\x00"
    b += b"\x3B"
    with open(path, "wb") as fh:
        fh.write(bytes(b))


if __name__ == "__main__":
    main()
