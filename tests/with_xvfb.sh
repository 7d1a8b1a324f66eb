#!/usr/bin/env bash
# Runs a command inside a private Xvfb server (24-bit, with GLX) and returns
# the command's exit status.
set -u
exec xvfb-run -a -s "-screen 0 1280x1024x24 +extension GLX +render -noreset" "$@"
