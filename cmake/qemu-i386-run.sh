#!/bin/sh
# Runs an i386 program under qemu-i386. Programs it starts in turn (the fakes, helper
# programs) need qemu as well, which the kernel does not know of: in a user namespace of their
# own (Linux 6.7 and later) the programs get a private binfmt_misc registration for i386 ELF
# files. Where that is not possible, plain qemu-i386 runs the program alone.
if [ -z "$UPDATE_QEMU_NAMESPACE" ] && unshare --user --map-root-user --mount true 2>/dev/null; then
  UPDATE_QEMU_NAMESPACE=1 exec unshare --user --map-root-user --mount "$0" "$@"
fi
if [ -n "$UPDATE_QEMU_NAMESPACE" ] &&
   mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc 2>/dev/null; then
  printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386:F' \
    > /proc/sys/fs/binfmt_misc/register 2>/dev/null
fi
exec qemu-i386 "$@"
