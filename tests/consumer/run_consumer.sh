#!/usr/bin/env bash
# Installs a build of the kit into a scratch prefix, then builds and runs a user's program
# against it the way users do. The readme modes instead run the README's own commands as written,
# with scratch folders in place of /opt/vexa and /opt/vexa-windows: natively from the kit's source
# tree, or, for the Windows commands, with a Windows build of the kit and its compiler, the
# program then run under the build's emulator (Wine). Every mode works in a folder named with a
# blank and a letter outside ASCII, as a user's may be, the README's paths quoted as a user would.
# Usage: run_consumer.sh cmake|pkg-config BUILD_DIR WORK_DIR [TOOLCHAIN_FILE [EMULATOR...]]
#        run_consumer.sh readme SOURCE_DIR WORK_DIR
#        run_consumer.sh readme-windows SOURCE_DIR WORK_DIR BUILD_DIR CXX EMULATOR...
set -euo pipefail
mode=$1
here=$(cd "$(dirname "$0")" && pwd)

# The Git address and the compiler that the README names; the tests put their own in place.
readme_repository=https://git.example.com/corvane/vexa-kit.git
readme_windows_compiler=i686-w64-mingw32-g++-posix

# Every fenced block of the README follows a marker that says what becomes of it:
#   <!-- readme-test file NAME [in FOLDER] -->  written to FOLDER/NAME (my_app by default)
#   <!-- readme-test run FOLDER -->             run in FOLDER by the native test
#   <!-- readme-test windows FOLDER -->         run in FOLDER by the Windows suites' test
#   <!-- readme-test skip: REASON -->           not run, for the reason given
# A block without a marker fails, so that no command of the README goes untested unnoticed.
# read_readme SOURCE_DIR KIND writes the files, and the blocks of KIND as scripts, into $work,
# in the README's order, after replacing each word of the substitutions array (FROM TO ...);
# the scripts are listed in the runs array as FOLDER:SCRIPT.
read_readme() {
    local source_dir=$1 kind=$2 marker= in_block=0 block= count=0 number=0 line i folder
    local -a words
    runs=()
    while IFS= read -r line; do
        number=$((number + 1))
        if [ "$in_block" -eq 1 ]; then
            if [ "$line" = '```' ]; then
                in_block=0
                count=$((count + 1))
                for ((i = 0; i < ${#substitutions[@]}; i += 2)); do
                    block=${block//"${substitutions[i]}"/"${substitutions[i + 1]}"}
                done
                read -r -a words <<<"$marker"
                if [ "${words[0]}" = file ]; then
                    folder=$work/${words[3]:-my_app}
                    mkdir -p "$folder"
                    printf '%s' "$block" >"$folder/${words[1]}"
                elif [ "${words[0]}" = "$kind" ]; then
                    printf '%s' "$block" >"$work/run-$count.sh"
                    runs+=("${words[1]}:$work/run-$count.sh")
                fi
                marker=
            else
                block+=$line$'\n'
            fi
        elif [[ $line == '```'* ]]; then
            case $marker in
                file\ ?* | run\ ?* | windows\ ?* | skip:\ ?*) ;;
                *)
                    echo "README.md:$number: a block without a readme-test marker (file, run," \
                        "windows, or skip: with the reason)" >&2
                    return 1
                    ;;
            esac
            in_block=1
            block=
        elif [[ $line =~ ^'<!-- readme-test '(.*)' -->'$ ]]; then
            marker=${BASH_REMATCH[1]}
        fi
    done <"$source_dir/README.md"
    if [ ${#runs[@]} -eq 0 ]; then
        echo "README.md has no block marked \"$kind\"" >&2
        return 1
    fi
}

# Runs the listed scripts in their folders, each by a shell of its own; its log is shown when it
# fails, else its last line.
run_blocks() {
    local run
    for run in "${runs[@]}"; do
        echo "--- in ${run%%:*}: $(tr '\n' ';' <"${run#*:}")"
        (cd "$work/${run%%:*}" && bash -e -o pipefail "${run#*:}") >"${run#*:}.log" 2>&1 ||
            { cat "${run#*:}.log"; return 1; }
        tail -n 1 "${run#*:}.log"
    done
}

# A Git repository of the kit's source as it stands, tagged with its version as releases are, so
# that FetchContent can fetch it without a network.
make_kit_repository() {
    local source_dir=$1 repository=$2 version
    version=$(sed -n 's/^#define VEXA_VERSION_\(MAJOR\|MINOR\|PATCH\) \([0-9]*\)$/\2/p' \
        "$source_dir/positioning/include/vexa/version.h" | paste -sd.)
    mkdir -p "$repository"
    tar -C "$source_dir" --exclude=./build --exclude=./dist --exclude=./out --exclude=./.git \
        -cf - . | tar -C "$repository" -xf -
    git -C "$repository" -c init.defaultBranch=main init -q
    git -C "$repository" add -A
    git -C "$repository" -c user.name=kit.readme -c user.email=kit.readme@localhost \
        -c commit.gpgsign=false commit -q -m "The kit's source"
    git -C "$repository" tag "v$version"
}

# Says what is wrong, and fails the check that calls it at its end.
problem() {
    echo "$*" >&2
    status=1
}

# Every option and cache variable of the kit's CMake files has its row in the README's table of
# options, and an option's row gives the default the option really has; every row of the kit's
# own names is one of them.
check_option_table() {
    local source_dir=$1 status=0 declarations declaration name default row cell
    # Declarations may span lines, so each file is read as one line.
    declarations=$(find "$source_dir" \( -path "$source_dir/build" -o -path "$source_dir/dist" \
        -o -path "$source_dir/out" \) -prune -o \( -name CMakeLists.txt -o -name '*.cmake' \) \
        -exec sh -c 'for file; do tr "\n" " " <"$file"; echo; done' declarations {} + |
        grep -oE 'option\( *VEXA_[A-Z0-9_]+ +"[^"]*" +[^ )]+ *\)|set\( *VEXA_[A-Z0-9_]+ +[^ )]+ +CACHE' |
        sed -E 's/^option\( *([A-Z0-9_]+) +"[^"]*" +([^ )]+).*/\1 \2/; s/^set\( *([A-Z0-9_]+) .*/\1 cache/')
    while read -r declaration; do
        [ -n "$declaration" ] || continue
        read -r name default <<<"$declaration"
        row=$(grep -E "^\| \`$name\` \|" "$source_dir/README.md") ||
            { problem "README.md: the table of options has no row for $name"; continue; }
        cell=$(cut -d '|' -f 3 <<<"$row")
        case $default in
            OFF | ON) [[ $cell == " \`$default\` " ]] ;;
            '${PROJECT_IS_TOP_LEVEL}') [[ $cell == *'`ON` as the top-level project'* ]] ;;
            *) true ;;
        esac || problem "README.md: the default of $name is $default, the table says:$cell"
    done <<<"$declarations"
    for name in $(sed -nE 's/^\| `(VEXA_[A-Z0-9_]+)` \|.*/\1/p' "$source_dir/README.md"); do
        grep -q "^$name " <<<"$declarations" ||
            problem "README.md: the table of options has a row for $name, which the kit no longer has"
    done
    return "$status"
}

# Each test preset has a workflow of its name, listed with tests in the README's table of presets.
check_workflows() {
    local source_dir=$1 status=0 name tests workflows
    tests=$(cd "$source_dir" && cmake --list-presets=test | sed -n 's/^  "\([^"]*\)".*/\1/p')
    workflows=$(cd "$source_dir" && cmake --list-presets=workflow | sed -n 's/^  "\([^"]*\)".*/\1/p')
    [ -n "$tests" ] || { echo "no test presets listed" >&2; return 1; }
    for name in $tests; do
        grep -qx "$name" <<<"$workflows" || problem "test preset $name has no workflow"
        grep -qE "^\| \`$name\` \|.*\| yes \|$" "$source_dir/README.md" ||
            problem "README.md: the table of presets does not list $name with tests"
    done
    return "$status"
}

readme() {
    local source_dir=$1 prefix=$work/install file option targets
    mkdir -p "$work/kit" "$work/subproject" "$work/device"
    # kit is a copy of the source tree made of links, so that its build folders stay apart from
    # the developer's.
    for file in "$source_dir"/*; do
        case ${file##*/} in build | dist | out) ;; *) ln -s "$file" "$work/kit/" ;; esac
    done
    ln -s "$work/kit" "$work/subproject/vexa"
    make_kit_repository "$source_dir" "$work/vexa-kit.git"
    substitutions=(/opt/vexa "\"$prefix\"" "$readme_repository" "\"file://$work/vexa-kit.git\""
        /opt/my-device "\"$work/device\"" '~/my_app' "\"$work/my_app\"")
    read_readme "$source_dir" run
    for file in subproject fetchcontent; do cp "$work/my_app/my_app.cpp" "$work/$file/"; done
    run_blocks
    # The exported target names the include folder once: as the base of its header set.
    targets=$(cat "$prefix"/lib*/cmake/VEXA/VEXATargets.cmake)
    { [ "$(grep -c '"${_IMPORT_PREFIX}/include"$' <<<"$targets")" -eq 1 ] &&
        grep -q '^ *BASE_DIRS "${_IMPORT_PREFIX}/include"$' <<<"$targets" &&
        ! grep -q INTERFACE_INCLUDE_DIRECTORIES <<<"$targets"; } ||
        { echo "the exported include path is not listed exactly once" >&2; return 1; }
    # pkg-config files end with a newline, as every line of a text file does.
    [ -z "$(tail -c 1 "$prefix"/lib*/pkgconfig/vexa.pc)" ] ||
        { echo "vexa.pc does not end with a newline" >&2; return 1; }
    # A parent project gets the library alone, fetched or copied.
    for option in VEXA_BUILD_TESTS VEXA_BUILD_EXAMPLES VEXA_BUILD_BENCHMARKS VEXA_BUILD_LAUNCHER; do
        for file in subproject/build fetchcontent/build; do
            grep -qx "$option:BOOL=OFF" "$work/$file/CMakeCache.txt" ||
                { echo "$option is not off in a parent project ($file)" >&2; return 1; }
        done
    done
    if [ -e "$work/subproject/build/vexa/launcher" ] || [ -e "$work/subproject/build-tests/vexa/launcher" ]; then
        echo "a parent project builds the launcher" >&2
        return 1
    fi
    check_option_table "$source_dir"
    check_workflows "$source_dir"
}

readme_windows() {
    local source_dir=$1 build_dir=$2 compiler=$3 prefix=$work/install-windows output
    shift 3
    cmake --install "$build_dir" --prefix "$prefix" >/dev/null
    substitutions=(/opt/vexa-windows "\"$prefix\"" "$readme_windows_compiler" "$compiler")
    read_readme "$source_dir" windows
    run_blocks
    # The program runs as a user runs it: from its folder, with VEXA.dll beside it and nothing else.
    output=$(cd "$work/my_app" && "$@" "$work/my_app/my_app.exe" 2>&1) ||
        { echo "my_app.exe failed (exit $?): $output" >&2; return 1; }
    echo "$output"
    [[ $output == *"station inside the plot: 1"* ]]
}

# A user's program built against the kit installed from BUILD_DIR, by CMake (with TOOLCHAIN, when
# given) or by pkg-config, then run under EMULATOR....
consumer() {
    local build_dir=$1 toolchain=${2:-} prefix=$work/install package_dir program args
    shift $(($# < 2 ? $# : 2))
    cmake --install "$build_dir" --prefix "$prefix" >/dev/null
    if [ "$mode" = cmake ]; then
        # VEXA_DIR rather than a prefix path: cross toolchains search packages in their sysroot only.
        package_dir=$(dirname "$(find "$prefix" -name VEXAConfig.cmake | head -n 1)")
        args=(-S "$here" -B "$work/build" -DVEXA_DIR="$package_dir" -DCMAKE_BUILD_TYPE=Release)
        [ -n "$toolchain" ] && args+=(-DCMAKE_TOOLCHAIN_FILE="$toolchain")
        cmake "${args[@]}" >"$work/configure.log" 2>&1 || { cat "$work/configure.log"; return 1; }
        cmake --build "$work/build" >"$work/build.log" 2>&1 || { cat "$work/build.log"; return 1; }
        program=$(find "$work/build" -maxdepth 1 -name 'vexa_consumer*' -type f | head -n 1)
        # A Windows program finds its DLLs beside it.
        [ -d "$prefix/bin" ] && cp "$prefix"/bin/*.dll "$work/build/" 2>/dev/null || true
    else
        PKG_CONFIG_PATH=$(dirname "$(find "$prefix" -name vexa.pc | head -n 1)")
        export PKG_CONFIG_PATH
        program=$work/vexa_consumer
        # pkgconf escapes the blanks and other letters of its paths for a shell to read them.
        eval "\"\${CXX:-c++}\" \${CXXFLAGS:-} -o \"\$program\" \"\$here/consumer.cpp\"" \
            "$(pkg-config --cflags --libs vexa)"
        eval "export LD_LIBRARY_PATH=$(pkg-config --variable=libdir vexa)"
    fi
    "$@" "$program"
}

if [[ ! $mode =~ ^(cmake|pkg-config|readme|readme-windows)$ ]]; then
    sed -n 's/^#\( Usage:\|       \) \(run_consumer.sh\)/usage: \2/p' "$0" >&2
    exit 2
fi
work="$3/Field Kit ü"
rm -rf "$3"
mkdir -p "$work"
case $mode in
    readme) readme "$2" ;;
    readme-windows) readme_windows "$2" "${@:4}" ;;
    *) consumer "$2" "${@:4}" ;;
esac
