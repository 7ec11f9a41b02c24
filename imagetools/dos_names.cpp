#include "imagetools/dos_names.h"

#include <algorithm>
#include <cstring>

#include "imagetools/fat12.h"

namespace fat12 {
namespace {

// Code page 850 (the default DOS code page for western Europe) bytes
// 0x80-0xFF as Unicode, for short names that use them.
const std::uint16_t kCp850High[128] = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7,
    0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5,
    0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,
    0x00FF, 0x00D6, 0x00DC, 0x00F8, 0x00A3, 0x00D8, 0x00D7, 0x0192,
    0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA,
    0x00BF, 0x00AE, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x00C1, 0x00C2, 0x00C0,
    0x00A9, 0x2563, 0x2551, 0x2557, 0x255D, 0x00A2, 0x00A5, 0x2510,
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x00E3, 0x00C3,
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x00A4,
    0x00F0, 0x00D0, 0x00CA, 0x00CB, 0x00C8, 0x0131, 0x00CD, 0x00CE,
    0x00CF, 0x2518, 0x250C, 0x2588, 0x2584, 0x00A6, 0x00CC, 0x2580,
    0x00D3, 0x00DF, 0x00D4, 0x00D2, 0x00F5, 0x00D5, 0x00B5, 0x00FE,
    0x00DE, 0x00DA, 0x00DB, 0x00D9, 0x00FD, 0x00DD, 0x00AF, 0x00B4,
    0x00AD, 0x00B1, 0x2017, 0x00BE, 0x00B6, 0x00A7, 0x00F7, 0x00B8,
    0x00B0, 0x00A8, 0x00B7, 0x00B9, 0x00B3, 0x00B2, 0x25A0, 0x00A0,
};

// Names DOS gives to devices; a file of such a name cannot be reached.
const char* const kDevices[] = {"CON",  "PRN",  "AUX",  "NUL",  "COM1", "COM2",
                                "COM3", "COM4", "LPT1", "LPT2", "LPT3", "CLOCK$"};

bool IsShortNameChar(unsigned char c) {
  if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) return true;
  return c != 0 && std::strchr("!#$%&'()-@^_`{}~", c) != nullptr;
}

}  // namespace

std::string AsciiUpper(const std::string& s) {
  std::string upper = s;
  for (char& c : upper)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return upper;
}

void AppendUtf8(std::uint32_t cp, std::string* out) {
  if (cp < 0x80) {
    out->push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out->push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out->push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out->push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out->push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out->push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

void DosStampFromDateTime(const DateTime& when, std::uint16_t* dos_date, std::uint16_t* dos_time) {
  if (when.year < kFirstDosYear) {
    *dos_date = (0 << 9) | (1 << 5) | 1;
    *dos_time = 0;
    return;
  }
  if (when.year > kLastDosYear) {
    *dos_date = static_cast<std::uint16_t>((127 << 9) | (12 << 5) | 31);
    *dos_time = static_cast<std::uint16_t>((23 << 11) | (59 << 5) | 29);
    return;
  }
  *dos_date = static_cast<std::uint16_t>(((when.year - kFirstDosYear) << 9) | (when.month << 5) |
                                         when.day);
  *dos_time = static_cast<std::uint16_t>((when.hour << 11) | (when.minute << 5) | (when.second / 2));
}

DateTime DateTimeFromDosStamp(std::uint16_t dos_date, std::uint16_t dos_time) {
  static const int kDays[12] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  DateTime when;
  when.year = kFirstDosYear + (dos_date >> 9);
  when.month = std::min(std::max((dos_date >> 5) & 0x0F, 1), 12);
  bool leap = (when.year % 4 == 0 && when.year % 100 != 0) || when.year % 400 == 0;
  int days = (when.month == 2 && !leap) ? 28 : kDays[when.month - 1];
  when.day = std::min(std::max(dos_date & 0x1F, 1), days);
  when.hour = std::min(dos_time >> 11, 23);
  when.minute = std::min((dos_time >> 5) & 0x3F, 59);
  when.second = std::min((dos_time & 0x1F) * 2, 58);
  return when;
}

DateTime DateTimeFromUnixSeconds(long long seconds) {
  long long days = seconds / 86400;
  long long rest = seconds % 86400;
  if (rest < 0) {
    rest += 86400;
    --days;
  }
  // Civil date from a day count (proleptic Gregorian calendar).
  days += 719468;
  long long era = (days >= 0 ? days : days - 146096) / 146097;
  long long day_of_era = days - era * 146097;
  long long year_of_era =
      (day_of_era - day_of_era / 1460 + day_of_era / 36524 - day_of_era / 146096) / 365;
  long long day_of_year = day_of_era - (365 * year_of_era + year_of_era / 4 - year_of_era / 100);
  long long mp = (5 * day_of_year + 2) / 153;
  DateTime when;
  when.day = static_cast<int>(day_of_year - (153 * mp + 2) / 5 + 1);
  when.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  when.year = static_cast<int>(year_of_era + era * 400 + (when.month <= 2 ? 1 : 0));
  when.hour = static_cast<int>(rest / 3600);
  when.minute = static_cast<int>(rest / 60 % 60);
  when.second = static_cast<int>(rest % 60);
  return when;
}

void ClampStamps(Tree* tree, std::uint16_t dos_date, std::uint16_t dos_time) {
  std::uint32_t limit = (static_cast<std::uint32_t>(dos_date) << 16) | dos_time;
  for (Tree& child : tree->children) {
    if (((static_cast<std::uint32_t>(child.dos_date) << 16) | child.dos_time) > limit) {
      child.dos_date = dos_date;
      child.dos_time = dos_time;
    }
    ClampStamps(&child, dos_date, dos_time);
  }
}

bool ShortNameFor(const std::string& host_name, std::string* short_name, std::string* error) {
  size_t dot = host_name.find('.');
  std::string base = host_name.substr(0, dot);
  std::string ext = dot == std::string::npos ? std::string() : host_name.substr(dot + 1);
  if (base.empty() || base.size() > 8 || ext.size() > 3 || ext.find('.') != std::string::npos ||
      (dot != std::string::npos && ext.empty())) {
    *error = "not a valid 8.3 name (at most 8 characters, a dot and at most 3 more)";
    return false;
  }
  for (char c : host_name) {
    if (c != '.' && !IsShortNameChar(static_cast<unsigned char>(c))) {
      *error = "not a valid 8.3 name: only letters, digits and ! # $ % & ' ( ) - @ ^ _ ` { } ~ "
               "may be used";
      return false;
    }
  }
  std::string upper_base = AsciiUpper(base);
  for (const char* device : kDevices) {
    if (upper_base == device) {
      *error = "not usable as a file name: DOS reserves " + upper_base + " for a device";
      return false;
    }
  }
  *short_name = upper_base + std::string(8 - base.size(), ' ') + AsciiUpper(ext) +
                std::string(3 - ext.size(), ' ');
  return true;
}

bool HostNameFromShortName(const char* name11, unsigned char case_flags, std::string* host_name) {
  std::string base, ext;
  for (int i = 0; i < 11; ++i) {
    unsigned char c = static_cast<unsigned char>(name11[i]);
    if (i == 0 && c == 0x05) c = 0xE5;  // 0xE5 as the first byte is stored as 0x05
    if (c < 0x20 || c == '/' || c == '\\' || c == 0x7F) return false;
    std::string& part = i < 8 ? base : ext;
    if (c >= 'A' && c <= 'Z' && (case_flags & (i < 8 ? 0x08 : 0x10)))
      c = static_cast<unsigned char>(c - 'A' + 'a');
    if (c >= 0x80)
      AppendUtf8(kCp850High[c - 0x80], &part);
    else
      part.push_back(static_cast<char>(c));
  }
  while (!base.empty() && base.back() == ' ') base.pop_back();
  while (!ext.empty() && ext.back() == ' ') ext.pop_back();
  if (base.empty() || base == "." || base == "..") return false;
  *host_name = ext.empty() ? base : base + "." + ext;
  return true;
}

}  // namespace fat12
