#!/usr/bin/env python3
"""Writes raster programs with --protect-moves over a matrix of pictures, tools, steps and
depth passes, carves each with `simulate` on cells at the samples and prints the largest
gouge (it must stay at or below 0.0001), with the program's lines against the unprotected one.

Usage: scripts/protect-moves-matrix.py [path/to/corvane-cli]  (default build/src/cli/corvane-cli)
"""
import json, math, os, random, subprocess, sys, tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
CLI = sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "build/src/cli/corvane-cli")


def pgm(path, width, height, value):
    data = bytes(max(0, min(255, int(value(r, c)))) for r in range(height) for c in range(width))
    with open(path, "wb") as f:
        f.write(b"P5\n%d %d\n255\n" % (width, height) + data)


def pictures(folder):
    noise = random.Random(7)
    made = {
        "dome": lambda r, c: 255 * math.sqrt(max(0, 1 - ((c - 120) / 120) ** 2 - ((r - 80) / 80) ** 2)),
        "checkerboard": lambda r, c: 220 if (r // 10 + c // 10) % 2 else 40,
        "text": lambda r, c: 0 if ((c % 30 < 4 and 20 < r < 140) or (r % 40 < 4 and c % 60 < 40)
                                   or abs((r - 20) - (c % 50)) < 3) else 255,
        "noise": lambda r, c: noise.randrange(256),
    }
    paths = {"sample": os.path.join(ROOT, "samples/relief.bmp")}
    for name, value in made.items():
        paths[name] = os.path.join(folder, name + ".pgm")
        pgm(paths[name], 240, 160, value)
    return paths


def run(*args):
    result = subprocess.run([CLI, *args], capture_output=True, text=True)
    if result.returncode != 0:
        sys.exit("corvane-cli " + " ".join(args) + " failed: " + result.stderr)
    return result.stdout


TOOLS = [("End Mill", "60"), ("Ball Mill", "60"), ("V Bit", "60"), ("V Bit", "90")]


def main():
    worst = 0.0
    with tempfile.TemporaryDirectory() as folder:
        print("picture       tool          step  passes  gouge off  gouge on   lines on/off")
        for name, picture in pictures(folder).items():
            for tool, angle in TOOLS:
                for step in ("0.01", "0.03"):
                    for per_pass in ("0.25", "0.1"):
                        relief = [picture, "--size-x", "2.4", "--size-y", "1.6", "--step-x", step,
                                  "--depth", ".25", "--depth-per-pass", per_pass, "--tool", tool,
                                  "--diameter", ".0625", "--angle", angle]
                        gouges, lines = [], []
                        for flag in ([], ["--protect-moves"]):
                            program = os.path.join(folder, "p.dnc")
                            run("gcode", *relief, "-o", program, *flag)
                            with open(program, "rb") as f:
                                lines.append(f.read().count(b"\n"))
                            figures = json.loads(run(
                                "simulate", program, "--tool", tool, "--diameter", ".0625",
                                "--angle", angle, "--cell", step, "--target", picture,
                                "--size-x", "2.4", "--size-y", "1.6", "--depth", ".25", "--json"))
                            gouges.append(figures["largestGouge"])
                        worst = max(worst, gouges[1])
                        label = tool + (" " + angle if tool == "V Bit" else "")
                        print(f"{name:13s} {label:13s} {step:5s} {per_pass:6s}  {gouges[0]:9.6f}"
                              f"  {gouges[1]:9.6f}  {lines[1] / lines[0]:.3f}")
    print(f"largest gouge with --protect-moves: {worst:.7f}")
    sys.exit(0 if worst <= 0.0001 else 1)


main()
