#!/usr/bin/env bash
# The 32-bit Wine loader is an i386 Linux program. Some virtual machines run
# a kernel that cannot execute i386 code; there qemu-user, registered with
# binfmt_misc, executes it instead (slowly: about 40 s per Wine program start).
# Does nothing where i386 code already runs.
set -euo pipefail
/lib/ld-linux.so.2 --version >/dev/null 2>&1 && exit 0
[ "$(id -u)" -eq 0 ] || { echo "enable-i386: needs root to register qemu-i386" >&2; exit 1; }
dpkg-query -W -f='${Status}' qemu-user 2>/dev/null | grep -q 'install ok installed' ||
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends qemu-user >/dev/null
mountpoint -q /proc/sys/fs/binfmt_misc || mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc
[ -e /proc/sys/fs/binfmt_misc/qemu-i386 ] ||
    printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386:' \
        >/proc/sys/fs/binfmt_misc/register
/lib/ld-linux.so.2 --version >/dev/null 2>&1
