#!/usr/bin/env bash
# Sets everything up and runs the whole test suite: the optimised build under a virtual X
# server, its VST3 bundle through the VST3 SDK's validator and rendering through Ardour 7; the Release build likewise, and
# packaged, installed and loaded; the thread tests under ThreadSanitizer; the editor tests and
# the fuzz replays under AddressSanitizer with leak checking; a short run of every fuzz target;
# the whole suite under UndefinedBehaviorSanitizer; and the Windows builds' tests under Wine.
# Every build tree is configured with all the options it relies on.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh

# No test may read or write the real user's settings.
XDG_CONFIG_HOME=$(mktemp -d)
export XDG_CONFIG_HOME
trap 'rm -rf "$XDG_CONFIG_HOME"' EXIT

jobs=$(nproc)
# -noreset: the server stays up between clients, so a test connecting just as the last
# client of another leaves does not find it resetting.
xvfb=(xvfb-run -a -s "-screen 0 1024x768x24 -noreset")

echo "== optimised build"
bash scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCHORDWELL_SANITIZER= \
  -DCHORDWELL_TESTS=ON -DCHORDWELL_BENCH=ON
"${xvfb[@]}" ctest --test-dir build --no-tests=error --output-on-failure -j "$jobs"

echo "== the VST3 bundle through the VST3 SDK's validator"
bash scripts/validate-vst3.sh "build/QZA Chordwell.vst3"

echo "== the VST3 bundle in a real host (Ardour 7)"
bash scripts/test-real-hosts.sh build

echo "== Release build, Debian package"
bash scripts/check_package.sh
"${xvfb[@]}" ctest --test-dir build-release --no-tests=error --output-on-failure -j "$jobs"

echo "== ThreadSanitizer"
bash scripts/build.sh build-tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCHORDWELL_SANITIZER=thread \
  -DCHORDWELL_TESTS=ON -DCHORDWELL_BENCH=OFF
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" \
  "${xvfb[@]}" ctest --test-dir build-tsan -L tsan --no-tests=error --output-on-failure -j "$jobs"

echo "== AddressSanitizer"
bash scripts/build.sh build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCHORDWELL_SANITIZER=address \
  -DCHORDWELL_TESTS=ON -DCHORDWELL_BENCH=OFF
ASAN_OPTIONS="detect_leaks=1" \
  "${xvfb[@]}" ctest --test-dir build-asan -L asan --no-tests=error --output-on-failure -j "$jobs"

echo "== fuzzing (libFuzzer)"
bash scripts/fuzz.sh 15

echo "== UndefinedBehaviorSanitizer"
bash scripts/build.sh build-ubsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCHORDWELL_SANITIZER=undefined \
  -DCHORDWELL_TESTS=ON -DCHORDWELL_BENCH=OFF
UBSAN_OPTIONS="print_stacktrace=1" \
  "${xvfb[@]}" ctest --test-dir build-ubsan --no-tests=error --output-on-failure -j "$jobs"

echo "== Windows"
bash scripts/test-windows.sh
