#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The Windows build under wine: the writer's and reader's guarantees (whole_file_test.exe, with
# symbolic links made on the Linux side, which wine shows as the files they name, and a small
# full tmpfs when this runs as root), then orvale-score.exe against the native build on input
# with CR LF line ends, from a file and from standard input, to standard output and to files,
# byte for byte. Run by scripts/platforms.sh:
#   tests/win32/run_under_wine.sh WIN64_BIN NATIVE_BIN
set -uo pipefail

win=$(cd "$1" && pwd)
native=$(cd "$2" && pwd)
export WINEDEBUG=${WINEDEBUG:--all}
scratch=$(mktemp -d /tmp/orvale-wine-XXXXXX)
full=$scratch/full
cleanup() {
  mountpoint -q "$full" && umount "$full"
  rm -rf "$scratch"
}
trap cleanup EXIT
passed=0
failed=0
check() {  # NAME, then the command whose success is the check
  local name=$1
  shift
  if "$@"; then
    echo "PASS $name"
    passed=$((passed + 1))
  else
    echo "FAIL $name"
    failed=$((failed + 1))
  fi
}

mkdir -p "$scratch/links" "$full"
printf 'old content\n' >"$scratch/links/target-through.txt"
printf 'old content\n' >"$scratch/links/target-replace.txt"
ln -s target-through.txt "$scratch/links/link-through"
ln -s target-replace.txt "$scratch/links/link-replace"
# 64 KiB, less than the 200 kB the full-disk row writes; mounting needs root.
full_argument=()
if mount -t tmpfs -o size=64k tmpfs "$full" 2>/dev/null; then
  full_argument=("$full")
fi
(cd "$scratch" && wine "$win/whole_file_win32_test.exe" "$scratch" "${full_argument[@]}")
test_status=$?
# What wine cannot show the program: the links themselves.
check "the link written through is still a link to its target" \
  test "$(readlink "$scratch/links/link-through")" = target-through.txt
check "the link replaced is a regular file now, its target untouched" \
  bash -c '[ -f "$1/link-replace" ] && [ ! -L "$1/link-replace" ] &&
    [ "$(cat "$1/target-replace.txt")" = "old content" ]' _ "$scratch/links"

# orvale-score: the same bytes as the native build's, CR LF input read the same way.
cd "$scratch"
printf 'id,BD,SI,DS,CD,VO,LN,MR,SS\r\n1,10,11,9,12,8,10,13,7\r\n2,19,1,10.5,7,x,10,10,10\r\n3,5,6,7,8,9,10,11,12\r\n' \
  >"cases crlf.csv"
printf '{"schema": 1, "entries": {"BD": "12", "SI": "9", "DS": "10", "CD": "11", "VO": "8",\r\n "LN": "10", "MR": "13", "SS": "9"}, "options": {"ci": 90, "method": "glutting",\r\n "differences": "true", "bonferroni": true, "gai": true, "abnormal": 10},\r\n "notes": "first line\\r\\nsecond line"}\r\n' \
  >"case crlf.orvale"
# Runs one build (its command, then the arguments) with the CSV on standard input and out.txt
# holding "old" first; prints its output, standard error, exit status and out.txt.
run_side() {
  printf 'old\n' >out.txt
  "$@" <"cases crlf.csv" >stdout.txt 2>stderr.txt
  echo "status $?"
  od -c stdout.txt stderr.txt out.txt
}
same() {  # NAME, ARGUMENTS...
  local name=$1
  shift
  check "orvale-score $name: as the native build" \
    test "$(run_side "$native/orvale-score" "$@")" = "$(run_side wine "$win/orvale-score.exe" "$@")"
}
same "batch from a file" --jobs 2 --batch "cases crlf.csv"
same "batch from standard input" --batch - --format jsonl
same "batch to --output" --batch "$scratch/cases crlf.csv" --output out.txt
same "case file replacing --output" --case "case crlf.orvale" --output out.txt
same "case file as JSON" --case "$scratch/case crlf.orvale" --format json
same "case file's chart as SVG" --case "case crlf.orvale" --format svg
check "orvale-score --output NUL: written through, no file made" bash -c \
  'wine "$1/orvale-score.exe" --output NUL 10 10 10 10 10 10 10 10 >stdout.txt &&
    [ ! -s stdout.txt ] && [ -z "$(ls | grep -i "^nul")" ]' _ "$win"
cp "cases crlf.csv" "f$(printf '\xc3\xa4')lle.csv"
same "a UTF-8 file name" --batch "f$(printf '\xc3\xa4')lle.csv"
# The report follows the regional settings' decimal separator, as on Linux; the batch CSV never.
check "a German user's report has decimal commas, the batch CSV full stops" bash -c \
  'LC_ALL=de_DE.UTF-8 wine "$1/orvale-score.exe" 10 10 10 10 10 10 10 10 | grep -q "50,0 " &&
    LC_ALL=de_DE.UTF-8 wine "$1/orvale-score.exe" --batch "cases crlf.csv" | grep -q "\.[0-9]"' \
  _ "$win"

echo "$passed passed, $failed failed"
[ "$test_status" -eq 0 ] && [ "$failed" -eq 0 ]
