#!/bin/sh
# The instructor station's figures: how soon a change in the simulator reaches an open page
# (headless Chromium), and the simulator's processor time with two pages connected while the
# diver breathes.   bench/station_bench.sh [PROGRAM_DIR]   (default build/bin)
set -eu
bin=$(cd "${1:-build/bin}" && pwd)
here=$(cd "$(dirname "$0")/.." && pwd)
export QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy
exec /usr/bin/python3 "$here/tests/station/browser_test.py" "$bin/pelasim_station_probe" --bench
