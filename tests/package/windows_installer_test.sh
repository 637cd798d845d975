#!/usr/bin/env bash
# The Windows zip and installer, made from a Windows build by dist/windows/pack.sh, under Wine
# on the Xorg dummy rig (run through tests/windows/on_rig.sh):
#   windows_installer_test.sh WINDOWS_BUILD_DIR
# The zip's folder; a silent install for this user; the "Apps and features" entry; both
# Start-menu shortcuts started as Windows starts them, each program in the install folder; a
# silent uninstall that leaves only KPX.cfg. VANTU_WINE runs a Windows program in the run's
# prefix (tests/windows/wine.sh); without it, wine itself with the caller's WINEPREFIX.
set -uo pipefail

build=$(realpath "$1")
here=$(dirname "$(realpath "$0")")
runner=${VANTU_WINE:-wine}
wine_out() { "$runner" "$@" 2>/dev/null | tr -d '\r'; }

# The helpers of the dialog tests, with the "Vantu Settings" shortcut as the program.
set -- "$runner" start /unix "shortcut.lnk"
launcher=""
source "$here/../gui/config_program_lib.sh"
source "$here/../support/rig_common.sh"  # rig_wait
scratch=$work

"$here/../../dist/windows/pack.sh" "$build" "$scratch/out" >"$scratch/pack.log" 2>&1 ||
  { cat "$scratch/pack.log"; fail "pack.sh"; finish; exit; }
zip=$(ls "$scratch"/out/vantu-*-win64.zip)
setup=$(ls "$scratch"/out/vantu-*-setup.exe)
name=$(basename "$zip" -win64.zip)

# The zip: one folder with the programs (the guardian too), the pictures and the texts, with
# Windows line ends.
mkdir "$scratch/zip"
(cd "$scratch/zip" && cmake -E tar xf "$zip")
folder="$scratch/zip/$name"
missing=""
for f in Vantu.exe VantuGuard.exe KPXConfig.exe README.txt LICENSE.txt \
         $(cd "$here/../../data" && ls -- *.bmp | sed 's|^|data/|'); do
  [ -f "$folder/$f" ] || missing="$missing $f"
done
[ -z "$missing" ] && [ "$(ls "$scratch/zip")" = "$name" ] && ok "zip: $name/ with everything" \
  || fail "zip: missing$missing; top level: $(ls "$scratch/zip" | tr '\n' ' ')"
head -1 "$folder/README.txt" | grep -q $'\r$' && ok "zip: README.txt has CRLF line ends" \
  || fail "zip: README.txt has Unix line ends"

# Where this user's programs and Start menu are, in the prefix.
unix_path() { wine_out winepath -u "$(wine_out cmd /c echo "$1")"; }
instdir="$(unix_path '%LOCALAPPDATA%')/Programs/Vantu"
menu="$(unix_path '%APPDATA%')/Microsoft/Windows/Start Menu/Programs"
key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Vantu'
rm -rf "$instdir" "$menu/Vantu.lnk" "$menu/Vantu Settings.lnk"  # a run by hand before
wine_out reg delete "$key" /f >/dev/null

"$runner" "$setup" /S && ok "silent install" || fail "silent install: status $?"
diff -r --exclude=uninstall.exe "$folder" "$instdir" >/dev/null && [ -f "$instdir/uninstall.exe" ] \
  && ok "installed: the zip's folder and the uninstaller" || fail "installed: $(ls "$instdir" | tr '\n' ' ')"
entry=$(wine_out reg query "$key")
for value in "DisplayName    REG_SZ    Vantu" "DisplayVersion    REG_SZ    ${name#vantu-}" \
             "UninstallString    REG_SZ    \"$(wine_out winepath -w "$instdir")\\uninstall.exe\""; do
  grep -qF "$value" <<<"$entry" && ok "Apps and features: $value" || fail "Apps and features: no $value in: $entry"
done

# Both Start-menu shortcuts started as Windows starts a shortcut, from elsewhere, with the
# shortcut's working folder. The program is not the launcher's child: it is waited for by the
# process ID its window gives.
start_shortcut() {  # shortcut, window name
  cp "$menu/$1.lnk" "$scratch/shortcut.lnk"
  start "$2" || return 1
  launcher=$pid
  pid=$(xdotool getwindowpid "$win")
}
# The key is held for a tenth of a second, as a player's press is: the game looks at its keys
# once a frame.
end_program() {  # what, key
  xdotool keydown "$2" sleep 0.1 keyup "$2"
  if ! rig_wait 10 sh -c "! kill -0 $pid"; then
    fail "$1: still running after $2"
    kill "$pid"
  else
    ok "$1: ended by $2"
  fi
  pid=""
  wait "$launcher"
}

# The settings dialog's OK writes KPX.cfg into the install folder.
if start_shortcut "Vantu Settings" KPXConfig; then
  end_program "Vantu Settings" Return
  cd "$instdir" && expect_file "Vantu Settings shortcut" "$DEFAULTS"; cd "$scratch" || exit 1
fi
# The game reads KPX.cfg there (800x600 at 60 Hz: the display switches to it) and finds data\
# there (without a picture it would end at once with a box).
screen_size() { xrandr | awk '/\*/ { print $1; exit }'; }
printf '\001\001\000\000\000\001\000\000\000\000\000\000\000' >"$instdir/KPX.cfg"
if start_shortcut Vantu Vantu; then
  rig_wait 5 sh -c "xrandr | grep -q '^ *800x600 .*\*'"
  sleep 0.5
  boxes=$(xwininfo -root -tree | grep -c '"SHUTDOWN ERROR"\|"Error"')
  [ "$(screen_size)" = 800x600 ] && kill -0 "$pid" 2>/dev/null && [ "$boxes" = 0 ] \
    && ok "Vantu shortcut: the game runs in 800x600, no box" \
    || fail "Vantu shortcut: the display is in $(screen_size), $boxes boxes, the game $(kill -0 "$pid" 2>/dev/null && echo runs || echo ended)"
  end_program "Vantu shortcut" Escape
  [ "$(screen_size)" = 1024x768 ] && ok "Vantu shortcut: the desktop's mode is back" \
    || fail "Vantu shortcut: the display is left in $(screen_size)"
fi

# The uninstaller starts a copy of itself from the temporary folder and returns at once; the
# copy removes the entry and the shortcuts first, the folder's files last.
printf '\001\000\000\000\000\000\000\000\000\007\000\000\000' >"$instdir/KPX.cfg"
"$runner" "$instdir/uninstall.exe" /S && ok "silent uninstall" || fail "silent uninstall: status $?"
rig_wait 30 sh -c 'test "$(ls -A "$1")" = KPX.cfg' _ "$instdir" && ok "uninstalled: only KPX.cfg is left" \
  || fail "uninstalled: the install folder holds $(ls -A "$instdir" | tr '\n' ' ')"
cd "$instdir" && expect_file "uninstalled" "$COMPATIBILITY"; cd "$scratch" || exit 1
[ ! -e "$menu/Vantu.lnk" ] && [ ! -e "$menu/Vantu Settings.lnk" ] && ok "uninstalled: no shortcuts" \
  || fail "uninstalled: shortcuts left"
! wine_out reg query "$key" >/dev/null && ok "uninstalled: no Apps and features entry" \
  || fail "uninstalled: the Apps and features entry is left"

finish
