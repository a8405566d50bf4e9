#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Saves docs/worksheet.png, docs/results.png and docs/chart.png: the real windows with a sample
# case, drawn by the program itself under a virtual X server. Usage: scripts/screenshots.sh BUILD_DIR
set -euo pipefail

build_dir="${1:?usage: $0 BUILD_DIR}"
root="$(cd "$(dirname "$0")/.." && pwd)"
program="$build_dir/bin/orvale"
[ -x "$program" ] || { echo "error: $program not built" >&2; exit 1; }
command -v xvfb-run >/dev/null || { echo "error: xvfb-run is missing (package xvfb)" >&2; exit 1; }

mkdir -p "$root/docs"
# The program writes the pictures into the folder and ends; its data file goes to a scratch
# folder, so the screenshots never touch a real previous-data file.
ORVALE_SCREENSHOT="$root/docs" timeout 60 \
  xvfb-run -a -s "-screen 0 1280x1024x24" "$program"
for picture in worksheet results chart; do
  [ -s "$root/docs/$picture.png" ] || { echo "error: docs/$picture.png was not written" >&2; exit 1; }
  echo "docs/$picture.png"
done
