// The DOS rules the floppy image tools follow: 8.3 names and their directory
// entry form, and DOS dates and times.
#pragma once

#include <cstdint>
#include <string>

namespace fat12 {

// Broken-down local time, as the host's clock gives it.
struct DateTime {
  int year = 1980, month = 1, day = 1, hour = 0, minute = 0, second = 0;
};

// The first and last years a DOS date can hold.
const int kFirstDosYear = 1980;
const int kLastDosYear = 2107;

// DOS date and time for a local time; times before 1980 become
// 1980-01-01 00:00:00 and times after 2107 become 2107-12-31 23:59:58. Odd
// seconds round down, as DOS keeps two-second steps.
void DosStampFromDateTime(const DateTime& when, std::uint16_t* dos_date, std::uint16_t* dos_time);
// The local time of a DOS date and time; fields out of range (month 0, day 0,
// hour 31, ...) are brought into range so the host never sees an impossible date.
DateTime DateTimeFromDosStamp(std::uint16_t dos_date, std::uint16_t dos_time);

// The UTC date and time of a count of seconds since 1970-01-01 00:00:00 UTC.
DateTime DateTimeFromUnixSeconds(long long seconds);

// The 11-byte directory-entry name ("NAME    EXT") for a host name, or false
// with the reason in `error`. Letters are stored upper case; only ASCII letters,
// digits and ! # $ % & ' ( ) - @ ^ _ ` { } ~ are accepted, and DOS device
// names (CON, NUL, COM1, ...) are refused.
bool ShortNameFor(const std::string& host_name, std::string* short_name, std::string* error);

// The host name (UTF-8) of the 11-byte name of a directory entry: blanks that
// pad the base and extension dropped, a first byte 0x05 read as 0xE5, bytes
// 0x80-0xFF read as code page 850, and the base or extension lower-cased where
// `case_flags` (byte 12 of the entry: 0x08 base, 0x10 extension) ask. False
// when the name cannot be a host name: control bytes, slashes, an empty base,
// "." or "..".
bool HostNameFromShortName(const char* name11, unsigned char case_flags, std::string* host_name);

// `s` with the ASCII letters a-z made upper case; DOS compares names so.
std::string AsciiUpper(const std::string& s);

// Appends the UTF-8 form of the Unicode code point `cp` to `out`.
void AppendUtf8(std::uint32_t cp, std::string* out);

}  // namespace fat12
