#!/usr/bin/env bash
# Succeeds when this machine runs 32-bit (i386) Linux programs natively, as
# 32-bit Wine needs. Fails on kernels booted without 32-bit support, and where
# i386 programs would only run through an emulator registered with
# binfmt_misc (qemu-user: far too slow for Wine).
if grep -qs '^enabled' /proc/sys/fs/binfmt_misc/qemu-i386; then exit 1; fi
/lib/ld-linux.so.2 --version >/dev/null 2>&1
