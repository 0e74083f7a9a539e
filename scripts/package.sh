#!/usr/bin/env bash
# Builds the Windows release: a Release cross-build in build-package-win32/, packed by
# CPack into dist/tracker_3dbird-VERSION-win32.zip, with dist/SHA256SUMS beside it.
# The version is the one project() sets in CMakeLists.txt.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh all

build=build-package-win32
launcher=()
if command -v ccache >/dev/null; then
    launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B "$build" -G Ninja --no-warn-unused-cli -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
    -DCMAKE_BUILD_TYPE=Release -DTRACKER_TESTS=OFF "${launcher[@]}" >/dev/null
cmake --build "$build" -j "$(nproc)"
(cd "$build" && cpack -G ZIP -B package >/dev/null)

mkdir -p dist
rm -f dist/tracker_3dbird-*-win32.zip dist/SHA256SUMS
cp "$build"/package/tracker_3dbird-*-win32.zip dist/
(cd dist && sha256sum tracker_3dbird-*-win32.zip >SHA256SUMS)
for file in dist/tracker_3dbird-*-win32.zip; do
    echo "package: $file ($(stat -c %s "$file") bytes)"
done
