#!/usr/bin/env bash
# convert: the files each kind and option produces, the defaults, and refusals that leave every
# earlier file as it was.
source "$(dirname "$0")/lib.sh"
synth() { "$bin" synth -o "$dir/$1" "${@:2}" >/dev/null || fail "synth $1"; }
header() { head -n 1 "$1" | tr -d '\r' | iconv -f CP932 -t UTF-8; }
# expect_header FILE PATTERN: the header of FILE matches the glob PATTERN.
expect_header() { [[ $(header "$1") == $2 ]] || fail "header of $1: $(header "$1")"; }

# Every kind with the defaults: one file at the proposed name, a header and one line per record,
# every line ending in CR LF, code page 932.
for name in a.ha3 a.ha4 a.ha5 a.ha6 b.hm3 c.hv2 d.hh2 e.hn2 x.Rhm2; do
    synth "$name" --records 12
    out=$("$bin" convert "$dir/$name") || { fail "convert $name"; continue; }
    csv="$dir/${name:0:${#name}-3}csv"
    [[ $out == "$csv" && -f $csv ]] || { fail "$name: printed \"$out\", not $csv"; continue; }
    [[ $(grep -c $'\r$' "$csv") -eq 13 && $(wc -l <"$csv") -eq 13 ]] || fail "$name: lines"
    [[ $(head -c 4 "$csv" | od -An -tx1 | tr -d ' \n') == 93fa8e9e ]] || fail "$name: not cp932"
done
[[ -f $dir/x.Rcsv ]] || fail "x.Rhm2: the proposed name is x.Rcsv"

# Defaults per kind: hv has both optional groups, hn the voltage angle, hh none.
hv='日時,V1,V3,*,2R49,vR1,*,vR49,Vuv,Vvw,Vuw,'
expect_header "$dir/c.csv" "$hv"'1Iu(rms),Iv(rms),Iw(rms),2Iu(rms),Iv(rms),Iw(rms)'
expect_header "$dir/e.csv" '*,2R256,vR1,*,vR256'
expect_header "$dir/d.csv" '*,2R256'
expect_header "$dir/a.csv" '*Iw(deg)' # a.csv is the last of the ha kinds: ha6

# Options.
convert() { "$bin" convert "$@" >/dev/null || fail "convert $*"; }
convert "$dir/c.hv2" --no-voltage-angle --no-per-phase --combined --orders 1,3 -o "$dir/c1.csv"
expect_header "$dir/c1.csv" '日時,V1,V3,1I1,1I3,1R1,1R3,2I1,2I3,2R1,2R3,3I1,3I3,3R1,3R3'
convert "$dir/d.hh2" --orders "1,3,5-7,256" -o "$dir/d1.csv"
expect_header "$dir/d1.csv" '日時,V1,V3,V5,V6,V7,V256,1I1,*'
convert "$dir/b.hm3" --orders "2-6" -o "$dir/b1.csv"
expect_header "$dir/b1.csv" '日時,V3,V5,1I3,1I5,1R3,1R5,2I3,*'
convert "$dir/a.ha3" --encoding utf-8 -o "$dir/utf8.csv"
[[ $(head -c 10 "$dir/utf8.csv") == $'\xEF\xBB\xBF'日時, ]] || fail "utf-8 header with its byte-order mark"

# A part of the recording: records every 10 minutes from 00:00; a start at 00:22 takes the records
# stamped 00:30 to 00:50.
convert "$dir/a.ha3" --start "19/05/29 00:22" --end "19/05/29 00:50" -o "$dir/part.csv"
[[ $(wc -l <"$dir/part.csv") -eq 4 && $(sed -n 2p "$dir/part.csv") == "2019/05/29 0:30:00,"* &&
    $(sed -n 4p "$dir/part.csv") == "2019/05/29 0:50:00,"* ]] || fail "period: $(cat "$dir/part.csv")"

# One file per item, with the combined current, in a dotted folder.
synth f.hn2 --records 5 --short
mkdir -p "$dir/site.v2"
out=$("$bin" convert "$dir/f.hn2" --split --combined -o "$dir/site.v2/f.csv") || fail "split"
for item in V I1 I2 I3 R1 R2 R3 vR; do
    file="$dir/site.v2/f$item.csv"
    [[ -f $file && $(wc -l <"$file") -eq 6 ]] && grep -qxF "$file" <<<"$out" || fail "split: $file"
done
expect_header "$dir/site.v2/fI3.csv" '日時,3I1,3I2,*'
[[ ! -e $dir/siteV.csv && ! -e $dir/site.v2/f.csv ]] || fail "split: files outside the folder"

# Refusals: a message, a failure code, and nothing written or changed.
printf 'earlier\r\n' >"$dir/keep.csv"
keep "$dir/keep.csv" "$dir/b.hm3"
k=(-o "$dir/keep.csv")
refuse "even order of an odd kind" "" "$bin" convert "$dir/b.hm3" --orders 1,4 "${k[@]}"
refuse "order above 49" "" "$bin" convert "$dir/b.hm3" --orders 51 "${k[@]}"
refuse "order 257" "" "$bin" convert "$dir/d.hh2" --orders 257 "${k[@]}"
refuse "bad order list" "" "$bin" convert "$dir/d.hh2" --orders 1,x "${k[@]}"
refuse "voltage angle of ha6" "" "$bin" convert "$dir/a.ha6" --voltage-angle "${k[@]}"
refuse "split of hm3" "" "$bin" convert "$dir/b.hm3" --split "${k[@]}"
refuse "combined of one channel" "" "$bin" convert "$dir/a.ha3" --combined "${k[@]}"
refuse "start after end" "" "$bin" convert "$dir/a.ha3" --start "19/05/29 01:00" \
    --end "19/05/29 00:10" "${k[@]}"
refuse "period after the file" "指定期間にデータがありません" "$bin" convert "$dir/a.ha3" --start "19/06/01 00:00" \
    --end "19/06/02 00:00" "${k[@]}"
refuse "bad period text" "" "$bin" convert "$dir/a.ha3" --start "19/05/29" "${k[@]}"
refuse "unknown encoding" "" "$bin" convert "$dir/a.ha3" --encoding latin1 "${k[@]}"
refuse "output is a folder" "" "$bin" convert "$dir/a.ha3" -o "$dir/site.v2"
refuse "output is a device" "" "$bin" convert "$dir/a.ha3" -o /dev/null
refuse "output is the recording" "" "$bin" convert "$dir/b.hm3" -o "$dir/b.hm3"
refuse "folder does not exist" "(ファイルまたはフォルダーがありません)" "$bin" convert "$dir/a.ha3" \
    -o "$dir/missing/a.csv"
refuse "no such recording" "(ファイルまたはフォルダーがありません)" "$bin" convert "$dir/none.hm1"
refuse "unknown option" "" "$bin" convert "$dir/a.ha3" --bogus
[[ ! -e $dir/missing ]] || fail "missing folder created"

# The scan's warnings reach stderr: a last stamp equal to the first (an ha3 record is 256 bytes).
synth stuck.ha3 --records 3
dd if="$dir/stuck.ha3" of="$dir/stuck.ha3" bs=1 count=6 seek=512 conv=notrunc status=none
"$bin" convert "$dir/stuck.ha3" >/dev/null 2>"$dir/err.txt" || fail "stuck.ha3: refused"
grep -q "先頭と同じ" "$dir/err.txt" || fail "stuck.ha3: no warning: $(cat "$dir/err.txt")"
# Every readable record is converted: a last stamp equal to the first keeps all 12 records, one
# that is not a time stamp leaves out that record alone (a header and 11 lines).
synth last-equal.ha3 --records 12
dd if="$dir/last-equal.ha3" of="$dir/last-equal.ha3" bs=1 count=6 seek=$((11 * 256)) conv=notrunc status=none
synth last-unreadable.ha3 --records 12
printf '\xff\xff\xff\xff' | dd of="$dir/last-unreadable.ha3" bs=1 seek=$((11 * 256)) conv=notrunc status=none
for case in equal:13 unreadable:12; do
    what=${case%:*}
    "$bin" convert "$dir/last-$what.ha3" -o "$dir/last-$what.csv" >/dev/null 2>"$dir/err.txt" ||
        fail "last-$what: $(cat "$dir/err.txt")"
    [[ $(wc -l <"$dir/last-$what.csv") -eq ${case#*:} ]] || fail "last-$what: $(wc -l <"$dir/last-$what.csv") lines"
done
# A period from the day before the file: every record.
synth early.hm1 --records 12 --start "19/05/29 00:00" --interval 10
"$bin" convert "$dir/early.hm1" --start "19/05/28 12:00" -o "$dir/early.csv" >/dev/null
[[ $(wc -l <"$dir/early.csv") -eq 13 ]] || fail "early.hm1: $(wc -l <"$dir/early.csv") lines"
ls -a "$dir" "$dir/site.v2" | grep -q '\.tmp' && fail "temporary files left behind"
finish convert
