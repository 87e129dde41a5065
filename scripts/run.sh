#!/usr/bin/env bash
# Sets up everything Tavrel needs on Debian, builds the release build (the
# "linux" preset, the same build the test suite uses), installs it into a
# staging prefix inside the build tree and starts the program. The command
# ends when the window is closed, with the program's exit status.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

scripts/install-deps.sh
cmake --preset linux >/dev/null
cmake --build --preset linux --target tavrel --parallel "$(nproc)"
stage=build/stage
cmake --install build/linux --prefix "$stage" >/dev/null

if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" && -z "${QT_QPA_PLATFORM:-}" ]]; then
    echo "Built and installed $stage/bin/tavrel, but there is no display here (DISPLAY is unset) to show its window on." >&2
    exit 1
fi
exec "$stage/bin/tavrel"
