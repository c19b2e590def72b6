#!/usr/bin/env bash
# print writes one-page PDF sheets that render and carry their Japanese texts; bad requests fail
# with a message and leave an existing output alone.
source "$(dirname "$0")/lib.sh"
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
    local out=$dir/$name.pdf info shape=portrait
    "$bin" print "${options[@]}" -o "$out" || { fail "$name: print failed"; return; }
    info=$(pdfinfo "$out") || { fail "$name: pdfinfo cannot read it"; return; }
    grep -q '^Pages: *1$' <<<"$info" || fail "$name: not one page: $info"
    grep -q '^Title: *harmograph – ' <<<"$info" || fail "$name: no job title: $info"
    awk '/^Page size:/ { l = $3 > $5 } END { exit !l }' <<<"$info" && shape=landscape
    [[ $shape == "$orientation" ]] || fail "$name: $shape, expected $orientation"
    pdftoppm -r 20 -png "$out" "$dir/$name" && [[ -s $dir/$name-1.png ]] ||
        fail "$name: pdftoppm did not render it"
    pdftotext "$out" "$dir/$name.txt" || { fail "$name: pdftotext"; return; }
    for t in "$@"; do
        grep -qF -- "$t" "$dir/$name.txt" || fail "$name: no \"$t\" in $dir/$name.txt"
    done
}

sheet one portrait "$dir/a.hm3" --layout one --items 3 --message "受電点A" -- \
    "有効電力(kW" "ﾌｧｲﾙ名:" "/a.hm3" "19/05/29(水)" "受電点A" "基本" " 3次" "時"
sheet landscape landscape "$dir/a.hm3" --layout one --items 6 --landscape --mono -- \
    "位" "遅れ" "進み" "-90"
sheet set portrait "$dir/a.hm3" --layout set --items 5,2,1 --channel 3 -- \
    "電圧歪率(%)" "電流歪率(%) 合成" "倍) 合成" "ﾌｧｲﾙ名:"
pdfinfo "$dir/set.pdf" | grep -q '^Title: *harmograph – a.hm3 電流・電流歪率・電圧歪率$' ||
    fail "set: the title names the file and the items"
sheet thirds portrait "$dir/b.Rhv2" --layout thirds --items 16,22,9 -- \
    "上位電圧重畳角予測(deg)R相" "電圧不平衡率(%)" "電圧重畳角(deg)R相" "ﾌｧｲﾙ名:" "0:10"
sheet third portrait "$dir/b.Rhv2" --layout thirds --items 12 -- "相別電圧(V)" "Vu-v"

# The bottom grid line of a reactive power block whose frame ends at -1.2 is labelled.
"$bin" synth -o "$dir/q.hh2" --records 144 --seed 1 >/dev/null || fail "synth q.hh2"
sheet reactive portrait "$dir/q.hh2" --layout one --items 4 --channel 1 -- "倍) 2ch"
grep -qx -- "-1.2" "$dir/reactive.txt" || fail "reactive: no bottom label -1.2"

# A deep folder: the file-name line loses folders from the left and keeps the file name whole.
deep=$dir/measurements/2019/substation_east/feeder_north_with_long_name
mkdir -p "$deep" && cp "$dir/a.hm3" "$deep/x.hm3"
sheet deep portrait "$deep/x.hm3" --layout one --items 1 -- "ﾌｧｲﾙ名:…/" "/feeder_north_with_long_name/x.hm3"

echo keep >"$dir/keep.pdf"
cp "$dir/a.hm3" "$dir/a-copy.hm3"
keep "$dir/keep.pdf" "$dir/a.hm3"
p=("$bin" print "$dir/a.hm3")
o=(-o "$dir/keep.pdf")
refuse "missing recording" "print: ファイルを開けません" "$bin" print "$dir/none.hm3" --layout one --items 1 "${o[@]}"
refuse "usage" "print: usage" "$bin" print
refuse "layout two" "one, set or thirds" "${p[@]}" --layout two --items 1 "${o[@]}"
refuse "two items on one" "exactly one item" "${p[@]}" --layout one --items 1,2 "${o[@]}"
refuse "four in a set" "one to three items" "${p[@]}" --layout set --items 1,2,3,4 "${o[@]}"
refuse "item 17" "no item has the code" "${p[@]}" --layout one --items 17 "${o[@]}"
refuse "item 10" "cannot be printed" "${p[@]}" --layout one --items 10 "${o[@]}"
refuse "per-phase in a set" "cannot be printed in a set" "$bin" print "$dir/b.Rhv2" \
    --layout set --items 12 "${o[@]}"
refuse "two predict values" "--predict" "${p[@]}" --layout one --items 14 --predict 10,8 "${o[@]}"
refuse "no layout" "usage" "${p[@]}" --items 1 "${o[@]}"
refuse "over the recording" "overwrite the recording" "${p[@]}" --layout one --items 1 \
    -o "$dir/a.hm3"
mkfifo "$dir/pipe.pdf"
refuse "a pipe as output" "通常のファイルではありません" "${p[@]}" --layout one --items 1 \
    -o "$dir/pipe.pdf"
[[ -p $dir/pipe.pdf ]] || fail "the pipe was replaced"
finish print
