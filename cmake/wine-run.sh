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

# The program's output goes through files of its own: a program that starts the prefix's
# wineserver or Wine's desktop process hands them its standard output and error, and those
# daemons would hold a pipe of the caller's open (CTest would wait for the whole run's end
# before taking that test as finished).
output=$(mktemp "${TMPDIR:-/tmp}/chordwell-wine-out-XXXXXX")
errors=$(mktemp "${TMPDIR:-/tmp}/chordwell-wine-err-XXXXXX")
trap 'rm -f "$output" "$errors"' EXIT

# Now and then Wine fails to start a program at all: its loader hands the file on to start.exe,
# which fails as well and says only "Application could not be started, or no application
# associated with the specified file." and "ShellExecuteEx failed: ...". Or the program loses
# the prefix's wineserver under it (it was ending, its last client gone, as the program came):
# Wine then says "wine client error:..." and ends the program wherever it was. Either way the
# program has not run to its own end, so it is started again, up to three times in all. A
# program that printed anything else without such a word of Wine's, or that ended well, is
# never started again: a test that ran and failed fails. Each new start is said on standard
# error and, when CHORDWELL_WINE_RETRY_LOG names a file, added to it as a line
# (scripts/test-windows.sh shows them in its own output, which CTest's would hide).
not_started() {
  grep -qs '^ShellExecuteEx failed: ' "$output" "$errors" &&
    ! cat "$output" "$errors" | tr -d '\r' | grep -qv \
      -e '^$' -e '^Application could not be started, ' -e '^ShellExecuteEx failed: '
}
server_lost() {
  grep -qs '^wine client error:' "$errors"
}
attempt=1
while :; do
  status=0
  wine "$@" >"$output" 2>"$errors" </dev/null || status=$?
  if [ "$status" -eq 0 ] || [ "$attempt" -ge 3 ]; then break; fi
  if ! not_started && ! server_lost; then break; fi
  said="wine-run.sh: Wine did not run $* to its end (attempt $attempt of 3); starting it again"
  echo "$said" >&2
  if [ -n "${CHORDWELL_WINE_RETRY_LOG:-}" ]; then echo "$said" >>"$CHORDWELL_WINE_RETRY_LOG"; fi
  attempt=$((attempt + 1))
  sleep 1
done
cat "$output"
cat "$errors" >&2
exit "$status"
