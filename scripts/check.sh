#!/usr/bin/env bash
# The checks CI runs beyond the test suite: formatting, the core's
# independence from any toolkit, static analysis of every source and header
# (through the builds scripts/test.sh leaves), the fuzz targets for a bounded
# time, and last the whole suite again under AddressSanitizer,
# UndefinedBehaviorSanitizer and LeakSanitizer. Each build is a preset.
#   scripts/check.sh        each fuzz target 60 s (FUZZ_SECONDS to change)
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
step() { printf '\n== %s\n' "$*"; }

scripts/install-deps.sh --check

step "clang-format"
mapfile -t sources < <(git ls-files '*.cpp' '*.h' '*.c')
clang-format --dry-run --Werror "${sources[@]}"

step "the core includes nothing but the standard library and itself"
scripts/check-core-includes.sh

step "the core alone: configured without Qt, its own tests"
# The core must build, and its tests pass, where no toolkit is installed; the
# configure must not even look for Qt.
mkdir -p build/core
cmake --preset core --debug-find-pkg=Qt6 >build/core/configure.log 2>&1 \
    || { cat build/core/configure.log; exit 1; }
if grep -q 'find_package considered' build/core/configure.log; then
    grep -A3 'find_package considered' build/core/configure.log
    echo "configured with -DTAVREL_QT=OFF, the build still looked for Qt"
    exit 1
fi
cmake --build --preset core
ctest --preset core

step "clang-tidy on every source and header, both front-ends and the core"
scripts/tidy.sh

step "fuzzing, ${FUZZ_SECONDS:-60} s a target"
cmake --preset fuzz -DTAVREL_FUZZ_SECONDS="${FUZZ_SECONDS:-60}" >/dev/null
cmake --build --preset fuzz
ctest --preset fuzz

step "the test suite under the sanitizers"
cmake --workflow --preset asan
