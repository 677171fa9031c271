#!/usr/bin/env bash
# Builds the kit into dist/ (cmake --install of each kit's build) and shows it at work.
# Usage: ./build.sh [--no-demo]   --no-demo: dist/ alone, without the example run and the Wine demo
set -uo pipefail
cd "$(dirname "$0")"
source scripts/common.sh
[[ ${1:-} =~ ^(--no-demo)?$ ]] || { echo "Usage: $0 [--no-demo]" >&2 && exit 2; }
export CMAKE_BUILD_PARALLEL_LEVEL=${CMAKE_BUILD_PARALLEL_LEVEL:-$(nproc)}
mkdir -p build

# The kit's build KIT (linux, windows or arm), installed into dist/KIT with its debug information
# in dist/debug/KIT, and what they hold. A kit that failed leaves no older one behind in dist/.
kit() {
    rm -rf "dist/$1" "dist/debug/$1"
    cmake --workflow --preset "kit-$1" >"build/kit-$1.log" 2>&1 ||
        { tail -n 60 "build/kit-$1.log"; return 1; }
    cmake --install "build/kit-$1" --prefix "dist/$1" >/dev/null &&
        cmake --install "build/kit-$1" --prefix "dist/debug/$1" --component Debug >/dev/null &&
        (cd dist && find "$1" "debug/$1" -type f | sort | sed 's/^/    /')
}

# The reference and the guide, and the maintainers' notes, each a component of the kit's builds.
# The reference is built here again (in well under a second): Doxygen leaves pages behind when it
# fails, so the Linux kit's build having run is no proof that they are whole.
notes_and_docs() {
    rm -rf dist/docs dist/README.txt
    cmake --build build/kit-linux --target docs >build/kit-linux.docs.log 2>&1 ||
        { tail -n 20 build/kit-linux.docs.log; return 1; }
    cmake --install build/kit-linux --prefix dist --component Docs >/dev/null &&
        cmake --install build/kit-windows --prefix dist --component Notes >/dev/null &&
        head -n 1 dist/README.txt && echo "    dist/docs/library.md, dist/docs/reference/index.html"
}

# Install.exe under Wine with the stub Application Manager of the end-to-end tests and a setup
# window: the test install.demo, and the story it tells.
launcher_demo() {
    prepare_windows_build || return
    echo "The demo runs $windows_build_text."
    xvfb-run -a ctest --test-dir "$windows_build" -R '^install\.demo$' --no-tests=error \
        --output-on-failure >"$windows_build.demo.log" 2>&1 ||
        { tail -n 60 "$windows_build.demo.log"; return 1; }
    cat "$windows_build/demo/narrative.txt"
}

stage "Packages" scripts/setup.sh kit $([ -z "${1:-}" ] && echo windows)
stage "Linux x86-64 kit into dist/linux" kit linux
stage "Windows i686 kit into dist/windows" kit windows
stage "ARM soft-float kit into dist/arm" kit arm
stage "API reference, guide and maintainers' notes" notes_and_docs
if [ -n "${VEXA_SIGN_PKCS12:-}${VEXA_SIGN_PASSWORD_FILE:-}" ]; then
    stage "Sign the Windows images in dist/windows" \
        scripts/sign-images.sh dist/windows/bin/Install.exe dist/windows/bin/VEXA.dll
else
    echo "The Windows images stay unsigned: no VEXA_SIGN_PKCS12 and VEXA_SIGN_PASSWORD_FILE given."
fi
stage "Archives and their SHA256SUMS in dist/" scripts/release-archives.sh
if [ -z "${1:-}" ]; then
    stage "Demo: the library's example program" build/kit-linux/examples/point_in_box
    stage "Demo: Install.exe under Wine" launcher_demo
fi
print_stages
[ "$failed_stages" -eq 0 ]
