#!/usr/bin/env bash
# run_fuzz.sh FUZZER SEEDS SECONDS
# Fuzzes for SECONDS from a scratch copy of the seed folder and prints
# libFuzzer's closing figures. A failing input is kept beside the build's
# test output (crash-*, leak-*), and the run fails.
set -euo pipefail
fuzzer=$1 seeds=$2 seconds=$3
corpus=$(mktemp -d)
trap 'rm -rf "$corpus"' EXIT
cp "$seeds"/* "$corpus"
log=$(mktemp)
# Inputs up to 1 MB: the boxes take any paste, and the seeds hold texts of
# tens of thousands of characters.
if ! "$fuzzer" -max_total_time="$seconds" -max_len=1048576 -print_final_stats=1 "$corpus" >"$log" 2>&1; then
    tail -n 60 "$log"
    echo "$(basename "$fuzzer") found a failing input (saved as crash-* / leak-* in $PWD)"
    exit 1
fi
grep -E '^(Done|stat::)' "$log"
rm -f "$log"
