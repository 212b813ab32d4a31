#!/usr/bin/env bash
# Exits 0 when this machine runs 32-bit x86 programs itself, so the 32-bit Wine loader can start.
# Some kernels are built or booted without 32-bit support (the loader fails with "Exec format
# error"), and an emulator registered for 32-bit programs runs Wine too slowly and too unreliably
# for the GUI tests: on both, the Windows tests take the 64-bit build (cmake/mingw-x86_64.cmake).
for handler in /proc/sys/fs/binfmt_misc/*; do
  if grep -qs '^interpreter .*qemu-i386' "$handler" && grep -qsx enabled "$handler"; then
    exit 1
  fi
done
loader=/usr/lib/wine/wine
[ -x "$loader" ] && timeout 30 "$loader" --version >/dev/null 2>&1
