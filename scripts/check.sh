#!/usr/bin/env bash
# The checks CI runs beyond the test suite: formatting, static analysis, the
# benchmarks (built and run once, timing nothing), the fuzz targets for a
# bounded time, and last the whole suite again under AddressSanitizer,
# UndefinedBehaviorSanitizer and LeakSanitizer.
#   scripts/check.sh            FUZZ_SECONDS=60 by default
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
fuzz_seconds=${FUZZ_SECONDS:-60}
jobs=$(nproc)
step() { printf '\n== %s\n' "$*"; }

scripts/install-deps.sh --check

step "clang-format"
mapfile -t sources < <(git ls-files '*.cpp' '*.h')
clang-format --dry-run --Werror "${sources[@]}"

step "the core alone: configured without Qt, its own tests"
# The core must build, and its tests pass, where no toolkit is installed; the
# configure must not even look for Qt.
mkdir -p build-core
cmake -B build-core -DCMAKE_BUILD_TYPE=Release -DTAVREL_QT=OFF --debug-find-pkg=Qt6 \
    >build-core/configure.log 2>&1 || { cat build-core/configure.log; exit 1; }
if grep -q 'find_package considered' build-core/configure.log; then
    grep -A3 'find_package considered' build-core/configure.log
    echo "configured with -DTAVREL_QT=OFF, the build still looked for Qt"
    exit 1
fi
cmake --build build-core --parallel "$jobs"
(cd build-core && ctest --output-on-failure -LE exhaustive)

step "benchmarks and clang-tidy (release build with the tests)"
cmake -B build-check -DCMAKE_BUILD_TYPE=Release -DTAVREL_BENCHMARKS=ON \
    -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >/dev/null
cmake --build build-check --parallel "$jobs"
mapfile -t tidy_sources < <(git ls-files '*.cpp' | grep -v -e '^tests/fuzz/' -e 'win32' -e '^tests/installer/' -e '^bench/reference/')
run-clang-tidy -quiet -p build-check -j "$jobs" "${tidy_sources[@]/#/$PWD/}" >build-check/tidy.log 2>&1 \
    || { grep -E -A3 'warning:|error:' build-check/tidy.log; echo "clang-tidy found the above"; exit 1; }
echo "clang-tidy: no findings in ${#tidy_sources[@]} files"
build-check/bench/numeric_bench --benchmark_min_time=0.01
QT_QPA_PLATFORM=offscreen build-check/bench/click_paint_bench --benchmark_min_time=0.01

step "fuzzing, ${fuzz_seconds} s a target"
cmake -B build-fuzz -DCMAKE_CXX_COMPILER=clang++-14 -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTAVREL_FUZZ=ON -DBUILD_TESTING=OFF >/dev/null
cmake --build build-fuzz --parallel "$jobs" --target text_to_number_fuzz calculate_fuzz
for target in text_to_number_fuzz calculate_fuzz; do
    corpus=$(mktemp -d)
    cp tests/fuzz/corpus/$target/* "$corpus"
    log=build-fuzz/$target.log
    if ! build-fuzz/tests/fuzz/$target -max_total_time="$fuzz_seconds" -print_final_stats=1 \
        "$corpus" >"$log" 2>&1; then
        tail -n 60 "$log"
        echo "$target found a failing input (saved as crash-* / leak-* here)"
        exit 1
    fi
    echo "$target: $(grep -E '^Done' "$log")"
    rm -rf "$corpus"
done

step "the test suite under the sanitizers"
cmake -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAVREL_SANITIZE=ON >/dev/null
cmake --build build-asan --parallel "$jobs"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# The sweep of every single takes hours under the sanitizers and checks
# arithmetic, not memory; the packaging tests run no code of ours.
(cd build-asan && ctest --output-on-failure -LE 'exhaustive|package')
