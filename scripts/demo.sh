#!/usr/bin/env bash
# Builds trackhost and the plug-in natively and runs trackhost on examples/demo.conf
# for a few seconds with the simulated sensor: its poses change as it turns.
# Installs what is missing first (as root, with apt-get). Extra arguments go to
# trackhost, e.g. scripts/demo.sh --format csv; TRACKER_BUILD_DIR picks another
# build folder than build/.
# scripts/demo.sh --view [[ADDRESS:]PORT] serves the three simulated sensors of
# examples/multi.conf to browsers instead (port 8080 by default), until Ctrl-C.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${TRACKER_BUILD_DIR:-build}

scripts/install-deps.sh native

echo "== building trackhost ($build/)"
cmake -S . -B "$build" -G Ninja >/dev/null
cmake --build "$build" --target trackhost

if [ "${1:-}" = --view ]; then
    shift
    view=8080
    if [ $# -gt 0 ] && [ "${1#-}" = "$1" ]; then
        view=$1
        shift
    fi
    echo "== $build/bin/trackhost --view $view --rate 60 --quiet --output /dev/null $* examples/multi.conf"
    case $view in
    *:*) url=http://$view/ ;;
    *) url=http://127.0.0.1:$view/ ;;
    esac
    echo "== open $url in a browser; Ctrl-C ends trackhost"
    exec "$build/bin/trackhost" --view "$view" --rate 60 --quiet --output /dev/null "$@" \
        examples/multi.conf
fi

echo "== $build/bin/trackhost --seconds 3 --rate 10 $* examples/demo.conf"
exec "$build/bin/trackhost" --seconds 3 --rate 10 "$@" examples/demo.conf
