#!/bin/sh
# Runs a Windows program under Wine for CTest: cmake/wine-run.sh PROGRAM [ARGUMENTS...]
#
# Tests must never touch the user's own Wine prefix (~/.wine): without a WINEPREFIX of the
# caller's, the program runs in one of its own under the system's temporary folder. A new
# prefix is set up once, under a lock, before any program runs in it, so that parallel tests
# do not each start setting it up. Wine's own messages are off unless WINEDEBUG asks for them.
# The new prefix maps Arial, which the editor's text asks for, to Liberation Sans, its
# metric-compatible twin (Debian's fonts-liberation), so that text is laid out as with Arial.
set -eu

: "${WINEPREFIX:=${TMPDIR:-/tmp}/chordwell-wine-$(id -u)}"
: "${WINEDEBUG:=-all}"
# No prompts to install Wine's .NET and HTML engines, which no test needs, and no menu entries
# for the prefix's programs in the user's desktop menus.
: "${WINEDLLOVERRIDES:=mscoree,mshtml=;winemenubuilder.exe=d}"
export WINEPREFIX WINEDEBUG WINEDLLOVERRIDES

ready="$WINEPREFIX/.chordwell-ready"
if [ ! -f "$ready" ]; then
  mkdir -p "$WINEPREFIX"
  # -o: the daemons that wineboot leaves running must not inherit the lock and hold it.
  flock -o "$WINEPREFIX/.chordwell-setup" sh -c \
    '[ -f "$1" ] || { wineboot --init >/dev/null 2>&1 &&
      wine reg add "HKCU\\Software\\Wine\\Fonts\\Replacements" /v Arial /t REG_SZ /d "Liberation Sans" /f \
        >/dev/null 2>&1 && touch "$1"; }' sh "$ready"
fi

exec wine "$@"
