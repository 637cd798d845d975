#!/usr/bin/env bash
# Runs a command on a private X server and stops the server afterwards.
#   x_session.sh [--wm] [--screen WxHxD] -- command [args...]
# Xvfb picks a free display itself (-displayfd), so parallel runs never collide; --wm also
# runs openbox for tests that need focus, decorations or a close box. The command's exit
# status is the script's.
set -uo pipefail
source "$(dirname "$0")/../support/rig_common.sh"

wm=0
screen=1024x768x24
while [ $# -gt 0 ]; do
  case "$1" in
    --wm) wm=1; shift ;;
    --screen) screen=$2; shift 2 ;;
    --) shift; break ;;
    *) break ;;
  esac
done
[ $# -gt 0 ] || { echo "usage: $0 [--wm] [--screen WxHxD] -- command [args...]" >&2; exit 2; }

tmp=$(mktemp -d)
x_pid=""
wm_pid=""
cleanup() {
  if [ -n "$wm_pid" ]; then kill "$wm_pid" 2>/dev/null; wait "$wm_pid" 2>/dev/null; fi
  if [ -n "$x_pid" ]; then kill "$x_pid" 2>/dev/null; wait "$x_pid" 2>/dev/null; fi
  rm -rf "$tmp"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

mkfifo "$tmp/displayfd"
Xvfb -displayfd 3 -noreset -nolisten tcp -screen 0 "$screen" 3>"$tmp/displayfd" \
  >"$tmp/xvfb.log" 2>&1 &
x_pid=$!
if ! read -r -t 20 number <"$tmp/displayfd" || [ -z "$number" ]; then
  echo "x_session: Xvfb did not start" >&2
  cat "$tmp/xvfb.log" >&2
  exit 1
fi
export DISPLAY=":$number"
unset WAYLAND_DISPLAY XAUTHORITY
export GDK_BACKEND=x11 NO_AT_BRIDGE=1

if [ "$wm" = 1 ]; then
  openbox --sm-disable >"$tmp/openbox.log" 2>&1 &
  wm_pid=$!
  if ! rig_wait 10 sh -c "xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'"; then
    echo "x_session: openbox did not start" >&2
    cat "$tmp/openbox.log" >&2
    exit 1
  fi
fi

"$@"
