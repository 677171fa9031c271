#!/usr/bin/env bash
# Prepares this machine for the kit: installs the Debian packages of each GROUP that are missing,
# and for the Windows group the i386 architecture and 32-bit Wine where 32-bit x86 programs run.
# Usage: scripts/setup.sh GROUP...   GROUP: kit, test, windows, coverage, vm, guest
#   vm: what makes and boots the virtual machine of scripts/i386-vm.sh; guest: what that machine
#   holds, installed inside it (32-bit Wine whatever the host can run, and the tools that the
#   windows preset's tests call)
set -uo pipefail

declare -A groups=(
    [kit]="cmake make g++ pkg-config git g++-mingw-w64-i686-posix g++-arm-linux-gnueabi doxygen
        osslsigncode openssl"
    [test]="libgtest-dev googletest libbenchmark-dev libboost-dev libgeos++-dev libeigen3-dev clang
        libclang-rt-14-dev clang-tidy valgrind python3-z3 qemu-user ccache"
    [windows]="g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix wine wine64 xvfb xauth
        googletest osslsigncode openssl python3"
    [coverage]="gcovr"
    [vm]="debootstrap qemu-system-x86 e2fsprogs"
    [guest]="linux-image-amd64 iproute2 procps wine wine64 wine32:i386 xvfb xauth cmake make
        g++-mingw-w64-i686-posix clang python3 osslsigncode openssl")
wanted=()
for group in "$@"; do
    [ -n "${groups[$group]:-}" ] ||
        { echo "Usage: $0 kit|test|windows|coverage|vm|guest..." >&2; exit 2; }
    read -r -d "" -a list <<<"${groups[$group]}"; wanted+=("${list[@]}")
done

# A static i386 program that only exits with 0: a kernel without 32-bit emulation refuses it, and
# then 32-bit Wine cannot run either, so neither it nor the i386 architecture is installed.
if [[ " $* " == *" windows "* ]]; then
    probe=$(mktemp -d)
    printf '.globl _start\n_start:\n movl $1, %%eax\n xorl %%ebx, %%ebx\n int $0x80\n' >"$probe/p.s"
    if as --32 -o "$probe/p.o" "$probe/p.s" && ld -m elf_i386 -o "$probe/p" "$probe/p.o" &&
        "$probe/p" 2>/dev/null; then wanted+=(wine32:i386); else
        echo "No 32-bit x86 execution here: 32-bit Wine is left out."
    fi
    rm -rf "$probe"
fi

missing=()
for package in "${wanted[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'ok installed' ||
        missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0
[ "$(id -u)" -eq 0 ] || { echo "As root: apt-get install ${missing[*]}" >&2 && exit 1; }
echo "Installing ${missing[*]}"
[[ " ${missing[*]} " != *":i386 "* ]] || dpkg --add-architecture i386
# A mirror in the middle of a sync fails an index while apt-get update still exits 0.
for attempt in 1 2 3; do
    ! apt-get -o DPkg::Lock::Timeout=600 -q update 2>&1 | grep -E '^E:|^W:.*Failed|^Err:' && break
    [ "$attempt" -lt 3 ] && sleep 30
done
log=$(mktemp)
install=(env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 -q install -y
    --no-install-recommends)
"${install[@]}" "${missing[@]}" >"$log" 2>&1 && exit 0
# A library that both architectures install must carry one version on both; when one
# architecture's index lags, apt-get will not choose by itself. Each such library of wine32 is
# named at the newest version that both architectures offer.
if [[ " ${missing[*]} " == *" wine32:i386 "* ]]; then
    pins=()
    for library in libgstreamer-plugins-base1.0-0 libgstreamer1.0-0; do
        version=$(comm -12 <(apt-cache madison "$library:i386" | awk '{print $3}' | sort -u) \
            <(apt-cache madison "$library:$(dpkg --print-architecture)" | awk '{print $3}' |
                sort -u) | sort -V | tail -n 1)
        [ -n "$version" ] && pins+=("$library:i386=$version" "$library=$version")
    done
    echo "Trying again with ${pins[*]}"
    "${install[@]}" "${missing[@]}" wine wine64 "${pins[@]}" >"$log" 2>&1 && exit 0
fi
tail -n 20 "$log"
exit 1
