#!/bin/bash
# Builds the program for 64-bit Windows, lays out a demo server in a Wine
# prefix (build-demo/prefix) and runs the program on it. With a display
# (DISPLAY set), the program stays until you close it. Without one, it runs on
# a virtual display and walks the demo road (demo/road.steps: the accounts,
# the PXE road, the RPL road for an RTL8139 card, the server check) with a
# screenshot of each step in build-demo/road/; the first step that fails ends
# it with status 1.
set -euo pipefail
repo=$(cd "$(dirname "$0")" && pwd)
cd "$repo"
. demo/packages.sh
. demo/wine_session.sh

korrin_need_packages run

# A native image packer makes the template boot floppy of the release. Only
# it is built here, in a tree of its own without the tests (test.sh's tree
# "build" has them, and they need packages the demo does not).
cmake -S . -B build-host -DBUILD_TESTING=OFF >/dev/null
cmake --build build-host -j2 --target rplimage >/dev/null
host_rplimage=$repo/build-host/imagetools/rplimage

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
trap '"${WINE_ENV[@]}" wineserver -k >/dev/null 2>&1 || true; korrin_stop_xvfb' EXIT
"${WINE_ENV[@]}" wineserver -p >/dev/null 2>&1
. demo/walk_road.sh
if ! korrin_walk_road "$prefix" build-win64/tests/e2e/driver.exe demo/road.steps "$repo/build-demo/road"; then
  echo "run.sh: the demo road stopped at the step above" >&2
  exit 1
fi
