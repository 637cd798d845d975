#!/usr/bin/env bash
# check_tidy.sh BUILD_DIR: runs clang-tidy with the root .clang-tidy over the programs' own
# sources (the game, the settings record, the dialog and the tools), with the compile commands
# of BUILD_DIR; fails on any finding.
set -euo pipefail
build=$(cd "${1:?build directory}" && pwd)
cd "$(dirname "$0")/.."
[ -f "$build/compile_commands.json" ] || { echo "no $build/compile_commands.json" >&2; exit 1; }
files=$(git ls-files 'settings/*.cpp' 'game/*.cpp' 'config_tool/*.cpp' 'tools/*.cpp' 2>/dev/null ||
        find settings game config_tool tools -name '*.cpp')
# Only files this build compiles (the dialog is optional).
checked=()
for f in $files; do
    grep -q "\"file\": \"$PWD/$f\"" "$build/compile_commands.json" && checked+=("$f")
done
echo "clang-tidy over ${#checked[@]} files"
printf '%s\n' "${checked[@]}" |
    xargs -P "${TIDY_JOBS:-2}" -n 4 clang-tidy -p "$build" --quiet --warnings-as-errors='*'
