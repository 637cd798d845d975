#!/usr/bin/env bash
# KPXConfig itself on an X server with a window manager (run through x_session.sh --wm):
# its window and frame hints, its icons, and Enter, Escape, the close box and mouse clicks.
#   config_binary_test.sh path/to/KPXConfig
set -uo pipefail

bin=$(realpath "$1")
source "$(dirname "$0")/config_program_lib.sh"

# Clicks the centre of a control given its template rectangle (dialog units, 8-point sans:
# 4 x 8 units are 7 x 13 pixels).
click_control() {  # x y w h
  local origin cx cy
  origin=$(xwininfo -id "$win" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4} END {print x, y}')
  cx=$(( ${origin% *} + ($1 * 7 + 2) / 4 + ($3 * 7 + 2) / 4 / 2 ))
  cy=$(( ${origin#* } + ($2 * 13 + 4) / 8 + ($4 * 13 + 4) / 8 / 2 ))
  xdotool mousemove --sync "$cx" "$cy" click 1
}

# First run: the window, then Enter writes the defaults.
rm -f KPX.cfg
if start; then
  props=$(xprop -id "$win")
  grep -q '^WM_NAME(.*) = "KPXConfig"$' <<<"$props" && ok "caption" || fail "caption"
  grep -q 'Icon (32 x 32)' <<<"$props" && grep -q 'Icon (16 x 16)' <<<"$props" \
    && ok "32x32 and 16x16 icons" || fail "icons: $(grep -o 'Icon ([0-9 x]*)' <<<"$props" | tr '\n' ' ')"
  # Motif hints: functions move and close; decorations border, title and window menu.
  grep -q '^_MOTIF_WM_HINTS(_MOTIF_WM_HINTS) = 0x3, 0x24, 0x1a, 0x0, 0x0$' <<<"$props" \
    && ok "close box only" || fail "frame hints: $(grep MOTIF <<<"$props")"
  ! grep -q 'WM_TRANSIENT_FOR' <<<"$props" && ! grep -q 'SKIP_TASKBAR' <<<"$props" \
    && ok "own taskbar entry" || fail "the window is transient or skips the taskbar"
  size=$(xwininfo -id "$win" | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w "x" h}')
  [ "$size" = "352x327" ] && ok "client area 201 x 201 dialog units" || fail "client area $size"
  xdotool key Return
  ended "Enter"
  expect_file "first run, Enter" "$DEFAULTS"
fi

# Escape writes nothing.
rm -f KPX.cfg
if start; then
  xdotool key Escape
  ended "Escape"
  expect_file "Escape" ""
fi

# The close box writes nothing either.
printf '\001\000\000\000\000\000\000\000\000\007\000\000\000' >KPX.cfg
if start; then
  wmctrl -c KPXConfig
  ended "close box"
  expect_file "close box" "$COMPATIBILITY"
fi

# Clicking "Perferred", then OK.
if start; then
  click_control 139 148 55 16
  sleep 0.2
  click_control 50 180 50 14
  ended "Perferred, OK"
  expect_file "Perferred, OK" "$PREFERRED"
fi

finish
