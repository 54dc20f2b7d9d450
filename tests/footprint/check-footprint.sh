#!/bin/bash
# Checks the stripped .scr: imports only from the system DLLs that every Windows since 95 has,
# subsystem version 4.0 so that both families load it, and at most 64 KiB.
set -u
objdump=$1
scr=$2
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

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
[ "$major.$minor" = "4.0" ] || fail "subsystem version is $major.$minor, not 4.0"
echo "$headers" | grep -q 'Subsystem.*Windows GUI' || fail "not a Windows GUI executable"
echo "$headers" | grep -q 'Magic.*010b' || fail "not a 32-bit (PE32) executable"

size=$(stat -c %s "$scr")
[ "$size" -le 65536 ] || fail "stripped size $size bytes exceeds 64 KiB"

echo "imports: $(echo $imports)"
echo "subsystem version: $major.$minor"
echo "stripped size: $size bytes"
[ $failures -eq 0 ] || exit 1
echo "footprint ok"
