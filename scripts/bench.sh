#!/usr/bin/env bash
# Builds and runs one benchmark under Wine: ./scripts/bench.sh NAME [arguments...]
# (NAME is the file name in bench/ without .cpp, e.g. engine_bench). Figures go to standard output.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
tolvane_cleanup_on_exit

if [ $# -lt 1 ]; then
  echo "usage: $0 NAME [arguments...]" >&2
  exit 2
fi
name="$1"
shift
bash "$TOLVANE_ROOT/scripts/build.sh" "$name"
tolvane_ensure_display
tolvane_ensure_prefix
tolvane_start_wineserver
wine "$BUILD_DIR/bin/$name.exe" "$@"
