#!/usr/bin/env bash
# scripts/fuzz.sh TARGET MINUTES [RUNS]: builds the fuzz targets with clang (build-fuzz/) and
# runs TARGET for MINUTES on its seed corpus, or for RUNS executions when given. Crashes are
# written to fuzz/crashes/TARGET/.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
target="${1:?usage: fuzz.sh TARGET MINUTES [RUNS]}"
minutes="${2:-1}"
runs="${3:-}"
build="${FUZZ_BUILD_DIR:-$root/build-fuzz}"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DSTORYLOOM_FUZZ=ON -DSTORYLOOM_TESTS=OFF -DSTORYLOOM_BENCHMARKS=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  ${CMAKE_CXX_COMPILER_LAUNCHER:+-DCMAKE_CXX_COMPILER_LAUNCHER=$CMAKE_CXX_COMPILER_LAUNCHER} >/dev/null
cmake --build "$build" --target "$target" -j "${JOBS:-2}"
# FUZZ_BUILD_ONLY=1: build the targets without running one.
if [ -n "${FUZZ_BUILD_ONLY:-}" ]; then
  cmake --build "$build" -j "${JOBS:-2}"
  exit 0
fi
bash "$root/fuzz/seeds.sh"
work="$root/fuzz/work/$target"
crashes="$root/fuzz/crashes/$target"
mkdir -p "$work" "$crashes"
export QT_QPA_PLATFORM=offscreen STORYLOOM_SILENT_AUDIO=1
# What system libraries keep for the life of the process is not ours to report.
export LSAN_OPTIONS="${LSAN_OPTIONS:-suppressions=$root/tests/lsan.supp:print_suppressions=0}"
options=(-max_total_time=$((minutes * 60)))
[ -n "$runs" ] && options=(-runs="$runs")
# A whole game start runs the media back end's threads, under which the leak checker cannot
# stop the process (neither after an input nor at the exit); leaks are the sanitizer test
# suite's to find.
[ "$target" = fuzz_game_start ] && export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
"$build/fuzz/$target" "${options[@]}" -timeout=10 -dict="$root/fuzz/storyloom.dict" \
  -artifact_prefix="$crashes/" "$work" "$root/fuzz/corpus/$target"
