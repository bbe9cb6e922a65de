#!/usr/bin/env bash
# Builds the fuzz targets with clang's libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer in build-fuzz/, and runs each for a while from its seed corpus:
#   scripts/fuzz.sh [SECONDS_EACH] [TARGET...]      (default 15 seconds; chunk images settings dispatcher)
# New inputs collect in build-fuzz/corpus/TARGET. An input that fails is saved in
# build-fuzz/artifacts/ and the script fails; once mended, copy it to
# tests/fuzz/regressions/TARGET/, where every build's tests replay it.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-15}
shift || true
targets=("$@")
[ "${#targets[@]}" -gt 0 ] || targets=(chunk images settings dispatcher)

cmake -S . -B build-fuzz -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCHORDWELL_WARNINGS_AS_ERRORS=ON -DCHORDWELL_FUZZ=ON \
  -DCHORDWELL_SANITIZER= -DCHORDWELL_TESTS=ON -DCHORDWELL_BENCH=OFF >/dev/null
cmake --build build-fuzz -j "$(nproc)" --target fuzz_targets

# The settings target writes files for every input: a memory file system where there is one.
if [ -w /dev/shm ]; then export TMPDIR=/dev/shm; fi
export UBSAN_OPTIONS=print_stacktrace=1

mkdir -p build-fuzz/artifacts
for target in "${targets[@]}"; do
  corpus=build-fuzz/corpus/$target
  log=build-fuzz/fuzz-$target.log
  mkdir -p "$corpus"
  seeds=(tests/fuzz/corpus/"$target")
  if [ -d tests/fuzz/regressions/"$target" ]; then seeds+=(tests/fuzz/regressions/"$target"); fi
  if ! build-fuzz/tests/fuzz/fuzz_"$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -artifact_prefix=build-fuzz/artifacts/"$target"- "$corpus" "${seeds[@]}" >"$log" 2>&1; then
    tail -n 60 "$log"
    echo "fuzz_$target failed; the input is in build-fuzz/artifacts/ (log: $log)"
    exit 1
  fi
  runs=$(grep -o 'Done [0-9]* runs' "$log" | grep -o '[0-9]*' || echo "?")
  echo "fuzz_$target: $runs runs in ${seconds} s, $(ls "$corpus" | wc -l) inputs in its corpus, no failure"
done
