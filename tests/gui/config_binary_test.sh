#!/usr/bin/env bash
# KPXConfig itself on an X server with a window manager (run through x_session.sh --wm):
# its window and frame hints, its icons, and Enter, Escape, the close box and mouse clicks.
#   config_binary_test.sh path/to/KPXConfig
set -uo pipefail

source "$(dirname "$0")/config_program_lib.sh"

# Dialog units to pixels, rounded to nearest: 4 x 8 units are dlu_x x dlu_y pixels.
px_x() { echo $(( ($1 * dlu_x + 2) / 4 )); }
px_y() { echo $(( ($1 * dlu_y + 4) / 8 )); }

# Clicks the centre of a control given its template rectangle in dialog units.
click_control() {  # x y w h
  local origin cx cy
  origin=$(xwininfo -id "$win" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4} END {print x, y}')
  cx=$(( ${origin% *} + $(px_x "$1") + $(px_x "$3") / 2 ))
  cy=$(( ${origin#* } + $(px_y "$2") + $(px_y "$4") / 2 ))
  xdotool mousemove --sync "$cx" "$cy" click 1
}

# First run: the window, then Enter writes the defaults.
rm -f KPX.cfg
if start; then
  props=$(xprop -id "$win")
  grep -q '^WM_NAME(.*) = "KPXConfig"$' <<<"$props" && ok "caption" || fail "caption"
  # The Windows dialog sets its one icon handle as both the big and the small icon, which Wine
  # hands to the window manager once, at 32 x 32.
  grep -q 'Icon (32 x 32)' <<<"$props" && { [ "$win32" = 1 ] || grep -q 'Icon (16 x 16)' <<<"$props"; } \
    && ok "icons" || fail "icons: $(grep -o 'Icon ([0-9 x]*)' <<<"$props" | tr '\n' ' ')"
  # Motif hints: functions move and close; decorations border, title and window menu.
  grep -q '^_MOTIF_WM_HINTS(_MOTIF_WM_HINTS) = 0x3, 0x24, 0x1a, 0x0, 0x0$' <<<"$props" \
    && ok "close box only" || fail "frame hints: $(grep MOTIF <<<"$props")"
  ! grep -q 'WM_TRANSIENT_FOR' <<<"$props" && ! grep -q 'SKIP_TASKBAR' <<<"$props" \
    && ok "own taskbar entry" || fail "the window is transient or skips the taskbar"
  size=$(xwininfo -id "$win" | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w "x" h}')
  want="$(px_x 201)x$(px_y 201)"  # 352x327 with DejaVu Sans, 302x327 with MS Sans Serif
  [ "$size" = "$want" ] && ok "client area 201 x 201 dialog units" || fail "client area $size, want $want"
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
