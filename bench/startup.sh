#!/usr/bin/env bash
# Start-up benchmark: Tavrel's release build side by side with an empty Qt
# window and a Qt reference form of the same widgets, in interleaved rounds
# on one private Xvfb. Prints the table and the ratios of the medians.
#   bench/startup.sh [ROUNDS]        (default 15)
# The measuring tool lives beside the repository, in shared/tools/startup-bench
# (or wherever STARTUP_BENCH points).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
tools=${STARTUP_BENCH:-$root/../shared/tools/startup-bench}
rounds=${1:-15}

"$root/scripts/install-deps.sh" --bench
cmake -S "$root" -B "$root/build-bench" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build "$root/build-bench" --parallel "$(nproc)" >/dev/null

export BENCH_OUT=$root/build-bench/startup
"$tools/refs/build.sh" >/dev/null
list=$BENCH_OUT/programs.txt
cat >"$list" <<LIST
qt_empty | Ref    | --ui-wait 0 | @OUT@/qt_empty
qt_form  | Ref    |             | @OUT@/qt_form
tavrel   | Tavrel |             | $root/build-bench/app/tavrel
LIST
table=$("$tools/compare.sh" --rounds "$rounds" "$list")
echo "$table"

# The median of column C for program N (the table writes "median (min-max)").
columns=$(sed 's/ (\([^)]*\))/_(\1)/g' <<<"$table")
median() { awk -v n="$1" -v c="$2" '$1 == n { sub(/_.*/, "", $c); print $c }' <<<"$columns"; }
# An empty window has no interface to draw: its first pixels are its "drawn".
drawn() { local v; v=$(median "$1" 5); [[ $v == - ]] && v=$(median "$1" 4); echo "$v"; }
echo
awk -v t="$(drawn tavrel)" -v f="$(drawn qt_form)" -v e="$(drawn qt_empty)" \
    -v tr="$(median tavrel 6)" -v fr="$(median qt_form 6)" 'BEGIN {
    printf "drawn:    %.2fx the reference form (goal <= 1.00), %.2fx the empty window (goal <= 1.25)\n", t / f, t / e
    printf "peak RSS: %.2fx the reference form (goal <= 1.05)\n", tr / fr }'
