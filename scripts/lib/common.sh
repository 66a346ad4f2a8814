# Shared by the project's scripts: locations, package installation, builds,
# the virtual display and the Wine prefixes. Source it; don't run it.

PW_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
PW_BUILD=${PW_BUILD:-$PW_ROOT/build}
PW_APP_DIR=$PW_BUILD/app
PW_DIST_DIR=$PW_BUILD/dist
export WINEDEBUG=${WINEDEBUG:--all}
# Keep Wine from offering to download Mono and Gecko, and from copying the
# shortcuts that setup creates into the Linux desktop's menus.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

log() { printf '\033[1m==> %s\033[0m\n' "$*" >&2; }

as_root() {
  if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi
}

# Installs the Debian packages the build and the tests need, if any is missing.
ensure_packages() {
  local missing=0
  for tool in cmake g++ i686-w64-mingw32-g++-win32 wine Xvfb xdpyinfo convert makensis unzip openssl; do
    command -v "$tool" >/dev/null 2>&1 || missing=1
  done
  [ -d /usr/src/googletest ] || missing=1
  dpkg -s wine32:i386 wine64 >/dev/null 2>&1 || missing=1
  [ "$missing" = 0 ] && return 0
  log "Installing packages (Debian)"
  export DEBIAN_FRONTEND=noninteractive
  as_root dpkg --add-architecture i386
  # A mirror part-way through a sync serves an index at another size than
  # its release file names: apt then refuses that index and exits 100.
  # Retry, then go on: the packages may still resolve from the others.
  local attempt update_log
  update_log=$(mktemp)
  for attempt in 1 2 3; do
    as_root apt-get update -qq >"$update_log" 2>&1 && break
    [ "$attempt" = 3 ] || sleep 10
  done
  if ! as_root apt-get install -y -qq \
    cmake make g++ googletest g++-mingw-w64-i686 mingw-w64-i686-dev binutils-mingw-w64-i686 \
    wine wine32:i386 wine64 xvfb xauth x11-utils fonts-wine imagemagick procps \
    nsis unzip openssl >/dev/null; then
    local failed
    failed=$(grep -o 'Failed to fetch [^ ]*' "$update_log" | head -n 1 | cut -d' ' -f4)
    rm -f "$update_log"
    if [ -n "$failed" ]; then
      echo "Packages could not be installed: the package index $failed was refused by apt-get update (a mirror part-way through a sync): try again later, or fetch that index by hand as docs/development.md describes." >&2
    else
      echo "Packages could not be installed (apt-get install failed above): check the machine's package sources and try again." >&2
    fi
    exit 1
  fi
  rm -f "$update_log"
}

# Builds both trees: build/native (portable code and unit tests, sanitizers
# on) and build/win32 (the program, its Win32 and end-to-end tests). The
# application folder is left in build/app.
build_all() {
  log "Building the native tree (unit tests)"
  cmake -S "$PW_ROOT" -B "$PW_BUILD/native" -DCMAKE_BUILD_TYPE=Debug >/dev/null
  cmake --build "$PW_BUILD/native" -j"$(nproc)"
  build_windows
}

build_windows() {
  log "Building the Windows program"
  cmake -S "$PW_ROOT" -B "$PW_BUILD/win32" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$PW_ROOT/cmake/toolchain-mingw-i686.cmake" -DPW_APP_DIR="$PW_APP_DIR" \
    -DPW_DIST_DIR="$PW_DIST_DIR" >/dev/null
  cmake --build "$PW_BUILD/win32" -j"$(nproc)"
}

# Writes the setup program, the portable zip and their checksums to
# build/dist, from the program that build_windows made.
build_release() {
  log "Building the release"
  cmake --build "$PW_BUILD/win32" --target dist
}

# Starts Xvfb on a free display; sets DISPLAY and PW_XVFB_PID.
start_xvfb() {
  local n=90
  while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  PW_XVFB_PID=$!
  export DISPLAY=":$n"
  for _ in $(seq 1 100); do
    xdpyinfo >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  echo "Xvfb did not start on $DISPLAY" >&2
  return 1
}

stop_xvfb() {
  if [ -n "${PW_XVFB_PID:-}" ]; then
    kill "$PW_XVFB_PID" 2>/dev/null || true
    PW_XVFB_PID=
  fi
}

# Stops the wineserver of one prefix (and with it every program in it).
stop_wine() {
  local prefix=$1
  [ -d "$prefix" ] && WINEPREFIX="$prefix" wineserver -k >/dev/null 2>&1 || true
}

# A 32-bit prefix (or, given win64, a 64-bit one) with the settings a
# person-less run needs: crashes end the program at once, windows live in
# Wine's own virtual desktop (realistic screenshots, a taskbar with the tray
# icon, no window manager delays), and title-bar glyphs come from the
# Marlett font.
make_template_prefix() {
  local arch=${1:-win32}
  local template
  template=$(template_prefix "$arch")
  local stamp=$template/.parawarden-template-v1
  [ -f "$stamp" ] && return 0
  log "Creating a Wine prefix template ($arch, once)"
  rm -rf "$template"
  mkdir -p "$PW_BUILD/wine"
  WINEARCH=$arch WINEPREFIX="$template" wineboot -i >/dev/null 2>&1
  WINEPREFIX="$template" wineserver -w
  local reg=$template/drive_c/windows/temp/parawarden-template.reg
  cat >"$reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000

[HKEY_CURRENT_USER\Software\Wine\Explorer]
"Desktop"="Default"

[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]
"Default"="1024x768"
REG
  WINEPREFIX="$template" wine regedit /S 'C:\windows\temp\parawarden-template.reg' >/dev/null 2>&1
  rm -f "$reg"
  WINEPREFIX="$template" wineserver -w
  local marlett=/usr/share/wine/fonts/marlett.ttf
  [ -f "$marlett" ] && cp "$marlett" "$template/drive_c/windows/Fonts/"
  touch "$stamp"
}

# Writes the file names of Windows itself, lower-case, one a line, to a file:
# the Windows libraries and programs of the installed Wine (its 16-bit ones
# without Wine's "16" suffix) and every file of a fresh prefix's C:\windows.
# The shipped definitions are checked against it, so that no record names a
# file that every Windows machine has.
write_windows_names() {
  local prefix=$1 out=$2 wine_windows= candidate
  for candidate in /usr/lib/i386-linux-gnu/wine/i386-windows /usr/lib/wine/i386-windows \
    /usr/lib32/wine/i386-windows /usr/local/lib/wine/i386-windows /opt/wine-*/lib/wine/i386-windows; do
    [ -d "$candidate" ] && wine_windows=$candidate && break
  done
  if [ -z "$wine_windows" ] || [ ! -d "$prefix/drive_c/windows" ]; then
    echo "No Wine i386-windows folder or no C:\\windows in $prefix to list Windows' file names from" >&2
    return 1
  fi
  {
    find "$wine_windows" -maxdepth 1 -type f -printf '%f\n' | sed -E 's/\.(dll|drv|exe|mod)16$/.\1/'
    find "$prefix/drive_c/windows" \( -type f -o -type l \) -printf '%f\n'
  } | tr '[:upper:]' '[:lower:]' | sort -u >"$out"
}

# Wine links the user's shell folders (Desktop, Documents, ...) to the Linux
# home folder; a full scan walks C: and would walk the whole home folder
# through them. They become plain empty folders.
unlink_home_folders() {
  local prefix=$1 link
  find "$prefix/drive_c/users" -type l 2>/dev/null | while read -r link; do
    rm -f "$link" && mkdir -p "$link"
  done
}

template_prefix() {
  case $1 in
    win32) echo "$PW_BUILD/wine/template" ;;
    *) echo "$PW_BUILD/wine/template-$1" ;;
  esac
}

# Copies the template to a new prefix, removes the Z: drive (so nothing can
# walk the Linux root), keeps C: within the prefix and maps the drives given
# as letter=folder pairs. PW_WINEARCH=win64 makes a 64-bit prefix.
make_prefix() {
  local prefix=$1 arch=${PW_WINEARCH:-win32}
  shift
  make_template_prefix "$arch"
  stop_wine "$prefix"
  rm -rf "$prefix"
  cp -a "$(template_prefix "$arch")" "$prefix"
  rm -f "$prefix/dosdevices/z:"
  unlink_home_folders "$prefix"
  local mapping
  for mapping in "$@"; do
    ln -sfn "${mapping#*=}" "$prefix/dosdevices/${mapping%%=*}:"
  done
}

# Starts a persistent wineserver for a prefix and warms it up, detached from
# the caller's output so that test runners do not wait on Wine's services.
start_wine() {
  local prefix=$1
  WINEPREFIX="$prefix" setsid wineserver -p >/dev/null 2>&1 </dev/null
  WINEPREFIX="$prefix" setsid wine cmd /c exit >/dev/null 2>&1 </dev/null
}
