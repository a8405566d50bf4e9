#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the npm packages of package-lock.json (the page's build tools and the browser tests'
# driver) with `npm ci`, only when node_modules is missing or the lockfile has changed since the
# last install: a build with the packages in place needs no network.
set -euo pipefail
cd "$(dirname "$0")/.."
stamp=node_modules/.orvale-package-lock.json
if [ -f "$stamp" ] && cmp -s package-lock.json "$stamp"; then
  exit 0
fi
npm ci --no-audit --no-fund
cp package-lock.json "$stamp"
