#!/usr/bin/env bash
# Builds Tavrel with its tests (release flags, so the arithmetic under test is
# the arithmetic that ships) and runs the whole suite headlessly on Qt's
# offscreen platform, the exhaustive sweep of every single included.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

scripts/install-deps.sh --test
cmake -B build-tests -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=ON
cmake --build build-tests --parallel "$(nproc)"
cd build-tests
ctest --output-on-failure --timeout 1800
