#!/usr/bin/env bash
# report judges a recording against a limit set and writes JSON, CSV (code page 932) or the PDF
# sheet; limits lists the sets, with the user's folder adding and replacing sets and a bad file
# named on stderr; bad input fails with a message and leaves files as they were.
source "$(dirname "$0")/lib.sh"
export XDG_CONFIG_HOME=$dir/config
user=$XDG_CONFIG_HOME/harmograph/limits

"$bin" synth -o "$dir/s.hh2" --records 200 || fail "synth"

# JSON: the shape the issue gives, the total first, limits only where the set has them.
"$bin" report "$dir/s.hh2" --limits iec61000-2-2 -o "$dir/r.json" >"$dir/table.txt" ||
    fail "report json"
python3 - "$dir/r.json" <<'PY' || fail "json content"
import json, sys
r = json.load(open(sys.argv[1]))
assert set(r) == {"file", "period", "limits", "rows"}, r.keys()
assert r["limits"] == "iec61000-2-2" and r["period"]["records"] == 200, r["period"]
assert r["period"]["start"] == "19/05/29 00:00", r["period"]
keys = {"quantity", "order", "channel", "records", "max", "max_time", "min", "mean", "p95",
        "p99", "limit", "pass"}
assert all(set(row) == keys for row in r["rows"])
assert len(r["rows"]) == 256, len(r["rows"])
total = r["rows"][0]
assert total["quantity"] == "voltage_total_distortion" and total["order"] == 0
assert total["limit"] == 8 and total["pass"] is True and total["channel"] is None
by_order = {row["order"]: row for row in r["rows"][1:]}
assert by_order[5]["limit"] == 6 and by_order[51]["limit"] is None and by_order[51]["pass"] is None
for row in r["rows"]:
    assert row["min"] <= row["p95"] <= row["p99"] <= row["max"], row
    assert len(row["max_time"]) == 14 and row["max_time"][2] == "/", row
PY
grep -q "総合" "$dir/table.txt" && grep -q " 50次" "$dir/table.txt" || fail "printed table"

# CSV in code page 932 with CR LF: the current per kW of channel 1 at the 6.6 kV guideline.
"$bin" report "$dir/s.hh2" --limits jp-guideline-6.6kV --contract-kw 2000 --measured-kv 6.6 \
    --channel 1 -o "$dir/r.csv" >/dev/null || fail "report csv"
iconv -f CP932 -t UTF-8 "$dir/r.csv" >"$dir/r.utf8.csv" || fail "csv is not code page 932"
head -1 "$dir/r.utf8.csv" | grep -q $'^区分,次数,チャンネル,.*,判定\r$' || fail "csv header"
[[ $(grep -c $'\r$' "$dir/r.utf8.csv") -eq 256 ]] || fail "csv lines: $(wc -l <"$dir/r.utf8.csv")"
grep -q '^current_per_kw,5,2ch,200,.*,3.5,' "$dir/r.utf8.csv" || fail "csv 5th order row"
grep -q '^current_per_kw,3,2ch,200,[^,]*,[^,]*,[^,]*,[^,]*,[^,]*,[^,]*,,,,'$'\r' \
    "$dir/r.utf8.csv" || fail "csv row without a limit"

# PDF: one A4 page holding the sheet's texts.
"$bin" report "$dir/s.hh2" --limits jp-env-6.6kV --start "19/05/29 06:00" \
    --end "19/05/29 12:00" -o "$dir/r.pdf" >/dev/null || fail "report pdf"
pdfinfo "$dir/r.pdf" | grep -q '^Pages: *1$' || fail "pdf pages"
pdfinfo "$dir/r.pdf" | grep -q 'Page size: .*(A4)' || fail "pdf size"
text=$(pdftotext "$dir/r.pdf" - 2>/dev/null)
for t in 高調波適合判定 jp-env-6.6kV "19/05/29 06:00" 総合 適合; do
    grep -qF "$t" <<<"$text" || fail "pdf text $t"
done

# limits: the nine shipped sets; the user's folder replaces one, adds one, and a bad file is named.
[[ $("$bin" limits | wc -l) -eq 9 ]] || fail "limits lists nine sets"
mkdir -p "$user"
sed 's/"total": 5/"total": 4/' "$(dirname "$0")/../../limits/jp-env-6.6kV.json" >"$user/env.json"
sed 's/"name": "jp-env-ehv"/"name": "site-ehv"/' "$(dirname "$0")/../../limits/jp-env-ehv.json" \
    >"$user/site.json"
echo '{"name": "x", "quantity": 1}' >"$user/bad.json"
"$bin" limits >"$dir/list.txt" 2>"$dir/err.txt" || fail "limits with a bad user file"
[[ $(wc -l <"$dir/list.txt") -eq 10 ]] || fail "user set added: $(cat "$dir/list.txt")"
grep -q "^jp-env-6.6kV.*$user/env.json$" "$dir/list.txt" || fail "user set replaces"
grep -q "bad.json" "$dir/err.txt" && grep -q '"title"' "$dir/err.txt" || fail "bad file named"
"$bin" report "$dir/s.hh2" --limits jp-env-6.6kV -o "$dir/u.json" >/dev/null 2>&1 || fail "user set"
grep -q '"limit": 4,' "$dir/u.json" || fail "the user's set is used"
rm "$user/bad.json"

# Nothing in the user's folder stops a report of another set: a FIFO, a link to an endless device,
# a limit beyond reason and a name with a bell and a newline are each one line with the command
# word and the control characters escaped.
mkfifo "$user/fifo.json" && ln -s /dev/zero "$user/zero.json" || fail "fifo"
sed 's/"total": 5/"total": 1e308/' "$(dirname "$0")/../../limits/jp-env-6.6kV.json" >"$user/huge.json"
echo '{' >"$user/"$'bell\a\nname.json'
timeout 60 "$bin" report "$dir/s.hh2" --limits iec61000-2-2 -o "$dir/v.json" >/dev/null \
    2>"$dir/err.txt" || fail "a report past a bad user folder: $(cat "$dir/err.txt")"
[[ $(grep -c '^harmograph report: 限度値ファイル .*json: ' "$dir/err.txt") -eq 4 ]] &&
    [[ $(wc -l <"$dir/err.txt") -eq 4 ]] && grep -qF 'bell\x07\nname.json' "$dir/err.txt" ||
    fail "user folder messages: $(cat -A "$dir/err.txt")"
rm -f "$user"/*.json

# Options beyond physical reason are usage errors; nothing infinite is ever written.
for opt in "--measured-kv 1e300" "--contract-kw 1e-40"; do
    "$bin" report "$dir/s.hh2" --limits jp-guideline-22kV --contract-kw 50 $opt -o "$dir/inf.json" \
        >/dev/null 2>"$dir/err.txt"
    [[ $? -eq 2 ]] && grep -qF -- "${opt% *} needs a physically possible value" "$dir/err.txt" ||
        fail "$opt: $(cat "$dir/err.txt")"
done
[[ ! -e $dir/inf.json ]] || fail "an infinite report was written"

echo keep >"$dir/old.json"
keep "$dir/old.json" "$dir/s.hh2"
r=("$bin" report "$dir/s.hh2")
o=(-o "$dir/old.json")
misuse "no limits option" "usage" "${r[@]}" "${o[@]}"
refuse "unknown set" "no-such" "${r[@]}" --limits no-such "${o[@]}"
refuse "no contract power" "契約電力" "${r[@]}" --limits jp-guideline-22kV "${o[@]}"
misuse "bad contract power" "--contract-kw" "${r[@]}" --limits jp-guideline-22kV \
    --contract-kw -5 "${o[@]}"
misuse "no such channel" "--channel" "${r[@]}" --limits jp-guideline-22kV --contract-kw 50 \
    --channel 3 "${o[@]}"
misuse "unknown output form" "OUT.pdf" "${r[@]}" --limits jp-env-ehv -o "$dir/old.txt"
refuse "no data" "指定期間にデータがありません" "${r[@]}" --limits jp-env-ehv \
    --start "19/06/01 00:00" --end "19/06/02 00:00" "${o[@]}"
refuse "output is the input" "" "${r[@]}" --limits jp-env-ehv -o "$dir/s.hh2"
ls "$dir" | grep -q 'json\.' && fail "a temporary file was left: $(ls "$dir")"
finish report
