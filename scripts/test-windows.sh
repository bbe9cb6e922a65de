#!/usr/bin/env bash
# Builds QZA Chordwell for 32-bit and 64-bit Windows (scripts/build-windows.sh) and runs the
# tests of both builds under Wine, in a fresh Wine prefix of their own: its wineserver is
# stopped and the prefix removed at the end. Then runs the VST3 SDK's validator on both VST3
# bundles under Wine (scripts/validate-vst3.sh). Then, when the Linux build in build/ is there,
# compares the output of the engine and of the plug-ins of the three builds
# (scripts/compare-windows-output.sh), and reports how long each step took. Every program that
# Wine failed to start or cut off and that was started again (cmake/wine-run.sh) is named here, with their
# count at the end: CTest itself shows that only in its Testing/Temporary/LastTest.log.
# Arguments are passed to scripts/build-windows.sh (-- and CMake arguments for both builds).
set -euo pipefail
cd "$(dirname "$0")/.."
started=$SECONDS

bash scripts/build-windows.sh "$@"
built=$SECONDS

WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/chordwell-wine-XXXXXX")
CHORDWELL_WINE_RETRY_LOG=$(mktemp "${TMPDIR:-/tmp}/chordwell-wine-retries-XXXXXX")
export WINEPREFIX CHORDWELL_WINE_RETRY_LOG
stop_wine() {
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  rm -rf "$WINEPREFIX" "$CHORDWELL_WINE_RETRY_LOG"
}
trap stop_wine EXIT

# Names the programs that Wine failed to start or cut off since the last call and that were started again,
# and counts them.
retries=0
show_retries() {
  local count
  count=$(wc -l <"$CHORDWELL_WINE_RETRY_LOG")
  sed "s/^/-- $1: /" "$CHORDWELL_WINE_RETRY_LOG"
  echo "-- $1: $count program(s) that Wine failed to start or cut off, started again"
  retries=$((retries + count))
  : >"$CHORDWELL_WINE_RETRY_LOG"
}

# Says why each test that CTest lists as not run skipped, as the test itself gave it: one of
# them is expected to skip under Wine (see the reason it prints).
show_skips() {
  local log="build-$1/Testing/Temporary/LastTest.log"
  [ -f "$log" ] || return 0
  tr -d '\r' <"$log" |
    awk -v arch="$1" '/: Skipped$/ { getline reason; skipped = 1; next }
                      skipped && /^\[  SKIPPED \] [^ ]+ \(/ { print "-- " arch ": " $4 " skipped: " reason; skipped = 0 }'
}

# The editor's window tests need an X server for Wine to show windows on: a virtual one per
# build, with the prefix's wineserver (and its windows' display) ended after each.
for arch in win32 win64; do
  echo "== Windows $arch: tests under Wine"
  status=0
  xvfb-run -a -s "-screen 0 1024x768x24 -noreset" \
    ctest --test-dir "build-$arch" --no-tests=error --output-on-failure -j "$(nproc)" || status=$?
  show_retries "$arch"
  show_skips "$arch"
  [ "$status" -eq 0 ] || exit "$status"
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
done

tested=$SECONDS

# The VST3 SDK's validator, cross-built for each architecture, on that build's bundle under
# Wine (scripts/validate-vst3.sh). Both run before a failure of either fails the stage.
validation_failed=0
for arch in win64 win32; do
  xvfb-run -a -s "-screen 0 1024x768x24 -noreset" \
    bash scripts/validate-vst3.sh "build-$arch/QZA Chordwell.vst3" "$arch" || validation_failed=1
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
done
validated=$SECONDS

if [ -x build/tests/dsp/dsp_output_dump ]; then
  echo "== Windows against Linux: the output of the engine and of the plug-ins"
  status=0
  bash scripts/compare-windows-output.sh || status=$?
  show_retries "comparison"
  [ "$status" -eq 0 ] || exit "$status"
fi
echo "== Windows stage: $((SECONDS - started)) s (building $((built - started)) s, tests under Wine" \
  "$((tested - built)) s, VST3 validator $((validated - tested)) s, comparison with Linux $((SECONDS - validated)) s);" \
  "programs that Wine failed to start or cut off and that were started again: $retries"
[ "$validation_failed" -eq 0 ] || { echo "== Windows stage: the VST3 validator failed (see above)" >&2; exit 1; }
