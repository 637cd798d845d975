# A private X server for end-to-end runs of the game: Xorg with the dummy video driver, a
# generated configuration that offers every display mode of the settings tables, and a window
# manager: openbox, or with RIG_WM=i3 i3 (a tiling one, without minimising: its workspace
# switch unmaps the windows of the workspace left); by hand also RIG_WM=xfwm4 (with its
# compositor), RIG_WM=kwin_x11 or RIG_WM=gnome-shell (GNOME Shell on X11, beside a private
# system bus), each in a session bus of its own (dbus-run-session).
# Source this file from bash, then call rig_start; everything started here is stopped when the
# calling script exits, and also when it is killed (a watchdog process follows it).
#
#   rig_start [W]x[H]@[R]   start the server (optionally without that one mode); sets DISPLAY
#   rig_set_mode W H R      set the desktop's mode
#   rig_i3 ARGS...          i3-msg to the rig's i3 (RIG_WM=i3)
#   rig_stop                stop everything (also done on exit)
# and what tests/support/rig_common.sh gives (rig_mode, rig_wait, game_start, game_end ...).
#
# Xorg must run as root to use the dummy driver here; without root, rig_start exits with 77
# (the test then counts as skipped).

RIG_SIZES=(640x480 800x600 1024x768 1152x864 1280x1024 1600x1200)
RIG_RATES=(60 70 72 75 85 100 120)

source "$(dirname "${BASH_SOURCE[0]}")/../support/rig_common.sh"

rig_write_config() {
    local omit="$1" size rate
    cat <<'EOF'
Section "ServerFlags"
  Option "AutoAddDevices" "false"
  Option "AutoEnableDevices" "false"
  Option "AutoAddGPU" "false"
  Option "DontVTSwitch" "true"
  Option "BlankTime" "0"
  Option "StandbyTime" "0"
  Option "SuspendTime" "0"
  Option "OffTime" "0"
EndSection
Section "Device"
  Identifier "dummy"
  Driver "dummy"
  VideoRam 256000
  DacSpeed 400
EndSection
Section "Monitor"
  Identifier "monitor"
  HorizSync 5.0 - 1000.0
  VertRefresh 5.0 - 200.0
EOF
    for size in "${RIG_SIZES[@]}"; do
        for rate in "${RIG_RATES[@]}"; do
            [ "$size@$rate" = "$omit" ] && continue
            gtf "${size%x*}" "${size#*x}" "$rate" |
                awk -v n="$size" '/Modeline/ { $2 = "\"" n "\""; print "  " $0 }'
        done
    done
    cat <<EOF
EndSection
Section "Screen"
  Identifier "screen"
  Device "dummy"
  Monitor "monitor"
  DefaultDepth 24
  SubSection "Display"
    Depth 24
    Modes $(printf '"%s" ' 1024x768 "${RIG_SIZES[@]}")
  EndSubSection
EndSection
EOF
}

rig_output() {
    xrandr 2>/dev/null | awk '/ connected/ { print $1; exit }'
}

rig_set_mode() {
    xrandr --output "$(rig_output)" --mode "$1x$2" --rate "$3" ||
        rig_fail "xrandr could not set $1x$2@$3"
    rig_wait 5 rig_mode_is "$1x$2@$3" || rig_fail "mode $1x$2@$3 not taken: $(rig_mode)"
}

rig_start() {
    [ "$(id -u)" -eq 0 ] || { echo "the Xorg dummy rig needs root; skipped" >&2; exit 77; }
    local wm=${RIG_WM:-openbox}
    command -v Xorg >/dev/null && command -v "$wm" >/dev/null && command -v xdotool >/dev/null ||
        { echo "Xorg, $wm or xdotool missing (scripts/deps installs them)" >&2; exit 77; }
    RIG_DIR=$(mktemp -d "${TMPDIR:-/tmp}/vantu-rig.XXXXXX")
    rig_write_config "${1:-}" >"$RIG_DIR/xorg.conf"
    trap rig_stop EXIT
    local displayfd
    exec {displayfd}>"$RIG_DIR/display"
    Xorg -displayfd "$displayfd" -config "$RIG_DIR/xorg.conf" -noreset -nolisten tcp \
        -novtswitch -sharevts -logfile "$RIG_DIR/xorg.log" >/dev/null 2>&1 &
    RIG_XORG=$!
    echo "$RIG_XORG" >"$RIG_DIR/xorg.pid"
    exec {displayfd}>&-
    # Stops the server and the window manager even when this script is killed outright.
    (
        trap '' INT TERM HUP
        while kill -0 $$ 2>/dev/null; do sleep 0.5; done
        [ -d "$RIG_DIR" ] && kill $(cat "$RIG_DIR"/*.pid 2>/dev/null) 2>/dev/null
        sleep 1
        rm -rf "$RIG_DIR"
    ) </dev/null >/dev/null 2>&1 &
    RIG_WATCHDOG=$!
    rig_wait 10 test -s "$RIG_DIR/display" || rig_fail "Xorg did not start: $(tail -5 "$RIG_DIR/xorg.log")"
    export DISPLAY=":$(head -n1 "$RIG_DIR/display")"
    unset WAYLAND_DISPLAY XAUTHORITY
    rig_wait 10 xrandr || rig_fail "no answer from $DISPLAY"
    # The window manager leads a process group of its own, stopped whole with it.
    case $wm in
        i3)
            printf '# i3 config file (v4)\nfont pango:monospace 8\n' >"$RIG_DIR/i3.conf"
            setsid i3 -c "$RIG_DIR/i3.conf" >"$RIG_DIR/wm.log" 2>&1 &
            ;;
        xfwm4) setsid dbus-run-session -- xfwm4 --compositor=on >"$RIG_DIR/wm.log" 2>&1 & ;;
        kwin_x11) setsid dbus-run-session -- kwin_x11 >"$RIG_DIR/wm.log" 2>&1 & ;;
        gnome-shell)
            local system_bus
            system_bus=$(rig_system_bus "$RIG_DIR") || exit 1
            DBUS_SYSTEM_BUS_ADDRESS=$system_bus setsid dbus-run-session -- gnome-shell --x11 \
                >"$RIG_DIR/wm.log" 2>&1 &
            ;;
        *) setsid openbox --sm-disable >"$RIG_DIR/wm.log" 2>&1 & ;;
    esac
    RIG_WM_PID=$!
    echo "-$RIG_WM_PID" >"$RIG_DIR/wm.pid"
    rig_wait 10 sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"' ||
        rig_fail "$wm did not start"
    rig_log "X server $DISPLAY up (log $RIG_DIR/xorg.log)"
}

rig_i3() {
    i3-msg -s "$(xprop -root -notype I3_SOCKET_PATH | cut -d'"' -f2)" "$@" >/dev/null
}

rig_stop() {
    local pid
    [ -n "${RIG_WM_PID:-}" ] && kill -- "-$RIG_WM_PID" 2>/dev/null || true
    [ -f "${RIG_DIR:-}/system-bus.pid" ] && kill "$(cat "$RIG_DIR/system-bus.pid")" 2>/dev/null || true
    for pid in ${RIG_WM_PID:-} ${RIG_XORG:-}; do
        kill "$pid" 2>/dev/null || true
    done
    for pid in ${RIG_WM_PID:-} ${RIG_XORG:-}; do
        for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.05; done
        kill -9 "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    if [ -n "${RIG_WATCHDOG:-}" ]; then
        kill "$RIG_WATCHDOG" 2>/dev/null || true
    fi
    RIG_WM_PID= RIG_XORG= RIG_WATCHDOG=
    if [ -n "${RIG_DIR:-}" ] && [ -z "${RIG_KEEP:-}" ]; then
        rm -rf "$RIG_DIR"
    fi
    RIG_DIR=
}
