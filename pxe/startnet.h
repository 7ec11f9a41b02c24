// The workstation's network start script, startnet.bat: one of two fixed
// texts, written over whatever the file held.
#pragma once

#include <string>
#include <vector>

#include "platform/platform.h"

namespace pxe {

enum class StartNetVariant {
  AutoRegister,  // registers a new card's address, then logs on and maps the share
  Standard,      // connects with the guest account and the user's name
};

const std::vector<std::string>& StartNetLines(StartNetVariant variant);

// Creates or empties `path` and writes the variant's lines, CR LF after each.
// The directory must exist. False when the file cannot be written whole; it
// is then as it was.
bool WriteStartNet(platform::Host& host, const std::string& path, StartNetVariant variant);

// The value of the first line "SET NAME=value" of a setvars.bat (the name in
// any case), or false when there is none.
bool SetValue(const std::vector<std::string>& lines, const std::string& name, std::string* value);

}  // namespace pxe
