#!/bin/sh
# Makes the before/after pictures of the manual's Image menu page (docs/manual/image.html)
# from the bundled sample, with the command line program running the same operations as the
# menu commands. Usage: scripts/manual-image-thumbnails.sh [path/to/corvane-cli]
set -eu
cli=${1:-build-dev/src/cli/corvane-cli}
root=$(cd "$(dirname "$0")/.." && pwd)
in="$root/samples/relief.bmp"
out="$root/docs/manual/images"
mkdir -p "$out"

shot() { # name, then the --op arguments
    name=$1
    shift
    "$cli" image "$in" -o "$out/image-$name.png" "$@" 2>/dev/null
}

# The sample is an 8-bit grey picture; commands that need colour get it converted first, as
# the user would with Convert > To millions of colors.
c24="--op convert-to-24-bit"
shot original
shot millions $c24
shot popularity $c24 --op convert-colors:1
shot median-cut $c24 --op convert-colors:2
shot uniform-884 $c24 --op convert-colors:4
shot uniform-666 $c24 --op convert-colors:8
shot grey-scale $c24 --op convert-colors:16
shot halftone $c24 --op convert-colors:128
shot sixteen $c24 --op convert-colors:64
shot eight $c24 --op reduce-to-8-colors:100
shot gray-max --op convert-to-gray:1,0.3,0.5,0.2
shot gray-mean --op convert-to-gray:2,0.3,0.5,0.2
shot gray-weighted --op convert-to-gray:4,0.3,0.59,0.11
shot black-white --op convert-colors:32
shot negative --op negative:0
shot shades-64 --op reduce-gray-shades:64
shot shades-32 --op reduce-gray-shades:32
shot shades-16 --op reduce-gray-shades:16
shot adjustment $c24 --op adjust-contrast:62,193,3 --op adjust-brightness:10,3
shot gradient-edge $c24 --op gradient-edge:1
shot laplace $c24 --op laplace
shot matched-filter $c24 --op matched-filter:0
shot shift-difference $c24 --op shift-difference:3
shot sobel $c24 --op sobel:10,0
shot enhance-edges $c24 --op enhance-edges
shot emboss $c24 --op emboss:1
shot shade-3d $c24 --op negative:0 --op emboss:1 --op convert-to-gray:4,0.3,0.59,0.11
shot texture-shade $c24 --op lambert-shade:45,45,3,0.1
shot despeckle $c24 --op despeckle
shot posterize --op posterize:2
shot sharpen $c24 --op sharpen
shot sharpen-more $c24 --op sharpen-more
shot sharpen-max $c24 --op sharpen-max
shot soften $c24 --op soften
shot blur $c24 --op blur
shot blur-more $c24 --op blur-more
shot flip --op rotate-image:180
shot rotate-90 --op rotate-image:90
shot resize --op resize-image:0.5
