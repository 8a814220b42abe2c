#!/usr/bin/env python3
"""Writes small files that claim very large pictures, for memory measurements and as
fuzz seeds:

  rle8-16000.bmp     1,080-byte RLE8 bitmap of 16000 x 16000 (only an end-of-bitmap code)
  screen-16000.gif   35-byte GIF, 16000 x 16000 screen, one 1 x 1 frame (valid)
  frame-16000.gif    35-byte GIF whose 16000 x 16000 frame has two bytes of LZW data
  sof-16000.jpg      a small JPEG whose frame header says 16000 x 16000 (data ends early)
  sof-60000.jpg      the same saying 60000 x 60000 (over the pixel limit)

  bench/crafted_inputs.py FOLDER     (needs cjpeg for the JPEG files)
"""
import os
import random
import struct
import subprocess
import sys


def rle8_bmp(width, height):
    palette = b"".join(bytes((i, i, i, 0)) for i in range(256))
    pixels = b"\x00\x01"  # end of bitmap: every pixel keeps palette entry 0
    offset = 14 + 40 + len(palette)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 1, len(pixels), 2835, 2835, 256, 0)
    head = b"BM" + struct.pack("<IHHI", offset + len(pixels), 0, 0, offset)
    return head + info + palette + pixels


def gif(screen, frame):
    out = b"GIF89a" + struct.pack("<HHBBB", screen, screen, 0x80, 0, 0)
    out += b"\x00\x00\x00\xff\xff\xff"  # two colours
    out += b"," + struct.pack("<HHHHB", 0, 0, frame, frame, 0)
    # code size 2: clear, index 0, end of information, as 3-bit codes
    out += b"\x02\x02\x44\x01\x00;"
    return out


def jpeg_claiming(side, folder):
    random.seed(14)
    w = h = 70
    ppm = b"P6 %d %d 255\n" % (w, h) + bytes(random.randrange(256) for _ in range(w * h * 3))
    data = subprocess.run(["cjpeg", "-quality", "90"], input=ppm, capture_output=True,
                          check=True).stdout
    sof = data.index(b"\xff\xc0")
    return data[:sof + 5] + struct.pack(">HH", side, side) + data[sof + 9:]


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else "."
    os.makedirs(folder, exist_ok=True)
    files = {
        "rle8-16000.bmp": rle8_bmp(16000, 16000),
        "screen-16000.gif": gif(16000, 1),
        "frame-16000.gif": gif(16000, 16000),
        "sof-16000.jpg": jpeg_claiming(16000, folder),
        "sof-60000.jpg": jpeg_claiming(60000, folder),
    }
    for name, data in files.items():
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)
        print(name, len(data))


if __name__ == "__main__":
    main()
