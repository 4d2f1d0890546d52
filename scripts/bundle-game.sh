#!/usr/bin/env bash
# Makes a folder an author can zip and hand to Linux players:
#   OUT_DIR/                the game's own files, unchanged
#   OUT_DIR/storyloom-player  the player, beside the game (with no arguments it plays its own folder)
#   OUT_DIR/play            starts the player with the libraries and plugins below
#   OUT_DIR/runtime/        the Qt and GStreamer libraries, Qt plugins and GStreamer plugins
#   OUT_DIR/<Title>.desktop a desktop entry named after the game's title
#
# Usage: scripts/bundle-game.sh GAME_DIR OUT_DIR
# The player is $STORYLOOM_PLAYER, else build/src/storyloom-player, else the one on PATH.
set -euo pipefail

die() {
  echo "bundle-game: $*" >&2
  exit 1
}
[ $# -eq 2 ] || die "usage: bundle-game.sh GAME_DIR OUT_DIR"
game="$(cd "$1" 2>/dev/null && pwd)" || die "no such folder: $1"
out="$2"
root="$(cd "$(dirname "$0")/.." && pwd)"

player="${STORYLOOM_PLAYER:-}"
if [ -z "$player" ]; then
  if [ -x "$root/build/src/storyloom-player" ]; then
    player="$root/build/src/storyloom-player"
  else
    player="$(command -v storyloom-player || true)"
  fi
fi
[ -x "$player" ] || die "no player found: build it or set STORYLOOM_PLAYER"
for tool in ldd find cp; do
  command -v "$tool" >/dev/null || die "$tool is needed"
done

# The game's settings, found as the player finds them: each name in any case.
general="$(find "$game" -maxdepth 2 -ipath "$game/config/general" -type f | head -n 1)"
[ -n "$general" ] || die "$game is not a game: it has no Config/General file"
for name in storyloom-player play runtime; do
  [ ! -e "$game/$name" ] || die "the game already has a file named $name; the bundle needs that name"
done
if [ -e "$out" ] && [ -n "$(ls -A "$out")" ]; then die "$out is not empty"; fi

# The title is the third field of the settings' first line: "Name","","Title",...
# (quoted fields, "" for a quote inside one; the file is Windows-1252).
first_line="$(head -n 1 "$general" | tr -d '\r')"
if command -v iconv >/dev/null; then
  first_line="$(printf '%s' "$first_line" | iconv -f WINDOWS-1252 -t UTF-8 2>/dev/null || printf '%s' "$first_line")"
fi
fields=()
field="" quoted=0 i=0
while [ $i -lt ${#first_line} ]; do
  c="${first_line:i:1}"
  if [ $quoted -eq 1 ]; then
    if [ "$c" = '"' ]; then
      if [ "${first_line:i+1:1}" = '"' ]; then
        field+='"'
        i=$((i + 1))
      else
        quoted=0
      fi
    else
      field+="$c"
    fi
  elif [ "$c" = '"' ]; then
    quoted=1
  elif [ "$c" = ',' ]; then
    fields+=("$field")
    field=""
  else
    field+="$c"
  fi
  i=$((i + 1))
done
fields+=("$field")
title="${fields[2]:-}"
[ -n "$title" ] || title="${fields[0]:-$(basename "$game")}"
# The desktop file's name: the title with anything but letters, digits, "-", "_" and "."
# made a "-".
file_title="$(printf '%s' "$title" | LC_ALL=C sed 's/[^A-Za-z0-9._-]/-/g; s/--*/-/g; s/^-//; s/-$//')"
[ -n "$file_title" ] || file_title="game"

mkdir -p "$out"
out="$(cd "$out" && pwd)"
case "$out/" in
  "$game"/*) rmdir "$out" 2>/dev/null; die "OUT_DIR must not be inside the game's folder" ;;
esac
cp -a "$game/." "$out/"
cp "$player" "$out/storyloom-player"

runtime="$out/runtime"
mkdir -p "$runtime/lib" "$runtime/plugins" "$runtime/gstreamer-1.0"

# Libraries every desktop has and that must match its drivers or its C library.
system_libraries='^(ld-linux.*|libc|libm|libdl|libpthread|librt|libresolv|libutil|libGL|libGLX.*|libEGL|libGLdispatch|libOpenGL|libGLESv2|libgbm|libdrm|libX11|libX11-xcb|libxcb|libasound|libfontconfig|libfreetype|libexpat|libwayland-client|libwayland-cursor|libwayland-egl|libvulkan)[.]so'
# Copies into runtime/lib what the player and the given plugins need, directly or in turn.
# The plugins are traced in one run of the dynamic loader, as if preloaded into the
# player (a run of ldd for each of hundreds of plugins takes minutes).
copy_libraries() {
  local loader listing
  loader="$(ldd "$player" | awk '$1 ~ /^\// && $1 ~ /ld-linux/ && !done { print $1; done = 1 }')"
  [ -x "$loader" ] || die "cannot find the dynamic loader of $player"
  listing="$(ldd "$player" "${extra_programs[@]}" 2>/dev/null || true)"
  listing+=$'\n'"$(LD_PRELOAD="$*" LD_TRACE_LOADED_OBJECTS=1 "$loader" "$player" 2>/dev/null || true)"
  if grep -q 'not found' <<<"$listing"; then
    grep 'not found' <<<"$listing" | sort -u >&2
    die "a library the player needs is missing on this machine"
  fi
  awk -v skip="$system_libraries" '$2 == "=>" && $3 ~ /^\// {
      n = split($3, parts, "/"); if (parts[n] !~ skip) print $3 }' <<<"$listing" |
    sort -u | xargs -r cp -L -t "$runtime/lib/"
}

# Qt plugins: windows on X11, Wayland and offscreen, the image formats, the media backends.
qt_plugins="$(qtpaths6 --query QT_INSTALL_PLUGINS 2>/dev/null || true)"
if [ -z "$qt_plugins" ] || [ ! -d "$qt_plugins" ]; then
  core="$(ldd "$player" | awk '/libQt6Core/ { print $3 }')"
  qt_plugins="$(dirname "$core")/qt6/plugins"
fi
[ -d "$qt_plugins/platforms" ] || die "no Qt plugins found (looked in $qt_plugins)"
for kind in platforms imageformats multimedia iconengines platforminputcontexts xcbglintegrations \
  wayland-shell-integration wayland-decoration-client wayland-graphics-integration-client; do
  if [ -d "$qt_plugins/$kind" ]; then cp -a "$qt_plugins/$kind" "$runtime/plugins/"; fi
done

# GStreamer: its plugins and the scanner that reads them, beside libgstreamer.
gst_core="$(ldd "$qt_plugins/multimedia/"*.so 2>/dev/null | awk '/libgstreamer-1.0/ && !done { print $3; done = 1 }')"
if [ -n "$gst_core" ]; then
  gst_libdir="$(dirname "$gst_core")"
  if [ -d "$gst_libdir/gstreamer-1.0" ]; then cp -a "$gst_libdir/gstreamer-1.0/." "$runtime/gstreamer-1.0/"; fi
  scanner="$gst_libdir/gstreamer1.0/gstreamer-1.0/gst-plugin-scanner"
  if [ -x "$scanner" ]; then cp "$scanner" "$runtime/gst-plugin-scanner"; fi
fi

# The plugins' own paths (system folders, without blanks) are traced, not the copies.
plugins=()
for f in "$runtime"/plugins/*/*.so; do
  if [ -e "$f" ]; then plugins+=("$qt_plugins/${f#"$runtime/plugins/"}"); fi
done
if [ -n "${gst_libdir:-}" ]; then
  for f in "$runtime"/gstreamer-1.0/*.so; do
    if [ -e "$f" ]; then plugins+=("$gst_libdir/gstreamer-1.0/${f##*/}"); fi
  done
fi
extra_programs=()
if [ -e "$runtime/gst-plugin-scanner" ]; then extra_programs+=("$scanner"); fi
copy_libraries "${plugins[@]}"

cat >"$out/play" <<'PLAY'
#!/bin/bash
# Plays the game in this folder with the libraries and plugins in runtime/.
here="${BASH_SOURCE[0]%/*}"
[ "$here" = "${BASH_SOURCE[0]}" ] && here=.
here="$(cd "$here" && pwd)"
export LD_LIBRARY_PATH="$here/runtime/lib${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}"
export QT_PLUGIN_PATH="$here/runtime/plugins"
export GST_PLUGIN_SYSTEM_PATH_1_0="$here/runtime/gstreamer-1.0"
export GST_PLUGIN_SCANNER_1_0="$here/runtime/gst-plugin-scanner"
unset GST_PLUGIN_PATH_1_0 GST_PLUGIN_PATH
# The plugin registry goes to the user's cache: the game folder may be read-only.
cache="${XDG_CACHE_HOME:-${HOME:-/tmp}/.cache}/storyloom-player"
mkdir -p "$cache" 2>/dev/null
export GST_REGISTRY_1_0="$cache/gstreamer-registry-$(cksum <<<"$here" | cut -d' ' -f1).bin"
exec "$here/storyloom-player" "$@"
PLAY
chmod +x "$out/play" "$out/storyloom-player"

# A desktop entry: starts ./play next to itself (%k is where the entry lies).
desktop_name="${title//\\/\\\\}"
cat >"$out/$file_title.desktop" <<DESKTOP
[Desktop Entry]
Type=Application
Name=$desktop_name
Comment=Play $desktop_name
Exec=sh -c "exec \\\\"\\\\\$(dirname \\\\"\\\\\$1\\\\")/play\\\\"" sh %k
Icon=storyloom-player
Terminal=false
Categories=Game;AdventureGame;
DESKTOP
chmod +x "$out/$file_title.desktop"

echo "bundled \"$title\" into $out ($(du -sh "$out" | cut -f1))"
