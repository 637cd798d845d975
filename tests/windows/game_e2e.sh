#!/usr/bin/env bash
# The Windows game end to end: Vantu.exe under Wine on the Xorg dummy rig (tests/e2e/xrig.sh).
#
#   game_e2e.sh turn           a whole turn played with real input and checked on the screen
#                              against vantu-dicetrace (tests/e2e/full_turn.sh, run on Vantu.exe)
#   game_e2e.sh refused_mode   a mode the display does not offer: the SHUTDOWN ERROR box, status 1
#                              and the display never switched
#   game_e2e.sh killed         the game covers the screen in its mode; kill -9 of the game, and
#                              VantuGuard gives the desktop its mode back
#
# Environment: VANTU_WINDOWS_GAME (Vantu.exe, with VantuGuard.exe beside it), VANTU_WINE_ROOT
# (the run's prefix), VANTU_SOURCE_DIR; for turn also VANTU_DICETRACE and VANTU_SHOTCHECK, the
# Linux build's tools (scripts/test builds them first).
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
: "${VANTU_SOURCE_DIR:=$(cd "$here/../.." && pwd)}"
: "${VANTU_WINDOWS_GAME:?the Vantu.exe}"
export VANTU="$here/vantu.sh" VANTU_SOURCE_DIR VANTU_WINDOWS_GAME

if [ "${1:-}" = turn ]; then
    for tool in "${VANTU_DICETRACE:-}" "${VANTU_SHOTCHECK:-}"; do
        [ -x "$tool" ] || { echo "no Linux vantu-dicetrace or vantu-shotcheck: '$tool'" >&2; exit 77; }
    done
    exec bash "$here/../e2e/full_turn.sh" 1024x768
fi

source "$here/../e2e/xrig.sh"
DESKTOP=1024x768@60

# game_start RES DEPTH RATE: Vantu.exe in a fresh folder with that KPX.cfg and the pictures.
game_start() {
    GAME_DIR=$(mktemp -d "$RIG_DIR/game.XXXXXX")
    ln -s "$VANTU_SOURCE_DIR/data" "$GAME_DIR/data"
    printf "\\x01\\x0$1\\x00\\x00\\x00\\x0$2\\x00\\x00\\x00\\x0$3\\x00\\x00\\x00" >"$GAME_DIR/KPX.cfg"
    (cd "$GAME_DIR" && exec "$VANTU") >"$GAME_DIR/out.log" 2>"$GAME_DIR/err.log" &
    GAME_PID=$!
    rig_log "game $GAME_PID started with KPX.cfg $1 $2 $3"
}

# window_named NAME: prints the first X window of that name; false when there is none.
window_named() {
    xwininfo -root -tree | awk -v name="\"$1\":" 'index($0, name) { print $1; found = 1; exit }
                                                   END { exit !found }'
}

# guardian_process: the Unix process of this game's VantuGuard.exe.
guardian_process() {
    local pid
    for pid in $(pgrep -f 'VantuGuard\.exe'); do
        grep -qzx "DISPLAY=$DISPLAY" "/proc/$pid/environ" 2>/dev/null && echo "$pid"
    done
}

scenario_refused_mode() {
    xev -root -event randr >"$RIG_DIR/randr.log" 2>&1 &
    local xev=$!
    sleep 0.2
    game_start 1 1 2  # 800x600 at 72 Hz, left out of this server's modes
    rig_wait_box 30
    ! window_named Vantu || rig_fail "a game window is there"
    xdotool windowfocus --sync "$BOX" key Return
    game_end 1
    # (wine.sh passes the program's output on when it ends)
    grep -qx 'SHUTDOWN ERROR: AHH... It blew up creating the window!' "$GAME_DIR/err.log" ||
        rig_fail "box text: $(cat "$GAME_DIR/err.log")"
    kill "$xev"
    wait "$xev" 2>/dev/null
    ! grep -q 'RRScreenChangeNotify\|RRNotify' "$RIG_DIR/randr.log" ||
        rig_fail "the display mode changed: $(cat "$RIG_DIR/randr.log")"
    rig_mode_is "$DESKTOP" || rig_fail "desktop left in $(rig_mode)"
}

scenario_killed() {
    game_start 4 0 1  # 1280x1024 at 70 Hz, 16 bits
    rig_wait 30 rig_mode_is 1280x1024@70 || rig_fail "not in 1280x1024@70: $(rig_mode)"
    local window geometry game guard
    rig_wait 10 window_named Vantu || rig_fail "no Vantu window (stderr: $(cat "$GAME_DIR/err.log"))"
    window=$(window_named Vantu)
    geometry=$(xdotool getwindowgeometry "$window" | awk '/Position|Geometry/ { printf "%s ", $2 }')
    [ "$geometry" = "0,0 1280x1024 " ] || rig_fail "the window does not cover the screen: $geometry"
    game=$(pgrep -P "$GAME_PID")  # wine.sh's child: the Windows process itself
    guard=$(guardian_process)
    [ -n "$game" ] && [ -n "$guard" ] || rig_fail "game '$game', guardian '$guard'"
    kill -9 "$game"
    local start=$(date +%s%N)
    game_end 137
    rig_wait 5 rig_mode_is "$DESKTOP" || rig_fail "desktop left in $(rig_mode) after kill -9"
    rig_log "desktop back $((($(date +%s%N) - start) / 1000000)) ms after kill -9"
    rig_wait 5 sh -c "! kill -0 $guard" || rig_fail "VantuGuard still there"
}

name=${1:?scenario name}
declare -F "scenario_$name" >/dev/null || { echo "no scenario $name" >&2; exit 2; }
[ "$name" = refused_mode ] && rig_start 800x600@72 || rig_start
rig_set_mode 1024 768 60
"scenario_$name"
rig_log "scenario $name passed"
