#!/usr/bin/env bash
# The function length check itself: a function of 80 lines passes, one of 81 fails and is named,
# whatever braces, strings and comments its lines hold.
# tests/tools/test_check_function_length.sh SCRATCH
set -u
check=$(cd "$(dirname "$0")/../.." && pwd)/tools/check_function_length.py
dir=$1
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# A function of N lines whose body holds a lambda, a block, a brace in a string and in a comment.
function_of() {
    rm -rf "$dir" && mkdir -p "$dir/graph" || exit 1
    {
        echo 'namespace hg {'
        echo 'int f(int a) {'
        echo '    auto g = [] { return "}"; };  // }'
        echo '    if (a) { a = 1; }'
        for _ in $(seq $(($1 - 4))); do echo '    g();'; done
        echo '}'
        echo '}  // namespace hg'
    } >"$dir/graph/f.cpp"
}

function_of 80
python3 "$check" "$dir" >"$dir.out" || fail "80 lines: $(cat "$dir.out")"
function_of 81
if python3 "$check" "$dir" >"$dir.out"; then
    fail "81 lines: passed"
elif ! grep -q '^graph/f.cpp:2: 81 lines' "$dir.out"; then
    fail "81 lines: not named: $(cat "$dir.out")"
fi
exit $((failures > 0))
