#!/usr/bin/env bash
# The shipped exe may import only DLLs that Windows always loads from its
# system folder (KnownDLLs), so a DLL planted beside it in a Downloads folder
# is never picked up. comctl32 is loaded at run time by its full path.
#   tests/ui/check_imports.sh dist/Korvalen.exe
set -uo pipefail
exe=${1:?usage: check_imports.sh EXE}
allowed=(kernel32.dll user32.dll gdi32.dll shell32.dll msvcrt.dll)

[[ -f "$exe" ]] || { echo "check_imports: $exe is missing" >&2; exit 1; }
headers=$(i686-w64-mingw32-objdump -p "$exe") || exit 1
grep -q 'file format pei-i386' <<<"$headers" || { echo "check_imports: $exe is not PE32 i386" >&2; exit 1; }
imports=$(sed -n 's/^\s*DLL Name: //p' <<<"$headers" | tr 'A-Z' 'a-z' | sort -u)
[[ -n "$imports" ]] || { echo "check_imports: no import table found" >&2; exit 1; }

status=0
for dll in $imports; do
  if [[ " ${allowed[*]} " != *" $dll "* ]]; then
    echo "check_imports: $exe imports $dll, which is not a KnownDLL" >&2
    status=1
  fi
done
echo "imports of $exe: $(echo $imports)"
exit $status
