#!/bin/bash
# The plug-in as a person installs it (build/install): LoadKIVO.dll without debug
# information, linked by .gnu_debuglink to LoadKIVO.dll.debug beside it, where addr2line
# finds the source of an export; the stand-in host loads and runs it and imports the
# example into the reviewed objects.
#
#   InstalledPlugin.sh OBJDUMP ADDR2LINE     (KIVO_BUILD names the build tree)
set -euo pipefail
objdump=$1
addr2line=$2
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
. "$root/scripts/env.sh"
install=$KIVO_BUILD/install
fail() { echo "InstalledPlugin: $*" >&2; exit 1; }

[ -f "$install/LoadKIVO.dll" ] && [ -f "$install/LoadKIVO.dll.debug" ] ||
  fail "build/install lacks LoadKIVO.dll or LoadKIVO.dll.debug"
sections=$("$objdump" -h "$install/LoadKIVO.dll")
! grep -q '\.debug_' <<<"$sections" || fail "the installed DLL carries debug sections"
grep -q '\.gnu_debuglink' <<<"$sections" || fail "the installed DLL names no debug file"
echo "LoadKIVO.dll: $(stat -c %s "$install/LoadKIVO.dll") bytes, debug file $(stat -c %s "$install/LoadKIVO.dll.debug") bytes"

# The export GetPcbImporterDescription is found in the source through the debug file.
exports=$("$objdump" -p "$install/LoadKIVO.dll")
base=$(awk '/^ImageBase/ {print $2}' <<<"$exports")
index=$(grep -E '^\s*\[ *[0-9]+\] GetPcbImporterDescription$' <<<"$exports" |
  sed -E 's/^\s*\[ *([0-9]+)\].*/\1/')
rva=$(grep -E "^\s*\[ *${index:-x}\] \+base" <<<"$exports" | awk '{print $(NF-2)}')
[ -n "$base" ] && [ -n "$rva" ] || fail "no export address in the installed DLL"
source=$("$addr2line" -e "$install/LoadKIVO.dll" "0x$(printf '%x' $((0x$base + 0x$rva)))")
echo "GetPcbImporterDescription: $source"
grep -q 'ImporterExports.cpp:[0-9]' <<<"$source" || fail "the debug file does not place the export in the source"

# The host beside the installed DLL imports the example.
run=$(mktemp -d)
trap 'rm -rf "$run"' EXIT
cp "$KIVO_BUILD/bin/KivoHost.exe" "$KIVO_BUILD/bin/Ravelo.dll" "$install/LoadKIVO.dll" "$run/"
cp -r "$KIVO_BUILD/bin/Help" "$run/"
cp "$root/examples/demo.pdf" "$run/"
(cd "$run" && wine KivoHost.exe "Z:${run//\//\\}\\demo.pdf" >"$run/out.txt" 2>&1) ||
  { cat "$run/out.txt"; fail "the host's run failed"; }
cat "$run/out.txt"
grep -q '^Result: imported' "$run/out.txt" || fail "the example was not imported"
diff <(grep '^#' "$root/tests/importer/golden/demo.dump") <(grep '^#' "$run/demo.dump") ||
  fail "the example's objects differ from the reviewed dump"
echo "InstalledPlugin: passed"
