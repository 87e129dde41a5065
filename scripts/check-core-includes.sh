#!/usr/bin/env bash
# The core (core/) is toolkit-free: each of its files includes only the C++
# standard library and other core headers. Every Qt include sits in qt/ and
# every Windows header in win32/ (and the tests and benchmarks of those
# front-ends). Prints each stray include and fails on any.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
status=0

# Core files: quoted includes must name core/ headers; angle includes must be
# standard headers (no slash, no extension), or one of the two number
# libraries the conversions fall back to where the standard library lacks
# floating-point <charconv>.
while IFS= read -r hit; do
    echo "core file includes something outside the core and the standard library: $hit"
    status=1
done < <(git grep -n -E '^\s*#\s*include' -- 'core/*' \
    | grep -v -E '#\s*include\s*"core/[a-z0-9_]+\.h"' \
    | grep -v -E '#\s*include\s*<([a-z_]+|fast_float/fast_float\.h|dragonbox/dragonbox(_to_chars)?\.h)>' || true)

# Toolkit headers outside their front-end's folders.
while IFS= read -r hit; do
    echo "Qt header outside qt/ and its tests: $hit"
    status=1
done < <(git grep -n -E '^\s*#\s*include\s*<Q' -- ':!qt/' ':!tests/qt/' ':!bench/' || true)
while IFS= read -r hit; do
    echo "Windows header outside win32/ and its tests: $hit"
    status=1
done < <(git grep -n -i -E '^\s*#\s*include\s*<(windows|winuser|commctrl|wincodec|shellscalingapi|oleacc)\.h>' \
    -- ':!win32/' ':!tests/win32/' ':!tests/installer/' ':!bench/reference/' ':!resources/windows/' || true)

[[ $status -eq 0 ]] && echo "core: only standard and core headers; toolkit headers only in their front-ends"
exit "$status"
