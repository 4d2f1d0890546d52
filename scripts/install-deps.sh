#!/usr/bin/env bash
# Installs every Debian package that building, testing and playing need; only what is missing.
set -euo pipefail
packages=(
  cmake ninja-build g++ pkg-config git
  qt6-base-dev qt6-base-dev-tools qt6-multimedia-dev libqt6multimedia6 libqt6multimediawidgets6
  qt6-image-formats-plugins qt6-qpa-plugins libqt6svg6
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-plugins-bad
  gstreamer1.0-plugins-ugly gstreamer1.0-libav gstreamer1.0-tools
  timgm6mb-soundfont fonts-liberation2 fontconfig
  libgtest-dev libgmock-dev googletest libbenchmark-dev libpcre2-dev
  xdg-utils clang libclang-rt-14-dev
  dpkg-dev file groff-base
)
missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
