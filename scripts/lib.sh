# Shared by scripts/test, scripts/run and scripts/bench: build trees, Wine prefixes, a display.
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
jobs=$(nproc 2>/dev/null || echo 2)

# gridlark.exe is a 32-bit program, built in build/win32. Some machines run no 32-bit code at all
# (their kernel has IA-32 emulation off, so 32-bit Wine cannot start): there the same sources
# are also built for 64-bit Windows in build/win64, and the tests, the bench and scripts/run use
# that build under 64-bit Wine.
if /lib/ld-linux.so.2 --version >/dev/null 2>&1; then
  test_arch=win32
else
  test_arch=win64
fi
test_tree="$top/build/$test_arch"

wine() {
  if [ "$test_arch" = win64 ]; then
    WINELOADER=/usr/lib/wine/wine64 /usr/lib/wine/wine64 "$@"
  else
    command wine "$@"
  fi
}

wineboot() { wine wineboot "$@"; }

configure_tree() {
  cmake -S "$top" -B "$top/build/$1" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-$2.cmake" >/dev/null
}

# The product tree always, whole, so that the 32-bit build of every test still compiles where it
# cannot run; the 64-bit test tree where 32-bit code does not run; then, unless told
# windows-only, the native tree.
build_trees() {
  configure_tree win32 i686
  cmake --build "$top/build/win32" -j "$jobs"
  if [ "$test_arch" = win64 ]; then
    configure_tree win64 x86_64
    cmake --build "$top/build/win64" -j "$jobs"
  fi
  if [ "${1:-}" != windows-only ]; then
    cmake -S "$top" -B "$top/build/native" -G Ninja -DCMAKE_CXX_COMPILER=g++ -DCMAKE_C_COMPILER=gcc >/dev/null
    cmake --build "$top/build/native" -j "$jobs"
  fi
}

# A Windows path for a Unix path, through Wine's Z: drive.
wine_path() { printf 'Z:%s' "${1//\//\\}"; }

# Sets up the environment for a Wine prefix at $1 (created when missing).
use_wine_prefix() {
  local arch=win32
  [ "$test_arch" = win64 ] && arch=win64
  export WINEPREFIX=$1 WINEARCH=$arch WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEDLLPATH=
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
  release_fixture_mounts
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
  stubs=$(wine_path "$test_tree/stubs")
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
  wine "$test_tree/stubs/wintool.exe" hold GridlarkTestDesktop >/dev/null 2>&1 &
  make_fixture_drives
}

# Drives M: and N: for the drive scan's tests: runtimes at several depths, a folder named
# javaw.exe, a link back to an ancestor (a cycle) and a link to the other drive (a second path).
make_fixture_drives() {
  local drives="$WINEPREFIX/drives"
  release_fixture_mounts
  rm -rf "$drives"
  mkdir -p "$drives/m/Java/jre1/bin" "$drives/m/Tools/javaw.exe" "$drives/m/loop" \
    "$drives/n/jdk/bin" "$drives/n/deep/a/b/c/bin"
  touch "$drives/m/javaw.exe" "$drives/m/Java/jre1/bin/javaw.exe" "$drives/n/jdk/bin/javaw.exe" \
    "$drives/n/deep/a/b/c/bin/javaw.exe"
  ln -s .. "$drives/m/loop/up"
  ln -s ../m/Java "$drives/n/alias"
  ln -sfn "$drives/m" "$WINEPREFIX/dosdevices/m:"
  ln -sfn "$drives/n" "$WINEPREFIX/dosdevices/n:"
  make_mounted_drive
}

# Drive O: for the scan across file systems: a folder "outer" with a separate file system, whose
# root has file index 1, and another of the same size mounted inside it, with the same index and
# write time, a javaw.exe and a link back up to its own root: Wine reports the same identity for
# both roots, and only their resolved paths tell them apart; GRIDLARK_MOUNTED_WHOLE says that the
# whole of O:\outer\ may be scanned. Where nothing can be mounted, O: is / and the javaw.exe goes
# into /dev/shm, a file system of its own inside /dev. GRIDLARK_MOUNTED_ROOT tells the tests where
# to start the scan, GRIDLARK_MOUNTED_FIND the folder it must report. Neither is a drive's root,
# whose volume serial Wine makes up from its letter.
make_mounted_drive() {
  local drive="$WINEPREFIX/drives/o" outer="$WINEPREFIX/drives/o/outer"
  mkdir -p "$outer"
  if mount -t tmpfs -o size=1m gridlark-outer "$outer" 2>/dev/null &&
    mkdir "$outer/inner" && mount -t tmpfs -o size=1m gridlark-inner "$outer/inner" 2>/dev/null; then
    mkdir -p "$outer/inner/jre/bin"
    touch "$outer/inner/jre/bin/javaw.exe"
    ln -s .. "$outer/inner/jre/up"
    touch -d 2020-01-01T00:00:00 "$outer/inner" "$outer"
    ln -sfn "$drive" "$WINEPREFIX/dosdevices/o:"
    export GRIDLARK_MOUNTED_ROOT='O:\outer\' GRIDLARK_MOUNTED_FIND='O:\outer\inner\jre\bin\' GRIDLARK_MOUNTED_WHOLE=1
  else
    release_fixture_mounts
    planted_shm="/dev/shm/gridlark-test-$$"
    mkdir -p "$planted_shm"
    touch "$planted_shm/javaw.exe"
    ln -sfn / "$WINEPREFIX/dosdevices/o:"
    export GRIDLARK_MOUNTED_ROOT='O:\dev\' GRIDLARK_MOUNTED_FIND="O:\\dev\\shm\\gridlark-test-$$\\"
    unset GRIDLARK_MOUNTED_WHOLE
  fi
}

release_fixture_mounts() {
  local outer="${WINEPREFIX:-}/drives/o/outer"
  if [ -n "${WINEPREFIX:-}" ] && mountpoint -q "$outer" 2>/dev/null; then
    umount -R "$outer" 2>/dev/null || umount -l -R "$outer" 2>/dev/null || true
  fi
  if [ -n "${planted_shm:-}" ]; then
    rm -rf "$planted_shm"
    planted_shm=
  fi
}
