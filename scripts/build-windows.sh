#!/usr/bin/env bash
# Cross-compiles Tavrel.exe for 64-bit and 32-bit Windows with Debian's
# MinGW-w64, from the repository root:
#   scripts/build-windows.sh
# Installs the cross compilers and makensis when they are missing (apt-get
# through sudo when not root), builds both release programs in build-win64/
# and build-win32/ and copies them to dist/windows/x86_64/ and
# dist/windows/x86/, with the installers and portable zips in dist/windows/.
set -euo pipefail

cd "$(dirname "$0")/.."

scripts/install-deps.sh --windows

jobs=$(nproc 2>/dev/null || echo 2)

# build directory, toolchain file, folder under dist/windows
build() {
    local dir=$1 toolchain=$2 arch=$3
    # A build directory keeps its toolchain and settings once configured
    # (the Wine tests may have turned testing on there); only the program
    # is built.
    if [[ -f $dir/CMakeCache.txt ]]; then
        cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Release
    else
        cmake -S . -B "$dir" -DCMAKE_TOOLCHAIN_FILE="cmake/$toolchain" -DCMAKE_BUILD_TYPE=Release \
            -DBUILD_TESTING=OFF
    fi
    cmake --build "$dir" --target tavrel_win32 -j "$jobs"
    mkdir -p "dist/windows/$arch"
    cp "$dir/app/win32/Tavrel.exe" "dist/windows/$arch/Tavrel.exe"
}

build build-win64 toolchain-mingw-x86_64.cmake x86_64
build build-win32 toolchain-mingw-i686.cmake x86

echo
for exe in dist/windows/x86_64/Tavrel.exe dist/windows/x86/Tavrel.exe; do
    printf '%-32s %8d bytes\n' "$exe" "$(stat -c %s "$exe")"
done

# The installers and portable zips (cmake/WindowsInstaller.cmake), copied to
# dist/windows/.
version=$(sed -n 's/^project(Tavrel VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
for arch in win64 win32; do
    cmake -S . -B "build-$arch" # finds makensis if it was just installed
    cmake --build "build-$arch" --target installer portable_zip -j "$jobs"
    for package in "Tavrel-$version-$arch-setup.exe" "Tavrel-$version-$arch-portable.zip"; do
        cp "build-$arch/$package" "dist/windows/$package"
        printf '%-44s %8d bytes\n' "dist/windows/$package" "$(stat -c %s "dist/windows/$package")"
    done
done
