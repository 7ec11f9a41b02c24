// What the account script made, asked of net's listings.
#include "accounts/accounts_made.h"

#include <map>
#include <set>

#include "base/names.h"
#include "base/paths.h"
#include "platform/command_line.h"
#include "platform/text.h"

namespace accounts {
namespace {

std::vector<std::string> Lines(const std::string& printed) {
  std::vector<std::string> lines;
  size_t begin = 0;
  while (begin < printed.size()) {
    size_t end = printed.find('\n', begin);
    if (end == std::string::npos) end = printed.size();
    std::string line = printed.substr(begin, end - begin);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
    begin = end + 1;
  }
  return lines;
}

// The words of a line, split at blanks and tabs.
std::vector<std::string> Words(const std::string& line) {
  std::vector<std::string> words;
  std::string word;
  for (char c : line + " ") {
    if (c != ' ' && c != '\t') {
      word += c;
    } else if (!word.empty()) {
      words.push_back(word);
      word.clear();
    }
  }
  return words;
}

// One question to net, the words after its name: true when net answered
// (exit code 0) with its listing in `printed`; else `why` says what went wrong.
bool AskNet(platform::Host& host, const std::string& words, std::string* printed, std::string* why) {
  const std::string command = platform::QuotedIfBlank(paths::NetProgram(host.WindowsDirectory())) + " " + words;
  int code = 0;
  switch (host.RunToEndCapturing(command, "", printed, kNetAskLimit, &code)) {
    case platform::Host::Wait::kNotStarted:
      *why = "无法启动 " + command + "，不知道账户是否都已建立";
      return false;
    case platform::Host::Wait::kTimedOut:
      *why = command + " 运行了 " + std::to_string(kNetAskLimit / 1000) + " 秒仍没有结束，不知道账户是否都已建立";
      return false;
    case platform::Host::Wait::kFinished:
      break;
  }
  if (code == 0) return true;
  // What net said: its first line that says anything.
  std::string said;
  for (const std::string& line : Lines(*printed))
    if (said.empty() && !Words(line).empty()) said = line;
  *why = command + " 返回 " + std::to_string(code) + (said.empty() ? "" : "：" + said);
  return false;
}

// The names a listing shows in its columns, in lower case.
std::set<std::string> ListedNames(const std::string& printed) {
  std::set<std::string> names;
  for (const std::string& line : ListingLines(printed))
    for (const std::string& word : Words(line)) names.insert(platform::Lower(word));
  return names;
}

// The shares of net share's listing, by name in lower case, with their
// folders: a name begins its line and its folder follows it, or comes on the
// next line, indented, after a name too long for its column.
std::map<std::string, std::string> ListedShares(const std::string& printed) {
  std::map<std::string, std::string> shares;
  const std::vector<std::string> lines = ListingLines(printed);
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::vector<std::string> words = Words(lines[i]);
    if (words.empty() || lines[i][0] == ' ' || lines[i][0] == '\t') continue;
    std::string folder = words.size() > 1 ? words[1] : "";
    if (words.size() == 1 && i + 1 < lines.size() && !lines[i + 1].empty() &&
        (lines[i + 1][0] == ' ' || lines[i + 1][0] == '\t') && !Words(lines[i + 1]).empty())
      folder = Words(lines[i + 1])[0];
    shares[platform::Lower(words[0])] = folder;
  }
  return shares;
}

}  // namespace

std::vector<std::string> ListingLines(const std::string& printed) {
  const std::vector<std::string> lines = Lines(printed);
  size_t rule = 0;
  while (rule < lines.size() && (lines[rule].size() < 10 || lines[rule].find_first_not_of('-') != std::string::npos))
    ++rule;
  size_t end = lines.size();
  while (end > rule && Words(lines[end - 1]).empty()) --end;
  if (rule + 1 >= end) return {};
  return std::vector<std::string>(lines.begin() + static_cast<long>(rule) + 1, lines.begin() + static_cast<long>(end) - 1);
}

std::vector<std::string> MissingAccounts(platform::Host& host, const AccountFields& f) {
  std::vector<std::string> missing;
  int count = 0;
  ParseUserCount(f.count, &count);
  std::string printed, why;
  // The users, the guest account among them.
  std::vector<std::string> users = {kGuest};
  for (int i = 1; i <= count; ++i) users.push_back(UserName(f.prefix, i));
  if (AskNet(host, "user", &printed, &why)) {
    const std::set<std::string> listed = ListedNames(printed);
    for (const std::string& user : users)
      if (!listed.count(platform::Lower(user))) missing.push_back("没有用户 " + user);
  } else {
    missing.push_back(why);
  }
  // The group and its members.
  if (AskNet(host, "group " + f.group, &printed, &why)) {
    const std::set<std::string> members = ListedNames(printed);
    for (const std::string& user : users)
      if (!members.count(platform::Lower(user))) missing.push_back("用户 " + user + " 不在组 " + f.group + " 中");
  } else {
    missing.push_back(why);
  }
  // The shares, each of its own folder: the shared directory's, then the users'.
  if (AskNet(host, "share", &printed, &why)) {
    const std::map<std::string, std::string> shares = ListedShares(printed);
    std::vector<std::pair<std::string, std::string>> wanted = {{base::ShareName(f.shared_directory), f.shared_directory}};
    for (int i = 1; i <= count; ++i)
      wanted.push_back({UserName(f.prefix, i), paths::UserDirectory(f.shared_directory, UserName(f.prefix, i))});
    for (const auto& [name, folder] : wanted) {
      const auto share = shares.find(platform::Lower(name));
      if (share == shares.end())
        missing.push_back("没有共享 " + name + "（应为 " + folder + "）");
      else if (!platform::SameName(share->second, folder))
        missing.push_back("共享 " + name + " 是 " + share->second + "，不是 " + folder);
    }
  } else {
    missing.push_back(why);
  }
  return missing;
}

bool ListAccounts(platform::Host& host, const std::string& group, Listed* listed, std::string* why) {
  std::string printed;
  if (!AskNet(host, "user", &printed, why)) return false;
  listed->users = ListedNames(printed);
  if (!AskNet(host, "group", &printed, why)) return false;
  // The group listing shows each name after a star.
  for (const std::string& name : ListedNames(printed)) listed->groups.insert(name.substr(name[0] == '*' ? 1 : 0));
  if (!AskNet(host, "share", &printed, why)) return false;
  for (const auto& share : ListedShares(printed)) listed->shares.insert(share.first);
  listed->members.clear();
  if (listed->groups.count(platform::Lower(group))) {
    if (!AskNet(host, "group " + group, &printed, why)) return false;
    listed->members = ListedNames(printed);
  }
  return true;
}

std::vector<std::pair<std::string, std::string>> AddedByScript(const std::vector<std::string>& script,
                                                                const Listed& before, const std::string& net) {
  std::vector<std::pair<std::string, std::string>> added;
  const std::string program = platform::QuotedIfBlank(net);
  for (const std::string& line : script) {
    std::vector<std::string> w = platform::SplitCommandLine(line);
    if (w.size() < 3 || !platform::SameName(w[0], "net")) continue;
    const bool add = platform::SameName(w.back(), "/add") ||
                     (w.size() > 3 && platform::SameName(w[w.size() - 2], "/add"));
    std::string rest = platform::ArgumentsText(line);
    rest.erase(0, rest.find_first_not_of(" \t"));
    const std::string again = program + " " + rest;
    const std::string kind = platform::Lower(w[1]), name = platform::Lower(w[2]);
    if (kind == "user" && add && !before.users.count(name))
      added.push_back({again, program + " user " + w[2] + " /delete"});
    else if (kind == "group" && w.size() == 4 && add && !before.groups.count(name))
      added.push_back({again, program + " group " + w[2] + " /delete"});
    else if (kind == "group" && w.size() == 5 && add) {
      // A membership goes with its new user or group; one of a user and a
      // group both there before is taken back on its own.
      const bool both_there = before.groups.count(name) && before.users.count(platform::Lower(w[3]));
      if (!both_there)
        added.push_back({again, ""});
      else if (!before.members.count(platform::Lower(w[3])))
        added.push_back({again, program + " group " + w[2] + " " + w[3] + " /delete"});
    }
    else if (kind == "share" && w.size() == 3 && w[2].find('=') != std::string::npos) {
      const std::string share = w[2].substr(0, w[2].find('='));
      if (!before.shares.count(platform::Lower(share))) added.push_back({again, program + " share " + share + " /delete"});
    }
  }
  return added;
}

bool NetRecordThere(platform::Host& host, const std::string& command_line, bool* there) {
  std::vector<std::string> w = platform::SplitCommandLine(command_line);
  for (size_t i = w.size(); i-- > 1;)
    if (!w[i].empty() && w[i][0] == '/') w.erase(w.begin() + static_cast<long>(i));
  if (w.size() < 3) return false;
  const std::string kind = platform::Lower(w[1]);
  std::string printed, why;
  if (kind == "start" || kind == "stop") {
    // The services started, one a line, by the names net start shows.
    std::string service;
    for (size_t i = 2; i < w.size(); ++i) service += (i > 2 ? " " : "") + w[i];
    if (!AskNet(host, "start", &printed, &why)) return false;
    *there = false;
    for (const std::string& line : Lines(printed)) {
      const std::vector<std::string> words = Words(line);
      std::string shown;
      for (const std::string& word : words) shown += (shown.empty() ? "" : " ") + word;
      *there = *there || platform::SameName(shown, service);
    }
    return true;
  }
  const std::string name = w[2].substr(0, w[2].find('='));
  if (kind == "user" && AskNet(host, "user", &printed, &why)) {
    *there = ListedNames(printed).count(platform::Lower(name)) != 0;
    return true;
  }
  if (kind == "share" && AskNet(host, "share", &printed, &why)) {
    *there = ListedShares(printed).count(platform::Lower(name)) != 0;
    return true;
  }
  if (kind == "group" && AskNet(host, "group", &printed, &why)) {
    *there = ListedNames(printed).count("*" + platform::Lower(name)) != 0;
    if (*there && w.size() > 3) {
      if (!AskNet(host, "group " + name, &printed, &why)) return false;
      *there = ListedNames(printed).count(platform::Lower(w[3])) != 0;
    }
    return true;
  }
  return false;
}

}  // namespace accounts
