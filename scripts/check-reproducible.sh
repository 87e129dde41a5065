#!/usr/bin/env bash
# Proves the release command cold and reproducible, as CI runs it: two fresh
# clones of HEAD, in different folders (one with a space in its path), each
# runs scripts/release.sh with its own umask and time zone, one after the
# other (so at different times). Both dist/release/ must hold the same
# files with the same bytes, and sha256sum -c must pass on SHA256SUMS.
# Where they differ, diffoscope says how.
#   scripts/check-reproducible.sh
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
first=$work/first
second="$work/second build/elsewhere"
git clone -q "$PWD" "$first"
git clone -q "$PWD" "$second"

# release DIR UMASK TZ: the release command in DIR, with SOURCE_DATE_EPOCH
# left for the command itself to set.
release() {
    local start=$SECONDS
    (cd "$1" && umask "$2" && env -u SOURCE_DATE_EPOCH TZ="$3" bash scripts/release.sh)
    echo "release command in $1 (umask $2, TZ=$3): $((SECONDS - start)) s"
}
release "$first" 022 UTC
release "$second" 077 Asia/Shanghai

(cd "$first/dist/release" && sha256sum -c --quiet SHA256SUMS)
if cmp -s "$first/dist/release/SHA256SUMS" "$second/dist/release/SHA256SUMS"; then
    echo "two release builds, same bytes:"
    cat "$first/dist/release/SHA256SUMS"
    exit 0
fi
echo "the two release builds differ:" >&2
diff "$first/dist/release/SHA256SUMS" "$second/dist/release/SHA256SUMS" >&2 || true
for file in "$first"/dist/release/*; do
    name=$(basename -- "$file")
    [[ $name == SHA256SUMS ]] && continue
    cmp -s "$file" "$second/dist/release/$name" && continue
    diffoscope --text - --max-text-report-size 20000 "$file" "$second/dist/release/$name" >&2 || true
done
exit 1
