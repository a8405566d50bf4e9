#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs the README's two commands as a new user would, on a bare Debian 12 root (debootstrap,
# minbase variant: no make, no git, no sudo), then builds the Debian package and installs it in a
# second bare root, where orvale-score answers and orvale keeps its scores in the user's folder.
# Needs root, network access to the Debian archive, and a few GiB in WORK_DIR. Takes a while;
# not part of `make test`.
# Usage: scripts/check-bare-machine.sh [WORK_DIR]   (default /var/tmp/orvale-bare)
set -euo pipefail

source_dir=$(cd "$(dirname "$0")/.." && pwd)
work=${1:-/var/tmp/orvale-bare}
mirror=${DEBIAN_MIRROR:-http://deb.debian.org/debian}
lock=/tmp/orvale-build.lock  # builds wait for any other build on this machine

[ "$(id -u)" -eq 0 ] || { echo "error: run as root (debootstrap and chroot)" >&2; exit 1; }
for tool in debootstrap xdotool; do
  command -v "$tool" >/dev/null || apt-get install -y --no-install-recommends "$tool" >/dev/null
done

mounted=()
mount_system() {  # root
  for fs in proc sys dev dev/pts; do
    mkdir -p "$1/$fs"
    mount --bind "/$fs" "$1/$fs"
    mounted+=("$1/$fs")
  done
  cp /etc/resolv.conf "$1/etc/resolv.conf"
}
cleanup() {
  for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do umount -l "${mounted[i]}" 2>/dev/null || true; done
}
trap cleanup EXIT
step() { echo; echo "== $*"; }

mkdir -p "$work"
if [ ! -f "$work/pristine.tar" ]; then
  step "debootstrap --variant=minbase bookworm"
  rm -rf "$work/root"
  debootstrap --variant=minbase bookworm "$work/root" "$mirror" >"$work/debootstrap.log"
  tar -C "$work/root" -cf "$work/pristine.tar" .
fi

# INSTALL_ONLY=1 reuses the package that an earlier run built.
if [ "${INSTALL_ONLY:-0}" != 1 ]; then
step "a bare root with the sources, as after downloading them"
rm -rf "$work/root" && mkdir -p "$work/root" && tar -C "$work/root" -xf "$work/pristine.tar"
for tool in make git sudo; do
  chroot "$work/root" sh -c "! command -v $tool" >/dev/null || { echo "error: $tool is in the bare root" >&2; exit 1; }
done
mkdir -p "$work/root/root/orvale"
git -C "$source_dir" archive HEAD | tar -C "$work/root/root/orvale" -xf -
mount_system "$work/root"
in_root() { chroot "$work/root" env -i HOME=/root PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 "$@"; }

step "sh build.sh run (only what the programs need; under Xvfb, until the worksheet has painted)"
# The display is the one thing a bare root lacks that a desktop has: Xvfb stands in for it.
in_root sh -c 'apt-get update -qq && apt-get install -y -qq --no-install-recommends xvfb xauth' >"$work/xvfb.log" 2>&1
set +e
flock "$lock" chroot "$work/root" env -i HOME=/root PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 \
  ORVALE_QUIT_AFTER_SHOW=1 sh -c 'cd /root/orvale && timeout 900 xvfb-run -a sh build.sh run' >"$work/run.log" 2>&1
status=$?
set -e
tail -n 3 "$work/run.log"
[ "$status" -eq 0 ] || { echo "error: sh build.sh run ended with status $status" >&2; exit 1; }
for package in libgtest-dev libboost-math-dev libbenchmark-dev poppler-utils; do
  if in_root dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    echo "error: make run installed the test package $package" >&2
    exit 1
  fi
done

step "sh build.sh test"
flock "$lock" chroot "$work/root" env -i HOME=/root PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 \
  sh -c 'cd /root/orvale && sh build.sh test' 2>&1 | tee "$work/test.log" | tail -n 5
grep -q "100% tests passed" "$work/test.log"

step "make package"
flock "$lock" chroot "$work/root" env -i HOME=/root PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 \
  sh -c 'cd /root/orvale && make package' 2>&1 | tail -n 3
cleanup
mounted=()
fi
deb=$(ls "$work/root/root/orvale/build-package/"orvale_*.deb)

step "the package in a second bare root"
rm -rf "$work/install" && mkdir -p "$work/install" && tar -C "$work/install" -xf "$work/pristine.tar"
cp "$deb" "$work/install/tmp/"
mount_system "$work/install"
in_install() { chroot "$work/install" env -i HOME=/root PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 "$@"; }
in_install sh -c 'apt-get update -qq && apt-get install -y -qq --no-install-recommends /tmp/orvale_*.deb xvfb xauth' >"$work/install.log" 2>&1
in_install orvale-score --version
in_install orvale-score 10 10 10 10 10 10 10 10 | sed -n '/INPUTS:/,+2p'
in_install useradd -m psychologist
in_install runuser -u psychologist -- orvale --help | tail -n 3

step "orvale as a user: type eight scores, press Compute, the scores land in ~/.local/share/orvale"
in_install apt-get install -y -qq --no-install-recommends xdotool >/dev/null 2>&1
in_install runuser -u psychologist -- sh -c '
  cd /home/psychologist
  xvfb-run -a -s "-screen 0 1280x1024x24" sh -c "
    orvale & program=\$!; sleep 4
    window=\$(xdotool search --sync --onlyvisible --name \"ORVALE\" | head -n 1)
    xdotool windowfocus --sync \$window; sleep 1
    xdotool type --delay 50 10; for s in 12 9 8 11 10 13 7; do xdotool key Tab; xdotool type --delay 50 \$s; done
    eval \$(xdotool getwindowgeometry --shell \$window)
    xdotool mousemove \$((X + 110)) \$((Y + HEIGHT - 49)) click 1; sleep 2
    kill \$program"' >"$work/compute.log" 2>&1 || true
saved=$(cat "$work/install/home/psychologist/.local/share/orvale/orvale.txt" 2>/dev/null || true)
echo "saved: '$saved'"
[ "$saved" = "10 12 9 8 11 10 13 7 " ] || { echo "error: the scores were not kept in the user's folder" >&2; cat "$work/compute.log"; exit 1; }
[ ! -e "$work/install/usr/bin/orvale.txt" ] || { echo "error: a data file beside the program" >&2; exit 1; }
echo
echo "bare machine: every step passed"
