# Shared by the command-line tests, sourced with $1 = the harmograph binary, $2 = a scratch folder.
set -uo pipefail
bin=$1
dir=$2
rm -rf "$dir" && mkdir -p "$dir" || exit 1
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# keep FILE...: the files every later refusal must leave byte for byte as they are.
kept=
keep() { kept=$(md5sum "$@"); }

# refuse WHAT PART COMMAND...: COMMAND fails with one line on stderr holding PART (any line when
# PART is empty), and the kept files are as they were.
refuse() {
    local what=$1 part=$2 code
    shift 2
    "$@" >/dev/null 2>"$dir/err.txt"
    code=$?
    if ((code == 0)); then
        fail "$what: succeeded"
    elif [[ -n ${want_code:-} && $code -ne $want_code ]]; then
        fail "$what: exit $code, not $want_code"
    elif [[ $(grep -c '' "$dir/err.txt") -ne 1 ]] || ! grep -qF -- "$part" "$dir/err.txt"; then
        fail "$what: not one line holding \"$part\": $(cat "$dir/err.txt")"
    fi
    [[ -z $kept ]] || md5sum --status -c <<<"$kept" || fail "$what: a kept file changed"
}

# misuse WHAT PART COMMAND...: refuse, as a usage error (exit 2).
misuse() { want_code=2 refuse "$@"; }

finish() {
    ((failures)) && { echo "$failures failure(s)" >&2; exit 1; }
    echo "$1: all passed"
}
