#!/usr/bin/env bash
# Runs a command where i386 Linux programs start through qemu-i386: on
# kernels that run no 32-bit code themselves (ia32 emulation switched off)
# this is how Wine's 32-bit loader, and so the shipped programs, run at all.
#
#   i386-namespace.sh COMMAND [ARGS...]
#
# The command runs as the first process of a user namespace of its own, with
# a PID namespace, a /proc and a binfmt_misc instance of its own (Linux 6.7
# and later) in which i386 ELF programs are handed to qemu-i386.  The
# machine's own binfmt settings stay untouched, and when the command ends the
# kernel ends every process started in the namespace.  Being PID 1 there, the
# command should be a shell: a shell reaps the orphans that Wine leaves.
set -eu
if [ "${KB_I386_NAMESPACE_QEMU:-}" = "" ]; then
  if ! qemu="$(command -v qemu-i386)"; then
    echo "i386-namespace: qemu-i386 is missing (scripts/setup.sh installs it)" >&2
    exit 127
  fi
  # --kill-child: should unshare itself be killed (a test's time limit), the
  # namespace goes with it.
  KB_I386_NAMESPACE_QEMU="$qemu" exec unshare --user --map-root-user --mount --pid --fork \
    --mount-proc --kill-child bash "$0" "$@"
fi
qemu="$KB_I386_NAMESPACE_QEMU"
unset KB_I386_NAMESPACE_QEMU
mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc
# The i386 ELF magic and mask (executables and shared objects, e_machine 3).
# F: the kernel opens qemu now, so it need not be reachable from every
# program's root later.
magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
printf '%s\n' ":kb-i386:M::$magic:$mask:$qemu:F" > /proc/sys/fs/binfmt_misc/register
exec "$@"
