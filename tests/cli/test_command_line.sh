#!/usr/bin/env bash
# The front door: help, version, exit codes (0 success, 1 failure, 2 usage error), one prefixed line
# on stderr for every refusal, no windows without a display, the README's table against the help.
source "$(dirname "$0")/lib.sh"
readme=$(cd "$(dirname "$0")/../.." && pwd)/README.md
cd "$dir" || exit 1
"$bin" synth -o a.hv2 --records 12 >/dev/null || fail "synth"

# expect CODE WHAT PART COMMAND...: COMMAND exits CODE with one stderr line holding PART.
expect() {
    local code=$1 what=$2 part=$3
    shift 3
    "$@" >out.txt 2>err.txt
    local got=$?
    [[ $got -eq $code ]] || fail "$what: exit $got, not $code ($(cat err.txt))"
    if [[ -n $part ]]; then
        [[ $(grep -c '' err.txt) -eq 1 ]] && grep -qF -- "$part" err.txt ||
            fail "$what: not one line holding \"$part\": $(cat err.txt)"
    fi
}

# Help and version: stdout, exit 0, every sub-command listed with its line.
for words in --help -h help; do
    expect 0 "$words" "" "$bin" $words
    for sub in info convert tables plot print synth spectrum report limits; do
        grep -qE "^  $sub +[a-z]" out.txt || fail "$words: no line for $sub"
    done
done
for sub in info convert tables plot print synth spectrum report limits; do
    expect 0 "$sub --help" "" "$bin" "$sub" --help
    [[ $(head -n 1 out.txt) == "usage: harmograph $sub"* ]] || fail "$sub --help: $(head -n 1 out.txt)"
    "$bin" help "$sub" | cmp -s - out.txt || fail "help $sub differs from $sub --help"
    # The README's table carries the same usage, "|" written "\|".
    usage=$(head -n 1 out.txt | sed 's/^usage: //; s/|/\\|/g')
    summary=$(grep -E "^  $sub +" <("$bin" --help) | sed -E "s/^  $sub +//")
    grep -qF -- "| \`$usage\` | $summary |" "$readme" || fail "README's row of $sub: $usage | $summary"
done
grep -qF -- "--jobs N" <("$bin" convert -h) || fail "convert -h: no --jobs"
expect 0 "--version" "" "$bin" --version
[[ $(cat out.txt) =~ ^harmograph\ [0-9]+\.[0-9]+ ]] || fail "version: $(cat out.txt)"

# Usage errors: exit 2, "harmograph SUB:" or "harmograph:" first.
expect 2 "unknown word" "harmograph: unknown command 'x' (harmograph --help lists them)" "$bin" x
expect 2 "mistyped" "unknown command 'conver'" "$bin" conver a.hv2
expect 2 "unknown option first" "unknown option '--bogus'" "$bin" --bogus
expect 2 "help of nothing" "unknown command 'nothing'" "$bin" help nothing
expect 2 "no file" "harmograph convert: usage: harmograph convert" "$bin" convert
expect 2 "unknown option" "harmograph info: unknown option --x" "$bin" info a.hv2 --x
expect 2 "records" "harmograph synth: --records needs a whole number" "$bin" synth -o b.hm1 --records 1x
expect 2 "jobs" "--jobs needs a whole number from 1" "$bin" convert a.hv2 --jobs 0
expect 2 "orders" "harmograph convert: --orders" "$bin" convert a.hv2 --orders 1,,3
expect 2 "item" "harmograph plot: --item" "$bin" plot a.hv2 --item 99 --group 1 -o p.png
expect 2 "channel" "harmograph tables: --channel" "$bin" tables a.hv2 --predict 10,8,6.6 --channel 7 -o t.json
expect 2 "items" "harmograph print: --items" "$bin" print a.hv2 --layout one --items 1x -o p.pdf
# A period text with a blank at its end or nothing after the date: a usage error, never an abort.
for sub in convert tables plot print synth; do
    extra=()
    case $sub in
        tables) extra=(-o t.json) ;; plot) extra=(--item 1 --group 1 -o p.png) ;;
        print) extra=(--layout one --items 1 -o p.pdf) ;; synth) extra=(-o s.hm1) ;;
    esac
    file=(a.hv2)
    [[ $sub == synth ]] && file=()
    expect 2 "$sub: blank after the date" "harmograph $sub: --start" \
        "$bin" "$sub" "${file[@]}" --start "19/05/29 " "${extra[@]}"
    expect 2 "$sub: no time" "is not \"yy/mm/dd hh:mm\"" \
        "$bin" "$sub" "${file[@]}" --start "19/05/29" "${extra[@]}"
done
[[ ! -e t.json && ! -e p.png && ! -e p.pdf && ! -e s.hm1 ]] || fail "a refused command wrote a file"

# Blanks around a period and its parts are taken away; plot reads orders as convert does.
expect 0 "period with blanks" "" "$bin" convert a.hv2 --start " 19/05/29  00:10 " --end "19/05/29 00:30 " -o p.csv
[[ $(wc -l <p.csv) -eq 4 ]] || fail "period with blanks: $(wc -l <p.csv) lines"
expect 0 "plot range of odd orders" "" "$bin" plot a.hv2 --item 1 --orders "2-10" -o r.png
grep -qF "4 curves" out.txt || fail "plot --orders 2-10: $(cat out.txt)"
expect 2 "plot all orders" "at most five" "$bin" plot a.hv2 --item 1 --orders all -o r.png

# Failures: exit 1.
expect 1 "missing recording" "harmograph info: " "$bin" info none.hm3
expect 1 "missing for tables" "harmograph tables: " "$bin" tables none.hm3 -o t.json

# No display: one line, exit 1, with and without a folder; never the windows.
nodisplay=(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM)
expect 1 "no display" "no display" "${nodisplay[@]}" "$bin"
expect 1 "no display, a folder" "no display" "${nodisplay[@]}" "$bin" "$dir"
expect 1 "no display, a recording" "no display" "${nodisplay[@]}" "$bin" a.hv2
finish command_line
