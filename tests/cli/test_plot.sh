#!/usr/bin/env bash
# plot draws the graph window's picture into PNG and PDF files without a display, or writes its
# curves as CSV in either code page; bad selections fail with a message and leave an existing
# output as it was.
source "$(dirname "$0")/lib.sh"
unset DISPLAY
"$bin" synth -o "$dir/a.hv2" --records 288 >/dev/null || fail "synth hv2"
"$bin" synth -o "$dir/b.hh1" --records 20 >/dev/null || fail "synth hh1"
"$bin" synth -o "$dir/c.ha3" --records 1 >/dev/null || fail "synth ha3"

# plot OUT SUMMARY-PART ARGS...: succeeds, writes OUT, and its summary line holds SUMMARY-PART.
plot() {
    local out=$dir/$1 summary=$2
    shift 2
    "$bin" plot "$@" -o "$out" >"$dir/out.txt" 2>"$dir/err.txt" ||
        { fail "plot $*: $(cat "$dir/err.txt")"; return; }
    [[ -s $out ]] && grep -qF -- "$summary" "$dir/out.txt" || fail "plot $*: $(cat "$dir/out.txt")"
}
size_of() { python3 -c 'import struct,sys; d=open(sys.argv[1],"rb").read(24); print("%dx%d" % struct.unpack(">II", d[16:24]))' "$1"; }

plot dist.png "電圧歪率(%), 5 curves" "$dir/a.hv2" --item 1 --group 1 --message "テスト"
[[ $(size_of "$dir/dist.png") == 1000x630 ]] || fail "default size: $(size_of "$dir/dist.png")"
plot phase.png "位 相 差(deg) 合成," "$dir/a.hv2" --item 6 --group 2 --channel 2 --size 1920x1080
[[ $(size_of "$dir/phase.png") == 1920x1080 ]] || fail "asked size: $(size_of "$dir/phase.png")"
plot power.pdf "3 curves" "$dir/a.hv2" --item 3 --orders 1,5,7
plot power.svg "3 curves" "$dir/a.hv2" --item 3 --orders 1,5,7 --start "19/05/29 00:00" --end "19/06/01 00:00"
grep -q "<svg" "$dir/power.svg" || fail "power.svg is not SVG"
[[ $(head -c 5 "$dir/power.pdf") == %PDF- ]] || fail "power.pdf is not a PDF"
plot unbalance.png "電圧不平衡率(%), 1 curve," "$dir/a.hv2" --item 22
plot overload.png "3 curves" "$dir/a.hv2" --item 8
plot predict.png "" "$dir/a.hv2" --item 14 --group 1 --transformer 20,7.5,6.6
plot high.png "5 curves" "$dir/b.hh1" --item 5 --orders 51-55 --start "19/05/29 00:00" \
    --end "19/05/29 01:00"
plot largest.png "電流歪率(%) 1ch," "$dir/b.hh1" --item 2 --group 6
plot single.png "" "$dir/c.ha3" --item 11 --group 1 # one record: points at the left edge
# Before and after: the second day drawn over the first; the axis set by hand.
plot compare.png "5 curves" "$dir/a.hv2" --item 1 --group 1 --start "19/05/29 00:00" \
    --end "19/05/30 00:00" --compare "$dir/a.hv2" --compare-start "19/05/30 00:00" --align day
cmp -s "$dir/compare.png" "$dir/dist.png" && fail "the comparison drew nothing more"
plot axis.png "5 curves" "$dir/a.hv2" --item 1 --group 1 --axis 0,2,0.5

# The curves as the graph window's CSV保存 writes them, for every record of the period: code page
# 932 by default, or UTF-8 after its byte-order mark with the same text.
plot curves.csv "電圧歪率(%), 5 curves, 288 records" "$dir/a.hv2" --item 1 --group 1
plot curves8.csv "5 curves" "$dir/a.hv2" --item 1 --group 1 --encoding utf-8
iconv -f cp932 -t utf-8 "$dir/curves.csv" >"$dir/curves.txt" || fail "curves csv is not cp932"
[[ $(wc -l <"$dir/curves.txt") == 289 ]] || fail "curves lines: $(wc -l <"$dir/curves.txt")"
[[ $(head -1 "$dir/curves.txt") == $'日時,総合(%),3次(%),5次(%),7次(%),9次(%)\r' ]] ||
    fail "curves heading: $(head -1 "$dir/curves.txt")"
cmp -s <(printf '\xef\xbb\xbf' && cat "$dir/curves.txt") "$dir/curves8.csv" ||
    fail "the utf-8 curves are not the code page 932 ones after a byte-order mark"

echo keep >"$dir/kept.png"
echo keep >"$dir/kept.csv"
keep "$dir/kept.png" "$dir/kept.csv"
p=("$bin" plot "$dir/a.hv2")
o=(-o "$dir/kept.png")
refuse "missing recording" "plot: ファイルを開けません" "$bin" plot "$dir/none.hm3" --item 1 --group 1 "${o[@]}"
refuse "usage" "plot: usage" "$bin" plot
refuse "item 10" "not offered" "${p[@]}" --item 10 --group 1 "${o[@]}"
refuse "no orders" "needs --group or --orders" "${p[@]}" --item 1 "${o[@]}"
refuse "order 2" "has no order 2" "${p[@]}" --item 1 --orders 2 "${o[@]}"
refuse "eleven orders" "at most five" "${p[@]}" --item 1 --orders 1-11 "${o[@]}"
refuse "group 9" "--group" "${p[@]}" --item 1 --group 9 "${o[@]}"
refuse "tiny" "--size" "${p[@]}" --item 1 --group 1 --size 50x50 "${o[@]}"
refuse "channel 3" "--channel" "${p[@]}" --item 2 --group 1 --channel 3 "${o[@]}"
refuse "missing" "missing.hv2" "$bin" plot "$dir/missing.hv2" --item 1 --group 1 "${o[@]}"
refuse "start after end" "starts after it ends" "${p[@]}" --item 1 --group 1 \
    --start "19/05/30 00:00" --end "19/05/29 00:00" "${o[@]}"
misuse "encoding" "--encoding" "${p[@]}" --item 1 --group 1 --encoding latin1 -o "$dir/kept.csv"
refuse "not a picture or csv" ".pdf or .csv" "${p[@]}" --item 1 --group 1 -o "$dir/kept.txt"
refuse "other kind" "同じ種類の記録だけ" "${p[@]}" --item 1 --group 1 --compare "$dir/b.hh1" \
    "${o[@]}"
refuse "align alone" "go with --compare" "${p[@]}" --item 1 --group 1 --align week "${o[@]}"
refuse "align month" "day or week" "${p[@]}" --item 1 --group 1 --compare "$dir/a.hv2" --align month \
    "${o[@]}"
refuse "axis" "--axis" "${p[@]}" --item 1 --group 1 --axis 5,1,1 "${o[@]}"
[[ -e $dir/kept.txt ]] && fail "a refused plot wrote kept.txt"
finish plot
