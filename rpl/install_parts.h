// What the installation's plan and its apply share.
#pragma once

#include <string>

#include "base/paths.h"

namespace rpl {
namespace installation {

inline const char kCaption[] = "morva提示";
// A file of the unpacked boot image.
inline std::string FromImage(const std::string& name) { return std::string(paths::kBootImgDir) + "\\" + name; }

}  // namespace installation
}  // namespace rpl
