#!/usr/bin/env bash
# Runs a 64-bit Windows program in the project's 64-bit Wine prefix; CTest uses it to run the
# 64-bit build's tests:  wine64.sh program.exe [arguments...]
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
export WINEPREFIX="$TOLVANE_WINEPREFIX64" WINEARCH=win64
# The 64-bit tests have a desktop of their own when the test run made one.
if [ -n "${TOLVANE_DISPLAY64:-}" ]; then export DISPLAY="$TOLVANE_DISPLAY64"; fi
exec wine "$@"
