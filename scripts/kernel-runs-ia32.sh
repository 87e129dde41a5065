#!/usr/bin/env bash
# Exits 0 where this machine's kernel runs 32-bit x86 programs, 1 where it
# does not. Wine's 32-bit half (wine32:i386) and a natively run i686 test
# need that (IA-32 emulation on an x86-64 kernel), and no package provides
# it: some virtual machines' kernels are built without it.
#
# The probe is the smallest 32-bit ELF program there is, written on the
# spot so that no i386 package is needed to ask: one loadable segment whose
# code is `mov eax, 1; xor ebx, ebx; int 0x80`, the system call exit(0).
set -uo pipefail
probe=$(mktemp) || exit 1
trap 'rm -f -- "$probe"' EXIT
# ELF header: 32-bit, little-endian, executable, i386, entry 0x08048054.
printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00' >"$probe"
printf '\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00' >>"$probe"
printf '\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00' >>"$probe"
printf '\x00\x00\x00\x00' >>"$probe"
# Program header: the whole 93-byte file loaded at 0x08048000, read+execute.
printf '\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08' >>"$probe"
printf '\x5d\x00\x00\x00\x5d\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00' >>"$probe"
# The code.
printf '\xb8\x01\x00\x00\x00\x31\xdb\xcd\x80' >>"$probe"
chmod +x "$probe"
[[ $(uname -m) == x86_64 || $(uname -m) == i?86 ]] || exit 1
# A binfmt_misc handler (qemu-user-binfmt's) would run the probe without the
# kernel's own support, and Wine's 32-bit half does not run that way.
for handler in /proc/sys/fs/binfmt_misc/qemu-i386 /proc/sys/fs/binfmt_misc/qemu-i486; do
    [[ -f $handler ]] && grep -qx enabled "$handler" && exit 1
done
"$probe" 2>/dev/null || exit 1
