#!/usr/bin/env bash
# tables writes the analysis state after a graph-mode load as JSON for every kind: the fields by
# their state names, the tables as nested arrays of their sizes, single values that read back as
# the recording's own; bad input fails with a message and leaves files as they were.
source "$(dirname "$0")/lib.sh"

# check.py JSON RECORDING PREDICT: the shape of every table and the voltages against the bytes.
cat >"$dir/check.py" <<'PY'
import json, struct, sys
state, raw = json.load(open(sys.argv[1])), open(sys.argv[2], "rb").read()
predict = sys.argv[3] == "yes"
P, N, C = state["PeriodRecords"] + 1, state["MaxOrderIndex"] + 1, state["ChannelCount"] + 1
def shape(t):
    return [len(t)] + shape(t[0]) if isinstance(t, list) and t else []
expect = {"RecordX": [P], "VoltageTable": [P, N], "CurrentTable": [C, P, N],
          "ActivePower": [C, P, N], "ReactivePower": [C, P, N], "AngleTable": [2, P, N],
          "VoltageThd": [P], "CurrentThd": [C, P], "PhaseVoltage": [P, 6],
          "PhaseCurrent": [C, P, 6], "OverloadTable": [6, P], "ItemMax": [C, 16, N],
          "ItemMin": [C, 16, N]}
if predict:
    expect.update({"PredictTable": [P, N], "PredictAngle": [2, P, N], "PredictTotal": [P]})
for name, dims in expect.items():
    assert shape(state[name]) == dims, (name, shape(state[name]), dims)
assert predict == ("PredictTable" in state), "prediction tables"
for field in ("RecordLength ShortHnRecord RecordInterval PeriodMinutes LoadedRecords StartDay "
              "StartMinute EndDay EndMinute AnalysisStart AnalysisEnd FileStartTime FileEndTime"
              ).split():
    assert field in state, field
first, L = state["FirstRecord"], state["RecordLength"]
for slot in range(state["LoadedRecords"]):
    voltages = struct.unpack_from("<%df" % N, raw, (first + slot) * L + 6)
    got = [struct.unpack("<f", struct.pack("<f", v))[0] for v in state["VoltageTable"][slot]]
    assert list(voltages) == got, ("voltages of slot", slot)
print(state["LoadedRecords"], first, state["PeriodRecords"])
PY

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

echo keep >"$dir/old.json"
cp "$dir/a.ha3" "$dir/same.ha3"
keep "$dir/old.json" "$dir/same.ha3"
t=("$bin" tables "$dir/a.ha3")
o=(-o "$dir/old.json")
refuse "no output" "tables: usage" "${t[@]}"
refuse "no data" "指定期間にデータがありません" "${t[@]}" --start "19/06/01 00:00" \
    --end "19/06/02 00:00" "${o[@]}"
refuse "channel alone" "" "${t[@]}" --channel 1 "${o[@]}"
refuse "zero capacity" "0 より大きい" "${t[@]}" --predict 0,8,6.6 "${o[@]}"
refuse "no such channel" "" "$bin" tables "$dir/b.hm3" --predict 10,8,6.6 --channel 4 "${o[@]}"
refuse "unknown kind" "tables: " "$bin" tables "$dir/check.py" "${o[@]}"
refuse "missing folder" "" "${t[@]}" -o "$dir/none/x.json"
refuse "output is the input" "" "$bin" tables "$dir/same.ha3" -o "$dir/same.ha3"
mkfifo "$dir/pipe.json"
refuse "a pipe as output" "通常のファイルではありません" "${t[@]}" -o "$dir/pipe.json"
[[ -p $dir/pipe.json ]] || fail "the pipe was replaced"
ls "$dir" | grep -q 'json\.' && fail "a temporary file was left: $(ls "$dir")"
finish tables
