#include "rpl/install.h"

#include "base/names.h"
#include "base/paths.h"
#include "platform/command_line.h"
#include "platform/text.h"
#include "platform/textfile.h"
#include "pxe/floppy_files.h"
#include "rpl/bootblock.h"
#include "rpl/detect.h"
#include "rpl/install_parts.h"
#include "rpl/profiles.h"
#include "rpl/records.h"

namespace rpl {
namespace {

using installation::FromImage;
using installation::kCaption;

// The profile's files that name the card's driver. They are put in place
// after every other file of the profile, so that the driver they name is in
// winboot whichever of them is new.
bool NamesDriver(const std::string& client_file) {
  return client_file == "PROTOCOL.INI" || client_file == "SETVARS.BAT";
}

std::string Joined(const std::vector<std::string>& lines) { return platform::JoinLines(lines); }

}  // namespace

const std::vector<StartFile>& StartFiles() {
  static const std::vector<StartFile> kFiles = {
      {"autoexec.bat",
       {"if not exist D:\\winboot\\nul mkdir D:\\winboot",
        "if not exist D:\\winboot\\winboot\\nul mkdir D:\\winboot\\winboot", "copy c:\\ D:\\winboot",
        "copy c:\\winboot\\*.* D:\\winboot\\winboot", "d:", "cd \\winboot"}},
      {"config.sys", {"device=himem.sys", "device=c:\\ramdrive.sys 2048 /e"}},
      {"win.bat",
       {"set comspec=d:\\winboot\\command.com", "nwrpltrm", "fixmem", "setmdir /m /r:d:\\winboot",
        "subst a: d:\\winboot", "set comspec=A:\\command.com", "a:", "cd \\winboot",
        "call setvars.bat", "call startnet.bat"}},
      {"msdos.sys",
       {"[Paths]", "WinDir=C:\\WIN98", "WinBootDir=C:\\", "HostWinBootDrv=C", "[Options]",
        "BootMulti=1", "BootGUI=1", "Network=1", "logo=1", "LOADTOP=0"}},
  };
  return kFiles;
}

// The boot floppy's own list: the image button checks its template by it.
const std::vector<std::string>& ClientFiles() { return pxe::ClientFiles(); }

std::string InstalledDriver(const std::string& nic_type, const std::string& ndis_driver_name) {
  if (nic_type == kRtl8139) return "RTSND";
  return nic_type == kRtl8029 ? "PCIND" : ndis_driver_name;
}

InstallPlan PlanInstallation(const InstallInput& in, const InstallContent& content) {
  const std::string& root = in.system_root;
  const std::string boot = paths::ProfileBoot(root, in.profile), client = paths::ProfileClient(root, in.profile);
  const bool rtl8139 = in.nic_type == kRtl8139;
  const std::string driver = InstalledDriver(in.nic_type, in.ndis_driver_name);
  InstallPlan plan;
  std::vector<PlacedFile>& files = plan.profile;
  // The driver first: whatever is new after it, the driver named is there.
  if (rtl8139)
    files.push_back({client + "\\RTSND.DOS", FromImage("winboot\\RTSND.DOS"), ""});
  else
    files.push_back({client + "\\" + driver + ".dos", paths::NdisDriver(root, driver + ".dos"), ""});
  files.push_back({boot + "\\subst.exe", paths::ShippedSubst(in.start_dir), ""});
  files.push_back({boot + "\\io.sys", FromImage("io.sys"), ""});
  for (const StartFile& file : StartFiles()) files.push_back({boot + "\\" + file.name, "", Joined(file.lines)});
  for (const std::string& name : ClientFiles())
    if (!NamesDriver(name) && name != "RTSND.DOS") files.push_back({client + "\\" + name, FromImage("winboot\\" + name), ""});
  // Then the three files that name the driver, setvars.bat last.
  if (rtl8139) {
    files.push_back({boot + "\\system.dat", FromImage("system.dat"), ""});
    files.push_back({client + "\\PROTOCOL.INI", FromImage("winboot\\PROTOCOL.INI"), ""});
  } else {
    files.push_back({boot + "\\system.dat", "", content.system_dat});
    std::vector<std::string> ini = content.protocol_ini;
    for (std::string& line : ini) line = ReplaceFirst(line, "RTSND", driver);
    files.push_back({client + "\\PROTOCOL.INI", "", Joined(ini)});
  }
  std::vector<std::string> setvars = content.setvars;
  setvars.resize(3);
  if (!rtl8139) setvars[2] = "SET NETCARD=" + driver + ".DOS";
  setvars.push_back("SET SERVER=" + content.computer_name);
  setvars.push_back("SET SHARE=" + base::ShareName(in.shared_directory));
  files.push_back({client + "\\SETVARS.BAT", "", Joined(setvars)});
  // The image's driver goes when the profile names another.
  if (!platform::SameName(driver, "RTSND")) plan.deleted = client + "\\rtsnd.dos";
  for (const char* name : {"io.sys", "command.com"})
    plan.shared.push_back({paths::Win95BootFile(root, name), FromImage(name), ""});
  return plan;
}

InTheWay FindInTheWay(platform::Host& host, const InstallPlan& plan) {
  InTheWay way;
  std::vector<std::string> replaced;
  for (const PlacedFile& file : plan.profile) replaced.push_back(file.target);
  if (!plan.deleted.empty()) replaced.push_back(plan.deleted);
  for (const std::string& target : replaced)
    if (host.FileAttributes(target) & platform::kAttrReadOnly) way.read_only.push_back(target);
  for (const PlacedFile& file : plan.shared) replaced.push_back(file.target);
  for (const std::string& target : replaced)
    if (host.DirectoryExists(target)) way.folders.push_back(target);
  return way;
}

namespace {

// The installation's steps up to its list of changes; the profile's own
// state is added after (JudgeInstalled).
Installation PlanSteps(platform::Host& host, const InstallInput& in, const bool* go_on, bool until_question) {
  const unsigned kWarn = platform::kMbIconExclamation;
  const std::string& root = in.system_root;
  const std::string& profile = in.profile;
  const std::string item = "配置 " + profile;
  const std::string untouched = "\r\n远程启动文件和配置 " + profile + " 都没有改动。";
  Installation r;
  plan::Plan& p = r.plan;
  p.button = "安装";
  p.how = "在“网卡类型”中选 " + in.nic_type + "，按“检测”，按“更  新”，在“RPL配置名”中选 " + profile + "，按“安装”";
  auto refuse = [&](const std::string& text, const std::string& todo, bool admin) {
    p.Refuse(text + untouched, kCaption, kWarn, todo, admin);
  };
  // 1. A profile must be chosen, and 2. be one of the listing.
  bool listed = false;
  if (!profile.empty())
    for (const std::string& name : ListProfiles(host, root)) listed = listed || name == profile;
  if (!listed) {
    p.Refuse("请检查您的RPL远程配置名是否正确！", kCaption, kWarn, "按“更  新”，在“RPL配置名”中选一个配置", false);
    return r;
  }
  // The listing offers files too; only a folder is a profile.
  if (!host.DirectoryExists(paths::Profile(root, profile))) {
    refuse(profile + " 不是一个远程配置目录，无法安装。", "按“启动管理器”为网卡的 Windows 配置新建一个配置", true);
    return r;
  }
  // A custom card needs the driver registered in this run: without it the
  // profile would name a driver ".dos" that is nowhere.
  const bool rtl8139 = in.nic_type == kRtl8139;
  const std::string driver = InstalledDriver(in.nic_type, in.ndis_driver_name);
  r.card = true;  // until the card's registration is seen whole
  if (driver.empty()) {
    p.Refuse("本次运行中还没有注册自选网卡，无法确定网卡驱动程序。请先用<配置Rpl>注册您的网卡，再进行安装！",
             kCaption, kWarn, "先按“配置Rpl”注册网卡", false);
    return r;
  }
  // The card's driver must be in the Remoteboot tree before the profile
  // gives up the image's.
  const std::string registered = paths::NdisDriver(root, driver + ".dos");
  if (!rtl8139 && !host.FileExists(registered)) {
    refuse("远程启动目录中没有网卡驱动程序 " + registered + "，请先用<配置Rpl>注册网卡，再进行安装。",
           "先按“配置Rpl”注册网卡", false);
    return r;
  }
  // A Realtek card is installed only once it is registered: its files in
  // the Remoteboot tree and its records in the database (rplcmd lists them,
  // changing nothing). The install button stays unlocked when another card
  // type is chosen afterwards.
  if (rtl8139 || in.nic_type == kRtl8029) {
    std::vector<Record> records;
    std::string why;
    if (in.records) {
      records = *in.records;
    } else if (!ListRecords(host, root, &records, &why)) {
      refuse("无法列出远程启动数据库中的记录：" + why + "，不能确定网卡 " + in.nic_type + " 是否已经注册。",
             "检查远程启动服务和它的数据库", true);
      return r;
    }
    if (JudgeCard(host, root, driver, records) != CardState::kRegistered) {
      refuse("网卡 " + in.nic_type + " 还没有在远程启动服务中注册（" + paths::BootBlockDirectory(root, driver) +
                 " 中的文件或远程启动数据库中的记录不全），请先按“检测”，再按“配置Rpl”注册它，然后安装。",
             "先按“检测”，再按“配置Rpl”注册它", false);
      return r;
    }
  }
  // A driver named like a file of the image's network client would take its
  // place, or give its own up to it.
  for (const std::string& name : ClientFiles()) {
    if (name != "RTSND.DOS" && platform::SameName(name, driver + ".dos")) {
      refuse("网卡驱动程序 " + driver + ".dos 与工作站网络文件 " + name + " 同名，无法安装到同一个 winboot 中。",
             "把驱动程序改名后重新注册", true);
      return r;
    }
  }
  r.card = false;
  // 3. A DOS profile is very likely a mistake: the button asks.
  if (IsDosProfile(host, root, profile)) {
    r.asks = true;
    if (!go_on) {
      if (until_question) return r;
      p.questions.push_back("系统检测到 " + profile + " 很可能是一个DOS的远程配置名，是否仍要继续");
    } else if (!*go_on) {
      r.declined = true;
      return r;
    }
  }
  // 4. The boot image; without it the program ends.
  const std::string image = paths::TemplateImage(in.start_dir);
  if (!host.FileExists(image)) {
    p.Refuse("找不到原始镜像文件,程序异常中止！", "", 0, "把原始镜像文件放到 " + image, true);
    r.closes = true;
    return r;
  }
  // The shipped drive-substitution tool.
  const std::string subst = paths::ShippedSubst(in.start_dir);
  if (!host.FileExists(subst)) {
    refuse("找不到 " + subst + "，无法安装。", "把随程序发布的 rplfiles 目录放到 " + in.start_dir + " 中", true);
    return r;
  }
  // A file the installation must replace or delete in the profile is
  // checked before anything is touched: one made read-only (by hand, to
  // keep it) is not made writable here. The service's own io.sys and
  // command.com come read-only with the service, and are made writable
  // when replaced.
  const InstallPlan files = PlanInstallation(in, {});
  const InTheWay way = FindInTheWay(host, files);
  if (!way.read_only.empty() || !way.folders.empty()) {
    std::string todo;
    if (!way.read_only.empty()) todo = "去掉 " + base::NameList(way.read_only) + " 的只读属性";
    if (!way.folders.empty()) todo += (todo.empty() ? "" : "，") + ("把目录 " + base::NameList(way.folders) + " 改名或移走");
    const std::string& target = way.read_only.empty() ? way.folders.front() : way.read_only.front();
    refuse(way.read_only.empty() ? target + " 是一个目录，安装无法用文件替换它。"
                                 : target + " 有只读属性，安装无法" + (target == files.deleted ? "删除" : "替换") +
                                       "它。请去掉它的只读属性后重新安装。",
           todo, true);
    return r;
  }
  // The changes: the image unpacked, the profile's folders and files, the
  // image's driver deleted, the service's Windows 95 files.
  // The image is unpacked into the temporary folder, whatever the profile
  // holds: those are the temporary folder's changes, not the profile's.
  if (!host.DirectoryExists(paths::kTempDir)) p.Folder(paths::kTempDir, "临时目录");
  p.Program(platform::QuotedIfBlank(paths::Unpacker(in.start_dir)) + " " + platform::QuotedIfBlank(image) + " " +
                paths::kBootImgDir,
            std::string(paths::kBootImgDir) + "；" + paths::kBootImgSector, "临时目录");
  for (const std::string& dir : {paths::ProfileBoot(root, profile), paths::ProfileClient(root, profile)})
    if (!host.DirectoryExists(dir)) p.Folder(dir, item);
  auto put = [&](const PlacedFile& file, const std::string& for_item) {
    const std::string from = file.from.empty() ? "由解开的引导镜像和本服务器的名字、共享生成" : file.from;
    if (host.FileExists(file.target))
      p.Replace(file.target, from, for_item);
    else
      p.Write(file.target, from, for_item);
  };
  for (const PlacedFile& file : files.profile) put(file, item);
  if (!files.deleted.empty() && host.FileExists(files.deleted)) p.Delete(files.deleted, item);
  for (const PlacedFile& file : files.shared) put(file, "Windows 95 文件");
  p.unknown.push_back("解开的引导镜像中是否有安装要用的全部文件（解包之后才知道）");
  return r;
}

}  // namespace

Installation PlanInstall(platform::Host& host, const InstallInput& in, const bool* go_on, bool until_question) {
  Installation r = PlanSteps(host, in, go_on, until_question);
  JudgeInstalled(host, in, go_on, &r);
  return r;
}

void InstallWin98(platform::Host& host, platform::Ui& ui, const InstallInput& in,
                  platform::CheckBox& auto_register) {
  // What is refused before the question is refused before it shows.
  Installation r = PlanInstall(host, in, nullptr, true);
  bool go_on = true;
  if (!r.plan.refused && r.asks) {
    go_on = ui.MessageBox("系统检测到 " + in.profile + " 很可能是一个DOS的远程配置名!是否任要继续?", kCaption,
                          platform::kMbYesNo | platform::kMbIconQuestion | platform::kMbDefButton2) != platform::kIdNo;
    if (!go_on) return;
    r = PlanInstall(host, in, &go_on);
  }
  if (r.plan.refused) {
    if (r.plan.caption.empty()) {
      ui.ShowMessage(r.plan.message);
    } else {
      ui.MessageBox(r.plan.message, r.plan.caption, r.plan.flags);
    }
    if (r.closes) ui.CloseMainWindow();
    return;
  }
  ApplyInstall(host, ui, in, r, auto_register);
}

}  // namespace rpl
