#!/usr/bin/env bash
# Runs lv2lint, the checker LV2 plug-in authors run on a bundle, on the LV2 bundle, under a
# virtual X server (it opens the UI):
#
#   scripts/lint-lv2.sh BUNDLE
#
# lv2lint is a test tool built from ../shared/lv2lint (beside the repository;
# CHORDWELL_LV2LINT_DIR names another place) into build-tools/; a clone without it skips this
# check and says so. Warnings count as failures, but for three choices of ours that lv2lint
# warns of: the UI reaches the DSP instance through instance-access (the preset bar needs the
# bank), plug-in and UI share one module (they share the effect object), and the licence is
# proprietary (no licence URI to name). The whole output is kept in build-tools/lv2lint.log.
set -euo pipefail
cd "$(dirname "$0")/.."

bundle=${1:?usage: $0 BUNDLE}
[ -f "$bundle/manifest.ttl" ] || { echo "lint-lv2.sh: no LV2 bundle at $bundle" >&2; exit 1; }
source=${CHORDWELL_LV2LINT_DIR:-../shared/lv2lint}
if [ ! -f "$source/build.sh" ]; then
  echo "lv2lint: skipped: $source is not there (a clone on its own has no copy of lv2lint)"
  exit 0
fi
lv2lint=$(bash "$source/build.sh" "$PWD/build-tools/lv2lint")
log=build-tools/lv2lint.log
status=0
xvfb-run -a "$lv2lint" -I "$(cd "$bundle" && pwd)/" -S warn -E warn \
  -t "UI Instance Access" -t "UI Mixed DSP/UI" -t "Plugin License" https://qza-tonefold.com/plugins/chordwell \
  >"$log" 2>&1 || status=$?
if [ "$status" != 0 ]; then
  cat "$log"
  echo "lv2lint: the bundle fails (see above)" >&2
  exit 1
fi
echo "lv2lint: the bundle passes, warnings counted as failures"
