#!/usr/bin/env bash
# tables writes the analysis state after a graph-mode load as JSON for every kind: the fields by
# their state names, the tables as nested arrays of their sizes, single values that read back as
# the recording's own; bad input fails with a message and leaves files as they were.
set -uo pipefail
bin=$1
dir=$2
rm -rf "$dir" && mkdir -p "$dir" || exit 1
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# check.py JSON RECORDING PREDICT: the shape of every table and the voltages against the bytes.
cat >"$dir/check.py" <<'EOF'
import json, struct, sys
state = json.load(open(sys.argv[1]))
raw = open(sys.argv[2], "rb").read()
predict = sys.argv[3] == "yes"
P, N, C = state["PeriodRecords"], state["MaxOrderIndex"], state["ChannelCount"]
L = state["RecordLength"]
def shape(t):
    dims = []
    while isinstance(t, list):
        dims.append(len(t))
        t = t[0] if t else None
    return dims
expect = {
    "RecordX": [P + 1], "VoltageTable": [P + 1, N + 1], "CurrentTable": [C + 1, P + 1, N + 1],
    "ActivePower": [C + 1, P + 1, N + 1], "ReactivePower": [C + 1, P + 1, N + 1],
    "AngleTable": [2, P + 1, N + 1], "VoltageThd": [P + 1], "CurrentThd": [C + 1, P + 1],
    "PhaseVoltage": [P + 1, 6], "PhaseCurrent": [C + 1, P + 1, 6], "OverloadTable": [6, P + 1],
    "ItemMax": [C + 1, 16, N + 1], "ItemMin": [C + 1, 16, N + 1],
}
if predict:
    expect.update({"PredictTable": [P + 1, N + 1], "PredictAngle": [2, P + 1, N + 1],
                   "PredictTotal": [P + 1]})
for name, dims in expect.items():
    assert shape(state[name]) == dims, (name, shape(state[name]), dims)
assert predict == ("PredictTable" in state), "prediction tables"
for field in ("RecordLength", "ShortHnRecord", "ChannelCount", "MaxOrderIndex", "RecordInterval",
              "PeriodMinutes", "PeriodRecords", "LoadedRecords", "StartDay", "StartMinute",
              "EndDay", "EndMinute", "AnalysisStart", "AnalysisEnd", "FileStartTime",
              "FileEndTime"):
    assert field in state, field
first = state["FirstRecord"]
for slot in range(state["LoadedRecords"]):
    offset = (first + slot) * L + 6
    voltages = struct.unpack_from("<%df" % (N + 1), raw, offset)
    got = [struct.unpack("<f", struct.pack("<f", v))[0] for v in state["VoltageTable"][slot]]
    assert list(voltages) == got, ("voltages of slot", slot)
print(state["LoadedRecords"], state["FirstRecord"], state["PeriodRecords"])
EOF

for name in a.ha3 a.ha4 a.ha5 a.ha6 b.hm3 b.Rhm2 c.hv2 d.hh2 e.hn2 f.hn1; do
    options=(--records 30)
    [[ $name == f.hn1 ]] && options+=(--short)
    [[ $name == c.hv2 ]] && options+=(--gaps 3 --adversarial --start "19/05/29 00:00")
    "$bin" synth -o "$dir/$name" "${options[@]}" || { fail "synth $name"; continue; }
    "$bin" tables "$dir/$name" -o "$dir/$name.json" || { fail "tables $name"; continue; }
    out=$(python3 "$dir/check.py" "$dir/$name.json" "$dir/$name" no) || { fail "check $name"; continue; }
    [[ $out == "30 0 29" ]] || fail "$name: loaded, first, period records: $out"
done

# A period inside the file, and the prediction of channel 1.
"$bin" tables "$dir/c.hv2" --start "19/05/29 01:00" --end "19/05/29 02:00" \
    --predict 10,8.0,6.6 --channel 1 -o "$dir/p.json" || fail "tables with prediction"
out=$(python3 "$dir/check.py" "$dir/p.json" "$dir/c.hv2" yes) || fail "check prediction"
read -r loaded firstRecord periodRecords <<<"$out"
[[ $periodRecords -ge 5 && $firstRecord -ge 5 && $loaded -eq $((periodRecords + 1)) ]] ||
    fail "period inside the file: $out"
grep -q '"PredictionChannel": 1' "$dir/p.json" || fail "prediction channel"
grep -qE '"AnalysisStart": 43614\.04166666' "$dir/p.json" || fail "start as a day number"

# Failures: non-zero exit, a message on stderr, no output written, existing files untouched.
echo keep >"$dir/old.json"
refuse() {
    local what=$1 expect=$2
    shift 2
    local err
    if err=$("$@" 2>&1 >/dev/null); then
        fail "$what: succeeded"
    elif [[ -z $err ]]; then
        fail "$what: no message"
    elif [[ -n $expect && $err != *"$expect"* ]]; then
        fail "$what: message \"$err\" lacks \"$expect\""
    fi
    [[ $(cat "$dir/old.json") == keep ]] || fail "$what: the old output changed"
}
refuse "no output" "" "$bin" tables "$dir/a.ha3"
refuse "no data" "指定期間にデータがありません" \
    "$bin" tables "$dir/a.ha3" --start "19/06/01 00:00" --end "19/06/02 00:00" -o "$dir/old.json"
refuse "start after end" "" \
    "$bin" tables "$dir/a.ha3" --start "19/05/29 03:00" --end "19/05/29 02:00" -o "$dir/old.json"
refuse "bad period" "" "$bin" tables "$dir/a.ha3" --start "19/05/29" -o "$dir/old.json"
refuse "channel alone" "" "$bin" tables "$dir/a.ha3" --channel 1 -o "$dir/old.json"
refuse "zero capacity" "0 より大きい" \
    "$bin" tables "$dir/a.ha3" --predict 0,8,6.6 -o "$dir/old.json"
refuse "bad predict" "" "$bin" tables "$dir/a.ha3" --predict 10,8 -o "$dir/old.json"
refuse "no such channel" "" \
    "$bin" tables "$dir/b.hm3" --predict 10,8,6.6 --channel 4 -o "$dir/old.json"
refuse "unknown kind" "" "$bin" tables "$dir/check.py" -o "$dir/old.json"
refuse "missing folder" "" "$bin" tables "$dir/a.ha3" -o "$dir/none/x.json"
cp "$dir/a.ha3" "$dir/same.ha3"
refuse "output is the input" "" "$bin" tables "$dir/same.ha3" -o "$dir/same.ha3"
cmp -s "$dir/a.ha3" "$dir/same.ha3" || fail "the recording was overwritten"
ls "$dir" | grep -q 'json\.' && fail "a temporary file was left: $(ls "$dir")"

if ((failures)); then
    echo "$failures failure(s)" >&2
    exit 1
fi
echo "ok"
