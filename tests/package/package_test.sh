#!/usr/bin/env bash
# The Debian package as a packager and a player meet it: scripts/package builds it, lintian
# must find no error and no warning, its fields and files are checked, then it is installed for
# real with apt-get, both installed commands run as an unprivileged user on the Xorg dummy rig
# of tests/e2e (the game in its default mode, the dialog writing KPX.cfg, the game again in the
# mode chosen there), the manual pages render without a warning, and the package is purged,
# leaving nothing behind but the player's own folder.
#
# Runs as root and changes the machine only while it runs: it refuses to start when a vantu
# package is installed, and purges its own on every way out it can catch. One run at a time on
# a machine (a lock in /run/lock).
#
# Environment: VANTU_SOURCE_DIR (the repository), VANTU_PACKAGE_BUILD (a build folder for this
# test alone), VANTU_VERSION (the project's version). Needs root (77 otherwise).
set -uo pipefail
: "${VANTU_SOURCE_DIR:?the repository}" "${VANTU_PACKAGE_BUILD:?a build folder}"
: "${VANTU_VERSION:?the project version}"
source "$VANTU_SOURCE_DIR/tests/e2e/xrig.sh"

[ "$(id -u)" -eq 0 ] || { echo "installing the package needs root; skipped" >&2; exit 77; }
for tool in cpack dpkg-deb dpkg-shlibdeps dpkg-buildflags lintian desktop-file-validate man \
    groff readelf setpriv flock; do
    command -v "$tool" >/dev/null || { echo "$tool missing (scripts/deps installs it)" >&2; exit 77; }
done
player=65534  # nobody

mkdir -p /run/lock
exec {lock}>/run/lock/vantu-package-test.lock
flock -w 300 "$lock" || rig_fail "another package test holds /run/lock/vantu-package-test.lock"
installed_status() { dpkg-query -W -f='${db:Status-Status}' "$1" 2>/dev/null; }
for name in vantu vantu-dbgsym; do
    status=$(installed_status "$name")
    [ -z "$status" ] || [ "$status" = not-installed ] ||
        rig_fail "a $name package is on this machine ($status): this test installs and purges" \
            "its own, so remove that one first (apt-get purge $name)"
done

# What the package may leave: compared before installing and after purging.
traces() {
    find /usr/games /usr/libexec /usr/share /usr/lib/debug /etc /var/lib/dpkg/info -xdev \
        \( -iname '*vantu*' -o -iname '*kpxconfig*' \) 2>/dev/null | sort
}
traces_before=$(traces)

installed=0
home=""
lintian_pid=""
cleanup() {
    [ -n "$lintian_pid" ] && kill "$lintian_pid" 2>/dev/null
    rig_stop
    if [ "$installed" = 1 ]; then
        rig_log "purging the package"
        DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=120 purge -y -q vantu \
            >/dev/null 2>&1 || rig_log "apt-get purge vantu failed: remove it by hand"
    fi
    [ -n "$home" ] && rm -rf "$home"
}
trap cleanup EXIT
trap 'exit 1' INT TERM HUP

# --- Build, with the same script and flags as a packager ---
build=$VANTU_PACKAGE_BUILD
start=$(date +%s)
"$VANTU_SOURCE_DIR/scripts/package" --no-deps --build "$build" --out "$build/out" \
    >"$build.log" 2>&1 || rig_fail "scripts/package failed: $(tail -30 "$build.log")"
arch=$(dpkg --print-architecture)
deb="$build/out/vantu_${VANTU_VERSION}_$arch.deb"
ddeb="$build/out/vantu-dbgsym_${VANTU_VERSION}_$arch.ddeb"
[ -f "$deb" ] && [ -f "$ddeb" ] || rig_fail "no $deb and $ddeb: $(ls "$build/out")"
rig_log "package built in $(($(date +%s) - start)) s"

# --- lintian: started now, read at the end (it takes a while and needs no display) ---
lintian --display-info --pedantic --display-experimental --fail-on none "$deb" "$ddeb" \
    >"$build.lintian" 2>&1 &
lintian_pid=$!

# --- Fields ---
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = vantu ] || rig_fail "Package: $(field Package)"
[ "$(field Version)" = "$VANTU_VERSION" ] || rig_fail "Version: $(field Version)"
[ "$(field Architecture)" = "$arch" ] || rig_fail "Architecture: $(field Architecture)"
[ "$(field Section)" = games ] || rig_fail "Section: $(field Section)"
depends=$(field Depends)
# What dpkg-shlibdeps finds in the two programs (versioned from the symbols files), and libgl1,
# which SDL loads only at run time.
names=$(sed -E 's/ \([^)]*\)//g; s/ *[|,] */\n/g' <<<"$depends")
for name in libc6 libsdl2-2.0-0 libglu1-mesa libopengl0 libxrandr2 libx11-6 libwxgtk3.2-1 \
    libgtk-3-0 libstdc++6 libgl1; do
    grep -qxF "$name" <<<"$names" || rig_fail "Depends lacks $name: $depends"
done
grep -Eq 'libc6 \(>= [0-9.]+\)' <<<"$depends" || rig_fail "Depends not from dpkg-shlibdeps"
grep -q xfonts-base <<<"$(field Recommends)" || rig_fail "Recommends: $(field Recommends)"

# --- Files: exactly these, with these modes, owned by root ---
expected=$(
    printf '%s\n' usr/games/vantu usr/games/kpxconfig usr/libexec/vantu/Vantu \
        usr/libexec/vantu/KPXConfig usr/share/applications/org.vantu.Vantu.desktop \
        usr/share/applications/org.vantu.KPXConfig.desktop \
        usr/share/metainfo/org.vantu.Vantu.metainfo.xml \
        usr/share/icons/hicolor/16x16/apps/vantu.png usr/share/icons/hicolor/32x32/apps/vantu.png \
        usr/share/man/man6/vantu.6.gz usr/share/man/man6/kpxconfig.6.gz \
        usr/share/doc/vantu/README.md usr/share/doc/vantu/copyright usr/share/doc/vantu/changelog.gz
    for f in "$VANTU_SOURCE_DIR"/data/*.bmp; do echo "usr/share/games/vantu/data/${f##*/}"; done
    for f in "$VANTU_SOURCE_DIR"/docs/*.png "$VANTU_SOURCE_DIR"/docs/*.md; do
        [ -e "$f" ] && echo "usr/share/doc/vantu/docs/${f##*/}"
    done
)
listing=$(dpkg-deb -c "$deb")
actual=$(awk '$1 !~ /^d/ { sub(/^\.\//, "", $6); print $6 }' <<<"$listing" | sort)
diff <(sort <<<"$expected") <(echo "$actual") >"$build.files.diff" ||
    rig_fail "package files differ from the expected list: $(cat "$build.files.diff")"
awk '$2 != "root/root" { bad = bad " " $6 }
     $1 !~ /^d/ && $6 ~ /^\.\/usr\/(games|libexec)\// && $1 != "-rwxr-xr-x" { bad = bad " " $6 }
     $1 !~ /^d/ && $6 !~ /^\.\/usr\/(games|libexec)\// && $1 != "-rw-r--r--" { bad = bad " " $6 }
     END { if (bad != "") { print "wrong owner or mode:" bad; exit 1 } }' <<<"$listing" ||
    rig_fail "$(awk '{ print $1, $2, $6 }' <<<"$listing")"
rig_log "package fields and $(wc -l <<<"$actual") files as expected"

# --- Installed for real; apt may add nothing else (every dependency is already here) ---
plan=$(apt-get -s -q install "$deb" 2>&1) || rig_fail "apt-get cannot install it: $plan"
others=$(awk '$1 == "Inst" && $2 != "vantu" { print $2 }' <<<"$plan")
[ -z "$others" ] || rig_fail "apt-get would also install $(echo $others) (scripts/deps installs them)"
installed=1
DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=120 install -y -q "$deb" \
    >"$build.apt.log" 2>&1 || rig_fail "apt-get install failed: $(tail -20 "$build.apt.log")"
[ "$(installed_status vantu)" = installed ] || rig_fail "vantu not installed after apt-get"
rig_log "installed with apt-get in $(($(date +%s) - start)) s from the start"

# The programs are stripped, and the symbols package holds their symbols (same build ids).
build_ids=$(dpkg-deb -f "$ddeb" Build-Ids | tr ' ' '\n' | sort)
for program in /usr/libexec/vantu/Vantu /usr/libexec/vantu/KPXConfig; do
    readelf -S "$program" | grep -q '\.symtab' && rig_fail "$program is not stripped"
    id=$(readelf -n "$program" | awk '/Build ID/ { print $3 }')
    grep -qxF "$id" <<<"$build_ids" || rig_fail "$program: build id $id not in vantu-dbgsym"
done

# The manual pages: found by name, rendered by man and groff without a warning.
for page in vantu kpxconfig; do
    [ "$(man -w 6 "$page")" = "/usr/share/man/man6/$page.6.gz" ] ||
        rig_fail "man -w 6 $page: $(man -w 6 "$page" 2>&1)"
    text=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "/usr/share/man/man6/$page.6.gz" 2>&1 >/dev/null)
    [ -z "$text" ] || rig_fail "man -l $page: $text"
    text=$(zcat "/usr/share/man/man6/$page.6.gz" | groff -ww -man -Tutf8 -z 2>&1)
    [ -z "$text" ] || rig_fail "groff -ww $page: $text"
    rendered=$(LC_ALL=C.UTF-8 MANWIDTH=80 man -l "/usr/share/man/man6/$page.6.gz" 2>/dev/null)
    for section in NAME SYNOPSIS DESCRIPTION FILES ENVIRONMENT "EXIT STATUS"; do
        grep -qx "$section" <<<"$rendered" || rig_fail "$page(6) has no $section"
    done
    grep -q /usr/share/games/vantu/data <<<"$rendered" || rig_fail "$page(6) names no pictures"
done

desktop-file-validate /usr/share/applications/org.vantu.*.desktop || rig_fail "desktop entries"
for entry in /usr/share/applications/org.vantu.*.desktop; do
    exec_path=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$entry")
    case "$exec_path" in
        /usr/games/*) [ -x "$exec_path" ] || rig_fail "${entry##*/} runs $exec_path, not there" ;;
        *) rig_fail "${entry##*/} runs $exec_path, not a command in /usr/games" ;;
    esac
done

# --- Both commands as an unprivileged player, from the PATH, on the rig ---
rig_start
trap cleanup EXIT
rig_set_mode 1024 768 60
home=$(mktemp -d /tmp/vantu-package-home.XXXXXX)
chown "$player:$player" "$home"
workdir=$home/.local/share/vantu
as_player() {
    setpriv --reuid="$player" --regid="$player" --clear-groups -- env -i HOME="$home" \
        DISPLAY="$DISPLAY" PATH=/usr/local/bin:/usr/bin:/bin:/usr/games NO_AT_BRIDGE=1 \
        GDK_BACKEND=x11 "$@"
}

# Runs the installed game; it must open in MODE, and Escape must end it with status 0 and give
# the desktop back.
game_opens_in() {
    as_player vantu >"$build.game.log" 2>&1 &
    local pid=$! status=0
    rig_wait 15 rig_mode_is "$1" ||
        rig_fail "display in $(rig_mode), expected $1: $(cat "$build.game.log")"
    rig_wait 10 sh -c "xdotool search --onlyvisible --name '^Vantu\$'" || rig_fail "no Vantu window"
    rig_log "the installed game opened in $1"
    xdotool key Escape
    rig_wait 10 sh -c "! kill -0 $pid" || { kill -9 "$pid"; rig_fail "the game did not end"; }
    wait "$pid" || status=$?
    [ "$status" -eq 0 ] || rig_fail "the game ended with status $status: $(cat "$build.game.log")"
    rig_wait 5 rig_mode_is 1024x768@60 || rig_fail "desktop left in $(rig_mode)"
}

# A fresh player: the working folder is made, with the link to the installed pictures.
game_opens_in 1024x768@75
[ -L "$workdir/data" ] || rig_fail "no data link in $workdir"
[ "$(readlink "$workdir/data")" = /usr/share/games/vantu/data ] ||
    rig_fail "data link points to $(readlink "$workdir/data")"
[ "$(stat -c %u "$workdir")" = "$player" ] || rig_fail "$workdir not the player's"
[ ! -e "$workdir/KPX.cfg" ] || rig_fail "the game wrote KPX.cfg"

# The installed dialog: "800x600", "85", then OK (rectangles x,y,w,h in dialog units of the
# dialog's template; 4 x 8 units are 7 x 13 pixels).
as_player kpxconfig >"$build.dialog.log" 2>&1 &
dialog=$!
win=""
for _ in $(seq 200); do
    win=$(xdotool search --onlyvisible --name '^KPXConfig$' 2>/dev/null | head -1)
    [ -n "$win" ] && [ "$(xdotool getactivewindow 2>/dev/null)" = "$win" ] && break
    kill -0 "$dialog" 2>/dev/null || break
    sleep 0.05
done
[ -n "$win" ] || rig_fail "no KPXConfig window: $(cat "$build.dialog.log")"
origin=$(xwininfo -id "$win" |
    awk '/Absolute upper-left X/ { x = $4 } /Absolute upper-left Y/ { y = $4 } END { print x, y }')
for rect in 15,32,62,15 146,83,36,13 50,180,50,14; do
    IFS=, read -r x y w h <<<"$rect"
    xdotool mousemove --sync $((${origin% *} + (x * 7 + 2) / 4 + (w * 7 + 2) / 4 / 2)) \
        $((${origin#* } + (y * 13 + 4) / 8 + (h * 13 + 4) / 8 / 2)) click 1
    sleep 0.1
done
rig_wait 10 sh -c "! kill -0 $dialog" || { kill "$dialog"; rig_fail "KPXConfig did not close at OK"; }
wait "$dialog" || rig_fail "KPXConfig ended with status $?"
written=$(od -An -tx1 -v "$workdir/KPX.cfg" 2>/dev/null | tr -s ' \n' ' ' | sed 's/^ //; s/ $//')
[ "$written" = "01 01 00 00 00 01 00 00 00 04 00 00 00" ] ||
    rig_fail "KPX.cfg in $workdir: '$written'"
[ "$(stat -c %u "$workdir/KPX.cfg")" = "$player" ] || rig_fail "KPX.cfg not the player's"
rig_log "the installed dialog wrote $workdir/KPX.cfg: $written"

# The game reads what the dialog wrote.
game_opens_in 800x600@85
rig_stop

# --- lintian: no error, no warning; the other tags go to the log ---
wait "$lintian_pid" || rig_fail "lintian did not run: $(cat "$build.lintian")"
lintian_pid=""
grep -E '^[IPX]: ' "$build.lintian" | sed 's/^/lintian: /' >&2
if grep -Eq '^[EW]: ' "$build.lintian"; then
    rig_fail "lintian: $(grep -E '^[EW]: ' "$build.lintian")"
fi
# An override needs its reason on the line above it.
overrides=$(dpkg-deb --fsys-tarfile "$deb" | tar -xOf - ./usr/share/lintian/overrides/vantu \
    2>/dev/null)
if [ -n "$overrides" ]; then
    awk '/^#/ { reason = 1; next } NF && !reason { bad = 1; print "no reason: " $0 }
         { reason = 0 } END { exit bad }' <<<"$overrides" >&2 || rig_fail "overrides without reason"
fi
rig_log "lintian: no error, no warning ($(grep -c '^[IPX]: ' "$build.lintian") other tags)"

# --- Purged: nothing left but the player's own folder ---
DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=120 purge -y -q vantu \
    >>"$build.apt.log" 2>&1 || rig_fail "apt-get purge failed: $(tail -20 "$build.apt.log")"
installed=0
status=$(installed_status vantu)
[ -z "$status" ] || [ "$status" = not-installed ] || rig_fail "vantu still known to dpkg: $status"
traces_after=$(traces)
[ "$traces_after" = "$traces_before" ] ||
    rig_fail "left behind after the purge: $(diff <(echo "$traces_before") <(echo "$traces_after"))"
[ -f "$workdir/KPX.cfg" ] && [ -L "$workdir/data" ] || rig_fail "the player's folder went with it"
rig_log "purged; the player's folder stays. Package test passed in $(($(date +%s) - start)) s"
