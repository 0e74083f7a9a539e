#!/usr/bin/env bash
# trackhost.exe writing to a Windows console (Wine's, in a terminal that script
# makes): names beyond ASCII in its messages, in --check --verbose, in the records
# and in the plug-in's lines show as they were typed, not as their UTF-8 bytes read
# in a code page.
#   console_names_test.sh WINE BIN_DIR
set -u
if ! command -v script >/dev/null; then
    echo "skipped: no script command to make a terminal"
    exit 77
fi
cd "$2" || exit 1
folder="京都 Jürgen"
trap 'rm -rf "$folder"' EXIT
mkdir -p "$folder"
printf '[東京]\nport 1\n' >"$folder/設定.conf"
on_console() {
    # The console's own cursor moves, which stand for blanks, taken out.
    WINEDEBUG=-all script -qc "\"$1\" trackhost.exe $2" /dev/null </dev/null 2>&1 |
        sed 's/\x1b\[[0-9;?]*[A-Za-z]//g'
}
failed=0
check() {
    if ! grep -qF "$2" <<<"$3"; then
        echo "$1: no \"$2\" in:"
        echo "$3"
        failed=$((failed + 1))
    fi
}
out=$(on_console "$1" "--check \"$folder/無い.conf\"")
check "standard error" "京都" "$out"
check "standard error" "Jürgen/無い.conf:" "$out"
out=$(on_console "$1" "--check --verbose \"$folder/設定.conf\"")
check "standard output" "[東京]" "$out"
out=$(on_console "$1" "--cycles 1 \"$folder/設定.conf\"")
check "the records" "東京     1 " "$out"
check "the plug-in's lines" "DEVICE NAME           : 東京" "$out"
echo "$((5 - failed)) passed, $failed failed"
[ $failed -eq 0 ]
