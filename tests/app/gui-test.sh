#!/usr/bin/env bash
# Runs a GUI test command under an X display (the caller's DISPLAY, or a
# private Xvfb when there is none) on a Wine desktop of its own for that
# display (TAVENRO_TEST_DESKTOP, see on_desktop.cpp), with the browser
# recorder first on PATH, so that the shell's "open" is recorded into
# $TAVENRO_BROWSER_LOG instead of starting a browser.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
export PATH="$here/browser:$PATH"
if [ -z "${TAVENRO_BROWSER_LOG:-}" ]; then
    TAVENRO_BROWSER_LOG="$(mktemp)"
    export TAVENRO_BROWSER_LOG
fi
if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi
# One desktop per display: its desktop process draws on that display.
export TAVENRO_TEST_DESKTOP="TavenroTests${DISPLAY//[^0-9A-Za-z]/_}"
exec "$@"
