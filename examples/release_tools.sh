# Sourced by the example scripts: builds the release tools they run, in $1 or build/release.
# Sets build to the build folder.
build=${1:-../build/release}
if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S .. -B "$build" -DCMAKE_BUILD_TYPE=Release -DLARKSPUR_BUILD_TESTS=OFF \
        -DLARKSPUR_BUILD_BENCH=OFF >/dev/null
fi
cmake --build "$build" -j "$(nproc)" --target larkspur-demo-survey lks
