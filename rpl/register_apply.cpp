// 配置Rpl's apply: a plan that does not refuse carried out, staged and
// committed; what was brought is taken back when rplcmd does not add the
// records.
#include "rpl/register.h"

#include <vector>

#include "base/paths.h"
#include "platform/text.h"
#include "platform/textfile.h"
#include "rpl/bootblock.h"
#include "rpl/detect.h"
#include "rpl/register_parts.h"

namespace rpl {
namespace {

using registration::FileOf;
using registration::kCaption;
using registration::kUnchanged;

// Copies `from` beside `to`, as TO.new, and makes the copy writable: a copy
// takes its source's attributes, and a release copied from a CD is
// read-only, so the copy could be neither taken back nor replaced later.
// False when either fails; the new file is then removed.
bool CopyBeside(platform::Host& host, const std::string& from, const std::string& to) {
  const std::string fresh = to + ".new";
  if (host.CopyFile(from, fresh, false) && host.SetFileAttributes(fresh, platform::kAttrArchive)) return true;
  host.DeleteFile(fresh);
  return false;
}

// What rplcmd printed, for a message: its first lines, or "" when nothing
// was printed or it cannot be read.
std::string PrintedBy(platform::Host& host, const std::string& root) {
  std::vector<std::string> lines;
  if (!platform::ReadTextLines(host, paths::RplOutput(root), &lines)) return "";
  std::string text;
  for (size_t i = 0; i < lines.size() && i < 8; ++i)
    if (!lines[i].empty()) text += "\r\n" + lines[i];
  return text.empty() ? "" : "\r\nrplcmd 的输出：" + text;
}

// The script's lines for the records of `records`, in their order.
std::vector<std::string> ScriptOf(const std::vector<Record>& records) {
  std::vector<std::string> lines;
  for (const Record& r : records) {
    lines.push_back(std::string(1, r.kind));
    lines.push_back("A");
    lines.insert(lines.end(), r.fields.begin(), r.fields.end());
  }
  lines.push_back("q");
  return lines;
}

}  // namespace

bool ApplyRegistration(platform::Host& host, platform::Ui& ui, const Registration& r) {
  const unsigned kWarn = platform::kMbIconExclamation;
  const std::string& root = r.root;
  // The DOS 6.22 system files the tree lacks, each copied beside its place
  // and moved in: a failure removes only the new file.
  for (const auto& copy : r.dos) {
    if (host.FileExists(copy.second)) continue;
    if (CopyBeside(host, copy.first, copy.second) && host.ReplaceFile(copy.second + ".new", copy.second)) continue;
    host.DeleteFile(copy.second + ".new");
    ui.MessageBox("无法把 DOS 6.22 系统文件 " + copy.first + " 复制到 " + copy.second + "，注册没有进行。", kCaption, kWarn);
    return false;
  }
  const std::string script = paths::RplScript(root), output = paths::RplOutput(root);
  const std::string block = paths::BootBlockDirectory(root, r.block);
  // The card's files: the driver first, then the boot-block files; which of
  // them this registration brings, makes beside its place, and put in place.
  struct CardFile {
    std::string path;
    bool absent = false, staged = false, brought = false;
  };
  std::vector<CardFile> files;
  std::vector<std::string> absent_blocks;
  for (const std::string& path : CardFiles(root, r.block)) {
    CardFile f{path};
    for (const std::string& a : r.absent) f.absent = f.absent || a == path;
    if (f.absent && !files.empty()) absent_blocks.push_back(FileOf(path));
    files.push_back(f);
  }
  // Takes back what this registration made; `keep_brought`: all but the
  // files it put where there were none.
  auto take_back = [&](bool keep_brought = false) {
    for (const CardFile& f : files) {
      if (f.staged) host.DeleteFile(f.path + ".new");
      if (f.brought && !keep_brought) host.DeleteFile(f.path);
    }
    host.DeleteFile(script);
    host.DeleteFile(output);
  };
  if (!r.missing_records.empty() && !platform::WriteTextLines(host, script, ScriptOf(r.missing_records))) {
    ui.MessageBox("无法写入远程启动数据库脚本 " + script + "（文件只读、被占用或磁盘已满）。" + kUnchanged,
                  kCaption, kWarn);
    return false;
  }
  // 1. Everything made beside its place: the driver (a Realtek driver only
  // when absent), then the boot-block files that are absent. A custom
  // card's driver there is made anew only when records are to be added.
  std::string failed;
  CardFile& driver = files[0];
  if (driver.absent || (!r.keep_existing_driver && !r.missing_records.empty())) {
    if (CopyBeside(host, r.driver_source, driver.path))
      driver.staged = true;
    else
      failed = "无法把网卡驱动程序 " + r.driver_source + " 复制到 " + driver.path + "。";
  }
  if (failed.empty() && !absent_blocks.empty()) {
    std::string which;
    if (!host.MakeDirectory(block) && !host.DirectoryExists(block)) {
      failed = "无法建立启动块目录 " + block + "。";
    } else {
      for (size_t i = 1; i < files.size(); ++i) files[i].staged = files[i].absent;
      if (!MakeBootBlockFiles(host, ui, r.block, &which, absent_blocks))
        failed = "启动块文件没有生成：" + which + " 缺少、无法读取或无法写入。";
    }
  }
  // 2. What was absent goes in place now: the records rplcmd adds name it.
  for (CardFile& f : files) {
    if (!failed.empty() || !f.staged || !f.absent) continue;
    if (!host.ReplaceFile(f.path + ".new", f.path)) {
      failed = "无法把新文件放到 " + f.path + "。";
      break;
    }
    f.staged = false;
    f.brought = true;
  }
  if (!failed.empty()) {
    take_back();
    ui.MessageBox(failed + kUnchanged, kCaption, kWarn);
    return false;
  }
  // A card whose records are all there is registered already. The files it
  // lacked, put in place above, stay: they complete the card the server
  // already had; those it had stay as they were.
  if (r.missing_records.empty()) {
    std::string chosen, held, completed;
    const bool other_driver = !r.keep_existing_driver && host.ReadFile(r.driver_source, &chosen) &&
                              host.ReadFile(driver.path, &held) && chosen != held;
    for (const CardFile& f : files)
      if (f.brought) completed += (completed.empty() ? "" : "、") + FileOf(f.path);
    take_back(true);
    ui.MessageBox("这块网卡已经注册过：" +
                      (completed.empty() ? "驱动程序 " + FileOf(driver.path) + " 和启动块目录 " + block +
                                               " 中的启动块文件都在"
                                         : "它缺少的 " + completed + " 已经补上") +
                      "，远程启动数据库中有它的全部记录。" +
                      (completed.empty() ? "文件和远程启动数据库都没有改动。" : "其他文件和远程启动数据库都没有改动。") +
                      (other_driver ? "\r\n所选的驱动程序 " + r.driver_source + " 与 " + driver.path +
                                          " 不同，服务器上的驱动程序保持原样。"
                                    : "") +
                      "\r\n请直接按“安装”为这块网卡安装远程启动文件。",
                  "进程提示", platform::kMbIconInformation);
    return true;
  }
  // 3. rplcmd itself, the script of the records the database lacks as its
  // input, to its end.
  int code = -1;
  const platform::Host::Wait wait = host.RunToEndWithFiles(paths::Rplcmd(root), script, output, kRplcmdLimit, &code);
  if (wait != platform::Host::Wait::kFinished || code != 0) {
    std::string why;
    if (wait == platform::Host::Wait::kNotStarted) {
      why = "无法启动 rplcmd（" + paths::Rplcmd(root) + "），或无法读取 " + script + "、写入 " + output + "。" +
            kUnchanged;
    } else if (wait == platform::Host::Wait::kTimedOut) {
      why = "rplcmd 在 " + std::to_string(kRplcmdLimit / 1000) +
            " 秒内没有结束，已被终止，注册没有完成。\r\n请在远程启动管理器中检查远程启动数据库。";
    } else {
      why = "rplcmd 拒绝了注册脚本（返回值 " + std::to_string(code) + "）。" + kUnchanged + PrintedBy(host, root);
    }
    take_back();
    ui.MessageBox(why, kCaption, kWarn);
    return false;
  }
  // 4. The records are in: the files that were there and are made anew (a
  // custom card's driver) are replaced now. One that is read-only is one
  // this registration must replace; one that still cannot be replaced stays
  // as it was, a driver of the same name.
  std::string kept;
  for (CardFile& f : files) {
    if (!f.staged) continue;
    const std::string fresh = f.path + ".new";
    if (host.ReplaceFile(fresh, f.path) ||
        (host.SetFileAttributes(f.path, platform::kAttrArchive) && host.ReplaceFile(fresh, f.path)))
      continue;
    host.DeleteFile(fresh);
    kept += "\r\n" + f.path;
  }
  if (kept.empty())
    ui.MessageBox(r.done, "进程提示", platform::kMbIconInformation);
  else
    ui.MessageBox(r.done + "\r\n下列文件无法替换（被占用），仍是原来的：" + kept, "进程提示", kWarn);
  host.DeleteFile(script);
  host.DeleteFile(output);
  host.RunCommand(paths::RplManager(root), platform::kShowNormal);
  return true;
}
}  // namespace rpl
