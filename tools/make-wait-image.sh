#!/bin/sh
# Draws the waiting picture the plan dialog shows while the hotel picture
# downloads: 119 x 134 pixels, black 読み込み中… centred on white, a baseline
# JFIF JPEG with three colour components at 96 dots per inch.
# Needs ImageMagick and the IPA Gothic font (both installed by tools/setup.sh).
# Usage: tools/make-wait-image.sh [output]   (default: res/wait_image.jpg)
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-"$here/res/wait_image.jpg"}
font=/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf
[ -f "$font" ] || { echo "make-wait-image: no IPA Gothic font at $font (run tools/setup.sh)" >&2; exit 1; }
convert -size 119x134 xc:white -font "$font" -pointsize 16 -fill black \
    -gravity center -annotate +0+0 '読み込み中…' \
    -strip -type TrueColor -interlace none -sampling-factor 2x2,1x1,1x1 -quality 85 \
    -units PixelsPerInch -density 96 "jpeg:$out"
