#!/usr/bin/env bash
# Rebuilds the demo site: draws the floor plan and wraps it in a new, empty site file with lks.
# Usage: examples/make_demo.sh [PATH/TO/lks]   (default: the lks of the release build)
set -euo pipefail
cd "$(dirname "$0")"
lks=${1:-../build/release/tools/lks/lks}
python3 draw_floorplan.py floorplan.png
"$lks" make floorplan.png -o demo.lks --force
