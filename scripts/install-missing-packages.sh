#!/usr/bin/env bash
# Installs those of the Debian packages named that are not installed yet, with apt-get (through
# sudo unless run as root); does nothing when all are there. apt-get may upgrade installed
# packages that a new one needs in a newer version. With --i386 first, adds the i386
# architecture before installing, for packages named with :i386.
#   scripts/install-missing-packages.sh [--i386] package...
set -euo pipefail

foreign=""
if [ "${1:-}" = "--i386" ]; then
  foreign=i386
  shift
fi

missing=()
for p in "$@"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ "${#missing[@]}" -gt 0 ] || exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
echo "Installing with apt-get: ${missing[*]}"
if [ -n "$foreign" ] && ! dpkg --print-foreign-architectures | grep -qx "$foreign"; then
  echo "Adding the $foreign architecture to dpkg (for 32-bit packages)"
  $sudo dpkg --add-architecture "$foreign"
fi

# Another apt-get or dpkg running beside this one (an unattended upgrade, another script) holds
# dpkg's lock: wait for it, up to ten minutes, rather than fail at once.
lock_wait=600
apt_get=(apt-get -o "DPkg::Lock::Timeout=$lock_wait")
[ -z "$sudo" ] || apt_get=("$sudo" "${apt_get[@]}")
# apt-get update takes the package lists' lock too, which not every apt waits for: tried again
# every 10 s within the same bound while another process holds it.
waited=0
until errors=$("${apt_get[@]}" update -qq 2>&1); do
  if ! grep -q 'Could not get lock' <<<"$errors" || [ "$waited" -ge "$lock_wait" ]; then
    echo "$errors" >&2
    exit 1
  fi
  echo "apt-get update: another process holds apt's lock; trying again in 10 s"
  sleep 10
  waited=$((waited + 10))
done
[ -z "$errors" ] || echo "$errors" >&2
"${apt_get[@]}" install -y -qq --no-install-recommends "${missing[@]}"
