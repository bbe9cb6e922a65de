#!/bin/sh
# wine_runner_test.sh RUNNER: RUNNER (cmake/wine-run.sh) starts a program again only when Wine did
# not start it at all. A stand-in `wine` fails to start the program a given number of times (as
# Wine's start.exe reports it, or as a program cut off by the loss of its wineserver when
# FAILURE=server), then runs it: RUNNER COUNT STATUS, where STATUS "says-so" is a program that
# prints, then fails with start.exe's words.
set -eu
runner=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
mkdir "$dir/prefix"
touch "$dir/prefix/.chordwell-ready"
cat >"$dir/wine" <<'STANDIN'
#!/bin/sh
starts=$(cat "$STARTS" 2>/dev/null || echo 0)
echo $((starts + 1)) >"$STARTS"
if [ "$starts" -lt "$1" ] && [ "${FAILURE:-start}" = server ]; then
  echo "half of the output"
  echo "wine client error:0: recvmsg: Connection reset by peer" >&2
  exit 1
fi
if [ "$starts" -lt "$1" ]; then
  printf 'Application could not be started, or no application associated with the specified file.\r\n'
  printf 'ShellExecuteEx failed: Internal error.\r\n\r\n'
  exit 1
fi
echo ran
if [ "$2" = says-so ]; then echo "ShellExecuteEx failed: Internal error." >&2; exit 1; fi
exit "$2"
STANDIN
chmod +x "$dir/wine"
export PATH="$dir:$PATH" WINEPREFIX="$dir/prefix" STARTS="$dir/starts" CHORDWELL_WINE_RETRY_LOG="$dir/retries"

# expect FAILED_STARTS PROGRAM_STATUS RUNNER_STATUS STARTS OUTPUT_PATTERN
expect() {
  rm -f "$STARTS" "$CHORDWELL_WINE_RETRY_LOG"
  status=0
  output=$("$runner" "$1" "$2" 2>/dev/null) || status=$?
  # shellcheck disable=SC2254  # the expected output is a pattern
  case $output in $5) matched=yes ;; *) matched=no ;; esac
  # Every new start is in the log of retries, one line each.
  retries=0
  if [ -f "$CHORDWELL_WINE_RETRY_LOG" ]; then retries=$(wc -l <"$CHORDWELL_WINE_RETRY_LOG"); fi
  if [ "$status" != "$3" ] || [ "$(cat "$STARTS")" != "$4" ] || [ $matched = no ] ||
     [ "$retries" -ne $(($4 - 1)) ]; then
    echo "FAILED: $1 failed starts, program status $2: status $status, $(cat "$STARTS") starts," \
      "$retries logged again, output '$output' (expected $3, $4 starts, '$5')"
    exit 1
  fi
}
expect 0 0 0 1 ran        # started at once
expect 2 0 0 3 ran        # started at the third attempt, its status and output are the program's
expect 2 3 3 3 ran        # ... and so is a failure
expect 5 0 1 3 "*ShellExecuteEx failed: *"  # three attempts, then Wine's failure is the test's
expect 0 3 3 1 ran        # a program that ran and failed is not started again
expect 0 says-so 1 1 ran  # nor one that printed start.exe's words itself
export FAILURE=server     # the program cut off by its lost wineserver is started again ...
expect 1 0 0 2 ran        # ... and only the output of the run that ended is passed on
expect 5 0 1 3 "half of the output"  # three attempts, then the cut-off run's failure is the test's
echo "wine-run.sh restarts only what Wine did not start"
