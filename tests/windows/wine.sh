#!/usr/bin/env bash
# The Windows test programs' emulator: runs one program under Wine in the test run's own prefix,
# with the program's standard output and error given Unix line ends, passed on when it ends.
#
#   wine.sh PROGRAM [ARGS...]   run PROGRAM (the CMAKE_CROSSCOMPILING_EMULATOR of the cross build)
#   wine.sh --new-prefix        make a fresh prefix and start its server for the run
#   wine.sh --stop              stop the prefix's server (and every program still in it)
#
# Everything lives in VANTU_WINE_ROOT (default: build/windows/wine of this checkout): the
# prefix, HOME and the caches, so that nothing is written into the user's own home or menus.
set -uo pipefail

root=${VANTU_WINE_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)/build/windows/wine}
export WINEPREFIX="$root/prefix" HOME="$root/home" XDG_CACHE_HOME="$root/cache"
export XDG_CONFIG_HOME="$root/config" XDG_DATA_HOME="$root/data"
# No Mono or Gecko prompts, no menu entries, no debug chatter.
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export WINEARCH=win64

new_prefix() {
    command -v wine >/dev/null && command -v wineserver >/dev/null ||
        { echo "wine.sh: Wine is not installed (scripts/deps installs it)" >&2; return 1; }
    [ -d "$WINEPREFIX" ] && wineserver -k 2>/dev/null
    rm -rf "$root"
    mkdir -p "$HOME" "$XDG_CACHE_HOME" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME"
    # No display while the prefix is made: no window, whatever DISPLAY the caller has.
    env -u DISPLAY -u WAYLAND_DISPLAY wineboot -i >"$root/wineboot.log" 2>&1 &&
        wineserver -w || { cat "$root/wineboot.log" >&2; return 1; }
    # Windows' dialog fonts, so that dialogs get their Windows size: Tahoma for the system's
    # boxes, MS Sans Serif for KPXConfig's template.
    cp /usr/share/wine/fonts/tahoma.ttf /usr/share/wine/fonts/tahomabd.ttf \
        /usr/share/wine/fonts/sserife.fon "$WINEPREFIX/drive_c/windows/Fonts/" || return 1
    # One server for the whole run: without it each program waits for a new one to start. Its
    # services start here, so that no test's program starts them (with its output) later.
    wineserver -p </dev/null >/dev/null 2>&1
    wine cmd.exe /c exit </dev/null >/dev/null 2>&1
    echo "wine.sh: prefix $WINEPREFIX ready"
}

# The prefix's desktop processes, on this display (here) or on others.
desktops() {
    local pid
    for pid in $(pgrep -f 'explorer\.exe /desktop'); do
        grep -qzx "WINEPREFIX=$WINEPREFIX" "/proc/$pid/environ" 2>/dev/null || continue
        if grep -qzx "DISPLAY=$DISPLAY" "/proc/$pid/environ"; then
            [ "$1" = here ] && echo "$pid"
        else
            [ "$1" = others ] && echo "$pid"
        fi
    done
}

# The prefix's desktop process lives on the X display of the program that started it, goes when
# that server goes, and is where Wine learns the display's modes. A program for another display
# waits up to 5 s for the desktop of the last one to go (tests that show windows run one at a
# time, each on a server of its own), then starts this display's desktop with the true clock
# (the game may run under faketime, which the desktop would inherit).
desktop_for_this_display() {
    for _ in $(seq 100); do
        [ -z "$(desktops others)" ] && break
        sleep 0.05
    done
    [ -z "$(desktops others)" ] ||
        echo "wine.sh: the prefix's desktop is still on another display" >&2
    [ -n "$(desktops here)" ] ||
        env -u LD_PRELOAD -u FAKETIME -u NO_FAKE_STAT wine rundll32.exe user32.dll,GetDesktopWindow \
            </dev/null >/dev/null 2>&1
}

case "${1:-}" in
    --new-prefix) new_prefix ;;
    --stop) wineserver -k 2>/dev/null; wineserver -w 2>/dev/null; exit 0 ;;
    "") echo "usage: wine.sh PROGRAM [ARGS...] | --new-prefix | --stop" >&2; exit 2 ;;
    *)
        [ -f "$WINEPREFIX/system.reg" ] ||
            { echo "wine.sh: no prefix in $root: run wine.sh --new-prefix first" >&2; exit 1; }
        [ -z "${DISPLAY:-}" ] || desktop_for_this_display
        # Through files, not pipes: a Wine service started by the program keeps its output open.
        out=$(mktemp) err=$(mktemp)
        wine "$@" >"$out" 2>"$err"
        status=$?
        tr -d '\r' <"$out"
        tr -d '\r' <"$err" >&2
        rm -f "$out" "$err"
        exit "$status"
        ;;
esac
