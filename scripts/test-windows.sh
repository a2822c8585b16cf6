#!/usr/bin/env bash
# The Windows build's checks (after `make windows`): the 32-bit DLLs export and import only
# what they should, then the x86-64 test runner runs under wine64 in a Wine prefix of its own
# (golden sample jobs, the golden job grid, the conservation suite and the Windows file behaviour).
# Usage: test-windows.sh [BUILD_FOLDER]   (default build-windows, holding i686/ and x86_64/)
set -euo pipefail
build=$(cd "${1:-build-windows}" && pwd)
here=$(cd "$(dirname "$0")/.." && pwd)

# Exports: Create only. Imports: the Windows system DLLs and the host layer.
system_dlls='KERNEL32|msvcrt|SHELL32|ole32|ADVAPI32|USER32'
check_dll() {  # DLL EXPORTS_EXPECTED ALLOWED_IMPORTS
  local dump exports imports
  dump=$(i686-w64-mingw32-objdump -p "$1")
  grep -q '^Magic.*010b' <<<"$dump" || { echo "$1: not a 32-bit (PE32) DLL" >&2; return 1; }
  imports=$(sed -n 's/^\s*DLL Name: //p' <<<"$dump")
  if grep -Evq "$3" <<<"$imports"; then echo "$1: unexpected imports:" $(grep -Ev "$3" <<<"$imports") >&2; return 1; fi
  if [ -n "$2" ]; then
    exports=$(sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' <<<"$dump" | sed -n 's/^\s*\[ *[0-9]*\] //p')
    [ "$exports" = "$2" ] || { echo "$1: exports '$(echo $exports)', expected only $2" >&2; return 1; }
  fi
  echo "$1: imports" $imports
}
check_dll "$build/i686/bin/rphoto_driver.dll" Create "^($system_dlls|librphoto_host)\.dll\$"
check_dll "$build/i686/bin/librphoto_host.dll" "" "^($system_dlls)\.dll\$"

# A Wine prefix made for this run: no display, no Mono or Gecko installers.
work=$(mktemp -d)
trap 'wineserver -k >/dev/null 2>&1 || true; rm -rf "$work"' EXIT
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
unset DISPLAY
PATH=$PATH:/usr/lib/wine
wine=$(command -v wine64 || command -v wine)
"$wine" wineboot --init >/dev/null 2>&1 || true  # the prefix, made before the tests' output
mkdir -p "$work/planes"
for ink in K C M Y R O GO LC LM LK LLK; do gzip -dc "$here/samples/plane-$ink.pgm.gz" > "$work/planes/$ink.pgm"; done
mkdir -p "$work/golden"
export RPHOTO_SAMPLE_PLANES=$work/planes RPHOTO_GOLDEN_OUT=$work/golden
# Run from the build folder (drive Z:), so that the compiled-in source paths resolve.
(cd "$build/x86_64/bin" && "$wine" rphoto_windows_tests.exe --gtest_brief=1 "$@")
# The sample jobs and the golden grid's jobs written under Windows have the Linux build's bytes.
if [ -e "$work/golden/sample-r2000.prn" ]; then
  (cd "$work/golden" && sha256sum --quiet -c "$here/ref/sample-r2000.sha256" "$here/ref/sample-r3000.sha256")
  echo "golden sample jobs: the bytes of ref/"
fi
if compgen -G "$work/golden/model*.prn" >/dev/null; then
  awk -F'\t' '{ gsub(/ /, "_", $1); print $2 "  " $1 ".prn" }' "$here/ref/golden-grid.tsv" > "$work/grid.sha256"
  (cd "$work/golden" && sha256sum --quiet -c "$work/grid.sha256")
  echo "golden job grid: the sums of ref/golden-grid.tsv"
fi
