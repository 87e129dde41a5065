#!/usr/bin/env bash
# package_contents_test.sh DEB APP_ID VERSION
# Checks the Debian package's metadata and that it installs the program,
# its desktop entry, its metainfo and every icon size in the standard places.
set -euo pipefail
deb=$1
app_id=$2
version=$3
failures=0
passes=0
check() { # description, command...
    local what=$1; shift
    if "$@"; then passes=$((passes + 1)); else echo "FAIL: $what"; failures=$((failures + 1)); fi
}
field() { dpkg-deb -f "$deb" "$1"; }
depends=$(field Depends)
contents=$(dpkg-deb -c "$deb" | awk '{print $NF}')

check "file name" test "$(basename "$deb")" = "tavrel_${version}_$(dpkg --print-architecture).deb"
check "package name" test "$(field Package)" = tavrel
check "version" test "$(field Version)" = "$version"
check "section" test "$(field Section)" = misc
check "summary" grep -q 'score calculator' <<<"$(field Description)"
for dependency in libqt6widgets6 libqt6gui6 libqt6core6 \
    fonts-arphic-gbsn00lp fonts-wqy-microhei fonts-arphic-gkai00mp qt6-translations-l10n; do
    check "depends on $dependency" grep -q "\b$dependency\b" <<<"$depends"
done
check "recommends qt6-wayland" grep -q '\bqt6-wayland\b' <<<"$(field Recommends)"
for path in ./usr/bin/tavrel \
    "./usr/share/applications/$app_id.desktop" \
    "./usr/share/metainfo/$app_id.metainfo.xml" \
    "./usr/share/icons/hicolor/16x16/apps/$app_id.png" \
    "./usr/share/icons/hicolor/32x32/apps/$app_id.png" \
    "./usr/share/icons/hicolor/48x48/apps/$app_id.png" \
    "./usr/share/icons/hicolor/256x256/apps/$app_id.png" \
    "./usr/share/doc/tavrel/copyright" \
    ./usr/share/doc/tavrel/changelog.gz \
    ./usr/share/man/man1/tavrel.1.gz; do
    check "installs $path" grep -qxF "$path" <<<"$contents"
done
# The loader must look for libraries only in the system's directories, never
# beside the program or in the current directory (an empty run path entry).
unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb -x "$deb" "$unpacked"
check "no run path in the program" \
    test -z "$(readelf -d "$unpacked/usr/bin/tavrel" | grep -E '\((RPATH|RUNPATH)\)' || true)"
check "installs nothing outside /usr" test -z "$(grep -v '^\./usr/' <<<"$contents" | grep -vx '\./')"

echo "$passes passed, $failures failed"
[[ $failures == 0 ]]
