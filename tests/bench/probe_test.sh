#!/usr/bin/env bash
# vantu-startup-probe on the Xorg dummy rig of tests/e2e: it sees the bare window's frame and
# its memory, reports what it did not see, and ends what it started.
#   probe_test.sh PROBE BARE_WINDOW       (needs root for the rig; 77 otherwise)
set -uo pipefail
probe=$1 bare=$2
source "$(dirname "$0")/../e2e/xrig.sh"
export ASAN_OPTIONS=detect_leaks=0
rig_start
rig_set_mode 1024 768 60

# The bare window: viewable, then its grey frame, in the mode asked for; SIGTERM ends it with 0.
report=$RIG_DIR/probe.txt
"$probe" --timeout 20 --hold 3 -- "$bare" 800x600@85 >"$report" &
probe_pid=$!
rig_wait 10 rig_mode_is 800x600@85 || rig_fail "the bare window's mode not seen: $(rig_mode)"
wait "$probe_pid"
status=$?
line=$(cat "$report")
[ "$status" -eq 0 ] || rig_fail "probe status $status: $line"
rig_log "bare window: $line"
[[ "$line" =~ ^mapped_ms=([0-9.]+)\ first_frame_ms=([0-9.]+)\ status=0\ maxrss_kb=([0-9]+)$ ]] ||
    rig_fail "unexpected report: $line"
awk -v m="${BASH_REMATCH[1]}" -v f="${BASH_REMATCH[2]}" 'BEGIN { exit !(0 < m && m <= f) }' ||
    rig_fail "the frame came before the window: $line"
[ "${BASH_REMATCH[3]}" -gt 1000 ] || rig_fail "no memory figure: $line"
rig_wait 5 rig_mode_is 1024x768@60 || rig_fail "desktop left in $(rig_mode)"

# A program with no window: nothing seen, status 1, the program ended by SIGTERM.
line=$("$probe" --timeout 1 -- sleep 31.234)
[ $? -eq 1 ] || rig_fail "status for a program without a window: $line"
[[ "$line" =~ ^mapped_ms=NA\ first_frame_ms=NA\ status=143\  ]] || rig_fail "no window: $line"
pgrep -f '^sleep 31.234$' >/dev/null && rig_fail "sleep still running"

# A program that ends at once, and one that cannot be started.
line=$("$probe" --timeout 5 -- false)
[[ "$line" =~ first_frame_ms=NA\ status=1\  ]] || rig_fail "false: $line"
line=$("$probe" -- /nonexistent/program 2>/dev/null)
[[ "$line" =~ status=127\  ]] || rig_fail "missing program: $line"
rig_log "probe test passed"
