#!/usr/bin/env bash
# Runs a command on the Xorg dummy rig of tests/e2e (with openbox, the desktop at 1024x768 and
# 60 Hz) and stops the rig afterwards, as x_session.sh --wm does with Xvfb. The Windows tests use
# it: Wine keeps the display modes it saw in its prefix, so every program of a test run that
# shows windows meets the same kind of server. Needs root (status 77 without).
#   xrig_session.sh command [args...]
source "$(dirname "$0")/../e2e/xrig.sh"
rig_start
rig_set_mode 1024 768 60
"$@"
