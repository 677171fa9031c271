#!/usr/bin/env bash
# Builds the kit's release deliverables into dist/ and shows them at work.
set -uo pipefail
cd "$(dirname "$0")"
source scripts/common.sh

jobs=$(nproc)

build_linux() {
    cmake --preset linux-release -DVEXA_BUILD_TESTS=OFF >build/linux-release.configure.log 2>&1 &&
        cmake --build --preset linux-release -j "$jobs" >build/linux-release.build.log 2>&1 &&
        rm -rf dist/linux &&
        cmake --install build/linux-release --prefix "$PWD/dist/linux" >/dev/null
}

show_linux_example() {
    build/linux-release/examples/point_in_box
}

mkdir -p build
run_stage "Packages" ensure_packages cmake make g++
run_stage "Linux x86-64 library into dist/linux" build_linux
run_stage "Example program" show_linux_example
print_stage_summary
[ "$VEXA_FAILED_STAGES" -eq 0 ]
