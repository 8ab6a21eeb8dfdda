#!/usr/bin/env bash
# Lists the DLLs a Windows program imports and fails on any that Windows
# itself does not ship (a C++ run-time, Qt, pthreads left unlinked).
set -euo pipefail
system='^(kernel32|user32|gdi32|advapi32|shell32|shlwapi|ole32|oleaut32|comdlg32|comctl32|imm32|winmm|ws2_32|msvcrt|uxtheme|dwmapi|d3d9|d3d11|d3d12|dxgi|dwrite|d2d1|version|netapi32|userenv|mpr|setupapi|wtsapi32|shcore|authz|crypt32|bcrypt|ntdll|api-ms-win-.*)\.dll$'
status=0
for exe in "$@"; do
  dlls=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u)
  echo "$exe imports: $(echo $dlls)"
  for dll in $dlls; do
    if ! [[ $dll =~ $system ]]; then
      echo "not a system DLL: $dll" >&2
      status=1
    fi
  done
done
exit $status
