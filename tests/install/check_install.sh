#!/usr/bin/env bash
# Installs the build into a fresh prefix, then
#  - builds and runs a separate project against it through find_package(Vexamark)
#    and through pkg-config;
#  - runs the installed programs' --help and --version, and finds their manual pages;
#  - starts the installed viewer from a home folder that is not a working folder:
#    it must make the user's working folder from the installed content set and
#    run the demo there.
set -euo pipefail
BUILD_DIR="$1"
SOURCE_DIR="$2"
VERSION="$3"
WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT
cmake --install "$BUILD_DIR" --prefix "$WORK/prefix" > "$WORK/install.log"
test -f "$WORK/prefix/include/Vexamark/CVexaBox.h"
test -f "$WORK/prefix/share/vexamark/fonts/arial.ttf"
test -f "$WORK/prefix/share/vexamark/Models/splash/logo2.ive"
test -x "$WORK/prefix/bin/Vexamark_basic"
# The user tools: markers to print and train, footage to try things on, calibration,
# the content checker.
for program in Vexamark_basic vexamark-marker vexamark-synth vexamark-calibrate vexamark-check; do
  "$WORK/prefix/bin/$program" --help | grep -qi "usage: $program"
  test "$("$WORK/prefix/bin/$program" --version)" = "$program $VERSION"
  test -s "$WORK/prefix/share/man/man1/$program.1.gz"
done
cmake -S "$SOURCE_DIR" -B "$WORK/consumer" -DCMAKE_PREFIX_PATH="$WORK/prefix" > "$WORK/configure.log"
cmake --build "$WORK/consumer" > "$WORK/build.log"
"$WORK/consumer/consumer" --version | grep -q "consumer ok"
PKG_CONFIG_PATH="$WORK/prefix/lib/pkgconfig" pkg-config --cflags --libs vexamark | grep -q -- "-lVexamark_Engine"

# A user types the program's name in their home folder.
mkdir -p "$WORK/home"
cd "$WORK/home"
HOME="$WORK/home" XDG_DATA_HOME="" XDG_CONFIG_HOME="" VEXAMARK_NONINTERACTIVE=1 \
  "$WORK/prefix/bin/Vexamark_basic" -frames: 60 -video: Videos/demo.mp4 > "$WORK/run.log" 2>&1
USER_FOLDER="$WORK/home/.local/share/vexamark"
test -s "$USER_FOLDER/Data/VexaSettings.tsf"
head -3 "$USER_FOLDER/Data/messageLog.txt" | grep -q "MSG    0 Working folder: $USER_FOLDER (the user's working folder)"
grep -q "VexaBox :Init : Complete" "$USER_FOLDER/Data/messageLog.txt"
test ! -e "$WORK/home/Data"
echo "install check passed"
