#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Qt-free orvale-score and report_corpus for x86-64 with the software extended type,
# 64-bit ARM (run under qemu), WebAssembly (run by node) and 64-bit Windows (run under wine), and
# compares the outputs of each with the native build's over a corpus of random cases
# (scripts/score_corpus.py); then tests the Windows writer under wine
# (tests/win32/run_under_wine.sh). Not part of CI.
#   scripts/platforms.sh [CASES]     (default 2000)
# Builds go to build/platforms/{native,soft,arm64,wasm,win64}. Fails when a build fails or any output differs.
set -euo pipefail

cases=${1:-2000}
root=$(cd "$(dirname "$0")/.." && pwd)
out=$root/build/platforms
jobs=$(nproc)
common=(-G Ninja -DCMAKE_BUILD_TYPE=Release -DORVALE_WITH_QT=OFF -DORVALE_BUILD_TESTS=OFF
  -DORVALE_BUILD_CORPUS_TOOL=ON)
if command -v ccache >/dev/null 2>&1; then
  common+=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
# emscripten's JavaScript optimiser finds its node modules (acorn) here on Debian.
export NODE_PATH=${NODE_PATH:-/usr/share/nodejs}
# wine keeps its own Windows folder here, made at its first start (which takes a few seconds).
export WINEPREFIX=$out/wine-prefix WINEDEBUG=-all

build() {
  local name=$1
  shift
  echo "== building $name"
  cmake -S "$root" -B "$out/$name" "${common[@]}" "$@" >"$out/$name.configure.log" 2>&1 ||
    { cat "$out/$name.configure.log"; return 1; }
  cmake --build "$out/$name" -j "$jobs" --target orvale-score report_corpus
}

mkdir -p "$out"
build native
build soft -DORVALE_SOFT_EXTENDED=ON
build arm64 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchains/aarch64-linux-gnu.cmake" \
  -DCMAKE_EXE_LINKER_FLAGS=-static
build wasm -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchains/wasm32-emscripten.cmake" \
  -DCMAKE_CXX_COMPILER_LAUNCHER=
build win64 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchains/x86_64-w64-mingw32.cmake" \
  -DCMAKE_EXE_LINKER_FLAGS=-static
cmake --build "$out/win64" -j "$jobs" --target whole_file_win32_test

status=0
compare() {
  local name=$1
  shift
  echo "== native against $name, $cases cases"
  local report
  report=$(python3 "$root/scripts/score_corpus.py" --cases "$cases" "$@" "$out/native/bin" \
    "$out/$name/bin")
  echo "$report"
  # Every output identical: no figure differs and every count reads "N of N".
  if echo "$report" | grep -Eq '[1-9][0-9]* differ$' ||
    echo "$report" | grep -Eo '[0-9]+ of [0-9]+' | awk '$1 != $3 { bad = 1 } END { exit !bad }'; then
    echo "$name: outputs differ from the native build's" >&2
    status=1
  fi
}

compare soft
compare arm64 --runner-second "qemu-aarch64 -L /usr/aarch64-linux-gnu"
# The WebAssembly build has no threads: batch scoring on the calling thread.
compare wasm --jobs 1 --runner-second node --suffix-second .js
compare win64 --runner-second wine --suffix-second .exe
echo "== the Windows writer and orvale-score under wine"
bash "$root/tests/win32/run_under_wine.sh" "$out/win64/bin" "$out/native/bin" || status=1
exit $status
