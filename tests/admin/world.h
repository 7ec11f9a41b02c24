// The simulated administrator's world: a server generated unlike the demo
// (a road walked part of the way, then files taken away, made read-only,
// replaced by folders, edited by hand or damaged, records dropped, the server
// renamed), the program started on it, and the presses the administrator
// makes, each with the answers to its questions and a fault of the host.
//
// A press and a server print as C++ rows, so that a sequence the suite found
// is kept as a plain row of admin_rows_test.cpp.
#pragma once

#include <map>
#include <memory>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "app/server.h"
#include "app/server_check.h"
#include "base/plan.h"
#include "platform/journal_host.h"
#include "platform/sim/fault_host.h"
#include "platform/sim/sim_host.h"

namespace admin {

// How far the server was set up before the administrator sits down, each
// walked by the program's own handlers on the demo server.
enum Base {
  kDemo,        // the demo server as laid out
  kAccounts,    // users and directories made, the names file there
  kPxe,         // and the PDK installed, the boot image made
  kRpl8139,     // and an RTL8139 registered, its profile W00E04C installed, auto-registering
  kAllCards,    // and the RTL8029 and the custom card MYNIC too, each with its profile
  kRplOnly,     // the demo server with the RTL8139 registered, nothing installed
  kBaseCount,
};

// A change made to the server by someone else before the program starts.
struct Mutation {
  enum Kind {
    kDelete,       // the file or folder is gone
    kReadOnly,     // the file is read-only
    kFolder,       // a folder of the file's name stands in its place
    kEdit,         // a line added by hand at its end
    kDamage,       // its bytes are not what any program wrote (half of them, then garbage)
    kHidden,       // hidden and system, as the service's own files come
    kDropRecord,   // the database's line of that number is gone (path: the record's name)
    kBadRecord,    // a line no program wrote at the database's end
    kRename,       // the server renamed (path: the new name)
    kNoWriting,    // the folder takes no new file or folder
    kStray,        // a file left by hand where a card's file would be
    kNoCardFiles,  // a card's driver and boot-block folder gone, its records kept (path: the card)
    kNoRecords,    // a card's records gone from the database, its files kept (path: the card)
    kKindCount,
  };
  Kind kind;
  std::string path;
};

struct Shape {
  Base base = kDemo;
  std::vector<Mutation> mutations;
  bool slow_script = false;  // the account script runs until the administrator lets it end
};

// What the administrator does. Each press names its choices by number in the
// pools below; a fault of the host strikes during it.
struct Press {
  enum Act {
    kType,          // a: shared directory, b: prefix, c: count, d: group (pool numbers)
    kGenerate,      // 生成用户及目录
    kNamesFile,     // 编辑信息文件; a: 0 OK, 1 Cancel
    kPdk,           // 安装 PXE, and its installer run to its end
    kBootImage,     // 生成镜像文件; a: 网卡自动注册 0 clear, 1 checked
    kDetect,        // 检测; a: card type
    kRegister,      // 配置Rpl; a: vendor prefix, b: driver (for a custom card), c: 1 cancels the dialog
    kUpdate,        // 更  新
    kChoose,        // a profile chosen in RPL配置名; a: its place in the list
    kInstall,       // 安装; a: 0 Yes, 1 No to the DOS profile question
    kAutoRegister,  // 工作站自动注册 set (a: 1) or cleared (a: 0)
    kService,       // 开启远程启动
    kExit,          // 退出系统, and the program started again
    kScriptEnds,    // the account script that runs comes to its end
    kManager,       // a Windows profile made in the Remoteboot Manager; a: card for its configuration
    kCheck,         // 检查服务器
    kAdvice,        // the check's advice for its a-th item that is not ready, followed
    kDetectRegister,  // 检测 with card d, then 配置Rpl when detection unlocks it, answered as kRegister
    kRunFile,       // /run of an answer file made from the pools by a, b, c, d (AnswersText)
    kSaveRun,       // 保存应答文件, then /run of that file on a new server of base b
    kUndo,          // 系统 > 撤销: the a-th line of the list chosen (a session or a step), 撤销 pressed, Yes
    kActCount,
  };
  Act act = kCheck;
  int a = 0, b = 0, c = 0, d = 0;
  platform::Fault fault;
  // kAdvice: the item whose advice is followed, by what it checks; a kept row
  // names it, so that the row follows the same advice whatever else is open.
  std::string item;
};

// The pools the fields and answers come from, the hostile values among them.
extern const std::vector<std::string> kSharedPool, kPrefixPool, kCountPool, kGroupPool;
extern const std::vector<std::string> kCardPool, kVendorPool, kDriverPool;
template <class T>
const T& Pick(const std::vector<T>& pool, int i) {
  return pool[static_cast<size_t>(i) % pool.size()];
}

// What a press showed and how it ended.
struct Outcome {
  std::vector<platform::SimEvent> events;  // what the journal recorded during it
  std::string runaway;                     // why it was stopped, when it ran away
  std::string fault;                       // the call the planted fault struck, "" when none
  std::string advice_item;                 // kAdvice: the item followed ("" when none)
  std::string advice_refused;              // kAdvice: the step the program would not take
  // A press of a button that changes the server: its plan, made with the
  // window's fields and the press's answers just before it, and whether
  // making it changed or started anything.
  bool planned = false, plan_touched = false;
  plan::Plan plan;
  // kRunFile, kSaveRun: the answer file (UTF-8) and the run's exit status
  // (-1: not run); kSaveRun: the promises the run broke on the other server.
  std::string answers;
  int run_status = -1;
  std::string run_log;  // kRunFile: the run's log, its lines joined
  // kRunFile ended with 0: where the server it left differs from the one
  // the same steps clicked in the window leave, started from the same
  // server ("" when alike, or when clicking cannot do what the run did).
  std::string clicked;
  std::vector<std::string> elsewhere;
  // kUndo: the line chosen, and whether the window refused to take it back
  // (its button off: the plan refused, or nothing to take back).
  std::string undo_line;
  bool undo_refused = false;
};

// Every file and folder of the machine: path (lower case) to its bytes'
// digest and attributes ("<folder>" for a folder).
using Tree = std::map<std::string, std::string>;
// The paths that differ from `before` to `after`: those of `after` new or
// changed, in order, then those gone.
std::vector<std::string> Changed(const Tree& before, const Tree& after);

class World {
 public:
  explicit World(const Shape& shape);
  // A world holding what `other` holds now, the program started afresh on it.
  struct TwinOf {
    const World& other;
  };
  explicit World(TwinOf twin);
  ~World();
  World(const World&) = delete;
  World& operator=(const World&) = delete;

  Outcome Do(const Press& press);

  app::TForm1& form() { return *form_; }
  platform::SimHost& sim() { return *sim_; }
  // The check as the menu item runs it, from the window's fields.
  app::ServerCheck Check();
  Tree Snapshot();
  bool script_running() const { return sim_->StillRunning(script_); }
  // /run of an answer file (UTF-8) on this machine, as the program in its
  // folder runs it: the exit status; the log, kept in memory, into `log`.
  int Run(const std::string& answers, std::string* log = nullptr);
  // The sessions of the program's journal, by name.
  std::set<std::string> Sessions();
  // Whether someone changed the server by hand during the presses (the
  // Remoteboot Manager, the PDK's installer run by the administrator).
  bool by_hand() const { return by_hand_; }
  // Whether a fault struck the journal's own writing, or the journal says
  // it could not keep something (a file's old bytes, what net could not
  // list beforehand): an undo of it is refused.
  bool journal_struck() const { return journal_struck_; }
  // A fault struck the writing of a file's kept copy: the journal says so
  // (未保留), and an undo of that step must be refused.
  bool kept_struck() const { return kept_struck_; }
  bool Unkept();
  // Whether a program other than the account script ran on after its
  // press: what it does when it ends is its own, not the journal's.
  bool late() const { return late_; }
  // Every session not in `kept` taken back, newest first, as the undo
  // window does it, the account script let end first: "" when each was
  // taken back, else why not.
  std::string UndoSince(const std::set<std::string>& kept);

  // The files and folders of a base server, for mutations to choose from;
  // the files the roads read and write, and where a card's files would be.
  static const std::vector<std::string>& FilesOf(Base base);
  static const std::vector<std::string>& RoadFilesOf(Base base);
  static const std::vector<std::string>& StrayPlaces();
  static const std::vector<std::string>& ProfileFilesOf(Base base);  // in every suboot
  static const std::vector<std::string>& RecordsOf(Base base);

 private:
  // A world on a copy of the machine in `from`, the shape's mutations made
  // on it (a twin's: only those that are not in its files).
  World(const std::string& from, const Shape& shape, bool twin);
  void StartProgram();
  // The steps of an answer file clicked in the window, with the file's
  // values and answers: false when a step asks what no click can do.
  bool ClickSteps(const std::string& answers);
  void Answer(const Press& press);
  void Follow(const Press& press, Outcome* outcome);

  std::string root_;
  Shape shape_;
  std::unique_ptr<platform::SimHost> sim_;
  std::unique_ptr<platform::FaultHost> host_;
  std::unique_ptr<platform::SimUi> ui_;
  std::unique_ptr<platform::JournalHost> journal_;
  std::unique_ptr<app::TForm1> form_;
  bool by_hand_ = false, journal_struck_ = false, kept_struck_ = false, late_ = false;
  int script_ = 0;  // the account script last started, by any start of the program
};

// The whole server the world holds, as a test prints it.
void PrintTo(const Shape& shape, std::ostream* os);
void PrintTo(const Press& press, std::ostream* os);
std::string Describe(const Press& press);  // what the press is, in words
std::string AnswersText(const Press& press);  // kRunFile's answer file
// As RapidCheck shows a generated value.
inline void showValue(const Shape& shape, std::ostream& os) { PrintTo(shape, &os); }
inline void showValue(const Press& press, std::ostream& os) { PrintTo(press, &os); }

}  // namespace admin
