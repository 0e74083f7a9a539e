#!/usr/bin/env bash
# Instructions per recvData cycle and per iteration of the floor, counted by
# callgrind: stable where times are not. Each kind of work runs twice with
# different iteration counts; the difference divided by the difference of the
# counts is one iteration, free of start-up and set-up.
#
#   bench/instructions.sh [build dir]     (default build-perf, built if needed)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-perf}

if [ ! -x "$build/bin/cycle_driver" ]; then
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTRACKER_BENCH=ON >/dev/null
fi
cmake --build "$build" --target cycle_driver >/dev/null

few=2000
many=22000
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# Instructions of one run of the driver.
count() {
    valgrind --tool=callgrind --callgrind-out-file="$scratch/out" \
        "$build/bin/cycle_driver" "$1" "$2" 2>"$scratch/log" >/dev/null
    sed -n 's/.*Collected : \([0-9]*\).*/\1/p' "$scratch/log"
}

# Instructions of one iteration of a mode.
per_iteration() {
    local low high
    low=$(count "$1" "$few")
    high=$(count "$1" "$many")
    echo $(((high - low) / (many - few)))
}

floor=$(per_iteration floor)
loop=$(per_iteration cycle)
control=$(per_iteration control)
read=$(per_iteration read)
cycle=$((loop - control))
plugin=$((cycle - read))

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
echo "instructions per iteration (callgrind, $build)"
printf '  %-46s %6d\n' "floor: 12 sin/cos, 3 atan2, 1 sqrt, lock" "$floor"
printf '  %-46s %6d  %s x floor\n' "recvData cycle, everything on" "$cycle" "$(ratio "$cycle" "$floor")"
printf '  %-46s %6d\n' "  of which the sensor library call" "$read"
printf '  %-46s %6d  %s x floor\n' "recvData less the sensor library call" "$plugin" "$(ratio "$plugin" "$floor")"
printf '  %-46s %6d\n' "simulator: set reading (not in recvData)" "$control"
