#!/usr/bin/env bash
# Rebuilds the surveyed demo and its heatmap: demo-surveyed.lks is demo.lks with 39 scans of the
# channels of demo.nct, taken through the program's survey store from the simulated board's
# readings; demo-heatmap.png is its coverage map from lks heatmap.
# Usage: examples/make_demo_survey.sh [BUILD_DIR]   (default: the release build, made if missing)
set -euo pipefail
cd "$(dirname "$0")"
# shellcheck source=release_tools.sh
. ./release_tools.sh "${1:-}"
"$build/examples/larkspur-demo-survey" demo.lks demo.nct demo-surveyed.lks
"$build/tools/lks/lks" heatmap demo-surveyed.lks -o demo-heatmap.png --channel 666 --scale 4/ft --contour -95
