#!/usr/bin/env bash
# KPXConfig, then Vantu, on the Xorg dummy rig of tests/e2e: the buttons selected in the dialog
# and confirmed with OK decide the display mode the game opens in.
# Environment: KPXCONFIG and VANTU (the programs), VANTU_SOURCE_DIR (the repository).
set -uo pipefail
: "${KPXCONFIG:?the KPXConfig program}" "${VANTU:?the Vantu program}"
: "${VANTU_SOURCE_DIR:?the repository}"
source "$VANTU_SOURCE_DIR/tests/e2e/xrig.sh"
export ASAN_OPTIONS=detect_leaks=0 NO_AT_BRIDGE=1 GDK_BACKEND=x11

rig_start
rig_set_mode 1024 768 60
work=$(mktemp -d "$RIG_DIR/config.XXXXXX")
cd "$work" || exit 1
ln -s "$VANTU_SOURCE_DIR/data" data

# Opens the dialog, clicks the controls given by their template rectangles (x,y,w,h in dialog
# units; 4 x 8 units are 7 x 13 pixels), then OK.
choose() {
  "$KPXCONFIG" &
  local pid=$! win="" origin rect x y w h
  for _ in $(seq 200); do
    win=$(xdotool search --onlyvisible --name '^KPXConfig$' 2>/dev/null | head -1)
    [ -n "$win" ] && [ "$(xdotool getactivewindow 2>/dev/null)" = "$win" ] && break
    sleep 0.05
  done
  [ -n "$win" ] || rig_fail "no KPXConfig window"
  origin=$(xwininfo -id "$win" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4} END {print x, y}')
  for rect in "$@" 50,180,50,14; do
    IFS=, read -r x y w h <<<"$rect"
    xdotool mousemove --sync $(( ${origin% *} + (x * 7 + 2) / 4 + (w * 7 + 2) / 4 / 2 )) \
      $(( ${origin#* } + (y * 13 + 4) / 8 + (h * 13 + 4) / 8 / 2 )) click 1
    sleep 0.1
  done
  rig_wait 10 sh -c "! kill -0 $pid" || rig_fail "KPXConfig did not close at OK"
  wait "$pid" || rig_fail "KPXConfig ended with status $?"
  rig_log "KPX.cfg: $(od -An -tx1 KPX.cfg)"
}

# Runs the game here; it must open in MODE, and Escape must give the desktop back.
game_opens_in() {
  "$VANTU" >game.log 2>&1 &
  local pid=$!
  rig_wait 15 rig_mode_is "$1" || rig_fail "display in $(rig_mode), expected $1: $(cat game.log)"
  rig_wait 10 sh -c "xdotool search --onlyvisible --name '^Vantu\$'" || rig_fail "no Vantu window"
  rig_log "the game opened in $1"
  xdotool key Escape
  rig_wait 10 sh -c "! kill -0 $pid" || rig_fail "the game did not end"
  wait "$pid" || rig_fail "the game ended with status $?"
  rig_wait 5 rig_mode_is 1024x768@60 || rig_fail "desktop left in $(rig_mode)"
}

choose 15,32,62,15 146,83,36,13  # "800x600", "85"
game_opens_in 800x600@85
choose 7,148,55,16               # "Compatability": 640x480, the display's default rate
game_opens_in 640x480@60
choose 139,148,55,16 15,74,62,15 # "Perferred", then "1280x1024": 100 Hz kept
game_opens_in 1280x1024@100
echo "3 passed, 0 failed"
