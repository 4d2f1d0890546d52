#!/usr/bin/env bash
# Configures and builds into build/ (or the folder given as $BUILD_DIR), with extra CMake options in $CMAKE_ARGS.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
gen=()
if command -v ninja >/dev/null 2>&1; then gen=(-G Ninja); fi
if [ ! -f "$build/CMakeCache.txt" ] || { [ ! -f "$build/build.ninja" ] && [ ! -f "$build/Makefile" ]; }; then
  cmake -S "$root" -B "$build" "${gen[@]}" ${CMAKE_ARGS:-}
fi
cmake --build "$build" --parallel "${JOBS:-$(nproc)}" ${BUILD_TARGETS:+--target $BUILD_TARGETS}
