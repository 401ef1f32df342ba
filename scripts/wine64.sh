#!/usr/bin/env bash
# Runs a 64-bit Windows program in the project's 64-bit Wine prefix; CTest uses it to run the
# 64-bit build's tests:  wine64.sh program.exe [arguments...]
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
export WINEPREFIX="$TOLVANE_WINEPREFIX64" WINEARCH=win64
exec wine "$@"
