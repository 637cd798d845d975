#!/usr/bin/env bash
# The installed launcher (bin/vantu, bin/kpxconfig) over a tree of stand-in programs that print
# where they run: the per-user working folder, the link to the pictures, XDG_DATA_HOME, a tree
# that moves, and the failures it reports.
#   launcher_test.sh path/to/configured/vantu-launcher
set -uo pipefail
launcher=$(realpath "$1")
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

passed=0
failed=0
check() {  # check WHAT EXPECTED ACTUAL
    if [ "$2" = "$3" ]; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        echo "FAIL: $1: expected '$2', got '$3'"
    fi
}

# An installed tree under PREFIX with stand-ins: Vantu prints its folder and KPX.cfg and ends
# with status 3; KPXConfig writes KPX.cfg.
make_tree() {
    mkdir -p "$1/bin" "$1/libexec/vantu" "$1/share/vantu/data"
    cp "$launcher" "$1/bin/vantu"
    cp "$launcher" "$1/bin/kpxconfig"
    printf '#!/bin/sh\necho "Vantu $PWD $(cat KPX.cfg 2>/dev/null)"\nexit 3\n' \
        >"$1/libexec/vantu/Vantu"
    printf '#!/bin/sh\necho saved >KPX.cfg\necho "KPXConfig $PWD"\n' >"$1/libexec/vantu/KPXConfig"
    chmod +x "$1/bin/"* "$1/libexec/vantu/"*
    touch "$1/share/vantu/data/Die1.bmp"
}

prefix=$tmp/opt/vantu
make_tree "$prefix"
home=$tmp/home
mkdir -p "$home/elsewhere"
ln -s "$prefix/bin/kpxconfig" "$home/elsewhere/kpxconfig"
run() { env -u XDG_DATA_HOME HOME="$home" "$@" 2>&1; }
work=$home/.local/share/vantu

# A fresh player: the folder and the data link are made; the game's status comes back.
out=$(run "$prefix/bin/vantu")
check "first game status" 3 "$?"
check "first game folder" "Vantu $work " "$out"
check "data link" "$(realpath "$prefix/share/vantu/data")" "$(readlink "$work/data")"
# The dialog, called through a link elsewhere, works in the same folder; the game sees its file.
check "dialog" "KPXConfig $work" "$(run "$home/elsewhere/kpxconfig")"
check "shared KPX.cfg" "Vantu $work saved" "$(run "$prefix/bin/vantu")"

# The tree moved to another prefix: the link follows it.
mv "$tmp/opt" "$tmp/moved"
prefix=$tmp/moved/vantu
run "$prefix/bin/vantu" >/dev/null
check "link after a move" "$(realpath "$prefix/share/vantu/data")" "$(readlink "$work/data")"

# A real data folder of the player's own is left alone.
rm "$work/data" && mkdir "$work/data" && touch "$work/data/mine.bmp"
run "$prefix/bin/vantu" >/dev/null
check "player's own data" "mine.bmp" "$(ls "$work/data")"

# XDG_DATA_HOME counts when absolute, and only then.
out=$(HOME="$home" XDG_DATA_HOME="$tmp/xdg" "$prefix/bin/vantu" 2>&1)
check "XDG_DATA_HOME" "Vantu $tmp/xdg/vantu " "$out"
out=$(cd "$tmp" && HOME="$home" XDG_DATA_HOME="relative" "$prefix/bin/vantu" 2>&1)
check "relative XDG_DATA_HOME ignored" "Vantu $work saved" "$out"
check "no relative folder made" no "$([ -e "$tmp/relative" ] && echo yes || echo no)"

# No HOME: a message and status 1, nothing run.
out=$(env -u HOME -u XDG_DATA_HOME "$prefix/bin/vantu" 2>&1)
check "no HOME status" 1 "$?"
check "no HOME message" "vantu: HOME is not set" "$out"

# The pictures gone from the tree: a message naming the place, nothing run.
rm -r "$prefix/share/vantu/data"
out=$(run "$prefix/bin/kpxconfig")
check "no pictures status" 1 "$?"
case "$out" in
    "kpxconfig: the pictures are missing from $prefix/bin/"*) check "no pictures message" ok ok ;;
    *) check "no pictures message" "kpxconfig: the pictures are missing ..." "$out" ;;
esac

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
