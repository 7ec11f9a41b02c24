#include "base/plan.h"

#include "platform/text.h"

namespace plan {

void Plan::Refuse(const std::string& text, const std::string& box_caption, unsigned box_flags,
                  const std::string& what_to_do, bool only_the_administrator) {
  if (refused) return;  // the first refusal is the one the button shows
  refused = true;
  message = text;
  caption = box_caption;
  flags = box_flags;
  todo = what_to_do;
  administrator = only_the_administrator;
}

std::vector<std::string> Describe(const Plan& plan) {
  std::vector<std::string> lines;
  if (plan.refused) {
    std::string message = plan.message;
    for (size_t at; (at = message.find("\r\n")) != std::string::npos;) message.replace(at, 2, " ");
    lines.push_back("拒绝：" + message);
    if (!plan.todo.empty()) lines.push_back((plan.administrator ? "需管理员：" : "处理：") + plan.todo);
    return lines;
  }
  for (const Change& c : plan.changes) lines.push_back(Describe(c));
  for (const std::string& q : plan.questions) lines.push_back("提问：" + q);
  for (const std::string& u : plan.unknown) lines.push_back("无法预先确定：" + u);
  if (lines.empty()) lines.push_back("没有要改动的");
  return lines;
}

std::string Describe(const Change& c) {
  const std::string from = c.from.empty() ? "" : "（" + c.from + "）";
  switch (c.kind) {
    case Change::kFolder: return "建立目录 " + c.path;
    case Change::kWrite: return "写入 " + c.path + from;
    case Change::kReplace: return "替换 " + c.path + from;
    case Change::kDelete: return "删除 " + c.path;
    case Change::kProgram: return "运行 " + c.path + (c.from.empty() ? "" : "（可能改动：" + c.from + "）");
    case Change::kRemoveFolder: return "删除目录 " + c.path + "（里面没有别的文件时）";
  }
  return "";
}

namespace {

bool Within(const std::string& path, const std::string& folder) {
  const std::string p = platform::Lower(path), f = platform::Lower(folder);
  if (f.empty()) return false;
  if (p == f) return true;
  const std::string head = f.back() == '\\' ? f : f + "\\";
  return p.compare(0, head.size(), head) == 0;
}

}  // namespace

bool Lists(const Plan& plan, const std::string& path) {
  for (const Change& c : plan.changes) {
    if (c.kind == Change::kProgram) {
      // The places a program may change, joined by "；".
      std::string rest = c.from;
      for (size_t at;;) {
        at = rest.find("；");
        const std::string place = rest.substr(0, at);
        if (Within(path, place)) return true;
        if (at == std::string::npos) break;
        rest = rest.substr(at + std::string("；").size());
      }
      continue;
    }
    if (c.kind == Change::kFolder ? Within(path, c.path) : platform::SameName(path, c.path)) return true;
  }
  return false;
}

std::vector<std::string> PlacesOf(const Change& c) {
  std::vector<std::string> places;
  if (c.kind != Change::kProgram) return places;
  for (size_t begin = 0; begin <= c.from.size();) {
    size_t end = c.from.find("；", begin);
    if (end == std::string::npos) end = c.from.size();
    const std::string place = c.from.substr(begin, end - begin);
    if ((place.size() >= 3 && place[1] == ':' && place[2] == '\\') || place.rfind("\\\\", 0) == 0)
      places.push_back(place);
    begin = end + std::string("；").size();
  }
  return places;
}

std::vector<std::string> ProgramPlaces(const Plan& plan) {
  std::vector<std::string> places;
  for (const Change& c : plan.changes) {
    const std::vector<std::string> more = PlacesOf(c);
    places.insert(places.end(), more.begin(), more.end());
  }
  return places;
}

}  // namespace plan
