#!/usr/bin/env bash
# Cross-compiles Tavrel.exe for 64-bit and 32-bit Windows with Debian's
# MinGW-w64, from the repository root:
#   scripts/build-windows.sh
# Installs the cross compilers and makensis when they are missing (apt-get
# through sudo when not root), builds the release programs of the presets
# win64 and win32 with their installers and portable zips (the workflows
# win64-dist and win32-dist), and installs them into dist/windows/:
# x86_64/Tavrel.exe, x86/Tavrel.exe and the packages.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

scripts/install-deps.sh --windows

for preset in win64 win32; do
    cmake --workflow --preset "$preset-dist"
    cmake --install "build/$preset" --prefix dist/windows --component windows_dist
done

echo
find dist/windows -type f -printf '%-48p %8s bytes\n' | sort
