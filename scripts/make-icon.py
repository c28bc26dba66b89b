#!/usr/bin/env python3
"""Writes the programs' icon (cmake/resources/sevrik.ico): images of 16, 24, 32, 48 and 256
pixels, 32-bit with alpha, of a blue document with a white fold and three text lines and a
green arrow, drawn here so that the icon has no source but this script. The small images are
bitmaps; the 256-pixel one is a PNG inside the icon, as Windows keeps its large images. The
same bytes every run:
  scripts/make-icon.py [output] [--preview folder]   (--preview: each image also as icon-<n>.png)"""
import struct
import sys
import zlib

SIZES = [16, 24, 32, 48, 256]
PNG_FROM = 256  # images of this size and larger are stored as PNG


def colour(x, y, n):
    """The colour (B, G, R, A) at a point (x, y) of the n x n image, in pixels from the top
    left. The drawing is laid out on 32 units; its straight edges fall on whole pixels at every
    size, so that only the slanted ones are smoothed."""
    def u(units):
        return round(units * n / 32)
    t = max(1, u(1))  # the width of an outline
    dark, green, outline = (140, 70, 20, 255), (40, 160, 40, 255), (20, 100, 20, 255)
    # The arrow, green, pointing right at the bottom right, in front of the page.
    yc, xs, xb, xt = u(24) + 0.5 * (n % 2), u(15), u(24), u(31)
    hs, hb = max(1, u(2.2)), 6 * n / 32

    def arrow(inset):
        shaft = xs + inset <= x < xb + inset + 1 and abs(y - yc) < hs - inset
        head = xb + inset <= x and abs(y - yc) < hb * (xt - x) / (xt - xb) - 1.3 * inset
        return shaft or head
    if arrow(0):
        return green if n < 24 or arrow(t) else outline
    # The page, with its top right corner folded over.
    left, right, top, bottom = u(6), u(24), u(3), u(29)
    fold = u(6)
    if left <= x < right and top <= y < bottom:
        dx, dy = x - (right - fold), y - top
        if dx > dy:
            return (0, 0, 0, 0)
        if x < left + t or x >= right - t or y < top + t or y >= bottom - t or (dx >= 0 and dy - dx < 1.4 * t):
            return dark
        if dx >= 0 and dy < fold:  # the flap
            return dark if dx < t or dy >= fold - t else (230, 205, 180, 255)
        if u(9) <= x < u(21) and any(u(l) <= y < u(l) + max(1, u(1.6)) for l in (11, 15, 19)):
            return (170, 110, 60, 255)
        return (255, 250, 245, 255)
    return (0, 0, 0, 0)


def pixel(x, y, n):
    """The colour of a pixel of the n x n image: the mean of 4 x 4 points within it."""
    k = 4
    total = [0, 0, 0, 0]
    for j in range(k):
        for i in range(k):
            b, g, r, a = colour(x + (i + 0.5) / k, y + (j + 0.5) / k, n)
            total[0] += b * a
            total[1] += g * a
            total[2] += r * a
            total[3] += a
    if total[3] == 0:
        return (0, 0, 0, 0)
    return tuple(round(c / total[3]) for c in total[:3]) + (round(total[3] / (k * k)),)


def rows(n):
    """The image's rows from the top, each as B, G, R, A bytes."""
    return [b"".join(struct.pack("4B", *pixel(x, y, n)) for x in range(n)) for y in range(n)]


def bitmap(n, top_down):
    """A 32-bit DIB with its (empty) AND mask, rows from the bottom up, as icons keep them."""
    xor = b"".join(reversed(top_down))
    mask_row = ((n + 31) // 32) * 4
    mask = bytes(mask_row * n)  # the alpha channel tells transparency
    header = struct.pack("<IiiHHIIiiII", 40, n, 2 * n, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return header + xor + mask


def png(n, top_down):
    """A PNG of the image (RGBA, 8 bits a channel), compressed with a fixed level."""
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    raw = b""
    for row in top_down:
        rgba = bytearray(row)
        rgba[0::4], rgba[2::4] = row[2::4], row[0::4]  # B, G, R, A to R, G, B, A
        raw += b"\0" + bytes(rgba)  # filter type 0 on every row
    header = struct.pack(">IIBBBBB", n, n, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) +
            chunk(b"IEND", b""))


def main():
    args = sys.argv[1:]
    preview = None
    if "--preview" in args:
        at = args.index("--preview")
        preview = args[at + 1]
        del args[at:at + 2]
    out = args[0] if args else "cmake/resources/sevrik.ico"
    images = []
    for n in SIZES:
        top_down = rows(n)
        images.append(png(n, top_down) if n >= PNG_FROM else bitmap(n, top_down))
        if preview:
            with open(f"{preview}/icon-{n}.png", "wb") as f:
                f.write(png(n, top_down))
    data = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for n, img in zip(SIZES, images):
        side = n if n < 256 else 0  # 0 stands for 256
        data += struct.pack("<BBBBHHII", side, side, 0, 0, 1, 32, len(img), offset)
        offset += len(img)
    with open(out, "wb") as f:
        f.write(data + b"".join(images))


if __name__ == "__main__":
    main()
