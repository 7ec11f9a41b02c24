#!/bin/bash
# Cases for check_imports.sh: made-up "objdump -p" outputs, each with the
# answer the check must give.
set -u
here=$(cd "$(dirname "$0")" && pwd)
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT

# dump SUBSYSTEM_MAJOR "DLL:function ..." -> an objdump-like listing of a
# stripped program: its characteristics, subsystem and imports
# (STRIPPED=no: the symbol table kept)
dump() {
  local subsystem=$1; shift
  printf '\nCharacteristics 0x%s\n\texecutable\n\tline numbers stripped\n' "$([ "${STRIPPED:-yes}" = yes ] && echo 30e || echo 106)"
  [ "${STRIPPED:-yes}" = yes ] && printf '\tsymbols stripped\n'
  printf '\t32 bit words\n\nTime/Date\t\tSun Dec  6 15:10:17 2026\n'
  printf 'MajorSubsystemVersion\t%s\nMinorSubsystemVersion\t0\n\nThe Import Tables\n' "$subsystem"
  local last="" entry
  for entry in "$@"; do
    local dll=${entry%%:*} fn=${entry#*:}
    if [ "$dll" != "$last" ]; then
      [ -n "$last" ] && printf '\n'
      printf '\tDLL Name: %s\n\tvma:  Hint/Ord Member-Name Bound-To\n' "$dll"
      last=$dll
    fi
    printf '\t6dfac\t  983  %s\n' "$fn"
  done
  printf '\n 0006d078\t00000000 00000000 00000000 00000000 00000000\n'
}

failed=0
expect() {  # expect pass|fail "case name" subsystem entries...  (PROGRAM, BYTES: its name and size)
  local want=$1 name=$2; shift 2
  dump "$@" >"$dir/dump"
  if "$here/check_imports.sh" --dump "$dir/dump" "${PROGRAM:-$name}" "${BYTES:-0}" >"$dir/out" 2>&1; then
    got=pass
  else
    got=fail
  fi
  if [ "$got" != "$want" ]; then
    echo "FAIL: $name: check says $got, expected $want"; sed 's/^/  /' "$dir/out"; failed=1
  fi
}

expect pass "plain program"            4 KERNEL32.dll:CreateFileW USER32.dll:CreateWindowExW msvcrt.dll:malloc
expect pass "common controls"          4 COMCTL32.DLL:InitCommonControlsEx COMCTL32.DLL:_TrackMouseEvent
expect fail "posix thread model"       4 KERNEL32.dll:GetTickCount64
expect fail "vectored handler"         4 KERNEL32.dll:AddVectoredExceptionHandler
expect fail "file streams"             4 msvcrt.dll:_fstat64
expect fail "a later user32 function"  4 USER32.dll:GetAncestor
expect fail "universal runtime"        4 api-ms-win-crt-runtime-l1-1-0.dll:_initterm
expect fail "ucrtbase"                 4 ucrtbase.dll:malloc
expect fail "newer subsystem"          5 KERNEL32.dll:CreateFileW
expect pass "near miss of a name"      4 KERNEL32.dll:GetTickCount
STRIPPED=no expect fail "symbol table kept" 4 KERNEL32.dll:CreateFileW
PROGRAM=Server.exe BYTES=917504 expect pass "Server.exe at its ceiling"    4 KERNEL32.dll:CreateFileW
PROGRAM=Server.exe BYTES=917505 expect fail "Server.exe above its ceiling" 4 KERNEL32.dll:CreateFileW
PROGRAM=unditool/undisk.exe BYTES=9999999 expect pass "no ceiling for the image tools" 4 KERNEL32.dll:CreateFileW
[ $failed -eq 0 ] && echo "check_imports cases: all passed"
exit $failed
