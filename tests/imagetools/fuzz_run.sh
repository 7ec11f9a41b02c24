#!/bin/bash
# Fuzzes the FAT12 core of the image tools with libFuzzer for a bounded time:
# the unpacker on any image, and the round trip unpack -> pack -> unpack.
# Both are built with clang and -fsanitize=fuzzer,address,undefined in
# build-fuzz/; the seeds are the unit tests' trees packed, images made by
# mtools (long names, lower case, a deleted file, a volume label) and the
# template boot floppy when a native build made it. The corpus grows in
# build-fuzz/corpus-*, so later runs start where earlier ones stopped.
#   tests/imagetools/fuzz_run.sh [SECONDS_PER_TARGET]     (default 30, two targets)
# Without clang or libFuzzer it says so and skips. A finding fails the run and
# leaves the input in build-fuzz/crash-*.
set -uo pipefail
repo=$(cd "$(dirname "$0")/../.." && pwd)
seconds=${1:-30}
. "$repo/tests/fuzz_clang.sh"

core=("$repo"/imagetools/fat12_read.cpp "$repo"/imagetools/fat12_write.cpp
      "$repo"/imagetools/dos_names.cpp)
headers=("$repo"/imagetools/*.h "$repo"/tests/imagetools/fuzz/*.h "$repo"/tests/imagetools/*.h)
flags=(-std=c++17 -O1 -g -I"$repo")

# build OUTPUT MAIN EXTRA_FLAGS...: compiles when a source is newer than OUTPUT.
build() {
  local output=$1 main=$2
  shift 2
  local newer=no f
  for f in "$main" "${core[@]}" "${headers[@]}"; do [ "$f" -nt "$output" ] && newer=yes; done
  [ $newer = no ] && return 0
  echo "fuzz_run: building $(basename "$output")"
  "$cxx" "${flags[@]}" "$@" "$main" "${core[@]}" -o "$output"
}
sanitize=(-fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined)
build "$out/fuzz_unpack" "$repo/tests/imagetools/fuzz/fuzz_unpack.cpp" "${sanitize[@]}" || exit 1
build "$out/fuzz_round_trip" "$repo/tests/imagetools/fuzz/fuzz_round_trip.cpp" "${sanitize[@]}" || exit 1
build "$out/fuzz_seeds" "$repo/tests/imagetools/fuzz/fuzz_seeds.cpp" || exit 1

# Seeds, with their trailing zero bytes left off as the targets expect.
seeds=$out/seeds
rm -rf "$seeds" && mkdir -p "$seeds"
"$out/fuzz_seeds" "$seeds" || exit 1
trim() { python3 -c 'import sys; d=open(sys.argv[1],"rb").read().rstrip(b"\0"); open(sys.argv[2],"wb").write(d)' "$1" "$2"; }
if command -v mformat >/dev/null && command -v mcopy >/dev/null; then
  export MTOOLS_SKIP_CHECK=1
  m=$out/mtools
  rm -rf "$m" && mkdir -p "$m/tree/Sub dir/deeper"
  printf 'long\r\n' >"$m/tree/A long file name.txt"
  printf 'lower\r\n' >"$m/tree/lower.txt"
  head -c 3000 /dev/zero | tr '\0' 'x' >"$m/tree/Sub dir/big file.bin"
  printf 'gone\r\n' >"$m/tree/GONE.TXT"
  printf 'deep\r\n' >"$m/tree/Sub dir/deeper/N.TXT"
  mformat -C -f 1440 -v FUZZSEED -i "$m/m.img" :: &&
    mcopy -s -i "$m/m.img" "$m/tree/"* :: && mdel -i "$m/m.img" ::GONE.TXT &&
    trim "$m/m.img" "$seeds/mtools.img"
fi
[ -f "$repo/build/imagetools/bootimg.w98" ] && trim "$repo/build/imagetools/bootimg.w98" "$seeds/bootimg.img"
echo "fuzz_run: $(ls "$seeds" | wc -l) seeds: $(ls "$seeds" | tr '\n' ' ')"

status=0
fuzz_target fuzz_unpack 1474561 "$seeds" || status=1
fuzz_target fuzz_round_trip 1474561 "$seeds" || status=1
exit $status
