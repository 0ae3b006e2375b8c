#!/usr/bin/env bash
# Builds the program with the sanitizers and runs the tests under them:
#   address  the whole suite with AddressSanitizer and UndefinedBehaviorSanitizer
#            (build-asan)
#   thread   the threaded tests (capture threads, file playback, sound, the
#            recording writer and the frame loop of the hosts) with
#            ThreadSanitizer (build-tsan)
# Without an argument it does both. Takes about an hour on two cores.
#   bash scripts/sanitize.sh [address|thread] [extra ctest options]
set -euo pipefail
cd "$(dirname "$0")/.."
which=${1:-both}
shift || true
export VEXAMARK_NONINTERACTIVE=1 LIBGL_ALWAYS_SOFTWARE=1 ALSOFT_DRIVERS=null
# OpenSceneGraph's registries and the GL driver keep their allocations until
# the process ends: leak reports would be theirs, not the program's.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1}
export TSAN_OPTIONS=${TSAN_OPTIONS:-second_deadlock_stack=1:suppressions=$PWD/scripts/tsan.supp}
jobs=$(nproc)
threaded='Video|Capture|Session|CamVideo|Reconnect|Sound|Recording|BatchRun|WindowKeys|MediaFile|AudioStream'

# Installs what is missing, builds into the build folder with the sanitizer,
# and runs the tests matching the filter (empty: all).
sanitized_suite() {  # build dir, sanitizers, ctest filter, extra ctest options...
  local dir=$1 sanitizers=$2 filter=()
  [ -n "$3" ] && filter=(-R "$3")
  shift 3
  VEXAMARK_BUILD_DIR=$dir VEXAMARK_CMAKE_ARGS="-DVEXAMARK_SANITIZE=$sanitizers -DVEXAMARK_BUILD_BENCH=OFF" \
    bash scripts/setup.sh
  xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" \
    ctest --test-dir "$dir" --output-on-failure -j "$jobs" --timeout 900 "${filter[@]}" "$@"
}

status=0
if [ "$which" = address ] || [ "$which" = both ]; then
  # The Debian packages are made from a normal build, not a sanitized one.
  sanitized_suite build-asan address,undefined "" -E Install.DebianPackages "$@" || status=1
fi
if [ "$which" = thread ] || [ "$which" = both ]; then
  # The desktop program's dialogs and the calibration tool match the names too;
  # their threads are Qt's and OpenCV's own, uninstrumented, so they are left out.
  sanitized_suite build-tsan thread "$threaded" -E 'Dialog|Calibrate' "$@" || status=1
fi
exit $status
