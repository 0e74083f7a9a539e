#!/usr/bin/env bash
# Builds trackhost and the plug-in natively and runs trackhost on examples/demo.conf
# for a few seconds with the simulated sensor: its poses change as it turns.
# Installs what is missing first (as root, with apt-get). Extra arguments go to
# trackhost, e.g. scripts/demo.sh --format csv; TRACKER_BUILD_DIR picks another
# build folder than build/. "scripts/demo.sh dropout" runs for 10 seconds instead and
# unplugs the simulated sensor 2 seconds in for 3 seconds: watch the records stop, the
# status line count the failed cycles, and the device reconnect by itself.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${TRACKER_BUILD_DIR:-build}

scripts/install-deps.sh native

echo "== building trackhost ($build/)"
cmake -S . -B "$build" -G Ninja >/dev/null
cmake --build "$build" --target trackhost

run=(--seconds 3 --rate 10)
if [ "${1:-}" = dropout ]; then
    shift
    run=(--seconds 10 --rate 10 --sim-dropout 1:2:3)
fi
echo "== $build/bin/trackhost ${run[*]} $* examples/demo.conf"
exec "$build/bin/trackhost" "${run[@]}" "$@" examples/demo.conf
