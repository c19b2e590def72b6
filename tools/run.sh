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
else
    echo "No display: the windows need one (try: xvfb-run make run). The sub-commands work headless."
fi
