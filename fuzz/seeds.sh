#!/usr/bin/env bash
# Builds the seed corpora from the demo: fuzz/corpus/TARGET/.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
demo="$root/examples/demo"
out="$root/fuzz/corpus"
mkdir -p "$out/fuzz_field_reader" "$out/fuzz_project_files" "$out/fuzz_vbscript"
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
for f in "$demo"/Config/* "$demo"/FramesData/*; do cp "$f" "$out/fuzz_field_reader/$(basename "$f")"; done
# Scripts: every .vbs of the engine's tests, and the demo's procedures.
find "$root/tests" -name '*.vbs' -exec cp {} "$out/fuzz_vbscript/" \; 2>/dev/null || true
cp "$demo/Config/Procedures" "$out/fuzz_vbscript/Procedures"
