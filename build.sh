#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# The first command on a bare Debian or Ubuntu machine: installs make and bash when they are
# missing, then runs the make target named, which installs the rest it needs.
#   sh build.sh run     build and start the desktop program
#   sh build.sh test    build and run every test
set -eu
cd "$(dirname "$0")"

missing=""
command -v make >/dev/null 2>&1 || missing="$missing make"
command -v bash >/dev/null 2>&1 || missing="$missing bash"
if [ -n "$missing" ]; then
  echo "Installing:$missing"
  if [ "$(id -u)" -eq 0 ]; then
    as_root=""
  elif command -v sudo >/dev/null 2>&1; then
    as_root="sudo"
  else
    echo "error: need root or sudo to install:$missing" >&2
    profile=test
    [ "${1:-}" = run ] && profile=build
    echo "Run this step as root, then the command again:" >&2
    echo "  su -c 'apt-get -o DPkg::Lock::Timeout=600 update && apt-get -o DPkg::Lock::Timeout=600 install -y$missing && bash scripts/install-deps.sh $profile'" >&2
    exit 1
  fi
  $as_root env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 update
  # shellcheck disable=SC2086
  $as_root env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 \
    install -y --no-install-recommends $missing
fi
exec make "$@"
