#!/usr/bin/env bash
# Sets everything up, then starts the console host in the prepared working
# folder (build/workdir). Options are handed to the engine; see --help.
# Without options it plays the bundled demo footage instead of a camera.
# Without a display it runs on a virtual one and stops after 250 frames.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
BUILD_DIR="${VEXAMARK_BUILD_DIR:-build}"
cd "$BUILD_DIR/workdir"
HOST="$(cd .. && pwd)/console/Vexamark_basic"
# Without options the bundled demo footage stands in for a camera, with the 3D menu on.
[ $# -eq 0 ] && set -- -video: Videos/demo.mp4 -keys -gui
if [ -n "${DISPLAY:-}" ]; then
  exec "$HOST" "$@"
fi
echo "No display: running on a virtual display for 250 frames."
export VEXAMARK_NONINTERACTIVE=1
exec xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" "$HOST" -frames: 250 "$@"
