#!/usr/bin/env bash
# Runs the Windows test program under Wine one test suite a process, as ctest
# gives every test a process of its own on Linux: the engine keeps its state for
# the life of the process, and tests rely on starting from a fresh one.
#
#   tools/windows/run_suite.sh WINE TESTS.exe [gtest arguments...]
# With arguments (a filter, say) the program runs once with them instead.
set -uo pipefail
wine=$1 exe=$2
shift 2
[ $# -gt 0 ] && exec "$wine" "$exe" --gtest_brief=1 "$@"
# One server for all the processes, rather than one started for each: started
# here, waited for, and ended with the run.
wineserver -w
wineserver -p 30 2>/dev/null || true
trap 'wineserver -k 2>/dev/null || true' EXIT
suites=$("$wine" "$exe" --gtest_list_tests | tr -d '\r' | grep -v '^ ' | grep '\.$' | sed 's/\.$//')
failed=() count=0
for suite in $suites; do
  count=$((count + 1))
  "$wine" "$exe" --gtest_brief=1 --gtest_filter="$suite.*" || failed+=("$suite")
done
echo "run_suite: $count test suites, ${#failed[@]} failed${failed[*]:+: ${failed[*]}}"
[ ${#failed[@]} -eq 0 ]
