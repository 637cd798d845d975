#!/usr/bin/env bash
# on_rig.sh COMMAND...: runs COMMAND on a private Xorg dummy server with openbox
# (tests/e2e/xrig.sh), the display the Windows game's end-to-end tests use too; the command's
# exit status is the script's.
set -uo pipefail
source "$(dirname "$0")/../e2e/xrig.sh"
rig_start
"$@"
