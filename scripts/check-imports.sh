#!/usr/bin/env bash
# Checks that Windows XP SP3 can load the given program: every import comes from a DLL
# of scripts/xp-imports.txt and is listed there, and the PE header asks for no newer
# subsystem than 5.01. Prints what fails; exit 1 then.
set -u
exe=$1
here=$(cd "$(dirname "$0")" && pwd)
objdump=${OBJDUMP:-i686-w64-mingw32-objdump}
header=$("$objdump" -p "$exe") || { echo "check-imports: cannot read $exe"; exit 1; }
awk -v allow="$here/xp-imports.txt" '
  BEGIN {
    while ((getline line < allow) > 0) {
      if (line ~ /^#/ || line == "") continue
      if (line ~ /^\[/) { dll = tolower(substr(line, 2, length(line) - 2)); dlls[dll] = 1; continue }
      ok[dll, line] = 1
    }
  }
  /^\tDLL Name: / { dll = tolower($3); seen++
                    if (!(dll in dlls)) { print "foreign DLL: " $3; bad++ }
                    next }
  dll != "" && /^\t[0-9a-f]+\t +[0-9]+ +[^ ]+$/ {
    if (!((dll, $3) in ok)) { print "not in XP: " dll " " $3; bad++ }
    next }
  /^MajorSubsystemVersion/ { major = $2 }
  /^MinorSubsystemVersion/ { minor = $2 }
  END {
    if (seen == 0) { print "no imports found"; bad++ }
    if (major > 5 || (major == 5 && minor > 1)) { print "subsystem version " major "." minor " > 5.01"; bad++ }
    if (bad) exit 1
    print seen " DLLs, all imports available on Windows XP SP3, subsystem " major "." minor
  }' <<<"$header"
