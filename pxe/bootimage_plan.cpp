// The plans of the PXE page's two buttons that change the server, "安装 PXE"
// and "生成镜像文件": what each would do, or why it would refuse, read from
// the server without changing it. The server check is made of them.
#include <algorithm>
#include <vector>

#include "base/names.h"
#include "base/paths.h"
#include "platform/command_line.h"
#include "platform/text.h"
#include "platform/textfile.h"
#include "pxe/bootimage.h"
#include "pxe/floppy_files.h"
#include "pxe/startnet.h"

namespace pxe {
namespace {

const char kPdkInstaller[] = "PXE-PDK 安装程序", kPdk[] = "已安装的 PXE-PDK";
const char kTools[] = "镜像工具", kScratch[] = "临时目录", kTemplate[] = "原始镜像文件";
const char kImage[] = "已安装的启动镜像", kNames[] = "启动镜像中的服务器和共享";
const char kNoTemplate[] = "找不到原始镜像文件,程序异常中止！";
const char kMakeImage[] = "在 PXE 页上按“生成镜像文件”";
const char kRegistry[] = "检查注册表后重新检查";

std::string Listed(const std::vector<std::string>& names) {
  std::string text;
  for (size_t i = 0; i < names.size() && i < 8; ++i) text += (i ? "、" : "") + names[i];
  if (names.size() > 8) text += " 等 " + std::to_string(names.size()) + " 个";
  return text;
}

bool ReadOnly(platform::Host& host, const std::string& path) {
  return host.FileExists(path) && (host.FileAttributes(path) & platform::kAttrReadOnly);
}

// A 1440 KB floppy read back: why it cannot be, or "" with its files.
std::string ReadFloppy(platform::Host& host, const std::string& path, FloppyFiles* files) {
  std::string image;
  if (!host.ReadFile(path, &image, kFloppyImageSize + 1)) return "无法读取 " + path + "（可能被别的程序占用）。";
  if (image.size() != kFloppyImageSize)
    return path + " 的大小为 " + std::to_string(image.size()) + (image.size() > kFloppyImageSize ? " 字节以上" : " 字节") +
           "，不是 1440 KB 软盘镜像（" + std::to_string(kFloppyImageSize) + " 字节）。";
  if (!ReadFloppyFiles(image, files)) return path + " 不是完好的 FAT12 软盘镜像，读不出其中的文件。";
  return "";
}

// Which of this program's start scripts a startnet.bat is.
std::optional<bool> AutoRegisters(const std::string& bytes) {
  for (bool on : {true, false})
    if (bytes == platform::JoinLines(StartNetLines(on ? StartNetVariant::AutoRegister : StartNetVariant::Standard)))
      return on;
  return std::nullopt;
}

const char* VariantWords(const std::optional<bool>& on) {
  return !on ? "startnet.bat 不是本程序写的" : *on ? "网卡自动注册：开" : "网卡自动注册：关";
}

}  // namespace

std::string KeptWarning(const std::string& what) { return what + "\r\n原有的 dosundi.1 未被改动，请重新生成镜像。"; }

bool EndsProgram(const plan::Plan& plan) { return plan.Refused() && plan.message == kNoTemplate; }

plan::Plan PlanBootImage(platform::Host& host, const ImageFields& fields) {
  plan::Plan p;
  p.button = "生成镜像文件";
  const std::string& start = fields.start_dir;
  const std::string program_files = host.ReadRegistry(paths::kWindowsKey, "ProgramFilesDir");
  const std::string tmpl = paths::TemplateImage(start), unpacker = paths::Unpacker(start), packer = paths::Packer(start);
  const std::string tools_todo = "把随程序发布的 unditool 目录放到 " + start + " 中";
  const std::string template_todo = "换上随程序发布的完好的 bootimg.w98（放在 " + start + "\\unditool 中）";
  const std::string not_unpacked =
      std::string("原始镜像没有解开：倒计时结束时读不到 ") + paths::kSetVarsBat + "（解包程序可能出错了）。";

  // 1. The tools (the packer is started without its extension).
  std::vector<std::string> no_tools;
  if (!host.FileExists(unpacker)) no_tools.push_back("undisk.exe");
  if (!host.FileExists(packer + ".exe")) no_tools.push_back("rplimage.exe");
  if (no_tools.empty())
    p.Met(kTools, "undisk.exe 和 rplimage.exe 都在 " + start + "\\unditool 中。");
  else
    p.Unmet(kTools, start + "\\unditool 中没有 " + Listed(no_tools) + "。", tools_todo, true);

  // 2. Where the image is unpacked and packed: c:\temp and c:\temp\bootimg
  // are made when absent, so a file in the place of either stops the
  // unpacker; an earlier run's setvars.bat and packed image are deleted
  // first, which a read-only one stops.
  std::string scratch_file, scratch_todo;
  for (const char* dir : {paths::kTempDir, paths::kBootImgDir})
    if (scratch_file.empty() && host.FileExists(dir)) scratch_file = dir;
  const bool setvars_stays = ReadOnly(host, paths::kSetVarsBat), packed_stays = ReadOnly(host, paths::kPackedImage);
  if (!scratch_file.empty()) {
    scratch_todo = "把文件 " + scratch_file + " 改名或移走";
    p.Unmet(kScratch, scratch_file + " 是一个文件：“生成镜像文件”和“安装”都要在这里解开启动镜像。", scratch_todo, true);
  } else if (setvars_stays || packed_stays) {
    const std::string file = setvars_stays ? paths::kSetVarsBat : paths::kPackedImage;
    scratch_todo = "去掉 " + file + " 的只读属性";
    p.Unmet(kScratch, file + " 是只读文件：“生成镜像文件”要先删除上一次留下的它。", scratch_todo, true);
  } else {
    p.Met(kScratch, std::string(paths::kBootImgDir) +
                        (host.DirectoryExists(paths::kBootImgDir) ? " 存在。" : " 还没有，解开启动镜像时建立。"));
  }

  // 3. The template: the boot floppy the image is made of, and the
  // installation's source. It must hold the DOS boot files, the registry
  // and the network client of its WINBOOT.
  FloppyFiles files;
  std::string template_problem;
  std::vector<std::string> lacks;
  if (!host.FileExists(tmpl)) {
    p.Unmet(kTemplate, "没有 " + tmpl + "。", template_todo, true);
  } else if (!(template_problem = ReadFloppy(host, tmpl, &files)).empty()) {
    p.Unreadable(kTemplate, template_problem, template_todo);
  } else {
    std::vector<std::string> needed = {"IO.SYS", "COMMAND.COM", "SYSTEM.DAT"};
    for (const std::string& name : ClientFiles()) needed.push_back("WINBOOT\\" + name);
    for (const std::string& name : needed)
      if (!files.count(platform::Lower(name))) lacks.push_back(name);
    if (lacks.empty())
      p.Met(kTemplate, tmpl + " 是 1440 KB 的 FAT12 软盘镜像，IO.SYS、COMMAND.COM、SYSTEM.DAT 和 WINBOOT 中的 " +
                           std::to_string(ClientFiles().size()) + " 个工作站网络文件都在。");
    else
      p.Unmet(kTemplate, tmpl + " 中缺少 " + std::to_string(lacks.size()) + " 个文件：" + Listed(lacks) + "。",
              template_todo, true);
  }
  const bool lacks_setvars =
      std::find(lacks.begin(), lacks.end(), std::string("WINBOOT\\SETVARS.BAT")) != lacks.end();

  // 4. What stands in the way of the new image: a read-only one, a folder in
  // its place, a file in the place of one of its folders.
  const std::string target = program_files.empty() ? "" : paths::PdkBootImage(program_files);
  std::string blocked_found, blocked_todo;
  if (!target.empty() && ReadOnly(host, target)) {
    blocked_found = target + " 是只读文件，“生成镜像文件”无法替换它。";
    blocked_todo = "去掉 " + target + " 的只读属性";
  } else if (!target.empty() && host.DirectoryExists(target)) {
    blocked_found = target + " 是一个目录，启动镜像无法放到那里。";
    blocked_todo = "把目录 " + target + " 改名或移走";
  } else if (!target.empty()) {
    for (int level = 1; level <= paths::kPdkImageLevels && blocked_found.empty(); ++level) {
      const std::string dir = paths::PdkImageDirectory(program_files, level);
      if (!host.FileExists(dir)) continue;
      blocked_found = dir + " 是一个文件，启动镜像的目录无法建立。";
      blocked_todo = "把文件 " + dir + " 改名或移走";
    }
  }

  // The refusal: the first of these the button meets, in its order.
  const std::string registry_todo =
      program_files.empty() || host.DirectoryExists(program_files)
          ? ""
          : "检查注册表中的 ProgramFilesDir（它指的 " + program_files + " 不存在），改正它或建立这个目录，再";
  const std::string key = std::string("HKEY_LOCAL_MACHINE") + paths::kWindowsKey + " 的 ProgramFilesDir";
  auto warn = [&](bool when, const std::string& what, const std::string& todo) {
    if (when) p.Refuse(KeptWarning(what), kImageCaption, platform::kMbIconExclamation, todo, true);
  };
  if (program_files.empty())
    p.Refuse("注册表中没有 Program Files 目录（" + key + "），找不到 PXE-PDK 的镜像目录，没有生成镜像。", kImageCaption,
             platform::kMbIconExclamation, kRegistry, true);
  if (!registry_todo.empty())
    p.Refuse("注册表中的 Program Files 目录 " + program_files + "（" + key +
                 "）不存在，找不到 PXE-PDK 的镜像目录，没有生成镜像。\r\n请检查 ProgramFilesDir，或建立这个目录。",
             kImageCaption, platform::kMbIconExclamation, registry_todo + kMakeImage, true);
  if (!host.FileExists(tmpl)) p.Refuse(kNoTemplate, "", 0, template_todo, true);
  warn(setvars_stays, std::string("无法删除上一次解开的 ") + paths::kSetVarsBat + "（文件只读或被占用），无法确认镜像是本次解开的。",
       scratch_todo);
  warn(!host.FileExists(unpacker), "无法启动解包程序 " + unpacker + "。", tools_todo);
  warn(!scratch_file.empty(), not_unpacked, scratch_todo);
  warn(!template_problem.empty() || lacks_setvars, not_unpacked, template_todo);
  warn(!lacks.empty(), tmpl + " 中缺少 " + std::to_string(lacks.size()) + " 个文件：" + Listed(lacks) +
                           "，用它做的启动镜像无法启动工作站。",
       template_todo);
  warn(packed_stays, std::string("无法删除上一次打包的镜像文件 ") + paths::kPackedImage + "（文件只读或被占用）。", scratch_todo);
  warn(!host.FileExists(packer + ".exe"), "无法启动打包程序 " + packer + "。", tools_todo);
  warn(!blocked_found.empty(), "无法写入 " + target + "（文件只读、被占用或磁盘已满）。", blocked_todo);

  // 5. The installed image and the names in it, judged whatever the
  // refusal: what is today's stays ready.
  if (program_files.empty()) {
    const char kFound[] = "读不到注册表中的 ProgramFilesDir，不知道启动镜像装在哪里。";
    p.Unreadable(kImage, kFound, kRegistry);
    p.Unreadable(kNames, kFound, kRegistry);
    return p;
  }
  const bool image_there = host.FileExists(target);
  FloppyFiles image;
  const std::string image_problem = image_there ? ReadFloppy(host, target, &image) : "";
  const bool image_read = image_there && image_problem.empty();
  const auto setvars = image.find("winboot\\setvars.bat");
  const std::string computer_name = host.ReadRegistry(paths::kComputerNameKey, "computername");
  const std::string share = base::ShareName(fields.shared_directory);
  std::string names_found, stale;
  bool names_unreadable = false;
  if (!image_there) {
    names_found = "没有启动镜像。";
  } else if (!image_read) {
    names_found = "启动镜像读不出。";
    names_unreadable = true;
  } else if (setvars == image.end()) {
    names_found = "镜像中没有 WINBOOT\\SETVARS.BAT。";
  } else if (computer_name.empty()) {
    names_found = "读不到注册表中的计算机名，无法比较。";
    names_unreadable = true;
  } else {
    const std::vector<std::string> lines = platform::SplitLines(setvars->second);
    std::string server, its_share;
    if (!SetValue(lines, "SERVER", &server))
      stale += "setvars.bat 中没有 SET SERVER 一行；";
    else if (!platform::SameName(server, computer_name))
      stale += "镜像中 SERVER=" + server + "，本机的计算机名是 " + computer_name + "；";
    if (!SetValue(lines, "SHARE", &its_share))
      stale += "setvars.bat 中没有 SET SHARE 一行；";
    else if (!platform::SameName(its_share, share))
      stale += "镜像中 SHARE=" + its_share + "，今天的共享名是 " + share + "；";
    const auto startnet = image.find("winboot\\startnet.bat");
    const std::optional<bool> variant = AutoRegisters(startnet == image.end() ? "" : startnet->second);
    names_found = stale.empty() ? "SERVER=" + server + "，SHARE=" + its_share + "，都是今天的；" + VariantWords(variant) + "。"
                                : stale + VariantWords(variant) + "。";
    // A start script asked for that is not the one installed is a change too.
    if (stale.empty() && fields.auto_register && variant != fields.auto_register) stale = "startnet.bat";
  }
  const bool today = image_read && setvars != image.end() && !computer_name.empty() && stale.empty();
  p.how = registry_todo + kMakeImage + (image_there ? "（重新生成）" : "") +
          (stale.empty() ? "" : "（服务器名或共享目录名变动后必须重新生成）");
  // A thing not made because of a need before it waits for that need.
  std::string blocker;
  for (const plan::Need& n : p.needs)
    if (!n.met && blocker.empty()) blocker = n.item;
  const std::string waits = blocker.empty() ? p.how : "先按“" + blocker + "”一项处理，再" + p.how;
  if (!blocked_found.empty())
    p.Unmet(kImage, blocked_found, blocked_todo, true);
  else if (!image_there && p.Refused())
    p.Unmet(kImage, "没有 " + target + "。", waits, true);
  else if (!image_there)
    p.Met(kImage, "没有 " + target + "。");
  else if (!image_read)
    p.Unreadable(kImage, image_problem, waits);
  else
    p.Met(kImage, target + " 是 1440 KB 的软盘镜像，可以读出。");
  if (names_unreadable)
    p.Unreadable(kNames, names_found, image_read ? kRegistry : waits);
  else if (!today && p.Refused())
    p.Unmet(kNames, names_found,
            blocker.empty() && !blocked_found.empty() ? std::string("先按“") + kImage + "”一项处理，再" + p.how : waits,
            true);
  else
    p.Met(kNames, names_found);
  if (p.Refused()) return p;

  // 6. The changes, in the button's order. The scratch work is redone at
  // every press and counts for nothing; the two scripts make the names when
  // the installed image holds none, and replace them otherwise.
  const std::string share_words = "SET SERVER=" + computer_name + "、SET SHARE=" + share;
  if (!host.DirectoryExists(paths::kTempDir)) p.Folder(paths::kTempDir, kScratch);
  if (host.FileExists(paths::kSetVarsBat)) p.Delete(paths::kSetVarsBat, kScratch);
  p.Program(platform::QuotedIfBlank(unpacker) + " " + platform::QuotedIfBlank(tmpl) + " " + paths::kBootImgDir,
            std::string(paths::kBootImgDir) + "；" + paths::kBootImgSector, kScratch);
  const bool names_there = image_read && setvars != image.end();
  const auto script = names_there ? plan::Change::kReplace : plan::Change::kWrite;
  p.changes.push_back({script, paths::kSetVarsBat, "解开的 setvars.bat 的前三行，再加 " + share_words, kNames, today});
  p.changes.push_back({script, paths::kStartNetBat,
                       !fields.auto_register ? std::string("“网卡自动注册”所选的启动脚本")
                                             : VariantWords(fields.auto_register) + std::string(" 的启动脚本"),
                       kNames, today});
  if (host.FileExists(paths::kPackedImageCheck)) p.Delete(paths::kPackedImage, kScratch);
  p.Program(platform::QuotedIfBlank(packer) + " " + paths::kBootImgDir + " " + paths::kPackedImage + " /f:1440",
            paths::kPackedImage, kScratch);
  for (plan::Change& c : p.changes) c.refresh = c.refresh || c.item == kScratch;
  p.unknown.push_back("解包程序能否在倒计时内解开原始镜像，打包程序能否在 " + std::to_string(kPackLimit / 1000) + " 秒内打好包");
  for (int level = 1; level <= paths::kPdkImageLevels; ++level) {
    const std::string dir = paths::PdkImageDirectory(program_files, level);
    if (!host.DirectoryExists(dir)) p.Folder(dir, kImage);
  }
  if (!image_there)
    p.Write(target, paths::kPackedImage, kImage);
  else
    p.Replace(target, paths::kPackedImage, image_read ? kNames : kImage, today);
  return p;
}

plan::Plan PlanPdk(platform::Host& host, const std::string& start_dir) {
  plan::Plan p;
  p.button = "安装 PXE";
  p.how = "在 PXE 页上按“安装 PXE”，按安装程序的提示装好 PXE-PDK";
  const std::string installer = paths::PdkInstaller(start_dir);
  const std::string program_files = host.ReadRegistry(paths::kWindowsKey, "ProgramFilesDir");
  const bool there = host.FileExists(installer);
  if (there) {
    p.Met(kPdkInstaller, installer + " 存在。");
  } else {
    const std::string todo = "把 PXE-PDK 2.0 的安装程序 pxe20-pdk.exe 放到 " + start_dir + "\\pxe-pdk 中";
    p.Unmet(kPdkInstaller, "没有 " + installer + "。", todo, true);
    p.Refuse("", "", 0, todo, true);  // the button starts nothing and says nothing
  }
  std::vector<std::string> missing;
  if (program_files.empty()) {
    p.Unreadable(kPdk, "读不到注册表中的 ProgramFilesDir。", kRegistry);
  } else {
    for (const std::string& program : {paths::PdkConfigurator(program_files), paths::PdkRegistrar(program_files)})
      if (!host.FileExists(program)) missing.push_back(program);
    if (missing.empty())
      p.Met(kPdk, "pxeconfig.exe 和 pxereg60.exe 都在。");
    else if (there)
      p.Met(kPdk, "没有 " + Listed(missing) + "。");
    else
      p.Unmet(kPdk, "没有 " + Listed(missing) + "。", std::string("先按“") + kPdkInstaller + "”一项处理，再" + p.how, true);
  }
  if (!there) return p;
  // The installer makes the PDK's folders below the program files folder,
  // that folder too when it is not there.
  std::string places;
  if (!program_files.empty())
    places = host.DirectoryExists(program_files) ? program_files + "\\Intel" : program_files;
  else
    p.unknown.push_back("PXE-PDK 装到哪里：注册表中没有 ProgramFilesDir");
  p.ShownProgram(platform::QuotedIfBlank(installer), places, kPdk);
  p.changes.back().refresh = !program_files.empty() && missing.empty();
  p.questions.push_back("PXE-PDK 安装程序自己的提示，由管理员回答");
  return p;
}

void ApplyPdk(platform::Host& host, const plan::Plan& plan) {
  for (const plan::Change& c : plan.changes)
    if (c.kind == plan::Change::kProgram) host.RunCommand(c.path, platform::kShowNormal);
}

bool PdkInstalled(platform::Host& host, const std::string& start_dir) {
  const plan::Plan pdk = PlanPdk(host, start_dir);
  return !pdk.Refused() &&
         std::all_of(pdk.changes.begin(), pdk.changes.end(), [](const plan::Change& c) { return c.refresh; });
}

}  // namespace pxe
