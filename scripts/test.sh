#!/usr/bin/env bash
# Sets everything up and runs every test, stage by stage (the README's table of stages says
# which tests each runs, and why): the optimised build's whole suite under a virtual X server;
# its VST3 bundle through the VST3 SDK's validator and rendering through Ardour 7; the Release
# build, packaged, installed and loaded, and its whole suite; the thread tests under ThreadSanitizer; the memory-handling tests and the
# fuzz replays under AddressSanitizer with leak checking; a short run of every fuzz target; the
# whole suite under UndefinedBehaviorSanitizer; and the Windows builds' tests under Wine.
# Every build tree is configured with all the options it relies on.
#
# Each stage begins with a line "== NAME" (scripts/check-readme.sh reads them); the run says how
# long each stage took, how many tests a stage that runs a part of the suite took of how many,
# and, at the end, how much disk the clone takes.
set -euo pipefail
cd "$(dirname "$0")/.."

# A README that no longer tells what this script does fails the run before anything is built.
bash scripts/check-readme.sh

# No test may read or write the real user's settings.
XDG_CONFIG_HOME=$(mktemp -d)
export XDG_CONFIG_HOME
# Every line goes through scripts/progress.sh: the time of each stage, and a word every half
# minute in which nothing else is said.
mapfile -t stages < <(bash scripts/check-readme.sh --stages)
exec > >(bash scripts/progress.sh "${stages[@]}") 2>&1
progress=$!
trap 'rm -rf "$XDG_CONFIG_HOME"; exec >&- 2>&-; wait "$progress"' EXIT

bash scripts/setup.sh

jobs=$(nproc)
# -noreset: the server stays up between clients, so a test connecting just as the last
# client of another leaves does not find it resetting.
xvfb=(xvfb-run -a -s "-screen 0 1024x768x24 -noreset")

# The trees built here for testing carry line tables only (-g1): enough for the stacks that the
# sanitizers and a crash print, where full debug information would slow each compile by a fifth.
# They optimise as RelWithDebInfo does (-O2), with assertions on.
test_tree_flags=(-DCHORDWELL_RELWITHDEBINFO_FLAGS="-O2 -g1")

# "M of the suite's N tests carry the label LABEL": what a stage that runs a part of the suite
# ran. Such a stage builds only the programs of those tests (the target tests_LABEL); a program
# left out of that target would silently take its tests out of the stage, so the stage fails
# unless its tree lists as many tests with the label as the optimised build, which builds all.
part_of_suite() {
  local all expected part
  all=$(ctest --test-dir build -N | sed -n 's/^Total Tests: //p')
  expected=$(ctest --test-dir build -N -L "$2" | sed -n 's/^Total Tests: //p')
  part=$(ctest --test-dir "$1" -N -L "$2" | sed -n 's/^Total Tests: //p')
  echo "-- $part of the suite's $all tests carry the label $2: those ran here, from $1"
  if [ "$part" != "$expected" ]; then
    echo "== $1 lists $part tests labelled $2, the optimised build $expected: the target tests_$2" \
      "leaves out a program of theirs (chordwell_label_program in tests/)" >&2
    exit 1
  fi
}

# Said once: the four-wide arithmetic's cases need a processor with AVX2 and FMA.
if ! grep -qw avx2 /proc/cpuinfo || ! grep -qw fma /proc/cpuinfo; then
  echo "-- this processor has no AVX2 and FMA: every stage skips the BitExact cases of the" \
    "four-wide arithmetic (Widths/BitExact.*/FourWide and .../FourWideSequential)"
fi

echo "== optimised build"
bash scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo "${test_tree_flags[@]}" \
  -DCHORDWELL_SANITIZER= -DCHORDWELL_TESTS=ON -DCHORDWELL_BENCH=ON
"${xvfb[@]}" ctest --test-dir build --no-tests=error --output-on-failure -j "$jobs"

echo "== the VST3 bundle through the VST3 SDK's validator"
bash scripts/validate-vst3.sh "build/QZA Chordwell.vst3"

echo "== the LV2 bundle through lv2lint"
bash scripts/lint-lv2.sh build/qza-chordwell.lv2

echo "== the VST3 and LV2 bundles in a real host (Ardour 7)"
bash scripts/test-real-hosts.sh build

echo "== Release build, Debian package"
bash scripts/check_package.sh
"${xvfb[@]}" ctest --test-dir build-release --no-tests=error --output-on-failure -j "$jobs"

echo "== ThreadSanitizer"
bash scripts/build.sh build-tsan --target tests_tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo "${test_tree_flags[@]}" \
  -DCHORDWELL_SANITIZER=thread -DCHORDWELL_TESTS=ON -DCHORDWELL_BENCH=OFF
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" \
  "${xvfb[@]}" ctest --test-dir build-tsan -L tsan --no-tests=error --output-on-failure -j "$jobs"
part_of_suite build-tsan tsan

echo "== AddressSanitizer"
bash scripts/build.sh build-asan --target tests_asan -DCMAKE_BUILD_TYPE=RelWithDebInfo "${test_tree_flags[@]}" \
  -DCHORDWELL_SANITIZER=address -DCHORDWELL_TESTS=ON -DCHORDWELL_BENCH=OFF
ASAN_OPTIONS="detect_leaks=1" \
  "${xvfb[@]}" ctest --test-dir build-asan -L asan --no-tests=error --output-on-failure -j "$jobs"
part_of_suite build-asan asan

echo "== fuzzing (libFuzzer)"
bash scripts/fuzz.sh 15

echo "== UndefinedBehaviorSanitizer"
bash scripts/build.sh build-ubsan -DCMAKE_BUILD_TYPE=RelWithDebInfo "${test_tree_flags[@]}" \
  -DCHORDWELL_SANITIZER=undefined -DCHORDWELL_TESTS=ON -DCHORDWELL_BENCH=OFF
UBSAN_OPTIONS="print_stacktrace=1" \
  "${xvfb[@]}" ctest --test-dir build-ubsan --no-tests=error --output-on-failure -j "$jobs"

echo "== Windows"
bash scripts/test-windows.sh -- "${test_tree_flags[@]}"

echo "-- disk: this clone now takes $(du -sh . | cut -f1) (its build folders: $(du -sch build* | tail -n1 | cut -f1))"
