#!/usr/bin/env bash
# The browser edition's suite: builds it (scripts/build-web.sh), runs the
# core's tests compiled to WebAssembly under Node.js (ctest --preset web),
# then the page tests in headless Chromium (tests/web, node --test) against
# dist/web/ and dist/web/Tavrel.html. With CI=true a skipped test fails the
# run, as a failed one always does.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/build-web.sh
export NODE_PATH=/usr/share/nodejs
cmake --build --preset web -j2

log=$(mktemp)
trap 'rm -f "$log"' EXIT
ctest --preset web 2>&1 | tee "$log"
if [[ ${CI:-} == true ]] && grep -q -E '\*\*\*(Skipped|Not Run)' "$log"; then
    echo "test-web: a WebAssembly test was skipped" >&2
    exit 1
fi

(cd tests/web && npm ci --no-audit --no-fund)
node --test --test-reporter=tap tests/web/page.test.js 2>&1 | tee "$log"
if [[ ${CI:-} == true ]] && ! grep -q -x '# skipped 0' "$log"; then
    echo "test-web: a page test was skipped" >&2
    exit 1
fi
