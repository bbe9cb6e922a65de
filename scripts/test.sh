#!/usr/bin/env bash
# Sets everything up and runs the whole test suite: the optimised build under a virtual X
# server, then the thread tests under ThreadSanitizer and the editor tests under
# AddressSanitizer with leak checking, then the Windows builds' tests under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh

# No test may read or write the real user's settings.
XDG_CONFIG_HOME=$(mktemp -d)
export XDG_CONFIG_HOME
trap 'rm -rf "$XDG_CONFIG_HOME"' EXIT

jobs=$(nproc)

echo "== optimised build"
bash scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo
xvfb-run -a -s "-screen 0 1024x768x24" ctest --test-dir build --no-tests=error --output-on-failure -j "$jobs"

echo "== ThreadSanitizer"
bash scripts/build.sh build-tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCHORDWELL_SANITIZER=thread -DCHORDWELL_BENCH=OFF
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" \
  xvfb-run -a -s "-screen 0 1024x768x24" ctest --test-dir build-tsan -L tsan --no-tests=error --output-on-failure -j "$jobs"

echo "== AddressSanitizer"
bash scripts/build.sh build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCHORDWELL_SANITIZER=address -DCHORDWELL_BENCH=OFF
ASAN_OPTIONS="detect_leaks=1" \
  xvfb-run -a -s "-screen 0 1024x768x24" ctest --test-dir build-asan -L asan --no-tests=error --output-on-failure -j "$jobs"

echo "== Windows"
bash scripts/test-windows.sh
