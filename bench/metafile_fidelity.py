#!/usr/bin/env python3
"""Fidelity of the metafile player against an independent renderer.

Renders every intact metafile of tests/data/metafile (names not starting with "bad-")
with LibreOffice (headless Draw, exported as a BMP page on which the drawing sits at
96 dpi, or shrunk to fit) and with pictorant-batch (a thumbnail whose longest side is
800 pixels). Both are cropped to their drawing (the box of the pixels that are not
white), brought to one size (LibreOffice's crop within 256 x 256, by area averaging),
blurred lightly (3 x 3 box, to forgive anti-aliasing differences) and compared: per file
the PSNR in dB, then the lowest and the median. Needs `soffice` (Debian:
libreoffice-draw); says so and stops when it is missing. LibreOffice's pages are kept
in the work folder, so a second run (another pictorant-batch) reuses them.

    bench/metafile_fidelity.py [PICTORANT_BATCH] [--work DIR]
"""
import math, os, shutil, statistics, struct, subprocess, sys, tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
DATA = os.path.join(HERE, "..", "tests", "data", "metafile")
OURS = 800  # longest side of our rendering
SIDE = 256  # longest side of the compared pictures
WHITE = 245  # a pixel with every channel at or above this is background


def read_bmp(path):
    """(width, height, rows of (r, g, b)) of a 24-bit BMP."""
    d = open(path, "rb").read()
    off, = struct.unpack_from("<I", d, 10)
    w, h, _, bits = struct.unpack_from("<iiHH", d, 18)
    if bits != 24:
        raise SystemExit("%s: %d-bit BMP not handled" % (path, bits))
    stride = (w * 3 + 3) & ~3
    rows = []
    for y in range(abs(h)):
        r = y if h < 0 else abs(h) - 1 - y
        line = d[off + r * stride:off + r * stride + w * 3]
        rows.append([(line[3 * x + 2], line[3 * x + 1], line[3 * x]) for x in range(w)])
    return w, abs(h), rows


def crop(picture):
    """The drawing's part of the picture, or None when all of it is white."""
    w, h, rows = picture
    top = left = None
    bottom = right = -1
    for y, row in enumerate(rows):
        inked = [x for x, p in enumerate(row) if min(p) < WHITE]
        if inked:
            top = y if top is None else top
            bottom = y
            left = inked[0] if left is None else min(left, inked[0])
            right = max(right, inked[-1])
    if top is None:
        return None
    return (right - left + 1, bottom - top + 1,
            [row[left:right + 1] for row in rows[top:bottom + 1]])


def resample(picture, w, h):
    """Area average onto w x h (nearest pixel where the source is the smaller)."""
    sw, sh, rows = picture
    out = []
    for y in range(h):
        y0 = y * sh // h
        y1 = max(y0 + 1, (y + 1) * sh // h)
        line = []
        for x in range(w):
            x0 = x * sw // w
            x1 = max(x0 + 1, (x + 1) * sw // w)
            acc, n = [0, 0, 0], (y1 - y0) * (x1 - x0)
            for yy in range(y0, y1):
                for p in rows[yy][x0:x1]:
                    acc[0] += p[0]; acc[1] += p[1]; acc[2] += p[2]
            line.append((acc[0] / n, acc[1] / n, acc[2] / n))
        out.append(line)
    return w, h, out


def blur(picture):
    w, h, rows = picture
    out = []
    for y in range(h):
        line = []
        for x in range(w):
            acc, n = [0, 0, 0], 0
            for yy in range(max(0, y - 1), min(h, y + 2)):
                for p in rows[yy][max(0, x - 1):min(w, x + 2)]:
                    acc[0] += p[0]; acc[1] += p[1]; acc[2] += p[2]; n += 1
            line.append((acc[0] / n, acc[1] / n, acc[2] / n))
        out.append(line)
    return w, h, out


def psnr(a, b):
    w, h = a[0], a[1]
    se = sum((pa[k] - pb[k]) ** 2 for ra, rb in zip(a[2], b[2]) for pa, pb in zip(ra, rb)
             for k in range(3))
    mse = se / (3 * w * h)
    return 99.0 if mse == 0 else min(99.0, 10 * math.log10(255 * 255 / mse))


def libreoffice_pages(soffice, work, sources):
    """Converts, in one LibreOffice run, the sources whose pages are not yet in work/lo."""
    lo = os.path.join(work, "lo")
    os.makedirs(lo, exist_ok=True)
    page = lambda src: os.path.join(lo, os.path.splitext(os.path.basename(src))[0] + ".bmp")
    missing = [src for src in sources if not os.path.exists(page(src))]
    if missing:
        subprocess.run([soffice, "--headless", "-env:UserInstallation=file://" + work + "/profile",
                        "--convert-to", "bmp:draw_bmp_Export", "--outdir", lo] + missing,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=1800)
    return {src: page(src) for src in sources if os.path.exists(page(src))}


def ours(batch, work, src):
    out = os.path.join(work, "ours")
    shutil.rmtree(out, ignore_errors=True)
    os.makedirs(out)
    subprocess.run([batch, "thumbnails", "--type", "bmp", "--resize", "quality", "--ratio",
                    "--width", str(OURS), "--height", str(OURS), "--qualifier", "", "--naming",
                    "PreName", "--input", os.path.dirname(src), "--output", out,
                    os.path.basename(src)],
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=300)
    made = [f for f in os.listdir(out) if f.lower().endswith(".bmp")]
    return os.path.join(out, made[0]) if made else None


def main():
    args = sys.argv[1:]
    work = None
    if "--work" in args:
        work = args[args.index("--work") + 1]
        del args[args.index("--work"):args.index("--work") + 2]
    batch = args[0] if args else os.path.join(HERE, "..", "build", "app", "pictorant-batch")
    soffice = shutil.which("soffice")
    if not soffice:
        sys.exit("LibreOffice (soffice) is not installed: apt-get install libreoffice-draw")
    keep = work is not None
    work = os.path.abspath(work or tempfile.mkdtemp())
    os.makedirs(work, exist_ok=True)
    sources = [os.path.abspath(os.path.join(DATA, kind, name)) for kind in ("emf", "wmf")
               for name in sorted(os.listdir(os.path.join(DATA, kind)))
               if not name.startswith("bad-")]
    pages = libreoffice_pages(soffice, work, sources)
    scores = []
    for src in sources:
        label = os.path.basename(os.path.dirname(src)) + "/" + os.path.basename(src)
        page = pages.get(src)
        reference = crop(read_bmp(page)) if page else None
        if reference is None:
            print("%-44s  LibreOffice drew nothing" % label, flush=True)
            continue
        mine = ours(batch, work, src)
        if mine is None:
            print("%-44s  refused by pictorant" % label, flush=True)
            continue
        played = crop(read_bmp(mine))
        rw, rh = reference[0], reference[1]
        k = min(1.0, SIDE / max(rw, rh))
        w, h = max(1, round(rw * k)), max(1, round(rh * k))
        a = blur(resample(reference, w, h))
        if played is None:
            # A blank rendering is compared as white.
            b = (w, h, [[(255.0, 255.0, 255.0)] * w for _ in range(h)])
        else:
            b = blur(resample(played, w, h))
        score = psnr(a, b)
        scores.append((score, label))
        shape = "blank" if played is None else "%d x %d" % (played[0], played[1])
        print("%-44s  %5.1f dB  (LibreOffice %d x %d, ours %s)" % (label, score, rw, rh, shape),
              flush=True)
    if scores:
        values = sorted(s for s, _ in scores)
        print("\n%d files: lowest %.1f dB (%s), median %.1f dB" %
              (len(values), values[0], min(scores)[1], statistics.median(values)))
    if not keep:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
