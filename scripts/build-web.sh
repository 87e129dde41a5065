#!/usr/bin/env bash
# Builds the browser edition and leaves it in dist/web/:
#   dist/web/            the folder to publish on any static host
#   dist/web/Tavrel.html the same program as one file, to open from disk
# Installs what it needs first (scripts/install-deps.sh --web); the npm
# packages are for the tests only. Prints the sizes against their budgets
# and fails over them.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

scripts/install-deps.sh --web
cmake --workflow --preset web-site
rm -rf dist/web
cmake --install build/web --prefix dist/web

folder_bytes=$(find dist/web -type f -printf '%s\n' | awk '{ s += $1 } END { print s }')
single_bytes=$(stat -c %s dist/web/Tavrel.html)
printf 'dist/web/: %d bytes (budget 1048576)\n' "$folder_bytes"
printf 'dist/web/Tavrel.html: %d bytes (budget 614400)\n' "$single_bytes"
if ((folder_bytes > 1048576 || single_bytes > 614400)); then
    echo "over budget" >&2
    exit 1
fi
