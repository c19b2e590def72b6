#!/usr/bin/env bash
# Runs the recording fuzzer: tools/fuzz.sh HARMOGRAPH FUZZ_BUILD SECONDS.
# The seeds are recordings of every kind the fuzzer knows, written by the sample generator, each
# behind the byte that names its kind (the fuzzer's list: ha3 ha4 ha5 ha6 hm1 hm3 hv1 hv2 hh1 hh2
# hn1 hn2 Rhm2 Shv1 Thn1 hn3). A finding fails the run; its input stays in FUZZ_BUILD/findings/.
set -euo pipefail
bin=$1
build=$2
seconds=$3
kinds=(ha3 ha4 ha5 ha6 hm1 hm3 hv1 hv2 hh1 hh2 hn1 hn2 Rhm2 Shv1 Thn1 hn3)
seeds=$build/seeds
mkdir -p "$seeds" "$build/corpus" "$build/findings" "$build/tmp"
for i in "${!kinds[@]}"; do
    kind=${kinds[$i]}
    for variant in plain gaps adversarial; do
        seed=$seeds/$kind-$variant
        [[ -s $seed ]] && continue
        extra=()
        case $variant in
            gaps) extra=(--records 12 --gaps 3) ;;
            adversarial) extra=(--records 6 --adversarial) ;;
            *) extra=(--records 5) ;;
        esac
        [[ $kind == hn1 && $variant == plain ]] && extra+=(--short)
        "$bin" synth -o "$build/tmp/s.$kind" --seed "$i" "${extra[@]}" >/dev/null
        { printf "\\$(printf '%03o' "$i")"; cat "$build/tmp/s.$kind"; } >"$seed"
    done
done
rm -f "$build"/tmp/s.*
echo "fuzz: ${seconds} s over $(ls "$seeds" | wc -l) seeds and $(ls "$build/corpus" | wc -l) corpus inputs"
TMPDIR=$build/tmp "$build/fuzz_recording" -max_total_time="$seconds" -max_len=65536 -timeout=20 \
    -rss_limit_mb=2048 -print_final_stats=0 -artifact_prefix="$build/findings/" \
    "$build/corpus" "$seeds" 2>"$build/fuzz.log" || {
    tail -n 40 "$build/fuzz.log" >&2
    echo "fuzz: a finding, input kept in $build/findings/" >&2
    exit 1
}
tail -n 1 "$build/fuzz.log"
