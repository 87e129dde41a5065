# Sourced by the scripts in this folder: what every one of them sets up the
# same way. Runs from the repository root.
cd "$(dirname "${BASH_SOURCE[0]}")/.." || exit 1

# Every build of a commit stamps the same time wherever a tool records one
# (the Windows linker's PE header, Qt's resource compiler, the Debian
# package's archives, the zips): the commit's own, so that the same source
# gives the same bytes. Outside a git checkout the tools use their defaults.
if [[ -z ${SOURCE_DATE_EPOCH:-} ]] && epoch=$(git log -1 --format=%ct 2>/dev/null); then
    export SOURCE_DATE_EPOCH=$epoch
fi
unset epoch
# Files the builds make are packed as they are: their modes must not depend
# on the caller's umask.
umask 022
