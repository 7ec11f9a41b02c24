#!/bin/bash
# Lays out the Remoteboot service of the demo server in a Wine prefix:
#   C:\windows\rpl                 the Remoteboot tree of demo/rpl, with the
#                                  empty directories that demo/rpl.dirs lists
#   C:\windows\system32\rplcmd.exe and rplmgr.exe, the service's two programs,
#                                  where the build has them
#
# usage: demo/make_rpl_tree.sh PREFIX [BUILD_DIR]
#   PREFIX     the Wine prefix (its drive_c/windows receives the tree)
#   BUILD_DIR  the x86_64 build holding the stand-ins, default build-win64
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
prefix=${1:?usage: make_rpl_tree.sh PREFIX [BUILD_DIR]}
build=${2:-$repo/build-win64}
windows=$prefix/drive_c/windows

rm -rf "$windows/rpl"
mkdir -p "$windows/rpl"
cp -a "$repo/demo/rpl/." "$windows/rpl/"
while read -r dir; do
  case $dir in ''|'#'*) continue ;; esac
  mkdir -p "$windows/rpl/$dir"
done <"$repo/demo/rpl.dirs"

for program in rplcmd.exe rplmgr.exe; do
  if [ -f "$build/standins/$program" ]; then
    cp "$build/standins/$program" "$windows/system32/$program"
  else
    echo "make_rpl_tree: stand-in standins/$program not built, left out" >&2
  fi
done
