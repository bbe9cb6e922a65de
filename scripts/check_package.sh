#!/usr/bin/env bash
# Builds the Release tree (tests and benchmarks too, so that all of it builds at -O3), makes
# the Debian package from it, checks it with lintian (any error or warning fails), installs
# the package on this machine with apt-get, checks that the installed chordwell loads the
# installed plug-in and has its manual page, and removes the package again. Run by
# scripts/test.sh; it installs system-wide (root or sudo).
set -euo pipefail
cd "$(dirname "$0")/.."

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
package=qza-chordwell

bash scripts/build.sh build-release -DCMAKE_BUILD_TYPE=Release -DCHORDWELL_SANITIZER= \
  -DCHORDWELL_TESTS=ON -DCHORDWELL_BENCH=ON -DCHORDWELL_VST_INSTALL_DIR=lib/vst
rm -f build-release/${package}_*.deb
# Each step's output is shown only when it fails.
log=$PWD/build-release/package-step.log
quietly() { "$@" >"$log" 2>&1 || { cat "$log"; return 1; }; }
(cd build-release && quietly cpack -G DEB)
deb=$(ls build-release/${package}_*.deb)

# Informational (I:) and pedantic (P:) tags pass; a lintian that cannot run fails the check.
if ! report=$(lintian --no-cfg --fail-on error,warning "$deb" 2>&1); then
  echo "lintian: $(basename "$deb") has errors or warnings:" >&2
  echo "$report" >&2
  exit 1
fi

# The plug-in reads and writes per-user settings: none of the real user's.
XDG_CONFIG_HOME=$(mktemp -d)
export XDG_CONFIG_HOME DEBIAN_FRONTEND=noninteractive
trap '$sudo apt-get purge -y -qq "$package" >/dev/null 2>&1 || true; rm -rf "$XDG_CONFIG_HOME"' EXIT
quietly $sudo apt-get install -y -qq --reinstall "./$deb"

loads() { grep -q "^Effect name:    QZA Chordwell$" <<<"$1"; }
loads "$(/usr/bin/chordwell info "/usr/lib/vst/QZA Chordwell.so")"
# With no plug-in named, the installed chordwell finds the one installed with it.
loads "$(/usr/bin/chordwell info)"
test -f /usr/share/doc/$package/README.md
test -f /usr/share/man/man1/chordwell.1.gz
# The VST3 bundle, where Linux VST3 hosts look.
vst3_bundle="/usr/lib/vst3/QZA Chordwell.vst3"
test -f "$vst3_bundle/Contents/x86_64-linux/QZA Chordwell.so"
# With what hosts read without loading it: the module information and the two snapshots.
quietly cmake -DBUNDLE="$vst3_bundle" -DSIZE=320x257 -P tests/vst3/check_bundle_resources.cmake
# The LV2 bundle, where LV2 hosts look, with its module and descriptions.
for file in qza-chordwell.so manifest.ttl qza-chordwell.ttl presets.ttl; do
  test -f "/usr/lib/lv2/qza-chordwell.lv2/$file"
done
# The CLAP module, where Linux CLAP hosts look.
test -f "/usr/lib/clap/QZA Chordwell.clap"
echo "package: $(basename "$deb") installs, and the installed plug-in loads"
