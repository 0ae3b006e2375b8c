#!/usr/bin/env bash
# Frames per second of the console host as a batch tool on the demo clip:
# off screen, frame-locked, played once, plain, with a pose file, and with a
# recording and a pose file. Start-up (loading the content set) is measured
# apart and taken out. Prints a table; asserts nothing.
#
# usage: bench/batch/bench_batch.sh [BUILD_DIR]   (needs an X server: run under xvfb-run)
set -euo pipefail
BUILD="$(cd "${1:-build}" && pwd)"
HOST="$BUILD/console/Vexamark_basic"
WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT
cp -r "$BUILD/workdir/." "$WORK/"
cd "$WORK"
export VEXAMARK_NONINTERACTIVE=1 ALSOFT_DRIVERS=null
calc() { awk "BEGIN { print $1 }"; }
seconds() { local s e; s=$(date +%s.%N); "$@" > /dev/null 2>&1; e=$(date +%s.%N); calc "$e - $s"; }
FRAMES=$(grep -c ',corvane,' Videos/demo.csv)
startup=$(seconds "$HOST" -FFMPEG -video: Videos/demo.mp4 -frames: 1 -headless)
printf "demo clip: %d frames of 640x480 (%.1f s at 30 frames/s); start-up %.2f s\n" "$FRAMES" "$(calc "$FRAMES / 30")" "$startup"
printf "%-28s %10s %12s\n" "run" "seconds" "frames/s"
for run in plain poses "record + poses"; do
  case "$run" in
    plain) extra=() ;;
    poses) extra=(-poses: out.csv) ;;
    *) extra=(-record: out.mp4 -poses: out.csv) ;;
  esac
  total=$(seconds "$HOST" -FFMPEG -video: Videos/demo.mp4 -frames: 0 -headless "${extra[@]}")
  work=$(calc "$total - $startup")
  printf "%-28s %10.2f %12.1f\n" "$run" "$work" "$(calc "$FRAMES / $work")"
done
