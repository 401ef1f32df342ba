#!/usr/bin/env bash
# Sets everything up and runs every test under Wine: builds, starts Xvfb when no display is
# set, creates a fresh Wine prefix of the project's own, and runs CTest. Arguments go to CTest.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
tolvane_cleanup_on_exit

bash "$TOLVANE_ROOT/scripts/build.sh"
tolvane_ensure_display

export WINEPREFIX="$BUILD_DIR/wineprefix-test"
wineserver -k >/dev/null 2>&1 || true
rm -rf "$WINEPREFIX"
tolvane_ensure_prefix
tolvane_start_wineserver

cd "$BUILD_DIR"
ctest --output-on-failure --timeout 600 "$@"
