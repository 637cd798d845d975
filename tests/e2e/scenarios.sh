#!/usr/bin/env bash
# End-to-end scenarios of the real Vantu program on a private X server with real input.
#
#   scenarios.sh NAME      NAME: default_mode presets refused_mode close_requests crash
#                                minimise killed
#
# Environment: VANTU (the program), VANTU_SOURCE_DIR (the repository, for data/).
# Each scenario sets the desktop's mode with xrandr first and checks that it is back at the end.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/xrig.sh"

: "${VANTU:?the Vantu program}"
: "${VANTU_SOURCE_DIR:=$(cd "$here/../.." && pwd)}"

# Mesa and SDL keep some allocations until exit: no leak report for these runs. The crash
# signals go to the game's own handling, not to the sanitizer's report.
export ASAN_OPTIONS=detect_leaks=0:handle_segv=0:handle_sigbus=0:handle_sigfpe=0:handle_abort=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

DESKTOP=1024x768@60  # set at the start of every scenario

# KPX.cfg bytes: sound, resolution index, depth index, rate index (little-endian 32-bit each).
config_bytes() {
    printf "\\x01\\x0$1\\x00\\x00\\x00\\x0$2\\x00\\x00\\x00\\x0$3\\x00\\x00\\x00"
}

# game_start [RES DEPTH RATE]: runs the game in a fresh working directory, with a KPX.cfg of
# those indices when given.
game_start() {
    GAME_DIR=$(mktemp -d "$RIG_DIR/game.XXXXXX")
    [ -d "$VANTU_SOURCE_DIR/data" ] && ln -s "$VANTU_SOURCE_DIR/data" "$GAME_DIR/data"
    [ $# -eq 3 ] && config_bytes "$@" >"$GAME_DIR/KPX.cfg"
    (cd "$GAME_DIR" && exec "$VANTU") >"$GAME_DIR/out.log" 2>"$GAME_DIR/err.log" &
    GAME_PID=$!
    GAME_GUARDIAN=
    rig_log "game $GAME_PID started${3:+ with KPX.cfg $1 $2 $3}"
}

# game_window: waits for the game's window to be shown; prints its id.
game_window() {
    local id=
    for _ in $(seq 200); do
        id=$(xdotool search --onlyvisible --name '^Vantu$' 2>/dev/null | head -n1)
        [ -n "$id" ] && break
        kill -0 "$GAME_PID" 2>/dev/null || break
        sleep 0.05
    done
    echo "$id"
}

# expect_mode MODE [SECONDS]: the display reaches MODE within SECONDS (default 10).
expect_mode() {
    rig_wait "${2:-10}" rig_mode_is "$1" ||
        rig_fail "display in $(rig_mode), expected $1"
    rig_log "display in $1"
}

# game_running: the window is up in MODE; remembers the guardian (the game's child).
game_running() {
    expect_mode "$1"
    local id
    id=$(game_window)
    [ -n "$id" ] || rig_fail "no Vantu window (stderr: $(cat "$GAME_DIR/err.log"))"
    local geometry
    geometry=$(xdotool getwindowgeometry "$id" | awk '/Geometry/ { print $2 }')
    [ "$geometry" = "${1%@*}" ] || rig_fail "window is $geometry, display mode $1"
    GAME_GUARDIAN=$(pgrep -P "$GAME_PID" | head -n1)
    [ -n "$GAME_GUARDIAN" ] || rig_fail "no guardian process beside the game"
    GAME_WINDOW=$id
}

# game_end STATUS: waits for the game to end with STATUS (128 + N for signal N).
game_end() {
    local status=0
    for _ in $(seq 200); do
        kill -0 "$GAME_PID" 2>/dev/null || break
        sleep 0.05
    done
    kill -0 "$GAME_PID" 2>/dev/null && { kill -9 "$GAME_PID"; rig_fail "the game did not end"; }
    wait "$GAME_PID" || status=$?
    [ "$status" -eq "$1" ] ||
        rig_fail "exit status $status, expected $1 (stderr: $(cat "$GAME_DIR/err.log"))"
    rig_log "game ended with status $status"
}

# process_gone PID: no such process, or only its exit status left (a zombie).
process_gone() {
    local state
    state=$(ps -o stat= -p "$1" 2>/dev/null) || return 0
    [[ "$state" == Z* ]]
}

# guardian_gone: the guardian does not outlive the game by more than a second.
guardian_gone() {
    [ -z "$GAME_GUARDIAN" ] && return 0
    rig_wait 1 process_gone "$GAME_GUARDIAN" || rig_fail "guardian $GAME_GUARDIAN still there"
}

# run_and_escape RES DEPTH RATE MODE: the game shows MODE; Escape ends it with status 0 and
# gives the desktop back.
run_and_escape() {
    game_start "${@:1:3}"
    game_running "$4"
    xdotool key Escape
    game_end 0
    test "$(rig_mode)" = "$DESKTOP" || rig_fail "desktop left in $(rig_mode)"
    guardian_gone
}

scenario_default_mode() {
    game_start
    game_running 1024x768@75
    xdotool key Escape
    game_end 0
    test "$(rig_mode)" = "$DESKTOP" || rig_fail "desktop left in $(rig_mode)"
    guardian_gone
}

scenario_presets() {
    run_and_escape 0 0 7 640x480@60     # 640x480, 16 bits, the display's default rate
    run_and_escape 2 1 5 1024x768@100   # 1024x768, 32 bits, 100 Hz
    run_and_escape 2 1 3 1024x768@75    # the defaults
    run_and_escape 5 1 6 1600x1200@120  # the largest mode of the tables
}

scenario_refused_mode() {
    xev -root -event randr >"$RIG_DIR/randr.log" 2>&1 &
    local xev=$!
    sleep 0.2
    game_start 1 1 2  # 800x600 at 72 Hz, left out of this server's modes
    local box=
    for _ in $(seq 200); do
        box=$(xwininfo -root -tree | awk '/"SHUTDOWN ERROR"/ { print $1; exit }')
        [ -n "$box" ] && break
        sleep 0.05
    done
    [ -n "$box" ] || rig_fail "no SHUTDOWN ERROR box (stderr: $(cat "$GAME_DIR/err.log"))"
    grep -qx 'SHUTDOWN ERROR: AHH... It blew up creating the window!' "$GAME_DIR/err.log" ||
        rig_fail "box text: $(cat "$GAME_DIR/err.log")"
    [ -z "$(xdotool search --onlyvisible --name '^Vantu$')" ] || rig_fail "a game window is shown"
    sleep 0.3
    kill -0 "$GAME_PID" || rig_fail "the game did not wait for the box"
    xdotool windowfocus --sync "$box" key Return
    game_end 1
    kill "$xev"
    wait "$xev" 2>/dev/null
    ! grep -q 'RRScreenChangeNotify\|RRNotify' "$RIG_DIR/randr.log" ||
        rig_fail "the display mode changed: $(cat "$RIG_DIR/randr.log")"
    test "$(rig_mode)" = "$DESKTOP" || rig_fail "desktop left in $(rig_mode)"
}

scenario_close_requests() {
    local how
    for how in wmctrl TERM INT HUP; do
        game_start 1 1 4  # 800x600 at 85 Hz
        game_running 800x600@85
        if [ "$how" = wmctrl ]; then
            wmctrl -c Vantu
        else
            kill -"$how" "$GAME_PID"
        fi
        game_end 0
        test "$(rig_mode)" = "$DESKTOP" || rig_fail "after $how: desktop left in $(rig_mode)"
        guardian_gone
    done
}

scenario_crash() {
    local sig number
    for sig in SEGV ABRT BUS FPE; do
        number=$(kill -l "$sig")
        game_start 0 1 3  # 640x480 at 75 Hz
        game_running 640x480@75
        kill -"$sig" "$GAME_PID"
        game_end $((128 + number))
        # Restored before the process died: no waiting here.
        test "$(rig_mode)" = "$DESKTOP" || rig_fail "after SIG$sig: desktop left in $(rig_mode)"
        guardian_gone
    done
}

scenario_minimise() {
    game_start 1 1 5  # 800x600 at 100 Hz
    game_running 800x600@100
    xdotool windowminimize "$GAME_WINDOW"
    expect_mode "$DESKTOP" 5
    sleep 0.3
    kill -0 "$GAME_PID" || rig_fail "the game ended when minimised"
    xdotool windowactivate "$GAME_WINDOW"
    expect_mode 800x600@100 5
    xdotool key Escape
    game_end 0
    test "$(rig_mode)" = "$DESKTOP" || rig_fail "desktop left in $(rig_mode)"
    guardian_gone
}

scenario_killed() {
    game_start 4 1 1  # 1280x1024 at 70 Hz
    game_running 1280x1024@70
    local start
    kill -9 "$GAME_PID"
    start=$(date +%s%N)
    wait "$GAME_PID" 2>/dev/null
    expect_mode "$DESKTOP" 1
    rig_log "desktop back $((($(date +%s%N) - start) / 1000000)) ms after SIGKILL"
    guardian_gone
}

name=${1:?scenario name}
declare -F "scenario_$name" >/dev/null || { echo "no scenario $name" >&2; exit 2; }
if [ "$name" = refused_mode ]; then
    rig_start 800x600@72
else
    rig_start
fi
rig_set_mode 1024 768 60
"scenario_$name"
rig_log "scenario $name passed"
