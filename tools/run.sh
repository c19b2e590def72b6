#!/usr/bin/env bash
# make run: writes one sample recording of each kind into samples/, shows what each holds, and
# starts the windows on that folder (headless where no display exists).
set -euo pipefail
bin=$1
mkdir -p samples
for name in site.ha3 site.ha4 site.ha5 site.ha6 feeder.hm3 feeder.Rhm2 bus.hv2 bus.hh2 bus.hn2 bus.hn1; do
    [[ -f samples/$name ]] || "$bin" synth -o "samples/$name" --records 288 --interval 10 --start "19/05/29 00:00"
done
[[ -f samples/short.hn2 ]] || "$bin" synth -o samples/short.hn2 --records 144 --interval 10 --short
for f in samples/*; do
    echo "== $f"
    "$bin" info "$f" || true
done
if [[ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]]; then
    exec "$bin" "$(pwd)/samples/site.ha3"
fi

# No display: show the same work headless, into out/ (git-ignored).
echo
echo "No display here, so the windows stay closed (xvfb-run -a make run opens them on a virtual"
echo "display). The same work without windows, into out/:"
mkdir -p out
"$bin" plot samples/bus.hv2 --item 1 --group 1 --size 1000x630 -o out/bus-voltage-distortion.png
"$bin" plot samples/bus.hv2 --item 6 --group 1 --channel 0 --size 1000x630 -o out/bus-phase-difference.png
"$bin" print samples/bus.hv2 --layout set --items 1,3,6 -o out/bus-set.pdf && echo "out/bus-set.pdf: set print of three items"
"$bin" convert samples/bus.hv2 -o out/bus.csv
"$bin" tables samples/site.ha6 -o out/site-tables.json && echo "out/site-tables.json: analysis tables"
