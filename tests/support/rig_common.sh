# What the test rigs (tests/e2e/xrig.sh, tests/wayland/wlrig.sh) and the scripts that drive the
# game on them share: the log, failure, waits, and the game's end. Sourced by the rigs.

rig_log() {
    echo "[$(date +%H:%M:%S.%N | cut -c1-12)] $*" >&2
}

# RIG_REPLAY: set by randomised scenarios to the command that repeats the same run.
rig_fail() {
    rig_log "FAIL: $*"
    [ -z "${RIG_REPLAY:-}" ] || rig_log "to repeat this run: $RIG_REPLAY"
    exit 1
}

# rig_wait SECONDS COMMAND...: polls COMMAND every 50 ms until it succeeds; false on timeout.
rig_wait() {
    local limit=$(($(date +%s%N) + $1 * 1000000000))
    shift
    until "$@" >/dev/null 2>&1; do
        [ "$(date +%s%N)" -ge "$limit" ] && return 1
        sleep 0.05
    done
}

# rig_wait_box SECONDS: waits up to SECONDS for the game's "SHUTDOWN ERROR" box and sets BOX to
# its X window; fails the test, with the game's standard error (GAME_DIR), when none is shown.
rig_wait_box() {
    BOX=
    rig_wait "$1" sh -c "xwininfo -root -tree | grep -q '\"SHUTDOWN ERROR\"'" &&
        BOX=$(xwininfo -root -tree | awk '/"SHUTDOWN ERROR"/ { print $1; exit }')
    [ -n "$BOX" ] || rig_fail "no SHUTDOWN ERROR box (stderr: $(cat "$GAME_DIR/err.log"))"
}

# game_end STATUS [SECONDS]: waits up to SECONDS (10 unless given) for the game (GAME_PID) to
# end, and fails the test unless it ended with STATUS (128 + N for signal N).
game_end() {
    local status=0
    rig_wait "${2:-10}" sh -c "! kill -0 $GAME_PID" || { kill -9 "$GAME_PID"; rig_fail "the game did not end"; }
    wait "$GAME_PID" || status=$?
    [ "$status" -eq "$1" ] ||
        rig_fail "exit status $status, expected $1 (stderr: $(cat "$GAME_DIR/err.log"))"
    rig_log "game ended with status $status"
}

# rig_system_bus DIR: a private system bus in DIR (socket DIR/system_bus, its pid in
# DIR/system-bus.pid), standing in for the machine's for GNOME Shell: logind and the other
# services it asks there are simply absent. Prints the bus's address.
rig_system_bus() {
    cat >"$1/system-bus.conf" <<EOF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>system</type>
  <listen>unix:path=$1/system_bus</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow user="*"/><allow own="*"/><allow send_destination="*"/><allow receive_sender="*"/>
  </policy>
</busconfig>
EOF
    dbus-daemon --config-file="$1/system-bus.conf" --fork --print-pid >"$1/system-bus.pid" &&
        rig_wait 5 test -S "$1/system_bus" || rig_fail "no private system bus"
    echo "unix:path=$1/system_bus"
}
