// The server check's report: its text, its exit status, and the command
// "/check FILE" that writes it without opening a window.
#include "app/server_check_parts.h"

#include "app/server.h"
#include "base/paths.h"
#include "platform/encoding.h"
#include "platform/text.h"
#include "platform/textfile.h"

namespace app {

Piece::Piece(size_t number) : data_(nullptr) {
  size_t at = sizeof digits_ - 1;
  do {
    digits_[--at] = static_cast<char>('0' + number % 10);
    number /= 10;
  } while (number);
  std::memmove(digits_, digits_ + at, sizeof digits_ - 1 - at);
  size_ = sizeof digits_ - 1 - at;
  digits_[size_] = '\0';
}

std::string Cat(std::initializer_list<Piece> pieces) {
  size_t size = 0;
  for (const Piece& p : pieces) size += p.size();
  std::string text;
  text.reserve(size);
  for (const Piece& p : pieces) text.append(p.data(), p.size());
  return text;
}

void Add(ServerCheck* check, Road road, const Piece& what, CheckState state, std::initializer_list<Piece> found,
         std::initializer_list<Piece> mend) {
  check->items.push_back({road, std::string(what.data(), what.size()), state, Cat(found),
                          state == CheckState::kReady ? std::string() : Cat(mend), {}});
}

void AddPlan(ServerCheck* check, Road road, const plan::Plan& plan) {
  for (const plan::Need& need : plan.needs) {
    bool known = false;
    for (const CheckItem& item : check->items) known = known || item.what == need.item;
    if (known) continue;
    CheckItem item{road, need.item, CheckState::kReady, need.found, need.todo, {}};
    if (need.unreadable) {
      item.state = CheckState::kUnreadable;
    } else if (!need.met) {
      item.state = need.administrator ? CheckState::kAdmin : CheckState::kMissing;
    } else {
      bool makes = false;
      for (const plan::Change& c : plan.changes) {
        if (c.item != need.item || c.refresh) continue;
        item.changes.push_back(plan::Describe(c));
        makes = makes || (c.kind != plan::Change::kReplace && c.kind != plan::Change::kDelete);
      }
      if (!item.changes.empty()) item.state = makes ? CheckState::kMissing : CheckState::kStale;
      item.mend = item.changes.empty() ? "" : plan.how;
    }
    check->items.push_back(std::move(item));
  }
}

CheckState After(const ServerCheck& check, std::initializer_list<const char*> needs, CheckState state,
                 std::string* mend) {
  for (const char* what : needs)
    for (const CheckItem& item : check.items)
      if (item.what == what && item.state != CheckState::kReady) {
        *mend = Cat({"先按“", what, "”一项处理，再", *mend});
        return CheckState::kAdmin;
      }
  return state;
}

const char* StateWord(CheckState state) {
  switch (state) {
    case CheckState::kReady: return "就绪";
    case CheckState::kMissing: return "缺少";
    case CheckState::kStale: return "过期";
    case CheckState::kAdmin: return "需管理员";
    case CheckState::kUnreadable: return "无法读取";
  }
  return "";
}

const char* StateMark(CheckState state) {
  switch (state) {
    case CheckState::kReady: return "√";
    case CheckState::kMissing: return "×";
    case CheckState::kStale: return "△";
    case CheckState::kAdmin: return "！";
    case CheckState::kUnreadable: return "？";
  }
  return "";
}

int Severity(CheckState state) {
  switch (state) {
    case CheckState::kReady: return 0;
    case CheckState::kStale: return 1;
    case CheckState::kMissing: return 2;
    case CheckState::kAdmin: return 3;
    case CheckState::kUnreadable: return 4;
  }
  return 4;
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
  const CheckState states[] = {CheckState::kReady, CheckState::kMissing, CheckState::kStale, CheckState::kAdmin,
                               CheckState::kUnreadable};
  // The ready items always, the others where there are any: the line fits
  // the check window's status label.
  std::string text = Cat({"共 ", check.items.size(), " 项："});
  for (size_t i = 0; i < sizeof states / sizeof states[0]; ++i) {
    size_t n = 0;
    for (const CheckItem& item : check.items) n += item.state == states[i] ? 1 : 0;
    if (i == 0 || n > 0) text += Cat({i ? "，" : "", StateWord(states[i]), " ", n, " 项"});
  }
  return text + "。";
}

std::string ReportText(const ServerCheck& check, const CheckInput& in) {
  std::string text = Cat({"服务器检查报告\r\n计算机名：", check.computer_name, "\r\n共享目录：", in.shared_directory,
                          "（共享名 ", check.share, "）\r\n程序目录：", in.start_dir, "\r\nWindows 目录：",
                          in.system_root, "\r\n", CheckSummary(check),
                          "\r\n标记：√ 就绪  × 缺少  △ 过期  ！ 需管理员  ？ 无法读取\r\n"});
  for (Road road : {Road::kAccounts, Road::kPxe, Road::kRpl}) {
    text += Cat({"\r\n", RoadHeading(road), "\r\n"});
    for (const CheckItem& item : check.items) {
      if (item.road != road) continue;
      text += Cat({StateMark(item.state), "【", StateWord(item.state), "】", item.what, "：", item.found, "\r\n"});
      if (!item.mend.empty()) text += Cat({"        处理：", item.mend, "。\r\n"});
      for (const std::string& change : item.changes) text += Cat({"        将", change, "\r\n"});
    }
  }
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
  in.group = look::FindControl(layout, "Edit4")->text;
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
