#!/usr/bin/env bash
# Bundles the demo with scripts/bundle-game.sh, then plays it from another folder in a clean
# environment, from a read-only copy, as a player who has nothing installed would.
# Usage: bundle_test.sh PLAYER SOURCE_DIR. Exits 77 (skipped) when the tools are missing.
set -uo pipefail
player="$1"
source_dir="$2"
for tool in ldd qtpaths6 find cp awk xargs; do
  if ! command -v "$tool" >/dev/null; then
    echo "SKIPPED: bundling needs $tool"
    exit 77
  fi
done
work="$(mktemp -d)"
trap 'chmod -R u+w "$work" 2>/dev/null; rm -rf "$work"' EXIT
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# A folder that is not a game is refused, and nothing is made.
mkdir -p "$work/not-a-game/Frames"
if STORYLOOM_PLAYER="$player" bash "$source_dir/scripts/bundle-game.sh" "$work/not-a-game" "$work/refused" \
  2>"$work/refused.txt"; then
  fail "a folder without Config/General was bundled"
fi
grep -q "is not a game: it has no Config/General file" "$work/refused.txt" || fail "refused without saying why"
[ ! -e "$work/refused" ] || fail "a refused bundle left its folder behind"

out="$work/The Bundle"  # a blank in the path, as in a user's folder
if ! STORYLOOM_PLAYER="$player" bash "$source_dir/scripts/bundle-game.sh" "$source_dir/examples/demo" "$out"; then
  echo "FAIL: bundle-game.sh failed"
  exit 1
fi

# The game's files are there unchanged, the player beside them.
(cd "$source_dir/examples/demo" && find . -type f) | while read -r f; do
  cmp -s "$source_dir/examples/demo/$f" "$out/$f" || echo "FAIL: $f differs or is missing"
done | grep FAIL && failures=$((failures + 1))
[ -x "$out/storyloom-player" ] || fail "no player beside the game"
[ -x "$out/play" ] || fail "no play script"
desktop="$out/The-Lighthouse-Keeper.desktop"
if [ -f "$desktop" ]; then
  grep -qx 'Name=The Lighthouse Keeper' "$desktop" || fail "the desktop entry has another name"
  grep -q '^Exec=.*play.* %k$' "$desktop" || fail "the desktop entry does not start the play script"
else
  fail "no desktop entry named after the title"
fi
for lib in libQt6Core.so.6 libQt6Multimedia.so.6 libgstreamer-1.0.so.0; do
  [ -f "$out/runtime/lib/$lib" ] || fail "runtime/lib has no $lib"
done
[ -f "$out/runtime/lib/libc.so.6" ] && fail "the C library was bundled"
[ -f "$out/runtime/plugins/platforms/libqxcb.so" ] || fail "no X11 platform plugin"
ls "$out"/runtime/gstreamer-1.0/libgstcoreelements.so >/dev/null 2>&1 || fail "no GStreamer core elements"

# Played from another folder, read-only, with nothing of this machine's environment.
chmod -R a-w "$out"
mkdir -p "$work/elsewhere" "$work/home"
clean_env=(env -i HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_DATA_HOME="$work/home/.local/share"
  XDG_CACHE_HOME="$work/home/.cache" XDG_RUNTIME_DIR="$work/home" QT_QPA_PLATFORM=offscreen)
cd "$work/elsewhere" || exit 1
# The bundled Qt libraries are the ones loaded.
"${clean_env[@]}" LD_DEBUG=libs LD_DEBUG_OUTPUT="$work/ld" "$out/play" --version >"$work/version.txt" 2>&1
grep -q '^storyloom-player ' "$work/version.txt" || fail "the bundled player did not start: $(cat "$work/version.txt")"
grep -h 'calling init: .*libQt6Core' "$work"/ld.* 2>/dev/null | grep -q "$out/runtime/lib/libQt6Core" ||
  fail "Qt was not loaded from the bundle"
# With no arguments the player plays the game in its own folder.
if ! "${clean_env[@]}" LD_DEBUG=files LD_DEBUG_OUTPUT="$work/ldplay" "$out/play" \
  --walkthrough "$source_dir/tests/install/play_demo.walk" >"$work/play.log" 2>&1; then
  tail -20 "$work/play.log"
  fail "the bundled player did not play the demo"
fi
# Qt's platform plugin came from the bundle too.
grep -hq "file=$out/runtime/plugins/platforms/libqoffscreen.so" "$work"/ldplay.* 2>/dev/null ||
  fail "the platform plugin was not loaded from the bundle"

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "bundle OK"
