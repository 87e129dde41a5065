#!/usr/bin/env bash
# The browser edition's suite: builds it (scripts/build-web.sh), runs the
# core's tests compiled to WebAssembly under Node.js (ctest --preset web),
# then the page tests in Chromium, Firefox ESR and WebKitGTK (tests/web,
# node --test) against dist/web/ and dist/web/Tavrel.html. With CI=true a
# test that cannot run fails the run, as a failed one always does.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

scripts/build-web.sh
cmake --workflow --preset web

(cd tests/web && npm ci --no-audit --no-fund)
# Under CI (CI=true) an engine that is missing fails its tests instead of
# skipping them (tests/web/page.test.js).
node --test tests/web/page.test.js
