#!/usr/bin/env bash
# windows_installer_test.sh SETUP.exe PROGRAM.exe START_AND_CLOSE.exe PROBE.exe ARCH VERSION WINE_ROOT OTHER_SETUP.exe
#                           NEXT_SETUP.exe NEXT_PROGRAM.exe NEXT_VERSION
#
# Installs Tavrel the way a school's IT teacher does on many machines
# (silently, /S) in a private Wine prefix under WINE_ROOT, and checks what a
# per-machine install must leave: the program in Program Files, the
# all-users shortcuts, the Programs and Features entry in the registry view
# of the installer's architecture (ARCH: win64 or win32). The first install
# replaces one made by OTHER_SETUP.exe, the other architecture's installer.
# It then starts the installed program from its shortcut and closes it
# (START_AND_CLOSE.exe), upgrades to the next version (NEXT_SETUP.exe, around
# NEXT_PROGRAM.exe, saying NEXT_VERSION), tries install folders no ordinary
# user must control and reinstalling and uninstalling while Tavrel runs,
# all of which are refused with the install left whole, and uninstalls as
# Windows does, checking exit codes, that nothing of ours is left and
# nothing else has gone. PROBE.exe (installer_probe) reads shortcuts and
# version blocks.
#
# Every check is a row with a name; all failing rows are listed, and the
# script exits 1 if there was one, 77 (skipped) when Wine or Xvfb is missing.
# Wine's exit status alone proves little (a 32-bit program that cannot start
# still "exits" 0), so every step is judged by its effects.
set -uo pipefail

readonly skip_code=${TAVREL_SKIP_CODE:?set by the test suite}
skip() {
    echo "skipped: $*"
    exit "$skip_code"
}
[[ $# -eq 11 ]] || {
    echo "usage: windows_installer_test.sh SETUP.exe PROGRAM.exe START_AND_CLOSE.exe PROBE.exe ARCH VERSION WINE_ROOT OTHER_SETUP.exe NEXT_SETUP.exe NEXT_PROGRAM.exe NEXT_VERSION" >&2
    exit 2
}
setup=$1 program=$2 start_and_close=$3 probe=$4 arch=$5 version=$6 root=$7 other_setup=$8
next_setup=$9 next_program=${10} next_version=${11}
limit=${TAVREL_WINE_TIMEOUT:-120}

for tool in wine wineserver Xvfb flock timeout; do
    command -v "$tool" >/dev/null || skip "$tool is not installed (wine, wine32:i386, xvfb)"
done
[[ -f $setup ]] || {
    echo "FAIL: no installer at $setup: build the 'installer' target first"
    exit 1
}

failures=0
pass() { echo "ok   $1"; }
fail() {
    echo "FAIL $1${2:+: $2}"
    failures=$((failures + 1))
}
# check NAME COMMAND...: a row that passes when the command succeeds.
check() {
    local name=$1
    shift
    if "$@"; then pass "$name"; else fail "$name"; fi
}
# not COMMAND...: succeeds when the command fails.
# shellcheck disable=SC2317  # called through check
not() { ! "$@"; }
# same NAME ACTUAL EXPECTED
same() {
    if [[ $2 == "$3" ]]; then pass "$1"; else fail "$1" "got '$2', expected '$3'"; fi
}

case $arch in
win64)
    machine=8664 view=64 other_view=32 program_files='Program Files' other_program_files='Program Files (x86)'
    ;;
win32)
    machine=014c view=32 other_view=64 program_files='Program Files (x86)' other_program_files='Program Files'
    ;;
*)
    echo "ARCH must be win64 or win32, not $arch" >&2
    exit 2
    ;;
esac

# ---------------------------------------------------------------- the prefix
# One prefix per build directory, kept between runs (making one takes about
# 20 s). A run marks it in use and unmarks it only when everything passed,
# so a prefix a failed or killed run may have left Tavrel in is made anew.
mkdir -p "$root"
exec {lock_fd}>"$root/lock"
flock -w "$limit" "$lock_fd" || {
    echo "FAIL: another run holds $root/lock"
    exit 1
}
# shellcheck source=../win32/wine_loader.sh
source "$(dirname -- "${BASH_SOURCE[0]}")/../win32/wine_loader.sh"
use_runnable_wine "$root/bin"
wine=wine
if [[ $machine == 014c ]] && ((!wine_runs_32bit)); then
    skip_no_32bit "the 32-bit installer"
fi
export WINEPREFIX=$root/prefix$wine_prefix_suffix
export WINEDEBUG=-all
# No offer to install Mono or Gecko, and no crash debugger waiting for ever.
export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
unset WINEARCH WAYLAND_DISPLAY

xvfb_pid=
# shellcheck disable=SC2317  # the EXIT trap
finish() {
    timeout 30 wineserver -k 2>/dev/null
    timeout 30 wineserver -w 2>/dev/null
    [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
    [[ $failures -eq 0 && ${completed:-0} == 1 ]] && rm -f "$WINEPREFIX/.in-use"
}
trap finish EXIT
trap 'exit 143' TERM INT HUP

make_prefix() {
    echo "making the Wine prefix $WINEPREFIX (once)"
    rm -rf -- "$WINEPREFIX"
    local settings=$root/settings.reg
    # Wine's own virtual desktop: no window manager needed, and no 2 s wait
    # on every window hidden without one.
    cat >"$settings" <<'EOF'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\Explorer]
"Desktop"="Default"

[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]
"Default"="1024x768"

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\AeDebug]
"Auto"="0"
"Debugger"=""

[HKEY_LOCAL_MACHINE\Software\Wow6432Node\Microsoft\Windows NT\CurrentVersion\AeDebug]
"Auto"="0"
"Debugger"=""

; What 64-bit Windows says to 32-bit programs, and a prefix without Wine's
; 32-bit half does not: where their Program Files is.
[HKEY_LOCAL_MACHINE\Software\Wow6432Node\Microsoft\Windows\CurrentVersion]
"ProgramFilesDir"="C:\\Program Files (x86)"
EOF
    # Made by `wine` where it runs, the prefix runs 64-bit and 32-bit
    # programs alike.
    {
        DISPLAY='' timeout 300 "$wine" wineboot --init &&
            DISPLAY='' timeout "$limit" "$wine" regedit /S "Z:${settings//\//\\}" &&
            timeout "$limit" wineserver -w
    } </dev/null >"$root/prefix.log" 2>&1 || {
        cat "$root/prefix.log"
        echo "FAIL: could not make the Wine prefix"
        exit 1
    }
    echo "$wine" >"$WINEPREFIX/.ready"
}
# A prefix made by one loader does not serve the other.
if [[ ! -f $WINEPREFIX/.ready || -f $WINEPREFIX/.in-use || $(<"$WINEPREFIX/.ready") != "$wine" ]]; then
    make_prefix
fi
touch "$WINEPREFIX/.in-use"
[[ $machine == 8664 || -f $WINEPREFIX/drive_c/windows/syswow64/kernel32.dll ]] || {
    echo "FAIL: the prefix $WINEPREFIX has no 32-bit half, though Wine's is installed"
    exit 1
}

display_file=$(mktemp)
Xvfb -displayfd 1 -screen 0 1280x1024x24 -nolisten tcp -noreset >"$display_file" 2>/dev/null &
xvfb_pid=$!
for ((i = 0; i < 100; ++i)); do
    [[ -s $display_file ]] && break
    sleep 0.05
done
DISPLAY=:$(tr -d '[:space:]' <"$display_file")
export DISPLAY
rm -f -- "$display_file"
[[ $DISPLAY != : ]] || {
    echo "FAIL: Xvfb did not start"
    exit 1
}

# run PROGRAM ARGS...: a Windows program to its end, its output with Unix
# line ends; the status is the program's, 124 when it ran out of time.
run() {
    timeout -k 10 "$limit" "$wine" "$@" </dev/null 2>/dev/null | tr -d '\r'
}
# Until every process in the prefix has ended, such as the copy of itself
# an uninstaller leaves running when it returns.
settle() {
    timeout "$limit" wineserver -w
}
windows_path() {
    local path=${1//\//\\}
    echo "Z:$path"
}
# setup_in FOLDER [SETUP]: installs silently into FOLDER (this build's
# installer by default) from a batch file, as a deployment tool writes it:
# Wine quotes an argument with a space, and NSIS ignores a quoted /D.
setup_in() {
    local batch=$drive_c/tavrel-setup.bat status
    printf '@"%s" /S /D=%s\r\n@exit /b %%ERRORLEVEL%%\r\n' "$(windows_path "${2:-$setup}")" "$1" >"$batch"
    run cmd /c 'C:\tavrel-setup.bat'
    status=$?
    rm -f -- "$batch"
    return "$status"
}

drive_c=$WINEPREFIX/drive_c
install_dir=$drive_c/$program_files/Tavrel
install_dir_w="C:\\$program_files\\Tavrel"
other_install_dir=$drive_c/$other_program_files/Tavrel
start_menu=$drive_c/ProgramData/Microsoft/Windows/Start\ Menu/Programs
start_menu_w='C:\ProgramData\Microsoft\Windows\Start Menu\Programs'
desktop=$drive_c/users/Public/Desktop
desktop_w='C:\users\Public\Desktop'
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
key=$uninstall_key\\Tavrel
# The current user's own Start menu and desktop, where a per-machine
# install must not put anything.
user_dirs=()
for dir in "$drive_c"/users/*; do
    [[ $(basename "$dir") == Public ]] && continue
    user_dirs+=("$dir/AppData/Roaming/Microsoft/Windows/Start Menu/Programs|$(basename "$dir")'s Start menu"
        "$dir/Desktop|$(basename "$dir")'s desktop")
done

# reg_query VIEW KEY: the key's values, "NAME TYPE DATA" per line.
reg_query() {
    run reg query "$2" "/reg:$1" | sed -n 's/^    \([^ ].*\)    \(REG_[A-Z_]*\)    \(.*\)$/\1\t\2\t\3/p'
    return "${PIPESTATUS[0]}"
}
# shellcheck disable=SC2317  # called through check
key_exists() {
    run reg query "$2" "/reg:$1" >/dev/null
}

# --------------------------------------------------------- before installing
same "the installer is a ${arch} program" "$(pe_machine "$setup")" "$machine"

major=${version%%.*}
quad="$major.$((10#${version#*.})).0.0"
version_block=$(run "$probe" version "$(windows_path "$setup")")
copyright=$(grep -m1 '^Copyright ' "$(dirname "$0")/../../LICENSE")
# One block per language the installer speaks: Chinese (0804) and English
# (0409), whatever the code page.
while IFS='|' read -r table name expected; do
    actual=$(sed -n "s/^${table}[0-9a-f]\{0,4\} $name=//p" <<<"$version_block")
    same "installer version block: $table $name" "$actual" "$expected"
done <<EOF
fixed|FileVersion|$quad
fixed|ProductVersion|$quad
0804|ProductName|Tavrel
0804|FileVersion|$version
0804|ProductVersion|$version
0804|FileDescription|Tavrel 安装程序
0804|CompanyName|The Tavrel developers
0804|LegalCopyright|$copyright
0409|ProductName|Tavrel
0409|FileVersion|$version
0409|ProductVersion|$version
0409|FileDescription|Tavrel Setup
0409|CompanyName|The Tavrel developers
0409|LegalCopyright|$copyright
EOF

# nothing_of_ours_left WHEN
nothing_of_ours_left() {
    local when=$1
    check "$when: no Tavrel folder in $program_files" test ! -e "$install_dir"
    check "$when: no Start-menu shortcut" test ! -e "$start_menu/Tavrel.lnk"
    check "$when: no desktop shortcut" test ! -e "$desktop/Tavrel.lnk"
    check "$when: no uninstall entry in the $view-bit registry" not key_exists "$view" "$key"
    check "$when: no uninstall entry in the $other_view-bit registry" not key_exists "$other_view" "$key"
}
nothing_of_ours_left "before installing"

# ---------------------------------------------------- the first install
# Over an install of the other architecture, which must not stay beside
# ours (one program, one entry, one set of shortcuts).
[[ -f $other_setup ]] || fail "the other architecture's installer is there" "no $other_setup"
run "$other_setup" /S /NODESKTOP
settle
check "the other architecture's installer installs into $other_program_files" \
    test -f "$other_install_dir/Tavrel.exe"
check "the other architecture's installer makes its entry in the $other_view-bit registry" \
    key_exists "$other_view" "$key"

run "$setup" /S /NODESKTOP
status=$?
settle
same "installing with /S /NODESKTOP exits with 0" "$status" 0
check "installing replaces the other architecture's install: no folder in $other_program_files" \
    test ! -e "$other_install_dir"

# installed WHEN [PROGRAM VERSION]: the files, shortcut and registry values
# of an install of PROGRAM, version VERSION (this build's by default).
installed() {
    local when=$1 program=${2:-$program} version=${3:-$version}
    check "$when: Tavrel.exe is the built program" cmp -s "$program" "$install_dir/Tavrel.exe"
    same "$when: the installed program's version block says $version" \
        "$(run "$probe" version "$install_dir_w\\Tavrel.exe" | sed -n 's/^080404b0 FileVersion=//p')" "$version"
    check "$when: the uninstaller is there" test -f "$install_dir/uninstall.exe"
    same "$when: the folder holds our two files only" \
        "$(find "$install_dir" -mindepth 1 -printf '%f\n' 2>/dev/null | sort | tr '\n' ' ')" "Tavrel.exe uninstall.exe "
    local -a rows=()
    mapfile -t rows < <(reg_query "$view" "$key")
    local kib=$((($(stat -c %s "$install_dir/Tavrel.exe" 2>/dev/null || echo 0) +
        $(stat -c %s "$install_dir/uninstall.exe" 2>/dev/null || echo 0) + 1023) / 1024))
    local name type expected actual
    while IFS='|' read -r name type expected; do
        actual=$(printf '%s\n' "${rows[@]}" | awk -F'\t' -v n="$name" '$1 == n { print $2 "|" $3 }')
        same "$when: uninstall entry $name" "$actual" "$type|$expected"
    done <<EOF
DisplayName|REG_SZ|Tavrel
DisplayVersion|REG_SZ|$version
Publisher|REG_SZ|The Tavrel developers
DisplayIcon|REG_SZ|$install_dir_w\\Tavrel.exe
InstallLocation|REG_SZ|$install_dir_w
UninstallString|REG_SZ|"$install_dir_w\\uninstall.exe" _?=$install_dir_w
QuietUninstallString|REG_SZ|"$install_dir_w\\uninstall.exe" /S _?=$install_dir_w
NoModify|REG_DWORD|0x1
NoRepair|REG_DWORD|0x1
EstimatedSize|REG_DWORD|$(printf '0x%x' "$kib")
EOF
    check "$when: no uninstall entry in the $other_view-bit registry" not key_exists "$other_view" "$key"
    same "$when: one uninstall entry named Tavrel" \
        "$(run reg query "$uninstall_key" /s "/reg:$view" | grep -c $'^    DisplayName    REG_SZ    Tavrel$')" 1
    check_shortcut "$when: Start-menu shortcut" "$start_menu_w\\Tavrel.lnk" "$start_menu/Tavrel.lnk"
    local entry
    for entry in "${user_dirs[@]}"; do
        check "$when: no shortcut in ${entry#*|}" test ! -e "${entry%%|*}/Tavrel.lnk"
    done
}

# check_shortcut NAME WINDOWS_PATH UNIX_PATH: there, and naming the
# installed program as its target and icon, started in its folder.
check_shortcut() {
    local name=$1 resolved
    if [[ ! -f $3 ]]; then
        fail "$name" "no $3"
        return
    fi
    resolved=$(run "$probe" shortcut "$2")
    local field expected
    while IFS='|' read -r field expected; do
        same "$name $field" "$(sed -n "s/^$field=//p" <<<"$resolved")" "$expected"
    done <<EOF
target|$install_dir_w\\Tavrel.exe
arguments|
directory|$install_dir_w
icon|$install_dir_w\\Tavrel.exe,0
EOF
}

current_program=$program
installed "after installing"
check "after installing with /NODESKTOP: no desktop shortcut" test ! -e "$desktop/Tavrel.lnk"
same "the installed Tavrel.exe is a $arch program" "$(pe_machine "$install_dir/Tavrel.exe" 2>/dev/null)" "$machine"

# The program as a user starts it: from the Start-menu shortcut's target.
target=$(run "$probe" shortcut "$start_menu_w\\Tavrel.lnk" | sed -n 's/^target=//p')
# (Its reason for a failure is on standard error.)
output=$(timeout -k 10 "$limit" "$wine" "$start_and_close" "$target" </dev/null 2>&1 | tr -d '\r')
status=$?
settle
same "the installed program starts and closes with exit code 0 ($output)" "$status" 0

# ------------------------------------------- upgrading to the next version
# The installer runs elevated, so it runs nothing from the install folder,
# which users may have been able to write to: PROBE.exe in the earlier
# uninstaller's place notes where it ran, if it is run at all.
cp -- "$probe" "$install_dir/uninstall.exe"
run "$next_setup" /S
status=$?
settle
same "upgrading to $next_version exits with 0" "$status" 0
ran_from=$(iconv -f UTF-16LE -t UTF-8 "$install_dir/ran-from.txt" 2>/dev/null)
rm -f -- "$install_dir/ran-from.txt"
same "upgrading runs nothing from the install folder" "$ran_from" ""
check "upgrading replaces the earlier uninstaller" not cmp -s "$probe" "$install_dir/uninstall.exe"
installed "after upgrading to $next_version" "$next_program" "$next_version"
check_shortcut "after upgrading: desktop shortcut" "$desktop_w\\Tavrel.lnk" "$desktop/Tavrel.lnk"
current_program=$next_program

# ------------------------------------------------------------ uninstalling
# registry_command VALUE [EXTRA_ARGUMENTS]: runs the entry's command as
# Programs and Features or a management tool does; the extra arguments go
# before the command's own (_?= must stay last). Its exit code is returned.
registry_command() {
    local command
    command=$(reg_query "$view" "$key" | awk -F'\t' -v n="$1" '$1 == n { print $3 }')
    if [[ ! $command =~ ^\"([^\"]+)\"\ (.*)$ ]]; then
        fail "the $1 is a quoted program and arguments" "'$command'"
        return 99
    fi
    local -a arguments
    read -ra arguments <<<"${BASH_REMATCH[2]}"
    run "${BASH_REMATCH[1]}" "${@:2}" "${arguments[@]}"
}
# install_whole WHEN: everything of the install is still there.
install_whole() {
    check "$1: Tavrel.exe stays, unchanged" cmp -s "$current_program" "$install_dir/Tavrel.exe"
    check "$1: the uninstaller stays" test -f "$install_dir/uninstall.exe"
    check "$1: the Start-menu shortcut stays" test -f "$start_menu/Tavrel.lnk"
    check "$1: the desktop shortcut stays" test -f "$desktop/Tavrel.lnk"
    same "$1: the entry still names the install" \
        "$(reg_query "$view" "$key" | awk -F'\t' '$1 == "InstallLocation" { print $3 }')" "$install_dir_w"
}

# Folders no ordinary user may control: /D is read as Windows resolves it,
# and outside Program Files only a new folder directly under a drive's root
# is taken. Each refusal exits with 2 before anything is touched: the
# install stays whole, and the folder named is neither made nor changed.
# (Wine has no folder permissions: what they allow shows on Windows only.)
mkdir -p "$drive_c/Shared" "$drive_c/Empty" "$drive_c/Target" "$drive_c/Schools"
echo "a teacher's file" >"$drive_c/Shared/notes.txt"
# Wine makes no junctions (mklink /J fails), but shows a symbolic link in
# the prefix to Windows programs as a reparse point, as a junction is.
ln -s Target "$drive_c/Junction"
ln -s Missing "$drive_c/Dangling"
while IFS='|' read -r scenario folder made; do
    setup_in "$folder"
    status=$?
    settle
    same "$scenario: refused with exit code 2" "$status" 2
    install_whole "$scenario"
    check "$scenario: no program there" test ! -e "$drive_c/${made//\\//}/Tavrel.exe"
    check "$scenario: no uninstaller there" test ! -e "$drive_c/${made//\\//}/uninstall.exe"
done <<'EOF'
/D with .. leading out of Program Files|C:\Program Files\..\users\Public\Tavrel|users\Public\Tavrel
an existing folder with files in it|C:\Shared|Shared
an existing empty folder|C:\Empty|Empty
a folder below one that exists|C:\Schools\Tavrel|Schools\Tavrel
a folder whose parent is missing|C:\Apps\Tavrel|Apps\Tavrel
a junction directly under the root|C:\Junction|Target
a new folder behind a junction|C:\Junction\Tavrel|Target\Tavrel
a junction to a folder not yet made|C:\Dangling|Missing
a network path|\\server\share\Tavrel|server
EOF
check "/D with ..: no Tavrel folder made in the public folder" test ! -e "$drive_c/users/Public/Tavrel"
check "a folder below one that exists: nothing made in it" test -z "$(ls -A "$drive_c/Schools" 2>/dev/null)"
check "a folder whose parent is missing: the parent is not made" test ! -e "$drive_c/Apps"
same "an existing folder with files in it: its files stay, alone" "$(ls -A "$drive_c/Shared" 2>/dev/null)" "notes.txt"
check "an existing empty folder: stays, empty" test -d "$drive_c/Empty" -a -z "$(ls -A "$drive_c/Empty" 2>/dev/null)"
check "a junction: its target stays, empty" test -d "$drive_c/Target" -a -z "$(ls -A "$drive_c/Target" 2>/dev/null)"
check "a junction to a folder not yet made: the folder is not made" test ! -e "$drive_c/Missing"
rm -rf -- "$drive_c/Shared" "$drive_c/Empty" "$drive_c/Target" "$drive_c/Junction" "$drive_c/Dangling" \
    "$drive_c/Missing" "$drive_c/Schools"

# While Tavrel runs its file cannot be replaced or deleted: every command
# gives up, says so by its exit code, and leaves the install whole rather
# than half removed or doubled.
timeout -k 10 "$limit" "$wine" start "$install_dir_w\\Tavrel.exe" </dev/null >/dev/null 2>&1
run "$probe" window Tavrel 60 || fail "Tavrel started for the running-program rows" "its window did not appear"
while IFS='|' read -r scenario kind arguments; do
    # shellcheck disable=SC2086  # the arguments are words
    case $kind in
    setup) run "$setup" $arguments ;;
    registry) registry_command $arguments ;;
    esac
    status=$?
    # (No settle: Tavrel runs on.)
    same "$scenario while Tavrel runs: exit code" "$status" 2
    install_whole "$scenario while Tavrel runs"
done <<'EOF'
reinstalling into the same folder|setup|/S
reinstalling into another folder|setup|/S /D=C:\Elsewhere
the quiet uninstall command|registry|QuietUninstallString
the uninstall command with /S|registry|UninstallString /S
EOF
check "reinstalling into another folder while Tavrel runs: no folder made" test ! -e "$drive_c/Elsewhere"
timeout 30 wineserver -k
settle

# A file of the teacher's own in the folder, and the folders around ours,
# must survive the uninstaller. As Programs and Features does: the
# UninstallString, here with /S; it returns when all is done, but for its
# own file (under Wine, which does not let it move its running file away,
# that goes when it has ended).
echo "a file that is not ours" >"$install_dir/notes.txt"
registry_command UninstallString /S
same "the uninstall command exits with 0" "$?" 0
check "after uninstalling: Tavrel.exe is gone" test ! -e "$install_dir/Tavrel.exe"
check "after uninstalling: no Start-menu shortcut" test ! -e "$start_menu/Tavrel.lnk"
check "after uninstalling: no desktop shortcut" test ! -e "$desktop/Tavrel.lnk"
check "after uninstalling: no uninstall entry" not key_exists "$view" "$key"
settle
check "after uninstalling: the uninstaller is gone" test ! -e "$install_dir/uninstall.exe"
check "after uninstalling: a file not ours stays, in its folder" test -f "$install_dir/notes.txt"
check "after uninstalling: the Start menu's Programs folder stays" test -d "$start_menu"
check "after uninstalling: $program_files stays" test -d "$drive_c/$program_files"
check "after uninstalling: the public desktop stays" test -d "$desktop"
check "after uninstalling: the uninstall list stays" key_exists "$view" "$uninstall_key"

# Installs elsewhere, as a teacher may choose (/D=): a new folder directly
# under a drive's root, made by the installer. Installing again without
# saying where stays there, and installing into another folder removes the
# earlier install with the folder it made. A folder in Program Files that
# was there before is taken as it is, and left when uninstalling.
rm -f -- "$install_dir/notes.txt"
rmdir -- "$install_dir"
run "$setup" /S '/D=C:\Schools'
same "installing into a new folder under the root exits with 0" "$?" 0
settle
run "$setup" /S
same "installing again into it exits with 0" "$?" 0
settle
check "installing again without /D stays in the folder chosen before" test -f "$drive_c/Schools/Tavrel.exe"
check "installing again without /D puts nothing in $program_files" test ! -e "$install_dir"
setup_in 'C:\PROGRA~1\..\Tavrel'
same "installing into another folder (given with a short name and ..) exits with 0" "$?" 0
settle
check "installing into another folder: the program is there" test -f "$drive_c/Tavrel/Tavrel.exe"
check "installing into another folder removes the earlier install and the folder it made" \
    test ! -e "$drive_c/Schools"
same "installing into another folder: the entry names the new folder" \
    "$(reg_query "$view" "$key" | awk -F'\t' '$1 == "InstallLocation" { print $3 }')" 'C:\Tavrel'
same "installing into another folder: one uninstall entry named Tavrel" \
    "$(run reg query "$uninstall_key" /s "/reg:$view" | grep -c $'^    DisplayName    REG_SZ    Tavrel$')" 1

# A drive's root never gets the program, nor the rules of its folder (the
# installer takes the earlier folder instead).
run "$setup" /S "/D=C:\\"
same "/D naming a drive's root: refused with exit code 2" "$?" 2
settle
check "/D naming a drive's root: no program there" test ! -e "$drive_c/Tavrel.exe"
check "/D naming a drive's root: the install stays where it was" test -f "$drive_c/Tavrel/uninstall.exe"

# The quiet uninstall command, as a management tool would run it: when it
# returns, nothing at all remains.
registry_command QuietUninstallString
same "the quiet uninstall command exits with 0" "$?" 0
check "after the quiet uninstall: Tavrel.exe is gone" test ! -e "$drive_c/Tavrel/Tavrel.exe"
check "after the quiet uninstall: no uninstall entry" not key_exists "$view" "$key"
settle
check "after the quiet uninstall: no C:\\Tavrel folder" test ! -e "$drive_c/Tavrel"
nothing_of_ours_left "after the quiet uninstall"
check "after the quiet uninstall: the registry mentions Tavrel nowhere in HKLM" \
    not grep -qi 'tavrel' "$WINEPREFIX/system.reg"

mkdir -p "$drive_c/$program_files/Existing"
setup_in "C:\\$program_files\\Existing"
same "installing into an existing folder in $program_files exits with 0" "$?" 0
settle
check "installing into an existing folder in $program_files: the program is there" \
    test -f "$drive_c/$program_files/Existing/Tavrel.exe"
registry_command QuietUninstallString
same "uninstalling from an existing folder exits with 0" "$?" 0
settle
check "uninstalling keeps a folder the installer did not make" test -d "$drive_c/$program_files/Existing"
check "uninstalling removes our files from it" test -z "$(ls -A "$drive_c/$program_files/Existing" 2>/dev/null)"
rmdir -- "$drive_c/$program_files/Existing"

completed=1
if [[ $failures -eq 0 ]]; then
    echo "the $arch installer installs, upgrades and uninstalls cleanly"
    exit 0
fi
echo "$failures check(s) failed"
exit 1
