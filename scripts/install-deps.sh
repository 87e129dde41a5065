#!/usr/bin/env bash
# Installs the Debian packages Tavrel needs, skipping those already present.
#   scripts/install-deps.sh            build + run the program
#   scripts/install-deps.sh --test     also what the test suite needs
#   scripts/install-deps.sh --bench    also what the start-up benchmark needs
#   scripts/install-deps.sh --check    also what scripts/check.sh needs
#   scripts/install-deps.sh --windows  only what the Windows build needs
#   scripts/install-deps.sh --web      only what the browser edition and its tests need
#   scripts/install-deps.sh --release  what scripts/release.sh needs
# Runs apt-get through sudo when not already root.
#
# A package index that cannot be read (a mirror mid-sync answers with a size
# mismatch, say) does not stop the install: apt-get update is tried again,
# then the packages are installed from the indexes that were read, and the
# script fails only if a package it needs could not be installed, naming it.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

run_packages=(
    qt6-translations-l10n    # Qt's own zh_CN texts (context menus, dialogs)
    fonts-arphic-gbsn00lp    # Song face standing in for 宋体
    fonts-wqy-microhei       # Hei face standing in for 黑体
    fonts-arphic-gkai00mp    # Kai face standing in for 华文新魏
)
# The presets configure the tests and the benchmarks too, so the one-header
# test runner and Google Benchmark are part of every build.
build_packages=(cmake ninja-build g++ qt6-base-dev doctest-dev libbenchmark-dev
    libfast-float-dev libdragonbox-dev)   # the conversions' fallback, proven on the host
test_packages=(
    git                        # the README commands' cold runs clone the repository
    locales                    # locale sources, for the decimal-comma number test
    desktop-file-utils appstream   # offline validators of the desktop files
    dpkg-dev file              # the Debian package: dpkg-shlibdeps, file
    xvfb xauth libx11-dev      # starting the packaged program on a real X server
    weston qt6-wayland         # ... and on a headless Wayland compositor
    dbus at-spi2-core          # a session and accessibility bus for the screen-reader test
    binutils-mingw-w64-x86-64  # checking the Windows resources with windres
    lintian devscripts         # Debian's own checks of the .deb, hardening-check
    g++-multilib               # the core's tests as 32-bit x86 code (preset i686)
)
# The Windows programs, installers and zips (scripts/build-windows.sh): the
# MinGW-w64 cross-compilers (the -posix ones, which have std::thread) with
# their binutils (windres, objdump), and makensis.
windows_packages=(
    cmake ninja-build doctest-dev
    g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
    g++-mingw-w64-i686-posix binutils-mingw-w64-i686
    nsis zip
)
# Their suites (scripts/test.sh) run under Wine; they also use xvfb, xauth
# and locales from the test list. Wine's 32-bit half is added below where
# the kernel can run it.
windows_test_packages=("${windows_packages[@]}" wine wine64)

# The browser edition (scripts/build-web.sh, scripts/test-web.sh): Emscripten
# with the header-only number libraries its libc++ needs, Node.js to run the
# wasm tests (npm fetches the browser drivers and axe-core from the lock
# file), and the three engines the page is tested in: Chromium, Firefox ESR
# and WebKitGTK (its WebDriver on a private X server).
web_packages=(
    cmake ninja-build doctest-dev emscripten
    libfast-float-dev libdragonbox-dev
    chromium firefox-esr webkit2gtk-driver xvfb xauth
    fonts-arphic-gbsn00lp fonts-wqy-microhei fonts-arphic-gkai00mp
)

check_packages=(
    clang-format clang-tidy                        # formatting and static analysis
    clang-14 libfuzzer-14-dev libclang-rt-14-dev   # libFuzzer targets
)
bench_packages=(
    xvfb dbus libx11-dev libxdamage-dev libxfixes-dev   # the start-up benchmark
    libxext-dev   # ... reading windows back through shared memory
)
# The release: every artifact built (the Debian package needs dpkg-shlibdeps
# and file), then, in CI, built again elsewhere and compared.
release_packages=(dpkg-dev file git zip diffoscope)

# Wine runs 32-bit programs only where the kernel runs 32-bit x86 code: only
# there is its i386 half (and the i386 architecture) worth asking for. It is
# wanted, not needed: without it the 32-bit programs' tests report skipped.
optional=()
if scripts/kernel-runs-ia32.sh; then
    optional+=(wine32:i386)
else
    # ... and the i686 core tests run under user-mode emulation instead.
    test_packages+=(qemu-user)
fi

wanted=("${run_packages[@]}" "${build_packages[@]}")
case "${1:-}" in
--test) wanted+=("${test_packages[@]}" "${windows_test_packages[@]}" "${web_packages[@]}") ;;
--bench) wanted+=("${bench_packages[@]}") ;;
--check) wanted+=("${test_packages[@]}" "${windows_test_packages[@]}" "${check_packages[@]}") ;;
--windows) wanted=("${windows_packages[@]}") optional=() ;;
--web) wanted=("${web_packages[@]}") optional=() ;;
--release) wanted+=("${windows_packages[@]}" "${web_packages[@]}" "${release_packages[@]}") optional=() ;;
"") optional=() ;;
*) echo "unknown option $1" >&2; exit 2 ;;
esac
case "${1:-}" in --web | --test | --release)
    # Debian's npm, unless a Node.js that brings its own is installed.
    command -v npm >/dev/null || wanted+=(nodejs npm) ;;
esac

installed() {
    dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'
}
missing=() missing_optional=()
for pkg in "${wanted[@]}"; do
    installed "$pkg" || missing+=("$pkg")
done
for pkg in "${optional[@]}"; do
    installed "$pkg" || missing_optional+=("$pkg")
done
[[ ${#missing[@]} -eq 0 && ${#missing_optional[@]} -eq 0 ]] && exit 0

as_root=()
if [[ $(id -u) -ne 0 ]]; then
    as_root=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
# wine32 is an i386 package: apt knows of it once dpkg takes that
# architecture, before the package lists are updated.
if [[ " ${missing_optional[*]} " == *":i386 "* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    "${as_root[@]}" dpkg --add-architecture i386
fi

echo "Installing: ${missing[*]} ${missing_optional[*]}"
updated=0
for attempt in 1 2 3; do
    if "${as_root[@]}" apt-get update -q; then
        updated=1
        break
    fi
    echo "install-deps: apt-get update failed (attempt $attempt of 3)" >&2
    ((attempt < 3)) && sleep $((attempt * 10))
done
((updated)) || echo "install-deps: going on with the package indexes that could be read" >&2

apt_install() {
    "${as_root[@]}" apt-get install -y -q --no-install-recommends "$@"
}
# All at once; if that fails, one at a time, to name what cannot be had.
if ! apt_install "${missing[@]}" "${missing_optional[@]}"; then
    failed=()
    for pkg in "${missing[@]}"; do
        apt_install "$pkg" || failed+=("$pkg")
    done
    for pkg in "${missing_optional[@]}"; do
        apt_install "$pkg" ||
            echo "install-deps: $pkg could not be installed; the tests that need it will report skipped" >&2
    done
    if [[ ${#failed[@]} -gt 0 ]]; then
        echo "install-deps: these packages could not be installed: ${failed[*]}" >&2
        exit 1
    fi
fi
