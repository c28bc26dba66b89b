#!/usr/bin/env bash
# Exits 0 when this machine runs 32-bit x86 Linux programs, 1 when its kernel refuses them
# ("Exec format error"). The probe is the smallest 32-bit program there is: exit(0) through
# int 0x80, written here byte by byte, so no 32-bit tool is needed to ask.
set -euo pipefail
[ "$(uname -m)" = x86_64 ] || [ "$(uname -m)" = i686 ] || exit 1
probe=$(mktemp)
trap 'rm -f "$probe"' EXIT
{
  # ELF header: 32-bit, little-endian, executable, i386, entry 0x08048054, one program header.
  printf '\177ELF\001\001\001\000\000\000\000\000\000\000\000\000'
  printf '\002\000\003\000\001\000\000\000\124\200\004\010\064\000\000\000\000\000\000\000'
  printf '\000\000\000\000\064\000\040\000\001\000\000\000\000\000\000\000'
  # One loadable segment: the whole file at 0x08048000, readable and executable.
  printf '\001\000\000\000\000\000\000\000\000\200\004\010\000\200\004\010'
  printf '\135\000\000\000\135\000\000\000\005\000\000\000\000\020\000\000'
  # mov eax, 1; xor ebx, ebx; int 0x80
  printf '\270\001\000\000\000\061\333\315\200'
} >"$probe"
chmod +x "$probe"
"$probe" 2>/dev/null
