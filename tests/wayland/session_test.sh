#!/usr/bin/env bash
# Vantu and KPXConfig in a Wayland session: sway's headless backend with one 1920x1080 output,
# XWayland for the game, both programs run as the session's (unprivileged) user.
#
#   session_test.sh NAME     NAME: game pointer refused killed dialog
#
# game     KPX.cfg for 1024x768 at 60 Hz, the clock fixed with faketime: the game's picture is
#          scaled into the output with its aspect kept (black bars left and right); the intro,
#          then a right click (xdotool, into XWayland), shows the dice where vantu-dicetrace puts
#          them; Escape (through the compositor) ends it with status 0.
# pointer  the output and the game both in 1024x768 at 60 Hz (nothing scaled): a mouse of the
#          compositor's seat (relative motion, as a real one gives) steers the hand where
#          vantu-dicetrace puts it (XWayland turns the game's pointer warps into a locked
#          pointer), its right button throws and its left one picks a die; Escape ends the game
#          with status 0.
# refused  no KPX.cfg: XWayland offers no 75 Hz, so the box, its text, the hint on standard
#          error, status 1, and nothing left running.
# killed   kill -9 while the game runs: the game's window goes, nothing is left running, and the
#          output and every X client see the desktop's mode.
# dialog   KPXConfig (native Wayland): a mode set by mouse and OK, one by keyboard and Return,
#          one discarded by Escape; OK writes the 13 bytes.
#
# Environment: VANTU, VANTU_DICETRACE, VANTU_SHOTCHECK, KPXCONFIG, VANTU_WL_INPUT (the
# programs), VANTU_SOURCE_DIR (the repository, for data/).
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/wlrig.sh"
# The turn helpers of the X tests (TRACE, check, steer, click, pick ...), with the compositor's
# mouse and screenshots of the game's part of the output.
source "$here/../e2e/turn.sh"
move_pointer() { wl_input move "$1" "$2"; }
press_button() { wl_input button "$1"; }
screenshot() { wl_shot "$1"; }

DESKTOP=1920x1080@60
CLOCK=$START  # the game's clock in the game scenarios (seed SEED)
KEY_ESCAPE=1 KEY_TAB=15 KEY_RETURN=28 KEY_SPACE=57  # Linux input codes

# ---- The game ----

# game_window_shown: the compositor shows the game's XWayland window, full screen.
game_window_shown() {
    wl_sway -r -t get_tree | jq -e '[.. | objects | select(.name? == "Vantu" and
        .shell? == "xwayland" and .fullscreen_mode? == 1)] | length == 1'
}

game_window_gone() {
    wl_sway -r -t get_tree | jq -e '[.. | objects | select(.name? == "Vantu")] | length == 0'
}

game_running() {
    rig_wait 60 game_window_shown ||
        rig_fail "no full-screen Vantu window (stderr: $(cat "$GAME_DIR/err.log"))"
    rig_log "the game's window is shown"
}

# game_processes: the processes working in the game's folder (the game, its guardian, a box).
game_processes() {
    local pid
    for pid in $(pgrep -x Vantu); do
        [ "$(readlink "/proc/$pid/cwd")" = "$GAME_DIR" ] && echo "$pid"
    done
}

no_game_processes() {
    [ -z "$(game_processes)" ]
}

# nothing_left: no process of the game's is left, within two seconds (a loaded machine).
nothing_left() {
    rig_wait 2 no_game_processes || rig_fail "left running: $(game_processes)"
}

# desktop_kept: the output and X clients, one connected all along and one new, see the desktop's
# mode, and no X client was ever told of a change of the screen.
desktop_kept() {
    [ "$(wl_mode)" = "$DESKTOP" ] || rig_fail "the output is in $(wl_mode)"
    [ "$(rig_mode)" = "$DESKTOP" ] || rig_fail "X clients see $(rig_mode)"
    ! grep -q 'RRScreenChangeNotify\|RRNotify' "$WL_DIR/randr.log" ||
        rig_fail "X clients were told of a change: $(cat "$WL_DIR/randr.log")"
}

# scaled_screenshot FILE: the game's part of the output (1440x1080 in the middle, the aspect of
# 1024x768 kept), brought back to 1024x768; fails when the bars left and right of it are not
# black.
scaled_screenshot() {
    wl_shot "$WL_DIR/output.png" || return 1
    local bars
    bars=$(convert "$WL_DIR/output.png" \( +clone -crop 240x1080+0+0 \) \
        \( -clone 0 -crop 240x1080+1680+0 \) -delete 0 +append -format '%[max]' info:) || return 1
    [ "$bars" = 0 ] || { echo "the bars left and right are not black" >"$WL_DIR/check.txt"; return 1; }
    convert "$WL_DIR/output.png" -crop 1440x1080+240+0 +repage -resize 1024x768! "$1"
}

scenario_game() {
    screenshot() { scaled_screenshot "$1"; }
    press_button() { xdotool click "$1"; }  # into XWayland: this session has no mouse
    wl_start
    wl_input_start --keyboard
    xdotool mousemove 320 240
    GAME_CLOCK=$CLOCK game_start 2 1 0  # 1024x768, 32 bits, 60 Hz
    game_running
    check 1-start
    click 3
    check 2-right-click-throw
    local t0=$(date +%s%N)
    wl_key $KEY_ESCAPE
    game_end 0 20
    rig_log "Escape: the game ended after $((($(date +%s%N) - t0) / 1000000)) ms"
    nothing_left
    rig_wait 5 game_window_gone || rig_fail "the game's window is still there"
    desktop_kept
}

scenario_pointer() {
    WL_OUTPUT=1024x768  # the whole output is the game's picture
    wl_start
    wl_input_start
    xdotool mousemove 320 240
    GAME_CLOCK=$CLOCK game_start 2 1 0  # 1024x768, 32 bits, 60 Hz
    game_running
    check 1-start
    # XWayland learns where the compositor's cursor is only from the first pointer event over the
    # game, which puts the X pointer there (as the pointer's place before the start does on X).
    # The steering starts from the hand's top-left limit, where the game and the simulation agree
    # whatever that first event gave.
    steer -1200 -1200
    park
    click 3
    check 2-right-button-throw
    pick 0
    check 3-picked
    wl_key $KEY_ESCAPE
    game_end 0 20
    nothing_left
}

scenario_refused() {
    wl_start
    wl_input_start --keyboard
    game_start
    rig_wait_box 60
    grep -qx 'SHUTDOWN ERROR: AHH... It blew up creating the window!' "$GAME_DIR/err.log" ||
        rig_fail "box text: $(cat "$GAME_DIR/err.log")"
    # XWayland offers every size at about 60 Hz only.
    local hint="Vantu: the display does not offer 1024x768 at 75 Hz; at 1024x768 it offers 60 Hz."
    hint+=" Choose another mode in the settings dialog (KPXConfig)."
    grep -qxF "$hint" "$GAME_DIR/err.log" || rig_fail "no hint on stderr: $(cat "$GAME_DIR/err.log")"
    game_window_gone || rig_fail "a game window is shown"
    sleep 0.3
    kill -0 "$GAME_PID" || rig_fail "the game did not wait for the box"
    wl_key $KEY_RETURN
    game_end 1 20
    nothing_left
    desktop_kept
}

scenario_killed() {
    wl_start
    xdotool mousemove 320 240
    game_start 2 1 0
    game_running
    rig_log "while the game runs: the output in $(wl_mode), X clients see $(rig_mode)"
    local guardian t0
    guardian=$(pgrep -P "$GAME_PID")
    rig_log "processes of the game: $(game_processes | tr '\n' ' ')(guardian: ${guardian:-none})"
    t0=$(date +%s%N)
    kill -9 "$GAME_PID"
    wait "$GAME_PID" 2>/dev/null
    rig_wait 5 game_window_gone || rig_fail "the game's window is still there"
    rig_log "kill -9: the window gone after $((($(date +%s%N) - t0) / 1000000)) ms"
    nothing_left
    rig_log "kill -9: nothing left after $((($(date +%s%N) - t0) / 1000000)) ms"
    desktop_kept
    # Nothing of the game's picture is left on the output: it shows the bare desktop.
    wl_shot "$WL_DIR/after.png"
    [ "$(convert "$WL_DIR/after.png" -format '%[fx:standard_deviation == 0]' info:)" = 1 ] ||
        rig_fail "the output does not show the bare desktop after kill -9"
}

# ---- The dialog ----

# dialog_start: KPXConfig as the session's user in DIALOG_DIR, a native Wayland window; waits
# until the compositor shows it with the keyboard's focus and the dialog has taken in that focus
# (its Wayland log: keys sent before are dropped), and sets DIALOG_X, DIALOG_Y (the output's
# pixel where its client area starts).
dialog_start() {
    (cd "$DIALOG_DIR" && exec "${WL_AS_USER[@]}" env NO_AT_BRIDGE=1 WAYLAND_DEBUG=1 ./KPXConfig) \
        >"$DIALOG_DIR/dialog.log" 2>&1 &
    DIALOG_PID=$!
    rig_wait 60 dialog_focused || rig_fail "no KPXConfig window: $(tail -5 "$DIALOG_DIR/dialog.log")"
    rig_wait 30 grep -q 'wl_keyboard@[0-9]*\.enter(' "$DIALOG_DIR/dialog.log" ||
        rig_fail "the dialog never had the keyboard's focus"
    read -r DIALOG_X DIALOG_Y < <(wl_sway -r -t get_tree | jq -r '.. | objects |
        select(.name? == "KPXConfig") | "\(.rect.x + .window_rect.x) \(.rect.y + .window_rect.y)"')
    sleep 0.3
}

dialog_focused() {
    wl_sway -r -t get_tree | jq -e '[.. | objects | select(.name? == "KPXConfig" and
        .shell? == "xdg_shell" and .focused? == true)] | length == 1'
}

# click_control X,Y,W,H: a left click in the middle of a control's rectangle in dialog units
# (4 x 8 units are 7 x 13 pixels).
click_control() {
    local x y w h
    IFS=, read -r x y w h <<<"$1"
    wl_click $((DIALOG_X + (x * 7 + 2) / 4 + (w * 7 + 2) / 4 / 2)) \
        $((DIALOG_Y + (y * 13 + 4) / 8 + (h * 13 + 4) / 8 / 2))
    sleep 0.2
}

# dialog_closes BYTES: the dialog ends with status 0, and KPX.cfg holds BYTES (hex) after.
dialog_closes() {
    rig_wait 10 sh -c "! kill -0 $DIALOG_PID" || { kill "$DIALOG_PID"; rig_fail "the dialog did not close"; }
    wait "$DIALOG_PID" || rig_fail "KPXConfig ended with status $?"
    local bytes
    bytes=$(od -An -v -tx1 "$DIALOG_DIR/KPX.cfg" 2>/dev/null | tr -d ' \n')
    [ "$bytes" = "$1" ] || rig_fail "KPX.cfg holds '$bytes', expected $1"
    rig_log "KPX.cfg: $bytes"
}

scenario_dialog() {
    : "${KPXCONFIG:?the KPXConfig program}"
    wl_start
    wl_input_start
    DIALOG_DIR=$(mktemp -d "$WL_DIR/dialog.XXXXXX")
    cp "$KPXCONFIG" "$DIALOG_DIR/KPXConfig"
    chown -R "$WL_USER:$WL_USER" "$DIALOG_DIR"

    # By mouse: "800x600", "85", OK.
    dialog_start
    click_control 15,32,62,15
    click_control 146,83,36,13
    click_control 50,180,50,14
    dialog_closes 01010000000100000004000000

    # By keyboard: the focus starts on OK; six Tabs (Cancel, the resolution, "Use Sound", the
    # bit depth, the refresh rate) reach the "Compatability" preset, Space presses it, three more
    # (the other presets) come back to OK, and Return presses OK.
    dialog_start
    local i
    for i in 1 2 3 4 5 6; do wl_key $KEY_TAB; done
    wl_key $KEY_SPACE
    for i in 1 2 3; do wl_key $KEY_TAB; done
    wl_key $KEY_RETURN
    dialog_closes 01000000000000000007000000

    # A choice by mouse, then Escape: nothing written.
    dialog_start
    click_control 15,88,62,15
    wl_key $KEY_ESCAPE
    dialog_closes 01000000000000000007000000
}

scenario_"${1:?scenario name}"
rig_log "$1 passed"
