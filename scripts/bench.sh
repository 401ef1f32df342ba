#!/usr/bin/env bash
# Builds and runs a benchmark under Wine. Without arguments it prints the whole table of
# figures a user meets (speed_bench), each beside the archiver's time for the same work:
#   ./scripts/bench.sh
#   ./scripts/bench.sh NAME [arguments...]     (NAME is the file name in bench/ without .cpp)
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
tolvane_cleanup_on_exit

name="speed_bench"
if [ $# -ge 1 ] && [[ "$1" != --* ]]; then
  name="$1"
  shift
fi
bash "$TOLVANE_ROOT/scripts/build.sh" "$name" tolvane
tolvane_ensure_display
tolvane_ensure_prefix
tolvane_start_wineserver
wine "$BUILD_DIR/bin/$name.exe" "$@"
