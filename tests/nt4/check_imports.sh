#!/bin/bash
# Checks that every program of the 32-bit release folder can load on Windows
# NT 4.0 SP6: each imports only from DLLs that system has, none of the functions
# it lacks, and asks for no newer subsystem than 4.0. And that the folder is
# made to ship: every program stripped of its symbol table, and Server.exe
# within its size ceiling.
#
# usage: tests/nt4/check_imports.sh [RELEASE_DIR]      (default dist/win32)
#        tests/nt4/check_imports.sh --dump FILE NAME [BYTES]
#                                      check a saved "objdump -p" output, of
#                                      a program of that name and size
set -uo pipefail

repo=$(cd "$(dirname "$0")/../.." && pwd)
objdump=${OBJDUMP:-i686-w64-mingw32-objdump}

# DLLs a Windows NT 4.0 SP6 server has (the system's own, and the common
# controls and shell light-weight utilities that Internet Explorer 4 or later
# adds, which the cool bar needs anyway). Any other DLL is refused, among them
# the api-ms-win-* sets, ucrtbase and vcruntime of Windows 10, and the
# msvcr70+ / msvcp* runtimes that NT 4.0 does not ship.
allowed_dlls="kernel32.dll user32.dll gdi32.dll advapi32.dll comctl32.dll comdlg32.dll
shell32.dll shlwapi.dll msvcrt.dll ole32.dll oleaut32.dll ws2_32.dll wsock32.dll netapi32.dll
version.dll mpr.dll winspool.drv rpcrt4.dll lz32.dll"

# Functions that NT 4.0 SP6 lacks although their DLL exists.
#  - From the project's notes (measured): _fstat64 (msvcrt before Windows
#    2000), GetTickCount64, AddVectoredExceptionHandler,
#    RemoveVectoredExceptionHandler (posix thread model of mingw-w64).
#  - Minimum system Windows 2000 or later in the Win32 API reference (kernel32):
#    GetModuleHandleEx*, GetFileSizeEx, SetFilePointerEx, GetLongPathName*,
#    InitializeCriticalSectionEx, Fls*, EncodePointer, DecodePointer,
#    InitOnceExecuteOnce, SetDllDirectory*, IsWow64Process, GetNativeSystemInfo,
#    GlobalMemoryStatusEx, VerifyVersionInfo*, VerSetConditionMask,
#    CreateHardLink*, ReplaceFile*, MoveFileWithProgress*, QueueUserWorkItem,
#    CreateTimerQueue*, RegisterWaitForSingleObject, GetConsoleWindow,
#    AttachConsole, GetProcessId, HeapSetInformation, the slim reader/writer
#    locks and condition variables, CreateSymbolicLink*, GetFinalPathNameByHandle*,
#    GetSystemTimePreciseAsFileTime, the locale-name functions (*Ex of Vista).
#  - The same reference for user32: GetAncestor, the monitor functions,
#    layered windows, AllowSetForegroundWindow, LockSetForegroundWindow,
#    GetLastInputInfo, AnimateWindow, GetMenuInfo, SetMenuInfo, PrintWindow,
#    SetProcessDPIAware, ChangeWindowMessageFilter, raw input.
#  - The same reference for advapi32: RegGetValue*, RegDeleteKeyEx*,
#    RegSetKeyValue*, RegOpenCurrentUser, ConvertSidToStringSid*,
#    ConvertStringSidToSid*, CheckTokenMembership, SystemFunction036.
#  - msvcrt: the 64-bit time and file-size functions and the "secure" *_s
#    functions came with msvcrt 7.0 (Windows XP) or later.
denied_functions="_fstat64 _stat64 _wstat64 _wfopen_s _fopen_s GetTickCount64
AddVectoredExceptionHandler RemoveVectoredExceptionHandler GetModuleHandleExA
GetModuleHandleExW GetFileSizeEx SetFilePointerEx GetLongPathNameA GetLongPathNameW
InitializeCriticalSectionEx FlsAlloc FlsFree FlsGetValue FlsSetValue EncodePointer
DecodePointer InitOnceExecuteOnce SetDllDirectoryA SetDllDirectoryW IsWow64Process
GetNativeSystemInfo GlobalMemoryStatusEx VerifyVersionInfoA VerifyVersionInfoW
VerSetConditionMask CreateHardLinkA CreateHardLinkW ReplaceFileA ReplaceFileW
MoveFileWithProgressA MoveFileWithProgressW QueueUserWorkItem CreateTimerQueue
CreateTimerQueueTimer RegisterWaitForSingleObject GetConsoleWindow AttachConsole
GetProcessId HeapSetInformation InitializeSRWLock AcquireSRWLockExclusive
ReleaseSRWLockExclusive AcquireSRWLockShared ReleaseSRWLockShared
InitializeConditionVariable SleepConditionVariableCS WakeConditionVariable
WakeAllConditionVariable CreateSymbolicLinkA CreateSymbolicLinkW
GetFinalPathNameByHandleA GetFinalPathNameByHandleW GetSystemTimePreciseAsFileTime
CompareStringEx LCMapStringEx GetLocaleInfoEx CreateEventExW CreateMutexExW
CreateSemaphoreExW GetCurrentProcessorNumber
GetAncestor MonitorFromWindow MonitorFromPoint MonitorFromRect GetMonitorInfoA
GetMonitorInfoW EnumDisplayMonitors SetLayeredWindowAttributes UpdateLayeredWindow
GetLayeredWindowAttributes AllowSetForegroundWindow LockSetForegroundWindow
GetLastInputInfo AnimateWindow GetMenuInfo SetMenuInfo PrintWindow SetProcessDPIAware
ChangeWindowMessageFilter RegisterRawInputDevices GetRawInputData
RegGetValueA RegGetValueW RegDeleteKeyExA RegDeleteKeyExW RegSetKeyValueA
RegSetKeyValueW RegOpenCurrentUser ConvertSidToStringSidA ConvertSidToStringSidW
ConvertStringSidToSidA ConvertStringSidToSidW CheckTokenMembership SystemFunction036
_time64 _localtime64 _gmtime64 _mktime64 _ctime64 _ftelli64 _fseeki64 _findfirst64
_findnext64 _wfindfirst64 _wfindnext64 _aligned_malloc _aligned_free _strtoi64
_strtoui64 _wcstoi64 _vscprintf _vscwprintf _get_errno _set_errno _initterm_e
_configthreadlocale _set_invalid_parameter_handler _controlfp_s sprintf_s
_snprintf_s _vsnprintf_s strcpy_s strncpy_s strcat_s wcscpy_s memcpy_s memmove_s
qsort_s _itoa_s"

# The size ceilings, in KiB, by the program's place in the release folder.
# Server.exe measured 401 KiB when the ceiling was set (built with -Os, the
# demangler of the runtime's terminate handler left out, stripped), 420 KiB
# with the registry-file edit of installation, 479 KiB with the check of the
# whole server (46 KiB of it: the reads of every road and their messages),
# 560 KiB with the registration and the installation staged, the account
# script watched, the front end on the dialog manager and the unattended run
# from an answer file with its log, 644 KiB with the database listed through
# rplcmd (detection, registration, installation and the check ask it) and
# the accounts verified through net, 712 KiB with every button's plan (what it
# will change, or why it refuses, in words), the dry run and the answer file
# judged by the plans, 822 KiB with the journal of every session, the undo
# (its plan, the window and /undo) and the records it takes back.
ceilings="Server.exe:896"

# Checks one "objdump -p" output of a program of that name and size in bytes;
# prints its faults, returns their number.
check_dump() {
  local dump=$1 name=$2 bytes=${3:-0}
  awk -v name="$name" -v bytes="$bytes" -v ceilings="$ceilings" -v allowed="$allowed_dlls" \
      -v denied="$denied_functions" '
    BEGIN {
      n = split(allowed, a); for (i = 1; i <= n; i++) ok_dll[tolower(a[i])] = 1
      n = split(denied, d); for (i = 1; i <= n; i++) bad_fn[d[i]] = 1
      n = split(ceilings, c); for (i = 1; i <= n; i++) { split(c[i], p, ":"); ceiling[p[1]] = p[2] }
      faults = 0
      if ((name in ceiling) && bytes > ceiling[name] * 1024) {
        printf "%s: %d bytes, above its ceiling of %d KiB\n", name, bytes, ceiling[name]; faults++
      }
    }
    # The file header'"'"'s characteristics list "symbols stripped" once the
    # symbol table is gone.
    /^Characteristics/ { in_flags = 1; next }
    in_flags && /^[ \t]+symbols stripped/ { stripped = 1 }
    in_flags && !/^[ \t]/ { in_flags = 0 }
    /^MajorSubsystemVersion/ && $2 + 0 > 4 {
      printf "%s: subsystem version %s.x is newer than NT 4.0 loads\n", name, $2; faults++
    }
    /^[ \t]*DLL Name:/ {
      dll = tolower($3); in_dll = 1
      if (!(dll in ok_dll)) { printf "%s: imports from %s, which NT 4.0 lacks\n", name, $3; faults++ }
      next
    }
    in_dll && /^[ \t]*vma:/ { next }
    in_dll && /^[ \t]*$/ { in_dll = 0; next }
    in_dll && NF >= 3 && $1 ~ /^[0-9a-f]+$/ && $2 ~ /^[0-9]+$/ {
      if ($3 in bad_fn) { printf "%s: imports %s from %s, which NT 4.0 lacks\n", name, $3, dll; faults++ }
    }
    END {
      if (!stripped) { printf "%s: carries its symbol table; the release ships stripped programs\n", name; faults++ }
      exit faults > 0
    }
  ' "$dump"
}

if [ "${1:-}" = --dump ]; then
  check_dump "$2" "${3:-$2}" "${4:-0}"
  exit $?
fi

release=${1:-$repo/dist/win32}
# rplfiles holds DOS files for the workstations, copied and never run here.
mapfile -t programs < <(find "$release" -path "$release/rplfiles" -prune -o -type f \( -iname '*.exe' -o -iname '*.com' -o -iname '*.dll' \) -print | sort)
if [ ${#programs[@]} -eq 0 ]; then
  echo "check_imports: no programs in $release" >&2
  exit 1
fi
status=0
for program in "${programs[@]}"; do
  dump=$(mktemp)
  if ! "$objdump" -p "$program" >"$dump" 2>/dev/null || ! grep -q 'DLL Name' "$dump"; then
    echo "${program#$release/}: cannot read its imports"
    status=1
  elif check_dump "$dump" "${program#$release/}" "$(stat -c %s "$program")"; then
    echo "ok: ${program#$release/}"
  else
    status=1
  fi
  rm -f "$dump"
done
exit $status
