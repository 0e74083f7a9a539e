#!/usr/bin/env bash
# scripts/demo.sh hands an option that wants a value, given last without one, to
# trackhost as it is, which says that the option needs a value.
#   demo_script_test.sh SOURCE_DIR BUILD_DIR
set -u
out=$(TRACKER_BUILD_DIR="$2" "$1/scripts/demo.sh" --format 2>&1)
status=$?
if [ $status -ne 2 ] || ! grep -qx "trackhost: --format needs a value" <<<"$out"; then
    echo "demo.sh --format: status $status"
    echo "$out"
    echo "0 passed, 1 failed"
    exit 1
fi
echo "1 passed, 0 failed"
