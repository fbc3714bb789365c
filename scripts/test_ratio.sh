#!/usr/bin/env bash
# Prints the non-blank lines of the tests against those of the product code, and fails
# when the tests pass the given percentage (default 35). Every file git tracks or would
# track counts; product folders that do not exist yet count as empty.
set -euo pipefail
cd "$(dirname "$0")/.."
limit=${1:-35}
count() {
  local files
  if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    files=$(git ls-files -co --exclude-standard -- "$@")
  else
    files=$(find "$@" -type f 2>/dev/null || true)
  fi
  [ -n "$files" ] || { echo 0; return; }
  # shellcheck disable=SC2086
  cat $files | grep -c '[^[:space:]]' || true
}
code_dirs=(src host bench proxy trace)
tests=$(count tests)
code=$(count "${code_dirs[@]}")
for d in tests "${code_dirs[@]}"; do
  [ -d "$d" ] && printf '%-6s %6d\n' "$d/" "$(count "$d")"
done
ratio=$((tests * 1000 / code))
printf 'tests / code: %d / %d = %d.%d%% (limit %d%%)\n' "$tests" "$code" $((ratio / 10)) \
  $((ratio % 10)) "$limit"
if [ $((tests * 100)) -gt $((code * limit)) ]; then
  echo "the tests are over ${limit}% of the code: cut before adding" >&2
  exit 1
fi
