#!/usr/bin/env bash
# Fails when a built binary imports a DLL other than the system's own:
# the C and C++ runtimes must be linked in.
#   check-imports.sh ARCH BUILD_DIR
set -euo pipefail
arch=$1 dir=$2
objdump=$arch-w64-mingw32-objdump
allowed='^(kernel32|user32|gdi32|shell32|ole32|oleaut32|advapi32|comctl32|comdlg32|winmm|msvcrt|shlwapi|version|uxtheme|msimg32)\.dll$'
status=0
mapfile -t binaries < <(find "$dir" -maxdepth 3 \( -name 'Kestrel5.exe' -o -name 'QUILLONSoftwareOptions.dll' \) -not -path '*/wineprefix/*')
if [ "${#binaries[@]}" -eq 0 ]; then echo "check-imports: no binaries under $dir"; exit 1; fi
for binary in "${binaries[@]}"; do
  while read -r dll; do
    if ! echo "${dll,,}" | grep -qE "$allowed"; then
      echo "check-imports: $(basename "$binary") imports $dll"
      status=1
    fi
  done < <("$objdump" -p "$binary" | sed -n 's/^\s*DLL Name: //p')
done
[ "$status" -eq 0 ] && echo "check-imports: ${#binaries[@]} binaries import only system DLLs"
exit "$status"
