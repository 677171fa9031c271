#!/usr/bin/env bash
# Installs a build of the kit into a scratch prefix, then builds and runs a user's program
# against it the way users do. The readme mode instead runs the README's own commands as written,
# from the kit's source tree, with the scratch prefix in place of /opt/vexa.
# Usage: run_consumer.sh cmake|pkg-config BUILD_DIR WORK_DIR [TOOLCHAIN_FILE [EMULATOR...]]
#        run_consumer.sh readme SOURCE_DIR WORK_DIR
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

# Each fenced block that follows a "<!-- readme-test file NAME [in FOLDER] -->" line is written to
# FOLDER/NAME (my_app by default); each one after "<!-- readme-test run FOLDER -->" is run there
# by a shell of its own, in the README's order. kit is a copy of the source tree made of links,
# so that its build folders stay apart from the developer's.
readme() {
    local source_dir=$1 marker= in_block=0 block= count=0 line file folder
    local runs=()
    mkdir -p "$work/kit" "$work/my_app" "$work/subproject"
    for file in "$source_dir"/*; do
        case ${file##*/} in build | dist | out) ;; *) ln -s "$file" "$work/kit/" ;; esac
    done
    ln -s "$work/kit" "$work/subproject/vexa"
    while IFS= read -r line; do
        if [ "$in_block" -eq 1 ]; then
            if [ "$line" = '```' ]; then
                in_block=0
                count=$((count + 1))
                read -r -a words <<<"$marker"
                if [ "${words[0]}" = file ]; then
                    folder=${words[3]:-my_app}
                    printf '%s' "$block" >"$work/$folder/${words[1]}"
                else
                    printf '%s' "${block//\/opt\/vexa/"$prefix"}" >"$work/run-$count.sh"
                    runs+=("${words[1]}:$work/run-$count.sh")
                fi
                marker=
            else
                block+=$line$'\n'
            fi
        elif [ -n "$marker" ] && [[ $line == '```'* ]]; then
            in_block=1
            block=
        elif [[ $line =~ ^'<!-- readme-test '(.*)' -->'$ ]]; then
            marker=${BASH_REMATCH[1]}
        fi
    done <"$source_dir/README.md"
    cp "$work/my_app/my_app.cpp" "$work/subproject/"
    # A marker lost from the README must not quietly shrink the test.
    if [ "$count" -ne 8 ]; then
        echo "expected 8 tested blocks in README.md, found $count" >&2
        return 1
    fi
    local run
    for run in "${runs[@]}"; do
        echo "--- in ${run%%:*}: $(tr '\n' ';' <"${run#*:}")"
        (cd "$work/${run%%:*}" && bash -e -o pipefail "${run#*:}") >"${run#*:}.log" 2>&1 ||
            { cat "${run#*:}.log"; return 1; }
        tail -n 1 "${run#*:}.log"
    done
    # The exported target names the include folder once.
    grep -q 'INTERFACE_INCLUDE_DIRECTORIES "${_IMPORT_PREFIX}/include"$' \
        "$prefix"/lib*/cmake/VEXA/VEXATargets.cmake ||
        { echo "the exported include path is not listed exactly once" >&2; return 1; }
    # A parent project gets the library alone.
    local option
    for option in VEXA_BUILD_TESTS VEXA_BUILD_EXAMPLES VEXA_BUILD_BENCHMARKS; do
        grep -qx "$option:BOOL=OFF" "$work/subproject/build/CMakeCache.txt" ||
            { echo "$option is not off in a parent project" >&2; return 1; }
    done
}

if [ "$mode" = readme ]; then
    readme "$build_dir"
    exit
fi

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
