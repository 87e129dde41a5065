#!/usr/bin/env bash
# Sets up everything Tavrel needs on Debian, builds the release build and
# starts the program.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

scripts/install-deps.sh
cmake -B build -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF
cmake --build build --parallel "$(nproc)"

if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" && -z "${QT_QPA_PLATFORM:-}" ]]; then
    echo "Built build/app/tavrel, but there is no display here (DISPLAY is unset) to show its window on." >&2
    exit 1
fi
exec build/app/tavrel
