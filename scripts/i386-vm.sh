#!/usr/bin/env bash
# A Debian virtual machine that runs the shipped 32-bit Windows images where this machine's kernel
# cannot run 32-bit x86 programs: Debian's own kernel, which can, under qemu-system-x86_64, by
# software emulation (VEXA_VM_ACCEL=kvm asks for KVM instead).
# Usage: scripts/i386-vm.sh image                 makes the disk image with a ready win32 prefix,
#                                                 once per package list
#        scripts/i386-vm.sh ctest BUILD [ARG...]  boots it, runs `ctest ARG...` there in the
#                                                 source folder under Xvfb, with BUILD's Wine
#                                                 prefixes made from the ready one; exits with
#                                                 CTest's status
# The source folder, and BUILD where it lies outside, are shared with the machine at the same
# paths, so the build's own paths hold there. The image is kept in VEXA_VM_CACHE (by default
# ~/.cache/vexa-i386-vm), in a folder named by the hash of what goes into it; each run starts
# from it unchanged (qemu -snapshot).
set -euo pipefail
source=$(cd "$(dirname "$0")/.." && pwd)

die() {
    echo "i386-vm.sh: $*" >&2
    exit 1
}

# What the image holds: scripts/setup.sh installs the group `guest` inside it, with the pinning
# that a lagging i386 index needs. The win32 prefix is made by the Wine runner of the tests, which
# makes it anew at run time should it ever not take the baked one as ready.
recipe() {
    declare -f make_image bake_prefix
    sed -n '/\[guest\]=/,/")/p' "$source/scripts/setup.sh"
    guest_init
}
mirror=${VEXA_VM_MIRROR:-http://deb.debian.org/debian}
# The prefix of the tests, made once at image time: a fresh win32 prefix takes minutes under
# software emulation.
baked_prefix=/opt/vexa/wineprefix-win32
# Making a win32 prefix takes 5 to 7 minutes under emulation, more beside other work.
prefix_timeout=1800

# PID 1 of the machine: what programs expect mounted, then the job that the host shares in the
# folder tagged `control`, its status written back there, then power off.
guest_init() {
    cat <<'INIT'
#!/bin/sh
# The initial RAM disk has moved some of them here already.
mountpoint -q /proc || mount -t proc proc /proc
mountpoint -q /sys || mount -t sysfs sysfs /sys
mountpoint -q /dev || mount -t devtmpfs devtmpfs /dev
mkdir -p /dev/pts /dev/shm
mountpoint -q /dev/pts || mount -t devpts devpts /dev/pts
for folder in /dev/shm /run /tmp; do mount -t tmpfs tmpfs "$folder"; done
mount -o remount,rw /
modprobe -a 9pnet_virtio 9p overlay
ip link set lo up
hostname vexa-i386-vm
mkdir -p /run/control
mount -t 9p -o trans=virtio,version=9p2000.L control /run/control
# The locale of the machines that build: paths with letters beyond ASCII reach Wine whole.
export HOME=/root PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8
bash /run/control/job.sh </dev/null >/dev/ttyS0 2>&1
echo $? >/run/control/status
sync
echo o >/proc/sysrq-trigger
while :; do sleep 1; done >/dev/null 2>&1
INIT
}

# Boots the image with the host folders FOLDER... shared at their own paths and runs the job file
# JOB there; returns the job's status. The image is written to only with --write.
boot() {
    local write=$1 job=$2 control folder index=0
    shift 2
    control=$(mktemp -d)
    cp "$job" "$control/job.sh"
    local qemu=(qemu-system-x86_64 -m "${VEXA_VM_MEMORY:-6G}" -smp "${VEXA_VM_CPUS:-$(nproc)}"
        -display none -monitor none -serial stdio -no-reboot -nic none
        -kernel "$image_dir/vmlinuz" -initrd "$image_dir/initrd.img"
        -append "root=/dev/vda rw console=ttyS0 quiet loglevel=3 init=/sbin/vexa-init panic=-1"
        -drive "file=$image_dir/root.img,format=raw,if=virtio"
        -virtfs "local,path=$control,mount_tag=control,security_model=none")
    [ "$write" = --write ] || qemu+=(-snapshot)
    # Software emulation: KVM, where a machine has it at all, may be nested and hang at boot.
    if [ "${VEXA_VM_ACCEL:-tcg}" = kvm ]; then qemu+=(-accel kvm -cpu host); else
        qemu+=(-accel tcg,thread=multi); fi
    for folder in "$@"; do
        qemu+=(-virtfs "local,path=$folder,mount_tag=share$index,security_model=none")
        index=$((index + 1))
    done
    # Nothing in a job takes this long; a machine that hangs at boot is stopped.
    timeout "${VEXA_VM_TIMEOUT:-7200}" "${qemu[@]}" </dev/null || true
    local status
    status=$(cat "$control/status" 2>/dev/null ||
        echo "none: the machine stopped before the job ended")
    rm -rf "$control"
    [ "$status" = 0 ] && return 0
    echo "i386-vm.sh: the job in the machine ended with status $status" >&2
    [[ $status =~ ^[0-9]+$ ]] && return "$status"
    return 1
}

# Lines of a job that mount the shares FOLDER... at their own paths. Through the machine's page
# cache: Wine maps the test programs from the share, and without it pages of a large image read as
# zeros. Nothing on the host writes to the share while the machine runs.
mount_shares() {
    local folder index=0
    for folder in "$@"; do
        printf 'mkdir -p %q\n' "$folder"
        printf 'mount -t 9p -o trans=virtio,version=9p2000.L,cache=loose share%d %q\n' "$index" \
            "$folder"
        index=$((index + 1))
    done
}

# A Debian root file system with the guest packages, Debian's kernel and our init, as a sparse disk
# image with the kernel and initial RAM disk beside it.
make_image() {
    local work=$1 root=$1/root
    debootstrap --variant=minbase --include=ca-certificates bookworm "$root" "$mirror"
    cat >"$root/etc/apt/sources.list" <<SOURCES
deb $mirror bookworm main
deb $mirror bookworm-updates main
deb ${mirror%/debian}/debian-security bookworm-security main
SOURCES
    # Nothing installed here starts a service, and the packages' scripts see a working system.
    printf '#!/bin/sh\nexit 101\n' >"$root/usr/sbin/policy-rc.d"
    chmod +x "$root/usr/sbin/policy-rc.d"
    cp /etc/resolv.conf "$root/etc/resolv.conf"
    mount -t proc proc "$root/proc"
    mount --rbind /dev "$root/dev"
    mount -t sysfs sysfs "$root/sys"
    install -m 755 "$source/scripts/setup.sh" "$root/tmp/setup.sh"
    local status=0
    chroot "$root" /tmp/setup.sh guest || status=$?
    umount -R "$root/dev" "$root/proc" "$root/sys"
    [ "$status" -eq 0 ] || return "$status"
    chroot "$root" apt-get clean
    rm -f "$root/tmp/setup.sh" "$root/usr/sbin/policy-rc.d"
    guest_init >"$root/sbin/vexa-init" && chmod 755 "$root/sbin/vexa-init"
    cp "$root"/boot/vmlinuz-* "$work/vmlinuz" && cp "$root"/boot/initrd.img-* "$work/initrd.img"
    mkfs.ext4 -q -F -L vexa-root -d "$root" "$work/root.img.partial" 12G
    mv "$work/root.img.partial" "$work/root.img"
    rm -rf "$root"
}

# The win32 prefix, made inside the machine by the tests' own Wine runner and left with its
# markers, so that the runner takes it as ready.
bake_prefix() {
    local work=$1 job
    job=$(mktemp)
    {
        echo 'set -e'
        mount_shares "$source"
        printf 'mkdir -p %q\n' "$(dirname "$baked_prefix")"
        echo "export VEXA_WINE_PREFIX_TIMEOUT=$prefix_timeout"
        printf 'sh %q win32 %q --start-server\n' "$source/cmake/wine-run.sh" "$baked_prefix"
        printf 'sh %q win32 %q --stop-server\n' "$source/cmake/wine-run.sh" "$baked_prefix"
    } >"$job"
    image_dir=$work boot --write "$job" "$source"
    rm -f "$job"
}

# Makes the image unless it is there, in a folder of its own that is renamed into place when whole;
# a system made by an interrupted run is taken up again.
image() {
    [ -f "$image_dir/ready" ] && return 0
    [ "$(id -u)" -eq 0 ] || die "making the image needs root (debootstrap, chroot, mount)"
    local work=$image_dir.partial
    echo "Making the image in $image_dir: debootstrap, the packages, then the win32 prefix."
    if [ ! -f "$work/root.img" ]; then
        rm -rf "$work" && mkdir -p "$work"
        make_image "$work"
    fi
    bake_prefix "$work"
    date -u +%FT%TZ >"$work/ready"
    mv "$work" "$image_dir"
}

# CTest in the machine over the build BUILD, whose Wine prefixes start as copies of the ready one
# (overlays on memory, so the image and the baked prefix stay as they are).
run_ctest() {
    local build job prefix index=0
    build=$(cd "$1" && pwd)
    shift
    [ -f "$image_dir/ready" ] || die "no image yet: run scripts/i386-vm.sh image first"
    prefix=$(sed -n 's/^VEXA_WINEPREFIX:PATH=//p' "$build/CMakeCache.txt")
    [ -n "$prefix" ] || die "$build is not a Windows build tested under Wine"
    local shares=("$source")
    [[ $build/ == "$source"/* ]] || shares+=("$build")
    job=$(mktemp)
    {
        echo 'set -e'
        mount_shares "${shares[@]}"
        # Every test's time limit: emulation makes each many times longer.
        echo "export VEXA_WINE_PREFIX_TIMEOUT=$prefix_timeout VEXA_TEST_TIMEOUT=900"
        # A folder made here for the overlay goes again afterwards: on this machine the Wine
        # runner would refuse it as a prefix it did not make.
        for folder in "$prefix" "$prefix-second"; do
            printf '[ -e %q ] || made%d=1\n' "$folder" "$index"
            printf 'mkdir -p /tmp/overlay%d/upper /tmp/overlay%d/work %q\n' "$index" "$index" \
                "$folder"
            printf 'mount -t overlay overlay -o lowerdir=%q,upperdir=%s,workdir=%s %q\n' \
                "$baked_prefix" "/tmp/overlay$index/upper" "/tmp/overlay$index/work" "$folder"
            index=$((index + 1))
        done
        # Through a pipe: on the machine's serial terminal CTest would colour its summary.
        printf 'cd %q\nxvfb-run -a ctest' "$source"
        printf ' %q' "$@"
        printf ' 2>&1 | cat && status=${PIPESTATUS[0]}\n'
        index=0
        for folder in "$prefix" "$prefix-second"; do
            printf 'umount -l %q\n[ -z "${made%d:-}" ] || rmdir %q\n' "$folder" "$index" "$folder"
            index=$((index + 1))
        done
        printf 'exit $status\n'
    } >"$job"
    local status=0
    boot --snapshot "$job" "${shares[@]}" || status=$?
    rm -f "$job"
    return "$status"
}

cache=${VEXA_VM_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/vexa-i386-vm}
image_dir=$cache/$(recipe | sha256sum | cut -c1-16)
case ${1:-} in
    image) image ;;
    ctest) [ -n "${2:-}" ] || die "usage: i386-vm.sh ctest BUILD [ARG...]"; shift; run_ctest "$@" ;;
    *) echo "usage: scripts/i386-vm.sh image | ctest BUILD [ARG...]" >&2 && exit 2 ;;
esac
