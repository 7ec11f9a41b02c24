// What registration's plan and its apply share.
#pragma once

#include <string>

namespace rpl {
namespace registration {

inline const char kCaption[] = "morva提示";
inline const char kUnchanged[] = "\r\n远程启动数据库没有改动，注册没有完成。";
inline std::string FileOf(const std::string& path) { return path.substr(path.find_last_of('\\') + 1); }

}  // namespace registration
}  // namespace rpl
