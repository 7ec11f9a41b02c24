#!/bin/bash
# Builds the program for 64-bit Windows, lays out a demo server in a Wine
# prefix (build-demo/prefix) and runs the program on it. With a display, the
# program stays until you close it; without one, it runs on a virtual display,
# a screenshot is saved to build-demo/screenshot.png and the program is closed.
set -euo pipefail
repo=$(cd "$(dirname "$0")" && pwd)
cd "$repo"
. demo/packages.sh
. demo/wine_session.sh

korrin_need_packages cmake make g++ libgtest-dev g++-mingw-w64-x86-64 wine wine64 xvfb xauth \
  imagemagick fonts-wqy-zenhei fonts-wine locales

# A native image packer makes the template boot floppy of the release.
cmake -S . -B build >/dev/null
cmake --build build -j2 --target rplimage >/dev/null 2>&1 || true
host_rplimage=
[ -x build/standins/image/rplimage ] && host_rplimage=$repo/build/standins/image/rplimage

cmake -S . -B build-win64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake \
  -DIMAGE_TOOLS_HOST_RPLIMAGE="$host_rplimage" >/dev/null
cmake --build build-win64 -j2
rm -rf dist/win64
cmake --install build-win64 --prefix dist/win64 >/dev/null

prefix=$repo/build-demo/prefix
demo/make_demo.sh "$prefix" dist/win64 build-win64
locales=$(korrin_locale "$repo")

if [ -n "${DISPLAY:-}" ]; then
  korrin_wine_env "$prefix" "$DISPLAY" "$locales"
  cd "$prefix/drive_c/Korrin"
  exec "${WINE_ENV[@]}" wine Server.exe
fi

korrin_start_xvfb
korrin_wine_env "$prefix" "$KORRIN_DISPLAY" "$locales"
trap '"${WINE_ENV[@]}" wineserver -k >/dev/null 2>&1; korrin_stop_xvfb' EXIT
mkdir -p "$prefix/drive_c/e2e"
cp build-win64/tests/e2e/driver.exe "$prefix/drive_c/e2e/"
(cd "$prefix/drive_c/Korrin" && exec "${WINE_ENV[@]}" wine Server.exe >/dev/null 2>&1) &
"${WINE_ENV[@]}" wine 'C:\e2e\driver.exe' wait-main
sleep 1
DISPLAY=$KORRIN_DISPLAY import -window root build-demo/screenshot.png
"${WINE_ENV[@]}" wine 'C:\e2e\driver.exe' leave closebox
echo "screenshot: $repo/build-demo/screenshot.png"
