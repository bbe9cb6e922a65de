#!/usr/bin/env bash
# Holds the README's account of the two commands to the scripts themselves (scripts/test.sh
# runs it first, so that a README that has drifted fails the run at once):
#
# - the rows of the README's table of stages ("| stage of scripts/test.sh |") name the stages
#   of scripts/test.sh (its lines `echo "== NAME"`), in their order;
# - what a row quotes in code of the stage's commands is what the stage runs: a `scripts/...`
#   command word for word, and a `ctest ...` with the same labels (-L), or none for the whole
#   suite;
# - the packages the README says `scripts/demo.sh` and `scripts/test.sh` install are those
#   that the scripts install.
#
#   scripts/check-readme.sh            says what differs, and fails when anything does
#   scripts/check-readme.sh --stages   prints the stage names of scripts/test.sh, one a line
#
# A new stage in scripts/test.sh takes one new row in the README's table, in its place.
# shellcheck disable=SC2016  # the backquotes in single quotes are Markdown's marks of code
set -euo pipefail
cd "$(dirname "$0")/.."

script_stages() { sed -n 's/^[[:space:]]*echo "== \(.*\)"[[:space:]]*$/\1/p' scripts/test.sh; }
if [ "${1:-}" = "--stages" ]; then
  script_stages
  exit 0
fi

failures=0
fail() { echo "README.md: $*" >&2; failures=$((failures + 1)); }

# The table's rows, each as its cells joined by tabs: the first cell is the stage.
readme_rows() {
  awk '/^\| stage of scripts\/test\.sh \|/ { table = 1; next }
       table && !/^\|/ { exit }
       table && !/^\|[ -]*\|/ { line = $0; sub(/^\| */, "", line); sub(/ *\|$/, "", line)
                                gsub(/ *\| */, "\t", line); print line }' README.md
}

# The lines of scripts/test.sh from the stage's echo line to the next one.
stage_block() {
  awk -v name="$1" '/^[[:space:]]*echo "== / { inside = (index($0, "echo \"== " name "\"") > 0); next }
                    inside' scripts/test.sh
}

# The labels a ctest line selects, sorted, one a line.
labels() { grep -o -- '-L [A-Za-z0-9_]*' | sort -u || true; }

mapfile -t stages < <(script_stages)
mapfile -t rows < <(readme_rows)
[ "${#rows[@]}" -gt 0 ] || fail "no table of stages (a header row \"| stage of scripts/test.sh | ...\")"
names=$(for row in "${rows[@]}"; do printf '%s\n' "${row%%$'\t'*}"; done)
if ! stage_diff=$(diff <(printf '%s\n' "${stages[@]}") <(printf '%s\n' "$names")); then
  fail "its table of stages is not scripts/test.sh's stages in their order (<: scripts/test.sh, >: README):"
  echo "$stage_diff" >&2
else
  for row in "${rows[@]}"; do
    stage=${row%%$'\t'*}
    block=$(stage_block "$stage")
    while IFS= read -r code; do
      case "$code" in
        scripts/*)
          grep -qF -- "$code" <<<"$block" || fail "stage '$stage' does not run \`$code\`" ;;
        ctest*)
          ctest_lines=$(grep -E '(^|[[:space:]])ctest[[:space:]]' <<<"$block" || true)
          if [ -z "$ctest_lines" ]; then
            fail "stage '$stage' runs no ctest, the README quotes \`$code\`"
          elif [ "$(labels <<<"$code")" != "$(labels <<<"$ctest_lines")" ]; then
            fail "stage '$stage' runs ctest with labels '$(labels <<<"$ctest_lines" | xargs)', the README quotes \`$code\`"
          fi ;;
      esac
    done < <(grep -o '`[^`]*`' <<<"${row#*$'\t'}" | tr -d '`')
  done
fi

# The words of a bash array NAME=( ... ) in FILE, without comments.
array_words() {
  awk -v start="$2=(" '$1 == start { inside = 1; next } inside && /^\)/ { exit }
                       inside { sub(/#.*/, ""); for (i = 1; i <= NF; ++i) print $i }' "$1"
}
# The packages that the README's list item beginning with PREFIX names in code (no paths, no
# options); the item runs on to the next item or blank line.
readme_packages() {
  awk -v prefix="$1" 'index($0, prefix) == 1 { inside = 1; print; next }
                      inside && (/^- / || /^$/) { exit }
                      inside' README.md | grep -o '`[^`]*`' | tr -d '`' | grep -v -e / -e '^-' -e ' ' || true
}
same_packages() {  # WHAT README_WORDS SCRIPT_WORDS
  local missing extra
  missing=$(comm -13 <(sort -u <<<"$2") <(sort -u <<<"$3") | xargs)
  extra=$(comm -23 <(sort -u <<<"$2") <(sort -u <<<"$3") | xargs)
  [ -z "$missing" ] || fail "$1: the scripts install $missing, which it does not name"
  [ -z "$extra" ] || fail "$1: it names $extra, which the scripts do not install"
}
same_packages "what scripts/demo.sh installs" \
  "$(readme_packages '- `scripts/demo.sh` installs')" "$(array_words scripts/setup.sh build_packages)"
# scripts/test.sh: the rest of setup.sh's list, the Windows stage's, and single packages that
# a stage installs when it needs them (install-missing-packages.sh NAME...).
same_packages "what scripts/test.sh installs" \
  "$(readme_packages '- `scripts/test.sh` installs')" \
  "$(array_words scripts/setup.sh test_packages
     array_words scripts/setup-windows.sh packages
     grep -ho 'install-missing-packages.sh [a-z0-9][a-z0-9 .:+-]*' scripts/*.sh | cut -d' ' -f2- | xargs -n1)"

if [ "$failures" -gt 0 ]; then
  echo "README.md no longer tells what the scripts do (differences: $failures): mend the one that is wrong" >&2
  exit 1
fi
echo "README.md: its stages of scripts/test.sh and the packages it names agree with the scripts"
