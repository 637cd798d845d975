#!/usr/bin/env bash
# KPXConfig itself driven from the keyboard alone (xdotool keys, no pointer), on an X server
# with a window manager (run through x_session.sh --wm): every field of KPX.cfg set by keys.
#   config_keyboard_test.sh path/to/KPXConfig
#
# Tab order: OK, Cancel, the checked resolution, Use Sound, the checked bit depth, the checked
# refresh rate, Compatability, Default, Perferred. The arrow keys walk the focused control's
# group and select the radio buttons they land on.
set -uo pipefail

bin=$(realpath "$1")
source "$(dirname "$0")/config_program_lib.sh"

keys() { xdotool key --delay 30 "$@"; }

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
if start; then
  keys Tab Tab Up Up         # 640x480, Use Sound, 1600x1200
  keys Tab Tab Down Down     # Use Sound, 16, 32, 16
  keys Tab Down Down Down Down   # "Default", Compatability, Default, Perferred, 60
  keys Return
  ended "wrapping groups"
  expect_file "wrapping groups" "01 05 00 00 00 00 00 00 00 00 00 00 00"
fi

# A file with no resolution shown: Tab reaches 640x480 without selecting it, Space selects it,
# Down moves on to 800x600. A focused push button takes Enter itself: Shift+Tab to Cancel and
# Enter write nothing; from Cancel, Down wraps past the "Resolution" frame to OK, and Enter
# there writes.
NO_RESOLUTION="01 09 00 00 00 01 00 00 00 03 00 00 00"
printf '\001\011\000\000\000\001\000\000\000\003\000\000\000' >KPX.cfg
if start; then
  keys Tab Tab space Down shift+Tab Return
  ended "Enter on Cancel"
  expect_file "Enter on Cancel" "$NO_RESOLUTION"
fi
if start; then
  keys Tab Tab Return        # 640x480 has the focus but is not selected: -1 stays
  ended "Tab into an empty group"
  expect_file "Tab into an empty group" "01 ff ff ff ff 01 00 00 00 03 00 00 00"
fi
printf '\001\011\000\000\000\001\000\000\000\003\000\000\000' >KPX.cfg
if start; then
  keys Tab Tab space Down shift+Tab Down Return
  ended "Enter on OK"
  expect_file "Enter on OK" "01 01 00 00 00 01 00 00 00 03 00 00 00"
fi

finish
