#!/usr/bin/env bash
# Installs what is missing, builds corvane-cli and runs the main job on the bundled sample
# picture: a DXF surface mesh and a raster G-code program with gouge control, in out/.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target corvane-cli -j "$(nproc)"
cli=build/src/cli/corvane-cli
sample=samples/relief.bmp
mkdir -p out
"$cli" info "$sample"
"$cli" surface "$sample" -o out/relief.dxf
"$cli" gcode "$sample" -o out/relief.dnc --tool "Ball Mill" --diameter .0625
echo "Wrote out/relief.dxf and out/relief.dnc"
