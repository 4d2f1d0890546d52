#!/usr/bin/env bash
# Builds the Debian package with cpack, checks its control fields, dependencies and files,
# and plays the demo with the player unpacked from it (nothing is installed on this machine).
# Usage: deb_test.sh BUILD_DIR SOURCE_DIR. Exits 77 (skipped) when the tools are missing.
set -uo pipefail
build="$1"
source_dir="$2"
for tool in cpack dpkg-deb dpkg-shlibdeps; do
  if ! command -v "$tool" >/dev/null; then
    echo "SKIPPED: the package needs $tool"
    exit 77
  fi
done
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

if ! (cd "$build" && cpack -G DEB -B "$work/out" >"$work/cpack.log" 2>&1); then
  cat "$work/cpack.log"
  echo "FAIL: cpack -G DEB failed"
  exit 1
fi
deb="$(ls "$work"/out/storyloom-player_*.deb 2>/dev/null | head -n 1)"
[ -n "$deb" ] || { echo "FAIL: no .deb was made"; ls -R "$work/out"; exit 1; }

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = storyloom-player ] || fail "Package is $(field Package)"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] || fail "Architecture is $(field Architecture)"
[ "$(field Section)" = games ] || fail "Section is $(field Section)"
[[ "$(field Version)" =~ ^[0-9]+\.[0-9]+\.[0-9]+ ]] || fail "Version is $(field Version)"
[ -n "$(field Maintainer)" ] || fail "no Maintainer"
depends="$(field Depends)"
# What the programs load at run time, named by hand...
for package in gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-plugins-bad \
  gstreamer1.0-plugins-ugly gstreamer1.0-libav timgm6mb-soundfont fonts-liberation2 qt6-qpa-plugins; do
  grep -Eq "(^|, )$package(,|$| )" <<<"$depends" || fail "Depends lacks $package"
done
# ...and the libraries they link, found by dpkg-shlibdeps with their versions.
for package in libqt6core6 libqt6widgets6 libqt6multimedia6 libc6 libpcre2-16-0; do
  grep -Eq "(^|, )$package \(>= [^)]+\)" <<<"$depends" || fail "Depends lacks $package with a version: $depends"
done

dpkg-deb -c "$deb" >"$work/contents"
for path in ./usr/bin/storyloom-player ./usr/bin/storyloom-vbs ./usr/share/applications/storyloom-player.desktop \
  ./usr/share/icons/hicolor/48x48/apps/storyloom-player.png ./usr/share/man/man1/storyloom-player.1 \
  ./usr/share/storyloom-player/demo/Config/General; do
  grep -q " $path\( \|$\)" "$work/contents" || fail "the package has no $path"
done
grep -q ' \./usr/local' "$work/contents" && fail "the package installs into /usr/local"

# The player from the package plays the demo from the package.
dpkg-deb -x "$deb" "$work/root"
mkdir -p "$work/home"
if ! HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" QT_QPA_PLATFORM=offscreen \
  "$work/root/usr/bin/storyloom-player" --project "$work/root/usr/share/storyloom-player/demo" \
  --walkthrough "$source_dir/tests/install/play_demo.walk" >"$work/play.log" 2>&1; then
  cat "$work/play.log"
  fail "the packaged player did not play the packaged demo"
fi

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "package OK: $(basename "$deb")"
