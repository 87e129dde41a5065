# shellcheck shell=bash
# Shared by bench/startup.sh and bench/startup-windows.sh (sourced, not run):
# building the probe, the private X server, the interleaved rounds and the
# table of medians.
#
# Every program is measured by bench/startup_probe.c, one start per call, on
# one private Xvfb with no window manager; see the comment at the top of
# that file for what "drawn", "mapped" and "peak RSS" mean exactly.

bench_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

# Compiles the probe into DIR unless it is up to date; prints its path.
startup_build_probe() {
    local dir=$1 probe=$1/startup_probe source
    local sources=("$bench_dir"/startup_probe.c "$bench_dir"/startup_probe_screen.c "$bench_dir"/startup_probe.h)
    mkdir -p "$dir"
    for source in "${sources[@]}"; do
        if [[ ! -x $probe || $source -nt $probe ]]; then
            cc -std=c11 -O2 -Wall -Wextra -Wpedantic -Wconversion -Wsign-conversion -Wshadow -Werror \
                "${sources[@]:0:2}" -o "$probe" -lXdamage -lXfixes -lXext -lX11
            break
        fi
    done
    echo "$probe"
}

# Starts a private Xvfb (the server picks a free display number and writes it
# to fd 3) and exports DISPLAY. -noreset keeps the server as it is between
# runs instead of resetting it each time the last client leaves.
startup_start_xvfb() {
    local dir=$1 number_file=$1/display-number
    : >"$number_file"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset \
        3>"$number_file" >"$dir/xvfb.log" 2>&1 &
    startup_xvfb_pid=$!
    local waited=0
    until [[ -s $number_file ]]; do
        if ((waited++ > 100)) || ! kill -0 "$startup_xvfb_pid" 2>/dev/null; then
            echo "Xvfb did not start; see $dir/xvfb.log" >&2
            return 1
        fi
        sleep 0.1
    done
    DISPLAY=:$(<"$number_file")
    export DISPLAY
}

# A session bus, as a desktop session has one; Qt programs ask it about
# accessibility and the desktop's settings at start-up.
startup_start_session_bus() {
    local started
    started=$(dbus-daemon --session --fork --print-address=1 --print-pid=1)
    export DBUS_SESSION_BUS_ADDRESS=${started%%$'\n'*}
    startup_bus_pid=${started##*$'\n'}
}

startup_stop_servers() {
    [[ -n ${startup_bus_pid:-} ]] && kill "$startup_bus_pid" 2>/dev/null
    [[ -n ${startup_xvfb_pid:-} ]] && kill "$startup_xvfb_pid" 2>/dev/null
    return 0
}

# startup_rounds ROUNDS RESULTS MEASURE NAME...
# Round 0 starts every program once unrecorded (page cache, font caches,
# anything a first start fills); rounds 1..ROUNDS start each once more, the
# order rotated by one each round, so no program always follows the same
# one. MEASURE NAME must run the probe once for NAME and print its line.
# RESULTS gets "NAME round=N ui_ms=... map_ms=... ..." lines, the probe's own
# figures after the round number.
startup_rounds() {
    local rounds=$1 results=$2 measure=$3
    shift 3
    local names=("$@") count=$# round i name line
    : >"$results"
    for ((round = 0; round <= rounds; round++)); do
        printf '\rround %d/%d' "$round" "$rounds" >&2
        for ((i = 0; i < count; i++)); do
            name=${names[(i + round) % count]}
            line=$("$measure" "$name") || true
            if [[ $line != ui_ms=* ]]; then
                echo >&2
                echo "$name, round $round: ${line:-no output}" >&2
                continue
            fi
            ((round > 0)) && echo "$name round=$round $line" >>"$results"
            sleep "${STARTUP_PAUSE:-0.2}"
        done
    done
    echo >&2
}

# startup_median RESULTS NAME FIELD: the median of one figure of one program.
startup_median() {
    awk -v n="$2" -v f="$3" '$1 == n { for (i = 2; i <= NF; i++) {
            split($i, kv, "="); if (kv[1] == f) print kv[2] } }' "$1" |
        sort -g | awk '{ v[NR] = $1 } END {
            if (NR == 0) { print "nan"; exit }
            print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# startup_cell RESULTS NAME FIELD FORMAT: "median (min-max)" of one figure.
startup_cell() {
    awk -v n="$2" -v f="$3" '$1 == n { for (i = 2; i <= NF; i++) {
            split($i, kv, "="); if (kv[1] == f) print kv[2] } }' "$1" |
        sort -g | awk -v fmt="$4" '{ v[NR] = $1 } END {
            if (NR == 0) { print "-"; exit }
            m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
            printf fmt " (" fmt "-" fmt ")\n", m, v[1], v[NR] }'
}

# startup_table RESULTS "NAME=Label"...: one row per program.
startup_table() {
    local results=$1 entry name label runs
    shift
    printf '%-18s %4s  %-22s %-22s %-22s %s\n' program runs "drawn, ms" "settled, ms" \
        "CPU to drawn, ms" "peak RSS, kB"
    for entry in "$@"; do
        name=${entry%%=*} label=${entry#*=}
        runs=$(awk -v n="$name" '$1 == n' "$results" | wc -l)
        printf '%-18s %4d  %-22s %-22s %-22s %s\n' "$label" "$runs" \
            "$(startup_cell "$results" "$name" ui_ms %.1f)" \
            "$(startup_cell "$results" "$name" settled_ms %.1f)" \
            "$(startup_cell "$results" "$name" cpu_ms %.1f)" \
            "$(startup_cell "$results" "$name" rss_kb %.0f)"
    done
}

# startup_ratio RESULTS FIELD A B: median of A over median of B.
startup_ratio() {
    awk -v a="$(startup_median "$1" "$3" "$2")" -v b="$(startup_median "$1" "$4" "$2")" \
        'BEGIN { printf "%.2f", a / b }'
}

# startup_paired_ratio RESULTS FIELD A B: the median over the rounds of A's
# figure over B's in the same round. The two ran seconds apart, so a load
# that comes and goes on a shared machine mostly cancels out of each ratio.
startup_paired_ratio() {
    awk -v f="$2" -v a="$3" -v b="$4" '
        { round = ""; value = ""
          for (i = 2; i <= NF; i++) { split($i, kv, "=")
              if (kv[1] == "round") round = kv[2]; if (kv[1] == f) value = kv[2] }
          if ($1 == a) of_a[round] = value; if ($1 == b) of_b[round] = value }
        END { for (r in of_a) if (r in of_b) print of_a[r] / of_b[r] }' "$1" |
        sort -g | awk '{ v[NR] = $1 } END {
            if (NR == 0) { print "nan"; exit }
            printf "%.2f", (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# startup_ratios RESULTS FIGURE REFERENCE: Tavrel's median FIGURE over the
# reference's, then (in brackets) the median of each round's own ratio, the
# steadier of the two on a busy machine.
startup_ratios() {
    echo "$(startup_ratio "$1" "$2" tavrel "$3")x" \
        "($(startup_paired_ratio "$1" "$2" tavrel "$3")x)"
}
