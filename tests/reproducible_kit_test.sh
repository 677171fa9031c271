#!/usr/bin/env bash
# Builds the kit twice with ./build.sh --no-demo, one build after the other, in two copies of
# SOURCE_DIR under WORK_DIR whose paths differ in length (the second holds blanks), and compares
# every file of their dist/ folders, the archives and SHA256SUMS included. Names each file that
# differs. The builds run below the Wine tests of their suite, which mostly wait, and above the
# suites at the lowest priority.
# Usage: reproducible_kit_test.sh SOURCE_DIR WORK_DIR
set -uo pipefail
source=$1
work=$2
rm -rf "$work"
for build in "$work/one" "$work/the second one"; do
    mkdir -p "$build" &&
        tar -C "$source" --exclude=./build --exclude=./dist --exclude=./.git -cf - . |
        tar -C "$build" -xf - && nice -n 10 "$build/build.sh" --no-demo >"$build.log" 2>&1 &&
        (cd "$build/dist" && sha256sum --quiet -c SHA256SUMS >&2 &&
            find . -type f -print0 | LC_ALL=C sort -z | xargs -0 sha256sum) >"$build.sums" ||
        { tail -n 40 "$build.log" && echo "FAILED: the build in $build" && exit 1; }
done
differing=$(diff "$work/one.sums" "$work/the second one.sums" |
    sed -n 's/^[<>] [0-9a-f]*  \.\///p' | sort -u)
if [ -n "$differing" ]; then
    echo "FAILED: these files differ between the two builds:" && sed 's/^/    /' <<<"$differing"
    exit 1
fi
echo "$(wc -l <"$work/one.sums") files of dist/ the same in both builds, SHA256SUMS among them:"
sed 's/^/    /' "$work/one/dist/SHA256SUMS"
