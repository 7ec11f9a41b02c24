#!/bin/bash
# Tries the README's two commands as a newcomer meets them, on a Debian 12
# machine that has never run the project: a new root made by debootstrap
# (minbase) with only git and ca-certificates added, the repository cloned
# into it (the committed HEAD of CHECKOUT; what is not committed is left out),
# then ./run.sh without a display (it must end with status 0 and leave the 17
# screenshots of the demo road) and ./test.sh (it must end with status 0).
# Both are timed. Run by hand before a release, as root, on a disk with 10 GB
# free; not part of test.sh.
#
# usage: tools/bare_debian_check.sh [--keep] ROOT [CHECKOUT]
#   ROOT      the new root, which must not exist; deleted at the end unless
#             --keep is given
#   CHECKOUT  the repository whose HEAD is tried (default: the one holding
#             this script)
# The screenshots and both commands' output go to CHECKOUT/build-bare/.
# Ends with status 0 when both commands did what they must.
set -uo pipefail

keep=no
if [ "${1:-}" = --keep ]; then keep=yes; shift; fi
[ $# -ge 1 ] && [ $# -le 2 ] || { sed -n '/^# usage/,/^# Ends/p' "$0" | sed 's/^# \{0,1\}//' >&2; exit 2; }
checkout=$(cd "${2:-$(dirname "$0")/..}" && pwd) || exit 2
[ "$(id -u)" -eq 0 ] || { echo "bare_debian_check: run as root (debootstrap, chroot, mount)" >&2; exit 2; }
command -v debootstrap >/dev/null || { echo "bare_debian_check: needs debootstrap (apt-get install debootstrap)" >&2; exit 2; }
[ ! -e "$1" ] || { echo "bare_debian_check: $1 exists; give a new folder" >&2; exit 2; }
mkdir -p "$1" && root=$(cd "$1" && pwd) || exit 2
head=$(git -C "$checkout" rev-parse HEAD) || exit 2
out=$checkout/build-bare
rm -rf "$out" && mkdir -p "$out"

say() { echo "bare_debian_check: $*" | tee -a "$out/summary.txt"; }

mounts=(proc sys dev dev/pts)
# The processes left running inside the root, ended by their ids: the
# commands' own exit traps end theirs, so normally there are none.
end_processes_inside() {
  local p pids=()
  for p in /proc/[0-9]*; do
    [ "$(readlink "$p/root" 2>/dev/null)" = "$root" ] && pids+=("${p#/proc/}")
  done
  [ ${#pids[@]} -eq 0 ] && return 0
  kill "${pids[@]}" 2>/dev/null; sleep 2; kill -9 "${pids[@]}" 2>/dev/null; sleep 1
}
mounted_inside() { awk -v r="$root/" 'index($2 "/", r) == 1 { found = 1 } END { exit !found }' /proc/mounts; }
clean_up() {
  local i
  end_processes_inside
  for ((i = ${#mounts[@]} - 1; i >= 0; i--)); do
    mountpoint -q "$root/${mounts[i]}" && { umount "$root/${mounts[i]}" || say "cannot unmount $root/${mounts[i]}"; }
  done
  if mounted_inside; then
    # Never delete below a mount: /dev of this machine is bound there.
    say "something is still mounted below $root; it is kept (unmount it, then delete it)"
  elif [ $keep = no ]; then
    rm -rf --one-file-system "$root"
  fi
}
trap clean_up EXIT
trap 'exit 130' INT TERM

say "checking $head of $checkout in $root"
start=$SECONDS
if ! debootstrap --variant=minbase --include=git,ca-certificates bookworm "$root" \
     http://deb.debian.org/debian >"$out/debootstrap.log" 2>&1; then
  say "debootstrap failed; see $out/debootstrap.log"
  exit 1
fi
say "the root made in $((SECONDS - start)) s"
mount -t proc proc "$root/proc"
mount -t sysfs sysfs "$root/sys"
mount --bind /dev "$root/dev"
mount --bind /dev/pts "$root/dev/pts"
# Name resolution for apt inside the root.
cp /etc/resolv.conf "$root/etc/resolv.conf"

# The committed HEAD, cloned inside the root with its own git from a bundle.
git -C "$checkout" bundle create "$root/root/korrin.bundle" HEAD >/dev/null 2>&1 || { say "cannot bundle $head"; exit 1; }
inside() {
  chroot "$root" /usr/bin/env -i HOME=/root PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    LANG=C.UTF-8 TERM=dumb /bin/bash -c "$1"
}
inside 'git -c advice.detachedHead=false clone -q /root/korrin.bundle /root/korrin' || { say "cannot clone the bundle inside the root"; exit 1; }
[ "$(inside 'git -C /root/korrin rev-parse HEAD')" = "$head" ] || { say "the clone is not at $head"; exit 1; }

failed=0
start=$SECONDS
inside 'cd /root/korrin && ./run.sh' </dev/null >"$out/run.log" 2>&1
status=$?
run_time=$((SECONDS - start))
shots=$root/root/korrin/build-demo/road
count=$(find "$shots" -maxdepth 1 -name '*.png' 2>/dev/null | wc -l)
mkdir -p "$out/road" && cp "$shots"/*.png "$out/road/" 2>/dev/null
say "./run.sh: status $status in $run_time s, $count screenshots (copied to $out/road)"
if [ $status -ne 0 ] || [ "$count" -ne 17 ] || [ -n "$(find "$shots" -maxdepth 1 -name '*-failed.png' 2>/dev/null)" ]; then
  say "FAILED: ./run.sh must end with status 0 and leave 17 screenshots; see $out/run.log"
  failed=1
fi

start=$SECONDS
inside 'cd /root/korrin && ./test.sh' </dev/null >"$out/test.log" 2>&1
status=$?
test_time=$((SECONDS - start))
say "./test.sh: status $status in $test_time s"
if [ $status -ne 0 ]; then
  say "FAILED: ./test.sh must end with status 0; see $out/test.log"
  failed=1
fi

[ $failed -eq 0 ] && say "both commands did what they must on a bare Debian 12"
exit $failed
