#!/usr/bin/env bash
# Packs the kit that ./build.sh installed into dist/ as a release's archives, beside it in dist/,
# and writes their SHA256SUMS. Each platform's archive unpacks into dist/'s own layout: README.txt,
# docs/ and the platform's folder; the debug archive's files land beside the images they belong to
# when unpacked in the same place. Usage: scripts/release-archives.sh (from the source folder)
# The same kit gives the same archives: CMake's tar writes the files in the order given, dates every
# entry SOURCE_DATE_EPOCH (the commit's time unless set) and writes zip's local times in UTC. The
# source archive is the checked-out commit's, by git archive.
set -uo pipefail

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/kit-linux/CMakeCache.txt)
[ -n "$version" ] ||
    { echo "No version in build/kit-linux/CMakeCache.txt: build the kits first" >&2 && exit 1; }
name=vexa-kit-$version
checkout=$(git rev-parse --show-toplevel 2>/dev/null)
[ "$checkout" = "$(pwd -P)" ] || checkout=
# git archive writes the commit's time here (export-subst), so a source archive's build has it too.
archived_commit_time='$Format:%ct$'
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
    SOURCE_DATE_EPOCH=946684800 # 2000-01-01, for a copy that is neither a checkout nor an archive
    [[ $archived_commit_time =~ ^[0-9]+$ ]] && SOURCE_DATE_EPOCH=$archived_commit_time
    [ -z "$checkout" ] || SOURCE_DATE_EPOCH=$(git log -1 --format=%ct)
fi
export SOURCE_DATE_EPOCH TZ=UTC0

# The archive dist/ARCHIVE (its format from its name) of the files under dist/FOLDER named by the
# paths that follow, every file below those that are folders.
pack() {
    local archive=$PWD/dist/$1 folder=dist/$2 format=gnutar compression=J files
    shift 2
    [[ $archive == *.zip ]] && format=zip compression=
    for path in "$@"; do
        [ -e "$folder/$path" ] || {
            echo "$(realpath -m --relative-to=. "$folder/$path") is missing: a kit failed" >&2
            return 1
        }
    done
    mapfile -d '' files < <(cd "$folder" && find "$@" -type f -print0 | LC_ALL=C sort -z)
    (cd "$folder" && cmake -E tar "c${compression}f" "$archive" --format="$format" -- "${files[@]}")
}

rm -f dist/vexa-kit-* dist/SHA256SUMS
pack "$name-windows-i686.zip" . README.txt docs windows &&
    pack "$name-linux-x86_64.tar.xz" . README.txt docs linux &&
    pack "$name-linux-arm-softfloat.tar.xz" . README.txt docs arm &&
    pack "$name-debug.tar.xz" debug linux windows arm || exit
if [ -z "$checkout" ]; then
    echo "Not a Git checkout of its own: no source archive."
else
    git archive --format=tar.gz --prefix="$name/" -o "dist/$name-source.tar.gz" HEAD || exit
    [ -z "$(git status --porcelain --untracked-files=no)" ] ||
        echo "The kits hold uncommitted changes: the source archive of" \
            "$(git rev-parse --short HEAD) lacks them."
fi
(cd dist && sha256sum "$name"-* >SHA256SUMS) && sed 's/^/    /' dist/SHA256SUMS
