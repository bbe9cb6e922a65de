#!/usr/bin/env bash
# Installs those of the Debian packages named that are not installed yet, with apt-get (through
# sudo unless run as root); does nothing when all are there. With --i386 first, adds the i386
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
if [ -n "$foreign" ] && ! dpkg --print-foreign-architectures | grep -qx "$foreign"; then
  $sudo dpkg --add-architecture "$foreign"
fi
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
