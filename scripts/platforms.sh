#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Qt-free orvale-score, report_corpus and the core's test suites for every platform the
# program is checked on, runs those suites on each (under its emulator), and compares the outputs
# of all builds over a corpus of cases (scripts/score_corpus.py): every output must be
# byte-identical to the native build's.
#   scripts/platforms.sh [CASES]     (default 20000)
# The builds go to build/platforms/<name>:
#   native  x86-64, long double (the x87 format)
#   soft    x86-64 with the software extended type
#   arm64   64-bit ARM Linux, run with qemu-aarch64 -L /usr/aarch64-linux-gnu
#   wasm    WebAssembly, run with node (bin/orvale-score.js)
#   win64   64-bit Windows, statically linked, run with wine (bin/orvale-score.exe); its file
#           writer and reader are tested under wine as well (tests/win32/run_under_wine.sh)
# Fails when a build or a test fails, or when any output differs.
set -euo pipefail

cases=${1:-20000}
root=$(cd "$(dirname "$0")/.." && pwd)
out=$root/build/platforms
toolchains=$root/cmake/toolchains
jobs=$(nproc)
common=(-G Ninja -DCMAKE_BUILD_TYPE=Release -DORVALE_WITH_QT=OFF -DORVALE_BUILD_CORPUS_TOOL=ON)
if command -v ccache >/dev/null 2>&1; then
  common+=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
# emscripten's JavaScript optimiser finds its node modules (acorn) here on Debian.
export NODE_PATH=${NODE_PATH:-/usr/share/nodejs}
# wine keeps its own Windows folder here, made at its first start (which takes a few seconds).
export WINEPREFIX=$out/wine-prefix WINEDEBUG=-all

# Each build once: name, then its CMake arguments. The native build's suites already run in
# `make test`; the others run the core's suites (numeric, engine, report, batch) here.
build() {
  local name=$1
  shift
  echo "== building $name"
  # A toolchain's flags are read into a new cache only: a changed toolchain needs a new one.
  local argument
  for argument in "$@"; do
    if [[ $argument == -DCMAKE_TOOLCHAIN_FILE=* && ${argument#*=} -nt $out/$name/CMakeCache.txt ]]; then
      rm -rf "$out/$name/CMakeCache.txt" "$out/$name/CMakeFiles"
    fi
  done
  cmake -S "$root" -B "$out/$name" "${common[@]}" "$@" >"$out/$name.configure.log" 2>&1 ||
    { cat "$out/$name.configure.log"; return 1; }
  cmake --build "$out/$name" -j "$jobs" --target orvale-score report_corpus "${core_tests[@]}"
}

suites() {
  local name=$1
  echo "== the core's tests on $name"
  (cd "$out/$name" && ctest --output-on-failure -L core -j "$jobs")
}

mkdir -p "$out"
core_tests=()
build native -DORVALE_BUILD_TESTS=OFF
core_tests=(numeric_tests engine_tests report_tests batch_tests)
build soft -DORVALE_BUILD_TESTS=ON -DORVALE_SOFT_EXTENDED=ON
build arm64 -DORVALE_BUILD_TESTS=ON -DCMAKE_TOOLCHAIN_FILE="$toolchains/aarch64-linux-gnu.cmake" \
  -DCMAKE_EXE_LINKER_FLAGS=-static
build wasm -DORVALE_BUILD_TESTS=ON -DCMAKE_TOOLCHAIN_FILE="$toolchains/wasm32-emscripten.cmake" \
  -DCMAKE_CXX_COMPILER_LAUNCHER=
build win64 -DORVALE_BUILD_TESTS=ON -DCMAKE_TOOLCHAIN_FILE="$toolchains/x86_64-w64-mingw32.cmake" \
  -DCMAKE_EXE_LINKER_FLAGS=-static
cmake --build "$out/win64" -j "$jobs" --target whole_file_win32_test

suites soft
suites arm64
suites wasm
# Parallel wine programs that each start the server themselves can race while the prefix is made
# ("wine: chdir to /tmp/wine-.../server-...: No such file or directory"). Make the prefix once and
# keep one server for every wine program below.
echo "== preparing wine"
mkdir -p "$WINEPREFIX"
# A server left by an interrupted run would refuse to start a second one: end it first. The
# server ends on its own after five idle minutes, should this script end without its trap.
wineserver --kill >/dev/null 2>&1 || true
wineserver --persistent=300
trap 'wineserver --kill >/dev/null 2>&1 || true' EXIT
wineboot --init >/dev/null 2>&1 || { echo "wine could not make its prefix in $WINEPREFIX" >&2; exit 1; }
suites win64
echo "== the Windows writer and orvale-score under wine"
bash "$root/tests/win32/run_under_wine.sh" "$out/win64/bin" "$out/native/bin"

echo "== the corpus: $cases cases"
# The WebAssembly build has no threads: batch scoring on the calling thread.
python3 "$root/scripts/score_corpus.py" --cases "$cases" \
  --runner "arm64=qemu-aarch64 -L /usr/aarch64-linux-gnu" \
  --runner wasm=node --suffix wasm=.js --jobs wasm=1 --runner win64=wine --suffix win64=.exe \
  native="$out/native/bin" soft="$out/soft/bin" arm64="$out/arm64/bin" wasm="$out/wasm/bin" \
  win64="$out/win64/bin"
