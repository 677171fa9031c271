#!/usr/bin/env bash
# Builds the kit's release deliverables into dist/ and shows them at work.
set -uo pipefail
cd "$(dirname "$0")"
source scripts/common.sh

jobs=$(nproc)

# Configures and builds a preset without its tests and installs it into dist/NAME.
build_into_dist() {
    local preset=$1 name=$2
    cmake --preset "$preset" -DVEXA_BUILD_TESTS=OFF >"build/$preset.configure.log" 2>&1 ||
        { cat "build/$preset.configure.log"; return 1; }
    cmake --build --preset "$preset" -j "$jobs" >"build/$preset.build.log" 2>&1 ||
        { tail -n 60 "build/$preset.build.log"; return 1; }
    rm -rf "dist/$name" &&
        cmake --install "build/$preset" --prefix "$PWD/dist/$name" >/dev/null &&
        (cd "dist/$name" && find . -type f | sort | sed 's|^\./|    |')
}

show_linux_example() {
    build/linux-release/examples/point_in_box
}

mkdir -p build
run_stage "Packages" ensure_packages cmake make g++ g++-mingw-w64-i686-posix g++-arm-linux-gnueabi
run_stage "Linux x86-64 library into dist/linux" build_into_dist linux-release linux
run_stage "Example program" show_linux_example
run_stage "Windows i686 library and Install.exe into dist/windows" build_into_dist windows windows
run_stage "ARM soft-float library into dist/arm" build_into_dist arm arm
print_stage_summary
[ "$VEXA_FAILED_STAGES" -eq 0 ]
