#!/usr/bin/env bash
# Installs a build of the kit into a scratch prefix, then builds and runs a user's program
# against it the way users do.
# Usage: run_consumer.sh cmake|pkg-config BUILD_DIR WORK_DIR [TOOLCHAIN_FILE [EMULATOR...]]
set -euo pipefail
mode=$1
build_dir=$2
work=$3
toolchain=${4:-}
shift $(($# < 4 ? $# : 4))
emulator=("$@")
here=$(cd "$(dirname "$0")" && pwd)

rm -rf "$work"
mkdir -p "$work"
prefix=$work/install
cmake --install "$build_dir" --prefix "$prefix" >/dev/null

case $mode in
    cmake)
        # VEXA_DIR rather than a prefix path: cross toolchains search packages in their sysroot only.
        package_dir=$(dirname "$(find "$prefix" -name VEXAConfig.cmake | head -n 1)")
        args=(-S "$here" -B "$work/build" -DVEXA_DIR="$package_dir" -DCMAKE_BUILD_TYPE=Release)
        [ -n "$toolchain" ] && args+=(-DCMAKE_TOOLCHAIN_FILE="$toolchain")
        cmake "${args[@]}" >"$work/configure.log" 2>&1 || { cat "$work/configure.log"; exit 1; }
        cmake --build "$work/build" >"$work/build.log" 2>&1 || { cat "$work/build.log"; exit 1; }
        program=$(find "$work/build" -maxdepth 1 -name 'vexa_consumer*' -type f | head -n 1)
        # A Windows program finds its DLLs beside it.
        [ -d "$prefix/bin" ] && cp "$prefix"/bin/*.dll "$work/build/" 2>/dev/null || true
        ;;
    pkg-config)
        export PKG_CONFIG_PATH=$(dirname "$(find "$prefix" -name vexa.pc | head -n 1)")
        program=$work/vexa_consumer
        # shellcheck disable=SC2046
        ${CXX:-c++} ${CXXFLAGS:-} -o "$program" "$here/consumer.cpp" $(pkg-config --cflags --libs vexa)
        export LD_LIBRARY_PATH=$(pkg-config --variable=libdir vexa)
        ;;
    *)
        echo "usage: run_consumer.sh cmake|pkg-config BUILD_DIR WORK_DIR [TOOLCHAIN [EMULATOR...]]" >&2
        exit 2
        ;;
esac
"${emulator[@]}" "$program"
