#include "standins/net/net.h"

#include "standins/net/net_messages.h"
#include "standins/net/records.h"

#include <algorithm>
#include <cstdint>

#include "platform/text.h"
#include "standins/rpl/rpldb.h"

namespace standins {
namespace {

using namespace net_messages;

using platform::Lower;

bool Same(const std::string& a, const std::string& b) { return platform::SameName(a, b); }

class Net {
 public:
  explicit Net(Context& context)
      : c_(context), dir_(NetStateDirectory(context.host)), records_(context.host, dir_) {}

  int Run(const std::vector<std::string>& args) {
    if (args.empty()) return Syntax(kNetSyntax);
    std::string command = Lower(args[0]);
    for (size_t i = 1; i < args.size(); ++i) {
      if (!args[i].empty() && args[i][0] == '/')
        options_.push_back(args[i]);
      else
        words_.push_back(args[i]);
    }
    if (command == "user" || command == "users") return UserCommand();
    if (command == "group" || command == "groups") return GroupCommand();
    if (command == "share") return ShareCommand();
    if (command == "start") return StartCommand();
    if (command == "stop") return StopCommand();
    return Syntax(kNetSyntax);
  }

 private:
  // ---- net user ----
  int UserCommand() {
    bool add = false, remove = false, change_set = false, change = true;
    for (const std::string& o : options_) {
      std::string lo = Lower(o);
      if (lo == "/add") {
        add = true;
      } else if (lo == "/delete") {
        remove = true;
      } else if (lo == "/domain") {
      } else if (lo == "/passwordchg:yes" || lo == "/passwordchg:no") {
        change_set = true;
        change = lo == "/passwordchg:yes";
      } else {
        return UnknownOption(o, kUserSyntax);
      }
    }
    if (words_.size() > 2 || ((add || change_set) && words_.empty())) return Syntax(kUserSyntax);
    // A user is deleted by its name alone.
    if (remove && (add || change_set || words_.size() != 1)) return Syntax(kUserSyntax);
    std::vector<User> users;
    std::vector<Group> groups;
    if (!records_.LoadUsers(&users) || !records_.LoadGroups(&groups)) return RefuseRecords();
    if (words_.empty()) return ListUsers(users);
    const std::string& name = words_[0];
    if (remove) return DeleteUser(name, users, groups);
    // A password is kept in a record line: no line end, tab or other
    // control character may come with it.
    if (words_.size() == 2 && !PlainField(words_[1])) return Refuse(kNerrBadPassword);
    if (!add) {
      User* user = Find(users, name);
      if (!user) return Refuse(kNerrUserNotFound);
      if (words_.size() == 1 && !change_set) return ShowUser(*user, groups);
      if (words_.size() == 2) user->password = words_[1];
      if (change_set) user->password_change = change;
      if (!records_.SaveUsers(users)) return Refuse(kErrorAccessDenied);
      c_.output += kDone;
      return 0;
    }
    if (!ValidAccountName(name, kMaxUserName)) return Refuse(kErrorInvalidAccountName);
    if (Find(users, name)) return Refuse(kNerrUserExists);
    if (Find(groups, name)) return Refuse(kNerrGroupExists);
    users.push_back({name, change, words_.size() > 1 ? words_[1] : ""});
    if (!records_.SaveUsers(users)) return Refuse(kErrorAccessDenied);
    c_.output += kDone;
    return 0;
  }

  // The user goes, and with it its place in every group.
  int DeleteUser(const std::string& name, std::vector<User>& users, std::vector<Group>& groups) {
    User* user = Find(users, name);
    if (!user) return Refuse(kNerrUserNotFound);
    const std::string gone = user->name;
    users.erase(users.begin() + (user - users.data()));
    bool member = false;
    for (Group& g : groups) {
      const std::size_t before = g.members.size();
      g.members.erase(std::remove_if(g.members.begin(), g.members.end(),
                                     [&](const std::string& m) { return Same(m, gone); }),
                      g.members.end());
      member = member || g.members.size() != before;
    }
    if (!(member ? records_.SaveUsersAndGroups(users, groups) : records_.SaveUsers(users)))
      return Refuse(kErrorAccessDenied);
    c_.output += kDone;
    return 0;
  }

  int ListUsers(const std::vector<User>& users) {
    std::vector<std::string> names;
    for (const User& u : users) names.push_back(u.name);
    c_.output += "\nUser accounts for \\\\" + ComputerName() + "\n\n";
    Columns(names);
    c_.output += kDone;
    return 0;
  }

  int ShowUser(const User& user, const std::vector<Group>& groups) {
    c_.output += "User name                    " + user.name + "\n";
    c_.output += std::string("User may change password     ") +
                 (user.password_change ? "Yes" : "No") + "\n";
    std::string in;
    for (const Group& g : groups)
      for (const std::string& m : g.members)
        if (Same(m, user.name)) in += " *" + g.name;
    c_.output += "Global Group memberships    " + (in.empty() ? std::string(" *None") : in) + "\n";
    c_.output += kDone;
    return 0;
  }

  // ---- net group ----
  int GroupCommand() {
    bool add = false, remove = false;
    for (const std::string& o : options_) {
      std::string lo = Lower(o);
      if (lo == "/add")
        add = true;
      else if (lo == "/delete")
        remove = true;
      else if (lo != "/domain")
        return UnknownOption(o, kGroupSyntax);
    }
    if ((add || remove) && words_.empty()) return Syntax(kGroupSyntax);
    if (add && remove) return Syntax(kGroupSyntax);
    if (!add && !remove && words_.size() > 1) return Syntax(kGroupSyntax);
    std::vector<User> users;
    std::vector<Group> groups;
    if (!records_.LoadUsers(&users) || !records_.LoadGroups(&groups)) return RefuseRecords();
    if (words_.empty()) {
      std::vector<std::string> names;
      for (const Group& g : groups) names.push_back("*" + g.name);
      c_.output += "\nGroup Accounts for \\\\" + ComputerName() + "\n\n";
      Columns(names);
      c_.output += kDone;
      return 0;
    }
    const std::string& name = words_[0];
    if (remove) return DeleteGroupOrMembers(name, users, groups);
    if (!add) {
      Group* group = Find(groups, name);
      if (!group) return Refuse(kNerrGroupNotFound);
      c_.output += "Group name     " + group->name + "\nComment\n\nMembers\n\n";
      Columns(group->members);
      c_.output += kDone;
      return 0;
    }
    if (words_.size() == 1) {
      if (!ValidAccountName(name, kMaxGroupName)) return Refuse(kErrorInvalidAccountName);
      if (Find(groups, name)) return Refuse(kNerrGroupExists);
      if (Find(users, name)) return Refuse(kNerrUserExists);
      groups.push_back({name, {}});
    } else {
      Group* group = Find(groups, name);
      if (!group) return Refuse(kNerrGroupNotFound);
      // Every member is checked before any is added, so that a refused
      // command leaves the group as it was.
      std::vector<std::string> members = group->members;
      for (size_t i = 1; i < words_.size(); ++i) {
        User* user = Find(users, words_[i]);
        if (!user) return Refuse(kNerrUserNotFound);
        for (const std::string& m : members)
          if (Same(m, user->name)) return Refuse(kNerrUserInGroup);
        members.push_back(user->name);
      }
      group->members = members;
    }
    if (!records_.SaveGroups(groups)) return Refuse(kErrorAccessDenied);
    c_.output += kDone;
    return 0;
  }

  // net group NAME /delete: the group goes; net group NAME USER... /delete:
  // the users leave it, every one checked before any leaves.
  int DeleteGroupOrMembers(const std::string& name, std::vector<User>& users, std::vector<Group>& groups) {
    Group* group = Find(groups, name);
    if (!group) return Refuse(kNerrGroupNotFound);
    if (words_.size() == 1) {
      groups.erase(groups.begin() + (group - groups.data()));
    } else {
      std::vector<std::string> members = group->members;
      for (size_t i = 1; i < words_.size(); ++i) {
        auto in = std::find_if(members.begin(), members.end(),
                               [&](const std::string& m) { return Same(m, words_[i]); });
        if (in != members.end()) {
          members.erase(in);
          continue;
        }
        return Refuse(Find(users, words_[i]) ? kNerrUserNotInGroup : kNerrUserNotFound);
      }
      group->members = members;
    }
    if (!records_.SaveGroups(groups)) return Refuse(kErrorAccessDenied);
    c_.output += kDone;
    return 0;
  }

  // ---- net share ----
  int ShareCommand() {
    bool remove = false;
    for (const std::string& o : options_) {
      if (Lower(o) != "/delete") return UnknownOption(o, kShareSyntax);
      remove = true;
    }
    if (words_.size() > 1 || (remove && words_.empty())) return Syntax(kShareSyntax);
    std::vector<Share> shares;
    if (!records_.LoadShares(&shares)) return RefuseRecords();
    if (remove) {
      Share* share = Find(shares, words_[0]);
      if (!share) return Refuse(kNerrNetNameNotFound);
      shares.erase(shares.begin() + (share - shares.data()));
      if (!records_.SaveShares(shares)) return Refuse(kErrorAccessDenied);
      c_.output += words_[0] + " was deleted successfully.\n";
      return 0;
    }
    if (words_.empty()) {
      c_.output += "\nShare name   Resource                        Remark\n\n";
      c_.output += std::string(79, '-') + "\n";
      // A name longer than its column stands on a line of its own, and its
      // folder below it, in the folder's column.
      for (const Share& s : shares) {
        const std::size_t width = Characters(s.name);
        if (width > 12)
          c_.output += s.name + "\n" + std::string(13, ' ') + s.path + "\n";
        else
          c_.output += s.name + std::string(12 - width, ' ') + " " + s.path + "\n";
      }
      c_.output += kDone;
      return 0;
    }
    size_t eq = words_[0].find('=');
    if (eq == std::string::npos) {
      Share* share = Find(shares, words_[0]);
      if (!share) return Refuse(kNerrNetNameNotFound);
      c_.output += "Share name        " + share->name + "\nPath              " + share->path +
                   "\n\n" + kDone;
      return 0;
    }
    std::string name = words_[0].substr(0, eq);
    std::string path = words_[0].substr(eq + 1);
    if (!ValidShareName(name)) return Refuse(kErrorInvalidName);
    if (Find(shares, name)) return Refuse(kNerrDuplicateShare);
    if (!PlainField(path)) return Refuse(kErrorInvalidName);
    // Only a full path of a directory on a drive of this machine is shared.
    if (!ValidSharePath(path) || !c_.host.DirectoryExists(path)) return Refuse(kNerrUnknownDevDir);
    shares.push_back({name, path});
    if (!records_.SaveShares(shares)) return Refuse(kErrorAccessDenied);
    c_.output += name + " was shared successfully.\n";
    return 0;
  }

  // ---- net start ----
  int StartCommand() {
    if (!options_.empty()) return UnknownOption(options_[0], kStartSyntax);
    std::vector<Service> installed;
    std::vector<std::string> started;
    if (!records_.LoadInstalled(&installed) || !records_.LoadStarted(&started)) return RefuseRecords();
    if (words_.empty()) {
      c_.output += "These Windows NT services are started:\n\n";
      for (const std::string& s : started) {
        Service* service = Find(installed, s);
        c_.output += "   " + (service && !service->display.empty() ? service->display : s) + "\n";
      }
      c_.output += "\n";
      c_.output += kDone;
      return 0;
    }
    const Service* service = FindService(installed);
    if (!service) return Refuse(kNerrBadServiceName);
    for (const std::string& s : started)
      if (Same(s, service->name)) return Refuse(kNerrServiceInstalled);
    std::string shown = service->display.empty() ? service->name : service->display;
    // The Remoteboot service reads its database as it starts; one it cannot
    // read stops it.
    if (Same(service->name, kRemoteboot)) {
      rpl::Database db;
      if (rpl::Load(c_.host, &db) != rpl::LoadResult::kLoaded) {
        c_.output += "The " + shown + " service is starting.\n";
        c_.error += "The " + shown + " service could not be started.\n\n";
        return Refuse(kNerrServiceSpecificError);
      }
    }
    started.push_back(service->name);
    if (!records_.SaveStarted(started)) return Refuse(kErrorAccessDenied);
    c_.output += "The " + shown + " service is starting.\n";
    c_.output += "The " + shown + " service was started successfully.\n\n";
    return 0;
  }

  // ---- net stop ----
  int StopCommand() {
    if (!options_.empty()) return UnknownOption(options_[0], kStopSyntax);
    if (words_.empty()) return Syntax(kStopSyntax);
    std::vector<Service> installed;
    std::vector<std::string> started;
    if (!records_.LoadInstalled(&installed) || !records_.LoadStarted(&started)) return RefuseRecords();
    const Service* service = FindService(installed);
    if (!service) return Refuse(kNerrBadServiceName);
    auto running = std::find_if(started.begin(), started.end(),
                                [&](const std::string& s) { return Same(s, service->name); });
    if (running == started.end()) return Refuse(kNerrServiceNotInstalled);
    started.erase(running);
    if (!records_.SaveStarted(started)) return Refuse(kErrorAccessDenied);
    const std::string shown = service->display.empty() ? service->name : service->display;
    c_.output += "The " + shown + " service is stopping.\n";
    c_.output += "The " + shown + " service was stopped successfully.\n\n";
    return 0;
  }

  // The installed service the words name, by its name or its display name;
  // a display name may come as several words when it was not quoted.
  const Service* FindService(const std::vector<Service>& installed) {
    std::string wanted;
    for (const std::string& w : words_) wanted += (wanted.empty() ? "" : " ") + w;
    const Service* service = nullptr;
    for (const Service& s : installed)
      if (Same(s.name, wanted) || (!s.display.empty() && Same(s.display, wanted))) service = &s;
    return service;
  }

  // ---- messages ----
  int Refuse(int number) {
    if (number >= 2100 && number < 6000) {
      c_.error += std::string(MessageText(number)) + "\n\nMore help is available by typing NET HELPMSG " +
                  std::to_string(number) + ".\n\n";
    } else {
      c_.error += "System error " + std::to_string(number) + " has occurred.\n\n" +
                  MessageText(number) + "\n\n";
    }
    return kExitError;
  }

  // A record file that cannot be read, or is damaged: nothing is written.
  int RefuseRecords() {
    if (records_.damage().damage == Damage::kNone) return Refuse(kErrorAccessDenied);
    c_.error += "The record file " + records_.damaged_file() + " is damaged at " +
                DamageText(records_.damage()) + "; nothing was changed.\n\n";
    return kExitError;
  }

  int Syntax(const char* syntax) {
    c_.error += std::string("The syntax of this command is:\n\n\n") + syntax + "\n";
    return kExitSyntax;
  }

  int UnknownOption(const std::string& option, const char* syntax) {
    c_.error += "The option " + option + " is unknown.\n\n";
    Syntax(syntax);
    c_.error += "More help is available by typing NET HELPMSG 3506.\n\n";
    return kExitSyntax;
  }

  void Columns(const std::vector<std::string>& names) {
    c_.output += std::string(79, '-') + "\n";
    std::string row;
    for (size_t i = 0; i < names.size(); ++i) {
      std::string cell = names[i];
      if (i % 3 != 2 && Characters(cell) < 25) cell.resize(cell.size() + 25 - Characters(cell), ' ');
      row += cell;
      if (i % 3 == 2) {
        c_.output += row + "\n";
        row.clear();
      }
    }
    while (!row.empty() && row.back() == ' ') row.pop_back();
    if (!row.empty()) c_.output += row + "\n";
  }

  std::string ComputerName() {
    std::string name = c_.host.ReadRegistry(
        "SYSTEM\\CurrentControlSet\\Control\\ComputerName\\ComputerName", "ComputerName");
    return name.empty() ? "SERVER" : name;
  }

  Context& c_;
  std::string dir_;
  NetRecords records_;
  std::vector<std::string> words_;
  std::vector<std::string> options_;
};

}  // namespace

std::string NetStateDirectory(platform::Host& host) {
  std::string dir = host.WindowsDirectory();
  if (!dir.empty() && dir.back() != '\\') dir += '\\';
  return dir + "netstate\\";
}

int NetMain(Context& context, const std::vector<std::string>& args) {
  return Net(context).Run(args);
}

}  // namespace standins
