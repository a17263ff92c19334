#!/usr/bin/env bash
# Renders Drivora's Help dialog (130) and About box (100) to PNG under Xvfb.
# Usage: render_dialogs.sh <Windows build bin dir> <output dir>
# Needs WINEPREFIX set and a running X display in DISPLAY (Xvfb).
set -euo pipefail
bin=$(cd "$1" && pwd)
out=$(mkdir -p "$2" && cd "$2" && pwd)
wine=${WINE:-wine}
for spec in 130:help 100:about; do
  id=${spec%%:*}
  name=${spec##*:}
  "$wine" "$bin/show_dialog.exe" "$bin/Drivora.exe" "$id" 6000 </dev/null >/dev/null 2>&1 &
  pid=$!
  win=""
  for _ in $(seq 50); do
    sleep 0.2
    win=$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | head -1 || true)
    [[ -z $win ]] && win=$(xdotool search --onlyvisible --name '^(Help|About Kestrix)$' 2>/dev/null | head -1 || true)
    [[ -n $win ]] && break
  done
  sleep 1
  if [[ -n $win ]]; then
    eval "$(xdotool getwindowgeometry --shell "$win")"
    import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" "$out/drivora-$name.png"
  else
    import -window root "$out/drivora-$name.png"
  fi
  wait "$pid" || true
  echo "$out/drivora-$name.png"
done
