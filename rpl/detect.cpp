// Detection of the chosen card type, and what makes a card registered.
#include "rpl/detect.h"

#include <algorithm>

#include "base/paths.h"
#include "platform/text.h"
#include "rpl/bootblock.h"
#include "rpl/records.h"

namespace rpl {

const char kRtl8139[] = "RTL 8139";
const char kRtl8029[] = "RTL 8029";
const char kOtherCard[] = "Other NetCARD";

const char* CardType(const std::string& block) {
  if (platform::SameName(block, "rtsnd")) return kRtl8139;
  if (platform::SameName(block, "pcind")) return kRtl8029;
  return kOtherCard;
}

std::vector<std::string> CardFiles(const std::string& root, const std::string& block) {
  std::vector<std::string> files = {paths::NdisDriver(root, block + ".dos")};
  for (const std::string& name : BootBlockFileNames()) files.push_back(paths::BootBlockFile(root, block, name));
  return files;
}

bool CardRegistered(platform::Host& host, const std::string& root, const std::string& block) {
  for (const std::string& file : CardFiles(root, block))
    if (!host.FileExists(file)) return false;
  return true;
}

bool IsCard(platform::Host& host, const std::string& root, const std::string& block) {
  for (const std::string& file : CardFiles(root, block))
    if (host.FileExists(file)) return true;
  return false;
}

CardState JudgeCard(platform::Host& host, const std::string& root, const std::string& block,
                    const std::vector<Record>& records) {
  const bool booted = !VendorsOf(records, block).empty();
  if (CardRegistered(host, root, block)) return booted ? CardState::kRegistered : CardState::kNoRecords;
  if (booted) return CardState::kNoFiles;
  return IsCard(host, root, block) ? CardState::kNoRecords : CardState::kNone;
}

Unlock DetectCard(platform::Host& host, platform::Ui& ui, const std::string& nic_type,
                  const std::string& system_root) {
  const unsigned kWarn = platform::kMbIconExclamation, kInfo = platform::kMbIconInformation;
  // 1. A card type must be chosen.
  if (nic_type.empty()) {
    ui.MessageBox("请选择网卡的类型！", "morva提示", kWarn);
    return Unlock::kNone;
  }
  // 2. The Remoteboot service with its Windows 95 files, for every card type.
  if (!host.FileExists(paths::RemotebootInstalledMark(system_root))) {
    ui.MessageBox("请检查远程启动服务是否已经安装!", "检测结果", kWarn);
    return Unlock::kNone;
  }
  // 3. and 4. A Realtek card is registered when its files are in the tree
  // and its records in the database. The driver alone is not enough:
  // without its boot-block files and records no workstation boots, and only
  // registration makes them.
  std::vector<Record> records;
  std::string why;
  if ((nic_type == kRtl8139 || nic_type == kRtl8029) && !ListRecords(host, system_root, &records, &why)) {
    const bool stop = !why.empty() && (why.back() == '.' || why.compare(why.size() - std::min<size_t>(3, why.size()), 3, "。") == 0);
    ui.MessageBox("无法列出远程启动数据库中的记录：" + why + (stop ? "" : "。") + "\r\n请检查远程启动服务是否已经安装!",
                  "检测结果", kWarn);
    return Unlock::kNone;
  }
  auto registered = [&](const char* block) {
    return JudgeCard(host, system_root, block, records) == CardState::kRegistered;
  };
  if (nic_type == kRtl8139) {
    if (registered("rtsnd")) {
      ui.MessageBox("Rtl8139 网卡检测成功！", "检测结果", kInfo);
      return Unlock::kInstall;
    }
    ui.MessageBox("Rtl8139 网卡可能没有配置,需要配置RPL", "检测结果", kWarn);
    return Unlock::kConfigure;
  }
  if (nic_type == kRtl8029) {
    if (registered("pcind")) {
      ui.MessageBox("Rtl8029 网卡检测成功！", "检测结果", kInfo);
      return Unlock::kInstall;
    }
    ui.MessageBox("RTL8029 网卡可能没有配置,需要配置RPL", "检测结果", kWarn);
    return Unlock::kConfigure;
  }
  // 5. A custom card cannot be detected: it goes to registration.
  ui.MessageBox("无法检测自定义网卡类型，请直接使用配置来设置您网卡！", "Morva提示", kInfo);
  return Unlock::kConfigure;
}

}  // namespace rpl
