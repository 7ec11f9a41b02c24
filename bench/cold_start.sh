#!/bin/bash
# Cold start of the program under Wine, set against a bare Win32 dialog: each
# is started the same way under one running wineserver, by the shell command
# `cd FOLDER && exec wine PROGRAM`, which start_timer (a Win32 program) runs
# and times until the program's window is shown and the program waits for
# input. Beside them runs the same bare dialog with the common controls
# loaded first, as the program loads them: what a start costs before the
# program's own windows. The three take turns, A B C A B C, PAIRS times after
# one warm-up run each; printed are every round, the medians and the medians
# of the rounds' ratios A/B (the figure asked for) and A/C. Not a test:
# timings depend on the machine and its load.
#
# usage: bench/cold_start.sh [BUILD_DIR] [OUT_DIR] [PAIRS]
#   BUILD_DIR  the x86_64 build (default build-win64)
#   OUT_DIR    where the release and the prefix go (default build-bench)
#   PAIRS      default 11
set -uo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$repo/build-win64}" && pwd)
out=${2:-$repo/build-bench}
pairs=${3:-11}
mkdir -p "$out"
out=$(cd "$out" && pwd)
prefix=$out/prefix
die() { echo "cold_start: $*" >&2; exit 1; }

for program in bench/start_timer.exe bench/bare_dialog.exe bench/bare_dialog_cc.exe win32/Server.exe; do
  [ -f "$build/$program" ] || die "no $program in $build (build the x86_64 tree first)"
done
rm -rf "$out/release"
cmake --install "$build" --prefix "$out/release" >/dev/null || die "cannot lay out the release"
KORRIN_PREFIX_CACHE=${KORRIN_PREFIX_CACHE:-$repo/build-wine/prefix-base} \
  "$repo/demo/make_demo.sh" "$prefix" "$out/release" "$build" >"$out/make_demo.log" 2>&1 ||
  die "cannot make the demo prefix (see $out/make_demo.log)"
mkdir -p "$prefix/drive_c/bench"
cp "$build/bench/start_timer.exe" "$build/bench/bare_dialog.exe" "$build/bench/bare_dialog_cc.exe" "$prefix/drive_c/bench/"

. "$repo/demo/wine_session.sh"
locales=$(korrin_locale "$repo") || die "no zh_CN.UTF-8 locale"
korrin_wine_session "$prefix" "$locales" || die "no virtual display"
wine_env=("${WINE_ENV[@]}")

# start_once FOLDER PROGRAM -> its start-up time in ms
start_once() {
  local ms
  ms=$("${wine_env[@]}" wine 'C:\bench\start_timer.exe' "cd '$1' && exec wine '$2'" 2>/dev/null | tr -d '\r')
  [[ $ms =~ ^[0-9]+(\.[0-9]+)?$ ]] || die "$2 was not timed"
  echo "$ms"
}
program=("$prefix/drive_c/Korrin" Server.exe)
bare=("$prefix/drive_c/bench" bare_dialog.exe)
bare_cc=("$prefix/drive_c/bench" bare_dialog_cc.exe)
start_once "${program[@]}" >/dev/null
start_once "${bare[@]}" >/dev/null
start_once "${bare_cc[@]}" >/dev/null

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
: >"$out/pairs.txt"
for i in $(seq "$pairs"); do
  a=$(start_once "${program[@]}") || exit 1
  b=$(start_once "${bare[@]}") || exit 1
  c=$(start_once "${bare_cc[@]}") || exit 1
  echo "$a $b $c" >>"$out/pairs.txt"
  printf 'round %2d: program %7.1f ms  bare dialog %7.1f ms  with common controls %7.1f ms  ratio %.2f\n' \
    "$i" "$a" "$b" "$c" "$(echo "$a $b" | awk '{ print $1 / $2 }')"
done
printf 'median: program %.1f ms, bare dialog %.1f ms, bare dialog with common controls %.1f ms\n' \
  "$(cut -d' ' -f1 "$out/pairs.txt" | median)" "$(cut -d' ' -f2 "$out/pairs.txt" | median)" \
  "$(cut -d' ' -f3 "$out/pairs.txt" | median)"
printf 'median ratio of %d rounds: %.2f against the bare dialog, %.2f against it with common controls\n' "$pairs" \
  "$(awk '{ print $1 / $2 }' "$out/pairs.txt" | median)" "$(awk '{ print $1 / $3 }' "$out/pairs.txt" | median)"
