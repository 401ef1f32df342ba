#!/usr/bin/env bash
# Sets everything up and runs every test under Wine: builds (both architectures and the
# packages), starts Xvfb when no display is set, creates fresh Wine prefixes of the project's
# own (32-bit, and 64-bit for the 64-bit build's tests), and runs CTest. Arguments go to CTest.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
tolvane_cleanup_on_exit

started=$(date +%s)
bash "$TOLVANE_ROOT/scripts/build.sh"
tolvane_ensure_display

export WINEPREFIX="$BUILD_DIR/wineprefix-test"
export TOLVANE_WINEPREFIX64="$BUILD_DIR/wineprefix-test64"
# Both prefixes at once: the first run of a build folder makes each in a good part of a minute.
prefix64_job=""
if [ -f "$BUILD_DIR/x64/CTestTestfile.cmake" ]; then
  tolvane_fresh_prefix "$TOLVANE_WINEPREFIX64" win64 &
  prefix64_job=$!
fi
tolvane_fresh_prefix
tolvane_start_wineserver
if [ -n "$prefix64_job" ]; then
  wait "$prefix64_job"
  # The 64-bit suites run beside the 32-bit ones, on a desktop of their own: windows of one never
  # take the focus from the other.
  tolvane_start_xvfb
  export TOLVANE_DISPLAY64="$TOLVANE_STARTED_DISPLAY"
  DISPLAY="$TOLVANE_DISPLAY64" tolvane_start_wineserver "$TOLVANE_WINEPREFIX64" win64
fi

cd "$BUILD_DIR"
tests_started=$(date +%s)
status=0
ctest --output-on-failure --timeout 1500 --parallel "$(nproc)" "$@" || status=$?
now=$(date +%s)
tolvane_log "tests took $((now - tests_started)) s; build and tests $((now - started)) s"
exit $status
