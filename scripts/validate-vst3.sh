#!/usr/bin/env bash
# Runs the VST3 SDK's validator on a VST3 bundle, as a host would load it:
#
#   scripts/validate-vst3.sh BUNDLE [win64|win32]
#
# Without an architecture the bundle is this system's (Linux) and the validator a native
# program; with one, the validator is cross-built for that Windows architecture and runs under
# Wine (cmake/wine-run.sh, in the caller's WINEPREFIX if one is set), on the bundle's module of
# that architecture. The validator is a test tool built from ../shared/vst3-validator (beside
# the repository; CHORDWELL_VST3_VALIDATOR_DIR names another place) into build-tools/; a clone
# without it skips this check and says so.
#
# Two runs: the extensive suite (-e), and the same with a new instance for every test (-e -l).
# A run fails when a test failed (the validator's exit status), when the validator prints an
# `ERROR:` line (some checks report a fault that way without failing their test), or when it
# does not find the bundle's snapshots for the effect class. Each run prints one summary line;
# the whole output is kept in build-tools/vst3-validator-logs/.
set -euo pipefail
cd "$(dirname "$0")/.."

bundle=${1:?usage: $0 BUNDLE [win64|win32]}
arch=${2:-linux}
case "$arch" in
  linux | win64 | win32) ;;
  *) echo "usage: $0 BUNDLE [win64|win32]" >&2; exit 2 ;;
esac
[ -d "$bundle" ] || { echo "validate-vst3.sh: no bundle at $bundle" >&2; exit 1; }

sdk=${CHORDWELL_VST3_VALIDATOR_DIR:-../shared/vst3-validator}
if [ ! -f "$sdk/build.sh" ]; then
  echo "== VST3 validator ($arch): skipped: $sdk is not there (a clone on its own has no copy of the validator)"
  exit 0
fi

if [ "$arch" = linux ]; then
  validator=$(bash "$sdk/build.sh" "$PWD/build-tools/vst3-validator")
  runner=()
  target=$(cd "$bundle" && pwd)
else
  validator=$(bash "$sdk/build.sh" "$PWD/build-tools/vst3-validator-$arch" "$arch")
  runner=(sh cmake/wine-run.sh)
  # Wine sees the root of this system as drive Z:.
  target="Z:$(cd "$bundle" && pwd | tr / '\\')"
fi

logs=build-tools/vst3-validator-logs
mkdir -p "$logs"
name=$(basename "$bundle" .vst3 | tr ' ' '_')
failed_runs=0
for options in "-e" "-e -l"; do
  log="$logs/$name-$arch${options// /}.log"
  started=${EPOCHREALTIME/./}
  status=0
  # shellcheck disable=SC2086  # the options are words of their own
  "${runner[@]}" "$validator" $options "$target" >"$log" 2>&1 || status=$?
  tenths=$(((${EPOCHREALTIME/./} - started) / 100000))
  # Wine writes Windows line ends.
  text=$(tr -d '\r' <"$log")
  result=$(grep -E '^Result: [0-9]+ tests passed, [0-9]+ tests failed' <<<"$text" | tail -n 1 || true)
  passed=$(sed -nE 's/^Result: ([0-9]+) tests passed.*/\1/p' <<<"$result")
  failed=$(sed -nE 's/.*, ([0-9]+) tests failed.*/\1/p' <<<"$result")
  errors=$(grep -c '^ERROR:' <<<"$text" || true)
  snapshots=yes
  grep -q "^Found snapshots for " <<<"$text" || snapshots=no
  verdict=passed
  if [ "$status" -ne 0 ] || [ -z "$result" ] || [ "$failed" != 0 ] || [ "$errors" -ne 0 ] || [ "$snapshots" = no ]; then
    verdict=FAILED
    failed_runs=$((failed_runs + 1))
  fi
  printf '== VST3 validator (%s, %s): %s tests passed, %s failed, %s ERROR lines, snapshots found: %s, exit %s, %d.%d s: %s\n' \
    "$arch" "$options" "${passed:-?}" "${failed:-?}" "$errors" "$snapshots" "$status" $((tenths / 10)) $((tenths % 10)) "$verdict"
  if [ "$verdict" = FAILED ]; then
    # Each failed test and each fault, with the test it belongs to; the whole output is in the log.
    awk '/^\[X* *(Failed|Crashed)/ { print "   " test ": " $0; next }
         /^\[Succeeded\]/ { next }
         /^\[.*\]$/ { test = $0; next }
         /^(ERROR|Error):|^Info: No snapshot/ { print "   " (test ? test : "[bundle]") ": " $0 }' <<<"$text" | head -n 40
    echo "   whole output: $log"
  fi
done
[ "$failed_runs" -eq 0 ]
