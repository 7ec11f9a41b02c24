#include "standins/rpl/rplcmd.h"

#include "standins/rpl/rpldb.h"

namespace standins {
namespace {

using rpl::BootBlock;
using rpl::Configuration;
using rpl::Database;
using rpl::Vendor;

const int kExitSyntax = 1;
const int kExitRefused = 2;
const int kExitDatabase = 3;

bool IsWindowSize(const std::string& s) {
  if (s.empty() || s.size() > 5) return false;
  for (char c : s)
    if (c < '0' || c > '9') return false;
  return std::stoi(s) <= 65535;
}

// What a record kind reads, for the messages.
struct Kind {
  char letter;
  const char* name;
  std::vector<const char*> fields;
};

const Kind kVendor = {'V', "vendor", {"name", "comment"}};
const Kind kBootBlock = {'B', "boot block",
                         {"boot name", "vendor name", "boot-block file", "comment", "window size"}};
const Kind kConfiguration = {'C', "configuration",
                             {"name", "boot name", "directory", "directory 2", "FIT file shared",
                              "FIT file personal", "comment", "directory 3", "directory 4"}};

class Rplcmd {
 public:
  explicit Rplcmd(Context& context) : c_(context) {}

  int Run() {
    RecordFileError damage;
    switch (rpl::Load(c_.host, &db_, &damage)) {
      case rpl::LoadResult::kLoaded:
        break;
      case rpl::LoadResult::kAbsent:
        c_.output += "The Remoteboot database " + rpl::DatabasePath(c_.host) +
                     " does not exist: the Remoteboot service is not installed.\n";
        return kExitDatabase;
      case rpl::LoadResult::kUnreadable:
        c_.output += "The Remoteboot database " + rpl::DatabasePath(c_.host) + " cannot be read.\n";
        return kExitDatabase;
      case rpl::LoadResult::kDamaged:
        c_.output += "The Remoteboot database " + rpl::DatabasePath(c_.host) +
                     " is damaged at " + DamageText(damage) + "; nothing was changed.\n";
        return kExitDatabase;
    }
    lines_ = InputLines(c_.input);
    std::vector<std::string> printed;
    bool changed = false;
    for (;;) {
      std::string letter;
      if (!Next(&letter)) return Refuse("the input ended before \"q\"");
      if (letter == "q" || letter == "Q") break;
      ++record_;
      std::string action;
      if (letter.size() != 1) return Refuse("\"" + letter + "\" is not a record letter (V, B or C)");
      char l = Upper(letter[0]);
      if (l == 'W' || l == 'P' || l == 'A')
        return Refuse(std::string("record ") + l + " is not available here; only V, B and C records");
      const Kind* kind = l == 'V' ? &kVendor : l == 'B' ? &kBootBlock : l == 'C' ? &kConfiguration : nullptr;
      if (!kind) return Refuse("\"" + letter + "\" is not a record letter (V, B or C)");
      if (!Next(&action)) return Refuse(std::string("the input ended inside a ") + kind->name + " record");
      const char a = action.size() == 1 ? Upper(action[0]) : '\0';
      if (a == 'L') {
        List(l, &printed);
        continue;
      }
      if (a != 'A' && a != 'D')
        return Refuse(std::string(kind->name) + " record: action \"" + action +
                      "\" is not available here; only A (add), D (delete) and L (list)");
      // An addition reads every field of the record, a deletion its name.
      std::vector<std::string> f(a == 'A' ? kind->fields.size() : 1);
      for (size_t i = 0; i < f.size(); ++i) {
        if (!Next(&f[i]))
          return Refuse(std::string("the input ended inside ") + kind->name + " record" +
                        (i > 0 ? " " + f[0] : std::string()) + ", before its field \"" +
                        kind->fields[i] + "\"");
        if (HasControlCharacter(f[i]))
          return Field(*kind, f, i, "holds a tab or a control character");
        if (!rpl::PlainText(f[i])) return Field(*kind, f, i, "is not code page 936 text");
      }
      std::string refusal = a == 'D'   ? Delete(*kind, f)
                            : l == 'V' ? AddVendor(f)
                            : l == 'B' ? AddBootBlock(f)
                                       : AddConfiguration(f);
      if (!refusal.empty()) return Refuse(refusal);
      printed.push_back(std::string(a == 'A' ? "Added " : "Deleted ") + kind->name + " " + f[0] + ".");
      changed = true;
    }
    // A run that only lists leaves the file alone.
    if (changed && !rpl::Save(c_.host, db_)) {
      c_.output += "The Remoteboot database " + rpl::DatabasePath(c_.host) +
                   " cannot be written; nothing was changed.\n";
      return kExitDatabase;
    }
    for (const std::string& line : printed) c_.output += line + "\n";
    c_.output += "The command completed successfully.\n";
    return 0;
  }

 private:
  static char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

  bool Next(std::string* line) {
    if (next_ >= lines_.size()) return false;
    *line = lines_[next_++];
    return true;
  }

  int Refuse(const std::string& why) {
    c_.output += "rplcmd: " + why + ". Nothing was changed.\n";
    return kExitRefused;
  }

  // The refusal of field i of a record, named by the record's name when it
  // has been read.
  std::string FieldText(const Kind& kind, const std::vector<std::string>& f, size_t i,
                        const std::string& why) {
    std::string record = std::string(kind.name) + " " + (f[0].empty() ? "(no name)" : f[0]) +
                         " (record " + std::to_string(record_) + ")";
    return record + ", field \"" + kind.fields[i] + "\" \"" + f[i] + "\": " + why;
  }
  int Field(const Kind& kind, const std::vector<std::string>& f, size_t i, const std::string& why) {
    return Refuse(FieldText(kind, f, i, why));
  }

  std::string InTree(const std::string& relative) { return rpl::TreeDirectory(c_.host) + "\\" + relative; }
  std::string InBinfiles(const std::string& relative) {
    return rpl::BinfilesDirectory(c_.host) + "\\" + relative;
  }

  // "" when the file is in the tree, else why not.
  std::string TreeFile(const std::string& relative) {
    if (!rpl::ValidTreePath(relative)) return "not a path inside the Remoteboot tree";
    if (!c_.host.FileExists(InTree(relative))) return "no such file in the Remoteboot tree (" + InTree(relative) + ")";
    return "";
  }
  std::string BinDirectory(const std::string& relative) {
    if (!rpl::ValidTreePath(relative)) return "not a directory name below the Remoteboot binfiles";
    if (!c_.host.DirectoryExists(InBinfiles(relative)))
      return "no such directory in the Remoteboot tree (" + InBinfiles(relative) + ")";
    return "";
  }

  std::string AddVendor(const std::vector<std::string>& f) {
    if (!rpl::ValidVendorName(f[0])) return FieldText(kVendor, f, 0, "not 6 hexadecimal digits");
    if (db_.FindVendor(f[0])) return FieldText(kVendor, f, 0, "the vendor exists already");
    db_.vendors.push_back({f[0], f[1]});
    return "";
  }

  std::string AddBootBlock(const std::vector<std::string>& f) {
    if (!rpl::ValidName(f[0])) return FieldText(kBootBlock, f, 0, "not a name of 1 to 15 characters without blanks");
    if (db_.FindBootBlock(f[0])) return FieldText(kBootBlock, f, 0, "the boot block exists already");
    if (!db_.FindVendor(f[1])) return FieldText(kBootBlock, f, 1, "no such vendor");
    std::string why = TreeFile(f[2]);
    if (!why.empty()) return FieldText(kBootBlock, f, 2, why);
    if (!IsWindowSize(f[4])) return FieldText(kBootBlock, f, 4, "not a number from 0 to 65535");
    db_.boot_blocks.push_back({f[0], f[1], f[2], f[3], f[4]});
    return "";
  }

  std::string AddConfiguration(const std::vector<std::string>& f) {
    if (!rpl::ValidName(f[0]))
      return FieldText(kConfiguration, f, 0, "not a name of 1 to 15 characters without blanks");
    if (db_.FindConfiguration(f[0])) return FieldText(kConfiguration, f, 0, "the configuration exists already");
    if (!db_.FindBootBlock(f[1])) return FieldText(kConfiguration, f, 1, "no such boot block");
    for (size_t i : {2, 3, 7, 8}) {
      if (i >= 7 && f[i].empty()) continue;  // directories 3 and 4 may be left empty
      std::string why = BinDirectory(f[i]);
      if (!why.empty()) return FieldText(kConfiguration, f, i, why);
    }
    for (size_t i : {4, 5}) {
      std::string why = TreeFile(f[i]);
      if (!why.empty()) return FieldText(kConfiguration, f, i, why);
    }
    db_.configurations.push_back({f[0], f[1], f[2], f[3], f[4], f[5], f[6], f[7], f[8]});
    return "";
  }

  // Every record of one kind as the database stands now, one a line.
  void List(char letter, std::vector<std::string>* printed) const {
    auto line = [&](const std::vector<std::string>& fields) {
      std::string text(1, letter);
      for (const std::string& field : fields) text += "\t" + field;
      printed->push_back(text);
    };
    if (letter == 'V')
      for (const Vendor& v : db_.vendors) line({v.name, v.comment});
    if (letter == 'B')
      for (const BootBlock& b : db_.boot_blocks) line({b.name, b.vendor, b.file, b.comment, b.window});
    if (letter == 'C')
      for (const Configuration& c : db_.configurations)
        line({c.name, c.boot, c.dir, c.dir2, c.fit_shared, c.fit_personal, c.comment, c.dir3, c.dir4});
  }

  template <typename T>
  static void Erase(std::vector<T>* records, const std::string& name) {
    for (size_t i = 0; i < records->size(); ++i)
      if (rpl::SameName((*records)[i].name, name)) records->erase(records->begin() + static_cast<long>(i--));
  }

  // A record goes only when no other record names it: a boot block its
  // vendor, a configuration its boot block, a profile its configuration.
  std::string Delete(const Kind& kind, const std::vector<std::string>& f) {
    const std::string& name = f[0];
    if (kind.letter == 'V') {
      if (!db_.FindVendor(name)) return FieldText(kind, f, 0, "no such vendor");
      for (const BootBlock& b : db_.boot_blocks)
        if (rpl::SameName(b.vendor, name)) return FieldText(kind, f, 0, "boot block " + b.name + " names it");
      Erase(&db_.vendors, name);
    } else if (kind.letter == 'B') {
      if (!db_.FindBootBlock(name)) return FieldText(kind, f, 0, "no such boot block");
      for (const Configuration& c : db_.configurations)
        if (rpl::SameName(c.boot, name)) return FieldText(kind, f, 0, "configuration " + c.name + " names it");
      Erase(&db_.boot_blocks, name);
    } else {
      if (!db_.FindConfiguration(name)) return FieldText(kind, f, 0, "no such configuration");
      for (const rpl::Profile& p : db_.profiles)
        if (rpl::SameName(p.configuration, name)) return FieldText(kind, f, 0, "profile " + p.name + " uses it");
      Erase(&db_.configurations, name);
    }
    return "";
  }

  Context& c_;
  Database db_;
  std::vector<std::string> lines_;
  size_t next_ = 0;
  int record_ = 0;
};

}  // namespace

int RplcmdMain(Context& context, const std::vector<std::string>& args) {
  if (!args.empty()) {
    context.output += "usage: rplcmd <SCRIPT\n"
                      "Reads its actions from standard input: V (vendor), B (boot block) or\n"
                      "C (configuration); A (add) and the record's fields one a line, D (delete)\n"
                      "and the record's name, or L (list); ... q.\n";
    return kExitSyntax;
  }
  return Rplcmd(context).Run();
}

}  // namespace standins
