#!/usr/bin/env bash
# synth writes every kind; info reports what each file holds; bad input fails with a message.
source "$(dirname "$0")/lib.sh"

# check NAME [SYNTH OPTIONS...] -- EXPECTED INFO LINES...
check() {
    local name=$1 options=()
    shift
    while [[ $1 != -- ]]; do options+=("$1") && shift; done
    shift
    "$bin" synth -o "$dir/$name" "${options[@]}" || { fail "synth $name"; return; }
    local out
    out=$("$bin" info "$dir/$name" 2>"$dir/$name.err") || { fail "info $name"; return; }
    for line in "$@"; do
        grep -qxF "$line" <<<"$out" || fail "$name: no line \"$line\" in:"$'\n'"$out"
    done
}

# Record lengths and sizes of every kind are the record format's; here every field once and each
# synth option.
check a.ha3 --records 12 -- "kind: ha3" "record_length: 256" "channels: 1" "records: 12" \
    "max_order_index: 24" "short_form: no" "power_factor: 1.7320508" "interval: 10" \
    "first: 19/05/29 00:00" "last: 19/05/29 01:50"
check b.Rhm2 --interval 5 -- "kind: hm" "channels: 2" "records: 144" "power_factor: 1" "interval: 5"
check c.hv2 --records 100 --gaps 10 -- "records: 100" "first: 19/05/29 00:00" \
    "last: 19/05/29 18:10"
check d.hh2 --records 3 -- "kind: hh" "max_order_index: 255"
check f.hn2 --records 3 --short -- "kind: hn" "record_length: 4152" "short_form: yes"
check g.hn9 --records 2 --adversarial -- "channels: 9" "first: 05/03/11 23:00" \
    "last: 05/03/11 23:10"
check h.hm1 --records 1 --start "05/03/12 00:05" -- "records: 1" "interval: 1" \
    "first: 05/03/12 00:05" "last: 05/03/12 00:05"
check i.hm1 --records 3 --start "99/12/31 00:00" --interval 1440 -- "last: 00/01/02 00:00"

# A last record with time 24:00: the end is the record before it, with a warning on stderr.
"$bin" synth -o "$dir/j.hm1" --records 5 || fail "synth j.hm1"
printf '\x60\x09' | dd of="$dir/j.hm1" bs=1 seek=$((4 * 256 + 4)) conv=notrunc status=none
"$bin" info "$dir/j.hm1" 2>"$dir/j.err" | grep -cxF -e "last: 19/05/29 00:30" -e "interval: 10" |
    grep -qx 2 || fail "j.hm1: the end is not the fourth record's"
[[ -s $dir/j.err ]] || fail "j.hm1: no warning"

# Failures: non-zero exit and a message on stderr, and no file left behind.
: >"$dir/empty.hm2"
# A FIFO named like a recording is refused at once, never waited on.
mkfifo "$dir/f.hm2"
refuse "fifo info" "通常のファイルではありません" timeout 10 "$bin" info "$dir/f.hm2"
refuse "fifo convert" "通常のファイルではありません" timeout 10 "$bin" convert "$dir/f.hm2"
refuse "fifo tables" "通常のファイルではありません" timeout 10 "$bin" tables "$dir/f.hm2" -o "$dir/f.json"
refuse "unknown kind" "" "$bin" synth -o "$dir/x.dat"
refuse "short non-hn" "" "$bin" synth -o "$dir/x.hh2" --short
refuse "bad records" "" "$bin" synth -o "$dir/x.hm2" --records 12x
refuse "bad start" "" "$bin" synth -o "$dir/x.hm2" --start "19/13/01 00:00"
refuse "no output" "" "$bin" synth --records 3
refuse "missing folder" "" "$bin" synth -o "$dir/none/x.hm2"
mkfifo "$dir/pipe.hm2"
refuse "a pipe as output" "通常のファイルではありません" "$bin" synth -o "$dir/pipe.hm2"
[[ -p $dir/pipe.hm2 ]] || fail "the pipe was replaced"
refuse "unknown option" "" "$bin" synth -o "$dir/x.hm2" --bogus
refuse "info missing" "" "$bin" info "$dir/none.hm2"
refuse "info no file" "" "$bin" info
refuse "info empty" "" "$bin" info "$dir/empty.hm2"
[[ -e $dir/x.hm2 || -e $dir/x.dat || -e $dir/x.hh2 ]] && fail "a refused synth left a file"
finish info_synth
