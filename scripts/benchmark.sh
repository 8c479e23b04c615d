#!/usr/bin/env bash
# Measures how fast Quorvel starts and how much memory it holds against a bare Qt window, and
# how long a click and each picture's decoding take. Usage: benchmark.sh [RUNS, default 30]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-30}
"$root/scripts/ensure-packages.sh" play tests
cmake -S "$root" -B "$root/build/release" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORVEL_BENCHMARK=ON >/dev/null
cmake --build "$root/build/release" -j 2 --target quorvel quorvel_reference quorvel_bench \
    startup_probe >/dev/null
build=$root/build/release
source "$root/scripts/lib/virtual-display.sh"
work=$(mktemp -d)
trap end_virtual_session EXIT

# No window manager: nothing but the program and the X server takes part.
start_virtual_display "$work" 1024x768x24
mkdir -m 700 "$work/runtime"
export XDG_RUNTIME_DIR="$work/runtime"

# A window is painted once a pixel of its last-drawn part shows: for Quorvel the centre of
# cell (7,5), the last peg the board draws; for the reference the same place of its flat area.
peg=$(convert "$root/resources/cells/peg.png" -format '%[hex:p{30,30}]' info: | cut -c1-6)
probe() { "$build/benchmark/startup_probe" 434 197 "$1" 1000 "$2"; }
quorvel() { probe "$peg" "$build/ui/quorvel"; }
reference() { probe 808080 "$build/benchmark/quorvel_reference"; }

echo "Start-up: $runs runs each, alternating, on a private Xvfb display ($(nproc) cores)"
# One run each first, unmeasured, so that both find the file caches equally warm.
quorvel >/dev/null
reference >/dev/null
for ((i = 1; i <= runs; i++)); do
    echo "reference $(reference)" >>"$work/runs"
    echo "quorvel $(quorvel)" >>"$work/runs"
    printf '\r  %d of %d' "$i" "$runs" >&2
done
echo >&2

# Median and range of column $2 for program $1, scaled by $3.
stats() {
    awk -v who="$1" -v column="$2" -v scale="$3" '$1 == who { print $column * scale }' \
        "$work/runs" | sort -g | awk '{ v[NR] = $1 } END {
            m = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
            printf "%.1f %.1f %.1f\n", m, v[1], v[NR] }'
}
failed=0
row() {
    local what=$1 column=$2 scale=$3 unit=$4 target=$5 q r ratio verdict
    read -r -a q <<<"$(stats quorvel "$column" "$scale")"
    read -r -a r <<<"$(stats reference "$column" "$scale")"
    ratio=$(awk -v a="${q[0]}" -v b="${r[0]}" 'BEGIN { printf "%.2f", a / b }')
    verdict=met
    awk -v x="$ratio" -v t="$target" 'BEGIN { exit !(x > t) }' && { verdict="NOT met"; failed=1; }
    printf '| %s | %s %s (%s–%s) | %s %s (%s–%s) | %s | ≤ %s: %s |\n' "$what" "${q[0]}" "$unit" \
        "${q[1]}" "${q[2]}" "${r[0]}" "$unit" "${r[1]}" "${r[2]}" "$ratio" "$target" "$verdict"
}
echo
echo "| measure (median, range) | Quorvel | bare Qt window | ratio | target |"
echo "|---|---|---|---|---|"
row "process start to window mapped" 2 1 ms 1.05
row "process start to first complete paint" 3 1 ms 1.05
row "resident memory 1 s after the paint" 4 0.0009765625 MiB 1.15

echo
echo "Per-click work and picture decoding, on the same display:"
"$build/benchmark/quorvel_bench" | tee "$work/bench"
awk '/^click/ { if ($(NF - 7) >= 1) exit 1 }' "$work/bench" \
    || { echo "Target NOT met: a click takes a millisecond or more."; failed=1; }
awk '/^decode/ { if ($(NF - 7) >= 5) exit 1 }' "$work/bench" \
    || { echo "Target NOT met: a picture takes 5 ms or more to decode."; failed=1; }
((failed)) && echo "Some targets were not met." || echo "All targets met."
