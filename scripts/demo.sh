#!/usr/bin/env bash
# Builds trackhost and the plug-in natively and runs trackhost with the simulated
# sensor: its poses change as it turns. Installs only what building and running
# need (as root, with apt-get; no test or format tools).
#
#   scripts/demo.sh [trackhost options] [CONFIG_FILE]
#   scripts/demo.sh                                   examples/demo.conf, 3 s at 10 Hz
#   scripts/demo.sh --format csv
#   scripts/demo.sh --cycles 50 examples/multi.conf
#
# Without a configuration file it runs examples/demo.conf; without --cycles or
# --seconds it runs 3 seconds; without --rate at 10 Hz. TRACKER_BUILD_DIR picks
# another build folder than build/.
#
#   scripts/demo.sh dropout [trackhost options] [CONFIG_FILE]
#
# runs 10 seconds instead and unplugs the simulated sensor on port 1 two seconds
# in for three seconds: watch the records stop, the status line count the failed
# cycles, and the device reconnect by itself.
#
#   scripts/demo.sh --view [[ADDRESS:]PORT]
#
# serves the three simulated sensors of examples/multi.conf to browsers instead
# (port 8080 by default), until Ctrl-C.
#
#   scripts/demo.sh align [trackhost options]
#
# runs trackhost --align on examples/demo.conf with a simulated sensor mounted
# crooked behind a transmitter turned on its stand, which walks through the three
# poses by itself (about 10 seconds), then runs the same sensor for 6 seconds with
# the two lines it printed appended to a copy of the file: level at the front it
# reads 0 0 0, turned left it reads about 70 0 0.
set -euo pipefail
caller=$PWD
dropout=no
view=no
align=no
if [ "${1:-}" = align ]; then
    align=yes
    shift
elif [ "${1:-}" = dropout ]; then
    dropout=yes
    shift
elif [ "${1:-}" = --view ]; then
    view=yes
    shift
    address=8080
    if [ $# -gt 0 ] && [ "${1#-}" = "$1" ] && [[ $1 =~ ^([^/]*:)?[0-9]+$ ]]; then
        address=$1
        shift
    fi
    case $address in
    *:*) url=http://$address/ ;;
    *) url=http://127.0.0.1:$address/ ;;
    esac
fi
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TRACKER_BUILD_DIR:-build}
case $build in /*) ;; *) build=$root/$build ;; esac

# Everything but the records goes to standard error, as trackhost's own messages do.
{
    "$root"/scripts/install-deps.sh run
    echo "== building trackhost ($build/)"
    configure=(-S "$root" -B "$build" -G Ninja)
    # A new build folder leaves the tests out: they need GoogleTest, which a demo
    # does not install. A folder set up for the tests keeps them.
    [ -f "$build/CMakeCache.txt" ] || configure+=(-DTRACKER_TESTS=OFF)
    cmake "${configure[@]}" >/dev/null
    cmake --build "$build" --target trackhost
} >&2

if [ $align = yes ]; then
    cd "$caller"
    sim=(--sim-transmitter 0:1:0:90 --sim-mount 1:1:0:35 --sim-motion align --sim-noise 0.05)
    aligned=$(mktemp)
    trap 'rm -f "$aligned" "$aligned.bak"' EXIT
    cp "$root/examples/demo.conf" "$aligned"
    echo "== trackhost --align ${sim[*]} $* --write a copy of examples/demo.conf" >&2
    "$build/bin/trackhost" --align "${sim[@]}" --quiet "$@" --write "$aligned"
    echo "== the copy, its section aligned:" >&2
    cat "$aligned"
    echo "== the same sensor through the aligned copy" >&2
    "$build/bin/trackhost" "${sim[@]}" --seconds 6 --rate 2 --quiet "$aligned"
    exit 0
fi

# The options that take a value, to tell a configuration file from an option's value:
# those that trackhost's usage text shows with one ("  --rate HZ").
takes_value=" $("$build/bin/trackhost" --help | sed -n 's/^  \(--[a-z-]*\) [A-Z[].*/\1/p' | tr '\n' ' ')"
defaults=()
limit=no
for arg in "$@"; do
    case $arg in --cycles | --cycles=* | --seconds | --seconds=*) limit=yes ;; esac
done
if [ $view = yes ]; then
    # Until Ctrl-C, at 60 Hz, the records to /dev/null: the browser shows them.
    defaults+=(--view "$address" --rate 60 --quiet --output /dev/null)
elif [ $dropout = yes ]; then
    [ $limit = yes ] || defaults+=(--seconds 10)
    defaults+=(--sim-dropout 1:2:3)
else
    [ $limit = yes ] || defaults+=(--seconds 3)
fi
case " $* ${defaults[*]} " in *" --rate "* | *" --rate="*) ;; *) defaults+=(--rate 10) ;; esac
config=()
last=${*: -1}
before=${*: -2:1}
# An option that wants a value last gets none: trackhost then says it needs one.
if [ $# -eq 0 ] || { [[ $last == -* ]] && [[ $takes_value != *" $last "* ]]; } ||
    { [ $# -ge 2 ] && [[ $takes_value == *" $before "* ]]; }; then
    config=("$root/examples/demo.conf")
    [ $view = no ] || config=("$root/examples/multi.conf")
fi

cd "$caller"
if [ $view = yes ]; then
    # Port 0 picks a free port: trackhost prints the URL it took.
    case $address in *:0 | 0) url="the URL trackhost prints" ;; esac
    echo "== open $url in a browser; Ctrl-C ends trackhost" >&2
fi
echo "== trackhost ${defaults[*]} $* ${config[*]}" >&2
exec "$build/bin/trackhost" "${defaults[@]}" "$@" "${config[@]}"
