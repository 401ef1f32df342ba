#!/usr/bin/env bash
# Sets everything up and starts Tolvane Extractor under Wine. Arguments are passed on;
# Linux paths among them become Windows paths, and the path after /e, /x, /a, /f, /t or /h is quoted
# as Explorer's context menu passes it:  run.sh /x ~/archives/photos.zip
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
tolvane_cleanup_on_exit

bash "$TOLVANE_ROOT/scripts/build.sh" tolvane raw_launch tolvane_engine
tolvane_ensure_display
tolvane_ensure_prefix

args=()
quote_next=0
for arg in "$@"; do
  case "$arg" in
    /e|/x|/a|/f|/t|/h) args+=("$arg"); quote_next=1; continue ;;
    /Register|/UnRegister) args+=("$arg"); continue ;;
  esac
  if [ -e "$arg" ] || [[ "$arg" == /* && -e "$(dirname "$arg")" ]]; then
    arg="$(winepath -w "$(realpath -m "$arg")")"
  fi
  if [ "$quote_next" = 1 ]; then arg="\"$arg\""; quote_next=0; fi
  args+=("$arg")
done

set +e
wine "$BUILD_DIR/bin/raw_launch.exe" "$(winepath -w "$BUILD_DIR/bin/tolvane.exe")" "${args[@]}"
code=$?
wineserver -w
exit $code
