#!/usr/bin/env bash
# Leaving the real Vantu and coming back, on one desktop, twice:
#
#   away.sh openbox     minimised and activated again (the Xorg dummy rig)
#   away.sh i3          a switch to another workspace and back (the rig with i3, which unmaps
#                       the windows of the workspace left and has no minimising)
#   away.sh kwin        minimised and activated again under KWin's Wayland session (XWayland)
#   away.sh gnome       minimised and activated again under GNOME Shell on Wayland (XWayland);
#                       its overview stays closed
#   away.sh sway        a switch to another workspace and back under sway (XWayland)
#   away.sh xfwm4|kwin_x11|gnome-shell
#                       minimised and activated again on the Xorg rig under xfwm4 (with its
#                       compositor), KWin or GNOME Shell on X11 (by hand: their packages are
#                       not all in scripts/deps)
#
# While away the desktop has its own mode (on the Xorg rig; under XWayland the game's mode is
# its own client's, and the window is only checked to be off the screen, under sway not
# shown). Back, the game's mode is set again and its window covers the output, full screen;
# the picture shows the dice and the hand where vantu-dicetrace puts them (the clock fixed with
# faketime: a pointer move that the window manager makes at a switch would move the hand), a
# right click then throws, and Escape ends the game with status 0 and the desktop's mode back.
#
# Environment: VANTU, VANTU_DICETRACE, VANTU_SHOTCHECK (the programs), VANTU_SOURCE_DIR (the
# repository, for data/).
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
DESKTOP_NAME=${1:?desktop: openbox, i3, kwin, gnome or sway (by hand also xfwm4, kwin_x11, gnome-shell)}

case $DESKTOP_NAME in
    openbox | i3 | xfwm4 | kwin_x11 | gnome-shell)
        RIG_WM=$DESKTOP_NAME
        source "$here/xrig.sh"
        DESKTOP=1024x768@60
        MODE=800x600@85
        SETTINGS=(1 1 4)  # 800x600, 32 bits, 85 Hz
        ;;
    kwin | gnome | sway)
        WL_COMPOSITOR=$DESKTOP_NAME
        source "$here/../wayland/wlrig.sh"
        MODE=1024x768@60
        SETTINGS=(2 1 0)  # 1024x768, 32 bits, 60 Hz
        ;;
    *) echo "no desktop $DESKTOP_NAME" >&2; exit 2 ;;
esac
source "$here/turn.sh"

game_window_id() {
    xdotool search --onlyvisible --name '^Vantu$' 2>/dev/null | head -n1
}

# The window's place on the root window, WxH+X+Y.
window_rect() {
    xwininfo -id "$GAME_WINDOW" | awk '/Absolute upper-left X/ { x = $NF } /Absolute upper-left Y/ { y = $NF }
        /^ *Width:/ { w = $NF } /^ *Height:/ { h = $NF } END { printf "%sx%s+%s+%s\n", w, h, x, y }'
}

# The area the window must cover, as other X clients see it: the output in the game's mode
# (under KWin and sway the output itself, 1920x1080: both give a full-screen window the
# output's size; under sway XWayland scales the game's mode into it, under KWin it does not).
expected_rect() {
    case $DESKTOP_NAME in kwin | sway) echo 1920x1080+0+0 ;; *) echo "${MODE%@*}+0+0" ;; esac
}

# Under XWayland the game's mode is its own client's: other clients see the output's.
in_place() {
    [ "$(window_rect)" = "$(expected_rect)" ] &&
        xprop -id "$GAME_WINDOW" _NET_WM_STATE | grep -q _NET_WM_STATE_FULLSCREEN &&
        { [ -n "${WL_DIR:-}" ] || rig_mode_is "$MODE"; } &&
        { [ "$DESKTOP_NAME" != gnome ] || ! wl_overview_active; }
}

off_screen() {
    xwininfo -id "$GAME_WINDOW" | grep -q 'Map State: IsUnviewable\|Map State: IsUnMapped' ||
        xprop -id "$GAME_WINDOW" WM_STATE | grep -q 'Iconic'
}

# The desktop's own mode, or under XWayland the window off the screen. sway keeps a window of
# a workspace left mapped, full screen and in its state, so the game cannot tell it from a
# window in front of it (and frames go on); only sway's tree says it is not shown.
desktop_shown() {
    case $DESKTOP_NAME in
        sway) wl_sway -r -t get_tree | jq -e '[.. | objects | select(.name? == "Vantu" and
                  .visible? == false)] | length == 1' ;;
        kwin | gnome) off_screen ;;
        *) rig_mode_is "$DESKTOP" && off_screen ;;
    esac
}

leave() {
    case $DESKTOP_NAME in
        i3) rig_i3 workspace 2 ;;
        sway) wl_sway workspace 2 >/dev/null ;;
        *) xdotool windowminimize "$GAME_WINDOW" ;;
    esac
}

come_back() {
    case $DESKTOP_NAME in
        i3) rig_i3 workspace 1 ;;
        sway) wl_sway workspace 1 >/dev/null ;;
        *) xdotool windowactivate "$GAME_WINDOW" ;;
    esac
}

if [ -n "${WL_COMPOSITOR:-}" ]; then
    wl_start
    screenshot() { import -silent -window "$GAME_WINDOW" "$1" 2>/dev/null; }
else
    rig_start
    rig_set_mode 1024 768 60
fi
xdotool mousemove 320 240
# The clock fixed: the hand's place depends on it. In a Wayland session, as the session's user.
GAME_CLOCK=$START game_start "${SETTINGS[@]}"
rig_wait 60 sh -c "[ -n \"\$(xdotool search --onlyvisible --name '^Vantu$')\" ]" ||
    rig_fail "no Vantu window (stderr: $(cat "$GAME_DIR/err.log"))"
GAME_WINDOW=$(game_window_id)
rig_wait 10 in_place || rig_fail "the window is $(window_rect), not full screen over $(expected_rect)"
# check NAME, and the hand where the simulation has it.
check_all() {
    check "$1"
    rig_wait 3 hand_shown || rig_fail "$1: the hand is not where the simulation has it: $(tail -n1 "$RIG_DIR/check.txt" 2>/dev/null)"
}

check_all 1-start

for round in 1 2; do
    leave
    rig_wait 5 desktop_shown || rig_fail "away $round: the window is not off the screen, or the display in $(rig_mode)"
    rig_log "away $round: the desktop is shown${DESKTOP:+ in $DESKTOP}"
    sleep 0.5
    kill -0 "$GAME_PID" || rig_fail "the game ended while away"
    come_back
    rig_wait 10 in_place ||
        rig_fail "back $round: the window is $(window_rect), not full screen over $(expected_rect) (display $(rig_mode))"
    rig_log "back $round: the window covers $(expected_rect) in the game's mode"
    check_all "$((round + 1))-back-$round"
done
click 3
check 4-throw-after-return
xdotool key Escape
game_end 0 20
if [ -z "${WL_DIR:-}" ]; then
    rig_wait 5 rig_mode_is "$DESKTOP" || rig_fail "desktop left in $(rig_mode)"
fi
rig_log "away and back on $DESKTOP_NAME passed"
