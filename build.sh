#!/usr/bin/env bash
# Builds the kit's release deliverables into dist/ and shows them at work.
# Usage: ./build.sh [--no-demo]   --no-demo: dist/ alone, without the example run and the Wine demo
set -uo pipefail
cd "$(dirname "$0")"
source scripts/common.sh

demo=1
for argument in "$@"; do
    case $argument in
        --no-demo) demo=0 ;;
        *)
            echo "Usage: $0 [--no-demo]" >&2
            exit 2
            ;;
    esac
done

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

# Install.exe under Wine with the stub Application Manager of the end-to-end tests and a setup
# window: the test install.demo of a Windows test build, whose fixture runs the prefix's server,
# and the story it tells. The shipped 32-bit build where this machine runs 32-bit programs,
# otherwise the 64-bit one, built the same way.
show_launcher_demo() {
    local preset=windows64 build="64-bit Install.exe (x86-64) under 64-bit Wine"
    if can_execute_i386; then
        preset=windows
        build="32-bit Install.exe (i686, as shipped) under 32-bit Wine"
    else
        build+=", in place of the shipped 32-bit one ($VEXA_NO_I386_REASON)"
    fi
    local dir=build/$preset
    cmake --preset "$preset" >"$dir.demo-configure.log" 2>&1 ||
        { cat "$dir.demo-configure.log"; return 1; }
    cmake --build "$dir" -j "$jobs" --target Install stub_manager setup_window message_box_watcher \
        timed_start >"$dir.demo-build.log" 2>&1 || { tail -n 40 "$dir.demo-build.log"; return 1; }
    echo "The $build:"
    track_wine_build "$dir"
    xvfb-run -a ctest --test-dir "$dir" -R '^install\.demo$' --no-tests=error --output-on-failure \
        >"$dir.demo.log" 2>&1 || { tail -n 60 "$dir.demo.log"; return 1; }
    cat "$dir/demo/narrative.txt"
}

# The API reference from the Linux build, beside the guide, which links to it there (in the source
# tree and in the reference itself, whose front page it is, there is nothing to link to).
write_docs() {
    local dir=build/dist-linux-release
    cmake --build "$dir" --target docs >"$dir.docs.log" 2>&1 || { cat "$dir.docs.log"; return 1; }
    rm -rf dist/docs && mkdir -p dist/docs &&
        cp -r "$dir/docs/html" dist/docs/reference &&
        cp docs/point-in-envelope.svg dist/docs/ &&
        sed '1a\
\
Every member is described in the [API reference](reference/index.html).' docs/library.md \
            >dist/docs/library.md &&
        echo "    dist/docs/library.md, dist/docs/reference/index.html"
}

# Signs the Windows images in dist/ with the maintainer's certificate (see dist/README.txt).
sign_dist_images() {
    ensure_packages osslsigncode openssl &&
        scripts/sign-images.sh dist/windows/bin/Install.exe dist/windows/bin/VEXA.dll
}

# The maintainers' notes, with the kit's version as the Windows build has it.
write_dist_readme() {
    local version
    version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/dist-windows/CMakeCache.txt)
    [ -n "$version" ] || { echo "No project version in build/dist-windows/CMakeCache.txt"; return 1; }
    sed "s/@VEXA_VERSION@/$version/g" docs/dist-README.txt >dist/README.txt &&
        echo "    dist/README.txt (version $version)"
}

mkdir -p build
# Everything the README's commands use after ./build.sh: pkg-config and git (FetchContent) too.
run_stage "Packages" ensure_packages cmake make g++ pkg-config git g++-mingw-w64-i686-posix \
    g++-arm-linux-gnueabi doxygen
run_stage "Linux x86-64 library into dist/linux" build_into_dist linux-release linux
run_stage "Windows i686 library and Install.exe into dist/windows" build_into_dist windows windows
if [ -n "${VEXA_SIGN_PKCS12:-}${VEXA_SIGN_PASSWORD_FILE:-}" ]; then
    run_stage "Sign the Windows images in dist/windows" sign_dist_images
else
    skip_stage "Sign the Windows images in dist/windows" \
        "left unsigned: no VEXA_SIGN_PKCS12 and VEXA_SIGN_PASSWORD_FILE given"
fi
run_stage "ARM soft-float library into dist/arm" build_into_dist arm arm
run_stage "API reference and guide into dist/docs" write_docs
run_stage "Notes for kit maintainers" write_dist_readme
if [ "$demo" -eq 1 ]; then
    run_stage "Demo: the library's example program" show_linux_example
    run_stage "Probe: can this machine run 32-bit x86?" report_i386_execution
    run_stage "Packages (demo: Wine, Xvfb)" ensure_windows_packages
    run_stage "Demo: Install.exe under Wine" show_launcher_demo
fi
print_stage_summary
[ "$VEXA_FAILED_STAGES" -eq 0 ]
