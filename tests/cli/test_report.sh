#!/usr/bin/env bash
# report judges a recording against a limit set by the set's own method and writes JSON, CSV (code
# page 932 or UTF-8) or the PDF sheet; limits lists the sets, with the user's folder adding and
# replacing sets, a bad file named on stderr and a broken replacement refusing its set; bad input
# fails with a message and leaves files as they were.
source "$(dirname "$0")/lib.sh"
export XDG_CONFIG_HOME=$dir/config
user=$XDG_CONFIG_HOME/harmograph/limits

"$bin" synth -o "$dir/s.hh2" --records 200 || fail "synth"

# JSON: method, basis, inputs, windows with coverage, rows, overall verdict, the set's file and
# hash, warnings. 200 records of 10 minutes are one window shorter than a week: 参考.
"$bin" report "$dir/s.hh2" --limits iec61000-2-2 --site "第一工場" -o "$dir/r.json" \
    >"$dir/table.txt" 2>"$dir/err.txt" || fail "report json"
python3 - "$dir/r.json" "$(sha256sum "$(dirname "$0")/../../limits/iec61000-2-2.json" | cut -c1-64)" \
    <<'PY' || fail "json content"
import json, sys
r = json.load(open(sys.argv[1]))
assert list(r) == ["file", "period", "limits", "limit_file", "method", "basis", "inputs", "windows",
                   "unmeasured", "overall", "warnings", "issued", "version"], list(r)
assert r["limits"] == "iec61000-2-2" and r["period"]["records"] == 200, r["period"]
assert r["period"]["start"] == "2019/05/29 00:00", r["period"]
assert r["limit_file"]["sha256"] == sys.argv[2], r["limit_file"]
assert r["method"]["window"] == "week" and r["method"]["thd_orders"] == [2, 40], r["method"]
assert r["basis"]["aggregation"] == "as_recorded_10min" and r["basis"]["record_minutes"] == 10
assert r["inputs"]["site"] == "第一工場"
[w] = r["windows"]
assert (w["expected"], w["present"], w["flagged"], w["used"], w["coverage"]) == (200, 200, 0, 200, 100)
assert "7 日に満たない" in w["indicative"][0], w["indicative"]
assert len(w["rows"]) == 256, len(w["rows"])
total = w["rows"][0]
assert total["quantity"] == "voltage_total_distortion" and total["order"] == 0
assert total["limit"] == 8 and total["pass"] is True and total["channel"] is None
by_order = {row["order"]: row for row in w["rows"][1:]}
assert by_order[5]["limit"] == 6 and by_order[51]["limit"] is None and by_order[51]["pass"] is None
for row in w["rows"]:
    assert row["min"] <= row["p95"] <= row["p99"] <= row["max"], row
    assert len(row["max_time"]) == 16 and row["max_time"][4] == "/", row
    if row["pass"] is not None:
        assert (row["margin"] >= 0) == row["pass"], row
assert r["overall"]["verdict"] == "indicative" and not r["overall"]["exceeded"], r["overall"]
assert any("電圧区分" in x for x in r["warnings"]), r["warnings"]
PY
grep -q "^総合判定：参考" "$dir/table.txt" && grep -q " 50次" "$dir/table.txt" || fail "printed table"
grep -q "警告: 限度値 iec61000-2-2 の電圧区分" "$dir/err.txt" || fail "warning on stderr"

# CSV in code page 932 with CR LF: a header block, then the table with units, 区分 in Japanese and
# four-digit years; the current per kW of channel 1 at the 6.6 kV guideline, a reference figure.
"$bin" report "$dir/s.hh2" --limits jp-guideline-6.6kV --contract-kw 2000 --measured-kv 6.6 \
    --channel 1 -o "$dir/r.csv" >/dev/null || fail "report csv"
iconv -f CP932 -t UTF-8 "$dir/r.csv" >"$dir/r.utf8.csv" || fail "csv is not code page 932"
head -1 "$dir/r.utf8.csv" | grep -q $'^項目,内容\r$' || fail "csv header block"
grep -q $'^総合判定,参考' "$dir/r.utf8.csv" || fail "csv overall verdict"
grep -q $'^SHA-256,[0-9a-f]\\{64\\}\r$' "$dir/r.utf8.csv" || fail "csv hash"
grep -q '^窓,区分,次数,チャンネル,条件,値の数,最大値(mA/kW),最大の時刻,.*,判定'$'\r$' \
    "$dir/r.utf8.csv" || fail "csv table heading"
grep -q '^1,流出電流 (契約電力 1 kW あたり),5,2ch,[^,]*,200,[^,]*,2019/05/[0-9][0-9] [0-9:]*,.*,3.5,' \
    "$dir/r.utf8.csv" || fail "csv 5th order row"
grep -q 'e-0[0-9]' "$dir/r.utf8.csv" && fail "a raw exponent in the csv"
"$bin" report "$dir/s.hh2" --limits jp-env-6.6kV --encoding utf-8 -o "$dir/u8.csv" >/dev/null ||
    fail "utf-8 csv"
head -c 3 "$dir/u8.csv" | cmp -s - <(printf '\xef\xbb\xbf') || fail "utf-8 csv without its mark"

# PDF: A4 pages numbered "1/N" holding the sheet's texts, the particulars from a metadata file.
echo '{"site": "北工場", "instrument": "HA-1", "serial": "S123", "vt_ratio": "6600/110"}' \
    >"$dir/meta.json"
"$bin" report "$dir/s.hh2" --limits jp-env-6.6kV --start "19/05/29 06:00" \
    --end "19/05/29 12:00" --meta "$dir/meta.json" --serial S999 -o "$dir/r.pdf" >/dev/null ||
    fail "report pdf"
pdfinfo "$dir/r.pdf" | grep -q 'Page size: .*(A4)' || fail "pdf size"
pages=$(pdfinfo "$dir/r.pdf" | sed -n 's/^Pages: *//p')
text=$(pdftotext "$dir/r.pdf" - 2>/dev/null)
for t in 高調波適合判定 jp-env-6.6kV "2019/05/29 06:00" 総合 適合 北工場 S999 "VT 比：6600/110" \
    "本プログラムの選択" SHA-256 作成 承認 "1/$pages"; do
    grep -qF "$t" <<<"$text" || fail "pdf text $t"
done

# A week of 1-minute records with gaps: aggregated to 10-minute values, judged per 7-day window,
# the 3-second condition said to be beyond the recording; odd orders only, so the even orders
# are not measured and the verdict is 参考.
"$bin" synth -o "$dir/m.hv2" --records 10080 --interval 1 --gaps 50 >/dev/null || fail "synth"
"$bin" report "$dir/m.hv2" --limits ieee519-1to69kV -o "$dir/m.json" >"$dir/m.txt" ||
    fail "week report"
python3 - "$dir/m.json" <<'PY' || fail "week json"
import json, sys
r = json.load(open(sys.argv[1]))
assert r["basis"]["aggregation"] == "rms_10min" and r["basis"]["record_minutes"] == 1
w = r["windows"]
assert len(w) == 2 and w[0]["expected"] == 1008 and not w[0]["indicative"], w[0]
assert w[1]["indicative"], w[1]
assert r["method"]["conditions"][1]["reason"].startswith("レコードは 1 分値"), r["method"]
assert r["unmeasured"][:3] == [2, 4, 6] and r["overall"]["verdict"] == "indicative", r["overall"]
assert any(row["verdict"] == "未測定" for row in w[0]["rows"])
PY

# The current of demand: I_L and I_SC choose the band; without them the report is refused.
"$bin" report "$dir/m.hv2" --limits ieee519-current --il-a 200 --isc-ka 8 -o "$dir/c.json" \
    >/dev/null || fail "current of demand"
grep -q '"isc_il": 40' "$dir/c.json" || fail "the ratio"

# Plausibility: 22 kV assumed on a 6.6 kV recording is said on stderr.
"$bin" report "$dir/s.hh2" --limits jp-guideline-22kV --contract-kw 2000 -o "$dir/g.json" \
    >/dev/null 2>"$dir/err.txt" || fail "guideline"
grep -q "警告: 記録された基本波電圧 6.59 kV と測定点の電圧 22 kV（限度値の受電電圧を仮定）" \
    "$dir/err.txt" || fail "voltage warning: $(cat "$dir/err.txt")"

# limits: the eleven shipped sets; the user's folder replaces one, adds one, and a bad file is named.
[[ $("$bin" limits | wc -l) -eq 11 ]] || fail "limits lists eleven sets"
mkdir -p "$user"
sed 's/"total": 5/"total": 4/' "$(dirname "$0")/../../limits/jp-env-6.6kV.json" >"$user/env.json"
sed 's/"name": "jp-env-ehv"/"name": "site-ehv"/' "$(dirname "$0")/../../limits/jp-env-ehv.json" \
    >"$user/site.json"
echo '{"name": "x", "quantity": 1}' >"$user/bad.json"
"$bin" limits >"$dir/list.txt" 2>"$dir/err.txt" || fail "limits with a bad user file"
[[ $(wc -l <"$dir/list.txt") -eq 12 ]] || fail "user set added: $(cat "$dir/list.txt")"
grep -q "^jp-env-6.6kV.*$user/env.json$" "$dir/list.txt" || fail "user set replaces"
grep -q "bad.json" "$dir/err.txt" && grep -q '"title"' "$dir/err.txt" || fail "bad file named"
"$bin" report "$dir/s.hh2" --limits jp-env-6.6kV -o "$dir/u.json" >/dev/null 2>&1 || fail "user set"
grep -q '"limit": 4' "$dir/u.json" && grep -qF "$user/env.json" "$dir/u.json" ||
    fail "the user's set is used and named"
rm "$user/bad.json"

# A user file replacing a shipped set that cannot be read: every report of that set fails.
echo '{"name": "jp-env-ehv", "total": 3}' >"$user/ehv.json"
"$bin" report "$dir/s.hh2" --limits jp-env-ehv -o "$dir/e.json" >/dev/null 2>"$dir/err.txt"
[[ $? -eq 1 ]] && grep -q "jp-env-ehv のファイルを読めないため判定しません" "$dir/err.txt" ||
    fail "a broken replacement: $(cat "$dir/err.txt")"
[[ ! -e $dir/e.json ]] || fail "a report with the shipped limits was written"
rm "$user/ehv.json"

# Nothing in the user's folder stops a report of another set: a FIFO, a link to an endless device,
# a limit beyond reason and a name with a bell and a newline are each one line with the command
# word and the control characters escaped.
mkfifo "$user/fifo.json" && ln -s /dev/zero "$user/zero.json" || fail "fifo"
sed 's/"total": 5/"total": 1e308/' "$(dirname "$0")/../../limits/jp-env-6.6kV.json" >"$user/huge.json"
echo '{' >"$user/"$'bell\a\nname.json'
timeout 60 "$bin" report "$dir/s.hh2" --limits iec61000-2-2 -o "$dir/v.json" >/dev/null \
    2>"$dir/err.txt" || fail "a report past a bad user folder: $(cat "$dir/err.txt")"
grep -v ': 警告: ' "$dir/err.txt" >"$dir/problems.txt"
[[ $(grep -c '^harmograph report: 限度値ファイル .*json: ' "$dir/problems.txt") -eq 4 ]] &&
    [[ $(wc -l <"$dir/problems.txt") -eq 4 ]] && grep -qF 'bell\x07\nname.json' "$dir/err.txt" ||
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
refuse "no demand current" "I_L" "${r[@]}" --limits ieee519-current "${o[@]}"
misuse "a broken metadata file" "記録の情報ファイル" "${r[@]}" --limits jp-env-ehv --meta "$dir/s.hh2" \
    "${o[@]}"
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
