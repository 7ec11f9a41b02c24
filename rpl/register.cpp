#include "rpl/register.h"

#include <vector>

#include "base/paths.h"
#include "platform/text.h"
#include "platform/textfile.h"
#include "rpl/bootblock.h"
#include "rpl/detect.h"
#include "rpl/records.h"
#include "rpl/register_parts.h"
#include "rpl/register_plan.h"
#include "rpl/tree.h"

namespace rpl {
namespace registration {
namespace {

const char kBadAddress[] = "网卡地址不对，程序异常返回!";
const unsigned kWarn = platform::kMbIconExclamation;

}  // namespace

void Planner::Refuse(const std::string& need, const std::string& text, const std::string& todo, bool admin) {
  if (p.refused) return;
  p.Refuse(text, kCaption, kWarn, todo, admin);
  prereq = need;
}

void Planner::CardRefusal() {
  if (!p.refused) return;
  const std::string first_unmet = FirstUnmet(p);
  if (!prereq.empty() && !first_unmet.empty() && missing_files.empty() && !vendors.empty() && folders.empty())
    p.Met(item, found);  // registered whole: it boots, whatever else stops a new registration
  else if (prereq.empty() || first_unmet.empty())  // the card's own
    p.Unmet(item, found, p.todo, p.administrator);
  else if (missing_files.empty() && !unlisted.empty())  // whether it boots, no one can tell
    p.Unreadable(item, found, "先按“" + first_unmet + "”一项处理");
  else
    p.Unmet(item, found, "先按“" + first_unmet + "”一项处理，再" + p.how, true);
}

Registration Planner::Plan() {
  r.root = root;
  p.button = "配置Rpl";
  if (!ChooseCard()) return r;
  LookAtTree();
  RefuseBeforeDialog();
  JudgeDosFiles();
  LookAtCardFiles();
  // The database, as rplcmd lists it (changing nothing), and what the
  // card's item finds. A plan with the dialog's answers asks after the
  // answers are judged.
  rplcmd = host.FileExists(paths::Rplcmd(root));
  item = CardItem(block);
  if (!asked && !(answers && answers->until_dialog)) LookAtDatabase();
  if (p.refused) {
    CardRefusal();
    return r;
  }
  for (const auto& copy : r.dos) p.Write(copy.second, copy.first, "DOS 6.22 文件");
  r.asks = true;
  if (answers && answers->until_dialog) return r;
  if (!JudgeAnswers()) return r;
  TakeCardColumn();
  if (asked) LookAtDatabase();
  if (!RefuseAfterAnswers()) return r;
  PlanChanges();
  return r;
}

bool Planner::ChooseCard() {
  // 1. A card type must be chosen.
  if (in.nic_type.empty()) {
    p.Refuse("请选择网卡类型！", kCaption, kWarn, "在“网卡类型”中选工作站的网卡", false);
    return false;
  }
  realtek = in.nic_type == kRtl8139 || in.nic_type == kRtl8029;
  custom = in.nic_type == kOtherCard;
  if (!realtek && !custom) {
    p.Refuse("", "", 0, "在“网卡类型”中选工作站的网卡", false);
    return false;
  }
  asked = answers && answers->answered;
  chosen = answers ? answers->driver : "";
  r.block = in.nic_type == kRtl8139 ? "rtsnd" : in.nic_type == kRtl8029 ? "pcind"
            : !chosen.empty()       ? DriverBaseName(chosen) : in.card;
  // The steps that make the button do this plan.
  p.how = "在“网卡类型”中选 " + in.nic_type + "，按“检测”，再按“配置Rpl”，" +
          (custom ? "选驱动程序 " + chosen + "，" : "") + "填工作站网卡地址的前六位";
  return true;
}

void Planner::RefuseBeforeDialog() {
  // A plan made for the advice goes through detection, which unlocks this
  // button only where the service with its Windows 95 files is installed.
  if (!asked && !(answers && answers->until_dialog) && !host.FileExists(paths::RemotebootInstalledMark(root))) {
    p.Refuse("请检查远程启动服务是否已经安装!", "检测结果", kWarn, p.needs[1].todo, true);
    prereq = "Windows 95 文件";
  }
  const std::string incomplete = IncompleteTree(host, root);
  if (!incomplete.empty()) Refuse("远程启动目录", incomplete, p.needs[2].todo, true);
  for (const std::string& file : Dos622Files()) {
    const std::string from = paths::Dos622Source(start, file), to = paths::Dos622Target(root, file);
    const There at = Look(host, to);
    if (at == There::kPresent) continue;
    if (at == There::kUnknown)
      Refuse("DOS 6.22 文件", "无法列出 " + FolderOf(to) + "，不能确定其中有没有 DOS 6.22 系统文件 " + file + "，注册没有进行。",
             "检查该目录的权限后重新检查", false);
    else if (host.DirectoryExists(to))
      Refuse("远程启动目录", "无法把 DOS 6.22 系统文件 " + from + " 复制到 " + to + "，注册没有进行。", p.needs[2].todo, true);
    else if (!host.FileExists(from))
      Refuse("DOS 6.22 文件", "无法把 DOS 6.22 系统文件 " + from + " 复制到 " + to + "，注册没有进行。",
             "把 DOS 6.22 的 " + file + " 放到 " + start + "\\rplfiles\\dos622 中", true);
    else
      r.dos.push_back({from, to});
  }
}

bool Planner::JudgeAnswers() {
  // 3. The dialog: the vendor prefix, and a custom card's driver.
  if (!asked) {
    p.questions.push_back(custom ? "客户机网卡信息：网卡的 DOS NDIS 驱动程序和工作站网卡地址的前六位"
                                 : "工作站网卡地址的前六位");
    p.unknown.push_back("远程启动数据库中的厂商前缀是否已经属于另一块网卡（要等填了工作站网卡地址的前六位）");
  }
  r.vendor = asked ? answers->vendor : "";
  if (asked && realtek && r.vendor.empty())
    p.Refuse("您没有输入或选择网卡前六位地址，程序异常返回！", kCaption, kWarn, "填工作站网卡地址的前六位", false);
  if (custom && (chosen.empty() || !host.FileExists(chosen))) {
    if (asked)
      p.Refuse("网卡NDIS驱动程序没有找到，程序异常中止!", kCaption, kWarn, "选一个在的驱动程序", false);
    else
      p.Refuse("", "", 0,
               "找到网卡 " + block + " 的 DOS NDIS 驱动程序 " + block + ".DOS，在“网卡类型”中选 " + kOtherCard +
                   "，按“检测”，再按“配置Rpl”，选驱动程序 该文件，填工作站网卡地址的前六位",
               true);
  }
  if (asked && !p.refused && !IsVendorPrefix(r.vendor))
    p.Refuse(kBadAddress, kCaption, kWarn, "填工作站网卡地址的前六位（六个十六进制数字）", false);
  if (asked && custom && !p.refused) {
    // The base name names a directory, a file and database records: the
    // file must be NAME.DOS with a DOS name, or the boot block would name a
    // driver that is not there.
    const std::string file = FileOf(chosen);
    const std::string name = DriverBaseName(chosen);
    if (!IsDriverFileName(file)) {
      p.Refuse("网卡驱动程序 " + file +
                   " 的文件名不是“名字.DOS”的形式（名字为 1 到 8 个字符的 DOS 文件名，"
                   "不能含空格或点，也不能是设备名），程序异常返回!",
               kCaption, kWarn, "把驱动程序改名为“名字.DOS”后再选择", true);
    } else if (platform::SameName(name, "ne2000")) {
      // The NE2000's boot-block folder holds the service's own templates,
      // which every registration copies: they are never written over.
      p.Refuse("远程启动服务用它自带的启动块支持 " + name + " 网卡，" + paths::BootBlockDirectory(root, name) +
                   " 是所有网卡启动块的模板，不能再注册。程序异常返回!",
               kCaption, kWarn, "NE2000 网卡用远程启动服务自带的启动块", true);
    } else {
      // The two Realtek names belong to the cards of the list: a custom
      // card by one of them would take the Realtek card's driver and block.
      for (const char* rtl : {kRtl8139, kRtl8029}) {
        const char* own = rtl == kRtl8139 ? "rtsnd" : "pcind";
        if (platform::SameName(name, own))
          p.Refuse("网卡驱动程序 " + file + " 与 " + rtl + " 网卡的驱动程序 " +
                       paths::NdisDriver(root, std::string(own) + ".dos") + " 同名，不能作为自选网卡注册：" + rtl +
                       " 网卡请在“网卡类型”中选 " + rtl + "；别的网卡请把驱动程序改名后再选择。程序异常返回!",
                   kCaption, kWarn, std::string("在“网卡类型”中选 ") + rtl, false);
      }
    }
  }
  if (p.refused) {
    CardRefusal();
    return false;
  }
  return true;
}

void Planner::TakeCardColumn() {
  // What registration does for this card.
  if (in.nic_type == kRtl8139) {
    r.driver_source = paths::ShippedDriver(start, "rtsnd.dos");
    r.script_driver = "rtsnd";
    r.dos_comment = "DOS 6.22 FOR RTL8139", r.windows_comment = "Windows 98SE FOR RTL8139";
    r.vendor_comment = "RTL8139 Netcard(100/10M)";
    r.done = "Rtl8139注册完成，配置远程启动之前请首先进行<检查配置>";
  } else if (in.nic_type == kRtl8029) {
    r.driver_source = paths::ShippedDriver(start, "pcind.dos");
    r.script_driver = "PCIND";
    r.dos_comment = "DOS 6.22 FOR RTL8029", r.windows_comment = "Windows 98SE FOR RTL8029";
    r.vendor_comment = "Rtl8029 Netcard(10M)";
    r.done = "Rtl8029注册完成，配置远程启动之前请首先进行<检查配置>";
  } else {
    r.driver_source = chosen;
    r.keep_existing_driver = false;
    r.script_driver = block;
    r.dos_comment = "DOS 6.22 FOR " + block + "(" + r.vendor + ")";
    r.windows_comment = "Windows 98SE FOR " + block + "(" + r.vendor + ")";
    r.vendor_comment = block + " NetCard";
    r.done = "自选网卡完成，配置远程启动之前请首先进行<检查配置>";
  }
  r.driver_target = files[0];
  r.named = true;
}

bool Planner::RefuseAfterAnswers() {
  // 4. Each of the card's files must be seen there or not.
  for (size_t i = 0; i < files.size(); ++i)
    if (there[i] == There::kUnknown) {
      p.Refuse("无法列出 " + FolderOf(files[i]) + "，不能确定其中有没有 " + FileOf(files[i]) + "。" + kUnchanged,
               kCaption, kWarn, "检查该目录的权限后重新检查", false);
      p.Unreadable(item, found, "检查 " + FolderOf(files[i]) + " 的权限后重新检查");
      return false;
    }
  // 5. The card's own records, and those of them the database holds.
  if (!unlisted.empty()) {
    Refuse(rplcmd ? "远程启动数据库" : "远程启动服务程序",
           "无法列出远程启动数据库中的记录：" + unlisted + "，注册没有进行。" + kUnchanged,
           rplcmd ? "检查远程启动服务和它的数据库" : kService, true);
    CardRefusal();
    return false;
  }
  if (asked) {
    std::vector<Record> own;
    AddedRecords(RplScriptLines(r.script_driver, r.vendor, r.dos_comment, r.windows_comment, r.vendor_comment), &own);
    for (const Record& rec : own) {
      const std::string lacking = NotTheCards({rec}, listed);
      if (lacking.empty()) continue;
      if (lacking.compare(0, std::string("没有").size(), "没有") == 0) {
        r.missing_records.push_back(rec);
        continue;
      }
      p.Refuse("远程启动数据库中的" + lacking + "：厂商前缀 " + r.vendor +
                   " 已经属于另一块网卡。请填这块网卡的工作站网卡地址的前六位。" + kUnchanged,
               kCaption, kWarn, "填这块网卡的工作站网卡地址的前六位", false);
      CardRefusal();
      return false;
    }
  }
  // Without the vendor: the records a registration adds are needed when no
  // vendor of the database boots the card.
  records_to_add = asked ? !r.missing_records.empty() : vendors.empty();
  // 6. The files to bring: the driver (a Realtek driver only when absent),
  // then the boot-block files that are absent, from the NE2000 templates.
  r.driver_there = there[0] == There::kPresent;
  if (!r.driver_there || !r.keep_existing_driver) {
    if (!host.FileExists(r.driver_source)) {
      Refuse(realtek ? "随程序发布的 RPL 文件" : "",
             "无法把网卡驱动程序 " + r.driver_source + " 复制到 " + r.driver_target + "。" + kUnchanged,
             realtek ? p.needs[3].todo : "选一个在的驱动程序", true);
      CardRefusal();
      return false;
    }
  }
  std::vector<std::string> templates_needed;
  for (const std::string& name : absent_blocks)
    if (!host.FileExists(paths::BootBlockTemplate(root, name))) templates_needed.push_back(name);
  if (!templates_needed.empty()) {
    r.missing_templates = templates_needed.size();
    Refuse("NE2000 启动块模板",
           "启动块文件没有生成：" + paths::BootBlockTemplate(root, templates_needed[0]) + " 缺少、无法读取或无法写入。" +
               kUnchanged,
           p.needs[5].todo, true);
    CardRefusal();
    return false;
  }
  for (size_t i = 0; i < files.size(); ++i)
    if (there[i] == There::kAbsent && host.DirectoryExists(files[i])) {
      Refuse("", "无法把新文件放到 " + files[i] + "。" + kUnchanged,
             "把目录 " + Names(folders) + " 改名或移走，再" + p.how, true);
      CardRefusal();
      return false;
    }
  return true;
}

void Planner::PlanChanges() {
  // The changes, for the card's item.
  if (!r.driver_there) {
    p.Write(r.driver_target, r.driver_source, item);
    r.absent.push_back(r.driver_target);
  } else if (!r.keep_existing_driver && records_to_add) {
    p.Replace(r.driver_target, r.driver_source, item);
  }
  const std::string block_dir = paths::BootBlockDirectory(root, block);
  if (!absent_blocks.empty() && !host.DirectoryExists(block_dir)) p.Folder(block_dir, item);
  for (const std::string& name : absent_blocks) {
    const std::string to = paths::BootBlockFile(root, block, name);
    p.Write(to, paths::BootBlockTemplate(root, name) + "，换入 " + block, item);
    r.absent.push_back(to);
  }
  if (records_to_add) {
    p.Program(paths::Rplcmd(root) + " < " + paths::RplScript(root) + " > " + paths::RplOutput(root),
              tree + "；" + paths::RplScript(root) + "；" + paths::RplOutput(root), item);
    p.Program(paths::RplManager(root), "", item);
  }
  if (cards_listed)
    p.Met(item, found);
  else
    p.Unreadable(item, found, "检查该目录的权限后重新检查");
}

}  // namespace registration

Registration PlanRegistration(platform::Host& host, const RegistrationInput& in, const RegistrationAnswers* answers) {
  Registration r = registration::Planner(host, in, answers).Plan();
  plan::Plan& p = r.plan;
  if (!p.refused) return r;
  // A refused registration makes nothing: what it would have made waits
  // for what stopped it.
  const std::string prereq = registration::FirstUnmet(p);
  for (plan::Need& need : p.needs) {
    bool makes = false;
    for (const plan::Change& c : p.changes) makes = makes || c.item == need.item;
    if (!need.met || !makes) continue;
    need.met = false;
    need.administrator = true;
    need.todo = "先按“" + prereq + "”一项处理，再" + p.how;
  }
  p.changes.clear();
  return r;
}


bool RegisterCard(platform::Host& host, platform::Ui& ui, const RegistrationInput& in,
                  TForm3& form3, TGetNetDrv& chooser, CustomDriver* custom) {
  // What can be refused before the dialog is refused before it shows.
  RegistrationAnswers none;
  none.until_dialog = true;
  const Registration before = PlanRegistration(host, in, &none);
  const plan::Plan& first = before.plan;
  if (first.refused && !before.asks) {
    if (!first.message.empty()) ui.MessageBox(first.message, first.caption, first.flags);
    return false;
  }
  RegistrationAnswers answers;
  answers.answered = true;
  if (in.nic_type == kOtherCard) {
    if (chooser.Show(ui) != platform::kMrOk) return false;
    answers.driver = chooser.NDISTALK.Text();
    answers.vendor = chooser.MACTALK.Text();
    custom->path = answers.driver;
  } else {
    if (ui.ShowModal(form3) != platform::kMrOk) return false;
    answers.vendor = form3.MAC.Text();
  }
  const Registration r = PlanRegistration(host, in, &answers);
  // A custom card's driver name is set once its answers have passed.
  if (in.nic_type == kOtherCard && r.named) custom->name = r.block;
  if (r.plan.refused) {
    // The templates a registration would make boot-block files from, each
    // missing one reported as the making of them reports it.
    for (size_t i = 0; i < r.missing_templates; ++i) ui.ShowMessage("远程启动可能没有正确安装!");
    ui.MessageBox(r.plan.message, r.plan.caption, r.plan.flags);
    return false;
  }
  return ApplyRegistration(host, ui, r);
}

}  // namespace rpl
