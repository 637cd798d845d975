# A private Wayland session for end-to-end runs: sway on its headless backend (one 1920x1080
# output, software rendering, no input devices), run as an unprivileged user, since sway refuses
# root, with a runtime folder of its own, and XWayland for X programs. With WL_COMPOSITOR=kwin,
# KWin's virtual backend instead, and with WL_COMPOSITOR=gnome, GNOME Shell headless (the same
# output; KWin 5.27 and GNOME Shell 43 on Debian 12; there only wl_start, wl_user, wl_stop,
# wl_overview_active and the X tools serve, the other helpers speak to sway). Source this file
# from bash, then call wl_start; everything started here is stopped when the calling script
# exits, and also when it is killed (a watchdog process follows it).
#
#   wl_start        start the compositor; sets WAYLAND_DISPLAY, XDG_RUNTIME_DIR and DISPLAY (the
#                   XWayland server, which lets root's clients in too), and RIG_DIR, GAME_USER
#                   and GAME_AS for game_start (the game runs as the session's user)
#   wl_user CMD...  run CMD as the session's user, with the session's environment (the same
#                   as "${WL_AS_USER[@]}" CMD..., for exec)
#   wl_sway ARGS... swaymsg to this compositor, as the session's user
#   wl_mode         print the output's mode as the compositor has it, WxH@R (whole hertz)
#   wl_shot FILE    a screenshot of the output (grim)
#   wl_input_start [--keyboard]
#                   give the seat a mouse and a keyboard (or the keyboard alone; vantu-wl-input,
#                   VANTU_WL_INPUT), for wl_click and wl_key; before the program they drive starts
#   wl_click X Y    a left click at (X, Y) of the output, through the compositor
#   wl_key CODE     press and release a key (Linux input code), through the compositor
#   wl_input LINE   a key, a mouse move or a mouse button through the compositor, as a device
#                   gives them (see virtual_input.cpp)
#   wl_overview_active
#                   whether GNOME Shell shows its overview (WL_COMPOSITOR=gnome)
#   wl_stop         stop everything (also done on exit)
# and rig_log, rig_fail, rig_wait, rig_wait_box, rig_mode (the mode an X client sees),
# game_start and game_end (tests/support/rig_common.sh).
#
# Needs root (to run the session as another user); without it wl_start exits with 77 (skipped).
# A compositor that cannot start is a failure, never a skip.

WL_USER=${WL_USER:-65534}
WL_OUTPUT=1920x1080

source "$(dirname "${BASH_SOURCE[0]}")/../support/rig_common.sh"

wl_user() {
    "${WL_AS_USER[@]}" "$@"
}

wl_sway() {
    wl_user swaymsg -s "$WL_SWAYSOCK" "$@"
}

wl_mode() {
    wl_sway -r -t get_outputs |
        jq -r '.[0].current_mode | "\(.width)x\(.height)@\((.refresh / 1000) | round)"'
}

wl_shot() {
    grim -l 1 "$1"
}

wl_input_start() {
    mkfifo "$WL_DIR/input.fifo"
    # A copy the user can run wherever the build tree lies.
    install -m 755 "$VANTU_WL_INPUT" "$WL_DIR/vantu-wl-input"
    "${WL_AS_USER[@]}" "$WL_DIR/vantu-wl-input" "$@" <"$WL_DIR/input.fifo" >"$WL_DIR/input.out" 2>&1 &
    echo $! >"$WL_DIR/input.pid"
    exec {WL_INPUT_FD}>"$WL_DIR/input.fifo"
    rig_wait 5 grep -qx ready "$WL_DIR/input.out" ||
        rig_fail "no virtual input devices: $(cat "$WL_DIR/input.out")"
}

wl_click() {
    wl_sway seat seat0 cursor set "$1" "$2" >/dev/null &&
        wl_sway seat seat0 cursor press button1 >/dev/null &&
        wl_sway seat seat0 cursor release button1 >/dev/null
}

# wl_input LINE...: one line to vantu-wl-input ("key CODE", "move DX DY", "button N"); returns
# once it is done.
wl_input() {
    local before
    before=$(grep -c done "$WL_DIR/input.out")
    echo "$*" >&"$WL_INPUT_FD"
    rig_wait 5 sh -c "[ \$(grep -c done '$WL_DIR/input.out') -gt $before ]"
    sleep 0.1
}

wl_key() {
    wl_input key "$1"
}

# KWin and GNOME Shell run in a process group of their own, with their session bus and what it
# starts: wl_stop and the watchdog end the whole group (session-group.pid holds its id, negated).

# KWin refuses to start from its installed path, whose file capability makes it drop the
# environment: a copy has none. The test's input clients may use its fake-input protocol. Its
# session program lets root's clients into XWayland and writes the ready file, as sway's does.
wl_start_kwin() {
    install -m 755 "$(command -v kwin_wayland)" "$WL_DIR/kwin_wayland"
    local ready='xhost +si:localuser:root >/dev/null && echo "$DISPLAY $WAYLAND_DISPLAY" >"$XDG_RUNTIME_DIR/ready.tmp" && mv "$XDG_RUNTIME_DIR/ready.tmp" "$XDG_RUNTIME_DIR/ready" && exec sleep 86400'
    setsid setpriv --reuid="$WL_USER" --regid="$WL_USER" --clear-groups -- \
        env -i PATH=/usr/local/bin:/usr/bin:/bin HOME="$WL_DIR/home" XDG_RUNTIME_DIR="$WL_DIR/run" \
        KWIN_WAYLAND_NO_PERMISSION_CHECKS=1 \
        dbus-run-session -- "$WL_DIR/kwin_wayland" --virtual --xwayland --width 1920 \
        --height 1080 --no-lockscreen --socket vantu-wayland --exit-with-session "sh -c '$ready'" \
        >"$WL_DIR/kwin.log" 2>&1 &
    WL_SESSION_PID=$!
    echo "-$WL_SESSION_PID" >"$WL_DIR/session-group.pid"
    rig_wait 30 test -s "$WL_DIR/run/ready" ||
        rig_fail "KWin did not start: $(tail -5 "$WL_DIR/kwin.log")"
    # The compositor and its XWayland, by their ids, for wl_stop and the watchdog.
    pgrep -f "^$WL_DIR/kwin_wayland" >"$WL_DIR/kwin.pid"
    pgrep -P "$(head -n1 "$WL_DIR/kwin.pid")" -x Xwayland >"$WL_DIR/xwayland.pid"
}

# GNOME Shell 43 headless, in a session bus of its own, beside a private system bus. The Shell
# starts XWayland itself; its command line names the display and the Shell's key to it. The
# Shell shows its overview when it starts, as after a login; wl_start closes it before the
# test's programs start (wl_close_startup_overview).
wl_start_gnome() {
    local system_bus
    system_bus=$(rig_system_bus "$WL_DIR") || exit 1
    setsid setpriv --reuid="$WL_USER" --regid="$WL_USER" --clear-groups -- \
        env -i PATH=/usr/local/bin:/usr/bin:/bin HOME="$WL_DIR/home" XDG_RUNTIME_DIR="$WL_DIR/run" \
        DBUS_SYSTEM_BUS_ADDRESS="$system_bus" XDG_SESSION_TYPE=wayland \
        dbus-run-session -- gnome-shell --wayland --headless --virtual-monitor 1920x1080 \
        >"$WL_DIR/gnome-shell.log" 2>&1 &
    WL_SESSION_PID=$!
    echo "-$WL_SESSION_PID" >"$WL_DIR/session-group.pid"
    rig_wait 60 sh -c "pgrep -P \$(pgrep -P $WL_SESSION_PID -x gnome-shell) -x Xwayland" ||
        rig_fail "GNOME Shell did not start: $(tail -5 "$WL_DIR/gnome-shell.log")"
    local shell xwayland display auth
    shell=$(pgrep -P "$WL_SESSION_PID" -x gnome-shell)
    xwayland=$(pgrep -P "$shell" -x Xwayland)
    echo "$shell" >"$WL_DIR/gnome-shell.pid"
    echo "$xwayland" >"$WL_DIR/xwayland.pid"
    display=$(tr '\0' '\n' <"/proc/$xwayland/cmdline" | grep -m1 '^:')
    auth=$(tr '\0' '\n' <"/proc/$xwayland/cmdline" | grep -A1 -x -- -auth | tail -n1)
    WL_SESSION_ENV=(XAUTHORITY="$auth"
        "$(tr '\0' '\n' <"/proc/$shell/environ" | grep -m1 '^DBUS_SESSION_BUS_ADDRESS=')")
    local as_user=(setpriv --reuid="$WL_USER" --regid="$WL_USER" --clear-groups -- env
        XDG_RUNTIME_DIR="$WL_DIR/run" DISPLAY="$display" "${WL_SESSION_ENV[@]}")
    rig_wait 30 "${as_user[@]}" xhost +si:localuser:root || rig_fail "XWayland does not answer on $display"
    echo "$display wayland-0" >"$WL_DIR/run/ready"
}

wl_overview_active() {
    wl_user gdbus introspect --session --dest org.gnome.Shell --object-path /org/gnome/Shell \
        --only-properties | grep -q 'OverviewActive = true'
}

# The Shell opens its overview at the end of its startup, after its bus answers: it is closed
# once it has opened (or after 20 s), as a player's first window would close it, and seen to
# stay closed.
wl_close_startup_overview() {
    rig_wait 20 wl_overview_active
    rig_wait 30 overview_stays_closed || rig_fail "the Shell's overview stays"
}

overview_stays_closed() {
    wl_user gdbus call --session --dest org.gnome.Shell --object-path /org/gnome/Shell \
        --method org.freedesktop.DBus.Properties.Set org.gnome.Shell OverviewActive '<false>' &&
        sleep 1 && ! wl_overview_active
}

wl_start() {
    [ "$(id -u)" -eq 0 ] || { echo "the Wayland session needs root to run as another user; skipped" >&2; exit 77; }
    local tool tools=(sway swaymsg grim jq)
    [ "${WL_COMPOSITOR:-sway}" = kwin ] && tools=(kwin_wayland dbus-run-session)
    [ "${WL_COMPOSITOR:-sway}" = gnome ] && tools=(gnome-shell dbus-daemon dbus-run-session gdbus)
    for tool in "${tools[@]}" Xwayland xdotool xhost xev convert; do
        command -v "$tool" >/dev/null || rig_fail "$tool missing (scripts/deps installs it)"
    done
    WL_DIR=$(mktemp -d "${TMPDIR:-/tmp}/vantu-wl.XXXXXX")
    chmod 755 "$WL_DIR"
    mkdir -m 700 "$WL_DIR/run" "$WL_DIR/home"
    chown "$WL_USER:$WL_USER" "$WL_DIR/run" "$WL_DIR/home"
    # XWayland makes the folder of X sockets when it is missing, then owned by the user and closed
    # to others: make it as an X server run by root would.
    [ -d /tmp/.X11-unix ] || install -d -m 1777 /tmp/.X11-unix
    trap wl_stop EXIT
    # Stops the compositor (and with it XWayland) even when this script is killed outright.
    (
        trap '' INT TERM HUP
        while kill -0 $$ 2>/dev/null; do sleep 0.5; done
        [ -d "$WL_DIR" ] && kill -9 $(cat "$WL_DIR"/*.pid 2>/dev/null) 2>/dev/null
        sleep 1
        rm -rf "$WL_DIR"
    ) </dev/null >/dev/null 2>&1 &
    WL_WATCHDOG=$!
    WL_SESSION_ENV=()
    # Each sets WL_SESSION_PID: sway itself, or the leader of KWin's or the Shell's group.
    case ${WL_COMPOSITOR:-sway} in
        kwin) wl_start_kwin ;;
        gnome) wl_start_gnome ;;
        *) wl_start_sway ;;
    esac
    local socket
    read -r WL_DISPLAY socket WL_SWAYSOCK <"$WL_DIR/run/ready"
    export DISPLAY="$WL_DISPLAY" XDG_RUNTIME_DIR="$WL_DIR/run" WAYLAND_DISPLAY="$socket"
    unset XAUTHORITY
    # A command prefix: the rest runs as the session's user, in the session's environment.
    WL_AS_USER=(setpriv --reuid="$WL_USER" --regid="$WL_USER" --clear-groups --
        env HOME="$WL_DIR/home" XDG_RUNTIME_DIR="$XDG_RUNTIME_DIR"
        WAYLAND_DISPLAY="$WAYLAND_DISPLAY" DISPLAY="$DISPLAY" "${WL_SESSION_ENV[@]}")
    # game_start (tests/support/rig_common.sh): the game in a folder below the session's, run as
    # the session's user.
    RIG_DIR=$WL_DIR
    GAME_USER=$WL_USER
    GAME_AS=("${WL_AS_USER[@]}")
    [ "${WL_COMPOSITOR:-sway}" != gnome ] || wl_close_startup_overview
    rig_wait 10 xrandr || rig_fail "no answer from XWayland on $DISPLAY"
    # An X client for the whole session, as a desktop has: XWayland, started on demand, would
    # otherwise end with its last client. It also logs every change of the screen's size or mode.
    xev -root -event randr >"$WL_DIR/randr.log" 2>&1 &
    echo $! >"$WL_DIR/xev.pid"
    rig_log "${WL_COMPOSITOR:-sway} up: $WAYLAND_DISPLAY, XWayland $DISPLAY (log $WL_DIR)"
}

# XWayland starts with its first client: the xhost below. Root's clients (the test's tools) are
# let in; the ready file names the session's X display and sockets.
wl_start_sway() {
    cat >"$WL_DIR/sway.conf" <<EOF
xwayland enable
output HEADLESS-1 mode $WL_OUTPUT
exec sh -c 'xhost +si:localuser:root >/dev/null && echo "\$DISPLAY \$WAYLAND_DISPLAY \$SWAYSOCK" >"$WL_DIR/run/ready.tmp" && mv "$WL_DIR/run/ready.tmp" "$WL_DIR/run/ready"'
EOF
    chmod 644 "$WL_DIR/sway.conf"
    setpriv --reuid="$WL_USER" --regid="$WL_USER" --clear-groups -- \
        env -i PATH=/usr/local/bin:/usr/bin:/bin HOME="$WL_DIR/home" XDG_RUNTIME_DIR="$WL_DIR/run" \
        WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
        sway -c "$WL_DIR/sway.conf" >"$WL_DIR/sway.log" 2>&1 &
    WL_SESSION_PID=$!
    echo "$WL_SESSION_PID" >"$WL_DIR/sway.pid"
    rig_wait 30 test -s "$WL_DIR/run/ready" ||
        rig_fail "the compositor did not start: $(tail -5 "$WL_DIR/sway.log")"
}

wl_stop() {
    local pid
    [ -n "${WL_INPUT_FD:-}" ] && exec {WL_INPUT_FD}>&-
    WL_INPUT_FD=
    # XWayland is not sway's child; it is found by its display. The X client and the input
    # devices would end with the servers; they go first.
    local servers= helpers=
    [ -n "${WL_DISPLAY:-}" ] && servers=$(pgrep -f "^Xwayland $WL_DISPLAY ")
    [ -n "${WL_DIR:-}" ] && servers+=" $(cat "$WL_DIR"/{kwin,gnome-shell,xwayland,system-bus}.pid 2>/dev/null)"
    local group=
    [ -n "${WL_DIR:-}" ] && group=$(cat "$WL_DIR/session-group.pid" 2>/dev/null)
    [ -n "${WL_DIR:-}" ] && helpers=$(cat "$WL_DIR/xev.pid" "$WL_DIR/input.pid" 2>/dev/null)
    for pid in $helpers; do
        kill "$pid" 2>/dev/null || true
    done
    for pid in ${WL_SESSION_PID:-} $servers; do
        kill "$pid" 2>/dev/null || true
    done
    for pid in ${WL_SESSION_PID:-} $servers; do
        for _ in $(seq 100); do
            kill -0 "$pid" 2>/dev/null || break
            [[ "$(ps -o stat= -p "$pid" 2>/dev/null)" == Z* ]] && break
            sleep 0.05
        done
        kill -9 "$pid" 2>/dev/null || true
    done
    # What is left of the compositor's group: its session bus and the services it started.
    if [ -n "$group" ]; then
        kill -- "$group" 2>/dev/null
        rig_wait 2 sh -c "! kill -0 -- $group" || kill -9 -- "$group" 2>/dev/null
    fi
    [ -n "${WL_SESSION_PID:-}" ] && wait "$WL_SESSION_PID" 2>/dev/null
    if [ -n "${WL_WATCHDOG:-}" ]; then
        kill "$WL_WATCHDOG" 2>/dev/null || true
    fi
    WL_SESSION_PID= WL_WATCHDOG= WL_DISPLAY=
    if [ -n "${WL_DIR:-}" ] && [ -z "${WL_KEEP:-}" ]; then
        rm -rf "$WL_DIR"
    fi
    WL_DIR=
}
