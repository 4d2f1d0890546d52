#!/usr/bin/env bash
# Installs what is missing, builds, and plays the demo game in a window.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/install-deps.sh"
BUILD_TARGETS=storyloom-player bash "$root/scripts/build.sh"
exec "${BUILD_DIR:-$root/build}/src/storyloom-player" --project "$root/examples/demo" "$@"
