#!/usr/bin/env python3
"""Writes the fuzzers' seed corpora: small valid files of every kind each
reader accepts. Needs cjpeg (libjpeg-turbo-progs), ImageMagick's /usr/bin/convert
and a built skinpack. Usage: make_corpus.py <path of skinpack>"""
import os
import struct
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
SKINPACK = sys.argv[1] if len(sys.argv) > 1 else "build/tools/skinpack/skinpack"


def out(target, name, data):
    folder = os.path.join(HERE, target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def picture(w, h):
    """A noisy gradient as RGB rows, top row first."""
    s, rows = 1, []
    for y in range(h):
        row = bytearray()
        for x in range(w):
            s = (s * 1103515245 + 12345) & 0xFFFFFFFF
            n = ((s >> 16) & 31) - 16
            row += bytes([max(0, min(255, x * 255 // w + n)), max(0, min(255, y * 255 // h - n)),
                          max(0, min(255, 128 + 2 * n))])
        rows.append(bytes(row))
    return rows


def ppm(w, h):
    return b"P6\n%d %d\n255\n" % (w, h) + b"".join(picture(w, h))


def run(cmd, data=None):
    return subprocess.run(cmd, input=data, stdout=subprocess.PIPE, check=True).stdout


# ---------------------------------------------------------------- JPEG
src = ppm(17, 13)
for name, opts in [("baseline420", []), ("baseline444", ["-sample", "1x1"]),
                   ("baseline422", ["-sample", "2x1"]), ("progressive", ["-progressive"]),
                   ("grey", ["-grayscale"]), ("arithmetic", ["-arithmetic"]),
                   ("restart", ["-restart", "1B"]), ("optimized", ["-optimize", "-quality", "95"]),
                   ("quality1", ["-quality", "1"])]:
    out("jpeg", name + ".jpg", run(["cjpeg"] + opts, src))
out("jpeg", "one-pixel.jpg", run(["cjpeg"], ppm(1, 1)))
with tempfile.TemporaryDirectory() as tmp:
    p = os.path.join(tmp, "in.ppm")
    with open(p, "wb") as f:
        f.write(src)
    out("jpeg", "cmyk.jpg", run(["/usr/bin/convert", "ppm:" + p, "-strip", "-colorspace", "CMYK", "jpg:-"]))
# An EXIF block in front of the frame, as cameras write it.
base = run(["cjpeg"], src)
tiff = b"MM\x00\x2a\x00\x00\x00\x08" + b"\x00\x01" + struct.pack(">HHII", 0x0112, 3, 1, 1 << 16) + b"\x00\x00\x00\x00"
app1 = b"Exif\x00\x00" + tiff
out("jpeg", "exif.jpg", base[:2] + b"\xff\xe1" + struct.pack(">H", len(app1) + 2) + app1 + base[2:])

# ---------------------------------------------------------------- PNG
with tempfile.TemporaryDirectory() as tmp:
    p = os.path.join(tmp, "in.ppm")
    with open(p, "wb") as f:
        f.write(ppm(9, 7))
    for name, opts in [("rgb8", ["PNG24:"]), ("rgba8", ["-alpha", "set", "PNG32:"]),
                       ("palette", ["PNG8:"]), ("rgb16", ["PNG48:"]), ("rgba16", ["-alpha", "set", "PNG64:"]),
                       ("grey1", ["-colorspace", "Gray", "-depth", "1", "-define", "png:color-type=0", "PNG:"]),
                       ("grey4", ["-colorspace", "Gray", "-depth", "4", "-define", "png:color-type=0", "PNG:"]),
                       ("grey16", ["-colorspace", "Gray", "-depth", "16", "-define", "png:color-type=0", "PNG:"]),
                       ("greyalpha", ["-colorspace", "Gray", "-alpha", "set", "-define", "png:color-type=4", "PNG:"]),
                       ("interlaced", ["-interlace", "PNG", "PNG24:"])]:
        fmt = opts[-1]
        out("png", name + ".png", run(["/usr/bin/convert", "ppm:" + p, "-strip"] + opts[:-1] + [fmt + "-"]))

# ---------------------------------------------------------------- BMP
def bmp(w, h, bits, rows, compression=0, palette=(), masks=(), header=40, top_down=False,
        header_masks=()):
    body = b"".join(struct.pack("<I", m) for m in masks)
    entry = 3 if header == 12 else 4
    body += b"".join(bytes([b, g, r]) + (b"" if entry == 3 else b"\x00") for (r, g, b) in palette)
    data = b"".join(rows)
    offset = 14 + header + len(body)
    if header == 12:
        info = struct.pack("<IHHHH", 12, w, h, 1, bits)
    else:
        info = struct.pack("<IiiHHIIiiII", header, w, -h if top_down else h, 1, bits, compression,
                           len(data), 3780, 3780, len(palette), 0)
        info += b"".join(struct.pack("<I", m) for m in header_masks)
        info += b"\x00" * (header - 40 - 4 * len(header_masks))
    return b"BM" + struct.pack("<IHHI", offset + len(data), 0, 0, offset) + info + body + data


def pad(row):
    return row + b"\x00" * (-len(row) % 4)


W, H = 7, 5
rgb = picture(W, H)[::-1]  # bottom-up
pal16 = [(i * 17, 255 - i * 17, (i * 40) % 256) for i in range(16)]
out("bmp", "rgb24.bmp", bmp(W, H, 24, [pad(bytes(b for x in range(W) for b in r[3 * x:3 * x + 3][::-1])) for r in rgb]))
out("bmp", "topdown24.bmp", bmp(W, H, 24, [pad(bytes(b for x in range(W) for b in r[3 * x:3 * x + 3][::-1])) for r in rgb[::-1]], top_down=True))
out("bmp", "rgb32.bmp", bmp(W, H, 32, [bytes(b for x in range(W) for b in r[3 * x:3 * x + 3][::-1] + bytes([x * 30])) for r in rgb]))
out("bmp", "rgb555.bmp", bmp(W, H, 16, [pad(b"".join(struct.pack("<H", ((r[3*x] >> 3) << 10) | ((r[3*x+1] >> 3) << 5) | (r[3*x+2] >> 3)) for x in range(W))) for r in rgb]))
out("bmp", "rgb565.bmp", bmp(W, H, 16, [pad(b"".join(struct.pack("<H", ((r[3*x] >> 3) << 11) | ((r[3*x+1] >> 2) << 5) | (r[3*x+2] >> 3)) for x in range(W))) for r in rgb], compression=3, masks=(0xF800, 0x07E0, 0x001F)))
out("bmp", "rgba-v4.bmp", bmp(W, H, 32, [bytes(b for x in range(W) for b in r[3 * x:3 * x + 3][::-1] + bytes([255 - x * 30])) for r in rgb], compression=3, header=108,
                               header_masks=(0xFF0000, 0xFF00, 0xFF, 0xFF000000)))
out("bmp", "pal8.bmp", bmp(W, H, 8, [pad(bytes((x + y) % 16 for x in range(W))) for y in range(H)], palette=pal16))
out("bmp", "pal4.bmp", bmp(W, H, 4, [pad(bytes(((x + y) % 16) << 4 | ((x + y + 1) % 16) for x in range(0, W, 2))) for y in range(H)], palette=pal16))
out("bmp", "pal1.bmp", bmp(W, H, 1, [pad(bytes([0b10110100 >> (y % 2)])) for y in range(H)], palette=[(0, 0, 0), (255, 255, 255)]))
out("bmp", "core24.bmp", bmp(W, H, 24, [pad(bytes(b for x in range(W) for b in r[3 * x:3 * x + 3][::-1])) for r in rgb], header=12))
out("bmp", "rle8.bmp", bmp(W, H, 8, [bytes([4, 1, 3, 2, 0, 0, 0, 2, 2, 1, 2, 5, 0, 0, 0, 3, 1, 2, 3, 0, 3, 9, 0, 0, 0, 1])], compression=1, palette=pal16))
out("bmp", "rle4.bmp", bmp(W, H, 4, [bytes([5, 0x12, 2, 0x33, 0, 0, 0, 3, 0x45, 0x60, 0, 0, 0, 2, 1, 1, 6, 0x78, 0, 1])], compression=2, palette=pal16))

# ---------------------------------------------------------------- skin description and container
with open(os.path.join(HERE, "..", "..", "..", "assets", "skins", "office2007-blue", "Options.dat"), "rb") as f:
    options = f.read()
out("skin_description", "builtin-options.dat", options)
small = (b"[GLOBALINFO]\r\nVERSION=5.43\r\nCOLOR=16442322\r\n\r\n[BUTTON]\r\nPARENTCLASS=GLOBALINFO\r\n"
         b"GRADIENTPERCENT=100\r\nGRADIENTDATA=16773091;16771286;45;0;0;16703175;16769741;55;0;0\r\n"
         b"BORDERSMASK=^0021^0013^0024^0016^0001^0001^0001^0001^1^0^1^1\r\nGLYPHMASK=!CHECK.BMP\r\n"
         b"PATTERN=BACK.JPG\r\nBOXMASK=@0219@0056@0258@0069@3@0\r\n")
out("skin_description", "small-options.dat", small)
with tempfile.TemporaryDirectory() as tmp:
    files = []
    for name, data in [("Options.dat", small), ("CHECK.BMP", bmp(W, H, 24, [pad(bytes(21)) for _ in range(H)])),
                       ("BACK.JPG", run(["cjpeg"], ppm(8, 8)))]:
        files.append(os.path.join(tmp, name))
        with open(files[-1], "wb") as f:
            f.write(data)
    target = os.path.join(tmp, "small.nxz")
    subprocess.run([SKINPACK, target] + files, check=True)
    with open(target, "rb") as f:
        out("skin_container", "small.nxz", f.read())

# ---------------------------------------------------------------- gradient
for i, (rect, text) in enumerate([((0, 0, 40, 30), b"16773091;16771286;45;0;0;16703175;16769741;55;0;0"),
                                  ((3, 2, 37, 28), b"$FF0000;$00FF00;100;1;0"),
                                  ((-5, -5, 50, 50), b"255;65280;30;2;0;16711680;255;70;0;0"),
                                  ((0, 0, 40, 30), b";;12;;34;50;0;;0;")]):
    out("gradient", "seed%d" % i, struct.pack("<4h", *rect) + text)
