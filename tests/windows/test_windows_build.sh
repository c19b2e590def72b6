#!/usr/bin/env bash
# The Windows build under Wine against the Linux build: a folder and file names with Japanese
# characters and blanks, written with "\" as well as "/"; every kind converted byte for byte as on
# Linux, with each option; the tables the same; a batch on two threads the same; earlier files
# that cannot be replaced (one of several read-only) left as they were; the drawing sub-commands
# pointing to the full build.
# $1 = harmograph.exe run through Wine (a wrapper), $2 = a scratch folder, $3 = the Linux harmograph.
source "$(dirname "$0")/../cli/lib.sh"
linux=$3
cd "$dir" || exit 1
site='計測/工場 A'
mkdir -p "$site" win lin
names=(a.ha3 b.ha4 c.ha5 d.ha6 e.hm3 f.hv2 g.hh2 h.hn2 i.hn1 '試験 j.Rhm2')
for name in "${names[@]}"; do
    options=(--records 40)
    [[ $name == i.hn1 ]] && options+=(--short)
    [[ $name == f.hv2 ]] && options+=(--gaps 3 --adversarial --start "19/05/29 00:00")
    "$bin" synth -o "$site/$name" "${options[@]}" >/dev/null || fail "synth $name"
    "$linux" synth -o "lin/$name" "${options[@]}" >/dev/null || fail "linux synth $name"
    cmp -s "$site/$name" "lin/$name" || fail "synth $name: not the Linux bytes"
done

# same WHAT FILE...: each file of the Windows run (win/) has the Linux run's bytes (lin/).
same() {
    local what=$1 f
    shift
    for f in "$@"; do cmp -s "win/$f" "lin/$f" || fail "$what: win/$f differs from lin/$f"; done
}

# Every kind with the defaults, the recording named with "\" separators; then each option.
for name in "${names[@]}"; do
    csv=${name%.*}.csv
    [[ $name == *.Rhm2 ]] && csv=${name%.*}.Rcsv
    out=$("$bin" convert "${site//\//\\}\\$name") || { fail "convert $name"; continue; }
    [[ $out == "${site//\//\\}\\$csv" ]] || fail "$name: printed \"$out\""
    mv "$site/$csv" "win/$csv" && "$linux" convert "lin/$name" >/dev/null || fail "linux $name"
    same "convert $name" "$csv"
done
opts=("--encoding utf-8" "--orders 1,3,5-9" "--split --combined" "--combined")
for i in "${!opts[@]}"; do
    for name in f.hv2 g.hh2 h.hn2; do
        [[ ${opts[i]} == --split* && $name == f.hv2 ]] && continue
        # shellcheck disable=SC2086 # the options are words
        "$bin" convert "$site/$name" ${opts[i]} -o "win/$i$name.csv" >/dev/null &&
            "$linux" convert "lin/$name" ${opts[i]} -o "lin/$i$name.csv" >/dev/null ||
            fail "convert $name ${opts[i]}"
    done
done
same "options" $(cd lin && ls [0-9]*.csv)

# The tables, with a period and the prediction.
for name in a.ha3 f.hv2 h.hn2 i.hn1 '試験 j.Rhm2'; do
    "$bin" tables "$site/$name" -o "win/$name.json" && "$linux" tables "lin/$name" -o "lin/$name.json" ||
        fail "tables $name"
    same "tables" "$name.json"
done
p=(--start "19/05/29 01:00" --end "19/05/29 03:00" --predict 10,8.0,6.6 --channel 1)
"$bin" tables "$site/f.hv2" "${p[@]}" -o win/p.json && "$linux" tables lin/f.hv2 "${p[@]}" -o lin/p.json ||
    fail "tables with prediction"
same "tables with prediction" p.json
"$bin" report "$site/f.hv2" --limits iec61000-2-2 -o win/r.csv >/dev/null &&
    "$linux" report lin/f.hv2 --limits iec61000-2-2 -o lin/r.csv >/dev/null || fail "report"
# The report's CSV as on Linux but for the lines naming where the files are and when it was made.
for f in win/r.csv lin/r.csv; do
    iconv -f CP932 -t UTF-8 "$f" | grep -vE '^(ファイル|限度値ファイル|発行日),' >"$f.txt" || fail "report $f"
done
same "report" r.csv.txt

# The folder at once on two threads: the files of the recordings one at a time.
"$bin" convert "$site" --jobs 2 --orders 1-9 -o "win/批 量" >/dev/null 2>err.txt || fail "batch: $(cat err.txt)"
"$linux" convert "$site" --jobs 1 --orders 1-9 -o "lin/批 量" >/dev/null 2>err.txt || fail "linux batch"
[[ $(ls "win/批 量" | wc -l) -eq ${#names[@]} ]] && diff -r "win/批 量" "lin/批 量" >/dev/null ||
    fail "batch: $(ls "win/批 量")"

# Earlier files that cannot be replaced (read-only): a message, every earlier file as it was
# (split outputs replaced before the read-only one are put back), nothing left beside them.
printf 'earlier\r\n' >"$site/kept.csv"
"$bin" convert "$site/g.hh2" --split --orders 1-3 -o "$site/split.csv" >/dev/null || fail "split"
chmod a-w "$site/kept.csv" "$site/splitI2.csv"
keep "$site/kept.csv" "$site"/split*.csv
refuse "a read-only earlier file" "出力ファイルを置き換えられません" "$bin" convert "$site/a.ha3" -o "$site/kept.csv"
refuse "a read-only earlier split file" "splitI2.csv" "$bin" convert "$site/g.hh2" --split -o "$site/split.csv"
refuse "a name Windows refuses" "" "$bin" convert "$site/a.ha3" -o "$site/a?.csv"
ls -A "$site" | grep -q '\.tmp' && fail "temporary files left: $(ls -A "$site")"

# What needs Qt says so.
a=$site/a.ha3
needs() { refuse "$1" "the full build of harmograph" "$bin" "$@"; }
needs plot "$a" --item 1 --group 1 -o x.png
needs print "$a" --layout one --items 1 -o x.pdf
needs spectrum "$a" --at "19/05/29 00:00" -o x.csv
needs report "$a" --limits iec61000-2-2 -o x.pdf
finish windows_build
