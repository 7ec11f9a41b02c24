#include "tests/admin/world.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <sstream>

#include <unistd.h>

#include "app/answer_file.h"
#include "app/answer_run.h"
#include "app/answer_run_parts.h"
#include "app/undo.h"
#include "app/undo_window.h"
#include "app/server_check_window.h"
#include "base/paths.h"
#include "platform/text.h"
#include "pxe/bootimage.h"
#include "pxe/wait_dialog.h"
#include "rpl/driver_chooser.h"
#include "rpl/vendor_prefix_dialog.h"
#include "standins/net/net.h"
#include "standins/net/records.h"
#include "standins/rpl/rpldb.h"
#include "standins/rpl/rplmgr.h"
#include "standins/sim_standins.h"
#include "platform/encoding.h"
#include "tests/admin/advice.h"
#include "tests/admin/promises.h"
#include "tests/app/server_check_session.h"
#include "tests/image_files.h"

namespace fs = std::filesystem;

namespace admin {

const std::vector<std::string> kSharedPool = {"D:\\PVDROOT", "D:\\ROOM2",   "D:\\PVD ROOT", "D:\\PVDROOT\\SUB", "",
                                              "Z:\\PVDROOT", "D:\\À",       "D:\\共享目录", "D:\\" + std::string(40, 'L')};
const std::vector<std::string> kPrefixPool = {"USER", "WS",  "",    "US ER", "U;",  "用户",
                                              "A=B",  "W\t", "W,1", "W?",    "LONGPREFIXFORTHEUSERS"};
const std::vector<std::string> kCountPool = {"30", "3", "0", "", "-1", "abc", "2147483647", "100000", " 5 ", "1000"};
const std::vector<std::string> kGroupPool = {"PXEUSERS", "ROOM2", "", "PXE USERS", "G:1", "组", "G[1]"};
const std::vector<std::string> kCardPool = {"RTL 8139", "RTL 8029", "Other NetCARD", ""};
const std::vector<std::string> kVendorPool = {"00E04C", "5254AB", "001122", "00001B", "", "XYZ", "00e04c", "0A0B0C"};
const std::vector<std::string> kDriverPool = {"C:\\DRIVERS\\NIC\\MYNIC.DOS", "C:\\DRIVERS\\NIC\\NIC1.DOS",
                                              "C:\\DRIVERS\\NIC\\missing.DOS", "C:\\DRIVERS\\NIC\\RTSND.DOS",
                                              "C:\\DRIVERS\\NIC\\NE2000.DOS"};

namespace {

const char kJournal[] = "c:\\korrin\\journal";

std::string TempRoot() {
  // Memory is faster than the disk for the many small trees of a run.
  const char* shm = "/dev/shm";
  std::string base = fs::is_directory(shm) && access(shm, W_OK) == 0 ? shm : fs::temp_directory_path().string();
  std::string tmpl = base + "/admin-XXXXXX";
  return mkdtemp(&tmpl[0]);
}

// The registration's two dialogs answered: the vendor-prefix dialog given
// `mac` and closed with `prefix_result`, the driver chooser given `driver`
// and `chooser_mac` and closed with `chooser_result`; any other window (the
// check's, help, the statement) read and closed with `other`.
std::function<platform::ModalResult(platform::ModalWindow&)> Dialogs(
    const std::string& mac, platform::ModalResult prefix_result, const std::string& driver,
    const std::string& chooser_mac, platform::ModalResult chooser_result, platform::ModalResult other) {
  return [=](platform::ModalWindow& window) {
    if (auto* prefix = dynamic_cast<rpl::TForm3*>(&window)) {
      prefix->MAC.SetText(mac);
      return prefix_result;
    }
    if (auto* chooser = dynamic_cast<rpl::TGetNetDrv*>(&window)) {
      chooser->NDISTALK.SetText(driver);
      chooser->MACTALK.SetText(chooser_mac);
      return chooser_result;
    }
    return other;
  };
}

std::string WindowsPath(const std::string& root, const fs::path& native) {
  const std::string rel = fs::relative(native, root).generic_string();
  std::string path(1, static_cast<char>(std::toupper(static_cast<unsigned char>(rel[0]))));
  path += ":";
  std::string rest = rel.substr(1);
  std::replace(rest.begin(), rest.end(), '/', '\\');
  return path + (rest.empty() ? "\\" : rest);
}

// A file's size and hash; a floppy image's by its files (tests/image_files.h).
std::string Digest(const std::string& bytes) {
  const std::string digested = ImageFiles(bytes);
  return std::to_string(digested.size()) + ":" + std::to_string(std::hash<std::string>()(digested));
}

using check_test::ReadNative;

void WriteNative(const std::string& native, const std::string& bytes) {
  std::ofstream(native, std::ios::binary | std::ios::trunc) << bytes;
}

// The stand-in of the PDK's installer: run to its end, it has put its two
// programs in place.
int PdkInstaller(platform::SimHost& host, const std::vector<std::string>&, const std::string&, std::string*) {
  const std::string files = host.ReadRegistry(paths::kWindowsKey, "ProgramFilesDir");
  std::string dir = files;
  host.MakeDirectory(dir);
  for (const char* part : {"\\Intel", "\\Pxe", "\\Pdk", "\\system"}) host.MakeDirectory(dir += part);
  return host.WriteFile(paths::PdkConfigurator(files), "PDK program") &&
                 host.WriteFile(paths::PdkRegistrar(files), "PDK program")
             ? 0
             : 1;
}

// Every group of the net stand-in's records left without members.
void LeaveGroups(platform::SimHost& host) {
  standins::NetRecords records(host, standins::NetStateDirectory(host));
  std::vector<standins::Group> groups;
  if (!records.LoadGroups(&groups)) return;
  for (standins::Group& g : groups) g.members.clear();
  records.SaveGroups(groups);
}

// The settings of every world's machine that are not in its files.
void Prepare(platform::SimHost& host) {
  standins::RegisterSimStandins(host);
  host.RegisterStandin("pxe20-pdk.exe", &PdkInstaller);
  host.SetWindowsDirectory("C:\\WINNT");
  host.SetCurrentDirectory("C:\\Korrin");
  host.SetProgramDirectory("C:\\Korrin");
  host.RequireProgramFiles();
}

// The base servers, each walked once per process and then copied for every
// world that starts from it.
class Bases {
 public:
  static Bases& Get() {
    static Bases bases;
    return bases;
  }
  const std::string& Root(Base base) {
    std::lock_guard<std::mutex> lock(mutex_);
    std::string& root = roots_[base];
    if (root.empty()) root = Make(base);
    return root;
  }
  ~Bases() {
    std::error_code ec;
    for (auto& entry : roots_) fs::remove_all(entry.second, ec);
  }

 private:
  static std::string Make(Base base) {
    using check_test::Server;
    Server s;
    s.Demo();
    for (const char* program : {"net.exe", "notepad.exe"}) s.Put(std::string("C:\\WINNT\\system32\\") + program, "program");
    s.Put("C:\\DRIVERS\\NIC\\NIC1.DOS", "a custom card's NDIS driver\r\n");
    s.Put("C:\\DRIVERS\\NIC\\RTSND.DOS", "a driver named as the RTL8139's\r\n");
    s.Put("C:\\DRIVERS\\NIC\\NE2000.DOS", "a driver named as the templates'\r\n");
    if (base == kRplOnly) {
      s.RplRoad(check_test::kRtl8139);
      // Registered only: the profile the road installed is taken away again.
      fs::remove_all(s.host.NativePath("C:\\WINNT\\rpl\\rplfiles\\profiles\\W00E04C\\suboot"));
    }
    if (base != kDemo && base != kRplOnly) s.AccountsRoad();
    if (base == kPxe || base == kRpl8139 || base == kAllCards) s.PxeRoad();
    if (base == kRpl8139 || base == kAllCards) s.RplRoad(check_test::kRtl8139);
    if (base == kAllCards) {
      s.RplRoad(check_test::kRtl8029);
      s.RplRoad(check_test::kMyNic);
    }
    s.form.reset();
    const std::string copy = TempRoot();
    fs::copy(s.root, copy, fs::copy_options::recursive);
    return copy;
  }

  std::mutex mutex_;
  std::map<Base, std::string> roots_;
};

}  // namespace

const std::vector<std::string>& World::FilesOf(Base base) {
  static std::map<Base, std::vector<std::string>> files;
  std::vector<std::string>& list = files[base];
  if (!list.empty()) return list;
  const std::string root = Bases::Get().Root(base);
  for (const auto& e : fs::recursive_directory_iterator(root)) {
    if (e.path().parent_path() == fs::path(root)) continue;  // the drives themselves, the registry, attributes
    // The program's own folder holds the running program, which no one can
    // take away, and its journal: the program must be able to write there.
    const std::string path = WindowsPath(root, e.path());
    if (platform::SameName(path, "C:\\Korrin") || platform::PathWithin(path, "C:\\Korrin\\journal")) continue;
    list.push_back(path);
  }
  std::sort(list.begin(), list.end());
  return list;
}

const std::vector<std::string>& World::RoadFilesOf(Base base) {
  static std::map<Base, std::vector<std::string>> files;
  std::vector<std::string>& list = files[base];
  if (!list.empty()) return list;
  for (const std::string& path : FilesOf(base)) {
    const std::string p = platform::Lower(path);
    if (p.find("c:\\temp\\bootimg\\") == 0 && p.find("setvars.bat") == std::string::npos) continue;
    if (p.find("d:\\pvdroot\\user") == 0) continue;
    for (const char* part : {"\\bblock\\", "\\binfiles\\", "\\system32\\", "rpldb.txt", "setvars.bat",
                             "startnet.bat", "protocol.ini", "system.dat", ".dos", "\\unditool", "\\rplfiles\\",
                             "temps.bak", "usertemp.bat", "dosundi.1", "\\pxe-pdk", "\\pdk\\system", "netnames.db",
                             "bootimg.w98", "\\suboot", "c:\\program files"})
      if (p.find(part) != std::string::npos) {
        list.push_back(path);
        break;
      }
  }
  return list;
}

const std::vector<std::string>& World::ProfileFilesOf(Base base) {
  static std::map<Base, std::vector<std::string>> files;
  std::vector<std::string>& list = files[base];
  if (!list.empty()) return list;
  for (const std::string& path : FilesOf(base))
    if (platform::Lower(path).find("\\suboot") != std::string::npos) list.push_back(path);
  // A server without an installed profile: its Windows profile's folder.
  if (list.empty()) list.push_back("C:\\WINNT\\rpl\\rplfiles\\profiles\\NE2KWIN");
  return list;
}

const std::vector<std::string>& World::StrayPlaces() {
  static std::vector<std::string> places;
  if (!places.empty()) return places;
  for (const char* block : {"rtsnd", "pcind", "MYNIC", "NIC1"}) {
    places.push_back(std::string("C:\\WINNT\\rpl\\bblock\\ndis\\") + block + ".dos");
    for (const char* file : {"dosbb.cnf", "w95bb.cnf", "protocol.ini"})
      places.push_back(std::string("C:\\WINNT\\rpl\\bblock\\netbeui\\") + block + "\\" + file);
  }
  for (const char* file : {"C:\\WINNT\\rpltemp.bat", "C:\\WINNT\\rpltemp.out", "c:\\usertemp.bat"})
    places.push_back(file);
  return places;
}

const std::vector<std::string>& World::RecordsOf(Base base) {
  static std::map<Base, std::vector<std::string>> records;
  std::vector<std::string>& list = records[base];
  if (!list.empty()) return list;
  std::istringstream in(ReadNative(Bases::Get().Root(base) + "/c/WINNT/rpl/rpldb.txt"));
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.find('\t') != std::string::npos) list.push_back(line);
  }
  return list;
}

World::World(const Shape& shape) : World(Bases::Get().Root(shape.base), shape, false) {}

World::World(TwinOf twin) : World(twin.other.root_, twin.other.shape_, true) {}

World::World(const std::string& from, const Shape& shape, bool twin) : root_(TempRoot()), shape_(shape) {
  fs::copy(from, root_, fs::copy_options::recursive);
  sim_ = std::make_unique<platform::SimHost>(root_);
  Prepare(*sim_);
  for (const Mutation& m : shape.mutations) {
    // A twin's files are as the other's; a folder that takes no new file is the host's.
    if (twin && m.kind != Mutation::kNoWriting) continue;
    const std::string native = sim_->NativePath(m.path);
    std::error_code ec;
    switch (m.kind) {
      case Mutation::kDelete:
        fs::remove_all(native, ec);
        // The users deleted by hand leave every group, as accounts do on the
        // server: a group keeps no member that is no user.
        if (platform::SameName(m.path, standins::NetStateDirectory(*sim_) + "users.txt")) LeaveGroups(*sim_);
        break;
      case Mutation::kReadOnly:
        sim_->SetFileAttributes(m.path, sim_->Attributes(m.path) | platform::kAttrReadOnly);
        break;
      case Mutation::kHidden:
        sim_->SetFileAttributes(m.path, sim_->Attributes(m.path) | platform::kAttrHidden | platform::kAttrSystem);
        break;
      case Mutation::kFolder:
        if (fs::is_regular_file(native)) {
          fs::remove(native, ec);
          fs::create_directory(native, ec);
        }
        break;
      case Mutation::kEdit:
        if (fs::is_regular_file(native)) WriteNative(native, ReadNative(native) + "REM edited by hand\r\n");
        break;
      case Mutation::kDamage:
        if (fs::is_regular_file(native)) {
          const std::string bytes = ReadNative(native);
          WriteNative(native, bytes.substr(0, bytes.size() / 2) + "\x01\xff garbage\x1a");
        }
        break;
      case Mutation::kDropRecord:
      case Mutation::kBadRecord: {
        const std::string db = sim_->NativePath("C:\\WINNT\\rpl\\rpldb.txt");
        std::string bytes = ReadNative(db);
        if (m.kind == Mutation::kBadRecord) {
          bytes += "BOOT\tnot a record\r\n";
        } else {
          const size_t at = bytes.find(m.path + "\r\n");
          if (at != std::string::npos) bytes.erase(at, m.path.size() + 2);
        }
        WriteNative(db, bytes);
        break;
      }
      case Mutation::kRename: sim_->SetRegistry(paths::kComputerNameKey, "computername", m.path); break;
      case Mutation::kNoWriting: sim_->MakeUnwritable(m.path); break;
      case Mutation::kNoCardFiles:
        fs::remove_all(sim_->NativePath("C:\\WINNT\\rpl\\bblock\\netbeui\\" + m.path), ec);
        fs::remove(sim_->NativePath("C:\\WINNT\\rpl\\bblock\\ndis\\" + m.path + ".dos"), ec);
        break;
      case Mutation::kNoRecords: {
        standins::rpl::Database db;
        if (standins::rpl::Load(*sim_, &db) != standins::rpl::LoadResult::kLoaded) break;
        // The boot blocks in the card's folder, and the configurations booting from them.
        const std::string dir = platform::Lower("BBLOCK\\NETBEUI\\" + m.path + "\\");
        auto card = [&](const standins::rpl::BootBlock* b) {
          return b && platform::Lower(b->file).compare(0, dir.size(), dir) == 0;
        };
        auto& configs = db.configurations;
        configs.erase(std::remove_if(configs.begin(), configs.end(),
                                     [&](const auto& c) { return card(db.FindBootBlock(c.boot)); }),
                      configs.end());
        auto& boots = db.boot_blocks;
        boots.erase(std::remove_if(boots.begin(), boots.end(), [&](const auto& b) { return card(&b); }), boots.end());
        standins::rpl::Save(*sim_, db);
        break;
      }
      case Mutation::kStray:
        fs::create_directories(fs::path(native).parent_path(), ec);
        if (!fs::exists(native)) WriteNative(native, "left here by hand\r\n");
        break;
      case Mutation::kKindCount: break;
    }
  }
  if (shape.slow_script && !twin) sim_->HoldRunning("command.com");
  host_ = std::make_unique<platform::FaultHost>(*sim_);
  StartProgram();
}

World::~World() {
  form_.reset();
  std::error_code ec;
  fs::remove_all(root_, ec);
}

void World::StartProgram() {
  if (form_ && form_->AccountScript()) script_ = form_->AccountScript();
  // The administrator starts the program from its folder.
  sim_->SetCurrentDirectory("C:\\Korrin");
  // Each start of the program is a session of its journal, with a window
  // system of its own.
  form_.reset();
  ui_ = std::make_unique<platform::SimUi>(*sim_);
  ui_->OnModal<pxe::TForm2>([](pxe::TForm2& wait) {
    for (int tick = 0; !wait.Closed() && tick < 100; ++tick) wait.Timer2Timer();
    return platform::kMrCancel;
  });
  journal_ = std::make_unique<platform::JournalHost>(*host_, "C:\\Korrin\\journal", "窗口");
  form_ = std::make_unique<app::TForm1>(*journal_, *ui_);
  form_->SetJournal(journal_.get());
  form_->FormCreate();
}

int World::Run(const std::string& answers, std::string* joined) {
  sim_->SetCurrentDirectory("C:\\Korrin");
  app::AnswerFile file;
  std::string error;
  if (!app::ParseAnswerFile(platform::ToCodePage(answers), &file, &error)) return app::kRunBadFile;
  std::vector<std::string> log;
  const int status = app::RunAnswers(*host_, file, &log);
  if (joined)
    for (const std::string& line : log) *joined += line + "\n";
  return status;
}

std::string AnswersText(const Press& p) {
  static const std::vector<std::string> kProfiles = {"NE2KWIN", "W00E04C", "W5254AB", "W001122", "NOSUCH"};
  auto yes = [](int i) { return std::string(i % 2 ? "Yes" : "No"); };
  // Mostly a value the steps take (the pool's `good`), a third of the time any.
  auto pick = [](const std::vector<std::string>& pool, int i, size_t good) {
    return i % 3 == 2 ? Pick(pool, i / 3) : pool[good];
  };
  std::string text;
  if (p.a & 1)
    text += "[Accounts]\r\nSharedDirectory=" + pick(kSharedPool, p.c, 0) + "\r\nUserPrefix=" + pick(kPrefixPool, p.d, 0) +
            "\r\nWorkGroup=" + pick(kGroupPool, p.a / 2, 0) + "\r\nUserCount=" + pick(kCountPool, p.b, 1) +
            "\r\nNamesFile=" + yes(p.d) + "\r\n";
  if (p.a & 2) text += "[Pdk]\r\nInstall=" + yes(p.b + 1) + "\r\n";
  if (p.a & 4) text += "[BootImage]\r\nAutoRegistration=" + yes(p.c) + "\r\n";
  const std::string card = Pick(kCardPool, p.b / 4 % 3);
  if (p.a & 8)
    text += "[Card]\r\nType=" + (card == "Other NetCARD" ? "Other" : card) + "\r\nVendorPrefix=" +
            pick(kVendorPool, p.c + 1, p.b / 4 % 3) +
            (card == "Other NetCARD" ? "\r\nDriver=" + pick(kDriverPool, p.d, 0) : "") + "\r\n";
  const std::string profile = pick(kProfiles, p.c / 4 + p.d, 0);
  if (p.b & 1) text += "[Install]\r\nProfile=" + profile + "\r\n";
  if (p.b & 2) text += "[AutoRegistration]\r\nProfile=" + profile + "\r\nOn=" + yes(p.d / 2) + "\r\n";
  if (p.c & 1) text += "[Service]\r\nStart=Yes\r\n";
  return text;
}

bool World::Unkept() {
  for (const app::JournalSession& s : app::ReadJournal(*sim_, "C:\\Korrin\\journal"))
    for (const app::JournalStep& step : s.steps)
      for (const std::string& line : step.lines)
        if (line.rfind("未保留", 0) == 0) return true;
  return false;
}

std::set<std::string> World::Sessions() {
  std::set<std::string> names;
  for (const app::JournalSession& s : app::ReadJournal(*sim_, "C:\\Korrin\\journal")) names.insert(s.name);
  return names;
}


std::string World::UndoSince(const std::set<std::string>& kept) {
  sim_->FinishHeld();
  StartProgram();
  host_->Plant({});
  for (const app::JournalSession& s : app::ReadJournal(*sim_, "C:\\Korrin\\journal")) {
    if (kept.count(s.name)) continue;
    const app::Undo undo = app::PlanUndo(*host_, "C:\\Korrin\\journal", s, -1);
    if (undo.plan.Refused()) return s.heading + ": " + undo.plan.message;
    platform::JournalHost journal(*host_, "C:\\Korrin\\journal", "撤销 " + s.name);
    std::string said;
    if (!app::ApplyUndo(journal, undo, &said)) return s.heading + ": " + said;
  }
  return "";
}

app::ServerCheck World::Check() { return app::CheckServer(*sim_, app::CheckInputOf(*form_)); }

std::vector<std::string> Changed(const Tree& before, const Tree& after) {
  std::vector<std::string> paths;
  for (const auto& entry : after) {
    const auto was = before.find(entry.first);
    if (was == before.end() || was->second != entry.second) paths.push_back(entry.first);
  }
  for (const auto& entry : before)
    if (!after.count(entry.first)) paths.push_back(entry.first);
  return paths;
}

Tree World::Snapshot() {
  Tree tree;
  for (const auto& e : fs::recursive_directory_iterator(root_)) {
    if (e.path().parent_path() == fs::path(root_)) continue;
    const std::string path = platform::Lower(WindowsPath(root_, e.path()));
    // The program's journal is its own: a press may add to it.
    if (path.rfind(kJournal, 0) == 0) continue;
    tree[path] = e.is_directory() ? "<folder>"
                                  : Digest(ReadNative(e.path().string())) + " attributes " +
                                        std::to_string(sim_->Attributes(WindowsPath(root_, e.path())));
  }
  return tree;
}

void World::Answer(const Press& press) {
  const bool no = (press.act == Press::kInstall || press.act == Press::kNamesFile) && press.a % 2 == 1;
  ui_->AnswerAll(!no);
  const std::string vendor = Pick(kVendorPool, press.a), driver = Pick(kDriverPool, press.b);
  const platform::ModalResult closed = press.c % 4 == 3 ? platform::kMrCancel : platform::kMrOk;
  ui_->OnOtherModal(Dialogs(vendor, closed, driver, vendor, closed, platform::kMrCancel));
}

namespace {

// The main window's control each press of one control works, by name, and
// whether the plan of that control is made first: always, or only while the
// control is enabled.
enum PlanWhen { kNoPlan, kPlan, kPlanEnabled };
struct Worked {
  const char* name;
  PlanWhen plan;
};
const std::map<Press::Act, Worked> kControls = {
    {Press::kGenerate, {"BitBtn1", kPlan}},           {Press::kNamesFile, {"BitBtn8", kPlan}},
    {Press::kPdk, {"BitBtn3", kPlan}},                {Press::kBootImage, {"BitBtn7", kPlan}},
    {Press::kRegister, {"BitBtn9", kPlanEnabled}},    {Press::kInstall, {"BitBtn11", kPlanEnabled}},
    {Press::kAutoRegister, {"CheckBox1", kPlanEnabled}}, {Press::kService, {"BitBtn6", kPlan}},
    {Press::kUpdate, {"BitBtn12", kNoPlan}},          {Press::kExit, {"BitBtn4", kNoPlan}},
    {Press::kCheck, {"C1", kNoPlan}}};

// A button the administrator can press: one that is enabled.
void Click(platform::Button& button) {
  if (button.Enabled()) button.Click();
}

void ChooseItem(platform::ComboBox& list, const std::string& item) {
  const std::vector<std::string> items = list.Items();
  const auto at = std::find(items.begin(), items.end(), item);
  list.Choose(at == items.end() ? -1 : static_cast<int>(at - items.begin()));
}

}  // namespace

bool World::ClickSteps(const std::string& text) {
  app::AnswerFile file;
  std::string error;
  if (!app::ParseAnswerFile(platform::ToCodePage(text), &file, &error)) return false;
  StartProgram();
  ui_->AnswerAll(true);
  app::TForm1& f = *form_;
  const auto value = app::unattended::Value;  // a key's value, "" when the section lacks it
  auto choose_profile = [&](const std::string& name) {
    const std::vector<std::string> items = f.ComboBox2.Items();
    for (size_t i = 0; i < items.size(); ++i)
      if (platform::SameName(items[i], name)) f.ComboBox2.Choose(static_cast<int>(i));
    return platform::SameName(f.ComboBox2.Text(), name);
  };
  for (const app::AnswerSection& s : file.sections) {
    if (s.name == "Accounts") {
      f.Edit1.SetText(value(s, "SharedDirectory"));
      f.Edit2.SetText(value(s, "UserPrefix"));
      f.Edit4.SetText(value(s, "WorkGroup"));
      f.Edit3.SetText(value(s, "UserCount"));
      Click(f.BitBtn1);
      // The names file, once the workstations' Windows is there.
      if (app::IsYes(value(s, "NamesFile")) && sim_->DirectoryExists(f.Edit1.Text() + "\\windows")) Click(f.BitBtn8);
    } else if (s.name == "Pdk") {
      if (app::IsYes(value(s, "Install")) && !pxe::PdkInstalled(*sim_, f.settings.StartDir)) Click(f.BitBtn3);
    } else if (s.name == "BootImage") {
      if (s.Find("AutoRegistration")) f.CheckBox2.SetChecked(app::IsYes(value(s, "AutoRegistration")));
      Click(f.BitBtn7);
    } else if (s.name == "Card") {
      const std::string type = value(s, "Type");
      ChooseItem(f.ComboBox1, type == "Other" ? "Other NetCARD" : type);
      Click(f.BitBtn10);
      const std::string vendor = value(s, "VendorPrefix"), driver = value(s, "Driver");
      ui_->OnOtherModal(Dialogs(vendor, platform::kMrOk, driver, vendor, platform::kMrOk, platform::kMrOk));
      // A card registered already with another prefix: the run registers
      // the file's, which no click can, 配置Rpl being off.
      const app::TForm1::PlanAnswers given{vendor, driver, true};
      if (!f.BitBtn9.Enabled() && !f.PlanOf("BitBtn9", &given).Nothing()) return false;
      Click(f.BitBtn9);
    } else if (s.name == "Install") {
      Click(f.BitBtn12);
      choose_profile(value(s, "Profile"));
      ui_->AnswerAll(!s.Find("DosProfile") || app::IsYes(value(s, "DosProfile")));
      Click(f.BitBtn11);
      ui_->AnswerAll(true);
    } else if (s.name == "AutoRegistration") {
      if (!choose_profile(value(s, "Profile"))) {
        Click(f.BitBtn12);
        choose_profile(value(s, "Profile"));
      }
      f.CheckBox1.SetChecked(app::IsYes(value(s, "On")));
    } else if (s.name == "Service") {
      if (app::IsYes(value(s, "Start"))) Click(f.BitBtn6);
    }
  }
  return true;
}

Outcome World::Do(const admin::Press& press) {
  Outcome outcome;
  const size_t first = sim_->journal().size();
  Answer(press);
  app::TForm1& f = *form_;
  // The control's plan, made first on a machine that does not fail: a plan
  // only reads.
  const auto worked = kControls.find(press.act);
  platform::Control* control = worked == kControls.end() ? nullptr : f.Find(worked->second.name);
  const PlanWhen when = control ? worked->second.plan : kNoPlan;
  if (when == kPlan || (when == kPlanEnabled && control->Enabled())) {
    host_->Plant({});
    if (press.act == Press::kBootImage) f.CheckBox2.SetChecked(press.a % 2 == 1);
    const app::TForm1::PlanAnswers answers{Pick(kVendorPool, press.a), Pick(kDriverPool, press.b),
                                           press.act == Press::kInstall ? press.a % 2 == 0 : press.a % 2 == 1};
    const bool answered = press.act != Press::kRegister || press.c % 4 != 3;
    const long touched = host_->touched();
    outcome.plan = f.PlanOf(worked->second.name, answered ? &answers : nullptr);
    outcome.planned = answered;
    outcome.plan_touched = host_->touched() != touched;
  }
  // The advice is followed as it stands, on a machine that does not fail.
  host_->Plant(press.act == Press::kAdvice ? platform::Fault{} : press.fault);
  try {
    // 网卡自动注册 set for the boot image; 工作站自动注册 set, the rest clicked.
    if (press.act == Press::kBootImage) f.CheckBox2.SetChecked(press.a % 2 == 1);
    if (press.act == Press::kAutoRegister && f.CheckBox1.Enabled()) f.CheckBox1.SetChecked(press.a % 2 == 1);
    else if (press.act != Press::kAutoRegister && control && control->Enabled()) control->Notify();
    switch (press.act) {
      case Press::kType:
        f.Edit1.SetText(Pick(kSharedPool, press.a));
        f.Edit2.SetText(Pick(kPrefixPool, press.b));
        f.Edit3.SetText(Pick(kCountPool, press.c));
        f.Edit4.SetText(Pick(kGroupPool, press.d));
        break;
      case Press::kDetect:
        ChooseItem(f.ComboBox1, Pick(kCardPool, press.a));
        Click(f.BitBtn10);
        break;
      case Press::kChoose: {
        const size_t n = f.ComboBox2.Items().size();
        if (n) f.ComboBox2.Choose(static_cast<int>(static_cast<size_t>(press.a) % n));
        break;
      }
      case Press::kScriptEnds: sim_->FinishHeld(); break;
      case Press::kManager: {
        by_hand_ = true;
        standins::rpl::Database db;
        if (standins::rpl::Load(*sim_, &db) != standins::rpl::LoadResult::kLoaded) break;
        std::vector<std::string> windows;
        for (const auto& c : db.configurations)
          if (!standins::rpl::IsDosConfiguration(c)) windows.push_back(c.name);
        if (windows.empty()) break;
        const std::string configuration = Pick(windows, press.a);
        standins::rpl::Manager manager(*sim_, [](const std::string& dir) {
          std::error_code ec;
          return fs::remove(dir, ec);
        });
        std::string message;
        if (manager.Load(&message))
          manager.MakeProfile("P" + configuration.substr(0, 10), configuration, "", &message);
        break;
      }
      case Press::kAdvice: Follow(press, &outcome); break;
      case Press::kDetectRegister:
        ChooseItem(f.ComboBox1, Pick(kCardPool, press.d));
        Click(f.BitBtn10);
        Click(f.BitBtn9);
        break;
      case Press::kRunFile: {
        outcome.answers = AnswersText(press);
        // The same server, for the same steps clicked in the window; not
        // while a program of an earlier press runs on, which a copy of the
        // server cannot hold.
        std::unique_ptr<World> twin;
        if (sim_->HeldPrograms().empty() && !shape_.slow_script) twin = std::make_unique<World>(TwinOf{*this});
        outcome.run_status = Run(outcome.answers, &outcome.run_log);
        if (twin && outcome.run_status == app::kRunDone && twin->ClickSteps(outcome.answers)) {
          const Tree run = Snapshot(), clicked = twin->Snapshot();
          const std::vector<std::string> differ = Changed(clicked, run);
          if (!differ.empty())
            outcome.clicked = differ[0] + (!run.count(differ[0])       ? " is there only when clicked"
                                           : clicked.count(differ[0]) ? " is not as clicked"
                                                                      : " is not there when clicked");
        }
        // The window's session ends with the run: the journal's sessions
        // follow one another.
        StartProgram();
        break;
      }
      case Press::kUndo: {
        ui_->AnswerAll(true);
        const int line = press.a;
        ui_->OnOtherModal([&outcome, line](platform::ModalWindow& window) {
          auto* undo = dynamic_cast<app::TUndoForm*>(&window);
          const size_t n = undo ? undo->ListBox1.Items().size() : 0;
          if (n == 0) return platform::kMrCancel;
          undo->ListBox1.Choose(static_cast<int>(static_cast<size_t>(line) % n));
          outcome.undo_line = undo->ListBox1.Text();
          outcome.undo_refused = !undo->Button1.Enabled();
          // Pressed even when off: the file may change between choosing and pressing.
          undo->Button1Click();
          return platform::kMrCancel;
        });
        Click(f.C2);
        break;
      }
      case Press::kSaveRun: {
        // 保存应答文件 as the menu item writes it (it refuses a field beyond
        // code page 936), then the file on a new server.
        bool savable = true;
        for (const std::string& line : app::AnswerFileLines(app::AnswersOf(*sim_, f))) {
          savable = savable && platform::IsCodePageText(line);
          outcome.answers += line + "\r\n";
        }
        if (!savable) break;
        World there(Shape{static_cast<Base>(press.b % kBaseCount), {}, false});
        const Tree before = there.Snapshot();
        outcome.run_status = there.Run(outcome.answers);
        outcome.elsewhere = RunBroken(there, outcome.answers, outcome.run_status, before);
        break;
      }
      default: break;  // the control worked above
    }
  } catch (const platform::RunawayPress& e) {
    outcome.runaway = e.what();
  } catch (const std::bad_alloc&) {
    outcome.runaway = "the press took all the memory the test allows";
  }
  if (host_->struck()) outcome.fault = host_->struck_at();
  for (const std::string& program : sim_->HeldPrograms())
    late_ = late_ || program.find("usertemp.bat") == std::string::npos;
  const std::string struck = platform::Lower(outcome.fault);
  const bool in_journal = struck.find(kJournal) != std::string::npos;
  const bool kept_copy = in_journal && struck.size() > 4 && struck.compare(struck.size() - 4, 4, ".old") == 0;
  journal_struck_ = journal_struck_ || (in_journal && !kept_copy);
  kept_struck_ = kept_struck_ || kept_copy;
  host_->Plant({});
  if (form_->AccountScript()) script_ = form_->AccountScript();
  outcome.events.assign(sim_->journal().begin() + static_cast<long>(first), sim_->journal().end());
  // The PDK's installer is a window the administrator works in: on the
  // server what it installs comes after its step (here its stand-in runs at
  // once).
  for (const platform::SimEvent& e : outcome.events)
    late_ = late_ || (e.kind == "run" && platform::Lower(e.text).find("pxe20-pdk") != std::string::npos);
  if (ui_->main_window_closed()) StartProgram();
  return outcome;
}

void World::Follow(const admin::Press& press, Outcome* outcome) {
  const app::ServerCheck check = Check();
  std::vector<const app::CheckItem*> open;
  for (const app::CheckItem& item : check.items)
    if (item.state == app::CheckState::kMissing || item.state == app::CheckState::kStale) open.push_back(&item);
  if (open.empty()) return;
  const app::CheckItem* chosen = Pick(open, press.a);
  for (const app::CheckItem* item : open)
    if (!press.item.empty() && item->what == press.item) chosen = item;
  if (!press.item.empty() && chosen->what != press.item) return;
  const app::CheckItem& item = *chosen;
  outcome->advice_item = item.what;
  // The administrator starts the program afresh and does as the advice says.
  StartProgram();
  ui_->AnswerAll(true);
  const Advice advice = ReadAdvice(item.mend);
  // The workstations' prefix: the card's usual one, unless the database
  // gives it to another card (the administrator knows the workstations').
  std::string prefix = advice.card == "RTL 8029" ? "5254AB" : advice.card == "Other NetCARD" ? "001122" : "00E04C";
  standins::rpl::Database db;
  const std::string block = advice.card == "RTL 8029" ? "pcind" : advice.card == "RTL 8139" ? "rtsnd" : "";
  if (standins::rpl::Load(*sim_, &db) == standins::rpl::LoadResult::kLoaded)
    for (const char* free : {"0A0B0C", "0D0E0F", "101112"}) {
      const auto* boot = db.FindBootBlock(prefix + "DOS");
      if (!boot || (!block.empty() && platform::Lower(boot->file).find("\\" + block + "\\") != std::string::npos))
        break;
      prefix = free;
    }
  ui_->OnOtherModal(Dialogs(prefix, advice.prefix ? platform::kMrOk : platform::kMrCancel, advice.driver,
                            advice.prefix ? prefix : "",
                            advice.close_chooser || advice.driver.empty() ? platform::kMrCancel : platform::kMrOk,
                            platform::kMrCancel));
  outcome->advice_refused = DoAdvice(*form_, advice, [this] {
    // The PDK's installer, run by the administrator to its end.
    by_hand_ = true;
    std::string out;
    sim_->RunAndWait("pxe20-pdk.exe", "", &out);
  });
}

std::string Describe(const Press& p) {
  switch (p.act) {
    case Press::kType:
      return "type 共享目录=" + Pick(kSharedPool, p.a) + " 用户前辍=" + Pick(kPrefixPool, p.b) +
             " 用户数目=" + Pick(kCountPool, p.c) + " 工作组名=" + Pick(kGroupPool, p.d);
    case Press::kGenerate: return "生成用户及目录";
    case Press::kNamesFile: return std::string("编辑信息文件, ") + (p.a % 2 ? "取消" : "确定");
    case Press::kPdk: return "安装 PXE";
    case Press::kBootImage: return std::string("生成镜像文件, 网卡自动注册 ") + (p.a % 2 ? "on" : "off");
    case Press::kDetect: return "检测 " + Pick(kCardPool, p.a);
    case Press::kRegister:
      return "配置Rpl prefix " + Pick(kVendorPool, p.a) + " driver " + Pick(kDriverPool, p.b) +
             (p.c % 4 == 3 ? " (dialog closed)" : "");
    case Press::kUpdate: return "更  新";
    case Press::kChoose: return "RPL配置名 item " + std::to_string(p.a);
    case Press::kInstall: return std::string("安装, DOS question ") + (p.a % 2 ? "No" : "Yes");
    case Press::kAutoRegister: return std::string("工作站自动注册 ") + (p.a % 2 ? "on" : "off");
    case Press::kService: return "开启远程启动";
    case Press::kExit: return "退出系统, started again";
    case Press::kScriptEnds: return "the account script ends";
    case Press::kManager: return "a profile made in the manager, configuration " + std::to_string(p.a);
    case Press::kCheck: return "检查服务器";
    case Press::kAdvice:
      return "the check's advice for " + (p.item.empty() ? "open item " + std::to_string(p.a) : p.item);
    case Press::kDetectRegister:
      return "检测 " + Pick(kCardPool, p.d) + ", " + Describe(Press{Press::kRegister, p.a, p.b, p.c});
    case Press::kRunFile: {
      std::string text = AnswersText(p);
      for (size_t at; (at = text.find("\r\n")) != std::string::npos;) text.replace(at, 2, " ");
      return "/run of " + text;
    }
    case Press::kSaveRun: return "保存应答文件, /run of it on a new server of base " + std::to_string(p.b % kBaseCount);
    case Press::kUndo: return "撤销, line " + std::to_string(p.a) + " of its list";
    case Press::kActCount: break;
  }
  return "?";
}

namespace {

const char* const kActNames[] = {"kType",    "kGenerate", "kNamesFile",   "kPdk",     "kBootImage", "kDetect",
                                 "kRegister", "kUpdate",  "kChoose",      "kInstall", "kAutoRegister",
                                 "kService", "kExit",     "kScriptEnds", "kManager", "kCheck",     "kAdvice",
                                 "kDetectRegister", "kRunFile", "kSaveRun", "kUndo"};
const char* const kFaultNames[] = {"kNone", "kChange", "kProgramFails", "kProgramHangs"};
const char* const kBaseNames[] = {"kDemo", "kAccounts", "kPxe", "kRpl8139", "kAllCards", "kRplOnly"};
const char* const kMutationNames[] = {"kDelete",     "kReadOnly",  "kFolder", "kEdit",      "kDamage",
                                      "kHidden",     "kDropRecord", "kBadRecord", "kRename", "kNoWriting",
                                      "kStray",      "kNoCardFiles", "kNoRecords"};

std::string Quoted(const std::string& s) {
  std::string q = "\"";
  for (char c : s) {
    if (c == '\\' || c == '"') q += '\\';
    if (c == '\t') {
      q += "\\t";
      continue;
    }
    q += c;
  }
  return q + "\"";
}

}  // namespace

void PrintTo(const Press& p, std::ostream* os) {
  *os << "{Press::" << kActNames[p.act] << ", " << p.a << ", " << p.b << ", " << p.c << ", " << p.d;
  if (p.fault.kind != platform::Fault::kNone)
    *os << ", {platform::Fault::" << kFaultNames[p.fault.kind] << ", " << p.fault.at << "}";
  else if (!p.item.empty())
    *os << ", {}";
  if (!p.item.empty()) *os << ", " << Quoted(p.item);
  *os << "},  // " << Describe(p);
}

void PrintTo(const Shape& s, std::ostream* os) {
  *os << "{" << kBaseNames[s.base] << ", {";
  for (size_t i = 0; i < s.mutations.size(); ++i)
    *os << (i ? ", " : "") << "{Mutation::" << kMutationNames[s.mutations[i].kind] << ", "
        << Quoted(s.mutations[i].path) << "}";
  *os << "}, " << (s.slow_script ? "true" : "false") << "}";
}

}  // namespace admin
