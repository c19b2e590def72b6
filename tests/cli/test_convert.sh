#!/usr/bin/env bash
# convert: the files each kind and option produces, the defaults, and refusals that leave every
# earlier file as it was.
set -uo pipefail
bin=$1
dir=$2
rm -rf "$dir" && mkdir -p "$dir" || exit 1
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

synth() { "$bin" synth -o "$dir/$1" "${@:2}" >/dev/null || fail "synth $1"; }
header() { head -n 1 "$1" | tr -d '\r' | iconv -f CP932 -t UTF-8; }
# expect_fail DESCRIPTION ARGS...: exits non-zero with one line on stderr
expect_fail() {
    local what=$1
    shift
    if "$bin" convert "$@" >"$dir/out.txt" 2>"$dir/err.txt"; then
        fail "$what: succeeded"
    elif [[ $(wc -l <"$dir/err.txt") -ne 1 ]]; then
        fail "$what: not one line of message: $(cat "$dir/err.txt")"
    fi
}

# Every kind with the defaults: one file at the proposed name, a header and one line per record,
# every line ending in CR LF, code page 932.
for name in a.ha3 a.ha4 a.ha5 a.ha6 b.hm3 c.hv2 d.hh2 e.hn2 x.Rhm2; do
    synth "$name" --records 12
    out=$("$bin" convert "$dir/$name") || { fail "convert $name"; continue; }
    csv="$dir/${name:0:${#name}-3}csv"
    [[ $out == "$csv" ]] || fail "$name: printed \"$out\", not $csv"
    [[ -f $csv ]] || { fail "$name: no $csv"; continue; }
    [[ $(wc -l <"$csv") -eq 13 ]] || fail "$name: $(wc -l <"$csv") lines"
    [[ $(grep -c $'\r$' "$csv") -eq 13 ]] || fail "$name: lines without CR LF"
    [[ $(head -c 4 "$csv" | od -An -tx1 | tr -d ' \n') == 93fa8e9e ]] || fail "$name: not cp932"
done
[[ -f $dir/x.Rcsv ]] || fail "x.Rhm2: the proposed name is x.Rcsv"

# Defaults per kind: hv has both optional groups, hn the voltage angle, hh none.
h=$(header "$dir/c.csv")
[[ $h == 日時,V1,V3,*,2R49,vR1,*,vR49,Vuv,Vvw,Vuw,1Iu\(rms\),Iv\(rms\),Iw\(rms\),2Iu\(rms\),Iv\(rms\),Iw\(rms\) ]] ||
    fail "hv2 header: $h"
[[ $(header "$dir/e.csv") == *,2R256,vR1,*,vR256 ]] || fail "hn2 header: $(header "$dir/e.csv")"
[[ $(header "$dir/d.csv") == *,2R256 ]] || fail "hh2 header"
[[ $(header "$dir/a.csv") == *Iw\(deg\) ]] || fail "ha6 header (a.csv is the last of the ha kinds)"

# Options.
"$bin" convert "$dir/c.hv2" --no-voltage-angle --no-per-phase --combined --orders 1,3 \
    -o "$dir/c-plain.csv" >/dev/null || fail "hv2 without options"
[[ $(header "$dir/c-plain.csv") == 日時,V1,V3,1I1,1I3,1R1,1R3,2I1,2I3,2R1,2R3,3I1,3I3,3R1,3R3 ]] ||
    fail "hv2 plain header: $(header "$dir/c-plain.csv")"
"$bin" convert "$dir/d.hh2" --orders "1,3,5-7,256" -o "$dir/d-some.csv" >/dev/null || fail "hh2 orders"
[[ $(header "$dir/d-some.csv") == 日時,V1,V3,V5,V6,V7,V256,1I1,* ]] || fail "hh2 orders header"
"$bin" convert "$dir/b.hm3" --orders "2-6" -o "$dir/b-range.csv" >/dev/null || fail "hm3 range"
[[ $(header "$dir/b-range.csv") == 日時,V3,V5,1I3,1I5,1R3,1R5,2I3,* ]] || fail "hm3 range header"
"$bin" convert "$dir/a.ha3" --encoding utf-8 -o "$dir/utf8.csv" >/dev/null || fail "utf-8"
[[ $(head -c 7 "$dir/utf8.csv") == 日時, ]] || fail "utf-8 header"

# A part of the recording: records every 10 minutes from 00:00; 00:22 starts at 00:20, and the
# 28 minutes to 00:50 are 3 records more (2.8 rounded).
"$bin" convert "$dir/a.ha3" --start "19/05/29 00:22" --end "19/05/29 00:50" -o "$dir/part.csv" \
    >/dev/null || fail "period"
[[ $(wc -l <"$dir/part.csv") -eq 5 ]] || fail "period: $(wc -l <"$dir/part.csv") lines"
[[ $(sed -n 2p "$dir/part.csv") == "2019/05/29 0:20:00,"* ]] || fail "period: first line"
[[ $(sed -n 5p "$dir/part.csv") == "2019/05/29 0:50:00,"* ]] || fail "period: last line"

# One file per item, with the combined current, in a dotted folder.
synth f.hn2 --records 5 --short
mkdir -p "$dir/site.v2"
out=$("$bin" convert "$dir/f.hn2" --split --combined -o "$dir/site.v2/f.csv") || fail "split"
for item in V I1 I2 I3 R1 R2 R3 vR; do
    file="$dir/site.v2/f$item.csv"
    [[ -f $file && $(wc -l <"$file") -eq 6 ]] || fail "split: $file"
    grep -qxF "$file" <<<"$out" || fail "split: $file not printed"
done
[[ $(header "$dir/site.v2/fI3.csv") == 日時,3I1,3I2,* ]] || fail "split I3 header"
[[ ! -e $dir/siteV.csv && ! -e $dir/site.v2/f.csv ]] || fail "split: files outside the folder"

# Refusals: a message, a failure code, and nothing written or changed.
printf 'earlier\r\n' >"$dir/keep.csv"
cp "$dir/b.hm3" "$dir/b.hm3.copy"
expect_fail "even order of an odd kind" "$dir/b.hm3" --orders 1,4 -o "$dir/keep.csv"
expect_fail "order above 49" "$dir/b.hm3" --orders 51 -o "$dir/keep.csv"
expect_fail "order 257" "$dir/d.hh2" --orders 257 -o "$dir/keep.csv"
expect_fail "bad order list" "$dir/d.hh2" --orders 1,x -o "$dir/keep.csv"
expect_fail "voltage angle of ha6" "$dir/a.ha6" --voltage-angle -o "$dir/keep.csv"
expect_fail "split of hm3" "$dir/b.hm3" --split -o "$dir/keep.csv"
expect_fail "combined of one channel" "$dir/a.ha3" --combined -o "$dir/keep.csv"
expect_fail "start after end" "$dir/a.ha3" --start "19/05/29 01:00" --end "19/05/29 00:10" \
    -o "$dir/keep.csv"
expect_fail "period after the file" "$dir/a.ha3" --start "19/06/01 00:00" --end "19/06/02 00:00" \
    -o "$dir/keep.csv"
expect_fail "bad period text" "$dir/a.ha3" --start "19/05/29" -o "$dir/keep.csv"
expect_fail "unknown encoding" "$dir/a.ha3" --encoding latin1 -o "$dir/keep.csv"
expect_fail "output is a folder" "$dir/a.ha3" -o "$dir/site.v2"
expect_fail "output is a device" "$dir/a.ha3" -o /dev/null
expect_fail "output is the recording" "$dir/b.hm3" -o "$dir/b.hm3"
expect_fail "folder does not exist" "$dir/a.ha3" -o "$dir/missing/a.csv"
expect_fail "no such recording" "$dir/none.hm1"
expect_fail "unknown option" "$dir/a.ha3" --bogus
expect_fail "two files" "$dir/a.ha3" "$dir/a.ha4"
[[ $(cat "$dir/keep.csv") == $'earlier\r' ]] || fail "keep.csv changed"
cmp -s "$dir/b.hm3" "$dir/b.hm3.copy" || fail "the recording changed"
[[ ! -e $dir/missing ]] || fail "missing folder created"
ls -a "$dir" "$dir/site.v2" | grep -q '\.tmp' && fail "temporary files left behind"

if ((failures)); then
    echo "$failures failure(s)" >&2
    exit 1
fi
echo "convert: all passed"
