# Shared by scripts/test, scripts/run and scripts/bench: build trees, Wine prefixes, a display.
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
jobs=$(nproc 2>/dev/null || echo 2)

build_trees() {
  cmake -S "$top" -B "$top/build/win32" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-i686.cmake" >/dev/null
  cmake --build "$top/build/win32" -j "$jobs"
  if [ "${1:-}" != win32-only ]; then
    cmake -S "$top" -B "$top/build/native" -G Ninja -DCMAKE_CXX_COMPILER=g++ -DCMAKE_C_COMPILER=gcc >/dev/null
    cmake --build "$top/build/native" -j "$jobs"
  fi
}

# A Windows path for a Unix path, through Wine's Z: drive.
wine_path() { printf 'Z:%s' "${1//\//\\}"; }

# Sets up the environment for a Wine prefix at $1 (created when missing).
use_wine_prefix() {
  export WINEPREFIX=$1 WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEDLLPATH=
  export HOME=$1/home XDG_DATA_HOME=$1/home/.local/share
  mkdir -p "$XDG_DATA_HOME/Trash/files" "$XDG_DATA_HOME/Trash/info"
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wineboot -i >/dev/null 2>&1
    wineserver -w
  fi
  started_wineserver=1
  wineserver -p
}

# Imports registry lines (REGEDIT4 body) into the current prefix, then restarts the prefix's
# processes so that settings read at start (the desktop) take effect.
import_registry() {
  local file="$WINEPREFIX/import.reg"
  { printf 'REGEDIT4\n\n'; cat; } >"$file"
  wine regedit /S "$(wine_path "$file")" >/dev/null 2>&1
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w
  wineserver -p
}

start_display_if_needed() {
  if [ -n "${DISPLAY:-}" ]; then return 0; fi
  local n
  for n in $(seq 90 140); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || break
  done
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  export DISPLAY=":$n"
  local i
  for i in $(seq 1 100); do
    [ -e "/tmp/.X11-unix/X$n" ] && return 0
    sleep 0.1
  done
  echo "Xvfb did not start" >&2
  return 1
}

stop_started_processes() {
  if [ -n "${started_wineserver:-}" ] && [ -n "${WINEPREFIX:-}" ]; then
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w >/dev/null 2>&1 || true
  fi
  if [ -n "${xvfb_pid:-}" ]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
}

# The settings every test prefix needs: no crash dialog, a virtual desktop (window frames, and no
# wait for a window manager when a window closes), the stub web browser; then a process that
# keeps the desktop up for the whole run.
prepare_test_prefix() {
  local stubs browser
  stubs=$(wine_path "$top/build/win32/stubs")
  browser="\\\"${stubs//\\/\\\\}\\\\stubbrowser.exe\\\" %1"
  import_registry <<REG
[HKEY_CURRENT_USER\\Software\\Wine\\WineDbg]
"ShowCrashDialog"=dword:00000000

[HKEY_CURRENT_USER\\Software\\Wine\\Explorer]
"Desktop"="Default"

[HKEY_CURRENT_USER\\Software\\Wine\\Explorer\\Desktops]
"Default"="1024x768"

[HKEY_CLASSES_ROOT\\http\\shell\\open\\command]
@="$browser"

[HKEY_CLASSES_ROOT\\https\\shell\\open\\command]
@="$browser"
REG
  wine "$top/build/win32/stubs/wintool.exe" hold GridlarkTestDesktop >/dev/null 2>&1 &
}
