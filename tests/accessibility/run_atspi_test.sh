#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs the desktop program under Xvfb on its own session bus with the accessibility bus, and walks
# it with walk_worksheet.py as a screen reader would. Skips (exit 77) with the reason when a piece
# of that set-up is missing or will not start.
# Usage: run_atspi_test.sh PATH_TO_ORVALE
set -u
orvale=${1:?usage: run_atspi_test.sh PATH_TO_ORVALE}
here=$(cd "$(dirname "$0")" && pwd)

skip() {
  echo "SKIP: $*"
  exit 77
}
# The system's Python, which the Debian bindings are installed for (not a user's own Python).
python=/usr/bin/python3
[ -x "$python" ] || python=python3
command -v Xvfb >/dev/null || skip "Xvfb is not installed (scripts/install-deps.sh test)"
command -v dbus-launch >/dev/null || skip "dbus-launch is not installed (package dbus-x11)"
"$python" -c 'import pyatspi' 2>/dev/null || skip "python3-pyatspi is not installed"
[ -e /usr/share/dbus-1/services/org.a11y.Bus.service ] ||
  skip "the accessibility bus launcher is not installed (package at-spi2-core)"

scratch=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  [ -n "${DBUS_SESSION_BUS_PID:-}" ] && kill "$DBUS_SESSION_BUS_PID" 2>/dev/null
  rm -rf "$scratch"
}
trap cleanup EXIT

# A home of its own: the program's data file and settings stay in the scratch folder.
export HOME=$scratch XDG_DATA_HOME=$scratch/data XDG_CONFIG_HOME=$scratch/config
export XDG_RUNTIME_DIR=$scratch/run
mkdir -p -m 700 "$XDG_RUNTIME_DIR"

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$scratch/display" 2>"$scratch/xvfb.log" &
pids+=($!)
for _ in $(seq 50); do [ -s "$scratch/display" ] && break; sleep 0.1; done
[ -s "$scratch/display" ] || skip "Xvfb did not start: $(tail -1 "$scratch/xvfb.log")"
export DISPLAY=":$(cat "$scratch/display")"

eval "$(dbus-launch --sh-syntax 2>"$scratch/dbus.log")" ||
  skip "the session bus could not be started: $(tail -1 "$scratch/dbus.log")"
[ -n "${DBUS_SESSION_BUS_ADDRESS:-}" ] || skip "the session bus could not be started"

export QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1
unset QT_SCALE_FACTOR
"$orvale" >"$scratch/orvale.log" 2>&1 &
pids+=($!)
"$python" "$here/walk_worksheet.py" "${pids[-1]}"
status=$?
[ "$status" -ne 0 ] && sed 's/^/orvale: /' "$scratch/orvale.log" | tail -20
# The Compute kept its scores in the user's data folder, not beside the program (unless a
# portable copy already keeps them there).
beside="$(dirname "$orvale")/orvale.txt"
if [ "$status" -eq 0 ] && [ ! -e "$beside" ]; then
  kept=$(cat "$XDG_DATA_HOME/orvale/orvale.txt" 2>/dev/null)
  if [ "$kept" != "10 15 10 10 16 10 10 10 " ]; then
    echo "FAILED: the scores in $XDG_DATA_HOME/orvale/orvale.txt: '$kept'"
    status=1
  fi
fi
exit "$status"
