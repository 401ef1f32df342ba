#!/usr/bin/env bash
# Installs what is missing, configures (once) and builds the program, the tests and the
# benchmarks into $BUILD_DIR (default: build/), with the engine binaries in build/bin/core.
# Arguments name targets to build instead of everything: build.sh tolvane tests_engine
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

bash "$TOLVANE_ROOT/scripts/install-deps.sh"
if [ ! -f "$BUILD_DIR/CMakeCache.txt" ]; then
  cmake -S "$TOLVANE_ROOT" -B "$BUILD_DIR" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$TOLVANE_ROOT/cmake/toolchain-mingw-i686.cmake" \
    -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
if [ $# -gt 0 ]; then
  cmake --build "$BUILD_DIR" --parallel "$(nproc)" --target "$@"
else
  cmake --build "$BUILD_DIR" --parallel "$(nproc)"
fi
