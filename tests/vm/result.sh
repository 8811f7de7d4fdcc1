#!/usr/bin/env bash
# Reports one scenario of the last boot (run_vm.sh) as a test: its log, then its result.
# Exits 0 when it passed, 77 when it was skipped, 1 otherwise.
#   result.sh OUT_FOLDER SCENARIO
result=$(cat "$1/results/$2.result" 2>/dev/null || echo "fail: the machine did not run it")
cat "$1/results/$2.log" 2>/dev/null
echo "$2: $result"
case $result in
  pass) exit 0 ;;
  skip*) exit 77 ;;
  *) exit 1 ;;
esac
