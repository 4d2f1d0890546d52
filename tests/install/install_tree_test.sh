#!/usr/bin/env bash
# Installs the build into a temporary DESTDIR and checks what a user gets: the programs,
# a man page for each, the desktop entry and its icons, and the demo, which the installed
# player plays.
# Usage: install_tree_test.sh BUILD_DIR SOURCE_DIR
set -uo pipefail
build="$1"
source_dir="$2"
dest="$(mktemp -d)"
trap 'rm -rf "$dest"' EXIT
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

if ! DESTDIR="$dest" cmake --install "$build" --prefix /usr >"$dest/install.log" 2>&1; then
  cat "$dest/install.log"
  echo "FAIL: cmake --install failed"
  exit 1
fi
root="$dest/usr"

# Programs, each with its man page, and no man page without its program.
for program in storyloom-player storyloom-vbs; do
  [ -x "$root/bin/$program" ] || fail "bin/$program is missing or not executable"
done
for program in "$root"/bin/*; do
  name="$(basename "$program")"
  page="$root/share/man/man1/$name.1"
  if [ ! -f "$page" ]; then
    fail "$name has no man page"
    continue
  fi
  grep -q '@VERSION@' "$page" && fail "$name.1 still has its version placeholder"
  grep -q "^\.TH $(echo "$name" | tr a-z A-Z) 1" "$page" || fail "$name.1 has no .TH line for $name"
  if command -v groff >/dev/null; then
    warnings="$(groff -man -Tutf8 -ww -z "$page" 2>&1)"
    [ -z "$warnings" ] || fail "$name.1 does not format cleanly: $warnings"
  fi
done
for page in "$root"/share/man/man1/*.1; do
  [ -x "$root/bin/$(basename "$page" .1)" ] || fail "man page $(basename "$page") has no program"
done

# The desktop entry runs the installed player and names an installed icon.
desktop="$root/share/applications/storyloom-player.desktop"
if [ -f "$desktop" ]; then
  grep -qx 'Exec=storyloom-player' "$desktop" || fail "the desktop entry does not run storyloom-player"
  grep -qx 'Icon=storyloom-player' "$desktop" || fail "the desktop entry names another icon"
  grep -qx 'Type=Application' "$desktop" || fail "the desktop entry is not an application"
  if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$desktop" || fail "desktop-file-validate rejects the desktop entry"
  fi
else
  fail "share/applications/storyloom-player.desktop is missing"
fi

# Icons: each PNG is as large as its folder says.
png_size() { od -An -tu1 -j16 -N8 "$1" | awk '{print $1*16777216+$2*65536+$3*256+$4 "x" $5*16777216+$6*65536+$7*256+$8}'; }
for size in 16 32 48 64 128 256; do
  icon="$root/share/icons/hicolor/${size}x${size}/apps/storyloom-player.png"
  if [ ! -f "$icon" ]; then
    fail "no ${size}x${size} icon"
  elif [ "$(png_size "$icon")" != "${size}x${size}" ]; then
    fail "the ${size}x${size} icon is $(png_size "$icon")"
  fi
done

# The demo is installed whole, byte for byte.
demo="$root/share/storyloom-player/demo"
diff -r "$source_dir/examples/demo" "$demo" >/dev/null || fail "the installed demo differs from examples/demo"

# The installed player plays the installed demo.
if [ -x "$root/bin/storyloom-player" ]; then
  version="$("$root/bin/storyloom-player" --version)"
  [[ "$version" == "storyloom-player "* ]] || fail "--version printed: $version"
  mkdir -p "$dest/home"
  if ! HOME="$dest/home" XDG_CONFIG_HOME="$dest/home/.config" XDG_DATA_HOME="$dest/home/.local/share" \
    QT_QPA_PLATFORM=offscreen "$root/bin/storyloom-player" --project "$demo" \
    --walkthrough "$source_dir/tests/install/play_demo.walk" >"$dest/play.log" 2>&1; then
    cat "$dest/play.log"
    fail "the installed player did not play the installed demo"
  fi
fi

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "install tree OK"
