#!/usr/bin/env bash
# Measures how the output of the Windows builds differs from the Linux build's, as
# docs/windows.md reports it: each build writes the parameter laws' powers and the engine's
# output over fixed render scenarios, and each plug-in library (the .so, the DLLs), loaded by a
# host program built for its system, renders scenarios of its own; each Windows build's files
# are compared with the Linux build's. Needs the builds in build/ (scripts/build.sh build) and
# build-win32/, build-win64/ (scripts/build-windows.sh); fails when an output differs where no
# law value does, or when a plug-in's output leaves its own system's reference engine.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"  # the Windows programs take the files' names relative to it

"$root/build/tests/dsp/dsp_output_dump" powers linux.powers
"$root/build/tests/dsp/dsp_output_dump" render linux.render
"$root/build/tests/plugin_host/plugin_render" "$root/build/QZA Chordwell.so" linux.plugin

status=0
for arch in win32 win64; do
  program=$root/build-$arch/tests/dsp/dsp_output_dump.exe
  if [ ! -f "$program" ]; then
    echo "== $arch: not built" >&2
    status=1
    continue
  fi
  "$root/cmake/wine-run.sh" "$program" powers "$arch.powers"
  "$root/cmake/wine-run.sh" "$program" render "$arch.render"
  echo "== Linux x86-64 against Windows $arch: the engine"
  "$root/build/tests/dsp/dsp_output_dump" compare linux.powers "$arch.powers" || status=1
  "$root/build/tests/dsp/dsp_output_dump" compare linux.render "$arch.render" || status=1
  echo "== Linux x86-64 against Windows $arch: the plug-in, loaded by a host"
  if "$root/cmake/wine-run.sh" "$root/build-$arch/tests/plugin_host/plugin_render.exe" \
      "$root/build-$arch/QZA Chordwell.dll" "$arch.plugin"; then
    "$root/build/tests/dsp/dsp_output_dump" compare linux.plugin "$arch.plugin" || status=1
  else
    status=1
  fi
done
exit $status
