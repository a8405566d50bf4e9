#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Saves docs/worksheet.png, docs/results.png and docs/chart.png: the real windows with a sample
# case, drawn by the screenshot tool (tests/tools/screenshots.cpp, built with the tests) under a
# virtual X server; then the worksheet at twice the scale (docs/worksheet-scaled.png) and with the
# font at 150% (docs/worksheet-large-font.png).
# Usage: scripts/screenshots.sh BUILD_DIR
set -euo pipefail

build_dir="${1:?usage: $0 BUILD_DIR}"
root="$(cd "$(dirname "$0")/.." && pwd)"
command -v xvfb-run >/dev/null || { echo "error: xvfb-run is missing (package xvfb)" >&2; exit 1; }
# The tool is built with the tests: turn them on in the build folder and build just the tool.
cmake -S "$root" -B "$build_dir" -DORVALE_BUILD_TESTS=ON >/dev/null
cmake --build "$build_dir" --target orvale_screenshots >/dev/null
tool="$build_dir/bin/orvale_screenshots"
[ -x "$tool" ] || { echo "error: $tool not built" >&2; exit 1; }

mkdir -p "$root/docs"
# The tool writes the pictures into the folder and ends; its data file goes to a scratch folder,
# so the screenshots never touch a real previous-data file.
timeout 60 xvfb-run -a -s "-screen 0 1280x1024x24" "$tool" "$root/docs"
# The worksheet at QT_SCALE_FACTOR=2 on a screen large enough for it, and with the fonts at
# 144 dots per inch (150%); each run writes into a scratch folder, its worksheet is kept.
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
QT_SCALE_FACTOR=2 timeout 60 xvfb-run -a -s "-screen 0 2560x1600x24" "$tool" "$scratch"
mv "$scratch/worksheet.png" "$root/docs/worksheet-scaled.png"
QT_FONT_DPI=144 timeout 60 xvfb-run -a -s "-screen 0 1600x1200x24" "$tool" "$scratch"
mv "$scratch/worksheet.png" "$root/docs/worksheet-large-font.png"
for picture in worksheet results chart worksheet-scaled worksheet-large-font; do
  [ -s "$root/docs/$picture.png" ] || { echo "error: docs/$picture.png was not written" >&2; exit 1; }
  echo "docs/$picture.png"
done
