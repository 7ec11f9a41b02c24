#!/bin/bash
# Lays out a Wine prefix as a demo server for the configuration tool:
#   C:\Korrin      the release folder (Server.exe and its companion folders)
#   D:             a drive of its own, for the shared directory D:\PVDROOT,
#                  holding the workstations' Windows 98 in D:\PVDROOT\windows
#   the registry values the program reads (present in every fresh prefix)
#   the stand-ins for the server's outside programs, where they are built
#
# usage: demo/make_demo.sh PREFIX [RELEASE_DIR] [BUILD_DIR]
#   PREFIX       the prefix to make; an existing one is replaced
#   RELEASE_DIR  default dist/win64
#   BUILD_DIR    the x86_64 build holding the stand-ins, default build-win64
# A fresh prefix is made once and kept in $KORRIN_PREFIX_CACHE (default
# build-wine/prefix-base); later demos copy it, which takes seconds.
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
prefix=${1:?usage: make_demo.sh PREFIX [RELEASE_DIR] [BUILD_DIR]}
release=${2:-$repo/dist/win64}
build=${3:-$repo/build-win64}
cache=${KORRIN_PREFIX_CACHE:-$repo/build-wine/prefix-base}
prefix=$(mkdir -p "$(dirname "$prefix")" && cd "$(dirname "$prefix")" && pwd)/$(basename "$prefix")

[ -f "$release/Server.exe" ] || { echo "make_demo: no $release/Server.exe" >&2; exit 1; }

wine_env() {
  env WINEPREFIX="$1" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" "${@:2}"
}

# 1. A fresh prefix, from the cache when there is one.
if [ ! -f "$cache/system.reg" ]; then
  echo "make_demo: making a fresh prefix in $cache (once)"
  rm -rf "$cache"
  mkdir -p "$(dirname "$cache")"
  wine_env "$cache" wine wineboot -i >/dev/null 2>&1
  wine_env "$cache" wineserver -w
  # Without a window manager, windows close at once only when Wine draws
  # their frames itself.
  wine_env "$cache" wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
  wine_env "$cache" wineserver -w
fi
rm -rf "$prefix"
cp -a "$cache" "$prefix"

# The title-bar buttons: Wine draws the minimise, maximise and close glyphs
# with the Marlett symbol font, and without it another face draws the letters
# that stand for them ("0", "1", "r"). Debian's Wine 8 looks for its own fonts
# in <data dir>/../fonts (/usr/share/fonts, not searched below its top level),
# while the fonts-wine package puts them in /usr/share/wine/fonts, so Marlett
# is never loaded. Fonts in the prefix's Fonts folder are always loaded.
marlett=
for candidate in /usr/share/wine/fonts/marlett.ttf /usr/share/fonts/truetype/wine/marlett.ttf \
                 /usr/lib/wine/fonts/marlett.ttf; do
  if [ -f "$candidate" ]; then marlett=$candidate; break; fi
done
if [ -n "$marlett" ]; then
  mkdir -p "$prefix/drive_c/windows/Fonts"
  cp "$marlett" "$prefix/drive_c/windows/Fonts/marlett.ttf"
else
  echo "make_demo: no marlett.ttf (package fonts-wine): title-bar buttons show letters" >&2
fi

# 2. The registry values the program reads.
for entry in 'HKLM\Software\Microsoft\Windows NT\CurrentVersion|SystemRoot' \
             'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion|ProgramFilesDir' \
             'HKLM\SYSTEM\CurrentControlSet\Control\ComputerName\ComputerName|ComputerName'; do
  key=${entry%|*} value=${entry#*|}
  if ! wine_env "$prefix" wine reg query "$key" /v "$value" 2>/dev/null | grep -qi "$value"; then
    echo "make_demo: the prefix lacks $key\\$value" >&2
    exit 1
  fi
done

# 3. The program's directory.
mkdir -p "$prefix/drive_c/Korrin"
cp -a "$release/." "$prefix/drive_c/Korrin/"

# 4. Drive D: for the shared directory, with the Windows 98 that a workstation
#    has put into D:\PVDROOT\windows (the workstation names file goes there).
#    KORRIN_DEMO_SHARE=none leaves drive D: empty: a new server, no share yet.
mkdir -p "$prefix/drive_d"
if [ "${KORRIN_DEMO_SHARE:-}" != none ]; then
  mkdir -p "$prefix/drive_d/PVDROOT/windows"
  printf 'Windows 98 of the workstations (placeholder)\r\n' >"$prefix/drive_d/PVDROOT/windows/win.com"
fi
ln -sfn ../drive_d "$prefix/dosdevices/d:"

# 5. Stand-ins for the server's outside programs: one line each,
#    standin FILE-IN-BUILD WINDOWS-PATH. A stand-in not built is left out.
sys32="$prefix/drive_c/windows/system32"
standin() {
  local built=$build/$1 target=$2
  if [ -f "$built" ]; then
    mkdir -p "$(dirname "$target")"
    cp "$built" "$target"
  else
    echo "make_demo: stand-in $1 not built, left out" >&2
  fi
}
standin standins/net.exe "$sys32/net.exe"
standin standins/command.com "$sys32/command.com"
standin standins/pdkstandin.exe "$prefix/drive_c/Korrin/pxe-pdk/pxe20-pdk.exe"
standin standins/pdkstandin.exe "$sys32/DHCPADMN.exe"
"$repo/demo/make_rpl_tree.sh" "$prefix" "$build"

# Wine has programs of its own by the names net.exe and command.com and
# prefers them to a file in system32; the stand-ins must win.
for program in net.exe command.com; do
  wine_env "$prefix" wine reg add 'HKCU\Software\Wine\DllOverrides' /v "$program" /d native /f >/dev/null 2>&1
done

wine_env "$prefix" wineserver -w 2>/dev/null || true
echo "make_demo: demo server ready in $prefix"
