#!/usr/bin/env bash
# print writes one-page PDF sheets that render and carry their Japanese texts; bad requests fail
# with a message and leave an existing output alone.
set -uo pipefail
bin=$1
dir=$2
rm -rf "$dir" && mkdir -p "$dir" || exit 1
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
for tool in pdfinfo pdftotext pdftoppm; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool (poppler-utils) is not installed"; exit 0; }
done

"$bin" synth -o "$dir/a.hm3" --records 144 || fail "synth a.hm3"
"$bin" synth -o "$dir/b.Rhv2" --records 30 --interval 1 || fail "synth b.Rhv2"

# sheet NAME EXPECTED-ORIENTATION PRINT-OPTIONS... -- TEXTS THAT MUST APPEAR...
sheet() {
    local name=$1 orientation=$2 options=()
    shift 2
    while [[ $1 != -- ]]; do options+=("$1") && shift; done
    shift
    local out=$dir/$name.pdf
    "$bin" print "${options[@]}" -o "$out" || { fail "$name: print failed"; return; }
    local info
    info=$(pdfinfo "$out") || { fail "$name: pdfinfo cannot read it"; return; }
    grep -q '^Pages: *1$' <<<"$info" || fail "$name: not one page: $info"
    local size
    size=$(sed -n 's/^Page size: *\([0-9.]*\) x \([0-9.]*\).*/\1 \2/p' <<<"$info")
    local shape=portrait
    awk -v s="$size" 'BEGIN { split(s, a, " "); exit !(a[1] > a[2]) }' && shape=landscape
    [[ $shape == "$orientation" ]] || fail "$name: $shape, expected $orientation"
    pdftoppm -r 20 -png "$out" "$dir/$name" && [[ -s $dir/$name-1.png ]] ||
        fail "$name: pdftoppm did not render it"
    local text
    text=$(pdftotext "$out" -) || { fail "$name: pdftotext"; return; }
    printf '%s\n' "$text" >"$dir/$name.txt"
    for t in "$@"; do
        grep -qF -- "$t" <<<"$text" || fail "$name: no \"$t\" in the text (see $dir/$name.txt)"
    done
}

sheet one portrait "$dir/a.hm3" --layout one --items 3 --message "受電点A" -- \
    "有効電力(kW" "ﾌｧｲﾙ名:$dir/a.hm3" "19/05/29(水)" "受電点A" "基本" " 3次" "時"
sheet landscape landscape "$dir/a.hm3" --layout one --items 6 --landscape --mono -- \
    "位" "遅れ" "進み" "-90"
sheet set portrait "$dir/a.hm3" --layout set --items 5,2,1 --channel 3 -- \
    "電圧歪率(%)" "電流歪率(%)" "ﾌｧｲﾙ名:"
sheet thirds portrait "$dir/b.Rhv2" --layout thirds --items 16,22,9 -- \
    "上位電圧重畳角予測(deg)R相" "電圧不平衡率(%)" "電圧重畳角(deg)R相" "ﾌｧｲﾙ名:" "0:10"
sheet third portrait "$dir/b.Rhv2" --layout thirds --items 12 -- "相別電圧(V)" "Vu-v"

# Set blocks go in item-code order whatever order they were asked in.
order=$(grep -n -e '電圧歪率(%)' -e '電流歪率(%)' "$dir/set.txt" | cut -d: -f1 | head -2 | tr '\n' ' ')
first=${order%% *}
[[ -n $first ]] && grep -n '電圧歪率(%)' "$dir/set.txt" | head -1 | grep -q "^$first:" ||
    fail "set: voltage distortion is not the first block"
# One third alone carries no file-name line.
grep -qF "ﾌｧｲﾙ名" "$dir/third.txt" && fail "third: a file-name line on a single third"

# refuse EXPECTED-MESSAGE PRINT-ARGUMENTS...: fails, says so, leaves the existing output alone.
echo keep >"$dir/keep.pdf"
refuse() {
    local expected=$1
    shift
    local err
    if err=$("$bin" print "$@" -o "$dir/keep.pdf" 2>&1); then
        fail "print $* succeeded"
    fi
    grep -qF -- "$expected" <<<"$err" || fail "print $*: message \"$err\" lacks \"$expected\""
    [[ $(cat "$dir/keep.pdf") == keep ]] || fail "print $*: the existing output was touched"
}
refuse "one, set or thirds" "$dir/a.hm3" --layout two --items 1
refuse "exactly one item" "$dir/a.hm3" --layout one --items 1,2
refuse "one to three items" "$dir/a.hm3" --layout set --items 1,2,3,4
refuse "no item has the code" "$dir/a.hm3" --layout one --items 17
refuse "cannot be printed" "$dir/a.hm3" --layout one --items 10
refuse "cannot be printed in a set" "$dir/b.Rhv2" --layout set --items 12
refuse "--channel" "$dir/a.hm3" --layout one --items 5 --channel 4
refuse "--predict" "$dir/a.hm3" --layout one --items 14 --predict 10,8
refuse "usage" "$dir/a.hm3" --items 1
refuse "" "$dir/missing.hm3" --layout one --items 1

cp "$dir/a.hm3" "$dir/a-copy.hm3"
if err=$("$bin" print "$dir/a.hm3" --layout one --items 1 -o "$dir/a.hm3" 2>&1); then
    fail "print over its own recording succeeded"
fi
grep -qF "overwrite the recording" <<<"$err" || fail "print over the recording: \"$err\""
cmp -s "$dir/a.hm3" "$dir/a-copy.hm3" || fail "the recording was touched"

exit $((failures > 0))
