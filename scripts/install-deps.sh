#!/usr/bin/env bash
# Installs, with apt-get, whatever the builds and tests need and this machine lacks.
# Usage: scripts/install-deps.sh [native|all]   (native: no Windows cross tools)
set -euo pipefail

what=${1:-all}
# The viewer: the HTTP library and three.js, served by trackhost.
packages=(cmake ninja-build g++ make libgtest-dev googletest libbenchmark-dev clang-format
          libcpp-httplib-dev libjs-three)
if [ "$what" = all ]; then
    packages+=(mingw-w64 g++-mingw-w64-i686-posix wine wine32:i386 clang libclang-rt-14-dev
               valgrind
               # The viewer's tests drive a headless browser.
               chromium chromium-driver python3-selenium)
fi

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "ok installed"; then
        missing+=("$package")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
    echo "install-deps: missing packages: ${missing[*]} (run as root to install them)" >&2
    exit 1
fi
echo "install-deps: installing ${missing[*]}"
if printf '%s\n' "${missing[@]}" | grep -q ':i386$'; then
    dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq "${missing[@]}" >/dev/null
