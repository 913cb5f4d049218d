#!/usr/bin/env bash
# Setup.exe may link at load time only the six system libraries it needs, and
# delay-load nothing: every other DLL is loaded by full path at run time.
# Usage: check-imports.sh Setup.exe
set -euo pipefail
exe=$1
dump=$(i686-w64-mingw32-objdump -p "$exe")
allowed=" kernel32.dll user32.dll gdi32.dll advapi32.dll shell32.dll ole32.dll "
status=0
names=$(printf '%s\n' "$dump" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z')
[ -n "$names" ] || { echo "no import table found in $exe"; exit 1; }
for dll in $names; do
  case "$allowed" in
    *" $dll "*) echo "imports $dll" ;;
    *) echo "FAILED: $exe imports $dll at load time"; status=1 ;;
  esac
done
delay=$(printf '%s\n' "$dump" | sed -n 's/^Entry d \([0-9a-fA-F]*\) \([0-9a-fA-F]*\) Delay Import Directory.*/\1\2/p')
if [ -n "$delay" ] && [ "$delay" != "0000000000000000" ]; then
  echo "FAILED: $exe has a delay-import table"
  status=1
fi
# The version block the program carries for itself.
version=$(exiftool -s3 -FileVersionNumber "$exe")
[ "$version" = "4.1.0.1" ] || { echo "FAILED: file version of $exe is '$version'"; status=1; }
echo "size $(stat -c %s "$exe") bytes, version $version"
exit $status
