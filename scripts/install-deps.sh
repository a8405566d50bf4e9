#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages that ORVALE needs for one kind of work, only those missing:
#   install-deps.sh build    compile and run the two programs (make build, make run)
#   install-deps.sh test     build plus the test suite's tools (make test), the web page's
#                            included (emscripten, node with npm, Chromium)
#   install-deps.sh web      the web page (make web, make web-run)
#   install-deps.sh bench    build plus Google Benchmark, and the web page with Chromium (make
#                            bench)
#   install-deps.sh package  build plus the Debian packaging tools (make package)
#   install-deps.sh fuzz     build plus clang and its fuzzing runtime (make fuzz)
#   install-deps.sh format   clang-format (make format)
#   install-deps.sh platforms  the Qt-free build for arm64 (qemu), WebAssembly (node) and win64
#                            (wine) beside the native one (make platforms)
# Runs apt-get update once before installing; waits for another apt run to finish.
set -euo pipefail

profile=${1:-test}

build=(
  g++ cmake ninja-build make
  nlohmann-json3-dev
  qt6-base-dev qt6-svg-dev
  libcli11-dev
  fonts-liberation
)
test_only=(
  libgtest-dev libboost-math-dev
  xvfb xauth
  appstream desktop-file-utils
  locales
  fuse3 libfuse3-dev
  poppler-utils unzip
  at-spi2-core python3-pyatspi dbus-x11
)
web=(
  cmake ninja-build make python3 nlohmann-json3-dev libcli11-dev
  emscripten libfmt-dev nodejs
)
case "$profile" in
  build) packages=("${build[@]}") ;;
  test) packages=("${build[@]}" "${test_only[@]}" "${web[@]}" chromium) ;;
  web) packages=("${web[@]}") ;;
  bench) packages=("${build[@]}" libbenchmark-dev "${web[@]}" chromium) ;;
  package) packages=("${build[@]}" dpkg-dev file help2man lintian fakeroot) ;;
  fuzz) packages=("${build[@]}" clang libclang-rt-dev) ;;
  format) packages=(clang-format) ;;
  platforms)
    packages=(g++ cmake ninja-build make python3 nlohmann-json3-dev libcli11-dev
      libgtest-dev libboost-math-dev
      g++-aarch64-linux-gnu qemu-user emscripten libfmt-dev nodejs g++-mingw-w64-x86-64-posix wine wine64)
    ;;
  *)
    echo "usage: $0 build|test|bench|package|fuzz|format|platforms|web" >&2
    exit 2
    ;;
esac

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
# Debian's nodejs comes without npm, which is a package of its own; other builds of nodejs
# bring their own npm (and may not take Debian's).
if [[ " ${packages[*]} " == *" nodejs "* ]] && ! command -v npm >/dev/null 2>&1; then
  missing+=(npm)
fi

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
  sudo_cmd=()
elif command -v sudo >/dev/null 2>&1; then
  sudo_cmd=(sudo)
else
  echo "error: need root or sudo to install: ${missing[*]}" >&2
  echo "Run this step as root, then the command again:" >&2
  echo "  su -c 'bash scripts/install-deps.sh $profile'" >&2
  exit 1
fi

# Fresh machines often run their own apt at first boot: wait for its lock instead of failing.
apt_options=(-o DPkg::Lock::Timeout=600)
"${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get "${apt_options[@]}" update
"${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get "${apt_options[@]}" install -y --no-install-recommends "${missing[@]}"
