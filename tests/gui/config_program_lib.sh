# Helpers for the scripts that drive KPXConfig itself on an X server with a window manager
# (run through x_session.sh --wm). Source it with the script's arguments still in place: the
# program, or a command that runs it (a Wine runner and KPXConfig.exe). It works in a fresh
# folder of its own, removed at exit.
program=()
for arg in "$@"; do
  [ -e "$arg" ] && arg=$(realpath "$arg")
  program+=("$arg")
done
# The Windows dialog, run by Wine: the system's dialog manager and the template's own font,
# "MS Sans Serif" 8, whose dialog base units are 6 x 13 pixels (7 x 13 with DejaVu Sans).
win32=0
dlu_x=7
dlu_y=13
case "${program[-1]}" in
  *.exe) win32=1; dlu_x=6 ;;
esac

work=$(mktemp -d)
pid=""
cleanup() {
  if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then kill "$pid"; wait "$pid" 2>/dev/null; fi
  rm -rf "$work"
}
trap cleanup EXIT
cd "$work" || exit 1

passed=0
failed=0
ok() { passed=$((passed + 1)); echo "ok: $*"; }
fail() { failed=$((failed + 1)); echo "FAIL: $*"; }
hex() { od -An -tx1 -v "$1" | tr -s ' \n' ' ' | sed 's/^ //; s/ $//'; }

DEFAULTS="01 02 00 00 00 01 00 00 00 03 00 00 00"
COMPATIBILITY="01 00 00 00 00 00 00 00 00 07 00 00 00"
PREFERRED="01 02 00 00 00 01 00 00 00 05 00 00 00"

# Starts KPXConfig and waits until its window (or the one named NAME) is shown, active and has
# the keyboard; sets pid and win. Under Wine the window manager reports the window active a
# moment before Wine takes the input focus, and a key pressed in between is lost.
start() {  # [NAME]
  "${program[@]}" &
  pid=$!
  win=""
  for _ in $(seq 1 200); do
    win=$(xdotool search --onlyvisible --name "^${1:-KPXConfig}\$" 2>/dev/null | head -1)
    [ -n "$win" ] && [ "$(xdotool getactivewindow 2>/dev/null)" = "$win" ] \
      && [ "$(xdotool getwindowfocus 2>/dev/null)" = "$win" ] && return 0
    sleep 0.05
  done
  fail "the ${1:-KPXConfig} window did not appear with the focus (window '$win', active" \
    "'$(xdotool getactivewindow 2>&1)', focus '$(xdotool getwindowfocus 2>&1)')"
  return 1
}

# Waits for KPXConfig to end; its exit status must be 0.
ended() {
  for _ in $(seq 1 200); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.05
  done
  if kill -0 "$pid" 2>/dev/null; then
    fail "$1: KPXConfig is still running"
    kill "$pid"
    wait "$pid" 2>/dev/null
  else
    wait "$pid"
    local status=$?
    [ "$status" = 0 ] && ok "$1: KPXConfig ended" || fail "$1: exit status $status"
  fi
  pid=""
}

expect_file() {  # what, expected bytes ("" for no file)
  local got="(no file)"
  [ -e KPX.cfg ] && got=$(hex KPX.cfg)
  [ "$got" = "${2:-(no file)}" ] && ok "$1: KPX.cfg is ${2:-absent}" || fail "$1: KPX.cfg is $got, want ${2:-no file}"
}

# The summary line and the status: 0 when nothing failed.
finish() {
  echo "$passed passed, $failed failed"
  [ "$failed" = 0 ]
}
