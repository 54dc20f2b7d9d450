#!/bin/bash
# Checks a stripped .scr: imports only from the system DLLs that every Windows of its
# architecture has, the subsystem version that the oldest of them loads, the PE form of its
# architecture, and at most 64 KiB.
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

size=$(stat -c %s "$scr")
[ "$size" -le 65536 ] || fail "stripped size $size bytes exceeds 64 KiB"

echo "architecture: $arch ($form)"
echo "imports: $(echo $imports)"
echo "subsystem version: $major.$minor"
echo "stripped size: $size bytes"
[ $failures -eq 0 ] || exit 1
echo "footprint ok"
