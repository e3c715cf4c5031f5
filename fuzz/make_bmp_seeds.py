#!/usr/bin/env python3
"""Writes a small seed corpus of BMP variants for bmp_fuzz into the folder given (default: seeds/)."""
import os
import struct
import sys


def file_header(total, offset):
    return b"BM" + struct.pack("<IHHI", total, 0, 0, offset)


def info_header(size, w, h, bpp, compression=0, image=0, used=0, masks=None):
    hdr = struct.pack("<IiiHHIIiiII", size, w, h, 1, bpp, compression, image, 2834, 2834, used, 0)
    if size > 40:
        extra = b""
        if masks:
            extra += struct.pack("<III", *masks[:3]) + struct.pack("<I", masks[3] if len(masks) > 3 else 0)
        extra = extra.ljust(size - 40, b"\0")
        hdr += extra
    return hdr


def rows(w, h, bpp, pixel):
    stride = (w * bpp + 31) // 32 * 4
    out = b""
    for y in range(h):
        bits = 0
        nbits = 0
        row = bytearray()
        for x in range(w):
            v = pixel(x, y)
            if bpp < 8:
                bits = (bits << bpp) | v
                nbits += bpp
                if nbits == 8:
                    row.append(bits)
                    bits = nbits = 0
            else:
                row += v.to_bytes(bpp // 8, "little")
        if nbits:
            row.append(bits << (8 - nbits))
        out += bytes(row).ljust(stride, b"\0")
    return out


def build(header, palette, data):
    offset = 14 + len(header) + len(palette)
    return file_header(offset + len(data), offset) + header + palette + data


def palette(n, entry=4):
    out = b""
    for i in range(n):
        e = bytes([(i * 37) & 255, (i * 91) & 255, (i * 13) & 255])
        out += e + (b"\0" if entry == 4 else b"")
    return out


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else "seeds"
    os.makedirs(folder, exist_ok=True)
    w, h = 7, 5
    seeds = {}
    for bpp in (1, 4, 8):
        n = 1 << bpp
        seeds[f"pal{bpp}.bmp"] = build(info_header(40, w, h, bpp), palette(n),
                                       rows(w, h, bpp, lambda x, y: (x + y) % n))
    seeds["short_palette8.bmp"] = build(info_header(40, w, h, 8, used=3), palette(3),
                                        rows(w, h, 8, lambda x, y: (x * y) % 5))
    seeds["rgb555.bmp"] = build(info_header(40, w, h, 16), b"", rows(w, h, 16, lambda x, y: x * 1234 + y * 77))
    seeds["bitfields565.bmp"] = build(info_header(40, w, h, 16, 3), struct.pack("<III", 0xF800, 0x07E0, 0x001F),
                                      rows(w, h, 16, lambda x, y: (x * 5000 + y * 333) & 0xFFFF))
    seeds["rgb24.bmp"] = build(info_header(40, w, h, 24), b"", rows(w, h, 24, lambda x, y: x * 0x10203 + y * 0x70000))
    seeds["rgb32_topdown.bmp"] = build(info_header(40, w, -h, 32), b"", rows(w, h, 32, lambda x, y: x * 0x112233 + y))
    seeds["v4_bitfields32.bmp"] = build(info_header(108, w, h, 32, 3, masks=(0xFF00, 0xFF0000, 0xFF000000, 0xFF)),
                                        b"", rows(w, h, 32, lambda x, y: (x * 0x1020304 + y * 0x50607) & 0xFFFFFFFF))
    seeds["v5_rgb24.bmp"] = build(info_header(124, w, h, 24), b"", rows(w, h, 24, lambda x, y: x * 0x30201 + y))
    core = struct.pack("<IHHHH", 12, w, h, 1, 8)
    seeds["core8.bmp"] = build(core, palette(256, 3), rows(w, h, 8, lambda x, y: x + 16 * y))
    rle8 = bytes([3, 1, 0, 3, 2, 3, 4, 0, 0, 0, 2, 2, 1, 5, 9, 0, 0, 0, 1])
    seeds["rle8.bmp"] = build(info_header(40, w, h, 8, 1, len(rle8)), palette(16), rle8)
    rle4 = bytes([5, 0x12, 0, 5, 0x34, 0x56, 0x70, 0, 0, 0, 0, 2, 1, 1, 4, 0x9A, 0, 1])
    seeds["rle4.bmp"] = build(info_header(40, w, h, 4, 2, len(rle4)), palette(16), rle4)
    for name, data in seeds.items():
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
