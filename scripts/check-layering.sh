#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Checks that every #include "folder/file.h" between source folders points down the layering
# drawn in docs/desktop-program.md: a folder may include its own headers and those of the folders
# listed for it in `allowed` below; anything else (a folder reaching up or sideways) is reported
# with its file and line, and the check fails. The portable core and src/files may include no Qt
# header at all.
# Usage: check-layering.sh [SRC_DIR]   (default: the src folder beside this script)
set -euo pipefail

src=${1:-"$(dirname "$0")/../src"}

declare -A allowed=(
  [numeric]=""
  [engine]="numeric"
  [report]="engine numeric"
  [batch]="report engine numeric"
  [files]="batch report engine numeric"
  [documents]="report engine numeric"
  [desktop]="documents files report engine numeric"
  [viewer]="desktop documents files report engine numeric"
  [matrix_entry]="desktop files report engine numeric"
  [app]="viewer matrix_entry desktop documents files batch report engine numeric"
  [cli]="documents files batch report engine numeric"
  [program]="app viewer matrix_entry desktop documents files batch report engine numeric"
)

# The portable core and src/files build without Qt: none of their files may include a Qt header.
qt_free="numeric engine report batch files"

# The folder a path (relative to src) belongs to.
folder_of() {
  case "$1" in
    */*) echo "${1%%/*}" ;;
    *) echo "" ;;
  esac
}

status=0
checked=0
while IFS= read -r -d '' file; do
  rel=${file#"$src"/}
  own=$(folder_of "$rel")
  if [ -z "${allowed[$own]+set}" ]; then
    echo "$rel: folder '$own' has no place in the layering (add it to $0)"
    status=1
    continue
  fi
  while IFS=: read -r line header; do
    target=$(folder_of "$header")
    [ -z "$target" ] && continue
    [ "$target" = "$own" ] && continue
    if [[ " ${allowed[$own]} " != *" $target "* ]]; then
      echo "$rel:$line: includes $header: '$own' may use only: ${allowed[$own]:-(nothing)}"
      status=1
    fi
  done < <(grep -n -o -E '^[[:space:]]*#[[:space:]]*include[[:space:]]+"[^"]+"' "$file" |
    sed -E 's/^([0-9]+):.*"([^"]+)"/\1:\2/')
  if [[ " $qt_free " == *" $own "* ]]; then
    while IFS=: read -r line header; do
      echo "$rel:$line: includes $header: '$own' builds without Qt"
      status=1
    done < <(grep -n -o -E '^[[:space:]]*#[[:space:]]*include[[:space:]]+<Q[A-Za-z]*>' "$file" |
      sed -E 's/^([0-9]+):.*<([^>]+)>/\1:\2/')
  fi
  checked=$((checked + 1))
done < <(find "$src" -type f \( -name '*.cpp' -o -name '*.h' \) -print0)

if [ "$checked" -eq 0 ]; then
  echo "no source files found under $src"
  exit 1
fi
if [ "$status" -eq 0 ]; then
  echo "layering: $checked files, every include points down"
fi
exit "$status"
