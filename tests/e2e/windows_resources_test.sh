#!/usr/bin/env bash
# What Windows shows of the programs, read back from the built files with
# windres: string 1 "Vivuvev" (the name in the Screen Saver Settings), a
# version block of 2.0 naming the product, and no icon.
# Usage: windows_resources_test.sh WINDRES SAVER_SCR STANDALONE_EXE
set -u
windres=$1
shift
. "$(dirname "$0")/check_lib.sh"

for program in "$@"; do
  name=$(basename "$program")
  rc=$work/$name.rc
  "$windres" -J coff -O rc -i "$program" -o "$rc" || { fail "$name: windres cannot read its resources"; continue; }
  # The string table: one string, number 1.
  awk '/^STRINGTABLE/ { inside = 1; next } inside && /^END/ { inside = 0 } inside && !/^BEGIN/' "$rc" >"$work/strings"
  [ "$(tr -d ' ' <"$work/strings")" = '1,"Vivuvev"' ] || fail "$name: string table is $(cat "$work/strings")"
  grep -q '^ FILEVERSION 2, 0, 0, 0$' "$rc" || fail "$name: file version is not 2.0.0.0"
  grep -q '^ PRODUCTVERSION 2, 0, 0, 0$' "$rc" || fail "$name: product version is not 2.0.0.0"
  for value in '"ProductName", "Vivuvev"' '"FileVersion", "2.0"' '"ProductVersion", "2.0"' \
               "\"OriginalFilename\", \"$name\""; do
    grep -qF "VALUE $value" "$rc" || fail "$name: no VALUE $value"
  done
  grep -q 'VALUE "FileDescription", "Vivuvev' "$rc" || fail "$name: no file description"
  grep -q 'VALUE "LegalCopyright", "Copyright (c) 2026 The Vivuvev developers' "$rc" || fail "$name: no copyright line"
  grep -q 'RT_MANIFEST' "$rc" || fail "$name: the manifest is gone"
  grep -Eiq 'Type: (group_)?icon' "$rc" && fail "$name: has an icon"
done

report
