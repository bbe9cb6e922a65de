#!/usr/bin/env bash
# Passes a long run's output through, line by line, and keeps its reader informed:
#
#   COMMAND 2>&1 | bash scripts/progress.sh [STAGE...]
#
# After 30 s without a line it says that the run is still at work and how long it has taken so
# far, and again every 30 s while nothing comes. A line "== STAGE" for one of the STAGEs named
# begins that stage: when the next begins, and at the end, it says how long the stage took, and
# at the end it lists every stage's time and the whole run's.
set -uo pipefail

quiet_limit=30
stages=("$@")
begun=()      # the stages begun, in order
took=()       # their times in seconds
stage_start=$SECONDS

clock() { printf '%d min %02d s' $(($1 / 60)) $(($1 % 60)); }

is_stage() {
  local stage
  for stage in "${stages[@]}"; do [ "$1" = "== $stage" ] && return 0; done
  return 1
}

end_stage() {
  [ "${#begun[@]}" -gt "${#took[@]}" ] || return 0
  took+=($((SECONDS - stage_start)))
  echo "-- ${begun[-1]}: $(clock "${took[-1]}")"
}

while :; do
  if IFS= read -r -t "$quiet_limit" line; then
    if [ "${#stages[@]}" -gt 0 ] && is_stage "$line"; then
      end_stage
      begun+=("${line#== }")
      stage_start=$SECONDS
    fi
    printf '%s\n' "$line"
  elif [ $? -gt 128 ]; then
    # Nothing for a while; a line begun is shown as far as it has come.
    [ -z "$line" ] || printf '%s\n' "$line"
    echo "   ... still at work, $(clock "$SECONDS") so far"
  else
    [ -z "$line" ] || printf '%s\n' "$line"  # a last line without a newline
    break
  fi
done

end_stage
if [ "${#took[@]}" -gt 0 ]; then
  echo "-- time per stage:"
  for i in "${!took[@]}"; do printf '   %-48s %s\n' "${begun[$i]}" "$(clock "${took[$i]}")"; done
  printf '   %-48s %s\n' "in all" "$(clock "$SECONDS")"
fi
