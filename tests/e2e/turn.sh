# Playing the real game with real input against vantu-dicetrace: the helpers of the turn tests.
# Source after xrig.sh (or wlrig.sh); needs VANTU, VANTU_DICETRACE and VANTU_SHOTCHECK (the
# programs), VANTU_SOURCE_DIR (the repository, for data/; this one by default), and GAME_PID and
# GAME_DIR of the running game. SHOT_AREA (WxH+X+Y, optional) is the part of the screen the game
# covers.
: "${VANTU:?the Vantu program}"
: "${VANTU_DICETRACE:?the vantu-dicetrace program}"
: "${VANTU_SHOTCHECK:?the vantu-shotcheck program}"
: "${VANTU_SOURCE_DIR:=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}"
# Mesa and SDL keep some allocations until exit: no leak report for the game's runs.
export ASAN_OPTIONS=detect_leaks=0:verify_asan_link_order=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
START="2026-01-01 00:00:00"  # the game's clock: seed 1767225600
SEED=1767225600
STEP_SECONDS=120             # the longest wait for one step (dice come to rest in about 10 s)

# screenshot FILE: the game's part of the screen.
screenshot() {
    if [ -n "${SHOT_AREA:-}" ]; then
        import -silent -window root png:- 2>/dev/null | convert png:- -crop "$SHOT_AREA" +repage "$1"
    else
        import -silent -window root "$1" 2>/dev/null
    fi
}

# The player's mouse: a move by (DX, DY) pixels, and a click of BUTTON (1 left, 3 right). A test
# on another display server defines its own after sourcing this.
move_pointer() {
    xdotool mousemove_relative -- "$1" "$2"
}
press_button() {
    xdotool click "$1"
}

# The input so far, as a vantu-dicetrace script; the game gets the same through the mouse.
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
    screenshot "$RIG_DIR/shot.png" || return 1
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
        move_pointer "$step_x" "$step_y"
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
    screenshot "$RIG_DIR/hand.png" &&
        expected | "$VANTU_SHOTCHECK" "$RIG_DIR/hand.png" --hand
}

# move_hand X Y: moves the hand to (X, Y) of the table (10 pixels a unit) and waits until it is
# shown there. A move that reaches the X server between the game's reading of the cursor and its
# putting it back is lost to the game; then the hand goes to its top-left limit (-28, 20), where
# the game and the simulation agree again, and from there to (X, Y).
move_hand() {
    local attempt dx dy
    for attempt in 1 2 3 4 5; do
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
    press_button "$1"
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

