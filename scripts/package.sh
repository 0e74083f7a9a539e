#!/usr/bin/env bash
# Builds the Windows release: a Release cross-build in build-package-win32/, packed by
# CPack into dist/tracker_3dbird-VERSION-win32.zip, with dist/SHA256SUMS beside it.
# With --deb, also the native build as a Debian package (build-package-native/,
# dist/tracker-3dbird_VERSION_ARCH.deb). The version is the one project() sets in
# CMakeLists.txt.
# Usage: scripts/package.sh [--deb]
set -euo pipefail
cd "$(dirname "$0")/.."

deb=no
case "${1:-}" in
"") ;;
--deb) deb=yes ;;
*)
    echo "usage: scripts/package.sh [--deb]" >&2
    exit 2
    ;;
esac

scripts/install-deps.sh all

launcher=()
if command -v ccache >/dev/null; then
    launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
# Builds a Release in folder $1 (further CMake options after it) and packs it there.
build_and_pack() {
    local build=$1
    shift
    cmake -S . -B "$build" -G Ninja --no-warn-unused-cli -DCMAKE_BUILD_TYPE=Release \
        -DTRACKER_TESTS=OFF "${launcher[@]}" "$@" >/dev/null
    cmake --build "$build" -j "$(nproc)"
    rm -rf "$build"/package
    (cd "$build" && cpack -B package >/dev/null)
}

mkdir -p dist
rm -f dist/tracker_3dbird-*-win32.zip dist/tracker-3dbird_*.deb dist/SHA256SUMS
build_and_pack build-package-win32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake
cp build-package-win32/package/tracker_3dbird-*-win32.zip dist/
if [ "$deb" = yes ]; then
    build_and_pack build-package-native
    cp build-package-native/package/tracker-3dbird_*.deb dist/
fi
(cd dist && sha256sum tracker_3dbird-*-win32.zip $([ "$deb" = no ] || echo tracker-3dbird_*.deb) \
    >SHA256SUMS)
for file in dist/tracker_3dbird-*-win32.zip dist/tracker-3dbird_*.deb; do
    [ ! -e "$file" ] || echo "package: $file ($(stat -c %s "$file") bytes)"
done
