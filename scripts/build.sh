#!/usr/bin/env bash
# Configures and builds one build tree: scripts/build.sh DIR [--target NAME]... [cmake arguments...]
# Without --target it builds everything; with it, only the targets named (and what they need).
# Warnings are errors in every build the scripts make (a later argument may say otherwise).
# Callers pass every option they rely on, each time: a tree configured earlier by another
# script keeps its cache, and with it that script's choices.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=$1
shift
targets=()
while [ "${1:-}" = --target ]; do
  targets+=(--target "$2")
  shift 2
done
cmake -S . -B "$dir" -G Ninja -DCHORDWELL_WARNINGS_AS_ERRORS=ON "$@" >/dev/null
cmake --build "$dir" -j "$(nproc)" "${targets[@]}"
