#!/usr/bin/env bash
# Many recordings at once: each converted exactly as alone, a failure listed without losing the
# others, a folder taken as its file list shows it; info of several files; the progress bar.
source "$(dirname "$0")/lib.sh"
cd "$dir" || exit 1
mkdir site
for name in a.hm3 b.hv2 e.Rhn2; do
    "$bin" synth -o "site/$name" --records 30 >/dev/null || fail "synth $name"
done
head -c 100 site/a.hm3 >site/c.hm1 # shorter than one record
echo notes >site/notes.txt
cp site/a.hm3 site/.hidden.hm3
mkdir site/sub.hm3

# Alone, one after another: the reference bytes.
mkdir alone
for name in a.hm3 b.hv2 e.Rhn2; do
    "$bin" convert "site/$name" --orders 1-9 -o "alone/${name%.*}.csv" >/dev/null || fail "alone $name"
done

# Three recordings, one broken: two files, exit 1, the broken one named in the last line.
"$bin" convert site/a.hm3 site/c.hm1 site/b.hv2 --orders 1-9 -o out >stdout.txt 2>stderr.txt
[[ $? -eq 1 ]] || fail "a broken recording: exit $?"
[[ $(ls out) == $'a.csv\nb.csv' ]] || fail "files written: $(ls out)"
[[ $(sort stdout.txt) == $'out/a.csv\nout/b.csv' ]] || fail "stdout: $(cat stdout.txt)"
tail -n 1 stderr.txt | grep -qF "1 of 3 recordings not converted: site/c.hm1" ||
    fail "summary: $(tail -n 1 stderr.txt)"
[[ $(grep -c '^harmograph convert: \[[1-3]/3\] ' stderr.txt) -eq 3 ]] || fail "progress lines: $(cat stderr.txt)"
grep -q '^harmograph convert: \[./3\] site/c.hm1: ' stderr.txt || fail "no line for c.hm1"
for name in a b; do cmp -s "alone/$name.csv" "out/$name.csv" || fail "out/$name.csv differs from alone"; done

# A folder: the recordings its file list shows (not the hidden file, the folder or the notes), on
# one thread and on the default; the same bytes either way.
for jobs in 1 default; do
    opt=(--jobs "$jobs")
    [[ $jobs == default ]] && opt=()
    "$bin" convert site --orders 1-9 "${opt[@]}" -o "folder$jobs" >/dev/null 2>stderr.txt
    [[ $? -eq 1 ]] || fail "folder, jobs $jobs: exit code"
    [[ $(ls -A "folder$jobs") == $'a.csv\nb.csv\ne.Rcsv' ]] || fail "folder, jobs $jobs: $(ls -A "folder$jobs")"
    for pair in a.csv:a.csv b.csv:b.csv e.csv:e.Rcsv; do
        cmp -s "alone/${pair%:*}" "folder$jobs/${pair#*:}" || fail "folder$jobs/${pair#*:} differs"
    done
    grep -qF "site/c.hm1" <(tail -n 1 stderr.txt) || fail "folder: c.hm1 not named"
done

# Recordings that would write one file are both refused before anything is written: the same
# name from two kinds, split outputs of two kinds, one folder reached through a link. Split stems
# keep every dot but the extension's, so site.1 and site.2 write their own files.
mkdir same && cp site/a.hm3 same/x.hm3 && cp site/b.hv2 same/x.hv2
"$bin" convert same -o same_out >/dev/null 2>stderr.txt
[[ $? -eq 1 ]] || fail "same names: exit code"
[[ ! -e same_out ]] || fail "same names: files or folder left: $(ls same_out)"
[[ $(grep -c "would write same_out/x.csv as same/x.h.*; neither is converted" stderr.txt) -eq 2 ]] ||
    fail "same names: both not named: $(cat stderr.txt)"
mkdir dots
for name in site.1.hh2 site.2.hh2 x.hh1 x.hn1; do
    "$bin" synth -o "dots/$name" --records 4 >/dev/null || fail "synth $name"
done
"$bin" convert dots/site.1.hh2 dots/site.2.hh2 --split -o split >/dev/null 2>stderr.txt ||
    fail "dotted split: $(cat stderr.txt)"
[[ -f split/site.1V.csv && -f split/site.2V.csv && ! -e split/siteV.csv ]] || fail "dotted split: $(ls split)"
"$bin" convert dots/x.hh1 dots/x.hn1 --split -o split2 >/dev/null 2>stderr.txt && fail "split clash: exit 0"
grep -qF "would write split2/xV.csv" stderr.txt && [[ ! -e split2 ]] || fail "split clash: $(cat stderr.txt)"
mkdir pair && cp site/a.hm3 site/b.hv2 pair/ && ln -s pair pairlink
"$bin" convert pair pairlink >/dev/null 2>stderr.txt && fail "a folder twice: exit 0"
[[ $(grep -c "(the same file as pair/[ab].csv) as " stderr.txt) -eq 4 ]] || fail "a folder twice: $(cat stderr.txt)"
[[ $(ls pair) == $'a.hm3\nb.hv2' ]] || fail "a folder twice: written $(ls pair)"

# Without -o the files go beside the recordings; -o naming a file is a usage error.
mkdir beside && cp site/a.hm3 site/b.hv2 beside/
"$bin" convert beside/a.hm3 beside/b.hv2 >/dev/null 2>&1 || fail "beside"
[[ -f beside/a.csv && -f beside/b.csv ]] || fail "beside: $(ls beside)"
echo keep >kept.csv
keep kept.csv
"$bin" convert site/a.hm3 site/b.hv2 -o kept.csv >/dev/null 2>stderr.txt
[[ $? -eq 2 ]] && grep -qF "is not a folder" stderr.txt || fail "-o a file: $(cat stderr.txt)"
refuse "a folder without recordings" "no recording in the folder" "$bin" convert alone -o x
refuse "a folder that cannot be made" "(ファイルまたはフォルダーがありません)" "$bin" convert site \
    -o missing/deeper
refuse "a bad list before any work" "--orders" "$bin" convert site --orders 1-x -o never
[[ ! -e never ]] || fail "a refused batch made its folder"

# info of several files: a block each, the unreadable one reported, exit 1.
"$bin" info site/a.hm3 site/c.hm1 site/b.hv2 >stdout.txt 2>stderr.txt && fail "info: exit 0"
[[ $(grep -c '^file: ' stdout.txt) -eq 3 && $(grep -c '^kind: ' stdout.txt) -eq 2 ]] ||
    fail "info blocks: $(cat stdout.txt)"
grep -qF "harmograph info: " stderr.txt || fail "info: $(cat stderr.txt)"

# The progress bar: on a terminal for a long period, nowhere otherwise.
"$bin" synth -o long.hv2 --records 2000 >/dev/null || fail "synth long"
# (Under Wine, HARMO_WINE set, the terminal shows Wine's redrawing of a console: not read there.)
if [[ -z ${HARMO_WINE:-} ]]; then
    script -qec "'$bin' convert long.hv2 -o long.csv" /dev/null >tty.txt || fail "convert on a terminal"
    grep -qF "] 100%" tty.txt || fail "no bar on a terminal: $(head -c 300 tty.txt)"
    script -qec "'$bin' tables long.hv2 -o long.json" /dev/null >tty.txt || fail "tables on a terminal"
    grep -qF "harmograph tables: [" tty.txt || fail "no bar for tables: $(head -c 300 tty.txt)"
fi
"$bin" convert long.hv2 -o long.csv >/dev/null 2>stderr.txt || fail "convert long"
[[ ! -s stderr.txt ]] || fail "a bar without a terminal: $(cat stderr.txt)"
finish batch
