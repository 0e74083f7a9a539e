#!/usr/bin/env bash
# Builds both targets and runs every test: natively, then the Windows build under Wine.
# Installs what is missing first (as root, with apt-get). Exit status non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh all

jobs=$(nproc)
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

echo "== native build"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$jobs"
(cd build && ctest --output-on-failure -j "$jobs")

echo "== Windows build (run under Wine)"
cmake -S . -B build-win32 -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-win32 -j "$jobs"
wineboot --init >/dev/null 2>&1 || true
(cd build-win32 && ctest --output-on-failure)

echo "== all tests passed"
