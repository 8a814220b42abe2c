#!/usr/bin/env python3
"""Writes small crafted pictures (for fuzzing, and for bench/budget.sh) that lie about their size or end early, one folder per
fuzz target, so each fuzzing session starts from the inputs that once cost gigabytes or
slipped through silently. Usage: make_seeds.py OUTDIR"""
import os
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
SAMPLE_JPEG = os.path.join(HERE, "..", "..", "tests", "data", "jpeg", "libjpeg-turbo", "testorig.jpg")


def rle8_bmp(width, height):
    """An RLE8 bitmap with a full palette whose only data is 'end of bitmap'."""
    palette = bytes(1024)
    data = b"\x00\x01"
    offset = 14 + 40 + len(palette)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 1, len(data), 2835, 2835, 256, 0)
    head = b"BM" + struct.pack("<IHHI", offset + len(data), 0, 0, offset)
    return head + info + palette + data


def gif(screen, frame):
    """A two-colour GIF of the given screen side whose one frame has two bytes of LZW data:
    enough for a 1 x 1 frame, far too little for a big one."""
    out = b"GIF89a" + struct.pack("<HHBBB", screen, screen, 0x80, 0, 0)
    out += b"\x00\x00\x00\xff\xff\xff"
    out += b"," + struct.pack("<HHHHB", 0, 0, frame, frame, 0)
    return out + b"\x02\x02\x44\x01\x00;"  # code size 2: clear, index 0, end


def jpeg_frame_at(width, height):
    """The sample JPEG with its frame header claiming another size."""
    data = bytearray(open(SAMPLE_JPEG, "rb").read())
    i = 2
    while i + 4 <= len(data):
        marker, length = data[i + 1], struct.unpack(">H", data[i + 2 : i + 4])[0]
        if marker in (0xC0, 0xC1, 0xC2):
            data[i + 5 : i + 9] = struct.pack(">HH", height, width)
            return bytes(data)
        i += 2 + length
    raise SystemExit("no frame header in " + SAMPLE_JPEG)


def main():
    if len(sys.argv) != 2:
        raise SystemExit(__doc__)
    out = sys.argv[1]
    sample = open(SAMPLE_JPEG, "rb").read()
    seeds = {
        "bmp/rle8-16000.bmp": rle8_bmp(16000, 16000),
        "bmp/rle8-65535.bmp": rle8_bmp(65535, 65535),
        "gif/screen-16000.gif": gif(16000, 1),
        "gif/screen-65535.gif": gif(65535, 1),
        "gif/frame-16000.gif": gif(16000, 16000),
        "jpeg/sof-16000.jpg": jpeg_frame_at(16000, 16000),
        "jpeg/sof-60000.jpg": jpeg_frame_at(60000, 60000),
        "jpeg/frame-1x1000.jpg": jpeg_frame_at(1, 1000),
        "jpeg/frame-1000x1.jpg": jpeg_frame_at(1000, 1),
        "jpeg/truncated-half.jpg": sample[: len(sample) // 2],
    }
    for target in ("bmp", "gif", "jpeg", "metafile"):
        os.makedirs(os.path.join(out, target), exist_ok=True)
    for name, data in seeds.items():
        path = os.path.join(out, name)
        with open(path, "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
