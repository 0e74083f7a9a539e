#!/bin/sh
# Every ELF file the build makes, and every one its Debian package ships, looks for
# the libraries it needs in its own folder alone: its run path is $ORIGIN, with no
# build folder of the machine that built it and no empty entry, which the loader
# takes as the current folder.
# Usage: runpath_test.sh BUILD_FOLDER
set -eu
build=$(cd "$1" && pwd)
for tool in readelf cpack dpkg-deb; do
    command -v "$tool" >/dev/null || { echo "runpath_test: no $tool" >&2; exit 77; }
done
work=$build/runpath-test
rm -rf "$work"
mkdir -p "$work"
(cd "$build" && cpack -G DEB -B "$work/package" >"$work/cpack.log" 2>&1) ||
    { cat "$work/cpack.log" >&2; exit 1; }
dpkg-deb -x "$work"/package/*.deb "$work/deb"

find "$build/bin" "$work/deb" -type f >"$work/files"
checked=0
wrong=0
while IFS= read -r file; do
    [ "$(head -c 4 "$file" 2>/dev/null | od -An -tx1 | tr -d ' \n')" = 7f454c46 ] || continue
    checked=$((checked + 1))
    path=$(readelf -d "$file" | sed -n 's/.*(R[UN]*PATH).*\[\(.*\)\]$/\1/p')
    if [ "$path" != '$ORIGIN' ]; then
        echo "runpath_test: $file has the run path [$path], not [\$ORIGIN]" >&2
        wrong=$((wrong + 1))
    fi
done <"$work/files"
shipped=$(grep -c "^$work/deb/" "$work/files" || true)
echo "runpath_test: $checked ELF files ($shipped files in the package), $wrong with another run path"
[ "$shipped" -gt 0 ] && [ "$wrong" -eq 0 ]
