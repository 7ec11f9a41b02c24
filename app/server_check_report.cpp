// The server check's report: its text, its exit status, and the command
// "/check FILE" that writes it without opening a window.
#include "app/server_check_parts.h"

#include "app/server.h"
#include "base/paths.h"
#include "platform/encoding.h"
#include "platform/text.h"
#include "platform/textfile.h"

namespace app {

const char* StateWord(CheckState state) {
  switch (state) {
    case CheckState::kReady: return "就绪";
    case CheckState::kMissing: return "缺少";
    case CheckState::kStale: return "过期";
    case CheckState::kUnreadable: return "无法读取";
  }
  return "";
}

const char* StateMark(CheckState state) {
  switch (state) {
    case CheckState::kReady: return "√";
    case CheckState::kMissing: return "×";
    case CheckState::kStale: return "△";
    case CheckState::kUnreadable: return "？";
  }
  return "";
}

int Severity(CheckState state) {
  switch (state) {
    case CheckState::kReady: return 0;
    case CheckState::kStale: return 1;
    case CheckState::kMissing: return 2;
    case CheckState::kUnreadable: return 3;
  }
  return 3;
}

const char* RoadHeading(Road road) {
  switch (road) {
    case Road::kAccounts: return "1. 账户和共享目录";
    case Road::kPxe: return "2. PXE 启动";
    case Road::kRpl: return "3. RPL 启动";
  }
  return "";
}

std::string CheckSummary(const ServerCheck& check) {
  const CheckState states[] = {CheckState::kReady, CheckState::kMissing, CheckState::kStale,
                               CheckState::kUnreadable};
  std::string text = "共 " + std::to_string(check.items.size()) + " 项：";
  for (size_t i = 0; i < 4; ++i) {
    size_t n = 0;
    for (const CheckItem& item : check.items) n += item.state == states[i] ? 1 : 0;
    text += std::string(i ? "，" : "") + StateWord(states[i]) + " " + std::to_string(n) + " 项";
  }
  return text + "。";
}

std::string ReportText(const ServerCheck& check, const CheckInput& in) {
  std::vector<std::string> lines = {
      "服务器检查报告",
      "计算机名：" + check.computer_name,
      "共享目录：" + in.shared_directory + "（共享名 " + check.share + "）",
      "程序目录：" + in.start_dir,
      "Windows 目录：" + in.system_root,
      CheckSummary(check),
      "标记：√ 就绪  × 缺少  △ 过期  ？ 无法读取",
  };
  for (Road road : {Road::kAccounts, Road::kPxe, Road::kRpl}) {
    lines.push_back("");
    lines.push_back(RoadHeading(road));
    for (const CheckItem& item : check.items) {
      if (item.road != road) continue;
      lines.push_back(std::string(StateMark(item.state)) + "【" + StateWord(item.state) + "】" + item.what +
                      "：" + item.found);
      if (!item.mend.empty()) lines.push_back("        处理：" + item.mend + "。");
    }
  }
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

int CheckStatus(const ServerCheck& check) {
  int worst = 0;
  for (const CheckItem& item : check.items) worst = std::max(worst, Severity(item.state));
  return worst == 0 ? 0 : worst == Severity(CheckState::kUnreadable) ? 2 : 1;
}

CheckInput StartupInput(platform::Host& host) {
  CheckInput in;
  const look::WindowLayout& layout = TForm1::Layout();
  in.shared_directory = look::FindControl(layout, "Edit1")->text;
  in.prefix = look::FindControl(layout, "Edit2")->text;
  in.count = look::FindControl(layout, "Edit3")->text;
  in.start_dir = host.CurrentDirectory();
  if (host.FileExists(paths::kTempsBak)) {
    std::vector<std::string> lines;
    if (platform::ReadTextLines(host, paths::kTempsBak, &lines))
      in.shared_directory = lines.empty() ? "" : lines[0];
    else
      in.shared_directory_unread = true;
  }
  in.system_root = host.ReadRegistry(paths::kWindowsNtKey, "SystemRoot");
  return in;
}

int CheckCommand(platform::Host& host, const std::vector<std::string>& words) {
  if (words.empty() || !platform::SameName(words[0], "/check")) return -1;
  if (words.size() != 2 || words[1].empty()) return 2;
  const CheckInput in = StartupInput(host);
  const ServerCheck check = CheckServer(host, in);
  if (!platform::WriteFileWhole(host, words[1], platform::ToCodePage(ReportText(check, in)))) return 2;
  return CheckStatus(check);
}

}  // namespace app
