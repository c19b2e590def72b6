#!/usr/bin/env bash
# Runs every command-line shell test against one harmograph binary (the sanitizer build's):
# tools/cli_tests.sh HARMOGRAPH SCRATCH. Prints one line a test and exits 1 when any failed.
set -u
bin=$1
scratch=$2
failed=0
for script in "$(dirname "$0")"/../tests/cli/test_*.sh; do
    name=$(basename "$script" .sh)
    if bash "$script" "$bin" "$scratch/cli_$name" >"$scratch/cli_$name.log" 2>&1; then
        echo "sanitized $name: passed"
    else
        echo "sanitized $name: FAILED" >&2
        tail -n 30 "$scratch/cli_$name.log" >&2
        failed=1
    fi
done
exit $failed
