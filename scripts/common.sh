# Sourced by the other scripts: paths, the Wine environment, and helpers that start
# and stop what the scripts need (Xvfb, the Wine server). Everything a script starts
# is stopped again by the EXIT trap that `tolvane_cleanup_on_exit` installs.

TOLVANE_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="${BUILD_DIR:-$TOLVANE_ROOT/build}"
TOLVANE_CACHE="${TOLVANE_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/tolvane}"

export WINEPREFIX="${WINEPREFIX:-$BUILD_DIR/wineprefix}"
export WINEARCH=win32
# The 64-bit build runs in a 64-bit prefix of its own (see wine64.sh).
export TOLVANE_WINEPREFIX64="${TOLVANE_WINEPREFIX64:-$BUILD_DIR/wineprefix64}"
export WINEDEBUG="${WINEDEBUG:--all}"
# No Mono or Gecko installers: the program needs neither, and their prompts would wait on a person.
# No menu entries on the Linux desktop for shortcuts that installers make inside a prefix.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=;winemenubuilder.exe=d}"

_tolvane_started_xvfb=()
_tolvane_started_wineservers=()

tolvane_log() { echo "[tolvane] $*" >&2; }

# Starts Xvfb on a free display and sets TOLVANE_STARTED_DISPLAY to its name (":91"); the EXIT
# trap stops it. Xvfb picks the number itself, so that runs started at once never share one.
tolvane_start_xvfb() {
  local number_file i
  number_file=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$number_file" >/dev/null 2>&1 &
  _tolvane_started_xvfb+=("$!")
  for i in $(seq 1 100); do
    if [ -s "$number_file" ] && xdpyinfo -display ":$(tr -dc 0-9 <"$number_file")" >/dev/null 2>&1; then
      TOLVANE_STARTED_DISPLAY=":$(tr -dc 0-9 <"$number_file")"
      rm -f "$number_file"
      tolvane_log "started Xvfb on $TOLVANE_STARTED_DISPLAY"
      return 0
    fi
    sleep 0.1
  done
  rm -f "$number_file"
  tolvane_log "Xvfb did not come up"
  return 1
}

# Starts Xvfb on a free display when no display is set.
tolvane_ensure_display() {
  if [ -n "${DISPLAY:-}" ]; then return 0; fi
  tolvane_start_xvfb || return 1
  export DISPLAY="$TOLVANE_STARTED_DISPLAY"
}

# Creates a Wine prefix of the project's own when it does not exist yet: by default $WINEPREFIX
# (32-bit); `tolvane_ensure_prefix DIR win64` makes a 64-bit one.
# Windows run inside one Wine desktop window, as on a Windows desktop: frames and captions are
# drawn, and closing a window does not wait for a window manager that Xvfb does not have.
tolvane_ensure_prefix() {
  local prefix="${1:-$WINEPREFIX}" arch="${2:-$WINEARCH}"
  if [ -f "$prefix/system.reg" ]; then return 0; fi
  tolvane_log "creating $arch Wine prefix $prefix"
  mkdir -p "$prefix"
  (
    export WINEPREFIX="$prefix" WINEARCH="$arch"
    wineboot -i >/dev/null 2>&1 </dev/null || true
    wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /t REG_SZ /d Default /f >/dev/null 2>&1 </dev/null || true
    wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /t REG_SZ /d 1280x800 /f \
      >/dev/null 2>&1 </dev/null || true
    # Wine draws the caption buttons with the Marlett font, which it finds only among the
    # prefix's own fonts.
    if [ -f /usr/share/wine/fonts/marlett.ttf ]; then
      mkdir -p "$prefix/drive_c/windows/Fonts"
      cp -f /usr/share/wine/fonts/marlett.ttf "$prefix/drive_c/windows/Fonts/"
    fi
    wineserver -w
  )
}

# Makes DIR a fresh Wine prefix (by default $WINEPREFIX; `tolvane_fresh_prefix DIR win64` for a
# 64-bit one) as a copy of a pristine one that is made once per build folder: wineboot takes a good
# part of a minute, a copy a few seconds. Callers at the same time make the pristine one once.
tolvane_fresh_prefix() {
  local prefix="${1:-$WINEPREFIX}" arch="${2:-$WINEARCH}"
  local pristine="$BUILD_DIR/wineprefix-pristine-$arch"
  WINEPREFIX="$prefix" wineserver -k >/dev/null 2>&1 || true
  rm -rf "$prefix"
  mkdir -p "$BUILD_DIR"
  (
    flock 9
    if [ ! -f "$pristine/system.reg" ]; then
      rm -rf "$pristine"
      tolvane_ensure_prefix "$pristine" "$arch"
    fi
  ) 9>"$BUILD_DIR/.wineprefix-pristine-$arch.lock"
  cp -a "$pristine" "$prefix"
}

# Keeps one Wine server alive for a prefix (default $WINEPREFIX, the 32-bit one) so that each
# Windows program starts quickly.
# Also starts Wine's own services (desktop, RPC, devices) now, with their output discarded:
# started later by a test, they would inherit CTest's output pipe and keep it open.
tolvane_start_wineserver() {
  local prefix="${1:-$WINEPREFIX}" arch="${2:-$WINEARCH}"
  WINEPREFIX="$prefix" wineserver -p >/dev/null 2>&1 </dev/null || true
  _tolvane_started_wineservers+=("$prefix")
  WINEPREFIX="$prefix" WINEARCH="$arch" wine cmd.exe /c exit >/dev/null 2>&1 </dev/null || true
}

tolvane_stop_all() {
  local prefix
  for prefix in "${_tolvane_started_wineservers[@]}"; do
    WINEPREFIX="$prefix" wineserver -k >/dev/null 2>&1 || true
  done
  _tolvane_started_wineservers=()
  local xvfb
  for xvfb in "${_tolvane_started_xvfb[@]}"; do
    kill "$xvfb" >/dev/null 2>&1 || true
    wait "$xvfb" 2>/dev/null || true
  done
  _tolvane_started_xvfb=()
}

tolvane_cleanup_on_exit() { trap tolvane_stop_all EXIT; }
