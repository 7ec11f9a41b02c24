# Sourced by the fuzz_run.sh scripts: sets `cxx` (FUZZ_CXX or clang++) and
# `out` (build-fuzz/), and ends the calling script with status 0 and a word
# when clang cannot link libFuzzer with the sanitizers here. Gives them
# fuzz_target, which runs one built target.
out=$repo/build-fuzz
cxx=${FUZZ_CXX:-clang++}
if ! command -v "$cxx" >/dev/null; then
  echo "fuzz_run: skipped: $cxx is not installed (Debian: clang libclang-rt-14-dev)"
  exit 0
fi
mkdir -p "$out"
printf 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }\n' \
  >"$out/probe.cpp"
if ! "$cxx" -fsanitize=fuzzer,address,undefined "$out/probe.cpp" -o "$out/probe" 2>/dev/null; then
  echo "fuzz_run: skipped: $cxx cannot link libFuzzer with the sanitizers (Debian: libclang-rt-14-dev)"
  exit 0
fi

# fuzz_target TARGET MAX_LEN SEEDS: runs $out/TARGET for $seconds seconds on
# its corpus and the seeds, and prints one line; on a fault, the crash input's
# place and the sanitizer's lines, and status 1.
fuzz_target() {
  local target=$1 corpus=$out/corpus-${1#fuzz_} log=$out/$1.log rc runs cov
  mkdir -p "$corpus"
  ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    "$out/$target" -max_total_time="$seconds" -max_len="$2" -rss_limit_mb=2048 -timeout=10 \
    -print_final_stats=1 -artifact_prefix="$out/crash-${target#fuzz_}-" "$corpus" "$3" >"$log" 2>&1
  rc=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  cov=$(grep -o 'cov: [0-9]*' "$log" | tail -1)
  if [ $rc -eq 0 ]; then
    echo "fuzz_run: $target: ${seconds} s, ${runs:-?} runs, $cov, corpus $(ls "$corpus" | wc -l), nothing found"
    return 0
  fi
  echo "fuzz_run: $target FOUND A FAULT (exit $rc); input in $out/crash-${target#fuzz_}-*:"
  grep -E 'ERROR|SUMMARY|runtime error|deadly signal|Test unit written' "$log" | head -10
  return 1
}
