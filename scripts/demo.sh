#!/usr/bin/env bash
# Builds trackhost and the plug-in natively and runs trackhost on examples/demo.conf
# for a few seconds with the simulated sensor: its poses change as it turns.
# Installs what is missing first (as root, with apt-get). Extra arguments go to
# trackhost, e.g. scripts/demo.sh --format csv; TRACKER_BUILD_DIR picks another
# build folder than build/.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${TRACKER_BUILD_DIR:-build}

scripts/install-deps.sh native

echo "== building trackhost ($build/)"
cmake -S . -B "$build" -G Ninja >/dev/null
cmake --build "$build" --target trackhost

echo "== $build/bin/trackhost --seconds 3 --rate 10 $* examples/demo.conf"
exec "$build/bin/trackhost" --seconds 3 --rate 10 "$@" examples/demo.conf
