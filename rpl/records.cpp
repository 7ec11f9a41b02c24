#include "rpl/records.h"

#include "base/paths.h"
#include "platform/text.h"

namespace rpl {
namespace {

const Record* Find(const std::vector<Record>& records, char kind, const std::string& name) {
  for (const Record& r : records)
    if (r.kind == kind && !r.fields.empty() && platform::SameName(r.fields[0], name)) return &r;
  return nullptr;
}

std::string Field(const Record* r, size_t i) { return r && i < r->fields.size() ? r->fields[i] : ""; }

const char kCards[] = "BBLOCK\\NETBEUI\\";

// A console program's output, a line at each CR LF, CR or LF.
std::vector<std::string> OutputLines(const std::string& printed) {
  std::vector<std::string> lines(1);
  for (size_t i = 0; i < printed.size(); ++i) {
    if (printed[i] != '\r' && printed[i] != '\n') {
      lines.back() += printed[i];
      continue;
    }
    if (printed[i] == '\r' && i + 1 < printed.size() && printed[i + 1] == '\n') ++i;
    lines.emplace_back();
  }
  if (lines.back().empty()) lines.pop_back();
  return lines;
}

}  // namespace

bool AddedRecords(const std::vector<std::string>& lines, std::vector<Record>* records) {
  for (size_t i = 0; i < lines.size();) {
    if (lines[i] == "q") return true;
    const char kind = lines[i].size() == 1 ? lines[i][0] : '\0';
    const size_t n = kind == 'V' ? 2 : kind == 'B' ? 5 : kind == 'C' ? 9 : 0;
    if (n == 0 || i + 2 + n > lines.size() || lines[i + 1] != "A") return false;
    records->push_back({kind, std::vector<std::string>(lines.begin() + i + 2, lines.begin() + i + 2 + n)});
    i += 2 + n;
  }
  return false;
}

std::vector<Record> ListedRecords(const std::vector<std::string>& lines) {
  std::vector<Record> records;
  for (const std::string& line : lines) {
    if (line.size() < 2 || line[1] != '\t' || std::string("VBC").find(line[0]) == std::string::npos) continue;
    Record r{line[0], {}};
    for (size_t from = 2;;) {
      const size_t tab = line.find('\t', from);
      r.fields.push_back(line.substr(from, tab == std::string::npos ? std::string::npos : tab - from));
      if (tab == std::string::npos) break;
      from = tab + 1;
    }
    records.push_back(r);
  }
  return records;
}

bool ListRecords(platform::Host& host, const std::string& root, std::vector<Record>* records, std::string* why) {
  records->clear();
  std::string printed;
  int code = -1;
  const platform::Host::Wait wait =
      host.RunToEndCapturing(paths::Rplcmd(root), "V\r\nL\r\nB\r\nL\r\nC\r\nL\r\nq\r\n", &printed, kListLimit, &code);
  if (wait == platform::Host::Wait::kNotStarted) {
    *why = "无法启动 rplcmd（" + paths::Rplcmd(root) + "）";
  } else if (wait == platform::Host::Wait::kTimedOut) {
    *why = "rplcmd 在 " + std::to_string(kListLimit / 1000) + " 秒内没有列出远程启动数据库中的记录，已被终止";
  } else if (code != 0) {
    const std::vector<std::string> lines = OutputLines(printed);
    *why = "rplcmd 无法列出远程启动数据库中的记录（返回值 " + std::to_string(code) + "）" +
           (lines.empty() || lines[0].empty() ? "" : "：" + lines[0]);
  } else {
    *records = ListedRecords(OutputLines(printed));
    return true;
  }
  return false;
}

std::string NotTheCards(const std::vector<Record>& added, const std::vector<Record>& listed) {
  struct Tie {
    size_t field;
    const char* name;
  };
  for (const Record& a : added) {
    const std::string what = std::string(a.kind == 'V' ? "厂商 " : a.kind == 'B' ? "启动块 " : "配置 ") + a.fields[0];
    const Record* found = Find(listed, a.kind, a.fields[0]);
    if (!found) return "没有" + what;
    std::vector<Tie> ties;
    if (a.kind == 'B') ties = {{1, "厂商"}, {2, "启动块文件"}};
    if (a.kind == 'C') ties = {{1, "启动块"}};
    for (const Tie& t : ties) {
      const std::string has = Field(found, t.field);
      if (!platform::SameName(has, a.fields[t.field]))
        return what + " 的" + t.name + "是 " + has + "，不是这块网卡的 " + a.fields[t.field];
    }
  }
  return "";
}

std::vector<std::string> VendorsOf(const std::vector<Record>& records, const std::string& block) {
  std::vector<std::string> vendors;
  const std::string dir = std::string(kCards) + block + "\\";
  for (const Record& v : records) {
    if (v.kind != 'V' || v.fields.empty()) continue;
    const std::string& name = v.fields[0];
    const Record* dos = Find(records, 'B', name + "DOS");
    const Record* win = Find(records, 'B', name + "WIN");
    const Record* dos_config = Find(records, 'C', "DOS" + name);
    const Record* win_config = Find(records, 'C', "WIN" + name);
    if (platform::SameName(Field(dos, 1), name) && platform::SameName(Field(win, 1), name) &&
        platform::SameName(Field(dos, 2), dir + "DOSBB.CNF") && platform::SameName(Field(win, 2), dir + "W95BB.CNF") &&
        platform::SameName(Field(dos_config, 1), Field(dos, 0)) &&
        platform::SameName(Field(win_config, 1), Field(win, 0)))
      vendors.push_back(name);
  }
  return vendors;
}

std::vector<std::string> CardsOf(const std::vector<Record>& records) {
  std::vector<std::string> cards;
  const std::string head = kCards;
  for (const Record& b : records) {
    const std::string file = Field(&b, 2);
    if (b.kind != 'B' || platform::Lower(file.substr(0, head.size())) != platform::Lower(head)) continue;
    const size_t end = file.find('\\', head.size());
    if (end == std::string::npos) continue;
    const std::string block = file.substr(head.size(), end - head.size());
    bool known = platform::SameName(block, "ne2000");
    for (const std::string& c : cards) known = known || platform::SameName(c, block);
    if (!known) cards.push_back(block);
  }
  return cards;
}

std::vector<std::string> DeletionScript(const std::vector<Record>& records) {
  std::vector<std::string> lines;
  for (auto r = records.rbegin(); r != records.rend(); ++r) {
    lines.push_back(std::string(1, r->kind));
    lines.push_back("D");
    lines.push_back(r->fields.empty() ? "" : r->fields[0]);
  }
  lines.push_back("q");
  return lines;
}

}  // namespace rpl
