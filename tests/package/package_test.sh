#!/usr/bin/env bash
# The Debian package, end to end: a Release build of its own, cpack, the package's metadata and
# files, then the package unpacked into a scratch root and its launchers run on the Xorg dummy
# rig of tests/e2e with HOME in a fresh folder: the game in its default mode, the dialog writing
# KPX.cfg, the game again in the mode chosen there.
#
# Environment: VANTU_SOURCE_DIR (the repository), VANTU_PACKAGE_BUILD (a build folder for this
# test alone), VANTU_VERSION (the project's version). Needs root for the rig (77 otherwise).
set -uo pipefail
: "${VANTU_SOURCE_DIR:?the repository}" "${VANTU_PACKAGE_BUILD:?a build folder}"
: "${VANTU_VERSION:?the project version}"
source "$VANTU_SOURCE_DIR/tests/e2e/xrig.sh"

[ "$(id -u)" -eq 0 ] || { echo "the Xorg dummy rig needs root; skipped" >&2; exit 77; }
for tool in cpack dpkg-deb dpkg-shlibdeps desktop-file-validate; do
    command -v "$tool" >/dev/null || { echo "$tool missing (scripts/deps installs it)" >&2; exit 77; }
done

# Release, no sanitizers, no tests; only what the package holds is built.
build=$VANTU_PACKAGE_BUILD
start=$(date +%s)
cmake -S "$VANTU_SOURCE_DIR" -B "$build" -DCMAKE_BUILD_TYPE=Release -DVANTU_SANITIZE=OFF \
    -DVANTU_BUILD_TESTS=OFF -DVANTU_BUILD_BENCH=OFF -DVANTU_BUILD_CONFIG_TOOL=ON \
    -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON >"$build.configure.log" 2>&1 ||
    rig_fail "configure failed: $(tail -20 "$build.configure.log")"
cmake --build "$build" -j2 --target Vantu KPXConfig >"$build.build.log" 2>&1 ||
    rig_fail "build failed: $(tail -30 "$build.build.log")"
rm -rf "$build/package"
(cd "$build" && cpack -G DEB -B "$build/package") >"$build.cpack.log" 2>&1 ||
    rig_fail "cpack failed: $(tail -20 "$build.cpack.log")"
arch=$(dpkg --print-architecture)
deb="$build/package/vantu_${VANTU_VERSION}_$arch.deb"
[ -f "$deb" ] || rig_fail "no $deb: $(ls "$build/package")"
rig_log "package built in $(($(date +%s) - start)) s: $deb"

# --- Metadata ---
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = vantu ] || rig_fail "Package: $(field Package)"
[ "$(field Version)" = "$VANTU_VERSION" ] || rig_fail "Version: $(field Version)"
[ "$(field Architecture)" = "$arch" ] || rig_fail "Architecture: $(field Architecture)"
[ "$(field Section)" = games ] || rig_fail "Section: $(field Section)"
depends=$(field Depends)
rig_log "Depends: $depends"
# What dpkg-shlibdeps finds in the two programs (versioned from the symbols files), and libgl1,
# which SDL loads only at run time.
names=$(sed -E 's/ \([^)]*\)//g; s/ *[|,] */\n/g' <<<"$depends")
for name in libc6 libsdl2-2.0-0 libglu1-mesa libopengl0 libxrandr2 libx11-6 libwxgtk3.2-1 \
    libgtk-3-0 libstdc++6 libgl1; do
    grep -qxF "$name" <<<"$names" || rig_fail "Depends lacks $name"
done
grep -Eq 'libc6 \(>= [0-9.]+\)' <<<"$depends" || rig_fail "Depends not from dpkg-shlibdeps"
# Every dependency is a real package that this machine has, in a version that satisfies it.
IFS=, read -ra groups <<<"$depends"
for group in "${groups[@]}"; do
    satisfied=0
    IFS='|' read -ra alternatives <<<"$group"
    for alternative in "${alternatives[@]}"; do
        read -r name op version <<<"$(sed -E 's/[()]//g' <<<"$alternative")"
        have=$(dpkg-query -W -f='${Version}' "$name" 2>/dev/null) || continue
        [ -n "$have" ] || continue
        case "$op" in
            '') satisfied=1 ;;
            '>=') dpkg --compare-versions "$have" ge "$version" && satisfied=1 ;;
            '=') dpkg --compare-versions "$have" eq "$version" && satisfied=1 ;;
            *) rig_fail "unexpected relation in '$alternative'" ;;
        esac
    done
    [ "$satisfied" = 1 ] || rig_fail "dependency '$group' not installed here"
done
grep -q xfonts-base <<<"$(field Recommends)" || rig_fail "Recommends: $(field Recommends)"

# --- Files: exactly these, with these modes, owned by root ---
expected=$(
    printf '%s\n' usr/bin/vantu usr/bin/kpxconfig usr/libexec/vantu/Vantu \
        usr/libexec/vantu/KPXConfig usr/share/applications/org.vantu.Vantu.desktop \
        usr/share/applications/org.vantu.KPXConfig.desktop \
        usr/share/metainfo/org.vantu.Vantu.metainfo.xml \
        usr/share/icons/hicolor/16x16/apps/vantu.png usr/share/icons/hicolor/32x32/apps/vantu.png \
        usr/share/doc/vantu/README.md
    for f in "$VANTU_SOURCE_DIR"/data/*.bmp; do echo "usr/share/vantu/data/${f##*/}"; done
    for f in "$VANTU_SOURCE_DIR"/docs/*.png "$VANTU_SOURCE_DIR"/docs/*.md; do
        [ -e "$f" ] && echo "usr/share/doc/vantu/docs/${f##*/}"
    done
)
listing=$(dpkg-deb -c "$deb")
actual=$(awk '$1 !~ /^d/ { sub(/^\.\//, "", $6); print $6 }' <<<"$listing" | sort)
diff <(sort <<<"$expected") <(echo "$actual") >"$build.files.diff" ||
    rig_fail "package files differ from the expected list: $(cat "$build.files.diff")"
awk '$2 != "root/root" { bad = bad " " $6 }
     $1 !~ /^d/ && $6 ~ /\/(bin|libexec)\// && $1 != "-rwxr-xr-x" { bad = bad " " $6 }
     $1 !~ /^d/ && $6 !~ /\/(bin|libexec)\// && $1 != "-rw-r--r--" { bad = bad " " $6 }
     END { if (bad != "") { print "wrong owner or mode:" bad; exit 1 } }' <<<"$listing" ||
    rig_fail "$(awk '{ print $1, $2, $6 }' <<<"$listing")"
rig_log "package metadata and $(wc -l <<<"$actual") files as expected"

# --- Unpacked into a scratch root inside the rig's folder (removed with the rig) ---
rig_start
rig_set_mode 1024 768 60
scratch=$(mktemp -d "$RIG_DIR/package.XXXXXX")
root=$scratch/root
dpkg -x "$deb" "$root" || rig_fail "dpkg -x failed"
desktop-file-validate "$root"/usr/share/applications/*.desktop || rig_fail "desktop entries"
for entry in "$root"/usr/share/applications/*.desktop; do
    exec_name=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$entry")
    [ -x "$root/usr/bin/$exec_name" ] || rig_fail "${entry##*/} runs $exec_name, not installed"
done

export HOME=$scratch/home
mkdir -p "$HOME/bin"
unset XDG_DATA_HOME XDG_CONFIG_HOME XDG_RUNTIME_DIR
export NO_AT_BRIDGE=1 GDK_BACKEND=x11
# The dialog through a link of its own elsewhere: the launcher still finds its tree.
ln -s "$root/usr/bin/kpxconfig" "$HOME/bin/kpxconfig"
workdir=$HOME/.local/share/vantu

# Runs the installed game; it must open in MODE, and Escape must end it with status 0 and give
# the desktop back.
game_opens_in() {
    "$root/usr/bin/vantu" >"$scratch/game.log" 2>&1 &
    local pid=$! status=0
    rig_wait 15 rig_mode_is "$1" ||
        rig_fail "display in $(rig_mode), expected $1: $(cat "$scratch/game.log")"
    rig_wait 10 sh -c "xdotool search --onlyvisible --name '^Vantu\$'" || rig_fail "no Vantu window"
    rig_log "the installed game opened in $1"
    xdotool key Escape
    rig_wait 10 sh -c "! kill -0 $pid" || { kill -9 "$pid"; rig_fail "the game did not end"; }
    wait "$pid" || status=$?
    [ "$status" -eq 0 ] || rig_fail "the game ended with status $status: $(cat "$scratch/game.log")"
    rig_wait 5 rig_mode_is 1024x768@60 || rig_fail "desktop left in $(rig_mode)"
}

# A fresh player: the working folder is made, with the link to the installed pictures.
game_opens_in 1024x768@75
[ -L "$workdir/data" ] || rig_fail "no data link in $workdir"
[ "$(readlink -f "$workdir/data")" = "$(readlink -f "$root/usr/share/vantu/data")" ] ||
    rig_fail "data link points to $(readlink "$workdir/data")"
[ ! -e "$workdir/KPX.cfg" ] || rig_fail "the game wrote KPX.cfg"

# The installed dialog: "800x600", "85", then OK (rectangles x,y,w,h in dialog units of the
# dialog's template; 4 x 8 units are 7 x 13 pixels).
"$HOME/bin/kpxconfig" >"$scratch/dialog.log" 2>&1 &
dialog=$!
win=""
for _ in $(seq 200); do
    win=$(xdotool search --onlyvisible --name '^KPXConfig$' 2>/dev/null | head -1)
    [ -n "$win" ] && [ "$(xdotool getactivewindow 2>/dev/null)" = "$win" ] && break
    kill -0 "$dialog" 2>/dev/null || break
    sleep 0.05
done
[ -n "$win" ] || rig_fail "no KPXConfig window: $(cat "$scratch/dialog.log")"
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
rig_log "the installed dialog wrote $workdir/KPX.cfg: $written"

# The game reads what the dialog wrote.
game_opens_in 800x600@85
rig_log "package test passed in $(($(date +%s) - start)) s"
