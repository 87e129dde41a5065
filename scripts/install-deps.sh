#!/usr/bin/env bash
# Installs the Debian packages Tavrel needs, skipping those already present.
#   scripts/install-deps.sh          build + run the program
#   scripts/install-deps.sh --test   also what the test suite needs
#   scripts/install-deps.sh --bench  also what the start-up benchmark needs
#   scripts/install-deps.sh --check  also what scripts/check.sh needs
#   scripts/install-deps.sh --windows  only what the Windows build needs
#   scripts/install-deps.sh --web      only what the browser edition and its tests need
# Runs apt-get through sudo when not already root.
set -euo pipefail

run_packages=(
    qt6-translations-l10n    # Qt's own zh_CN texts (context menus, dialogs)
    fonts-arphic-gbsn00lp    # Song face standing in for 宋体
    fonts-wqy-microhei       # Hei face standing in for 黑体
    fonts-arphic-gkai00mp    # Kai face standing in for 华文新魏
)
# The presets configure the tests and the benchmarks too, so the one-header
# test runner and Google Benchmark are part of every build.
build_packages=(cmake g++ make qt6-base-dev doctest-dev libbenchmark-dev
    libfast-float-dev libdragonbox-dev)   # the conversions' fallback, proven on the host
test_packages=(
    locales                    # locale sources, for the decimal-comma number test
    desktop-file-utils appstream   # offline validators of the desktop files
    dpkg-dev file              # the Debian package: dpkg-shlibdeps, file
    xvfb xauth libx11-dev      # starting the packaged program on a real X server
    weston qt6-wayland         # ... and on a headless Wayland compositor
    dbus at-spi2-core          # a session and accessibility bus for the screen-reader test
    binutils-mingw-w64-x86-64  # checking the Windows resources with windres
)
test_packages+=(lintian)   # Debian's own checks of the .deb (tests/package)
# The Windows programs, installers and zips (scripts/build-windows.sh): the
# MinGW-w64 cross-compilers (the -posix ones, which have std::thread) with
# their binutils (windres, objdump), and makensis.
windows_packages=(
    cmake make doctest-dev
    g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
    g++-mingw-w64-i686-posix binutils-mingw-w64-i686
    nsis
)
# Their suites (scripts/test.sh) run under Wine, for 64-bit and 32-bit
# programs (`wine` puts the command on PATH); they also use xvfb, xauth and
# locales from the test list.
windows_test_packages=("${windows_packages[@]}" wine wine64 wine32:i386)

# The browser edition (scripts/build-web.sh, scripts/test-web.sh): Emscripten
# with the header-only number libraries its libc++ needs, Node.js to run the
# wasm tests (npm fetches playwright-core and axe-core from the lock file),
# and Chromium for the page tests.
web_packages=(
    cmake make doctest-dev emscripten
    libfast-float-dev libdragonbox-dev
    chromium fonts-arphic-gbsn00lp fonts-wqy-microhei fonts-arphic-gkai00mp
)

check_packages=(
    clang-format clang-tidy                        # formatting and static analysis
    clang-14 libfuzzer-14-dev libclang-rt-14-dev   # libFuzzer targets
)
bench_packages=(
    xvfb dbus libx11-dev libxdamage-dev libxfixes-dev   # the start-up benchmark
    libxext-dev   # ... reading windows back through shared memory
)

wanted=("${run_packages[@]}" "${build_packages[@]}")
case "${1:-}" in
--test) wanted+=("${test_packages[@]}" "${windows_test_packages[@]}") ;;
--bench) wanted+=("${bench_packages[@]}") ;;
--check) wanted+=("${test_packages[@]}" "${windows_test_packages[@]}" "${check_packages[@]}") ;;
--windows) wanted=("${windows_packages[@]}") ;;
--web)
    wanted=("${web_packages[@]}")
    # Debian's npm, unless a Node.js that brings its own is installed.
    command -v npm >/dev/null || wanted+=(nodejs npm)
    ;;
esac

missing=()
for pkg in "${wanted[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$pkg")
    fi
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

as_root=()
if [[ $(id -u) -ne 0 ]]; then
    as_root=(sudo)
fi
# wine32 is an i386 package: apt knows of it once dpkg takes that
# architecture, before the package lists are updated.
if [[ " ${missing[*]} " == *":i386 "* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    "${as_root[@]}" dpkg --add-architecture i386
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -q
"${as_root[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
