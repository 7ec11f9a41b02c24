#!/bin/bash
# End to end under Wine: the real Server.exe on a demo server, worked by the
# driver program (driver.cpp), with screenshots of every window.
#
# usage: tests/e2e/run_e2e.sh [BUILD_DIR] [OUT_DIR]
#   BUILD_DIR  the x86_64 build (default build-win64)
#   OUT_DIR    where the release, the prefix, the log and the screenshots go
#              (default build-e2e; screenshots in OUT_DIR/screenshots)
set -uo pipefail

repo=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$repo/build-win64}" && pwd)
out=${2:-$repo/build-e2e}
mkdir -p "$out"
out=$(cd "$out" && pwd)
shots=$out/screenshots
prefix=$out/prefix
log=$out/e2e.log
rm -rf "$shots" && mkdir -p "$shots"
: >"$log"

say() { echo "e2e: $*" | tee -a "$log"; }
die() { say "$*"; exit 1; }

[ -f "$build/tests/e2e/driver.exe" ] || die "no driver in $build (build the x86_64 tree first)"

# The release folder and the demo server.
rm -rf "$out/release"
cmake --install "$build" --prefix "$out/release" >/dev/null || die "cannot lay out the release"
KORRIN_PREFIX_CACHE=${KORRIN_PREFIX_CACHE:-$repo/build-wine/prefix-base} \
  "$repo/demo/make_demo.sh" "$prefix" "$out/release" "$build" >>"$log" 2>&1 || die "cannot make the demo prefix"
mkdir -p "$prefix/drive_c/e2e"
cp "$build/tests/e2e/driver.exe" "$prefix/drive_c/e2e/"

# A Chinese locale of our own, and a virtual display.
. "$repo/demo/wine_session.sh"
locales=$(korrin_locale "$repo") || die "no zh_CN.UTF-8 locale"
korrin_start_xvfb || die "no virtual display"
display=${KORRIN_DISPLAY#:}
korrin_wine_env "$prefix" "$KORRIN_DISPLAY" "$locales"
wine_env=("${WINE_ENV[@]}")
cleanup() {
  "${wine_env[@]}" wineserver -k >/dev/null 2>&1
  korrin_stop_xvfb
}
trap cleanup EXIT
"${wine_env[@]}" wineserver -p >/dev/null 2>&1

failed=0
drive() {
  local output status
  output=$(timeout 60 "${wine_env[@]}" wine 'C:\e2e\driver.exe' "$@" 2>>"$log")
  status=$?
  echo "$output" >>"$log"
  if [ $status -ne 0 ]; then
    echo "$output" | grep -v '^ok ' | sed 's/^/e2e:   /'
    say "FAILED: driver $*"
    failed=$((failed + 1))
  else
    say "ok: $*"
  fi
  return $status
}
shot() { DISPLAY=":$display" import -window root "$shots/$1.png" 2>>"$log" || say "no screenshot $1"; }

server_pid=
start_server() {
  (cd "$prefix/drive_c/Korrin" && exec timeout 300 "${wine_env[@]}" wine Server.exe >>"$log" 2>&1) &
  server_pid=$!
  drive wait-main || return 1
  sleep 0.5
}
# Waits for the program to end after a way of leaving.
ended() {
  local i
  for i in $(seq 100); do kill -0 "$server_pid" 2>/dev/null || return 0; sleep 0.1; done
  say "FAILED: the program is still running after $1"
  failed=$((failed + 1))
  return 1
}
usertemp=$prefix/drive_c/usertemp.bat
expect_script() {  # $1: present|absent, $2: the way of leaving
  if [ "$1" = present ] && [ ! -f "$usertemp" ]; then
    say "FAILED: leaving by $2 removed C:\\usertemp.bat"; failed=$((failed + 1))
  elif [ "$1" = absent ] && [ -f "$usertemp" ]; then
    say "FAILED: leaving by $2 left C:\\usertemp.bat"; failed=$((failed + 1))
  else
    say "ok: leaving by $2: C:\\usertemp.bat $1"
  fi
}

printf 'net user USER1 /add\r\n' >"$usertemp"

# The main window, its menu and both pages.
start_server || die "the program did not start"
drive check-main
shot main-rpl
drive menu H && shot menu-help
drive escape
drive show-page pxe
shot main-pxe
drive show-page rpl

# Help and statement, from the menu, the toolbar and the keyboard.
drive open help menu && shot help
drive close help
drive open help toolbar && drive close help
drive open help keys && drive close help
drive open statement menu && shot statement
drive close statement
drive open statement toolbar && drive close statement
drive open statement keys && drive close statement

# The ways to leave: only the exit button removes the account script.
drive leave menu; ended "the menu"; expect_script present "the menu"
# The shared directory of the last generation comes back from C:\temps.bak,
# a code page 936 file, Chinese name and all.
printf 'D:\\无盘站\r\nE:\\OTHER\r\n' | iconv -f UTF-8 -t GBK >"$prefix/drive_c/temps.bak"
start_server && {
  drive check-text Edit1 'D:\无盘站'
  drive leave closebox; ended "the close box"; expect_script present "the close box"
}
rm -f "$prefix/drive_c/temps.bak"
start_server && { drive leave keys; ended "Alt+S E"; expect_script present "Alt+S E"; }
start_server && { drive leave button; ended "the exit button"; expect_script absent "the exit button"; }

say "screenshots in $shots"
if [ $failed -ne 0 ]; then
  say "$failed step(s) failed; see $log"
  exit 1
fi
say "all steps passed"
