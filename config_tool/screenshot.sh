#!/usr/bin/env bash
# Takes a picture of the KPXConfig dialog with its frame on a private X server, and optionally
# a second one with the control table's rectangles (converted to pixels) drawn over it in red.
#   config_tool/screenshot.sh path/to/KPXConfig out.png [overlay.png]
# Uses icewm when it is installed (it honours the dialog's close-box-only frame hints),
# otherwise openbox. KPX.cfg is taken from a fresh folder, so the dialog shows the defaults.
set -euo pipefail
bin=$(realpath "$1")
out=$(realpath -m "$2")
overlay=$(if [ -n "${3:-}" ]; then realpath -m "$3"; fi)
here=$(dirname "$(realpath "$0")")

shoot() {
  cd "$(mktemp -d)"
  local wm=""
  if command -v icewm >/dev/null; then
    icewm >/dev/null 2>&1 &
    wm=$!
    sleep 1.5
  fi
  "$bin" &
  local pid=$! win=""
  for _ in $(seq 1 200); do
    win=$(xdotool search --onlyvisible --name '^KPXConfig$' 2>/dev/null | head -1) && [ -n "$win" ] && break
    sleep 0.05
  done
  sleep 1
  local x y w h l r t b
  read -r x y w h < <(xwininfo -id "$win" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4}
    /Width:/ {w=$2} /Height:/ {h=$2} END {print x, y, w, h}')
  read -r l r t b < <(xprop -id "$win" _NET_FRAME_EXTENTS | sed 's/.*= //; s/,//g')
  import -window root -crop "$((w + l + r))x$((h + t + b))+$((x - l))+$((y - t))" +repage "$out"
  if [ -n "$overlay" ]; then
    # x, y, w, h of every row of the table; 4 x 8 dialog units are 7 x 13 pixels.
    local draw
    draw=$(grep -o '{ *[0-9]*, *[0-9]*, *[0-9]*, *[0-9]*}, \(kTabStop\|kGroup\|0\)}' \
             "$here/dialog_template.h" | tr -d '{},' |
           awk -v l="$l" -v t="$t" 'function px(v, b, d) { return int((v * b * 2 + d) / (2 * d)) }
             { X = px($1, 7, 4) + l; Y = px($2, 13, 8) + t
               printf "rectangle %d,%d %d,%d ", X, Y, X + px($3, 7, 4) - 1, Y + px($4, 13, 8) - 1 }')
    convert "$out" -fill none -stroke red -draw "$draw" "$overlay"
  fi
  xdotool key Escape
  wait "$pid"
  if [ -n "$wm" ]; then kill "$wm"; wait "$wm" 2>/dev/null || true; fi
  rm -rf "$PWD"
}

if [ "${INSIDE_X_SESSION:-}" = 1 ]; then
  shoot
else
  INSIDE_X_SESSION=1 exec "$here/../tests/gui/x_session.sh" $(command -v icewm >/dev/null || echo --wm) \
    -- "$0" "$@"
fi
