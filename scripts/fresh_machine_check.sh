#!/usr/bin/env bash
# Runs the README's test command as a newcomer would: in a minimal Debian 12 root made with
# mmdebstrap (git and nothing else added), as root, on a clone of one commit of this repository.
#
#   scripts/fresh_machine_check.sh [COMMIT]     (default HEAD; needs root, or sudo)
#
# Ends with "fresh-machine: N passed, N failed" and exit 0 when every test passed inside, exit 1 on
# any failure there. When the package archive cannot be reached, it says so and exits 0 without
# checking. Between runs on one machine it keeps, under $EL_FRESH_CACHE (default
# /var/cache/milkanet-fresh-machine), the minimal root as a tarball (made again after a week) and
# the packages and package lists the set-up downloads; every run starts from the untouched root.
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
commit=${1:-HEAD}
cache=${EL_FRESH_CACHE:-/var/cache/milkanet-fresh-machine}
suite=bookworm
mirrors=(
  "deb http://deb.debian.org/debian $suite main"
  "deb http://deb.debian.org/debian $suite-updates main"
  "deb http://deb.debian.org/debian-security $suite-security main"
)
started=$(date +%s)

say() { echo "fresh-machine: $*"; }
skip_unreachable() {
  say "the package archive cannot be reached ($1); check skipped"
  say "0 passed, 0 failed"
  exit 0
}
network_failure() { grep -qE 'Temporary failure resolving|Could not resolve|Could not connect|Failed to fetch|Unable to connect|Network is unreachable|Connection timed out' "$1"; }

if [ "$(id -u)" -ne 0 ]; then
  if command -v sudo >/dev/null 2>&1; then exec sudo -E "$0" "$@"; fi
  say "needs root (chroot and mounts); run it as root"
  exit 1
fi

sha=$(git -C "$repo" rev-parse --verify "$commit^{commit}")
mkdir -p "$cache/archives/partial" "$cache/lists/partial"

if ! command -v mmdebstrap >/dev/null 2>&1; then
  say "installing mmdebstrap"
  log=$(mktemp)
  if ! { apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq mmdebstrap; } >"$log" 2>&1; then
    network_failure "$log" && skip_unreachable "apt-get could not download mmdebstrap"
    cat "$log"; rm -f "$log"
    say "cannot install mmdebstrap"
    exit 1
  fi
  rm -f "$log"
fi

# The minimal root, made once a week at most.
base="$cache/$suite-minbase.tar"
if [ ! -s "$base" ] || [ -n "$(find "$base" -mtime +7 2>/dev/null)" ]; then
  say "making a minimal $suite root"
  log="$cache/mmdebstrap.log"
  if ! mmdebstrap --variant=minbase --include=git,ca-certificates "$suite" "$base.new" "${mirrors[@]}" >"$log" 2>&1; then
    rm -f "$base.new"
    network_failure "$log" && skip_unreachable "mmdebstrap could not download the root"
    tail -n 30 "$log"
    say "cannot make the root"
    exit 1
  fi
  mv "$base.new" "$base"
fi

# A fresh copy of the root for this run, with the repository cloned into root's home.
work="$cache/run"
rm -rf "$work"
mkdir -p "$work"
tar -xpf "$base" -C "$work" --numeric-owner
cp /etc/resolv.conf "$work/etc/resolv.conf"
git clone --quiet --no-hardlinks "$repo" "$work/root/milkanet"
git -C "$work/root/milkanet" checkout --quiet --detach "$sha"
say "commit $(git -C "$repo" log -1 --format='%h %s' "$sha")"

# The run: its own mount namespace (the mounts vanish with it), a clean environment as a root login
# on a new machine has, and the README's command.
log="$cache/test.log"
status=0
unshare --mount --propagation private --fork /bin/bash -s "$work" >"$log" 2>&1 <<'INSIDE' || status=$?
set -euo pipefail
root=$1
mount -t proc proc "$root/proc"
mount --rbind /sys "$root/sys"
mount --rbind /dev "$root/dev"
mount --bind "$(dirname "$root")/archives" "$root/var/cache/apt/archives"
mount --bind "$(dirname "$root")/lists" "$root/var/lib/apt/lists"
exec chroot "$root" /usr/bin/env -i HOME=/root TERM=dumb \
  PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
  /bin/bash -c 'cd /root/milkanet && ./test.sh'
INSIDE

line=$(grep -E '^[0-9]+ passed, [0-9]+ failed$' "$log" | tail -1 || true)
elapsed=$(($(date +%s) - started))
if [ "$status" -ne 0 ] || [ -z "$line" ]; then
  if [ -z "$line" ] && network_failure "$log"; then
    skip_unreachable "the set-up inside the root could not download its packages"
  fi
  tail -n 60 "$log"
  say "failed after ${elapsed} s (whole log: $log; the root is kept in $work)"
  say "${line:-0 passed, 1 failed}"
  exit 1
fi
rm -rf "$work"
say "took ${elapsed} s"
say "$line"
