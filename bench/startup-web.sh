#!/usr/bin/env bash
# Start-up of the browser edition against a plain HTML page of the same
# controls (bench/web/startup.mjs): builds dist/web, then loads both pages in
# turn in one headless Chromium. A benchmark, not a test: it prints figures.
#   ROUNDS=20 bench/startup-web.sh
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build-web.sh
(cd tests/web && npm ci --no-audit --no-fund)
node bench/web/startup.mjs
