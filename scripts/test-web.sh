#!/usr/bin/env bash
# The browser edition's suite: builds it (scripts/build-web.sh), runs the
# core's tests compiled to WebAssembly under Node.js (ctest --preset web),
# then the page tests in headless Chromium (tests/web, node --test) against
# dist/web/ and dist/web/Tavrel.html. With CI=true a skipped test fails the
# run, as a failed one always does.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

scripts/build-web.sh
cmake --workflow --preset web

log=$(mktemp)
trap 'rm -f "$log"' EXIT

(cd tests/web && npm ci --no-audit --no-fund)
node --test --test-reporter=tap tests/web/page.test.js 2>&1 | tee "$log"
if [[ ${CI:-} == true ]] && ! grep -q -x '# skipped 0' "$log"; then
    echo "test-web: a page test was skipped" >&2
    exit 1
fi
