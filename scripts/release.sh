#!/usr/bin/env bash
# Builds every artifact of this version, from the repository root:
#   scripts/release.sh
# and leaves them in dist/release/ with SHA256SUMS beside them:
#   tavrel_<version>_<arch>.deb              the Debian package
#   Tavrel-<version>-win64.exe, -win32.exe   the Windows programs
#   Tavrel-<version>-win64-setup.exe, ...    the installers
#   Tavrel-<version>-win64-portable.zip, ... the portable zips
#   Tavrel-<version>-web.zip                 the browser folder, to publish
#   Tavrel-<version>.html                    the browser edition as one file
# It runs the Windows command (scripts/build-windows.sh) and the browser
# command (scripts/build-web.sh) as they are. The version is the project's
# (project(VERSION) in CMakeLists.txt), read back from the configured build.
#
# Reproducible: the same commit gives the same bytes wherever it is built,
# whatever the folder, the time, the umask or the time zone (scripts/
# common.sh stamps the commit's time). To check a download:
#   sha256sum -c SHA256SUMS
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

scripts/install-deps.sh --release
cmake --workflow --preset deb
scripts/build-windows.sh
scripts/build-web.sh

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/app/CMakeCache.txt)
[[ -n $version ]] || { echo "release: no project version in build/app" >&2; exit 1; }
out=dist/release
rm -rf "$out"
mkdir -p "$out"
cp build/app/package/tavrel_"$version"_*.deb "$out/"
cp dist/windows/x86_64/Tavrel.exe "$out/Tavrel-$version-win64.exe"
cp dist/windows/x86/Tavrel.exe "$out/Tavrel-$version-win32.exe"
for arch in win64 win32; do
    cp "dist/windows/Tavrel-$version-$arch-setup.exe" "dist/windows/Tavrel-$version-$arch-portable.zip" "$out/"
done
cp dist/web/Tavrel.html "$out/Tavrel-$version.html"
cmake -E env TZ=UTC cmake -D FOLDER=dist/web -D "OUTPUT=$out/Tavrel-$version-web.zip" \
    -D "PREFIX=tavrel-$version-web" -P cmake/ReproducibleZip.cmake

# Each artifact says which version it is (the Windows programs' version
# blocks are checked by the Windows suites).
carries() {
    grep -q -F -- "$2" "$1" || { echo "release: $1 does not carry version $version" >&2; exit 1; }
}
[[ $(dpkg-deb -f "$out/tavrel_${version}_"*.deb Version) == "$version" ]] ||
    { echo "release: the Debian package is not version $version" >&2; exit 1; }
carries dist/web/manifest.webmanifest "\"version\": \"$version\""
carries dist/web/sw.js "const CACHE = PREFIX + '$version-"

(cd "$out" && sha256sum -- * >SHA256SUMS.new && mv SHA256SUMS.new SHA256SUMS)
echo
echo "dist/release/ (stamped $(date -u -d "@${SOURCE_DATE_EPOCH:-$(date +%s)}" '+%Y-%m-%d %H:%M:%S UTC')):"
(cd "$out" && cat SHA256SUMS)
