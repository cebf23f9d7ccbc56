#!/usr/bin/env bash
# Vornisk.exe must run on a bare Windows: it may import Windows' own DLLs only.
# Usage: imports_test.sh OBJDUMP VORNISK_EXE
set -eu
dlls=$("$1" -p "$2" | sed -n 's/^[[:space:]]*DLL Name: //p')
echo "imports:" $dlls
for dll in $dlls; do
  case "${dll,,}" in
    kernel32.dll | msvcrt.dll | winmm.dll) ;;
    *) echo "FAIL: imports $dll"; exit 1 ;;
  esac
done
