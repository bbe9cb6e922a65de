#!/usr/bin/env bash
# Builds the benchmarks (build-bench/, optimised as the plug-in ships) and runs them once, with
# the cases' repetitions interleaved in random order so that a change of load on the machine
# touches every case alike; then prints each case's median, with its ratio to the reference
# engine's median for the same case of the same run.
#   bench/run.sh [repetitions] [extra benchmark arguments...]
set -euo pipefail
cd "$(dirname "$0")/.."
repetitions=${1:-5}
shift || true
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCHORDWELL_TESTS=OFF >/dev/null
cmake --build build-bench --target chordwell_bench >/dev/null
out=$(mktemp)
trap 'rm -f "$out"' EXIT
build-bench/bench/chordwell_bench --benchmark_repetitions="$repetitions" --benchmark_enable_random_interleaving=true \
  --benchmark_report_aggregates_only=true "$@" | tee "$out"
echo
awk '
  # A median line: name, times, iterations, then items_per_second=<rate>, counters and label.
  $1 ~ /_median$/ {
    name = $1; sub(/_median$/, "", name)
    split(name, part, "/"); caseOf[name] = part[2]; cases[++n] = name; notes[name] = ""
    for (i = 7; i <= NF; ++i) {
      if ($i ~ /^items_per_second=/) {
        value = $i; sub(/^items_per_second=/, "", value); sub(/\/s$/, "", value)
        scale = 1
        if (value ~ /k$/) scale = 1e3; else if (value ~ /M$/) scale = 1e6; else if (value ~ /G$/) scale = 1e9
        sub(/[kMG]$/, "", value); rate[name] = value * scale
      } else {
        notes[name] = notes[name] " " $i
      }
    }
  }
  END {
    for (i = 1; i <= n; ++i) {
      c = cases[i]; ref = rate["Reference/" caseOf[c]]
      m = (c in rate) ? sprintf("%.1f", rate[c] / 1e6) : "-"
      r = ((c in rate) && ref > 0) ? sprintf("%.2f", rate[c] / ref) : "-"
      printf "%-36s %12s %8s %s\n", c, m, r, notes[c]
    }
  }' "$out" | sort | awk 'BEGIN { printf "%-36s %12s %8s  %s\n", "case (median)", "M frames/s", "ratio", "notes" } { print }'
