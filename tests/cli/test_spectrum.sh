#!/usr/bin/env bash
# spectrum writes the voltage distortion and one channel's current of every order of the record at
# or after the time given, as CSV (code page 932 or UTF-8) or a picture; bad options fail and leave
# an existing file intact.
source "$(dirname "$0")/lib.sh"
unset DISPLAY
"$bin" synth -o "$dir/a.hh9" --records 30 >/dev/null || fail "synth hh9"
"$bin" synth -o "$dir/b.hv2" --records 30 >/dev/null || fail "synth hv2"

s=("$bin" spectrum "$dir/a.hh9")
"${s[@]}" --at "19/05/29 00:05" --channel 9 -o "$dir/s.csv" >"$dir/out.txt" || fail "csv"
grep -qF "19/05/29(水) 00:10, 合成, 256 orders" "$dir/out.txt" || fail "summary: $(cat "$dir/out.txt")"
iconv -f cp932 -t utf-8 "$dir/s.csv" >"$dir/s.txt" || fail "csv is not cp932"
[[ $(wc -l <"$dir/s.txt") == 257 ]] || fail "lines: $(wc -l <"$dir/s.txt")"
[[ $(head -1 "$dir/s.txt") == $'次数,電圧歪率(%),電流(A)\r' ]] || fail "heading: $(head -1 "$dir/s.txt")"
[[ $(sed -n 2p "$dir/s.txt") == "1, 100 ,"* ]] || fail "fundamental: $(sed -n 2p "$dir/s.txt")"
[[ $(tail -1 "$dir/s.txt") == "256,"* ]] || fail "last order: $(tail -1 "$dir/s.txt")"
"${s[@]}" --at "19/05/29 00:05" --channel 9 --encoding utf-8 -o "$dir/s8.csv" >/dev/null ||
    fail "utf-8 csv"
cmp -s <(printf '\xef\xbb\xbf' && cat "$dir/s.txt") "$dir/s8.csv" ||
    fail "the utf-8 csv is not the code page 932 one after a byte-order mark"
"$bin" spectrum "$dir/b.hv2" --at "19/05/29 00:00" -o "$dir/b.csv" >/dev/null || fail "hv2 csv"
[[ $(tail -1 "$dir/b.csv") == "49,"* ]] || fail "hv2 last order: $(tail -1 "$dir/b.csv")"
for out in s.png s.svg s.pdf; do
    "${s[@]}" --at "19/05/29 01:00" -o "$dir/$out" >/dev/null || fail "$out"
    [[ -s $dir/$out ]] || fail "$out empty"
done
grep -q "<svg" "$dir/s.svg" || fail "s.svg is not SVG"

# The period's statistic per order: over one record it is that record's spectrum; over more the
# 95th percentile never passes the maximum.
"${s[@]}" --stat max --start "19/05/29 00:10" --end "19/05/29 00:10" -o "$dir/one.csv" >/dev/null ||
    fail "stat of one record"
"${s[@]}" --at "19/05/29 00:10" -o "$dir/at.csv" >/dev/null || fail "at"
cmp -s "$dir/one.csv" "$dir/at.csv" || fail "the maximum of one record is not its spectrum"
"${s[@]}" --stat max -o "$dir/max.csv" >"$dir/out.txt" || fail "stat max"
grep -qF "19/05/29(水) 00:00～19/05/29(水) 04:50  最大値, 1ch, 256 orders" "$dir/out.txt" ||
    fail "stat summary: $(cat "$dir/out.txt")"
"${s[@]}" --stat p95 -o "$dir/p95.csv" >/dev/null || fail "stat p95"
paste -d, "$dir/p95.csv" "$dir/max.csv" | tail -n +2 |
    awk -F, '$2 > $5 || $3 > $6 { bad = 1 } END { exit bad }' || fail "a 95th percentile above the maximum"
"$bin" spectrum "$dir/b.hv2" --stat p95 --limits iec61000-2-2 -o "$dir/lim.png" >/dev/null ||
    fail "limits"
[[ -s $dir/lim.png ]] || fail "lim.png empty"

echo keep >"$dir/kept.csv"
keep "$dir/kept.csv"
o=(-o "$dir/kept.csv")
misuse "no --at" "--at or --stat" "${s[@]}" "${o[@]}"
misuse "both" "--at or --stat" "${s[@]}" --at "19/05/29 00:00" --stat max "${o[@]}"
misuse "statistic" "p95 or max" "${s[@]}" --stat mean "${o[@]}"
misuse "limit set" "no-such-set" "${s[@]}" --stat max --limits no-such-set "${o[@]}"
refuse "after the end" "no record at or after" "${s[@]}" --at "29/01/01 00:00" "${o[@]}"
misuse "bad time" "--at" "${s[@]}" --at "19/05/29 25:00" "${o[@]}"
misuse "channel 10" "--channel" "${s[@]}" --at "19/05/29 00:00" --channel 10 "${o[@]}"
misuse "suffix" ".csv file" "${s[@]}" --at "19/05/29 00:00" -o "$dir/kept.txt"
misuse "encoding" "--encoding" "${s[@]}" --at "19/05/29 00:00" --encoding latin1 "${o[@]}"
finish spectrum
