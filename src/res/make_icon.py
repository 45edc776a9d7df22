#!/usr/bin/env python3
"""Draws the program's icon and writes it as a .ico: a sunny disc with a playful "Z",
at 48, 32, 24 and 16 pixels, each at 32 bits (with alpha) and at 24 bits."""
import math
import struct
import sys

SIZES = (48, 32, 24, 16)


def shade(u, v):
    """Colour and coverage at (u, v) in [0, 1]^2: an orange disc, a cream "Z" on it."""
    dx, dy = u - 0.5, v - 0.5
    r = math.hypot(dx, dy)
    if r > 0.47:
        return (0, 0, 0), 0.0
    # Warm radial gradient, lighter towards the top left.
    t = max(0.0, min(1.0, 0.5 + (dx + dy) * 0.9))
    base = (int(255 - 25 * t), int(196 - 80 * t), int(60 - 40 * t))
    # The "Z": top bar, diagonal, bottom bar.
    top = 0.27 <= v <= 0.38 and 0.26 <= u <= 0.74
    bottom = 0.62 <= v <= 0.73 and 0.26 <= u <= 0.74
    # Diagonal from (0.70, 0.36) to (0.30, 0.64).
    ax, ay, bx, by = 0.70, 0.36, 0.30, 0.64
    px, py = u - ax, v - ay
    qx, qy = bx - ax, by - ay
    k = max(0.0, min(1.0, (px * qx + py * qy) / (qx * qx + qy * qy)))
    dist = math.hypot(px - k * qx, py - k * qy)
    diagonal = dist <= 0.06
    if top or bottom or diagonal:
        return (255, 248, 225), 1.0
    # A thin darker rim gives the disc an edge at small sizes.
    if r > 0.43:
        return (200, 90, 20), 1.0
    return base, 1.0


def render(size):
    """Returns rows top-down of (r, g, b, a), 4x4 supersampled."""
    rows = []
    n = 4
    for y in range(size):
        row = []
        for x in range(size):
            acc = [0.0, 0.0, 0.0]
            cover = 0.0
            for sy in range(n):
                for sx in range(n):
                    (r, g, b), a = shade((x + (sx + 0.5) / n) / size, (y + (sy + 0.5) / n) / size)
                    acc[0] += r * a
                    acc[1] += g * a
                    acc[2] += b * a
                    cover += a
            if cover > 0:
                px = tuple(int(round(c / cover)) for c in acc)
            else:
                px = (0, 0, 0)
            row.append(px + (int(round(255 * cover / (n * n))),))
        rows.append(row)
    return rows


def dib(rows, bpp):
    size = len(rows)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bpp, 0, 0, 0, 0, 0, 0)
    stride = ((size * bpp // 8) + 3) & ~3
    xor = bytearray()
    for row in reversed(rows):  # bottom-up
        line = bytearray()
        for r, g, b, a in row:
            if bpp == 32:
                line += bytes((b, g, r, a))
            elif a >= 128:
                line += bytes((b, g, r))
            else:
                line += bytes((0, 0, 0))
        line += bytes(stride - len(line))
        xor += line
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a < 128:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + bytes(xor) + bytes(mask)


def main(out_path):
    images = []
    for size in SIZES:
        rows = render(size)
        for bpp in (32, 24):
            images.append((size, bpp, dib(rows, bpp)))
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for size, bpp, data in images:
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, bpp, len(data), offset)
        offset += len(data)
    for _, _, data in images:
        out += data
    with open(out_path, "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main(sys.argv[1])
