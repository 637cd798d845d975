# What the test rigs (tests/e2e/xrig.sh, tests/wayland/wlrig.sh, tests/gui/x_session.sh) and the
# scripts that drive the game on them share: the log, failure, waits, and the game's start and
# end. Sourced by the rigs.

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

# rig_mode: the mode of the first output that X clients see, as WxH@R (the rate rounded to whole
# hertz).
rig_mode() {
    xrandr 2>/dev/null | awk '
        /^[^ ]/ { output = ($2 == "connected") }
        output && /\*/ {
            for (i = 2; i <= NF; i++) if ($i ~ /\*/) { r = $i; gsub(/[*+]/, "", r) }
            printf "%s@%.0f\n", $1, r; exit
        }'
}

rig_mode_is() {
    [ "$(rig_mode)" = "$1" ]
}

# rig_wait_box SECONDS: waits up to SECONDS for the game's "SHUTDOWN ERROR" box and sets BOX to
# its X window; fails the test, with the game's standard error (GAME_DIR), when none is shown.
rig_wait_box() {
    BOX=
    rig_wait "$1" sh -c "xwininfo -root -tree | grep -q '\"SHUTDOWN ERROR\"'" &&
        BOX=$(xwininfo -root -tree | awk '/"SHUTDOWN ERROR"/ { print $1; exit }')
    [ -n "$BOX" ] || rig_fail "no SHUTDOWN ERROR box (stderr: $(cat "$GAME_DIR/err.log"))"
}

# game_start [RES DEPTH RATE]: runs the game (VANTU) in a fresh folder GAME_DIR below RIG_DIR,
# its standard output and error in out.log and err.log there, and sets GAME_PID. KPX.cfg holds
# those indices of the settings' tables when given (sound on), or is a copy of the file
# GAME_CONFIG when that is set; data/ is a copy of the folder GAME_DATA when that is set, else
# the repository's (VANTU_SOURCE_DIR). When set, also:
#   GAME_USER   the game runs as that user, from a copy of the program (and of data/), through
#               the command prefix GAME_AS (an array; setpriv to that user where GAME_AS is empty)
#   GAME_CLOCK  its clock is fixed there (faketime -f "@$GAME_CLOCK"; faketime then runs the
#               game as its child: GAME_PID is faketime's)
#   GAME_GROUP  it runs in a process group of its own, as a terminal's foreground job (GAME_PID
#               is also the group's id)
# GAME_GUARDIAN and GAME_CHILDREN, the processes a script found beside an earlier game, are
# emptied.
game_start() {
    GAME_DIR=$(mktemp -d "$RIG_DIR/game.XXXXXX")
    chmod 755 "$GAME_DIR"
    [ $# -eq 3 ] &&
        printf "\\x01\\x0$1\\x00\\x00\\x00\\x0$2\\x00\\x00\\x00\\x0$3\\x00\\x00\\x00" >"$GAME_DIR/KPX.cfg"
    [ -n "${GAME_CONFIG:-}" ] && cp "$GAME_CONFIG" "$GAME_DIR/KPX.cfg"
    local program=("$VANTU") clock=() as=()
    if [ -n "${GAME_DATA:-}" ]; then
        cp -a "$GAME_DATA" "$GAME_DIR/data"
    elif [ -n "${GAME_USER:-}" ]; then
        cp -r "$VANTU_SOURCE_DIR/data" "$GAME_DIR/data"
    else
        ln -s "$VANTU_SOURCE_DIR/data" "$GAME_DIR/data"
    fi
    if [ -n "${GAME_USER:-}" ]; then
        # A copy the user can run wherever the build tree lies.
        cp "$VANTU" "$GAME_DIR/Vantu"
        program=(./Vantu)
        as=("${GAME_AS[@]}")
        [ ${#as[@]} -gt 0 ] ||
            as=(setpriv --reuid="$GAME_USER" --regid="$GAME_USER" --clear-groups --)
    fi
    [ -n "${GAME_CLOCK:-}" ] &&
        clock=(env TZ=UTC FAKETIME_DONT_FAKE_MONOTONIC=1 faketime -f "@$GAME_CLOCK")
    [ -n "${GAME_GROUP:-}" ] && as=(setsid "${as[@]}")
    (cd "$GAME_DIR" && exec "${as[@]}" "${clock[@]}" "${program[@]}") \
        >"$GAME_DIR/out.log" 2>"$GAME_DIR/err.log" &
    GAME_PID=$!
    GAME_GUARDIAN=
    GAME_CHILDREN=
    rig_log "game $GAME_PID started${3:+ with KPX.cfg $1 $2 $3}"
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
