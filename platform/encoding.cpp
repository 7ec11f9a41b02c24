#include "platform/encoding.h"

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "platform/text.h"

namespace platform {

size_t CodePageCharLength(const std::string& s, size_t i) {
  unsigned char b = s[i];
  if (b < 0x80) return 1;
  if (b >= 0x81 && b <= 0xFE && i + 1 < s.size()) {
    unsigned char t = s[i + 1];
    if (t >= 0x40 && t <= 0xFE && t != 0x7F) return 2;
  }
  return 0;
}

namespace {

Converter& InUse() {
  static Converter converter = MachineConverter();
  return converter;
}

bool ToUtf8(const std::string& in, std::string* out) { return InUse().to_utf8(in, out); }
bool ToCodePage936(const std::string& in, std::string* out) { return InUse().to_code_page(in, out); }

// A byte carried as U+DC00 + byte: ED B0..B3 xx in UTF-8.
void AppendEscape(unsigned char b, std::string* out) {
  unsigned cp = 0xDC00 + b;
  out->push_back(static_cast<char>(0xE0 | (cp >> 12)));
  out->push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
  out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
}

bool IsEscape(const std::string& s, size_t i) {
  return i + 2 < s.size() && static_cast<unsigned char>(s[i]) == 0xED &&
         (static_cast<unsigned char>(s[i + 1]) & 0xFC) == 0xB0 &&
         (static_cast<unsigned char>(s[i + 2]) & 0xC0) == 0x80;
}

char EscapedByte(const std::string& s, size_t i) {
  return static_cast<char>(((s[i + 1] & 3) << 6) | (s[i + 2] & 0x3F));
}

// Length of the UTF-8 sequence at s[i], or 0 when it is not valid.
size_t Utf8Length(const std::string& s, size_t i) {
  size_t n = Utf8SequenceLength(static_cast<unsigned char>(s[i]));
  if (n == 0 || i + n > s.size()) return 0;
  for (size_t k = 1; k < n; ++k)
    if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return 0;
  return n;
}

// The lengths of one character at s[i] of a converter's output: UTF-8, and
// code page 936 (where 0x80 and 0xFF stand alone).
size_t Utf8Unit(const std::string& s, size_t i) {
  size_t n = Utf8SequenceLength(static_cast<unsigned char>(s[i]));
  return n ? n : 1;
}
size_t CodePageUnit(const std::string& s, size_t i) {
  unsigned char b = s[i];
  return b <= 0x80 || b == 0xFF || i + 1 == s.size() ? 1 : 2;
}

// A character's bytes (2 to 4) as one number, to look it up by.
std::uint32_t Key(const std::string& s, size_t i, size_t n) {
  std::uint32_t key = 0;
  for (size_t k = 0; k < n; ++k) key = key << 8 | static_cast<unsigned char>(s[i + k]);
  return key;
}

// The distinct characters of one text and what the machine's converter makes
// of them, found with few calls however long the text: all of them in one
// call, and where that fails, each half again, down to the single characters
// it refuses. A result counts only when it converts back to the same bytes.
class Batch {
 public:
  using Converter = bool (*)(const std::string&, std::string*);
  using Unit = size_t (*)(const std::string&, size_t);
  Batch(Converter there, Converter back, Unit unit) : there_(there), back_(back), unit_(unit) {}

  void Add(std::uint32_t key, const std::string& s, size_t i, size_t n) {
    if (index_.emplace(key, chars_.size()).second) chars_.push_back(s.substr(i, n));
  }

  void Convert() {
    results_.assign(chars_.size(), std::string());
    converted_.assign(chars_.size(), false);
    if (!chars_.empty()) Resolve(0, chars_.size());
  }

  // The converted character, or nullptr when it has no form there.
  const std::string* Find(std::uint32_t key) const {
    auto it = index_.find(key);
    return it != index_.end() && converted_[it->second] ? &results_[it->second] : nullptr;
  }

 private:
  void Resolve(size_t lo, size_t hi) {
    std::string joined, out, again;
    for (size_t i = lo; i < hi; ++i) joined += chars_[i];
    if (there_(joined, &out) && back_(out, &again) && again == joined) {
      // Both sides parse from the left alone, so equal joined bytes mean
      // equal characters: the output's characters are the results in order.
      std::vector<size_t> starts;
      for (size_t at = 0; at < out.size() && starts.size() <= hi - lo; at += unit_(out, at))
        starts.push_back(at);
      if (starts.size() == hi - lo) {
        starts.push_back(out.size());
        for (size_t i = lo; i < hi; ++i) {
          results_[i] = out.substr(starts[i - lo], starts[i - lo + 1] - starts[i - lo]);
          converted_[i] = true;
        }
        return;
      }
      if (hi - lo == 1) {  // one character that gives several
        results_[lo] = out;
        converted_[lo] = true;
        return;
      }
    }
    if (hi - lo == 1) return;
    size_t mid = lo + (hi - lo) / 2;
    Resolve(lo, mid);
    Resolve(mid, hi);
  }

  Converter there_, back_;
  Unit unit_;
  std::unordered_map<std::uint32_t, size_t> index_;
  std::vector<std::string> chars_, results_;
  std::vector<bool> converted_;
};

// A text converted in one call, when every character in it converts and
// converts back to the same bytes: the common case, taken first.
bool Whole(Batch::Converter there, Batch::Converter back, const std::string& in, std::string* out) {
  std::string again;
  return there(in, out) && back(*out, &again) && again == in;
}

// True when the bytes are whole characters as FromCodePage reads them. The
// machine's converter also gives some characters as single bytes outside
// that: U+20AC as 0x80, and on Windows U+F8F5 as 0xFF. Those are bytes of no
// character when read, so such characters count as having no form: they are
// refused when written rather than read back as other bytes.
bool ReadsBackAsCharacters(const std::string& cp936) {
  for (size_t i = 0, n; i < cp936.size(); i += n)
    if ((n = CodePageCharLength(cp936, i)) == 0) return false;
  return true;
}

// Code page 936 bytes of UTF-8 text; false when something had no such form:
// an escaped byte (written back as itself), a character without a form or a
// byte that is not UTF-8 (written as "?").
bool Encode(const std::string& in, std::string* out) {
  bool plain = true;  // no escape, nothing but UTF-8
  for (size_t i = 0; i < in.size() && plain; i += Utf8Unit(in, i))
    plain = !IsEscape(in, i) && Utf8Length(in, i) != 0;
  if (plain && Whole(&ToCodePage936, &ToUtf8, in, out) && ReadsBackAsCharacters(*out)) return true;
  Batch batch(&ToCodePage936, &ToUtf8, &CodePageUnit);
  for (size_t i = 0; i < in.size();) {
    size_t n = IsEscape(in, i) ? 3 : Utf8Length(in, i);
    if (n >= 2 && !IsEscape(in, i)) batch.Add(Key(in, i, n), in, i, n);
    i += n ? n : 1;
  }
  batch.Convert();
  out->clear();
  out->reserve(in.size());
  bool whole = true;
  for (size_t i = 0; i < in.size();) {
    if (IsEscape(in, i)) {
      out->push_back(EscapedByte(in, i));
      whole = false;
      i += 3;
      continue;
    }
    size_t n = Utf8Length(in, i);
    const std::string* c = n >= 2 ? batch.Find(Key(in, i, n)) : nullptr;
    if (n == 1) {
      out->push_back(in[i]);
    } else if (c && ReadsBackAsCharacters(*c)) {
      *out += *c;
    } else {
      out->push_back('?');
      whole = false;
    }
    i += n ? n : 1;
  }
  return whole;
}

}  // namespace

std::string FromCodePage(const std::string& in) {
  bool plain = true;  // every byte in a character
  for (size_t i = 0; i < in.size() && plain; i += CodePageCharLength(in, i))
    plain = CodePageCharLength(in, i) != 0;
  std::string out;
  if (plain && Whole(&ToUtf8, &ToCodePage936, in, &out)) return out;
  Batch batch(&ToUtf8, &ToCodePage936, &Utf8Unit);
  for (size_t i = 0; i < in.size();) {
    size_t n = CodePageCharLength(in, i);
    if (n == 2) batch.Add(Key(in, i, 2), in, i, 2);
    i += n ? n : 1;
  }
  batch.Convert();
  out.clear();
  out.reserve(in.size());
  for (size_t i = 0; i < in.size();) {
    size_t n = CodePageCharLength(in, i);
    const std::string* c = n == 2 ? batch.Find(Key(in, i, 2)) : nullptr;
    if (n == 1) {
      out.push_back(in[i]);  // ASCII is the same in both
    } else if (c) {
      out += *c;
    } else {
      for (size_t k = 0; k < (n ? n : 1); ++k) AppendEscape(static_cast<unsigned char>(in[i + k]), &out);
    }
    i += n ? n : 1;
  }
  return out;
}

std::string ToCodePage(const std::string& in) {
  std::string out;
  Encode(in, &out);
  return out;
}

bool IsCodePageText(const std::string& utf8) {
  std::string out;
  return Encode(utf8, &out);
}

// A near character written for one the code page lacks converts without a
// complaint; the way back shows it.
bool StrictCodePageToUtf8(const std::string& in, std::string* out) { return Whole(&ToUtf8, &ToCodePage936, in, out); }
bool StrictUtf8ToCodePage(const std::string& in, std::string* out) { return Whole(&ToCodePage936, &ToUtf8, in, out); }

Converter UseConverter(Converter converter) {
  const Converter was = InUse();
  InUse() = converter;
  return was;
}

}  // namespace platform
