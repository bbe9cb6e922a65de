#!/usr/bin/env bash
# Sets everything up, builds the plug-in and the command-line host, and renders the built-in
# excitation through the plug-in into a WAV file.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
bash scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCHORDWELL_SANITIZER= \
  -DCHORDWELL_TESTS=OFF -DCHORDWELL_BENCH=OFF

out=${1:-out/chordwell-demo.wav}
mkdir -p "$(dirname "$out")"
./build/chordwell render "$out" --preset "Almost reverb" --tail 3
echo "Plug-in: $(pwd)/build/QZA Chordwell.so"
