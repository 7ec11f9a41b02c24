#!/bin/bash
# Fuzzes the Remoteboot stand-ins with libFuzzer for a bounded time: the
# database reader on any file, and rplcmd on any script with a fault in the
# writing (tests/standins/fuzz/*.cpp say what each checks). Both are built
# with clang and -fsanitize=fuzzer,address,undefined in build-fuzz/, on the
# simulated host; the seeds are the demo server's database and a card's
# registration script. The corpus grows in build-fuzz/corpus-*, so later runs
# start where earlier ones stopped.
#   tests/standins/fuzz_run.sh [SECONDS_PER_TARGET]     (default 20, two targets)
# Without clang or libFuzzer it says so and skips. A finding fails the run and
# leaves the input in build-fuzz/crash-*.
set -uo pipefail
repo=$(cd "$(dirname "$0")/../.." && pwd)
seconds=${1:-20}
. "$repo/tests/fuzz_clang.sh"

core=("$repo"/platform/{command_line,encoding,encoding_iconv,text,textfile}.cpp
      "$repo"/platform/sim/{sim_host,sim_programs,sim_ui}.cpp "$repo"/standins/record_file.cpp
      "$repo"/standins/rpl/{rpldb,rplcmd}.cpp)
headers=("$repo"/platform/*.h "$repo"/platform/sim/*.h "$repo"/standins/*.h "$repo"/standins/rpl/*.h
         "$repo"/tests/standins/fuzz/*.h)
flags=(-std=c++17 -O1 -g -I"$repo" -DDEMO_RPL_TREE="\"$repo/demo/rpl\""
       -DDEMO_RPL_DIRS="\"$repo/demo/rpl.dirs\"" -fsanitize=fuzzer,address,undefined
       -fno-sanitize-recover=undefined)

# build OUTPUT MAIN: compiles when a source is newer than OUTPUT.
build() {
  local output=$1 main=$2 newer=no f
  for f in "$main" "${core[@]}" "${headers[@]}"; do [ "$f" -nt "$output" ] && newer=yes; done
  [ $newer = no ] && return 0
  echo "fuzz_run: building $(basename "$output")"
  "$cxx" "${flags[@]}" "$main" "${core[@]}" -o "$output"
}
for target in fuzz_rpldb fuzz_rplcmd; do
  build "$out/$target" "$repo/tests/standins/fuzz/$target.cpp" || exit 1
done

# Seeds: the shipped database, and the RTL8139 card's script (as the tool
# writes rpltemp.bat) after two bytes that ask for no fault, or for a disk
# with room for the new database once (1600 bytes) or not at all (32 bytes).
seeds=$out/seeds-standins
rm -rf "$seeds" && mkdir -p "$seeds/rpldb" "$seeds/rplcmd"
cp "$repo/demo/rpl/rpldb.txt" "$seeds/rpldb/shipped.txt"
script=(V A 00E04C "RTL8139 Netcard(100/10M)"
        B A 00E04CDOS 00E04C 'BBLOCK\NETBEUI\rtsnd\DOSBB.CNF' START00E04CDOS 0
        C A DOS00E04C 00E04CDOS dos dos622 'fits\dos622.fit' 'fits\dos622p.fit' "DOS 6.22 FOR RTL8139" "" ""
        B A 00E04CWIN 00E04C 'BBLOCK\NETBEUI\rtsnd\W95BB.CNF' STARTrtsndWIN 0
        C A WIN00E04C 00E04CWIN dos win95 'fits\win95.fit' 'fits\win95p.fit' "Windows 98SE FOR RTL8139" "" ""
        q)
{ printf '\0\0'; printf '%s\r\n' "${script[@]}"; } >"$seeds/rplcmd/rtl8139.bat"
{ printf '\2\144'; printf '%s\r\n' "${script[@]}"; } >"$seeds/rplcmd/rtl8139-room-once.bat"
{ printf '\2\2'; printf '%s\r\n' "${script[@]}"; } >"$seeds/rplcmd/rtl8139-disk-full.bat"
printf '\0\0q\r\n' >"$seeds/rplcmd/q.bat"

status=0
fuzz_target fuzz_rpldb 8192 "$seeds/rpldb" || status=1
fuzz_target fuzz_rplcmd 8192 "$seeds/rplcmd" || status=1
exit $status
