// The sequences the simulated administrator found, each shrunk to its
// smallest and kept as a row: a server, the presses, and the promise it broke
// before the fault was mended. Each row replays on the simulated host with
// every promise checked after every press.
#include <gtest/gtest.h>

#include "tests/admin/promises.h"

namespace admin {
namespace {

struct Row {
  const char* found;  // what was broken
  Shape shape;
  std::vector<Press> presses;
};

using platform::Fault;

const std::vector<Row>& Rows() {
  static const std::vector<Row> rows = {
      // A file left where a card's own would be was replaced by the template.
      {"registration keeps the files that were there",
       {kDemo, {{Mutation::kStray, "C:\\WINNT\\rpl\\bblock\\netbeui\\rtsnd\\w95bb.cnf"}}, false},
       {{Press::kDetectRegister, 0, 0, 0, 0}}},
      {"a card said registered whose records are not there",
       {kDemo, {{Mutation::kStray, "C:\\WINNT\\rpl\\bblock\\ndis\\pcind.dos"}}, true},
       {{Press::kDetectRegister, 0, 0, 0, 1, {Fault::kProgramFails, 0}}}},
      {"a card said registered on a damaged database",
       {kRpl8139, {{Mutation::kDelete, "C:\\WINNT\\rpl\\bblock\\netbeui\\rtsnd\\dosbb.cnf"}, {Mutation::kBadRecord, ""}},
        false},
       {{Press::kDetectRegister, 1, 0, 0, 0}}},
      {"a blank in the group's name",
       {kDemo, {}, false},
       {{Press::kType, 0, 0, 0, 3}, {Press::kGenerate}}},
      // Users.txt deleted by hand: the users' places in the groups stayed,
      // which no server can hold, and their undo took them out.
      {"users deleted by hand kept their places in the groups",
       {kAccounts, {{Mutation::kDelete, "C:\\WINNT\\netstate\\users.txt"}}, false},
       {{Press::kGenerate}}},
      {"a count the check enumerated without end",
       {kDemo, {}, false},
       {{Press::kType, 0, 0, 6, 0}, {Press::kCheck}}},
      {"the installation refuses a read-only file the check sends it to",
       {kRpl8139,
        {{Mutation::kReadOnly, "C:\\WINNT\\rpl\\rplfiles\\profiles\\W00E04C\\suboot\\io.sys"},
         {Mutation::kRename, "NEWNAME"}},
        false},
       {{Press::kAdvice, 0, 0, 0, 0, {}, "配置 W00E04C"}}},
      {"the installation refuses a folder the check sends it to",
       {kRpl8139, {{Mutation::kFolder, "C:\\WINNT\\rpl\\rplfiles\\profiles\\W00E04C\\suboot\\winboot\\STARTNET.BAT"}},
        false},
       {{Press::kAdvice, 0, 0, 0, 0, {}, "配置 W00E04C"}}},
      {"records without files: the advice went round",
       {kRpl8139, {{Mutation::kNoCardFiles, "rtsnd"}}, true},
       {{Press::kAdvice, 0, 0, 0, 0, {}, "网卡"}}},
      {"records without files: the card was not reported",
       {kRpl8139, {{Mutation::kDelete, "C:\\WINNT\\rpl\\bblock\\netbeui"}, {Mutation::kDelete, "C:\\WINNT\\rpl\\bblock\\ndis"}},
        false},
       {{Press::kBootImage}}},
      {"a card lacking one configuration said registered",
       {kRpl8139,
        {{Mutation::kDropRecord,
          "CONFIG\tDOS00E04C\t00E04CDOS\tdos\tdos622\tfits\\dos622.fit\tfits\\dos622p.fit\tDOS 6.22 FOR RTL8139\t\t"}},
        false},
       {{Press::kAdvice, 0, 0, 0, 0, {}, "网卡 RTL 8139（rtsnd）"}}},
      {"a custom card's profile sent through a registration the tree refuses",
       {kAllCards, {{Mutation::kRename, "NEWNAME"}, {Mutation::kDelete, "C:\\WINNT\\rpl\\fits\\win95.fit"}}, false},
       {{Press::kAdvice, 2, 0, 0, 0, {}, "配置 W001122"}}},
      {"files and the vendor without the boot blocks: registration added the vendor again",
       {kRpl8139, {{Mutation::kNoRecords, "rtsnd"}}, false},
       {{Press::kAdvice, 0, 0, 0, 0, {}, "网卡 RTL 8139（rtsnd）"}}},
      {"files without records: detection said registered",
       {kRpl8139,
        {{Mutation::kDropRecord, "BOOT\t00E04CDOS\t00E04C\tBBLOCK\\NETBEUI\\rtsnd\\DOSBB.CNF\tSTART00E04CDOS\t0"}},
        false},
       {{Press::kDetect}}},
      {"the check asked for the command interpreter the registration does not use",
       {kAccounts, {{Mutation::kDelete, "C:\\WINNT\\system32\\command.com"}}, false},
       {{Press::kDetect}, {Press::kRegister}}},
      {"programs started by a bare name",
       {kDemo, {}, false},
       {{Press::kGenerate}, {Press::kService}, {Press::kNamesFile}}},
      // What the check advised and the buttons refused, on servers a little
      // unlike the demo.
      {"no DOS 6.22 folder in the service's tree",
       {kAccounts, {{Mutation::kDelete, "C:\\WINNT\\rpl\\rplfiles\\binfiles\\dos622"}}, false},
       {{Press::kAdvice, 0, 0, 0, 0, {}, "DOS 6.22 文件"}}},
      {"a shipped DOS 6.22 file missing",
       {kPxe, {{Mutation::kDelete, "C:\\Korrin\\rplfiles\\dos622\\himem.sys"}}, false},
       {{Press::kAdvice, 0, 0, 0, 0, {}, "网卡"}}},
      {"no program-files folder",
       {kDemo, {{Mutation::kDelete, "C:\\Program Files"}}, true},
       {{Press::kAdvice, 0, 0, 0, 0, {}, "已安装的启动镜像"}}},
      {"the tree lacks what the records name",
       {kPxe, {{Mutation::kDelete, "C:\\WINNT\\rpl\\rplfiles\\binfiles\\dos"}}, false},
       {{Press::kAdvice, 0, 0, 0, 0, {}, "网卡"}}},
      {"the tree lacks a FIT file",
       {kPxe, {{Mutation::kDelete, "C:\\WINNT\\rpl\\fits\\dos622.fit"}}, false},
       {{Press::kAdvice, 0, 0, 0, 0, {}, "网卡"}}},
      {"no folder for the drivers",
       {kAccounts, {{Mutation::kDelete, "C:\\WINNT\\rpl\\bblock\\ndis"}}, false},
       {{Press::kAdvice, 0, 0, 0, 0, {}, "网卡"}}},
      {"no database",
       {kDemo, {{Mutation::kDelete, "C:\\WINNT\\rpl\\rpldb.txt"}}, true},
       {{Press::kAdvice, 0, 0, 0, 0, {}, "网卡"}}},
      {"a folder in the driver's place",
       {kAllCards, {{Mutation::kFolder, "C:\\WINNT\\rpl\\bblock\\ndis\\pcind.dos"}}, true},
       {{Press::kAdvice, 0, 0, 0, 0, {}, "网卡 RTL 8029（pcind）"}}},
      {"a folder where a card's boot block goes: the profile's advice registered it",
       {kAllCards, {{Mutation::kFolder, "C:\\WINNT\\rpl\\bblock\\netbeui\\MYNIC\\dosbb.cnf"}}, false},
       {{Press::kAdvice, 0, 0, 0, 0, {}, "配置 W001122"}}},
      {"no rplcmd: the install advice went to detection, which asks it",
       {kAllCards, {{Mutation::kDelete, "C:\\WINNT\\system32\\rplcmd.exe"}}, false},
       {{Press::kAdvice, 0, 0, 0, 0, {}, "配置 NE2KWIN"}}},
      {"no rplcmd: the check called a card ready whose records it could not see",
       {kRpl8139, {{Mutation::kNoRecords, "rtsnd"}, {Mutation::kDelete, "C:\\WINNT\\system32\\rplcmd.exe"}}, false},
       {{Press::kRegister}}},
      {"an installation for a card whose records are gone",
       {kAllCards, {{Mutation::kNoRecords, "rtsnd"}, {Mutation::kNoRecords, "pcind"}, {Mutation::kNoCardFiles, "MYNIC"}},
        false},
       {{Press::kAdvice, 0, 0, 0, 0, {}, "配置 W001122"}, {Press::kDetectRegister, 2}, {Press::kInstall}}},
      {"a boot image packed from an earlier run's tree",
       {kRpl8139, {{Mutation::kDelete, "C:\\Korrin\\unditool\\undisk.exe"}}, false},
       {{Press::kBootImage}}},
      {"an installation for a card type that detection sent to registration",
       {kPxe, {}, false},
       {{Press::kDetectRegister, 0, 0, 0, 1}, {Press::kDetect}, {Press::kUpdate}, {Press::kChoose, 1}, {Press::kInstall}}},
      {"an account script that ran past its time, then the program left and started again",
       {kDemo, {}, false},
       {{Press::kGenerate, 0, 0, 0, 0, {Fault::kProgramHangs, 0}},
        {Press::kAdvice, 0, 0, 0, 0, {}, "已安装的 PXE-PDK"},
        {Press::kExit},
        {Press::kScriptEnds}}},
      {"the check judged the users by folders an earlier, failed press left, not by the fields",
       {kDemo, {}, false},
       {{Press::kGenerate, 0, 0, 0, 0, {Fault::kChange, 1}}, {Press::kType, 0, 0, 2, 0}, {Press::kGenerate}}},
      {"a registered card marked for the administrator because a new registration would be refused",
       {kRpl8139, {{Mutation::kDelete, "C:\\WINNT\\rpl\\rplfiles\\binfiles"}}, false},
       {{Press::kCheck}}},
      {"installation advised while a shipped file it needs is gone",
       {kAccounts,
        {{Mutation::kStray, "C:\\WINNT\\rpl\\bblock\\netbeui\\pcind\\protocol.ini"},
         {Mutation::kDelete, "C:\\Korrin\\rplfiles\\win98\\subst.exe"}},
        false},
       {{Press::kAdvice, 1, 0, 0, 0, {}, "已安装的启动镜像"}, {Press::kAdvice, 3, 0, 0, 0, {}, "配置 NE2KWIN"}}},
      {"an installation held to the image packer, which it does not use",
       {kAccounts, {{Mutation::kDelete, "C:\\Korrin\\unditool\\rplimage.exe"}}, false},
       {{Press::kUpdate, 0, 0, 0, 0, {Fault::kProgramFails, 0}}, {Press::kChoose}, {Press::kDetectRegister}, {Press::kInstall}}},
      {"the installation's unpacker keeps the boot sector beside its tree, which the plan did not list",
       {kDemo, {{Mutation::kStray, "C:\\WINNT\\rpl\\bblock\\netbeui\\pcind\\w95bb.cnf"}}, false},
       {{Press::kUpdate, 0, 0, 0, 0, {Fault::kChange, 0}},
        {Press::kBootImage, 0, 0, 0, 0, {Fault::kProgramFails, 0}},
        {Press::kDetect},
        {Press::kChoose},
        {Press::kDetectRegister, 0, 0, 0, 0, {Fault::kProgramFails, 0}},
        {Press::kInstall}}},
      {"a staged account script left behind when the one fault struck its delete",
       {kDemo, {}, true},
       {{Press::kGenerate}, {Press::kAdvice, 0, 0, 0, 0, {Fault::kChange, 0}, "已安装的 PXE-PDK"},
        {Press::kGenerate, 0, 0, 0, 0, {Fault::kChange, 4}}}},
      {"advice to register again a Realtek card whose registration detection calls done",
       {kRpl8139, {{Mutation::kDelete, "C:\\WINNT\\rpl\\rplfiles\\binfiles\\dos622\\io.sys"}}, false},
       {{Press::kAdvice, 0, 0, 0, 0, {Fault::kChange, 0}, "DOS 6.22 文件"}}},
      {"an account script staged by an earlier run and left by its fault, taken away by the next press",
       {kDemo, {}, false},
       {{Press::kGenerate, 0, 0, 0, 0, {Fault::kProgramHangs, 0}},
        {Press::kRunFile, 3, 0, 0, 0, {Fault::kChange, 4}},
        {Press::kAdvice, 0, 0, 0, 0, {}, "已安装的 PXE-PDK"},
        {Press::kGenerate, 0, 0, 0, 0, {Fault::kChange, 2}}}},
      // Answer files: a value a key cannot take changes nothing; steps that
      // end with 0 leave their items ready.
      {"an answer file with a value its key cannot take", {kDemo, {}, false}, {{Press::kRunFile, 1, 0, 7, 0}}},
      {"auto-registration said done on a profile not installed", {kDemo, {}, false}, {{Press::kRunFile, 0, 2, 0, 0}}},
      {"both roads from an answer file", {kDemo, {}, false}, {{Press::kRunFile, 15, 3, 1, 0}}},
      {"the file saved on a set-up server, on a new one", {kPxe, {}, false}, {{Press::kSaveRun, 0, 0, 0, 0}}},
      // Every session taken back gives the server back: the accounts there
      // before the script, asked of net when it cannot answer; a session
      // with an undo in it; a step left open by the exit button; a whole
      // session whose undo was undone; a press on nothing to take back.
      {"an account step whose accounts net could not list", {kDemo, {}, false},
       {{Press::kRunFile, 1, 0, 0, 0, {Fault::kProgramHangs, 0}}}},
      {"a window session going on after its own undo", {kDemo, {}, false},
       {{Press::kGenerate, 0, 0, 0, 0, {Fault::kChange, 5}}, {Press::kUndo}, {Press::kGenerate}}},
      {"the exit button's taking away of the script", {kAccounts, {}, false},
       {{Press::kExit, 0, 0, 0, 0, {Fault::kProgramFails, 0}}}},
      {"a session's accounts taken back and given back", {kDemo, {}, false},
       {{Press::kAdvice, 0, 0, 0, 0, {Fault::kChange, 0}, "共享目录"}, {Press::kUndo}}},
      {"a server without net advised to generate its users, the journal refusing them",
       {kRplOnly, {{Mutation::kEdit, "C:\\WINNT\\rpl\\bblock\\netbeui\\rtsnd\\w95bb.cnf"}, {Mutation::kDelete, "C:\\WINNT\\system32\\net.exe"},
                   {Mutation::kDelete, "C:\\WINNT\\rpl\\rplfiles\\profiles"}}, false},
       {{Press::kAdvice, 0, 0, 0, 0, {}, "共享目录"}}},
      {"an installation that clears the box, its step ended by the box's own", {kPxe, {{Mutation::kRename, "NEWNAME"}}, false},
       {{Press::kAdvice, 1, 0, 0, 0, {}, "DOS 6.22 文件"}, {Press::kAdvice, 1, 0, 0, 0, {}, "配置 NE2KWIN"},
        {Press::kAutoRegister, 3}, {Press::kInstall, 0, 0, 0, 0, {Fault::kChange, 2}}, {Press::kUndo, 1}}},
      // A server whose program folder was taken away by hand could not keep
      // a journal (seed 140035): the program's folder is now left alone, as
      // Windows leaves the folder of a running program.
      // A session's undo taken back by its next undo: that step added the
      // card's records and took them away again, and its files are gone
      // (seed 818641249).
      {"a step whose records came and went, taken back", {kDemo, {}, false},
       {{Press::kDetectRegister}, {Press::kUndo}, {Press::kUndo}}},
      {"an installation whose unpacker failed, on a server with a boot image, taken back", {kPxe, {}, false},
       {{Press::kAdvice, 0, 0, 0, 0, {}, "DOS 6.22 文件"}, {Press::kUpdate}, {Press::kChoose},
        {Press::kInstall, 0, 0, 0, 0, {Fault::kProgramFails, 0}}}},
      {"an undo pressed with nothing to take back", {kAccounts, {}, false},
       {{Press::kAdvice, 0, 0, 0, 0, {}, "已安装的 PXE-PDK"}, {Press::kUndo}, {Press::kUndo, 0, 0, 0, 0, {Fault::kChange, 3}}}},
  };
  return rows;
}

TEST(SimulatedAdministratorRows, KeepEveryPromise) {
  for (const Row& row : Rows()) {
    const std::string broken = Walk(row.shape, row.presses);
    EXPECT_EQ(broken, "") << row.found;
  }
}

}  // namespace
}  // namespace admin
