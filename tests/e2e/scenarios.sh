#!/usr/bin/env bash
# End-to-end scenarios of the real Vantu program on a private X server with real input.
#
#   scenarios.sh NAME      NAME: default_mode presets refused_mode close_requests crash
#                                minimise killed box_crash terminal_signals bad_config
#                                data_entries soak
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

# poll_while_game COMMAND...: runs COMMAND every 0.05 s, for up to 10 s and only while the game
# lives, until it prints something; prints that (or nothing).
poll_while_game() {
    local found=
    for _ in $(seq 200); do
        found=$("$@")
        [ -n "$found" ] && break
        kill -0 "$GAME_PID" 2>/dev/null || break
        sleep 0.05
    done
    echo "$found"
}

visible_game_window() {
    xdotool search --onlyvisible --name '^Vantu$' 2>/dev/null | head -n1
}

# game_window: waits for the game's window to be shown; prints its id.
game_window() {
    poll_while_game visible_game_window
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

# process_gone PID: no such process, or only its exit status left (a zombie).
process_gone() {
    local state
    state=$(ps -o stat= -p "$1" 2>/dev/null) || return 0
    [[ "$state" == Z* ]]
}

# guardian_gone: neither the guardian nor any other process the game forked (GAME_CHILDREN)
# outlives the game by more than a second.
guardian_gone() {
    local pid
    for pid in $GAME_GUARDIAN $GAME_CHILDREN; do
        rig_wait 1 process_gone "$pid" ||
            rig_fail "process $pid still there: $(ps -o pid=,ppid=,args= -p "$pid")"
    done
}

box_with_caption() {
    xwininfo -root -tree | awk -v caption="\"$1\":" 'index($0, caption) { print $1; exit }'
}

# box_window CAPTION: waits for a message box with that caption; prints its window id.
box_window() {
    poll_while_game box_with_caption "$1"
}

# box_shown CAPTION: such a box is on the screen now.
box_shown() {
    xwininfo -root -tree | awk -v caption="\"$1\":" 'index($0, caption) { found = 1 } END { exit !found }'
}

# box_there BOX SIZE: the box is still shown: its window is there and the game has written
# nothing to standard error since it was SIZE bytes long. Each box is drawn by a new X client,
# which often gets the window id of the box before it: the game writes a box's text to
# standard error before it shows the box.
box_there() {
    xwininfo -id "$1" >/dev/null 2>&1 && [ "$(stat -c %s "$GAME_DIR/err.log")" -eq "$2" ]
}

box_gone() {
    ! box_there "$@"
}

# dismiss BOX: presses Return in the box until it goes (up to five tries a second apart: a
# window that the game maps at the same moment can take the focus from the box first).
dismiss() {
    local try size
    size=$(stat -c %s "$GAME_DIR/err.log")
    for try in 1 2 3 4 5; do
        box_there "$1" "$size" || return 0
        xdotool windowfocus --sync "$1" key Return 2>/dev/null || true
        rig_wait 1 box_gone "$1" "$size" && return 0
    done
    return 1
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
    local box
    box=$(box_window "SHUTDOWN ERROR")
    [ -n "$box" ] || rig_fail "no SHUTDOWN ERROR box (stderr: $(cat "$GAME_DIR/err.log"))"
    grep -qx 'SHUTDOWN ERROR: AHH... It blew up creating the window!' "$GAME_DIR/err.log" ||
        rig_fail "box text: $(cat "$GAME_DIR/err.log")"
    grep -qxF 'Vantu: the display does not offer 800x600 at 72 Hz; at 800x600 it offers 120, 100, 85, 75, 70, 60 Hz. Choose another mode in the settings dialog (KPXConfig).' \
        "$GAME_DIR/err.log" || rig_fail "no line naming the rates offered: $(cat "$GAME_DIR/err.log")"
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

# A copy of the game's pictures with Die3.bmp made unreadable as a bitmap: the reader's box
# comes up while the game's window and mode are up.
broken_picture_data() {
    GAME_DATA=$(mktemp -d "$RIG_DIR/data.XXXXXX")
    cp "$VANTU_SOURCE_DIR"/data/*.bmp "$GAME_DATA"
    echo "not a bitmap" >"$GAME_DATA/Die3.bmp"
}

# kill_under_box SIGNAL: the game dies by SIGNAL while its box is up; the desktop's mode is
# back within a second, and neither the guardian nor the box's own process stays.
kill_under_box() {
    local number start elapsed box
    number=$(kill -l "$1")
    game_start
    box=$(box_window Error)
    [ -n "$box" ] || rig_fail "no Error box (stderr: $(cat "$GAME_DIR/err.log"))"
    expect_mode 1024x768@75
    GAME_CHILDREN=$(pgrep -P "$GAME_PID" | tr '\n' ' ')
    [ "$(wc -w <<<"$GAME_CHILDREN")" -ge 2 ] ||
        rig_fail "the guardian and the box's process expected, the game's children: $GAME_CHILDREN"
    kill -"$1" "$GAME_PID"
    start=$(date +%s%N)
    rig_wait 2 rig_mode_is "$DESKTOP" || rig_fail "after SIG$1: desktop left in $(rig_mode)"
    elapsed=$((($(date +%s%N) - start) / 1000000))
    [ "$elapsed" -le 1000 ] || rig_fail "after SIG$1: desktop back only after $elapsed ms"
    game_end $((128 + number))
    guardian_gone
    ! box_shown Error || rig_fail "after SIG$1 the Error box is still shown"
    rig_log "SIG$1 under the box: desktop back after $elapsed ms, nothing left"
}

scenario_box_crash() {
    broken_picture_data
    local sig
    for sig in SEGV ABRT KILL; do
        kill_under_box "$sig"
    done
    # A close request while the box is up ends the game, normally, once the box is closed.
    game_start
    local box
    box=$(box_window Error)
    [ -n "$box" ] || rig_fail "no Error box (stderr: $(cat "$GAME_DIR/err.log"))"
    GAME_CHILDREN=$(pgrep -P "$GAME_PID" | tr '\n' ' ')
    kill -TERM "$GAME_PID"
    sleep 0.3
    kill -0 "$GAME_PID" || rig_fail "the game ended under its box"
    dismiss "$box"
    game_end 0
    test "$(rig_mode)" = "$DESKTOP" || rig_fail "desktop left in $(rig_mode)"
    guardian_gone
}

# KPX.cfg bytes in the array cfg; field OFFSET prints the signed 32-bit value stored there.
field() {
    local v=$((cfg[$1] | cfg[$1 + 1] << 8 | cfg[$1 + 2] << 16 | cfg[$1 + 3] << 24))
    echo $((v >= 2147483648 ? v - 4294967296 : v))
}

set_field() {  # OFFSET VALUE
    local i
    for i in 0 1 2 3; do
        cfg[$1 + i]=$((($2 >> (8 * i)) & 255))
    done
}

# KPX.cfg of every length from 0 to 20 bytes, random contents: the game opens in the mode the
# file selects, field by field with the defaults for fields it does not hold whole, or shows
# the SHUTDOWN ERROR box for the one mode this server lacks (800x600 at 72 Hz); it never
# crashes. Index fields are mostly drawn from -2 to 9, so that most files choose a table row.
scenario_bad_config() {
    local seed=${VANTU_BAD_INPUT_SEED:-$(date +%s)}
    rig_log "random seed $seed (VANTU_BAD_INPUT_SEED=$seed repeats it)"
    RIG_REPLAY="VANTU_BAD_INPUT_SEED=$seed VANTU=$VANTU bash $here/scenarios.sh bad_config"
    RANDOM=$seed
    GAME_CONFIG="$RIG_DIR/KPX.cfg"
    local length i offset res rate mode box
    for length in $(seq 0 20); do
        cfg=()
        for ((i = 0; i < 20; i++)); do
            cfg[i]=$((RANDOM % 256))
        done
        for offset in 1 5 9; do
            ((RANDOM % 4 == 0)) || set_field "$offset" $((RANDOM % 12 - 2))
        done
        if [ "$length" -eq 13 ] || [ "$length" -eq 16 ]; then
            set_field 1 1  # 800x600
            set_field 9 2  # 72 Hz
        fi
        : >"$GAME_CONFIG"
        [ "$length" -gt 0 ] && printf "$(printf '\\x%02x' "${cfg[@]:0:length}")" >"$GAME_CONFIG"
        res=2 rate=3
        [ "$length" -ge 5 ] && res=$(field 1)
        [ "$length" -ge 13 ] && rate=$(field 9)
        mode=1024x768
        ((res >= 0 && res <= 5)) && mode=${RIG_SIZES[res]}
        if ((rate >= 0 && rate <= 6)); then
            mode+=@${RIG_RATES[rate]}
        elif ((rate == 7)); then
            mode+=@60  # the desktop's own rate, which every size offers here
        else
            mode+=@75
        fi
        rig_log "KPX.cfg of $length bytes:$(od -An -tx1 -v "$GAME_CONFIG" | tr -d '\n'), expecting $mode"
        game_start
        if [ "$mode" = 800x600@72 ]; then
            box=$(box_window "SHUTDOWN ERROR")
            [ -n "$box" ] || rig_fail "no SHUTDOWN ERROR box (stderr: $(cat "$GAME_DIR/err.log"))"
            dismiss "$box"
            game_end 1
        else
            game_running "$mode"
            xdotool key Escape
            game_end 0
        fi
        test "$(rig_mode)" = "$DESKTOP" || rig_fail "desktop left in $(rig_mode)"
        guardian_gone
    done
    GAME_CONFIG=
}

# data_box TEXT: the bitmap reader's next box comes up, with TEXT (also written to standard
# error, the box's caption first); it is closed. DATA_BOXES counts the boxes of this game.
data_box() {
    local box lines
    box=$(box_window Error)
    [ -n "$box" ] || rig_fail "no Error box for '$1' (stderr: $(cat "$GAME_DIR/err.log"))"
    DATA_BOXES=$((DATA_BOXES + 1))
    lines=$(grep '^Error: ' "$GAME_DIR/err.log")
    [ "$(wc -l <<<"$lines")" -eq "$DATA_BOXES" ] && [ "$(tail -n 1 <<<"$lines")" = "Error: $1" ] ||
        rig_fail "box $DATA_BOXES should say '$1'; stderr: $(cat "$GAME_DIR/err.log")"
    dismiss "$box" || rig_fail "the box for '$1' stays"
}

# Broken entries in data/, the game running as an unprivileged user: a missing picture, a
# dangling link and a picture the user may not read are skipped silently; an empty file, a
# folder in a picture's place and a file that is not a bitmap each bring up the bitmap
# reader's box, and the game runs with the pictures that loaded. When none loads, the game
# ends with the SHUTDOWN ERROR box, the desktop's mode already back.
scenario_data_entries() {
    GAME_DATA=$(mktemp -d "$RIG_DIR/data.XXXXXX")
    chmod 755 "$GAME_DATA"
    GAME_USER=65534
    cp "$VANTU_SOURCE_DIR"/data/*.bmp "$GAME_DATA"
    rm "$GAME_DATA/Die1.bmp"
    : >"$GAME_DATA/Die2.bmp"
    chmod 000 "$GAME_DATA/Die3.bmp"
    rm "$GAME_DATA/Die4.bmp" && mkdir "$GAME_DATA/Die4.bmp"
    echo "not a bitmap" >"$GAME_DATA/Die5.bmp"
    rm "$GAME_DATA/Die6.bmp" && ln -s nowhere.bmp "$GAME_DATA/Die6.bmp"
    DATA_BOXES=0
    game_start
    data_box "Failed to open DIB file data/Die2.bmp."
    data_box "Failed to open DIB file data/Die4.bmp."
    data_box "Unknown DIB file format."
    game_running 1024x768@75
    xdotool key Escape
    game_end 0
    [ "$(grep -c '^Error: ' "$GAME_DIR/err.log")" -eq "$DATA_BOXES" ] ||
        rig_fail "more boxes: $(cat "$GAME_DIR/err.log")"
    test "$(rig_mode)" = "$DESKTOP" || rig_fail "desktop left in $(rig_mode)"
    guardian_gone

    # Nothing loads: the first six as above, then an empty file, a folder, an unreadable file,
    # a text file and a file cut off after "BM".
    rm "$GAME_DATA"/{Desk,DieShader,Table,HandCursor,HandCursor_mask}.bmp
    : >"$GAME_DATA/Desk.bmp"
    mkdir "$GAME_DATA/DieShader.bmp"
    : >"$GAME_DATA/Table.bmp" && chmod 000 "$GAME_DATA/Table.bmp"
    echo "not a bitmap" >"$GAME_DATA/HandCursor.bmp"
    printf BM >"$GAME_DATA/HandCursor_mask.bmp"
    DATA_BOXES=0
    game_start
    data_box "Failed to open DIB file data/Die2.bmp."
    data_box "Failed to open DIB file data/Die4.bmp."
    data_box "Unknown DIB file format."
    data_box "Failed to open DIB file data/Desk.bmp."
    data_box "Failed to open DIB file data/DieShader.bmp."
    data_box "Unknown DIB file format."
    data_box "Unknown DIB file format."
    local box
    box=$(box_window "SHUTDOWN ERROR")
    [ -n "$box" ] || rig_fail "no SHUTDOWN ERROR box (stderr: $(cat "$GAME_DIR/err.log"))"
    tail -n 1 "$GAME_DIR/err.log" | grep -qxF 'SHUTDOWN ERROR: AHH... It blew up creating the window!' ||
        rig_fail "stderr: $(cat "$GAME_DIR/err.log")"
    test "$(rig_mode)" = "$DESKTOP" || rig_fail "desktop in $(rig_mode) under the box"
    dismiss "$box"
    game_end 1
    guardian_gone
    GAME_DATA= GAME_USER=
}

# What a terminal sends to its whole foreground job, the game and what it forked: Ctrl-C and a
# hang-up end the game normally, Ctrl-\ (SIGQUIT) kills it; the desktop's mode is back within a
# second each time. Ctrl-C while a box is up closes the box, and the game ends.
scenario_terminal_signals() {
    GAME_GROUP=1
    local sig status start elapsed
    for sig in INT HUP QUIT; do
        status=0
        [ "$sig" = QUIT ] && status=$((128 + $(kill -l QUIT)))
        game_start 2 1 5  # 1024x768 at 100 Hz
        game_running 1024x768@100
        kill -"$sig" -- -"$GAME_PID"
        start=$(date +%s%N)
        rig_wait 2 rig_mode_is "$DESKTOP" || rig_fail "after group SIG$sig: desktop left in $(rig_mode)"
        elapsed=$((($(date +%s%N) - start) / 1000000))
        [ "$elapsed" -le 1000 ] || rig_fail "after group SIG$sig: desktop back only after $elapsed ms"
        game_end "$status"
        guardian_gone
        rig_log "group SIG$sig: desktop back after $elapsed ms"
    done
    broken_picture_data
    game_start
    local box
    box=$(box_window Error)
    [ -n "$box" ] || rig_fail "no Error box (stderr: $(cat "$GAME_DIR/err.log"))"
    GAME_CHILDREN=$(pgrep -P "$GAME_PID" | tr '\n' ' ')
    kill -INT -- -"$GAME_PID"
    game_end 0
    test "$(rig_mode)" = "$DESKTOP" || rig_fail "desktop left in $(rig_mode)"
    guardian_gone
    ! box_shown Error || rig_fail "the Error box is still shown"
    GAME_GROUP= GAME_DATA=
}

# Keys for the soak: the throw keys, letters, digits, arrows, function keys and modifiers on
# their own; never Escape, and no combination a window manager acts on.
SOAK_KEYS=(Return space space Return a q z w 1 5 0 Up Down Left Right Tab BackSpace F1 F5 F10
    Shift_L Control_L Alt_L Insert Delete Home End Page_Up Page_Down KP_Enter Caps_Lock)

# soak_chunk: one xdotool run of about 40 random actions, about a second long.
soak_chunk() {
    local args=() i key
    for ((i = 0; i < 40; i++)); do
        case $((RANDOM % 10)) in
            0 | 1 | 2 | 3) args+=(mousemove_relative -- $((RANDOM % 81 - 40)) $((RANDOM % 81 - 40))) ;;
            4) args+=(click 1) ;;
            5) args+=(click 3) ;;
            6) args+=(mousedown 1 mousemove_relative -- $((RANDOM % 41 - 20)) $((RANDOM % 41 - 20))
                   mouseup 1) ;;
            7 | 8) args+=(key "${SOAK_KEYS[RANDOM % ${#SOAK_KEYS[@]}]}") ;;
            9) key=${SOAK_KEYS[RANDOM % 2]}
               args+=(keydown "$key" sleep 0.$((RANDOM % 5 + 1)) keyup "$key") ;;
        esac
        args+=(sleep 0.0$((RANDOM % 4 + 1)))
    done
    xdotool "${args[@]}"
}

rss_kb() {
    awk '/^VmRSS:/ { print $2 }' "/proc/$GAME_PID/status"
}

# The game under a stream of random mouse motion, clicks and keys for VANTU_SOAK_SECONDS
# (default 180): it does not end, no GL error is reported (test builds check after every
# frame), and its resident memory stays within VANTU_SOAK_RSS_KB (default 2048 kB) of where it
# was at the end of the warm-up (the first VANTU_SOAK_WARMUP seconds, default 30). Sampled
# every 10 s, the game's own VmRSS varies by about 200 kB; a leak of 200 bytes a frame at
# 75 frames a second passes the bound within three minutes.
scenario_soak() {
    local seconds=${VANTU_SOAK_SECONDS:-180} warmup=${VANTU_SOAK_WARMUP:-30}
    local bound=${VANTU_SOAK_RSS_KB:-2048} seed=${VANTU_SOAK_SEED:-$(date +%s)}
    rig_log "soak of $seconds s, warm-up $warmup s, RSS bound $bound kB, seed $seed"
    RIG_REPLAY="VANTU_SOAK_SEED=$seed VANTU_SOAK_SECONDS=$seconds VANTU=$VANTU bash $here/scenarios.sh soak"
    RANDOM=$seed
    # The sanitizer keeps freed blocks out of use until 256 MB of them have piled up, which
    # reads as growth for minutes; a small quarantine fills within the first second.
    local -x ASAN_OPTIONS="$ASAN_OPTIONS:quarantine_size_mb=8"
    # 640x480 at 75 Hz: the frames and the input of the default mode at less than half the
    # software renderer's work, so the soak leaves room for the other tests beside it.
    game_start 0 1 3
    game_running 640x480@75
    local start now next_sample=0 elapsed rss base=0 low=0 high=0 chunks=0
    start=$(date +%s)
    : >"$RIG_DIR/rss.log"
    while :; do
        now=$(date +%s)
        elapsed=$((now - start))
        kill -0 "$GAME_PID" 2>/dev/null ||
            rig_fail "the game ended after $elapsed s (stderr: $(tail -20 "$GAME_DIR/err.log"))"
        if [ "$elapsed" -ge "$next_sample" ]; then
            rss=$(rss_kb)
            echo "$elapsed $rss" >>"$RIG_DIR/rss.log"
            if [ "$elapsed" -ge "$warmup" ]; then
                if [ "$base" -eq 0 ]; then
                    base=$rss low=$rss high=$rss
                    rig_log "after the warm-up: VmRSS $rss kB"
                fi
                ((rss < low)) && low=$rss
                ((rss > high)) && high=$rss
                ((rss - base <= bound)) ||
                    rig_fail "VmRSS $rss kB after $elapsed s, $((rss - base)) kB above $base kB"
            fi
            next_sample=$((next_sample + 10))
        fi
        [ "$elapsed" -ge "$seconds" ] && break
        soak_chunk
        chunks=$((chunks + 1))
    done
    ! grep -q 'GL error' "$GAME_DIR/err.log" ||
        rig_fail "GL errors: $(grep -m5 'GL error' "$GAME_DIR/err.log")"
    expect_mode 640x480@75 5
    rig_log "soak done: $chunks chunks of input; VmRSS $(head -n1 "$RIG_DIR/rss.log" | cut -d' ' -f2) kB at start, $base kB after warm-up, $low to $high kB since, $(rss_kb) kB at the end"
    rig_log "VmRSS samples (s kB): $(tr '\n' ',' <"$RIG_DIR/rss.log")"
    xdotool key Escape
    game_end 0
    test "$(rig_mode)" = "$DESKTOP" || rig_fail "desktop left in $(rig_mode)"
    guardian_gone
}

name=${1:?scenario name}
declare -F "scenario_$name" >/dev/null || { echo "no scenario $name" >&2; exit 2; }
if [ "$name" = refused_mode ] || [ "$name" = bad_config ]; then
    rig_start 800x600@72
else
    rig_start
fi
rig_set_mode 1024 768 60
"scenario_$name"
rig_log "scenario $name passed"
