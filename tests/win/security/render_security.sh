#!/usr/bin/env bash
# Renders the Security page in each of its views to PNG under Xvfb.
# Usage: render_security.sh <Windows build bin dir> <output dir>
# Needs WINEPREFIX set, a running wineserver and X display (Xvfb) in DISPLAY.
set -euo pipefail
bin=$(cd "$1" && pwd)
out=$(mkdir -p "$2" && cd "$2" && pwd)
wine=${WINE:-wine}
"$wine" "$bin/render_security.exe" "$(winepath -w "$out")" </dev/null >"$out/render.log" 2>&1
for bmp in "$out"/security-*.bmp; do
  convert "$bmp" "${bmp%.bmp}.png"
  rm -f "$bmp"
  echo "${bmp%.bmp}.png"
done
