#!/usr/bin/env python3
"""Writes the icon reader's seed corpus (tests/fuzz/corpus/ico): small valid
icon files with 32-bit, 24-bit + mask and 8-bit palette entries, and a PNG entry."""
import os
import struct
import zlib

HERE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "ico")


def dib(w, h, bits):
    """A bitmap entry: header, palette, colour rows, AND mask (rows bottom-up)."""
    palette = b""
    if bits <= 8:
        palette = b"".join(struct.pack("<BBBB", i * 17 & 255, i * 5 & 255, i * 3 & 255, 0)
                           for i in range(1 << bits))
    stride = (w * bits + 31) // 32 * 4
    rows = bytearray()
    for y in range(h):
        row = bytearray()
        for x in range(w):
            if bits == 32:
                row += bytes([x * 8 & 255, y * 8 & 255, 128, 0 if x == y else 255])
            elif bits == 24:
                row += bytes([x * 8 & 255, y * 8 & 255, 200])
            else:
                row += bytes([(x + y) & 255])
        rows += row + b"\0" * (stride - len(row))
    mstride = (w + 31) // 32 * 4
    mask = bytearray()
    for y in range(h):
        m = bytearray(mstride)
        m[0] = 0x80 if y % 2 else 0
        mask += m
    header = struct.pack("<IiiHHIIiiII", 40, w, 2 * h, 1, bits, 0, 0, 0, 0, 0, 0)
    return header + palette + bytes(rows) + bytes(mask), bits


def png(w, h):
    rows = b"".join(b"\0" + b"".join(bytes([x * 16 & 255, y * 16 & 255, 90, 0 if x == y else 255])
                                     for x in range(w)) for y in range(h))

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(
            ">I", zlib.crc32(kind + data) & 0xFFFFFFFF)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 6, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(rows)) + chunk(b"IEND", b"")), 32


def ico(entries):
    out = struct.pack("<HHH", 0, 1, len(entries))
    offset = 6 + 16 * len(entries)
    body = b""
    for (data, bits), w in entries:
        out += struct.pack("<BBBBHHII", w & 255, w & 255, 0, 0, 1, bits, len(data), offset)
        offset += len(data)
        body += data
    return out + body


def main():
    os.makedirs(HERE, exist_ok=True)
    files = {
        "argb_16_32.ico": ico([(dib(16, 16, 32), 16), (dib(32, 32, 32), 32)]),
        "rgb_mask_16.ico": ico([(dib(16, 16, 24), 16)]),
        "pal8_32.ico": ico([(dib(32, 32, 8), 32)]),
        "png_48_16.ico": ico([(png(48, 48), 48), (dib(16, 16, 4), 16)]),
    }
    for name, data in files.items():
        with open(os.path.join(HERE, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
