#!/usr/bin/env bash
# Makes the Windows zip and installer from a built Windows tree (cross build of this source):
#   dist/windows/pack.sh BUILD_DIR OUT_DIR
# writes OUT_DIR/vantu-VERSION-win64.zip and OUT_DIR/vantu-VERSION-setup.exe. Both hold the
# folder that cmake/PackagingWindows.cmake installs, stripped. "scripts/package windows" builds
# the tree and runs this; the installer test runs it on the test build.
set -euo pipefail
[ $# = 2 ] || { echo "usage: $0 BUILD_DIR OUT_DIR" >&2; exit 2; }
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "$1" && pwd)
mkdir -p "$2"
out=$(cd "$2" && pwd)
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
name=vantu-$version

tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
cmake --install "$build" --prefix "$tree/$name" --strip >/dev/null

rm -f "$out/$name-win64.zip"
(cd "$tree" && cmake -E tar cf "$out/$name-win64.zip" --format=zip "$name")

# The uninstaller removes exactly these: every file and folder installed, contents first.
(cd "$tree/$name" && find . -mindepth 1 -depth | sed 's|^\./||') | while read -r path; do
  if [ -d "$tree/$name/$path" ]; then kind=RMDir; else kind=Delete; fi
  echo "$kind \"\$INSTDIR\\${path//\//\\}\""
done >"$tree/files.nsh"
makensis -V2 -DVERSION="$version" -DSTAGE="$tree/$name" -DFILES="$tree/files.nsh" \
  -DICON="$source_dir/config_tool/icon/kpxconfig.ico" -DOUTFILE="$out/$name-setup.exe" \
  "$source_dir/dist/windows/vantu.nsi"
echo "dist/windows/pack.sh: $out/$name-win64.zip $out/$name-setup.exe"
