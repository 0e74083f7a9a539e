#!/usr/bin/env bash
# Installs, with apt-get, whatever the builds and tests need and this machine lacks.
# Usage: scripts/install-deps.sh [run|native|all]
#   run: building and running trackhost (scripts/demo.sh)
#   native: also the native tests, benchmarks, coverage and formatting
#   all: also the Windows cross tools, Wine, the sanitizers and valgrind
set -euo pipefail

what=${1:-all}
# Building and running trackhost; the viewer needs Boost's headers (Asio and Beast,
# in both builds) and three.js, which trackhost serves.
packages=(cmake ninja-build g++ libboost1.81-dev libjs-three)
# Installed without the packages they recommend: Boost's would bring about 150 MB
# more of headers and libraries that nothing here uses.
without_recommends=(libboost1.81-dev)
if [ "$what" != run ]; then
    # help2man makes trackhost's manual page from its --help.
    packages+=(make libgtest-dev googletest libbenchmark-dev clang-format gnuplot-nox help2man
               # The coverage stage's report per folder.
               gcovr
               # The documentation's event-stream example reads the stream with curl.
               curl)
fi
if [ "$what" = all ]; then
    packages+=(mingw-w64 g++-mingw-w64-i686-posix wine wine32:i386 clang libclang-rt-14-dev
               valgrind
               # The release archive's layout is checked with unzip.
               unzip
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
plain=()
lean=()
for package in "${missing[@]}"; do
    if printf '%s\n' "${without_recommends[@]}" | grep -qx "$package"; then
        lean+=("$package")
    else
        plain+=("$package")
    fi
done
[ ${#lean[@]} -eq 0 ] || apt-get install -y -qq --no-install-recommends "${lean[@]}" >/dev/null
[ ${#plain[@]} -eq 0 ] || apt-get install -y -qq "${plain[@]}" >/dev/null
