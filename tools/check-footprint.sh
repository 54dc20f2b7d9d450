#!/bin/bash
# Checks a stripped .scr: imports only from the system DLLs that every Windows of its
# architecture has, the subsystem version that the oldest of them loads, the PE form of its
# architecture, the application manifest and what it declares, and at most 56 KiB.
#
#   check-footprint.sh OBJDUMP SCR i686|x86_64
set -u
objdump=$1
scr=$2
arch=$3
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

case $arch in
i686) subsystem=4.0 magic='010b' form='PE32' ;;   # the Windows 95 family and NT 4 on
x86_64) subsystem=5.2 magic='020b' form='PE32+' ;; # the first 64-bit Windows on
*) echo "FAIL: unknown architecture $arch"; exit 1 ;;
esac

[ -f "$scr" ] || { echo "FAIL: no $scr"; exit 1; }
headers=$("$objdump" -p "$scr") || { echo "FAIL: objdump cannot read $scr"; exit 1; }

allowed="KERNEL32.DLL USER32.DLL GDI32.DLL ADVAPI32.DLL COMDLG32.DLL WINMM.DLL VERSION.DLL MSVCRT.DLL"
imports=$(echo "$headers" | awk '/DLL Name:/ {print toupper($3)}' | sort -u)
[ -n "$imports" ] || fail "no import table found"
for dll in $imports; do
    case " $allowed " in
        *" $dll "*) ;;
        *) fail "imports from $dll" ;;
    esac
done

major=$(echo "$headers" | awk '/MajorSubsystemVersion/ {print $2}')
minor=$(echo "$headers" | awk '/MinorSubsystemVersion/ {print $2}')
[ "$major.$minor" = "$subsystem" ] || fail "subsystem version is $major.$minor, not $subsystem"
echo "$headers" | grep -q 'Subsystem.*Windows GUI' || fail "not a Windows GUI executable"
echo "$headers" | grep -q "Magic.*$magic" || fail "not a $form executable"
# No timestamp: objdump shows a zero as the first second of 1970.
echo "$headers" | grep -q '^Time/Date.*Jan  1 00:00:00 1970' ||
    fail "the header carries a build time: $(echo "$headers" | grep '^Time/Date')"

# The manifest: resource type 24 (RT_MANIFEST), number 1, well-formed XML. Printed by a
# walk of the resource directory, the first language found.
manifest=$(python3 - "$scr" <<'PY'
import struct, sys, xml.etree.ElementTree as tree
data = open(sys.argv[1], "rb").read()
pe = struct.unpack_from("<I", data, 0x3C)[0]
sections, optional_size = struct.unpack_from("<HxxxxxxxxxxxxH", data, pe + 6)
optional = pe + 24
is_pe32 = struct.unpack_from("<H", data, optional)[0] == 0x10B
resource_rva = struct.unpack_from("<I", data, optional + (96 if is_pe32 else 112) + 16)[0]
if not resource_rva:
    sys.exit("no resource section")
table = []
for i in range(sections):
    virtual_size, address, raw_size, raw = struct.unpack_from("<IIII", data, optional + optional_size + 40 * i + 8)
    table.append((address, max(virtual_size, raw_size), raw))
def at(rva):
    return next(raw + rva - address for address, size, raw in table if address <= rva < address + size)
root = at(resource_rva)
def entry(directory, wanted):
    named, numbered = struct.unpack_from("<HH", data, root + directory + 12)
    for i in range(named + numbered):
        name, target = struct.unpack_from("<II", data, root + directory + 16 + 8 * i)
        if wanted is None or name == wanted:
            return target & 0x7FFFFFFF
    sys.exit("no RT_MANIFEST resource numbered 1")
leaf = entry(entry(entry(0, 24), 1), None)
rva, size = struct.unpack_from("<II", data, root + leaf)
text = data[at(rva):at(rva) + size]
tree.fromstring(text)
sys.stdout.write(text.decode("utf-8"))
PY
)
if [ -z "$manifest" ]; then
    fail "no readable application manifest"
else
    # Common Controls 6; Vista, 7, 8, 8.1, 10 and 11; per-monitor DPI awareness with its
    # fallbacks. No elevation request and no code page of its own.
    for wanted in 'name="Microsoft.Windows.Common-Controls" version="6.0.0.0"' \
        e2011457-1546-43c5-a5fe-008deee3d3f0 35138b9a-5d96-4fbd-8e2d-a2440225f93a \
        4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38 1f676c76-80e1-4239-95bb-83d0f6d0da78 \
        8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a '>PerMonitorV2, PerMonitor</dpiAwareness>' \
        '>true/pm</dpiAware>'; do
        grep -qF -- "$wanted" <<<"$manifest" || fail "the manifest lacks $wanted"
    done
    for unwanted in requestedExecutionLevel activeCodePage; do
        grep -qF -- "$unwanted" <<<"$manifest" && fail "the manifest declares $unwanted"
    done
fi

# 48 KiB until the settings dialog said what the playlist holds and offered the play order:
# their code and their texts in both languages took the 64-bit build to 48.5 KiB (the file
# grows in steps of 512 bytes, section by section). 52 KiB until the user's own settings file,
# the music's volume and gentle start through the audio session, and the dialog's trackbar and
# check box took it to 54 KiB.
size=$(stat -c %s "$scr")
[ "$size" -le 57344 ] || fail "stripped size $size bytes exceeds 56 KiB"

echo "architecture: $arch ($form)"
echo "imports: $(echo $imports)"
echo "subsystem version: $major.$minor"
echo "manifest: $(printf %s "$manifest" | wc -c) bytes"
echo "stripped size: $size bytes"
[ $failures -eq 0 ] || exit 1
echo "footprint ok"
