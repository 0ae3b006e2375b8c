#!/usr/bin/env bash
# Sets everything up, then runs the whole test suite on a virtual display
# (Xvfb with Mesa's software renderer) and silent sound output.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
BUILD_DIR="${VEXAMARK_BUILD_DIR:-build}"
export VEXAMARK_NONINTERACTIVE=1
export LIBGL_ALWAYS_SOFTWARE=1
export ALSOFT_DRIVERS=null
xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" \
  ctest --test-dir "$BUILD_DIR" --output-on-failure -j "$(nproc)" --timeout 300
