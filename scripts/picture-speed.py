#!/usr/bin/python3
"""Puts our picture reading and writing beside Python's PIL on the same big pictures.

Makes side x side pictures of a smooth pattern (grey and colour; JPEG quality 90, PNG at
default compression, uncompressed TIFF, PPM/PGM, BMP) with PIL in a scratch folder, then
for each file times `corvane-cli info FILE` end to end against PIL opening and loading the
file fully (from an open file, so that it cannot map a raw file instead of reading it), one
after the other, best of a few runs, in wall-clock time and in processor time (user plus
system; steadier on a busy machine). Saving: PIL's save of the colour
picture in each kind we write against corvane_bench's BM_WritePicture at 10000 (the same
pattern). Prints markdown tables. Needs a Release build (default build-rel) and numpy.

    scripts/picture-speed.py [--build build-rel] [--side 10000] [--runs 5]
"""
import argparse
import json
import os
import resource
import subprocess
import sys
import tempfile
import time

import numpy as np
from PIL import Image

Image.MAX_IMAGE_PIXELS = None  # our pictures are big on purpose

READ_KINDS = [("JPEG", "jpg", {"quality": 90}), ("PNG", "png", {}), ("TIFF", "tif", {}),
              ("PPM", "ppm", {}), ("BMP", "bmp", {})]
WRITE_KINDS = [("JPEG", "jpg", {"quality": 90}), ("PNG", "png", {}), ("TIFF", "tif", {}),
               ("PPM", "ppm", {}), ("BMP", "bmp", {}), ("PCX", "pcx", {})]


def pattern(side, grey):
    """Red across, green down, blue (or grey) along the diagonal, as bench/imaging_bench.cpp."""
    last = side - 1
    ramp = (np.arange(side, dtype=np.int64) * 255 // last).astype(np.uint8)
    diagonal = ((np.arange(side)[:, None] + np.arange(side)[None, :]) * 255 // (2 * last)).astype(
        np.uint8)
    if grey:
        return Image.fromarray(diagonal, "L")
    rgb = np.empty((side, side, 3), np.uint8)
    rgb[:, :, 0] = ramp[None, :]
    rgb[:, :, 1] = ramp[:, None]
    rgb[:, :, 2] = diagonal
    return Image.fromarray(rgb, "RGB")


def cpu_seconds():
    """Processor time of this process and of its finished children."""
    own = resource.getrusage(resource.RUSAGE_SELF)
    children = resource.getrusage(resource.RUSAGE_CHILDREN)
    return own.ru_utime + own.ru_stime + children.ru_utime + children.ru_stime


def best(runs, work):
    """Best wall-clock and best processor time of runs."""
    wall, cpu = [], []
    for _ in range(runs):
        start, start_cpu = time.perf_counter(), cpu_seconds()
        work()
        wall.append(time.perf_counter() - start)
        cpu.append(cpu_seconds() - start_cpu)
    return min(wall), min(cpu)


def pil_load(path):
    with open(path, "rb") as file, Image.open(file) as im:
        im.load()


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", default="build-rel")
    parser.add_argument("--side", type=int, default=10000)
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--folder", default=os.path.join(tempfile.gettempdir(), "corvane-speed"))
    args = parser.parse_args()
    cli = os.path.join(args.build, "src", "cli", "corvane-cli")
    bench = os.path.join(args.build, "bench", "corvane_bench")
    os.makedirs(args.folder, exist_ok=True)

    print(f"| {args.side} x {args.side} | size | corvane-cli info | PIL load | ratio "
          "| processor time: ours | PIL | ratio |")
    print("|---|---|---|---|---|---|---|---|")
    for grey in (False, True):
        picture = None
        for kind, extension, options in READ_KINDS:
            if grey and extension == "ppm":
                extension = "pgm"
            path = os.path.join(args.folder, f"{args.side}-{'grey' if grey else 'colour'}.{extension}")
            if not os.path.exists(path):
                picture = picture or pattern(args.side, grey)
                picture.save(path, **options)
            ours = best(args.runs, lambda: subprocess.run([cli, "info", path], check=True,
                                                           stdout=subprocess.DEVNULL))
            theirs = best(args.runs, lambda: pil_load(path))
            size = os.path.getsize(path) / 1e6
            print(f"| {'grey' if grey else 'colour'} {kind} | {size:.1f} MB | {ours[0]:.2f} s | "
                  f"{theirs[0]:.2f} s | {ours[0] / theirs[0]:.2f} | {ours[1]:.2f} s | "
                  f"{theirs[1]:.2f} s | {ours[1] / theirs[1]:.2f} |", flush=True)

    report = subprocess.run([bench, "--benchmark_filter=BM_WritePicture/.*/10000",
                             "--benchmark_format=json"], check=True, capture_output=True, text=True)
    ours = {b["name"].split("/")[1]: b["real_time"] / 1000 for b in json.loads(report.stdout)["benchmarks"]}
    picture = pattern(10000, False)
    print("\n| saving 10000 x 10000 colour | ours | PIL save | ratio |")
    print("|---|---|---|---|")
    for kind, extension, options in WRITE_KINDS:
        path = os.path.join(args.folder, f"pil-save.{extension}")
        theirs = best(1, lambda: picture.save(path, **options))[0]
        os.remove(path)
        print(f"| {kind} | {ours[extension]:.2f} s | {theirs:.2f} s | {ours[extension] / theirs:.2f} |",
              flush=True)


if __name__ == "__main__":
    sys.exit(main())
