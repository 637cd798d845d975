#!/usr/bin/env bash
# The real Vantu on a private X server with two outputs, played with real input.
#
#   outputs.sh LAYOUT     right: the primary at (0, 0), the other to its right
#                         left: the primary to the right of the other
#                         lower: the primary at (0, 300), the other at (1920, 0)
#                         stacked: the other at (0, 0), the primary (not the first output)
#                                  below it
#                         far: the other at (0, 0), the primary at (31700, 0), so far right
#                              that the screen (at most 32767 wide) cannot hold the primary in
#                              the game's mode, which the primary lists: a switch that fails
#
# Both outputs run 1024x768 at 60 Hz. The game (640x480 at 85 Hz, clock fixed with faketime)
# must switch only the primary, in place, and cover it; the pointer starts at (320, 240) of the
# primary and the first frames must see no motion. Pointer motion then moves the hand, a right
# click throws, a left click picks a die (each checked on the primary's part of the screen
# against vantu-dicetrace), Escape ends the game with status 0, and both outputs are back in
# their modes and places. Then the same start ends with SIGKILL: the guardian puts both back.
# In the left layout the game is also minimised and restored on the way; in the stacked one a
# return fails first (its mode taken from the output meanwhile). In the far layout the
# game (1600x1200 at 60 Hz) must end as for a mode the display does not list: the SHUTDOWN
# ERROR box, a line on standard error, status 1, both outputs as they were.
#
# Environment: VANTU, VANTU_DICETRACE, VANTU_SHOTCHECK, VANTU_SOURCE_DIR.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/xrig.sh"

source "$here/turn.sh"

LAYOUT=${1:?layout}
GAME_MODE=640x480@85

# outputs: every active output as NAME WxH+X+Y@RATE, primary marked with a *, one a line.
outputs() {
    xrandr 2>/dev/null | awk '
        /^[^ ]/ { name = ""; if ($2 == "connected") { name = $1; primary = ($3 == "primary")
                  geometry = primary ? $4 : $3 } }
        name != "" && /\*/ && geometry ~ /^[0-9]+x[0-9]+\+/ {
            for (i = 2; i <= NF; i++) if ($i ~ /\*/) { r = $i; gsub(/[*+]/, "", r) }
            printf "%s%s %s@%.0f\n", name, primary ? "*" : "", geometry, r; name = "" }' | sort
}

outputs_are() {
    [ "$(outputs)" = "$1" ]
}

# In the stacked layout the server leaves the game's mode out, and the primary has it from
# xrandr alone (so that it can be taken away while the game is minimised).
GAME_MODE_NAME=vantu_${GAME_MODE/@/_}
add_game_mode() {
    local w=${GAME_MODE%x*} rest=${GAME_MODE#*x}
    xrandr --newmode "$GAME_MODE_NAME" $(gtf "$w" "${rest%@*}" "${GAME_MODE#*@}" |
        awk '/Modeline/ { $1 = $2 = ""; print }') && xrandr --addmode DUMMY1 "$GAME_MODE_NAME"
}

# Every mode the first output lists (by id), added to DUMMY1 as well.
add_modes() {
    local id
    for id in $(xrandr --verbose | awk '/^  [0-9]+x[0-9]+ \(0x[0-9a-f]+\)/ { gsub(/[()]/, "", $2); print $2 }' | sort -u); do
        xrandr --addmode DUMMY1 "$id" 2>/dev/null
    done
}

set_layout() {
    add_modes
    case $LAYOUT in
        right) xrandr --output DUMMY0 --primary --mode 1024x768 --rate 60 --pos 0x0 \
                      --output DUMMY1 --mode 1024x768 --rate 60 --pos 1024x0 ;;
        left) xrandr --output DUMMY0 --primary --mode 1024x768 --rate 60 --pos 1024x0 \
                     --output DUMMY1 --mode 1024x768 --rate 60 --pos 0x0 ;;
        lower) xrandr --output DUMMY0 --primary --mode 1024x768 --rate 60 --pos 0x300 \
                      --output DUMMY1 --mode 1024x768 --rate 60 --pos 1920x0 ;;
        far) xrandr --output DUMMY0 --primary --mode 1024x768 --rate 60 --pos 31700x0 \
                    --output DUMMY1 --mode 1024x768 --rate 60 --pos 0x0 ;;
        stacked) add_game_mode &&
                 xrandr --output DUMMY1 --primary --mode 1024x768 --rate 60 --pos 0x768 \
                        --output DUMMY0 --mode 1024x768 --rate 60 --pos 0x0 ;;
        *) echo "no such layout: $LAYOUT" >&2; exit 2 ;;
    esac || rig_fail "xrandr could not set the layout $LAYOUT"
    rig_wait 5 sh -c "xrandr | grep -c '^DUMMY[01] connected.*[0-9]x[0-9]' | grep -qx 2" ||
        rig_fail "two outputs not up: $(xrandr | grep connected)"
}

# The game in its mode (in the far layout 1600x1200 at 60 Hz), 32 bits.
if [ "$LAYOUT" = far ]; then GAME_SETTINGS=(5 1 0); else GAME_SETTINGS=(0 1 4); fi

# running: only the primary is in the game's mode, in its place; the window covers it.
running() {
    rig_wait 20 outputs_are "$GAME_OUTPUTS" ||
        rig_fail "outputs while the game runs:
$(outputs)
expected:
$GAME_OUTPUTS"
    local id=
    for _ in $(seq 100); do
        id=$(xdotool search --onlyvisible --name '^Vantu$' 2>/dev/null | head -n1)
        [ -n "$id" ] && break
        sleep 0.05
    done
    [ -n "$id" ] || rig_fail "no Vantu window (stderr: $(cat "$GAME_DIR/err.log"))"
    local want got
    want="${PRIMARY_X},${PRIMARY_Y} ${GAME_MODE%@*}"
    rig_wait 5 sh -c "xdotool getwindowgeometry $id | awk '/Position/ { p = \$2 } /Geometry/ { g = \$2 } END { print p, g }' | grep -qx '$want'" ||
        rig_fail "the window is at $(xdotool getwindowgeometry "$id" | tr '\n' ' '), the primary at $want"
    GAME_WINDOW=$id
}

if [ "$LAYOUT" = stacked ]; then rig_start "$GAME_MODE"; else rig_start; fi
set_layout
DESKTOP_OUTPUTS=$(outputs)
primary=$(grep '\*' <<<"$DESKTOP_OUTPUTS")
PRIMARY_X=$(sed 's/.*+\([0-9]*\)+\([0-9]*\)@.*/\1/' <<<"$primary")
PRIMARY_Y=$(sed 's/.*+\([0-9]*\)+\([0-9]*\)@.*/\2/' <<<"$primary")
GAME_OUTPUTS=$(sed "s/\\(\\*\\) [0-9]*x[0-9]*\\(+[0-9]*+[0-9]*\\)@[0-9]*/\\1 ${GAME_MODE%@*}\\2@${GAME_MODE#*@}/" <<<"$DESKTOP_OUTPUTS")
rig_log "layout $LAYOUT: $(tr '\n' ' ' <<<"$DESKTOP_OUTPUTS")"
SHOT_AREA="${GAME_MODE%@*}+$PRIMARY_X+$PRIMARY_Y"
xdotool mousemove $((PRIMARY_X + 320)) $((PRIMARY_Y + 240))

if [ "$LAYOUT" = far ]; then
    game_start "${GAME_SETTINGS[@]}"
    rig_wait_box 10
    grep -q '^Vantu: the display did not switch to 1600x1200 at 60 Hz' "$GAME_DIR/err.log" ||
        rig_fail "no line on the failed switch: $(cat "$GAME_DIR/err.log")"
    outputs_are "$DESKTOP_OUTPUTS" || rig_fail "under the box: $(outputs)"
    [ -z "$(xdotool search --onlyvisible --name '^Vantu$')" ] || rig_fail "a game window is shown"
    xdotool windowfocus --sync "$BOX" key Return
    game_end 1
    outputs_are "$DESKTOP_OUTPUTS" || rig_fail "after the failed switch: $(outputs)"
    rig_log "failed switch reported: $(grep '^Vantu' "$GAME_DIR/err.log")"
    exit 0
fi

GAME_CLOCK=$START game_start "${GAME_SETTINGS[@]}"
running
rig_log "game $GAME_PID: $(tr '\n' ' ' <<<"$GAME_OUTPUTS")"
check 1-start                # no motion seen: the pointer stayed on the game's output
park                         # pointer motion moves the hand
click 3                      # the right button throws all five
check 2-right-button-throw
pick 0                       # a left click picks a die
check 3-picked
keep_shots
if [ "$LAYOUT" = left ]; then
    # Minimised, the desktop has both outputs as they were; restored, the game's mode is back.
    xdotool windowminimize "$GAME_WINDOW"
    rig_wait 5 outputs_are "$DESKTOP_OUTPUTS" || rig_fail "minimised: $(outputs)"
    xdotool windowactivate "$GAME_WINDOW"
    rig_wait 5 outputs_are "$GAME_OUTPUTS" || rig_fail "restored: $(outputs)"
    rig_log "minimised and restored"
fi
if [ "$LAYOUT" = stacked ]; then
    # The game's mode taken from the primary while the game is minimised: the return cannot
    # switch back, so the game says so and is minimised again, the desktop as it was. With the
    # mode back, the next return switches.
    xdotool windowminimize "$GAME_WINDOW"
    rig_wait 5 outputs_are "$DESKTOP_OUTPUTS" || rig_fail "minimised: $(outputs)"
    xrandr --delmode DUMMY1 "$GAME_MODE_NAME" || rig_fail "xrandr could not take the game's mode away"
    xdotool windowactivate "$GAME_WINDOW"
    rig_wait 5 grep -q '^Vantu: the display did not switch back to the game' "$GAME_DIR/err.log" ||
        rig_fail "no line on the failed return: $(cat "$GAME_DIR/err.log")"
    rig_wait 5 sh -c "xprop -id $GAME_WINDOW WM_STATE | grep -q Iconic" ||
        rig_fail "not minimised again after the failed return"
    outputs_are "$DESKTOP_OUTPUTS" || rig_fail "after the failed return: $(outputs)"
    xrandr --addmode DUMMY1 "$GAME_MODE_NAME"
    xdotool windowactivate "$GAME_WINDOW"
    running
    rig_log "a failed return reported, the next one switched"
fi
xdotool key Escape
game_end 0
rig_wait 5 outputs_are "$DESKTOP_OUTPUTS" || rig_fail "after Escape: $(outputs)"

game_start "${GAME_SETTINGS[@]}"
running
kill -9 "$GAME_PID"
start=$(date +%s%N)
wait "$GAME_PID" 2>/dev/null
rig_wait 5 outputs_are "$DESKTOP_OUTPUTS" || rig_fail "after SIGKILL: $(outputs)"
rig_log "both outputs back $((($(date +%s%N) - start) / 1000000)) ms after SIGKILL"
rig_log "layout $LAYOUT passed"
