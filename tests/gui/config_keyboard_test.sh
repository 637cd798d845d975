#!/usr/bin/env bash
# KPXConfig itself driven from the keyboard alone (xdotool keys, no pointer), on an X server
# with a window manager (run through x_session.sh --wm): every field of KPX.cfg set by keys.
#   config_keyboard_test.sh path/to/KPXConfig
#   config_keyboard_test.sh wine-runner path/to/KPXConfig.exe
#
# Tab order: OK, Cancel, the checked resolution, Use Sound, the checked bit depth, the checked
# refresh rate, Compatability, Default, Perferred. The arrow keys walk the focused control's
# group and select the radio buttons they land on.
#
# The Windows dialog is the system's dialog manager, which differs in two ways, so some key
# sequences write other bytes there: a radio group with no checked button has no tab stop
# (Tab passes it), and the arrow keys also stop on the group boxes inside a group (the focus
# rests, unseen, on the "Bit Depth" frame between "Use Sound" and 640x480).
set -uo pipefail

source "$(dirname "$0")/config_program_lib.sh"

keys() { xdotool key --delay 30 "$@"; }
# The bytes expected from the wxWidgets dialog, or from the Windows one where they differ.
bytes() { if [ "$win32" = 1 ] && [ $# -gt 1 ]; then echo "$2"; else echo "$1"; fi; }

# 1152x864, 16 bits, 85 Hz, sound off, from the defaults; Enter from a radio button.
rm -f KPX.cfg
if start; then
  keys Tab Tab Down          # the checked 1024x768, then 1152x864
  keys Tab space             # "Use Sound", cleared
  keys Tab Up                # the checked 32, then 16
  keys Tab Down              # the checked 75, then 85
  keys Return
  ended "1152x864, 16, 85, no sound"
  expect_file "1152x864, 16, 85, no sound" "00 03 00 00 00 00 00 00 00 04 00 00 00"
fi

# Reopened: the "Compatability" preset pressed with Space, then Shift+Tab back round to OK and
# Enter. The preset checks "Use Sound" again.
if start; then
  keys Tab Tab Tab Tab Tab Tab   # Cancel, 1152x864, Use Sound, 16, 85, Compatability
  keys space
  keys shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab  # back to OK
  keys Return
  ended "Compatability"
  expect_file "Compatability" "$COMPATIBILITY"
fi

# Past the ends of the groups: Up from 640x480 goes by "Use Sound" to 1600x1200; two Downs
# from 16 come back to 16; from the refresh-rate "Default" (the group's last radio button),
# Down passes the three presets (focus only) and wraps to 60.
# Windows: Up Up ends on "Use Sound" by the "Bit Depth" frame; Tab Tab goes on to 16 and the
# rate "Default", Down Down to the presets Compatability and Default (focus only), Tab to
# Perferred, and the four Downs wrap to 60 and select 60, 70, 72 and 75.
if start; then
  keys Tab Tab Up Up         # 640x480, Use Sound, 1600x1200
  keys Tab Tab Down Down     # Use Sound, 16, 32, 16
  keys Tab Down Down Down Down   # "Default", Compatability, Default, Perferred, 60
  keys Return
  ended "wrapping groups"
  expect_file "wrapping groups" "$(bytes "01 05 00 00 00 00 00 00 00 00 00 00 00" \
                                         "01 00 00 00 00 00 00 00 00 03 00 00 00")"
fi

# A file with no resolution shown: Tab reaches 640x480 without selecting it, Space selects it,
# Down moves on to 800x600. A focused push button takes Enter itself: Shift+Tab to Cancel and
# Enter write nothing; from Cancel, Down wraps past the "Resolution" frame to OK, and Enter
# there writes.
# Windows: Tab passes the empty group to "Use Sound", Space clears it, Down rests on the
# "Bit Depth" frame and Shift+Tab goes back to "Use Sound"; Enter there is OK. The resolution
# is left empty: OK stores -1.
NO_RESOLUTION="01 09 00 00 00 01 00 00 00 03 00 00 00"
printf '\001\011\000\000\000\001\000\000\000\003\000\000\000' >KPX.cfg
if start; then
  keys Tab Tab space Down shift+Tab Return
  ended "Enter on Cancel"
  expect_file "Enter on Cancel" "$(bytes "$NO_RESOLUTION" "00 ff ff ff ff 01 00 00 00 03 00 00 00")"
fi
printf '\001\011\000\000\000\001\000\000\000\003\000\000\000' >KPX.cfg
if start; then
  keys Tab Tab Return        # 640x480 (Windows: Use Sound) has the focus, nothing selected: -1
  ended "Tab into an empty group"
  expect_file "Tab into an empty group" "01 ff ff ff ff 01 00 00 00 03 00 00 00"
fi
printf '\001\011\000\000\000\001\000\000\000\003\000\000\000' >KPX.cfg
if start; then
  keys Tab Tab space Down shift+Tab Down Return
  ended "Enter on OK"
  expect_file "Enter on OK" "$(bytes "01 01 00 00 00 01 00 00 00 03 00 00 00" \
                                     "00 ff ff ff ff 01 00 00 00 03 00 00 00")"
fi

finish
