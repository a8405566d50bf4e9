#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the web page into build/web/ as static files:
#   1. the npm packages of package-lock.json, installed only when node_modules is missing or the
#      lockfile has changed since (so that a build without network works once they are there);
#   2. the core compiled to WebAssembly with emscripten (CMake target orvale_web, in
#      build/web-core);
#   3. the TypeScript checked (tsc) and bundled with the core's module (esbuild): the page into
#      app.js, the batch scorer's worker into batch_worker.js;
#   4. index.html, styles.css, the icon and the core's .wasm beside them;
#   5. the service worker, sw.js, which caches those files for use offline, under a name made of
#      a digest of them (a new build, a new cache).
#   scripts/build-web.sh [OUT [CORE]]     (default build/web and build/web-core)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
out=$(realpath -m "${1:-build/web}")
core=$(realpath -m "${2:-$(dirname "$out")/web-core}")

bash scripts/npm-ci.sh

# emscripten's JavaScript optimiser finds its node modules (acorn) here on Debian.
export NODE_PATH=${NODE_PATH:-/usr/share/nodejs}
mkdir -p "$(dirname "$core")"
toolchain=$root/cmake/toolchains/wasm32-emscripten.cmake
# The toolchain's flags are read into a new cache only: a changed toolchain needs a new one.
if [ "$toolchain" -nt "$core/CMakeCache.txt" ]; then rm -rf "$core/CMakeCache.txt" "$core/CMakeFiles"; fi
if [ ! -f "$core/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$core" -G Ninja -DCMAKE_BUILD_TYPE=MinSizeRel -DORVALE_WITH_QT=OFF \
    -DORVALE_BUILD_TESTS=OFF -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    >"$core.configure.log" 2>&1 || { cat "$core.configure.log"; exit 1; }
fi
cmake --build "$core" -j "$(nproc)" --target orvale_web

node_modules/.bin/tsc -p web/tsconfig.json
node_modules/.bin/tsc -p web/workers/tsconfig.json
mkdir -p "$out"
bundle() {
  node_modules/.bin/esbuild "$1" --bundle --format=esm --target=es2022 --minify \
    --alias:orvale-core="$core/bin/orvale_web.mjs" --outfile="$out/$2" --log-level=warning
}
bundle web/src/main.ts app.js
bundle web/workers/batch_worker.ts batch_worker.js
cp web/index.html web/styles.css "$core/bin/orvale_web.wasm" "$out/"
cp packaging/org.orvale.Orvale.svg "$out/icon.svg"

rm -f "$out/sw.js"
files=(index.html app.js batch_worker.js styles.css orvale_web.wasm icon.svg)
for f in "${files[@]}"; do [ -f "$out/$f" ] || { echo "error: $out/$f is missing" >&2; exit 1; }; done
digest=$(cd "$out" && cat "${files[@]}" | sha256sum | cut -c1-16)
list=$(printf '"%s",' ./ "${files[@]}")
node_modules/.bin/esbuild web/workers/service_worker.ts --bundle --format=iife --target=es2022 --minify \
  --define:CACHE_NAME="\"orvale-$digest\"" --define:PAGE_FILES="[${list%,}]" \
  --outfile="$out/sw.js" --log-level=warning
echo "The web page is in $out"
