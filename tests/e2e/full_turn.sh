#!/usr/bin/env bash
# One whole turn of the real Vantu program on a private X server, played with real input.
#
#   full_turn.sh [WIDTHxHEIGHT]     640x480, 800x600, 1024x768 (default), 1152x864, 1280x1024
#                                   or 1600x1200
#
# The game's clock is fixed with faketime, so its seed is known and vantu-dicetrace, fed the same
# clicks, keys and pointer motion, says where every die must lie. After each step the screen is
# checked against that with vantu-shotcheck: the intro over with all five dice held, a throw by a
# click beside the table, two dice picked into the holding area, a throw by the right button, one
# die picked and thrown by Space, the fourth throw by a click (all five dice). Escape then ends the
# game with status 0 and the desktop's mode back.
#
# Environment: VANTU, VANTU_DICETRACE, VANTU_SHOTCHECK (the programs), VANTU_SOURCE_DIR (the
# repository, for data/), VANTU_SHOTS (optional: a folder that keeps the screenshots of each step).
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/xrig.sh"

SIZE=${1:-1024x768}
declare -A RESOLUTION_INDEX=([640x480]=0 [800x600]=1 [1024x768]=2 [1152x864]=3 [1280x1024]=4
                             [1600x1200]=5)
[ -n "${RESOLUTION_INDEX[$SIZE]:-}" ] || { echo "no such size: $SIZE" >&2; exit 2; }
DESKTOP=1024x768@60

source "$here/turn.sh"

rig_start
rig_set_mode 1024 768 60
xdotool mousemove 320 240

GAME_CLOCK=$START game_start "${RESOLUTION_INDEX[$SIZE]}" 1 3  # SIZE, 32 bits, 75 Hz
rig_wait 20 rig_mode_is "$SIZE@75" || rig_fail "the game's mode $SIZE@75 not shown: $(rig_mode)"
rig_log "game $GAME_PID running in $SIZE@75 with seed $SEED"

check 1-start                # the intro over, all five dice held

park
click 1                      # beside the table: the first throw, all five dice
check 2-first-throw

pick 0
pick 1
park
check 3-two-picked           # the two dice wait in the holding area

click 3                      # the right button throws the two
check 4-right-button-throw

pick 2
park
xdotool key space            # Space throws the one picked die
TRACE+="key down
frames 1
key up
"
check 5-space-throw

[ "$(value throwCount)" = 2 ] || rig_fail "three throws made, throwCount $(value throwCount)"
click 1                      # the fourth throw: a new turn, all five dice
[ "$(value throwCount)" = 0 ] || rig_fail "the fourth throw did not start a new turn"
for i in 0 1 2 3 4; do
    [ "$(die_value "$i" marked)" = 0 ] || rig_fail "die $i not thrown by the fourth throw"
done
check 6-fourth-throw

keep_shots
xdotool key Escape
game_end 0
rig_wait 5 rig_mode_is "$DESKTOP" || rig_fail "desktop left in $(rig_mode)"
rig_log "full turn at $SIZE passed"
