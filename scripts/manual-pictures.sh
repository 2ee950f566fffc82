#!/usr/bin/env bash
# Takes every picture of the manual (docs/manual/images) from the real program in one run:
#   - the windows and dialogs through the GUI tests whose names end in "ForTheManual", on a
#     virtual display so that window frames and fonts look as the user sees them;
#   - the Image menu's before/after pictures (manual-image-thumbnails.sh);
#   - the carved surfaces and deviation maps that corvane-cli simulate writes.
# Usage: scripts/manual-pictures.sh [BUILD-FOLDER]   (default build/, made by scripts/build.sh)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=${1:-build}
images="$root/docs/manual/images"
cli="$root/$build/src/cli/corvane-cli"
cmake --build "$build" --target corvane_gui_tests corvane-cli

# Windows and dialogs.
QT_QPA_PLATFORM=xcb CORVANE_MANUAL_IMAGES="$images" xvfb-run -a -s "-screen 0 1280x1024x24" \
  "$build/tests/corvane_gui_tests" --gtest_filter='*ForTheManual*' --gtest_brief=1

# The Image menu.
scripts/manual-image-thumbnails.sh "$cli"

# The command line's pictures, made in a scratch folder from the bundled sample.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp samples/relief.bmp "$work/"
cd "$work"
png() { convert "$1" "$images/$2"; } # the 16-bit PGM a carved surface is written as, for the web

# A 1/16 ball over the sample, and what Protect Moves changes (cli.html, surface.html).
ball=(--tool "Ball Mill" --diameter .0625)
target=(--target relief.bmp --size-x 2.4 --size-y 1.6 --depth .25)
"$cli" gcode relief.bmp -o relief.dnc --step-x .01 --step-y .01 --depth .25 "${ball[@]}" 2>/dev/null
"$cli" simulate relief.dnc "${ball[@]}" --cell .01 "${target[@]}" -o carved.pgm \
  --deviation "$images/simulate-deviation.png" >/dev/null 2>&1
png carved.pgm simulate-carved.png
"$cli" gcode relief.bmp -o protected.dnc --step-x .01 --step-y .01 --depth .25 "${ball[@]}" \
  --protect-moves 2>/dev/null
cp "$images/simulate-deviation.png" "$images/protect-moves-off.png"
"$cli" simulate protected.dnc "${ball[@]}" --cell .01 "${target[@]}" \
  --deviation "$images/protect-moves-on.png" >/dev/null 2>&1

# Roughing, then finishing (surface.html).
"$cli" gcode relief.bmp -o finish.dnc --size-x 4.8 --depth .5 --depth-per-pass .1 --feed 30 \
  --step-x .02 --step-y .02 --tool "Ball Mill" --diameter .125 --rough rough.dnc \
  --rough-step-over .1 2>/dev/null
big=(--target relief.bmp --size-x 4.8 --size-y 3.2 --depth .5 --cell .02)
"$cli" simulate rough.dnc --tool "End Mill" --diameter .25 "${big[@]}" -o stock.pgm \
  --deviation "$images/rough-stock-deviation.png" >/dev/null 2>&1
png stock.pgm rough-stock.png
"$cli" simulate finish.dnc --tool "Ball Mill" --diameter .125 "${big[@]}" --first rough.dnc \
  --first-tool "End Mill" --first-diameter .25 -o final.pgm >/dev/null 2>&1
png final.pgm rough-final.png
echo "pictures written to $images"
