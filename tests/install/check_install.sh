#!/usr/bin/env bash
# Installs the build into a fresh prefix, then builds and runs a separate
# project against it through find_package(Vexamark) and through pkg-config.
set -euo pipefail
BUILD_DIR="$1"
SOURCE_DIR="$2"
WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT
cmake --install "$BUILD_DIR" --prefix "$WORK/prefix" > "$WORK/install.log"
test -f "$WORK/prefix/include/Vexamark/CVexaBox.h"
test -f "$WORK/prefix/share/vexamark/fonts/arial.ttf"
test -f "$WORK/prefix/share/vexamark/Models/splash/logo2.ive"
test -x "$WORK/prefix/bin/Vexamark_basic"
# The user tools: markers to print and train, footage to try things on, calibration.
for tool in vexamark-marker vexamark-synth vexamark-calibrate; do
  "$WORK/prefix/bin/$tool" --help | grep -q "usage: $tool"
done
cmake -S "$SOURCE_DIR" -B "$WORK/consumer" -DCMAKE_PREFIX_PATH="$WORK/prefix" > "$WORK/configure.log"
cmake --build "$WORK/consumer" > "$WORK/build.log"
"$WORK/consumer/consumer" --version | grep -q "consumer ok"
PKG_CONFIG_PATH="$WORK/prefix/lib/pkgconfig" pkg-config --cflags --libs vexamark | grep -q -- "-lVexamark_Engine"
echo "install check passed"
