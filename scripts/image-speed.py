#!/usr/bin/env python3
"""End-to-end speed of `corvane-cli image` beside ImageMagick's `convert` doing the same kind
of operation on the same 6000 x 4000 24-bit BMP, both reading and writing BMP, side by side in
one run. Prints one line per operation with both times (best of REPEAT runs) and their ratio.

Usage: scripts/image-speed.py [path/to/corvane-cli] [REPEAT] [NAME...]
(with NAMEs, only the operations whose --op starts with one of them)
"""
import os
import subprocess
import sys
import tempfile
import time

CLI = sys.argv[1] if len(sys.argv) > 1 else "build-rel/src/cli/corvane-cli"
REPEAT = int(sys.argv[2]) if len(sys.argv) > 2 else 2
ONLY = sys.argv[3:]

# (our --op arguments, convert's arguments for the same kind of work)
PAIRS = [
    (["convert-to-gray:4"], ["-colorspace", "Gray"]),
    (["convert-colors:1"], ["+dither", "-colors", "256"]),
    (["convert-colors:2"], ["+dither", "-colors", "256"]),
    (["convert-colors:4"], ["+dither", "-posterize", "8"]),
    (["convert-colors:8"], ["+dither", "-posterize", "6"]),
    (["convert-colors:16"], ["-colorspace", "Gray", "-type", "Grayscale"]),
    (["convert-colors:32"], ["-monochrome"]),
    (["convert-colors:64"], ["-dither", "FloydSteinberg", "-colors", "16"]),
    (["convert-colors:128"], ["-ordered-dither", "o8x8,6"]),
    (["convert-to-24-bit"], ["-type", "TrueColor"]),
    (["reduce-to-8-colors:100"], ["-dither", "FloydSteinberg", "-posterize", "2"]),
    (["reduce-gray-shades:64"], ["-colorspace", "Gray", "-posterize", "64"]),
    (["negative"], ["-negate"]),
    (["posterize:2"], ["-posterize", "4"]),
    (["adjust-color:10,-10,5"], ["-channel", "R", "-evaluate", "add", "10%", "+channel"]),
    (["adjust-brightness:10,3"], ["-evaluate", "add", "10%"]),
    (["adjust-contrast:62,193,3"], ["-level", "24%,76%"]),
    (["sharpen"], ["-convolve", "0,-0.25,0,-0.25,2,-0.25,0,-0.25,0"]),
    (["sharpen-more"], ["-convolve", "0,-1,0,-1,5,-1,0,-1,0"]),
    (["sharpen-max"], ["-convolve", "-1,-1,-1,-1,9,-1,-1,-1,-1"]),
    (["soften"], ["-convolve", "1,1,1,1,8,1,1,1,1"]),
    (["blur"], ["-convolve", "1,2,1,2,4,2,1,2,1"]),
    (["blur-more"], ["-convolve", "1,1,1,1,1,1,1,1,1"]),
    (["laplace"], ["-convolve", "-1,-1,-1,-1,8,-1,-1,-1,-1"]),
    (["shift-difference:3"],
     ["(", "+clone", "-roll", "+3+3", ")", "-compose", "difference", "-composite"]),
    (["matched-filter:0"], ["-morphology", "Convolve", "Kirsch"]),
    (["sobel:10,0"], ["-morphology", "Convolve", "Sobel"]),
    (["gradient-edge:1"], ["-convolve", "1,1,1,0,0,0,-1,-1,-1"]),
    (["emboss:1"], ["-emboss", "1"]),
    (["enhance-edges"], ["-convolve", "-1,-1,-1,-1,10,-1,-1,-1,-1"]),
    (["despeckle"], ["-median", "3"]),
    (["lambert-shade:45,45,3,0.1"], ["-shade", "45x45"]),
    (["resize-image:0.5"], ["-filter", "Lanczos", "-resize", "50%"]),
    (["rotate-image:90"], ["-rotate", "90"]),
    (["rotate-image:180"], ["-rotate", "180"]),
]


def best(command):
    times = []
    for _ in range(REPEAT):
        start = time.perf_counter()
        subprocess.run(command, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        times.append(time.perf_counter() - start)
    return min(times)


def main():
    with tempfile.TemporaryDirectory() as folder:
        source = os.path.join(folder, "in.bmp")
        subprocess.run(["convert", "-size", "6000x4000", "plasma:fractal", "-seed", "7",
                        "BMP3:" + source], check=True)
        out = os.path.join(folder, "out.bmp")
        print(f"{'operation':28} {'corvane-cli':>12} {'convert':>9} {'ratio':>6}")
        slower = 0
        pairs = [p for p in PAIRS if not ONLY or any(p[0][0].startswith(n) for n in ONLY)]
        for ops, magick in pairs:
            ours = best([CLI, "image", source, "-o", out] + [a for op in ops for a in ("--op", op)])
            theirs = best(["convert", source] + magick + ["BMP3:" + out])
            ratio = ours / theirs
            slower += ratio > 1
            print(f"{ops[0]:28} {ours:11.2f}s {theirs:8.2f}s {ratio:6.2f}")
        print(f"slower than convert: {slower} of {len(pairs)}")


if __name__ == "__main__":
    main()
