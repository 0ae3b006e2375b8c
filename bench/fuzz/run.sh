#!/usr/bin/env bash
# Builds every fuzz target with clang, libFuzzer, ASan and UBSan, runs each for
# SECONDS (default 60) from its seeds, and prints a table: target, executions,
# coverage (edges), findings. Corpora grow in build-fuzz/corpus/<target>
# between runs; findings are written to build-fuzz/findings/<target>.
#   bench/fuzz/run.sh [SECONDS] [TARGET...]
# The seeds made at build time (patterns, the camera file, the character) are
# taken from the working folder of the normal build ("build/workdir") when it
# exists.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
seconds=${1:-60}
shift || true
out=${VEXAMARK_FUZZ_BUILD:-$root/build-fuzz}
jobs=${VEXAMARK_FUZZ_JOBS:-2}
workdir=${VEXAMARK_FUZZ_WORKDIR:-$root/build/workdir}

mkdir -p "$out"
CC=clang CXX=clang++ cmake -S "$root" -B "$out" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVEXAMARK_FUZZ=ON -DVEXAMARK_SANITIZE=address,undefined -DVEXAMARK_BUILD_BENCH=OFF \
  -DVEXAMARK_WORKDIR="$workdir" >"$out/configure.log" 2>&1 || { cat "$out/configure.log"; exit 1; }

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  mapfile -t targets < <(cd "$out/tests/fuzz" && ls fuzz_*.seeds | sed 's/\.seeds$//')
fi
cmake --build "$out" -j"$jobs" --target "${targets[@]}" >"$out/build.log" 2>&1 || { tail -40 "$out/build.log"; exit 1; }

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:allocator_may_return_null=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$root/bench/fuzz/lsan.supp}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export ALSOFT_DRIVERS=null VEXAMARK_NONINTERACTIVE=1
printf '%-24s %12s %10s %9s\n' target executions coverage findings
for target in "${targets[@]}"; do
  corpus="$out/corpus/$target"
  findings="$out/findings/$target"
  mkdir -p "$corpus" "$findings"
  while IFS= read -r seed; do
    [ -n "$seed" ] && [ -e "$seed" ] || continue
    if [ -d "$seed" ]; then find "$seed" -type f -exec cp -f {} "$corpus/" \; ; else cp -f "$seed" "$corpus/"; fi
  done <"$out/tests/fuzz/$target.seeds"
  log="$out/findings/$target.log"
  "$out/tests/fuzz/$target" -max_total_time="$seconds" -max_len=1048576 -rss_limit_mb=4096 -timeout=30 \
    -artifact_prefix="$findings/" -print_final_stats=1 "$corpus" >"$log" 2>&1 || true
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' | tail -1)
  cov=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | grep -o '[0-9]*')
  found=$(find "$findings" -maxdepth 1 -type f \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' -o -name 'oom-*' \) | wc -l)
  printf '%-24s %12s %10s %9s\n' "${target#fuzz_}" "${runs:-0}" "${cov:-0}" "$found"
done
