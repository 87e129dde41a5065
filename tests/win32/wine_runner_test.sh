#!/usr/bin/env bash
# wine_runner_test.sh RUNNER PROGRAM
#
# The Windows suites are only as good as the runner CTest starts them with:
# one that lost a program's exit code would let every failure pass, one that
# turned the skip code into a failure (or a failure into a skip) would
# misreport. PROGRAM is exit_status.exe, which writes two lines and exits
# with the code it is given.
set -uo pipefail
runner=$1
program=$2

failures=0
# row NAME CODE: the runner must end with CODE and pass the output on with
# Unix line ends.
row() {
    local name=$1 code=$2 out err status
    out=$(mktemp) err=$(mktemp)
    "$runner" "$program" "$code" >"$out" 2>"$err"
    status=$?
    if [[ $status -ne $code ]]; then
        echo "FAIL $name: exit status $status, expected $code"
        failures=$((failures + 1))
    fi
    if [[ "$(cat "$out")" != $'line one\nline two' ]] || grep -q $'\r' "$out"; then
        echo "FAIL $name: standard output was:"
        od -c "$out" | head -5
        failures=$((failures + 1))
    fi
    if ! grep -qx 'to stderr' "$err" || grep -q $'\r' "$err"; then
        echo "FAIL $name: standard error was:"
        od -c "$err" | head -5
        failures=$((failures + 1))
    fi
    rm -f "$out" "$err"
}

# A missing Wine makes the runner skip, which must not count as passing here;
# so does a 32-bit program where the kernel runs no 32-bit code.
if ! command -v wine >/dev/null; then
    echo "skipped: Wine is not installed"
    exit "$TAVREL_SKIP_CODE"
fi
# shellcheck source=wine_loader.sh
source "$(dirname -- "${BASH_SOURCE[0]}")/wine_loader.sh"
shims=$(mktemp -d)
trap 'rm -rf "$shims"' EXIT
use_runnable_wine "$shims"
if [[ $(pe_machine "$program") == 014c ]] && ((!wine_runs_32bit)); then
    skip_no_32bit
fi

row "success is passed on" 0
row "a failure is passed on" 3
row "the skip code stays the skip code" "$TAVREL_SKIP_CODE"

[[ $failures -eq 0 ]] && echo "the runner passes exit codes and output on unchanged"
[[ $failures -eq 0 ]]
