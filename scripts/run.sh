#!/usr/bin/env bash
# Sets up everything Tavrel needs on Debian, builds the program (the "app"
# workflow: the Qt program and the files installed beside it, release flags,
# no tests), installs it into a staging prefix inside the build tree and
# starts it. The command ends when the window is closed, with the program's
# exit status.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

scripts/install-deps.sh
cmake --workflow --preset app
stage=build/stage
cmake --install build/app --prefix "$stage" >/dev/null

if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" && -z "${QT_QPA_PLATFORM:-}" ]]; then
    echo "Built and installed $stage/bin/tavrel, but there is no display here (DISPLAY is unset) to show its window on." >&2
    exit 1
fi
exec "$stage/bin/tavrel"
