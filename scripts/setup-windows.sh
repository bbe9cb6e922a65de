#!/usr/bin/env bash
# Installs what the Windows builds and their tests need, beside what scripts/setup.sh installs:
# Debian's mingw-w64 compilers (posix threads), the GoogleTest sources to build for Windows,
# and Wine for 64-bit and, through the i386 architecture, 32-bit programs. Safe to run again:
# apt-get runs only when something is missing.
set -euo pipefail

packages=(
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
  googletest
  wine wine64 wine32:i386
)

bash "$(dirname "$0")/install-missing-packages.sh" --i386 "${packages[@]}"
