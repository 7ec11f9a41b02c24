// A converter with the habit of Windows' own, unless told otherwise: for a
// character code page 936 lacks it writes a near one ("A" for "À", "C" for
// "Ç") and reports success. Everything else is the machine's. Put in use
// for the life of a NearConverter.
#pragma once

#include <string>

#include "platform/encoding.h"

class NearConverter {
 public:
  NearConverter() : was_(platform::UseConverter({platform::MachineConverter().to_utf8, &Near})) {}
  ~NearConverter() { platform::UseConverter(was_); }
  NearConverter(const NearConverter&) = delete;
  NearConverter& operator=(const NearConverter&) = delete;

 private:
  static bool Near(const std::string& utf8, std::string* cp936) {
    std::string text = utf8;
    for (const auto& [far, near] : {std::pair<std::string, std::string>{"À", "A"}, {"Ç", "C"}})
      for (size_t at; (at = text.find(far)) != std::string::npos;) text.replace(at, far.size(), near);
    return platform::MachineConverter().to_code_page(text, cp936);
  }
  platform::Converter was_;
};
