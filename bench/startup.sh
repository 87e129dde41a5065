#!/usr/bin/env bash
# Start-up comparison: Tavrel's Qt release build side by side with an empty
# Qt window and a Qt reference form of the same controls (bench/reference/),
# in interleaved, rotated rounds on one private Xvfb. Prints per program the
# median (min-max) time to the drawn window and to the last change of its
# first frames, the processor time it took to be drawn and its peak RSS;
# then the ratios to the references.
#   bench/startup.sh [ROUNDS]        (default 15)
# Builds what it lacks: Tavrel's release build (preset "linux", installed
# into build/startup/stage), the probe and the references in build/startup/.
# Only the Debian packages of scripts/install-deps.sh --bench are needed.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# shellcheck source-path=SCRIPTDIR source=startup-common.sh
source "$root/bench/startup-common.sh"
rounds=${1:-15}
out=$root/build/startup

"$root/scripts/install-deps.sh" --bench

# Tavrel as it ships: the release build, brought up to date and installed.
(cd "$root" && cmake --preset linux >/dev/null &&
    cmake --build --preset linux --target tavrel --parallel "$(nproc)" >/dev/null &&
    cmake --install build/linux --prefix "$out/stage" >/dev/null)
tavrel=$out/stage/bin/tavrel

probe=$(startup_build_probe "$out")
cmake -S "$root/bench/reference" -B "$out/reference" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$out/reference" --parallel "$(nproc)" >/dev/null

trap startup_stop_servers EXIT
startup_start_xvfb "$out"
startup_start_session_bus
runtime_dir=$out/runtime
mkdir -p "$runtime_dir"
chmod 700 "$runtime_dir" # Qt insists on a private runtime folder

# The programs see the same small environment, whatever the caller's: Qt's
# scaling, style or platform variables would change what is measured.
measure() {
    local program=()
    case $1 in
    empty) program=(--title Empty -- "$out/reference/empty_window") ;;
    form) program=(--title Reference -- "$out/reference/reference_form") ;;
    tavrel) program=(--title Tavrel -- "$tavrel") ;;
    esac
    env -i HOME="$HOME" PATH="$PATH" LANG=C.UTF-8 DISPLAY="$DISPLAY" \
        XDG_RUNTIME_DIR="$runtime_dir" DBUS_SESSION_BUS_ADDRESS="$DBUS_SESSION_BUS_ADDRESS" \
        QT_QPA_PLATFORM=xcb "$probe" "${program[@]}"
}

results=$out/results.txt
startup_rounds "$rounds" "$results" measure empty form tavrel
startup_table "$results" "empty=empty Qt window" "form=Qt reference form" "tavrel=Tavrel"
echo
echo "drawn:    Tavrel $(startup_ratios "$results" ui_ms form) the reference form, $(startup_ratios "$results" ui_ms empty) the empty window"
echo "CPU:      Tavrel $(startup_ratios "$results" cpu_ms form) the reference form, $(startup_ratios "$results" cpu_ms empty) the empty window"
echo "peak RSS: Tavrel $(startup_ratios "$results" rss_kb form) the reference form, $(startup_ratios "$results" rss_kb empty) the empty window"
echo "(each run: $results)"
