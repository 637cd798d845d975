#!/usr/bin/env bash
# Vantu.exe (VANTU_WINDOWS_GAME) under Wine, as the end-to-end scripts of tests/e2e run the Linux
# game (their VANTU): in the current folder, with the game's exit status.
#
# Under faketime (the seed fixed by the clock) the clock also runs at a hundredth of its speed:
# Wine can take more than a second to reach the game's first reading of the time, which must
# still be the start second. File times stay true: Wine compares them to see whether the prefix
# needs updating.
if [ -n "${FAKETIME:-}" ]; then
    export FAKETIME="$FAKETIME x0.01" NO_FAKE_STAT=1
fi
exec "$(dirname "${BASH_SOURCE[0]}")/wine.sh" "${VANTU_WINDOWS_GAME:?the Vantu.exe}"
