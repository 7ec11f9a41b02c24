#!/bin/bash
# Builds the three trees (native, x86_64, i686) and runs every test: the unit
# tests, the Windows NT 4.0 import check of the 32-bit release folder, and the
# end-to-end run of the program under Wine (screenshots in build-e2e/screenshots).
set -euo pipefail
repo=$(cd "$(dirname "$0")" && pwd)
cd "$repo"
. demo/packages.sh

korrin_need_packages test

step() { echo; echo "=== $*"; }

step "the package list and the waits of the end-to-end run"
tests/demo/setup_test.sh

step "native build and unit tests"
cmake -S . -B build -DBUILD_TESTING=ON >/dev/null
cmake --build build -j2
ctest --test-dir build --output-on-failure --no-tests=error -j2
step "the simulated administrator for a minute (ADMIN_SEED=SEED ADMIN_ROUNDS=1 replays a round)"
ADMIN_SECONDS=${ADMIN_SECONDS:-60} build/tests/admin/admin_tests --gtest_filter='SimulatedAdministrator.*' --gtest_brief=1
step "fuzzing the image tools for a minute"; tests/imagetools/fuzz_run.sh 30
step "fuzzing the Remoteboot database reader and rplcmd"; tests/standins/fuzz_run.sh 20

host_rplimage=
[ -x build/imagetools/rplimage ] && host_rplimage=$repo/build/imagetools/rplimage

# windows_build TITLE TOOLCHAIN BUILD_DIR RELEASE_DIR
windows_build() {
  step "$1 ($4)"
  cmake -S . -B "$3" -DCMAKE_TOOLCHAIN_FILE="$2" -DIMAGE_TOOLS_HOST_RPLIMAGE="$host_rplimage" >/dev/null
  cmake --build "$3" -j2
  rm -rf "$4"
  cmake --install "$3" --prefix "$4" >/dev/null
}
windows_build "64-bit Windows build" cmake/mingw-x86_64.cmake build-win64 dist/win64
windows_build "32-bit Windows build for NT 4.0" cmake/mingw-i686.cmake build-win32 dist/win32

step "Windows NT 4.0 imports"
tests/nt4/check_imports_test.sh
tests/nt4/check_imports.sh dist/win32

step "end to end under Wine"
tests/e2e/run_e2e.sh build-win64 build-e2e

echo
echo "all tests passed"
