// The machine's converter on Linux: iconv.
#include <iconv.h>

#include <cerrno>

#include "platform/encoding.h"

namespace platform {
namespace {

bool Convert(const char* to, const char* from, const std::string& in, std::string* out) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  out->assign(in.size() * 2 + 8, '\0');
  char* src = const_cast<char*>(in.data());
  size_t src_left = in.size();
  char* dst = &(*out)[0];
  size_t dst_left = out->size();
  size_t r = iconv(cd, &src, &src_left, &dst, &dst_left);
  iconv_close(cd);
  if (r == static_cast<size_t>(-1) || src_left != 0) return false;
  // iconv counts characters it could only approximate; strict means none.
  if (r != 0) return false;
  out->resize(out->size() - dst_left);
  return true;
}

bool CodePageToUtf8(const std::string& in, std::string* out) { return Convert("UTF-8", "CP936", in, out); }
bool Utf8ToCodePage(const std::string& in, std::string* out) { return Convert("CP936", "UTF-8", in, out); }

}  // namespace

Converter MachineConverter() { return {&CodePageToUtf8, &Utf8ToCodePage}; }

}  // namespace platform
