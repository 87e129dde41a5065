#!/usr/bin/env bash
# clang-tidy (.clang-tidy) on every C++ source of the project, and through
# them on every header of core/, qt/, win32/, web/, tests/ and bench/:
#  - the Linux sources (core, Qt front-end, their tests, the benchmarks and
#    the Qt reference programs) through the compile commands of the `linux`
#    preset;
#  - the libFuzzer targets through those of the `fuzz` preset (clang);
#  - the Win32 sources (front-end, its tests, the installer probe, the Win32
#    reference programs) through those of the `win64` preset, with clang-tidy
#    told MinGW-w64's target, headers and libstdc++, as the MinGW g++ uses
#    them;
#  - the browser edition's sources through those of the `web` preset, with
#    Emscripten's target, sysroot and libc++.
# Exits non-zero on any finding, and prints them.
#   scripts/tidy.sh          (configures the presets it needs if not yet)
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
root=$PWD
jobs=${TIDY_JOBS:-$(nproc)}

for tool in clang-tidy run-clang-tidy x86_64-w64-mingw32-g++-posix; do
    command -v "$tool" >/dev/null || { echo "$tool is missing: scripts/install-deps.sh" >&2; exit 1; }
done

# The build directory of a configure preset, configured if it is not yet.
configured() {
    local preset=$1 dir=$root/build/$1
    if [[ ! -f $dir/compile_commands.json ]]; then
        mkdir -p "$root/build"
        cmake --preset "$preset" >"$dir.tidy-configure.log" 2>&1 \
            || { cat "$dir.tidy-configure.log" >&2; exit 1; }
    fi
    echo "$dir"
}

# The Qt tests include the meta-object code AUTOMOC generates: make it (and
# only it) before they are read.
generate_moc() {
    local dir=$1
    mapfile -t autogen < <(cmake --build "$dir" --target help | sed -n 's/^\([a-z0-9_]*_autogen\): phony$/\1/p')
    ((${#autogen[@]} == 0)) || cmake --build "$dir" --target "${autogen[@]}" >/dev/null
}

# MinGW-w64's view of the system: its headers (the sysroot) and the
# libstdc++ of the posix-thread g++ the Windows presets build with, in the
# order that g++ searches them. clang keeps its own intrinsics headers.
mingw_arguments() {
    printf '%s\n' -extra-arg=--target=x86_64-w64-mingw32 -extra-arg=-nostdinc++
    x86_64-w64-mingw32-g++-posix -v -E -x c++ /dev/null 2>&1 \
        | sed -n '/search starts here:/,/End of search list/p' \
        | sed -n 's|^ \(/.*/include/c++.*\)$|\1|p' \
        | while read -r dir; do printf -- '-extra-arg=-isystem%s\n' "$(realpath "$dir")"; done
    local sysroot
    sysroot=$(realpath "$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=libkernel32.a)")/..")
    printf -- '-extra-arg=--sysroot=%s\n' "$sysroot"
}

log_dir=$root/build/tidy
mkdir -p "$log_dir"
failed=0
total=0

# tidy NAME BUILD_DIR [run-clang-tidy options…] -- FILES…
tidy() {
    local name=$1 dir=$2
    shift 2
    local options=()
    while [[ $1 != -- ]]; do options+=("$1"); shift; done
    shift
    local files=("$@") log=$log_dir/$name.log file
    total=$((total + ${#files[@]}))
    # run-clang-tidy skips a file it has no compile command for: that would
    # pass unseen.
    for file in "${files[@]}"; do
        if ! grep -q -F "\"file\": \"$root/$file\"" "$dir/compile_commands.json"; then
            echo "clang-tidy ($name): $file is built by no target of $dir" >&2
            failed=1
        fi
    done
    # run-clang-tidy takes regular expressions: anchor each path.
    local patterns=("${files[@]/#/^$root/}")
    if ! run-clang-tidy -quiet -p "$dir" -j "$jobs" "${options[@]}" "${patterns[@]/%/\$}" \
        >"$log" 2>&1; then
        grep -E -A3 '(warning|error):' "$log" || tail -n 30 "$log"
        echo "clang-tidy ($name): findings above (whole log: $log)" >&2
        failed=1
    fi
}

linux=$(configured linux)
generate_moc "$linux"
mapfile -t linux_sources < <(git ls-files '*.cpp' | grep -E '^(core|qt|tests|bench)/' \
    | grep -v -E '^tests/(win32|installer|fuzz)/|win32')
tidy linux "$linux" -- "${linux_sources[@]}"

fuzz=$(configured fuzz)
mapfile -t fuzz_sources < <(git ls-files 'tests/fuzz/*.cpp')
tidy fuzz "$fuzz" -- "${fuzz_sources[@]}"

windows=$(configured win64)
mapfile -t mingw < <(mingw_arguments)
mapfile -t windows_sources < <(git ls-files '*.cpp' \
    | grep -E '^(win32|tests/win32|tests/installer)/|^bench/reference/.*win32')
tidy windows "$windows" "${mingw[@]}" -- "${windows_sources[@]}"

# The browser edition's sources, as Emscripten's clang compiles them.
web=$(configured web)
sysroot=/usr/share/emscripten/cache/sysroot
mapfile -t web_sources < <(git ls-files 'web/*.cpp')
tidy web "$web" -extra-arg=--target=wasm32-unknown-emscripten -extra-arg=--sysroot=$sysroot \
    -extra-arg=-nostdinc++ -extra-arg=-isystem$sysroot/include/c++/v1 \
    -extra-arg=-isystem$sysroot/include/compat -extra-arg=-D__EMSCRIPTEN__ \
    -extra-arg=-D_LIBCPP_ABI_VERSION=2 -- "${web_sources[@]}"

if ((failed)); then
    echo "clang-tidy: findings in the ${total} files checked" >&2
    exit 1
fi
echo "clang-tidy: no findings in ${total} files (their headers included)"
