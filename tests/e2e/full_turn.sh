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

: "${VANTU:?the Vantu program}"
: "${VANTU_DICETRACE:?the vantu-dicetrace program}"
: "${VANTU_SHOTCHECK:?the vantu-shotcheck program}"
: "${VANTU_SOURCE_DIR:=$(cd "$here/../.." && pwd)}"

export ASAN_OPTIONS=detect_leaks=0:verify_asan_link_order=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

SIZE=${1:-1024x768}
declare -A RESOLUTION_INDEX=([640x480]=0 [800x600]=1 [1024x768]=2 [1152x864]=3 [1280x1024]=4
                             [1600x1200]=5)
[ -n "${RESOLUTION_INDEX[$SIZE]:-}" ] || { echo "no such size: $SIZE" >&2; exit 2; }
DESKTOP=1024x768@60
START="2026-01-01 00:00:00"  # the game's clock: seed 1767225600
SEED=1767225600
STEP_SECONDS=120             # the longest wait for one step (dice come to rest in about 10 s)

# The input so far, as a vantu-dicetrace script; the game gets the same through xdotool.
TRACE="seed $SEED
frames 220
"

# expected: the simulation's state after the input so far, the dice long at rest.
expected() {
    printf '%sframes 1500\nprint\n' "$TRACE" | "$VANTU_DICETRACE"
}

# value NAME: a number from the state line of the expected state.
value() {
    expected | awk -v name="$1" '/^state / {
        for (i = 2; i <= NF; i++) { split($i, kv, "="); if (kv[1] == name) print kv[2] } }'
}

# die_value I NAME: a number of die I in the expected state.
die_value() {
    expected | awk -v die="$1" -v name="$2" '$1 == "die" && $2 == die {
        for (i = 3; i <= NF; i++) { split($i, kv, "="); if (kv[1] == name) print kv[2] } }'
}

# shot_matches NAME: a screenshot agrees with the expected state (kept as NAME.png).
shot_matches() {
    import -silent -window root "$RIG_DIR/shot.png" 2>/dev/null || return 1
    expected | "$VANTU_SHOTCHECK" "$RIG_DIR/shot.png" >"$RIG_DIR/check.txt" || return 1
    cp "$RIG_DIR/shot.png" "$RIG_DIR/$1.png"
}

# check NAME: waits until two screenshots half a second apart agree with the expected state; the
# dice then rest, in the game and in the simulation.
check() {
    local limit=$(($(date +%s) + STEP_SECONDS))
    TRACE+="frames 1500
"
    until shot_matches "$1" && sleep 0.5 && shot_matches "$1"; do
        kill -0 "$GAME_PID" 2>/dev/null || rig_fail "the game ended (stderr: $(cat "$GAME_DIR/err.log"))"
        if [ "$(date +%s)" -ge "$limit" ]; then
            cp "$RIG_DIR/shot.png" "$RIG_DIR/$1.failed.png" 2>/dev/null
            keep_shots
            rig_fail "$1: the screen does not show the expected dice:
$(cat "$RIG_DIR/check.txt")"
        fi
        sleep 0.3
    done
    rig_log "$1: $(grep -c '^ok' "$RIG_DIR/check.txt") checks passed"
}

keep_shots() {
    [ -n "${VANTU_SHOTS:-}" ] || return 0
    mkdir -p "$VANTU_SHOTS"
    cp "$RIG_DIR"/*.png "$VANTU_SHOTS"/ 2>/dev/null
}

# steer DX DY: pointer motion by (DX, DY) pixels in moves of at most 200, a few frames apart; the
# game reads each as the cursor's offset from (320, 240), the simulation gets the same.
steer() {
    local dx=$1 dy=$2 step_x step_y
    while [ "$dx" -ne 0 ] || [ "$dy" -ne 0 ]; do
        step_x=$((dx > 200 ? 200 : (dx < -200 ? -200 : dx)))
        step_y=$((dy > 200 ? 200 : (dy < -200 ? -200 : dy)))
        xdotool mousemove_relative -- "$step_x" "$step_y"
        TRACE+="cursor $((320 + step_x)) $((240 + step_y))
frames 1
"
        dx=$((dx - step_x))
        dy=$((dy - step_y))
        sleep 0.15
    done
}

# hand_shown: the screen shows the hand where the simulation has it.
hand_shown() {
    import -silent -window root "$RIG_DIR/hand.png" 2>/dev/null &&
        expected | "$VANTU_SHOTCHECK" "$RIG_DIR/hand.png" --hand
}

# move_hand X Y: moves the hand to (X, Y) of the table (10 pixels a unit) and waits until it is
# shown there. A move that reaches the X server between the game's reading of the cursor and its
# putting it back is lost to the game; then the hand goes to its top-left limit (-28, 20), where
# the game and the simulation agree again, and from there to (X, Y).
move_hand() {
    local attempt dx dy
    for attempt in 1 2 3; do
        dx=$(awk -v t="$1" -v h="$(value handX)" 'BEGIN { d = (t - h) * 10; printf "%d", d + (d > 0 ? 0.5 : -0.5) }')
        dy=$(awk -v t="$2" -v h="$(value handY)" 'BEGIN { d = (h - t) * 10; printf "%d", d + (d > 0 ? 0.5 : -0.5) }')
        steer "$dx" "$dy"
        rig_wait 3 hand_shown && return 0
        rig_log "the hand is not at ($1, $2): a pointer move was lost; again from the corner"
        steer -800 -800
    done
    rig_fail "the hand does not reach ($1, $2)"
}

# click BUTTON: a click between frames; the simulation sees it as lclick or rclick.
click() {
    xdotool click "$1"
    [ "$1" = 1 ] && TRACE+="lclick
" || TRACE+="rclick
"
    sleep 0.15
    TRACE+="frames 1
"
}

# pick I: moves the hand onto die I and picks it up.
pick() {
    move_hand "$(die_value "$1" x)" "$(die_value "$1" y)"
    click 1
    [ "$(die_value "$1" marked)" = 1 ] || rig_fail "die $1 was not under the hand"
}

# park: the hand beside the table, above the holding area, where it hides no die.
park() {
    move_hand 15 12
}

rig_start
rig_set_mode 1024 768 60
xdotool mousemove 320 240

GAME_DIR=$(mktemp -d "$RIG_DIR/game.XXXXXX")
ln -s "$VANTU_SOURCE_DIR/data" "$GAME_DIR/data"
printf "\\x01\\x0${RESOLUTION_INDEX[$SIZE]}\\x00\\x00\\x00\\x01\\x00\\x00\\x00\\x03\\x00\\x00\\x00" \
    >"$GAME_DIR/KPX.cfg"  # SIZE, 32 bits, 75 Hz
(cd "$GAME_DIR" && TZ=UTC FAKETIME_DONT_FAKE_MONOTONIC=1 exec faketime -f "@$START" "$VANTU") \
    >"$GAME_DIR/out.log" 2>"$GAME_DIR/err.log" &
GAME_PID=$!
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
for _ in $(seq 200); do
    kill -0 "$GAME_PID" 2>/dev/null || break
    sleep 0.05
done
kill -0 "$GAME_PID" 2>/dev/null && { kill -9 "$GAME_PID"; rig_fail "Escape did not end the game"; }
status=0
wait "$GAME_PID" || status=$?
[ "$status" -eq 0 ] || rig_fail "exit status $status (stderr: $(cat "$GAME_DIR/err.log"))"
rig_wait 5 rig_mode_is "$DESKTOP" || rig_fail "desktop left in $(rig_mode)"
rig_log "full turn at $SIZE passed"
