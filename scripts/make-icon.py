#!/usr/bin/env python3
"""Writes the programs' icon (cmake/resources/sevrik.ico): a 16x16 and a 32x32 image, 32-bit
with alpha, of a blue document with a white fold and three text lines and a green arrow, drawn
here so that the icon has no source but this script. The same bytes every run:
  scripts/make-icon.py [output]"""
import struct
import sys


def pixel(x, y, n):
    """The colour (B, G, R, A) of a pixel of the n x n image, y counted from the top."""
    s = n / 32.0
    px, py = x / s, y / s
    # The page: 6..24 wide, 3..29 high, with its corner folded.
    if 6 <= px < 24 and 3 <= py < 29:
        if px >= 18 and py < 9 and (px - 18) > (py - 3):
            return (0, 0, 0, 0)
        edge = px < 7 or px >= 23 or py < 4 or py >= 28
        if edge:
            return (140, 70, 20, 255)
        if 9 <= px < 21 and any(l <= py < l + 1.6 for l in (11, 15, 19)):
            return (170, 110, 60, 255)
        return (255, 250, 245, 255)
    # The arrow, green, pointing right at the bottom right.
    if 17 <= px < 31 and 18 <= py < 30:
        cx, cy = px - 17, py - 24
        if cx < 7 and abs(cy) < 2.2:
            return (40, 160, 40, 255)
        if cx >= 7 and abs(cy) < (14 - cx) * 0.85:
            return (40, 160, 40, 255)
    return (0, 0, 0, 0)


def image(n):
    rows = []
    for y in reversed(range(n)):  # bottom-up
        rows.append(b"".join(struct.pack("4B", *pixel(x, y, n)) for x in range(n)))
    xor = b"".join(rows)
    mask_row = ((n + 31) // 32) * 4
    mask = bytes(mask_row * n)  # the alpha channel tells transparency
    header = struct.pack("<IiiHHIIiiII", 40, n, 2 * n, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return header + xor + mask


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else "cmake/resources/sevrik.ico"
    sizes = [16, 32]
    images = [image(n) for n in sizes]
    data = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for n, img in zip(sizes, images):
        data += struct.pack("<BBBBHHII", n, n, 0, 0, 1, 32, len(img), offset)
        offset += len(img)
    with open(out, "wb") as f:
        f.write(data + b"".join(images))


if __name__ == "__main__":
    main()
