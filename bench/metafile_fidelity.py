#!/usr/bin/env python3
"""Fidelity of the metafile player against an independent renderer.

Renders every intact metafile of tests/data/metafile (names not starting with "bad-")
with LibreOffice (headless, PNG at most 400 pixels wide) and with pictorant-batch at the
same size, blurs both lightly (3 x 3 box, to forgive anti-aliasing differences) and
prints per file the PSNR in dB, then the lowest and the median. Needs `soffice`
(Debian: libreoffice-draw); says so and stops when it is missing.

    bench/metafile_fidelity.py [PICTORANT_BATCH] [--keep DIR]
"""
import os, shutil, statistics, struct, subprocess, sys, tempfile, zlib, math, json

HERE = os.path.dirname(os.path.abspath(__file__))
DATA = os.path.join(HERE, "..", "tests", "data", "metafile")
WIDTH = 400


def read_png(path):
    data = open(path, "rb").read()
    assert data[:8] == b"\x89PNG\r\n\x1a\n"
    pos, idat, w = 8, b"", 0
    while pos < len(data):
        n, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + n]
        if kind == b"IHDR":
            w, h, depth, ctype, _, _, interlace = struct.unpack(">IIBBBBB", body)
            assert depth == 8 and interlace == 0 and ctype in (0, 2, 4, 6), (depth, ctype)
        elif kind == b"PLTE":
            raise SystemExit("palette PNG not handled: " + path)
        elif kind == b"IDAT":
            idat += body
        pos += 12 + n
    channels = {0: 1, 2: 3, 4: 2, 6: 4}[ctype]
    raw, stride = zlib.decompress(idat), w * channels
    rows, prev = [], bytearray(stride)
    for y in range(h):
        f = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = line[i - channels] if i >= channels else 0
            b, c = prev[i], prev[i - channels] if i >= channels else 0
            if f == 1: line[i] = (line[i] + a) & 255
            elif f == 2: line[i] = (line[i] + b) & 255
            elif f == 3: line[i] = (line[i] + (a + b) // 2) & 255
            elif f == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        prev = line
        out = []
        for x in range(w):
            px = line[x * channels:(x + 1) * channels]
            if channels <= 2:
                g = px[0]; rgb = (g, g, g); alpha = px[1] if channels == 2 else 255
            else:
                rgb = tuple(px[:3]); alpha = px[3] if channels == 4 else 255
            # Transparent parts stand on white, as the program draws metafiles.
            out.append(tuple((v * alpha + 255 * (255 - alpha)) // 255 for v in rgb))
        rows.append(out)
    return w, h, rows


def read_bmp(path):
    d = open(path, "rb").read()
    off, = struct.unpack_from("<I", d, 10)
    w, h, _, bits = struct.unpack_from("<iiHH", d, 18)
    assert bits == 24
    stride = (w * 3 + 3) & ~3
    rows = []
    for y in range(abs(h)):
        r = y if h < 0 else abs(h) - 1 - y
        line = d[off + r * stride:off + r * stride + w * 3]
        rows.append([(line[3 * x + 2], line[3 * x + 1], line[3 * x]) for x in range(w)])
    return w, abs(h), rows


def blur(w, h, rows):
    out = []
    for y in range(h):
        line = []
        for x in range(w):
            acc, n = [0, 0, 0], 0
            for yy in range(max(0, y - 1), min(h, y + 2)):
                for xx in range(max(0, x - 1), min(w, x + 2)):
                    p = rows[yy][xx]
                    acc[0] += p[0]; acc[1] += p[1]; acc[2] += p[2]; n += 1
            line.append((acc[0] / n, acc[1] / n, acc[2] / n))
        out.append(line)
    return out


def psnr(a, b):
    w, h = min(a[0], b[0]), min(a[1], b[1])
    x, y = blur(a[0], a[1], a[2]), blur(b[0], b[1], b[2])
    se = sum((x[r][c][k] - y[r][c][k]) ** 2 for r in range(h) for c in range(w) for k in range(3))
    mse = se / (3 * w * h)
    return 99.0 if mse == 0 else min(99.0, 10 * math.log10(255 * 255 / mse))


def main():
    args = [a for a in sys.argv[1:]]
    keep = None
    if "--keep" in args:
        keep = args[args.index("--keep") + 1]
        del args[args.index("--keep"):args.index("--keep") + 2]
    batch = args[0] if args else os.path.join(HERE, "..", "build", "app", "pictorant-batch")
    soffice = shutil.which("soffice")
    if not soffice:
        sys.exit("LibreOffice (soffice) is not installed: apt-get install libreoffice-draw")
    work = keep or tempfile.mkdtemp()
    os.makedirs(work, exist_ok=True)
    filt = 'png:draw_png_Export:{"PixelWidth":{"type":"long","value":"%d"}}' % WIDTH
    scores = []
    for kind in ("emf", "wmf"):
        for name in sorted(os.listdir(os.path.join(DATA, kind))):
            if name.startswith("bad-"):
                continue
            src = os.path.join(DATA, kind, name)
            stem = os.path.splitext(name)[0]
            lo = os.path.join(work, "lo")
            os.makedirs(lo, exist_ok=True)
            subprocess.run([soffice, "--headless", "-env:UserInstallation=file://" + work + "/profile",
                            "--convert-to", filt, "--outdir", lo, src],
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=120)
            png = os.path.join(lo, stem + ".png")
            if not os.path.exists(png):
                print("%-44s  LibreOffice made nothing" % name, flush=True)
                continue
            ref = read_png(png)
            out = os.path.join(work, "ours", kind)
            shutil.rmtree(out, ignore_errors=True)
            os.makedirs(out)
            subprocess.run([batch, "thumbnails", "--type", "bmp", "--resize", "fast", "--no-ratio",
                            "--width", str(ref[0]), "--height",
                            str(ref[1]), "--qualifier", "", "--naming", "PreName", "--input",
                            os.path.dirname(src), "--output", out, name],
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=300)
            made = [f for f in os.listdir(out) if f.lower().endswith(".bmp")]
            if not made:
                print("%-44s  pictorant made nothing" % name, flush=True)
                continue
            score = psnr(ref, read_bmp(os.path.join(out, made[0])))
            scores.append((score, kind + "/" + name))
            print("%-44s  %5.1f dB  (%d x %d)" % (kind + "/" + name, score, ref[0], ref[1]), flush=True)
    if scores:
        values = sorted(s for s, _ in scores)
        print("\n%d files: lowest %.1f dB (%s), median %.1f dB" %
              (len(values), values[0], min(scores)[1], statistics.median(values)))
    if not keep:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
