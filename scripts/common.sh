# Sourced by the other scripts: paths, the Wine environment, and helpers that start
# and stop what the scripts need (Xvfb, the Wine server). Everything a script starts
# is stopped again by the EXIT trap that `tolvane_cleanup_on_exit` installs.

TOLVANE_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="${BUILD_DIR:-$TOLVANE_ROOT/build}"
TOLVANE_CACHE="${TOLVANE_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/tolvane}"

export WINEPREFIX="${WINEPREFIX:-$BUILD_DIR/wineprefix}"
export WINEARCH=win32
export WINEDEBUG="${WINEDEBUG:--all}"
# No Mono or Gecko installers: the program needs neither, and their prompts would wait on a person.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"

_tolvane_started_xvfb=""
_tolvane_started_wineserver=""

tolvane_log() { echo "[tolvane] $*" >&2; }

# Starts Xvfb on a free display when no display is set.
tolvane_ensure_display() {
  if [ -n "${DISPLAY:-}" ]; then return 0; fi
  local n
  for n in $(seq 91 140); do
    if [ ! -e "/tmp/.X${n}-lock" ] && [ ! -e "/tmp/.X11-unix/X${n}" ]; then
      Xvfb ":$n" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
      _tolvane_started_xvfb=$!
      export DISPLAY=":$n"
      local i
      for i in $(seq 1 50); do
        if xdpyinfo -display ":$n" >/dev/null 2>&1; then
          tolvane_log "started Xvfb on :$n"
          return 0
        fi
        sleep 0.1
      done
      tolvane_log "Xvfb on :$n did not come up"
      return 1
    fi
  done
  tolvane_log "no free X display number"
  return 1
}

# Creates the project's own Wine prefix when it does not exist yet.
# Windows run inside one Wine desktop window, as on a Windows desktop: frames and captions are
# drawn, and closing a window does not wait for a window manager that Xvfb does not have.
tolvane_ensure_prefix() {
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    tolvane_log "creating Wine prefix $WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1 </dev/null || true
    wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /t REG_SZ /d Default /f >/dev/null 2>&1 </dev/null || true
    wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /t REG_SZ /d 1280x800 /f \
      >/dev/null 2>&1 </dev/null || true
    # Wine draws the caption buttons with the Marlett font, which it finds only among the
    # prefix's own fonts.
    if [ -f /usr/share/wine/fonts/marlett.ttf ]; then
      mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
      cp -f /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
    fi
    wineserver -w
  fi
}

# Keeps one Wine server alive so that each Windows program starts quickly.
# Also starts Wine's own services (desktop, RPC, devices) now, with their output discarded:
# started later by a test, they would inherit CTest's output pipe and keep it open.
tolvane_start_wineserver() {
  wineserver -p >/dev/null 2>&1 </dev/null || true
  _tolvane_started_wineserver=1
  wine cmd.exe /c exit >/dev/null 2>&1 </dev/null || true
}

tolvane_stop_all() {
  if [ -n "$_tolvane_started_wineserver" ]; then
    wineserver -k >/dev/null 2>&1 || true
    _tolvane_started_wineserver=""
  fi
  if [ -n "$_tolvane_started_xvfb" ]; then
    kill "$_tolvane_started_xvfb" >/dev/null 2>&1 || true
    wait "$_tolvane_started_xvfb" 2>/dev/null || true
    _tolvane_started_xvfb=""
  fi
}

tolvane_cleanup_on_exit() { trap tolvane_stop_all EXIT; }
