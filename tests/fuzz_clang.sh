# Sourced by the fuzz_run.sh scripts: sets `cxx` (FUZZ_CXX or clang++) and
# `out` (build-fuzz/), and ends the calling script with status 0 and a word
# when clang cannot link libFuzzer with the sanitizers here.
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
