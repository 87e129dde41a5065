#!/usr/bin/env bash
# deb_upgrade_test.sh DEB NEXT_DEB
# The Debian package upgrades as a machine meets it: DEB installed, then the
# next version (NEXT_DEB, the same source packed as the version after) over
# it, then DEB again (a downgrade, as an administrator rolls back). Each
# step runs dpkg into a private root, so the machine's own packages are
# never touched. After each: dpkg records the version just installed, every
# file the package lists is in place with the content dpkg recorded for it
# (dpkg --verify), and nothing else is there (no file of the other
# version's, no .dpkg-new or .dpkg-old left behind).
set -uo pipefail
[[ $# -eq 2 ]] || { echo "usage: deb_upgrade_test.sh DEB NEXT_DEB" >&2; exit 2; }
debs=("$1" "$2" "$1")
command -v dpkg >/dev/null || { echo "skipped: no dpkg"; exit "${TAVREL_SKIP_CODE:?}"; }

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
admin=$root/var/lib/dpkg
mkdir -p "$admin/info" "$admin/updates"
touch "$admin/status"
# Only the package's own files are under test: its dependencies (Qt, the
# fonts) are not installed into the private root.
dpkg_in_root() {
    dpkg --root="$root" --admindir="$admin" --log=/dev/null --force-not-root \
        --force-depends --force-script-chrootless "$@"
}

failures=0
fail() {
    echo "FAIL ($step): $*"
    failures=$((failures + 1))
}
for deb in "${debs[@]}"; do
    version=$(dpkg-deb -f "$deb" Version)
    step="install $(basename -- "$deb")"
    if ! dpkg_in_root -i "$deb" >"$root.log" 2>&1; then
        cat "$root.log"
        fail "dpkg -i failed"
        continue
    fi
    installed=$(dpkg_in_root -s tavrel 2>/dev/null | sed -n 's/^Version: //p')
    [[ $installed == "$version" ]] || fail "dpkg records version '$installed', expected $version"
    # dpkg --verify exits 0 whatever it finds: each line it prints is a
    # file that differs from what the package holds.
    verify=$(dpkg_in_root --verify tavrel 2>&1)
    [[ -z $verify ]] || fail "installed files differ from the package's: $verify"
    # Every file in the root is one the package lists (or dpkg's own).
    listed=$(dpkg_in_root -L tavrel | sort)
    while IFS= read -r path; do
        grep -qxF -- "$path" <<<"$listed" || fail "left behind: $path"
    done < <(cd "$root" && find . -path ./var/lib/dpkg -prune -o ! -type d -printf '/%P\n' | sort)
    [[ -x $root/usr/bin/tavrel ]] || fail "no /usr/bin/tavrel"
done
rm -f "$root.log"

if ((failures)); then
    echo "$failures failure(s)"
    exit 1
fi
echo "installed, upgraded to $(dpkg-deb -f "$2" Version) and back to $(dpkg-deb -f "$1" Version): each time the package's files alone, as packed"
