#!/usr/bin/env bash
# plot draws the graph window's picture into PNG and PDF files without a display; bad selections
# fail with a message and leave an existing output as it was.
set -uo pipefail
bin=$1
dir=$2
rm -rf "$dir" && mkdir -p "$dir" || exit 1
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
unset DISPLAY

"$bin" synth -o "$dir/a.hv2" --records 288 >/dev/null || fail "synth hv2"
"$bin" synth -o "$dir/b.hh1" --records 20 >/dev/null || fail "synth hh1"
"$bin" synth -o "$dir/c.ha3" --records 1 >/dev/null || fail "synth ha3"

# plot NAME.png|pdf ARGS... : succeeds and writes a PNG or PDF of the size asked.
plot() {
    local out=$1
    shift
    "$bin" plot "$@" -o "$dir/$out" >"$dir/out.txt" 2>"$dir/err.txt" ||
        { fail "plot $out $*: $(cat "$dir/err.txt")"; return; }
    [[ -s $dir/$out ]] || fail "$out is empty"
}
size_of() { python3 -c 'import struct,sys; d=open(sys.argv[1],"rb").read(24); print("%dx%d" % struct.unpack(">II", d[16:24]))' "$1"; }

plot dist.png "$dir/a.hv2" --item 1 --group 1 --message "テスト"
[[ $(size_of "$dir/dist.png") == 1000x630 ]] || fail "default size: $(size_of "$dir/dist.png")"
grep -q "電圧歪率(%), 5 curves" "$dir/out.txt" || fail "summary: $(cat "$dir/out.txt")"
plot phase.png "$dir/a.hv2" --item 6 --group 2 --channel 2 --size 1920x1080
[[ $(size_of "$dir/phase.png") == 1920x1080 ]] || fail "asked size: $(size_of "$dir/phase.png")"
plot power.pdf "$dir/a.hv2" --item 3 --orders 1,5,7
[[ $(head -c 5 "$dir/power.pdf") == %PDF- ]] || fail "power.pdf is not a PDF"
grep -q "3 curves" "$dir/out.txt" || fail "three orders: $(cat "$dir/out.txt")"
plot unbalance.png "$dir/a.hv2" --item 22
grep -q "電圧不平衡率(%), 1 curve," "$dir/out.txt" || fail "unbalance: $(cat "$dir/out.txt")"
plot overload.png "$dir/a.hv2" --item 8
grep -q "3 curves" "$dir/out.txt" || fail "overload: $(cat "$dir/out.txt")"
plot predict.png "$dir/a.hv2" --item 14 --group 1 --transformer 20,7.5,6.6
plot high.png "$dir/b.hh1" --item 5 --orders 51-55 --start "19/05/29 00:00" --end "19/05/29 01:00"
grep -q "5 curves" "$dir/out.txt" || fail "orders 51..55: $(cat "$dir/out.txt")"
plot largest.png "$dir/b.hh1" --item 2 --group 6
plot single.png "$dir/c.ha3" --item 11 --group 1  # one record: points at the left edge

# refuse NAME ARGS... -- MESSAGE PART: fails, says so, writes nothing.
refuse() {
    local out=$1 args=()
    shift
    while [[ $1 != -- ]]; do args+=("$1") && shift; done
    shift
    if "$bin" plot "${args[@]}" -o "$dir/$out" 2>"$dir/err.txt" >/dev/null; then
        fail "plot ${args[*]} succeeded"
        return
    fi
    grep -qF -- "$1" "$dir/err.txt" || fail "plot ${args[*]}: message $(cat "$dir/err.txt")"
}
echo keep >"$dir/kept.png"
refuse kept.png "$dir/a.hv2" --item 10 --group 1 -- "not offered"
refuse kept.png "$dir/a.hv2" --item 1 -- "needs --group or --orders"
refuse kept.png "$dir/a.hv2" --item 1 --orders 2 -- "order 2 is not in this file"
refuse kept.png "$dir/a.hv2" --item 1 --orders 1-11 -- "at most five"
refuse kept.png "$dir/a.hv2" --item 1 --group 9 -- "--group"
refuse kept.png "$dir/a.hv2" --item 1 --group 1 --size 50x50 -- "--size"
refuse kept.png "$dir/a.hv2" --item 2 --group 1 --channel 3 -- "--channel"
refuse kept.png "$dir/a.hv2" --item 14 --group 1 --transformer 0,8,6.6 -- ""
refuse kept.png "$dir/missing.hv2" --item 1 --group 1 -- "missing.hv2"
refuse kept.png "$dir/a.hv2" --item 1 --group 1 --start "19/05/30 00:00" --end "19/05/29 00:00" \
    -- "starts after it ends"
refuse kept.txt "$dir/a.hv2" --item 1 --group 1 -- ".png or .pdf"
[[ $(cat "$dir/kept.png") == keep ]] || fail "a refused plot changed an existing file"

if ((failures)); then
    echo "$failures failure(s)" >&2
    exit 1
fi
echo "plot: all passed"
