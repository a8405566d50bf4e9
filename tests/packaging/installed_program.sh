#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The programs as installed under a staging prefix, run as root and as an ordinary user: --help
# and --version answer without a display, orvale without a display (or with one that nothing
# serves) gives its hint and status 2, and the scores are kept in the user's own folder, never
# beside the installed executable, unless a portable copy already keeps them there.
# Usage: installed_program.sh BUILD_DIR
set -euo pipefail
build=${1:?usage: $0 BUILD_DIR}
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
chmod 755 "$stage"
cmake --install "$build" --prefix "$stage/usr" >/dev/null
bin="$stage/usr/bin"
failures=0
check() {  # description, command...
  local what=$1
  shift
  if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; failures=$((failures + 1)); fi
}

# As the user running the test (root in CI) and as an ordinary user with a home of its own.
home="$stage/home"
mkdir -p "$home"
chown nobody "$home" 2>/dev/null || true
as_user() { env -i PATH=/usr/bin:/bin HOME="$home" "$@"; }
if [ "$(id -u)" -eq 0 ]; then
  as_nobody() { setpriv --reuid=nobody --regid=nogroup --clear-groups env -i PATH=/usr/bin:/bin HOME="$home" "$@"; }
  users=(as_user as_nobody)
else
  users=(as_user)
fi

stale=90
while [ -e "/tmp/.X11-unix/X$stale" ] || [ -e "/tmp/.X$stale-lock" ]; do stale=$((stale + 1)); done
check "orvale-score --version" test "$("$bin/orvale-score" --version)" = "orvale-score $(sed -n 's/^project(orvale VERSION \([0-9.]*\).*/\1/p' "$(dirname "$0")/../../CMakeLists.txt")"
check "orvale --version" test "$(as_user "$bin/orvale" --version | cut -d' ' -f1)" = "orvale"
# Qt's own options are passed on to Qt; an option neither knows is refused.
check "orvale -style fusion --version" test "$(as_user "$bin/orvale" -style fusion --version | cut -d' ' -f1)" = "orvale"
check "orvale starts with Qt's options" as_user env ORVALE_QUIT_AFTER_SHOW=1 "$bin/orvale" -platform offscreen -style=fusion -reverse
set +e
as_user "$bin/orvale" --bogus >/dev/null 2>"$stage/refused"
status=$?
set -e
check "an unknown option gives status 2" test "$status" -eq 2
check "an unknown option is named" grep -q "Unknown option 'bogus'" "$stage/refused"
for run in "${users[@]}"; do
  help=$("$run" "$bin/orvale" --help)
  check "$run: scores in the user's folder" grep -qx "  $home/.local/share/orvale/orvale.txt" <<<"$help"
  set +e
  "$run" "$bin/orvale" >/dev/null 2>"$stage/hint"
  status=$?
  set -e
  check "$run: no display gives status 2" test "$status" -eq 2
  check "$run: no display points to orvale-score" grep -q "orvale-score 10 10" "$stage/hint"
  # A display that nothing serves (a stale DISPLAY) gets the hint too, not Qt's abort.
  set +e
  "$run" env DISPLAY=":$stale" "$bin/orvale" >/dev/null 2>"$stage/hint"
  status=$?
  set -e
  check "$run: a stale display gives status 2" test "$status" -eq 2
  check "$run: a stale display is named" grep -q "The display \":$stale\" could not be opened" "$stage/hint"
done
check "nothing written beside the executable" test "$(ls "$bin")" = "$(printf 'orvale\norvale-score')"
# A portable copy: a data file already beside the program keeps being used.
echo "9 9 9 9 9 9 9 9 " >"$bin/orvale.txt"
help=$(as_user "$bin/orvale" --help)
check "portable data file is used" grep -qx "  $bin/orvale.txt" <<<"$help"

if [ "$failures" -ne 0 ]; then exit 1; fi
echo "installed program: all checks passed"
