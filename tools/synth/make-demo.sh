#!/bin/sh
# Makes the demo material of the bundled content, deterministically, from our own
# built-in marker pictures: pattern files, printable marker PNGs, the A4 marker sheet
# and the demo footage with its ground truth.
#
# usage: make-demo.sh MARKER_EXE SYNTH_EXE OUT_DIR
#   MARKER_EXE, SYNTH_EXE  the vexamark-marker and vexamark-synth programs
#   OUT_DIR  receives Data/NAME.patt, markers/NAME.png, corvane_symbol.pdf,
#            Videos/demo.mp4 and Videos/demo.csv
set -eu
if [ $# -ne 3 ]; then
    echo "usage: make-demo.sh MARKER_EXE SYNTH_EXE OUT_DIR" >&2
    exit 2
fi
MARKER=$1
SYNTH=$2
OUT=$3
NAMES="corvane glyph-f arrow sail"  # the first four built-in pictures, as in --preset demo
mkdir -p "$OUT/Data" "$OUT/markers" "$OUT/Videos"
SHEET=""
for n in $NAMES; do
    "$MARKER" pattern "design:$n" "$OUT/Data/$n.patt"
    "$MARKER" print "design:$n" "$OUT/markers/$n.png" --size 512
    SHEET="$SHEET $n=design:$n"
done
# shellcheck disable=SC2086  # SHEET is a list of NAME=INNER words
"$MARKER" sheet "$OUT/corvane_symbol.pdf" $SHEET --width-mm 80
"$SYNTH" --preset demo --out "$OUT/Videos/demo.mp4" --csv "$OUT/Videos/demo.csv" --quiet
