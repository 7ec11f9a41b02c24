// The stand-ins' record files, read strictly: code page 936 text, one record
// a line, every line ended by CR LF, fields separated by tabs, a Ctrl-Z
// allowed only as the last byte. A file that is anything else is damaged, and
// a stand-in refuses to rewrite it, so that no record after the damage is
// lost by the next write.
#pragma once

#include <string>
#include <vector>

#include "platform/platform.h"

namespace standins {

enum class Damage {
  kNone,
  kFirstLine,         // not the format line the file must begin with
  kCtrlZ,             // a Ctrl-Z before the end of the file
  kCutShort,          // the last line has no line end
  kControlCharacter,  // a control character other than a tab inside a line
  kNotCodePage936,    // bytes that are not code page 936 text
  kRecord,            // a line that is no record of the file (the caller's check)
  kName,              // a record whose name cannot be such a name (the caller's check)
};

struct RecordFileError {
  int line = 0;  // 1-based
  Damage damage = Damage::kNone;
};

// The damage in English: "line 3: a Ctrl-Z before the end of the file".
std::string DamageText(const RecordFileError& error);

enum class ReadResult { kRead, kAbsent, kUnreadable, kDamaged };

// Reads a record file into its lines (UTF-8, without line ends). With
// `first_line`, the file must begin with that line; it is checked before
// anything else is converted, so that a file of another kind is turned away
// at once. On any result but kRead `lines` is empty.
ReadResult ReadRecordFile(platform::Host& host, const std::string& path, const char* first_line,
                          std::vector<std::string>* lines, RecordFileError* error);

// The same reading of a file's bytes.
ReadResult ParseRecordBytes(std::string bytes, const char* first_line, std::vector<std::string>* lines,
                            RecordFileError* error);

// True when the lines, written as a record file (code page 936, CR LF after
// each), read back as the very same lines: a stand-in writes no file it
// would then refuse, nor one that reads back as other records.
bool ReadsBack(const std::vector<std::string>& lines, const char* first_line);

// The fields of a line, split at every tab.
std::vector<std::string> SplitFields(const std::string& line);

// A control character: below a blank, or DEL.
bool HasControlCharacter(const std::string& s);
// A field a record may hold: no control character, code page 936 text.
bool PlainField(const std::string& s);

// A name that is safe as one component of a path inside a folder: not empty,
// no \ / : * ? " < > | or control character, not ending in a dot or a blank
// (the host drops those, so "A." and "..." would name another entry), and no
// device name (CON, PRN, AUX, NUL, COM1-9, LPT1-9, with or without an
// extension), which names no entry of the folder at all.
bool SafeComponent(const std::string& name);

}  // namespace standins
