#!/usr/bin/env bash
# Makes the example building of two floors and its report: building-level1.lks and
# building-level2.lks are demo.lks surveyed as a grid test walks it (a point at the centre of
# every cell and every critical area's cell) under an antenna system in the ceilings; the job
# building.json judges both, with their DAQ files, into building-report.pdf, which passes; the
# cover page goes to building-cover.png for the README.
# Usage: examples/make_building.sh [BUILD_DIR]   (default: the release build, made if missing)
# Needs pdftoppm (poppler-utils) for the PNG.
set -euo pipefail
cd "$(dirname "$0")"
# shellcheck source=release_tools.sh
. ./release_tools.sh "${1:-}"
for floor in 1 2; do
    "$build/examples/larkspur-demo-survey" demo.lks demo.nct "building-level$floor.lks" \
        --building "$floor"
done
"$build/tools/lks/lks" gridtest --job building.json -o building-report.pdf \
    --title "Grid test report: Larkspur Demo Offices"
pdftoppm -r 110 -f 1 -l 1 -singlefile -png building-report.pdf building-cover
