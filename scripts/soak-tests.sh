#!/usr/bin/env bash
# Runs the whole test suite of an existing build ten times in a row (or $1 times) beside two busy
# loops that keep both cores loaded, and reports each run. Not part of CI: it proves that no test
# needs a second try. Logs: <build>/soak/run-N.log.
set -uo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build="${CYFROLIA_BUILD_DIR:-$here/build}"
runs=${1:-10}
[[ -f "$build/CTestTestfile.cmake" ]] || { echo "no build in $build: run scripts/cyfrolia.sh build first" >&2; exit 2; }
mkdir -p "$build/soak"

busy=()
stop_busy() { ((${#busy[@]})) && kill "${busy[@]}" 2>/dev/null; wait "${busy[@]}" 2>/dev/null; busy=(); }
trap stop_busy EXIT
for _ in 1 2; do
  while :; do :; done &
  busy+=($!)
done

failed=0
for ((i = 1; i <= runs; i++)); do
  log="$build/soak/run-$i.log"
  start=$SECONDS
  if (cd "$build" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 600 -j 2) >"$log" 2>&1; then
    echo "run $i: pass ($((SECONDS - start)) s, $(grep -o '[0-9]*% tests passed.*' "$log" | head -n 1 || true))"
  else
    failed=$((failed + 1))
    echo "run $i: FAIL ($((SECONDS - start)) s): $(sed -n '/The following tests FAILED/,$p' "$log" | grep -E '^\s+[0-9]+ - ' | tr -s ' ' | paste -sd ';' -)"
  fi
done
stop_busy
echo "$((runs - failed)) of $runs runs passed"
((failed == 0))
