#!/usr/bin/env bash
# Builds the kit's release deliverables into dist/ and shows them at work.
set -uo pipefail
cd "$(dirname "$0")"
source scripts/common.sh

jobs=$(nproc)

# Configures and builds a preset without its tests, in a folder of its own so that the test
# builds stay as they are, and installs it into dist/NAME.
build_into_dist() {
    local preset=$1 name=$2 dir=build/dist-$1
    cmake --preset "$preset" -B "$dir" -DVEXA_BUILD_TESTS=OFF -DVEXA_BUILD_BENCHMARKS=OFF \
        >"$dir.configure.log" 2>&1 || { cat "$dir.configure.log"; return 1; }
    cmake --build "$dir" -j "$jobs" >"$dir.build.log" 2>&1 || { tail -n 60 "$dir.build.log"; return 1; }
    rm -rf "dist/$name" &&
        cmake --install "$dir" --prefix "$PWD/dist/$name" >/dev/null &&
        (cd "dist/$name" && find . -type f | sort | sed 's|^\./|    |')
}

show_linux_example() {
    build/dist-linux-release/examples/point_in_box
}

write_dist_readme() {
    cp scripts/dist-README.txt dist/README.txt && echo "    dist/README.txt"
}

mkdir -p build
run_stage "Packages" ensure_packages cmake make g++ g++-mingw-w64-i686-posix g++-arm-linux-gnueabi
run_stage "Linux x86-64 library into dist/linux" build_into_dist linux-release linux
run_stage "Example program" show_linux_example
run_stage "Windows i686 library and Install.exe into dist/windows" build_into_dist windows windows
run_stage "ARM soft-float library into dist/arm" build_into_dist arm arm
run_stage "Notes for kit maintainers" write_dist_readme
print_stage_summary
[ "$VEXA_FAILED_STAGES" -eq 0 ]
