#!/usr/bin/env bash
# Checks the formatting of every C and C++ file, then builds both targets and runs every
# test: natively (with every benchmark built and run once on a tiny input, and the
# suite again in a build of its own for line and branch coverage per folder, which
# fails below its floor), then the Windows build under Wine, then the release archive
# (scripts/package.sh) with trackhost from it under Wine, then the reliability checks: the
# native suite under AddressSanitizer and UndefinedBehaviorSanitizer, the concurrency tests
# under ThreadSanitizer, the plug-in's lifecycles under valgrind's leak check, and the
# libFuzzer targets for a bounded time.
# Installs what is missing first (as root, with apt-get). Exit status non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh all

jobs=$(nproc)
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# Runs of each fuzz target, and the most seconds one may take to reach them (a
# target that does not reach its runs in time fails the stage).
fuzz_runs=${FUZZ_RUNS:-1000000}
fuzz_seconds=${FUZZ_SECONDS:-900}

# Names the test cases a build's run skipped (docs/testing.md says why each is).
show_skipped() {
    local log=$1/Testing/Temporary/LastTest.log
    [ -f "$log" ] || return 0
    grep -ho '\[  SKIPPED \] [A-Za-z0-9_]*\.[A-Za-z0-9_]*' "$log" | sort -u | sed "s/^\[  SKIPPED \] /skipped in $1: /" || true
}

timings=()
stage_name=""
stage_start=$SECONDS
# Starts a stage: prints its header and notes how long the previous one took.
stage() {
    if [ -n "$stage_name" ]; then
        timings+=("$(printf '%5d s  %s' $((SECONDS - stage_start)) "$stage_name")")
    fi
    stage_name=$1
    stage_start=$SECONDS
    [ -z "$1" ] || echo "== $1"
}

stage "format"
# Every C and C++ file git tracks or would add, in whatever folder, so that a new
# folder is checked without being named here.
unformatted=()
checked=0
while IFS= read -r -d '' file; do
    [ -e "$file" ] || continue
    checked=$((checked + 1))
    clang-format --dry-run -Werror "$file" >/dev/null 2>&1 || unformatted+=("$file")
done < <(git ls-files -z --cached --others --exclude-standard -- '*.c' '*.cpp' '*.h' '*.hpp')
if [ ${#unformatted[@]} -gt 0 ]; then
    echo "format: ${#unformatted[@]} of $checked files are not formatted as .clang-format says" \
        "(clang-format -i FILE mends one):" >&2
    printf '  %s\n' "${unformatted[@]}" >&2
    exit 1
fi
echo "format: $checked files formatted as .clang-format says"

stage "native build"
# The tests stay on even where scripts/demo.sh set the folder up without them.
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTRACKER_TESTS=ON >/dev/null
cmake --build build -j "$jobs"
(cd build && ctest --output-on-failure -j "$jobs")
show_skipped build

stage "benchmarks (built in build/, each run once on a tiny input)"
# Built, not timed: so that none of them stops building unseen.
cmake -S . -B build -DTRACKER_BENCH=ON >/dev/null
benchmarks=(tracker_bench cycle_driver smoothing_bench align_bench replay_driver)
cmake --build build -j "$jobs" --target "${benchmarks[@]}"
(
    set -e
    bin=build/bin
    "$bin"/tracker_bench --benchmark_repetitions=1 --benchmark_min_time=0.001 \
        >build/bench-tracker.log 2>&1
    for mode in cycle floor control read; do "$bin"/cycle_driver "$mode" 100; done
    "$bin"/cycle_driver soak 1000000 >/dev/null # its least: one window of cycles
    "$bin"/smoothing_bench build/bench-smoothing.dat >/dev/null
    "$bin"/align_bench 2 >/dev/null
    recording=build/bench-replay.rec
    printf 'trackhost-recording 1\nports 1 2\nstart 2026-12-07T00:00:00.000Z\n' >"$recording"
    for i in 1 2 3 4 5 6 7 8 9; do
        printf '%d 1 1 0.%d 0.25 0.125\n%d 2 1 1 2 %d\n' $((i * 10)) "$i" $((i * 10)) "$i"
    done >>"$recording"
    "$bin"/replay_driver "$recording" 100
    bench/instructions.sh build >/dev/null
    /usr/bin/python3 bench/view_bench.py build --seconds 1 --rounds 1 >build/bench-view.log
) || { echo "benchmarks: a benchmark failed on its tiny input" >&2; exit 1; }
echo "benchmarks: ${benchmarks[*]}, bench/instructions.sh and bench/view_bench.py ran"

stage "coverage (native, --coverage, own build)"
# Line and branch coverage of the whole native suite, per folder; fails when a
# folder's lines fall below the floor scripts/coverage.py sets. Counters are updated
# atomically, so that threads never leave a count that gcov cannot read. The suite's
# verdict is the native stage's: a test that fails here on timing (the -O0 build is
# slower) is run again, up to three times, and counts once it passes.
coverage_flags="--coverage -fprofile-update=atomic"
cmake -S . -B build-coverage -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTRACKER_TESTS=ON \
    -DCMAKE_C_FLAGS="$coverage_flags" -DCMAKE_CXX_FLAGS="$coverage_flags" \
    -DCMAKE_EXE_LINKER_FLAGS=--coverage -DCMAKE_SHARED_LINKER_FLAGS=--coverage >/dev/null
cmake --build build-coverage -j "$jobs"
find build-coverage -name '*.gcda' -delete
(cd build-coverage && ctest --output-on-failure -j "$jobs" --repeat until-pass:3 >ctest.log) ||
    { tail -n 60 build-coverage/ctest.log; exit 1; }
scripts/coverage.py build-coverage

stage "Windows build (run under Wine)"
cmake -S . -B build-win32 -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-win32 -j "$jobs"
wineboot --init >/dev/null 2>&1 || true
(cd build-win32 && ctest --output-on-failure)
show_skipped build-win32

stage "release archive (Windows, trackhost from it under Wine)"
scripts/package.sh
version=$(sed -n 's/^project(tracker3dbird VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
zip=dist/tracker_3dbird-$version-win32.zip
(cd dist && sha256sum --quiet -c SHA256SUMS)
# Every file in its folder, and the simulated sensor library nowhere near the plug-in.
expected="README.md
calibration/boresight.dll
calibration/smoothing.dll
examples/calibration/boresight.conf
examples/calibration/smoothing/smoothing.conf
examples/demo.conf
examples/first.conf
examples/multi.conf
include/tracker_calibration.h
plugin/tracker_3dbird.dll
trackhost/3dbird.dll
trackhost/boresight.dll
trackhost/demo-align.cmd
trackhost/demo-dropout.cmd
trackhost/demo-view.cmd
trackhost/record/3dbird.dll
trackhost/smoothing.dll
trackhost/trackhost.exe
trackhost/tracker_3dbird.dll
$(git ls-files docs)"
if ! diff <(LC_ALL=C sort <<<"$expected") <(unzip -Z1 "$zip" | grep -v '/$' | LC_ALL=C sort); then
    echo "package: $zip does not hold the release's layout (< expected, > found)" >&2
    exit 1
fi
# Unpacked as a user would: no empty folder, and every link of the documents leads to
# a file the archive holds.
unpacked=build-package-win32/unpacked
rm -rf "$unpacked" && mkdir -p "$unpacked" && unzip -q "$zip" -d "$unpacked"
[ -z "$(find "$unpacked" -type d -empty)" ] ||
    { find "$unpacked" -type d -empty; echo "package: $zip holds empty folders" >&2; exit 1; }
/usr/bin/python3 tests/docs/doc_links_test.py --unpacked "$unpacked" >/dev/null ||
    { /usr/bin/python3 tests/docs/doc_links_test.py --unpacked "$unpacked";
      echo "package: the documents of $zip link to files it does not hold" >&2; exit 1; }
# The plug-in carries the version, and trackhost, as the README's first commands say,
# finds the simulated sensors and writes a first configuration, which it checks; it
# checks docs/plugin.md's first device and runs an example on the simulator, which it
# names.
strings -el "$unpacked"/plugin/tracker_3dbird.dll | grep -qx "$version" ||
    { echo "package: plugin/tracker_3dbird.dll carries no version $version" >&2; exit 1; }
(cd "$unpacked" &&
    [ "$(wine trackhost/trackhost.exe --version | tr -d '\r')" = "trackhost $version" ] &&
    wine trackhost/trackhost.exe --probe --write first.conf 2>/dev/null &&
    wine trackhost/trackhost.exe --check first.conf 2>&1 | tr -d '\r' |
        grep -qx 'first.conf: [0-9] sections\{0,1\}, no problems' &&
    [ "$(wine trackhost/trackhost.exe --check 'examples\first.conf' 2>&1 | tr -d '\r')" = \
        'examples\first.conf: 1 section, no problems' ] &&
    wine trackhost/trackhost.exe --check examples/calibration/smoothing/smoothing.conf &&
    wine trackhost/trackhost.exe --cycles 3 examples/calibration/smoothing/smoothing.conf \
        2>trackhost.log >/dev/null &&
    grep -q "^trackhost: the sensor library 3dbird.dll is the simulator" trackhost.log) ||
    { echo "package: trackhost from $zip failed" >&2; exit 1; }
# The viewer from the archive: trackhost.exe serves the page and the event stream under
# Wine, and Ctrl-C ends it cleanly.
wine "$unpacked"/trackhost/trackhost.exe --view 0 --quiet "$unpacked"/examples/multi.conf \
    >/dev/null 2>"$unpacked"/viewer.log &
viewer=$!
url=
for _ in $(seq 120); do
    url=$(sed -n 's|^trackhost: viewer at \(http://[^/]*/\).*|\1|p' "$unpacked"/viewer.log)
    [ -z "$url" ] && kill -0 "$viewer" 2>/dev/null && sleep 0.5 || break
done
/usr/bin/python3 - "$url" <<'EOF_PY' || { kill "$viewer" 2>/dev/null; echo "package: the viewer of trackhost.exe from $zip did not answer" >&2; exit 1; }
import sys, urllib.request
url = sys.argv[1]
assert b"<title>trackhost viewer</title>" in urllib.request.urlopen(url, timeout=10).read()
with urllib.request.urlopen(url + "events", timeout=10) as stream:
    for line in stream:
        if line.startswith(b'data: {"trackers":[{"device":'):
            break
    else:
        sys.exit("the event stream ended without a record")
EOF_PY
kill -INT "$viewer"
wait "$viewer" || { echo "package: trackhost.exe --view from $zip did not end cleanly" >&2; exit 1; }
# A user's own calibration library (boresight's source) built against the archive's
# header alone, beside trackhost.exe, where a bare name is looked for (never in the
# current folder): trackhost from the archive finds its entry points and asks it.
i686-w64-mingw32-g++-posix -shared -static -O2 -I "$unpacked"/include \
    examples/calibration/boresight.cpp -o "$unpacked"/trackhost/mycalib.dll
printf '[head]\ncalibration mycalib.dll 1 2\n' >"$unpacked"/mycalib.conf
status=0
(cd "$unpacked" && wine trackhost/trackhost.exe --check mycalib.conf 2>mycalib.log) || status=$?
[ "$status" = 3 ] && grep -q 'refuses its arguments: expected angle1 angle2 angle3' \
    "$unpacked"/mycalib.log ||
    { echo "package: a library built against include/ of $zip was not asked" >&2; exit 1; }
# A Windows user's demo, started from the archive as the README says: the sensor
# unplugged for 3 s comes back by itself. Its lines end in CR LF (a Windows program's
# standard error in a file).
(cd "$unpacked" && wine cmd /c 'trackhost\demo-dropout.cmd' --no-status >/dev/null 2>demo.log) &&
    grep -q "^trackhost: simulator: sensor on port 1 plugged back in" "$unpacked"/demo.log &&
    tr -d '\r' <"$unpacked"/demo.log | grep -q "^trackhost: device \[head\]: .*, 1 recovery$" ||
    { cat "$unpacked"/demo.log; echo "package: trackhost\demo-dropout.cmd of $zip failed" >&2; exit 1; }
# The alignment demo: --align on the crooked simulated sensor writes the aligned
# sensor's configuration, which then runs in the viewer (here 2 s, on any free port).
(cd "$unpacked" && wine cmd /c 'trackhost\demo-align.cmd' --seconds 2 --view 0 >align.log 2>&1) &&
    tr -d '\r' <"$unpacked"/align.log | grep -q "^sensorrotation 1 " ||
    { cat "$unpacked"/align.log; echo "package: trackhost\demo-align.cmd of $zip failed" >&2; exit 1; }
echo "package: $zip ($(stat -c %s "$zip") bytes) holds the release's layout"

# GCC's documentation warns that sanitizer instrumentation makes -Wmaybe-uninitialized
# (and, through inlining, -Wmismatched-new-delete) report false positives; the plain
# build above keeps both as errors.
sanitizer_warnings="-Wno-maybe-uninitialized -Wno-mismatched-new-delete"

stage "native tests under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTRACKER_SANITIZE=address,undefined -DCMAKE_CXX_FLAGS="$sanitizer_warnings" >/dev/null
cmake --build build-asan -j "$jobs"
(cd build-asan &&
    ASAN_OPTIONS=detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1:strict_string_checks=1 \
    UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j "$jobs")

stage "concurrency tests under ThreadSanitizer"
cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTRACKER_SANITIZE=thread -DCMAKE_CXX_FLAGS="$sanitizer_warnings" >/dev/null
cmake --build build-tsan -j "$jobs" \
    --target concurrency_test plugin_e2e_test support_test trackhost_run_test view_test trackhost
export TSAN_OPTIONS=second_deadlock_stack=1
(cd build-tsan && ctest --output-on-failure --no-tests=error --repeat until-fail:5 \
    -R '^Concurrency\.|^PluginEndToEnd\.ConcurrentDevicesNeverTearARecord$')
# A sensor that drops out and comes back by itself, beside three that go on; a run
# stopped from another thread; the latest-pose table between the cycle and the viewer.
(cd build-tsan && ctest --output-on-failure --no-tests=error -R \
    '^HostRunTest\.(ASensorThatDropsOutComesBackByItselfAndTheOthersGoOn|InterruptStopsAndDeletesEveryDevice)$|^LatestPoses\.')
# The release of a mutex the caller does not hold is left out: the test makes that
# mistake on purpose, and the sanitizer reports the mistake itself. The line sink's
# lock, with loggers on four threads, is checked here too.
build-tsan/bin/support_test \
    --gtest_filter='Mutex.*:LineSink.*:-Mutex.ReleasingAMutexNotHeldIsReportedWithTheSystemText'
# The viewer's I/O thread against trackhost's receive cycle, over HTTP.
/usr/bin/python3 tests/host/view/view_http_test.py build-tsan/bin/trackhost . build-tsan/view-artifacts
unset TSAN_OPTIONS

stage "plug-in lifecycles under valgrind"
# Runs one command under valgrind's leak check; its output goes to a log that is
# shown only when valgrind finds something.
under_valgrind() {
    local name=$1
    shift
    local log=build/valgrind-$name.log
    if ! valgrind --leak-check=full --errors-for-leak-kinds=definite,indirect \
        --suppressions=scripts/valgrind.supp \
        --error-exitcode=1 "$@" >"$log" 2>&1; then
        cat "$log"
        echo "valgrind: $name failed" >&2
        exit 1
    fi
    echo "valgrind: $name: $(grep -E 'ERROR SUMMARY' "$log" | sed 's/^==[0-9]*== //')"
}
# The native build's plug-in, simulator and calibration libraries, driven from
# create to delete (also where init fails), one test per process.
for program in plugin_lifecycle_test plugin_e2e_test; do
    for test in $(build/bin/$program --gtest_list_tests | awk '/^[^ ]/ {suite = $1} /^  / {print suite $1}'); do
        under_valgrind "$test" build/bin/$program --gtest_filter="$test"
    done
done
# The same through the host program with the example calibration library.
under_valgrind trackhost-boresight build/bin/trackhost --cycles 20 --rate 1000 \
    examples/calibration/boresight.conf
# Recording through the pass-through sensor library, then its replay, with the
# smoothing library.
under_valgrind trackhost-record build/bin/trackhost --cycles 20 --rate 1000 --sim-noise 0.2 \
    --record build/valgrind-recording.txt examples/calibration/smoothing/smoothing.conf
under_valgrind trackhost-replay build/bin/trackhost --cycles 20 --rate 1000 \
    --replay build/valgrind-recording.txt examples/calibration/smoothing/smoothing.conf
# A sensor unplugged during the run and plugged back in, with the device's recovery.
under_valgrind trackhost-dropout build/bin/trackhost --seconds 4 --rate 100 --output /dev/null \
    --sim-dropout 1:0.5:1 examples/demo.conf

stage "fuzz targets (libFuzzer, ${fuzz_runs} runs each)"
cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DTRACKER_SANITIZE=address,undefined,fuzzer-no-link -DTRACKER_FUZZ=ON >/dev/null
targets=(init_options config_file recording view_request config_edit)
cmake --build build-fuzz -j "$jobs" --target "${targets[@]/#/fuzz_}"
for target in "${targets[@]}"; do
    # A fresh copy of the seed corpus, so that the repository's stays as it is.
    corpus=build-fuzz/corpus/$target
    rm -rf "$corpus" && mkdir -p "$corpus" && cp fuzz/corpus/"$target"/* "$corpus"/
    log=build-fuzz/fuzz-$target.log
    if ! (cd build-fuzz && bin/fuzz_"$target" -runs="$fuzz_runs" -max_total_time="$fuzz_seconds" \
        -timeout=10 -rss_limit_mb=2048 -dict=../fuzz/"$target".dict \
        -artifact_prefix=fuzz-"$target"- corpus/"$target" >"fuzz-$target.log" 2>&1); then
        tail -n 60 "$log"
        echo "fuzz: $target found a problem (input saved in build-fuzz/fuzz-$target-*)" >&2
        exit 1
    fi
    done_line=$(grep -E '^Done [0-9]+ runs' "$log")
    echo "fuzz: $target: $done_line"
    runs=$(echo "$done_line" | awk '{print $2}')
    if [ "$runs" -lt "$fuzz_runs" ]; then
        echo "fuzz: $target made $runs runs of $fuzz_runs in $fuzz_seconds s: make it faster" \
            "or give it more time" >&2
        exit 1
    fi
done

stage ""
echo "== stage times"
printf '%s\n' "${timings[@]}"
echo "== all tests passed"
