#!/usr/bin/env bash
# Builds the seed corpora from the demo and from fuzz/seeds/ (formats the demo lacks):
# fuzz/corpus/TARGET/.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
demo="$root/examples/demo"
out="$root/fuzz/corpus"
for t in fuzz_field_reader fuzz_project_files fuzz_more_files fuzz_pointer_loader fuzz_game_start fuzz_vbscript; do
  mkdir -p "$out/$t"
done
n=0
seed() {  # TARGET SELECTOR FILE
  n=$((n + 1))
  { printf "\\x$(printf %02x "$2")"; cat "$3"; } > "$out/$1/seed$n"
}
seed fuzz_project_files 0 "$demo/Config/General"
seed fuzz_project_files 1 "$demo/Config/Texts"
for f in "$demo"/Frames/*.fme; do seed fuzz_project_files 2 "$f"; done
for f in "$demo"/FramesData/*.fm1; do seed fuzz_project_files 3 "$f"; done
for f in "$demo"/FramesData/*.fm2 "$demo"/FramesData/*.mr2; do seed fuzz_project_files 4 "$f"; done
for f in "$demo"/FramesData/*.fm3 "$demo"/FramesData/*.mr3 "$demo"/FramesData/*.fm0; do seed fuzz_project_files 5 "$f"; done
seed fuzz_project_files 6 "$demo/Schemes/Classic/Scheme.txt"
# fuzz_more_files: the selector is the reader's place in its table.
seed fuzz_more_files 0 "$demo/Config/More"
seed fuzz_more_files 1 "$demo/Config/Variables"
seed fuzz_more_files 2 "$demo/Config/Procedures"
for f in "$demo"/Areas/*.obj; do seed fuzz_more_files 3 "$f"; done
seed fuzz_more_files 4 "$demo/Areas/Rope_on_Hook.drg"
seed fuzz_more_files 5 "$demo/FramesData/Boathouse.fm4"
for f in "$root"/fuzz/seeds/*.fm5; do [ -f "$f" ] && seed fuzz_more_files 6 "$f"; done
for f in "$demo"/Frames/*.lks; do seed fuzz_more_files 7 "$f"; done
seed fuzz_more_files 8 "$demo/Frames/Harbour.rwm"
seed fuzz_more_files 9 "$demo/Config/Resume"
for f in "$root"/fuzz/seeds/*.sav; do [ -f "$f" ] && seed fuzz_more_files 10 "$f"; done
seed fuzz_more_files 11 "$demo/FramesData/Keeper.dlg"
seed fuzz_more_files 12 "$demo/Frames/Pier.chn"
seed fuzz_more_files 13 "$demo/Frames/Harbour.rwe"
for f in "$root"/fuzz/seeds/CDContents; do [ -f "$f" ] && seed fuzz_more_files 14 "$f"; done
# fuzz_pointer_loader: the pointers of the demo and of the tests.
for f in "$demo"/Icons/* "$demo"/Areas/*.ico "$root"/fuzz/seeds/*.ani; do
  [ -f "$f" ] && cp "$f" "$out/fuzz_pointer_loader/$(basename "$f")"
done
# fuzz_game_start: the selector is the file's place in its table.
i=0
for f in Config/General Config/Variables Config/Procedures Config/Texts Config/More Schemes/Classic/Scheme.txt \
  Frames/Shore.fme Frames/Shore.lks FramesData/Shore.fm1 Icons/Arrow.cur Frames/Boathouse.fme \
  FramesData/Boathouse.fm0 FramesData/Boathouse.fm2 FramesData/Boathouse.fm3 FramesData/Boathouse.fm4 \
  Frames/Pier.chn Frames/Harbour.rwe Frames/Harbour.rwm FramesData/Keeper.dlg FramesData/Lamproom.mr2; do
  seed fuzz_game_start "$i" "$demo/$f"
  i=$((i + 1))
done
for f in "$demo"/Config/* "$demo"/FramesData/*; do cp "$f" "$out/fuzz_field_reader/$(basename "$f")"; done
# Scripts: every .vbs of the engine's tests, and the demo's procedures.
find "$root/tests" -name '*.vbs' -exec cp {} "$out/fuzz_vbscript/" \; 2>/dev/null || true
cp "$demo/Config/Procedures" "$out/fuzz_vbscript/Procedures"
