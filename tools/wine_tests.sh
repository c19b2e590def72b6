#!/usr/bin/env bash
# The Windows build of the command line under Wine: the command-line tests that apply to a build
# without drawing (info and synth, convert, tables, batch), then the Windows build against the Linux
# build. tools/wine_tests.sh HARMOGRAPH HARMOGRAPH.EXE SCRATCH
# Wine runs headless in a prefix of its own under SCRATCH, one server kept for the whole run.
set -u
linux=$(realpath "$1")
exe=$(realpath "$2")
scratch=$(realpath -m "$3")
tests=$(cd "$(dirname "$0")/../tests" && pwd)
mkdir -p "$scratch" || exit 1
export WINEPREFIX=$scratch/wineprefix WINEDEBUG=-all DISPLAY= WINEDLLOVERRIDES="mscoree,mshtml="
export HARMO_WINE=1
start=$SECONDS
if [[ ! -f $WINEPREFIX/system.reg ]]; then
    wineboot -i >"$scratch/wineboot.log" 2>&1 || { cat "$scratch/wineboot.log"; exit 1; }
fi
wineserver -p </dev/null >/dev/null 2>&1
trap 'wineserver -k >/dev/null 2>&1' EXIT
# The tests run "$bin" ARGS...: here Wine with the program.
bin=$scratch/harmograph-wine
printf '#!/bin/sh\nexec wine "%s" "$@"\n' "$exe" >"$bin" && chmod +x "$bin"

passed=0
failed=0
run() {
    local name=$1 script=$2
    shift 2
    if bash "$script" "$bin" "$scratch/$name" "$@" >"$scratch/$name.log" 2>&1; then
        echo "wine $name: passed"
        passed=$((passed + 1))
    else
        echo "wine $name: FAILED" >&2
        tail -n 30 "$scratch/$name.log" >&2
        failed=$((failed + 1))
    fi
}
for name in info_synth convert tables batch; do run "$name" "$tests/cli/test_$name.sh"; done
run windows_build "$tests/windows/test_windows_build.sh" "$linux"
echo "wine: $((SECONDS - start)) s, the prefix made when missing"
echo "wine: $passed passed, $failed failed"
((failed == 0))
