#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs every fuzz target of a fuzz build for a bounded time each, starting from its seed corpus in
# fuzz/corpus/<name>/ (the seeds, inputs that once broke something among them, run first).
# New inputs go to a scratch corpus in the build folder, never into the repository; a finding
# leaves its input in BUILD/artifacts/ and fails the run.
# Usage: run-fuzz.sh BUILD_DIR [SECONDS_PER_TARGET]
set -euo pipefail

build=${1:?usage: run-fuzz.sh BUILD_DIR [SECONDS]}
seconds=${2:-30}
root="$(cd "$(dirname "$0")/.." && pwd)"
mkdir -p "$build/artifacts" "$build/logs"

passed=0
failed=0
shopt -s nullglob
targets=("$build"/bin/fuzz_*)
if [ ${#targets[@]} -eq 0 ]; then
  echo "run-fuzz: no fuzz targets in $build/bin" >&2
  exit 1
fi
for target in "${targets[@]}"; do
  name=$(basename "$target")
  name=${name#fuzz_}
  seeds="$root/fuzz/corpus/$name"
  scratch="$build/corpus/$name"
  mkdir -p "$scratch"
  log="$build/logs/$name.log"
  if "$target" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 -max_len=4096 \
      -artifact_prefix="$build/artifacts/$name-" "$scratch" "$seeds" >"$log" 2>&1; then
    runs=$(grep -o 'Done [0-9]* runs' "$log" | tail -1 || true)
    echo "fuzz $name: ok (${runs:-no summary})"
    passed=$((passed + 1))
  else
    echo "fuzz $name: FAILED; the last lines of $log:"
    tail -n 40 "$log"
    failed=$((failed + 1))
  fi
done
echo "fuzz: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
