// The Remoteboot Manager's logic on the demo server's tree: its lists, the
// check of the configurations, making and deleting profiles.
#include <filesystem>

#include "standins/rpl/rplmgr.h"
#include "tests/standins/rpl_session.h"

namespace {

namespace fs = std::filesystem;
using standins::rpl::ConfigurationCheck;
using standins::rpl::Manager;

class RplmgrTest : public RplSession {
 protected:
  // The manager removes an empty directory as the simulated host does.
  RplmgrTest() : manager(host, [this](const std::string& dir) { return host.RemoveDirectory(dir); }) {}

  void SetUp() override {
    std::string message;
    ASSERT_TRUE(manager.Load(&message)) << message;
  }

  // Registers a card with rplcmd as the tool does.
  void Register(const Card& card) {
    PrepareCard(card);
    ASSERT_EQ(Run(kRun), 0) << card.type;
    std::string message;
    ASSERT_TRUE(manager.Load(&message)) << message;
  }

  Manager manager;
  static constexpr const char* kProfiles = "C:\\WINNT\\rpl\\rplfiles\\profiles\\";
};

TEST_F(RplmgrTest, ListsTheDatabaseAndChecksItsConfigurations) {
  EXPECT_EQ(manager.VendorLines(), std::vector<std::string>{"00001B\tNE2000 兼容网卡"});
  EXPECT_EQ(manager.BootBlockLines(),
            (std::vector<std::string>{"00001BDOS\t00001B\tBBLOCK\\NETBEUI\\NE2000\\DOSBB.CNF\tDOS NE2000",
                                      "00001BWIN\t00001B\tBBLOCK\\NETBEUI\\NE2000\\W95BB.CNF\tWindows NE2000"}));
  EXPECT_EQ(manager.ProfileLines(),
            (std::vector<std::string>{"NE2KDOS\tDOS00001B\tNE2000 的 DOS 工作站",
                                      "NE2KWIN\tWIN00001B\tNE2000 的 Windows 工作站"}));
  // The shipped DOS configuration wants the DOS 6.22 files; the Windows one
  // has its boot block, the block's file and its 5 components, 2 FIT files,
  // 2 directories and 3 system files.
  EXPECT_EQ(manager.CheckAll(),
            (std::vector<std::string>{
                "DOS00001B：不可用",
                "    缺少文件 C:\\WINNT\\rpl\\rplfiles\\binfiles\\dos622\\IO.SYS",
                "    缺少文件 C:\\WINNT\\rpl\\rplfiles\\binfiles\\dos622\\MSDOS.SYS",
                "    缺少文件 C:\\WINNT\\rpl\\rplfiles\\binfiles\\dos622\\COMMAND.COM",
                "    缺少文件 C:\\WINNT\\rpl\\rplfiles\\binfiles\\dos622\\HIMEM.SYS",
                "WIN00001B：可用（所需的 14 个文件和目录都在）"}));
  // After the check each configuration says whether it can be used.
  EXPECT_EQ(manager.ConfigurationLines(),
            (std::vector<std::string>{"DOS00001B\t不可用\t00001BDOS\tDOS\tDOS 6.22 NE2000",
                                      "WIN00001B\t可用\t00001BWIN\tWindows\tWindows NE2000"}));
  // Records a card's registration added show at the next load.
  ASSERT_NO_FATAL_FAILURE(Register(Cards()[0]));
  // Read again, the database's configurations are unchecked.
  EXPECT_EQ(manager.ConfigurationLines().back(), "WIN00E04C\t未检查\t00E04CWIN\tWindows\tWindows 98SE FOR RTL8139");
}

// A database rplcmd or the manager cannot read is refused with the line and
// what is wrong there; nothing is added, made, deleted or written, whatever
// its profiles are named ("删除配置文件" on a profile named ".." removed every
// profile).
TEST_F(RplmgrTest, ADatabaseThatCannotBeReadIsRefusedAndNothingIsTouched) {
  const std::string kHead = "RPLDB 1\r\nVENDOR\t00001B\tx\r\n", kIs = "远程启动数据库 C:\\WINNT\\rpl\\rpldb.txt ";
  auto at = [&](int line, const char* why) {
    return kIs + "第 " + std::to_string(line) + " 行已损坏（" + why + "）。";
  };
  struct Case {
    std::string db;       // "<absent>": no file
    std::string printed;  // by rplcmd
    std::string said;     // by the manager
  } cases[] = {
      {"<absent>",
       "The Remoteboot database C:\\WINNT\\rpl\\rpldb.txt does not exist: the Remoteboot service is not installed.\n",
       kIs + "不存在：远程启动服务没有安装。"},
      {"VENDOR\t00001B\tx\r\n",
       "The Remoteboot database C:\\WINNT\\rpl\\rpldb.txt is damaged at line 1: the file does not begin "
       "with its format line; nothing was changed.\n",
       at(1, "文件不是以格式行开头")},
      {"", "damaged at line 1: the file does not begin with its format line;", at(1, "文件不是以格式行开头")},
      // Turned away at its first line before anything else of it is read.
      {std::string("MZ\x90\0\x03\0\r\n\x1A\xFF", 10), "at line 1: the file does not begin",
       at(1, "文件不是以格式行开头")},
      {kHead + "WKSTA\tW1\r\n", "damaged at line 3: not a record of this file;", at(3, "不是数据库的记录")},
      {"RPLDB 1\r\nBOOT\t00001BDOS\t00001B\tBBLOCK\\X.CNF\tc\r\n", "at line 2: not a record",
       at(2, "不是数据库的记录")},
      {"RPLDB 1\r\nPROFILE\tP\r\n", "at line 2: not a record", at(2, "不是数据库的记录")},
      {"RPLDB 1\r\n\r\nVENDOR\t00001B\tx\r\n", "at line 2: not a record", at(2, "不是数据库的记录")},
      {kHead + "\x1A" "PROFILE\tNE2KWIN\tWIN00001B\t\r\n", "damaged at line 3: a Ctrl-Z before the end of the file;",
       at(3, "文件结束之前有 Ctrl-Z")},
      {kHead + "PROFILE\tNE2KWIN\tWIN\n00001B\t\r\n", "damaged at line 3: a control character inside the line;",
       at(3, "行中有控制字符")},
      {kHead + "PROFILE\tNE2KWIN\tWIN0000", "at line 3: the last line has no line end: the file is cut short;",
       at(3, "最后一行没有行尾，文件不完整")},
      {kHead + "VENDOR\t00E04C\t\xA1\x44\r\n", "at line 3: bytes that are not code page 936 text;",
       at(3, "有不属于代码页 936 的字节")},
      {"RPLDB 1\r\nVENDOR\t00001G\tx\r\n", "at line 2: a record name that is not valid;", at(2, "记录的名称无效")},
  };
  std::vector<Case> all(std::begin(cases), std::end(cases));
  for (const char* name : {"..", ".", "..\\..\\..", "...", "A.", "CON", "lpt1.txt", "COM5", "com9.dat", "LPT5",
                           "Lpt9", "NE2K/WIN", "C:"})
    all.push_back({kHead + "PROFILE\t" + name + "\tWIN00001B\t\r\n", "at line 3: a record name that is not valid;",
                   at(3, "记录的名称无效")});
  PrepareCard(Cards()[0]);
  const std::string original = Get(kDb);
  const auto tree = Tree("C:\\WINNT");
  for (const Case& c : all) {
    SCOPED_TRACE(c.db);
    host.DeleteFile(kDb);
    if (c.db != "<absent>") Put(kDb, c.db);
    std::string out, message;
    EXPECT_EQ(Run(kRun, &out), 3);
    EXPECT_NE(out.find(c.printed), std::string::npos) << out;
    EXPECT_FALSE(manager.Load(&message));
    EXPECT_EQ(message, c.said);
    EXPECT_TRUE(manager.ProfileLines().empty());
    EXPECT_FALSE(manager.MakeProfile("P1", "WIN00001B", "", &message));
    EXPECT_EQ(message, c.said);
    for (const char* name : {"..", ".", "NE2KWIN"}) {
      EXPECT_FALSE(manager.DeleteProfile(name, &message));
      EXPECT_EQ(message, c.said);
    }
    EXPECT_EQ(Get(kDb), c.db);
    Put(kDb, original);
    EXPECT_EQ(Tree("C:\\WINNT"), tree);
  }
  // One that cannot be read is not overwritten either.
  Put(kDb, "RPLDB 1\r\n");
  host.MakeUnreadable(kDb);
  std::string out;
  EXPECT_EQ(Run(kRun, &out), 3);
  EXPECT_NE(out.find("cannot be read"), std::string::npos) << out;
  EXPECT_EQ(Get(kDb), "RPLDB 1\r\n");
}

// Each case takes one thing from the tree (or the database) and names what
// the Windows configuration WIN00001B then misses.
TEST_F(RplmgrTest, SaysWhatAConfigurationMisses) {
  struct Case {
    const char* file;     // deleted, relative to WINDIR\rpl; or
    const char* db_line;  // a replaced CONFIG line for WIN00001B
    std::vector<std::string> missing;
  } cases[] = {
      {"bblock\\ndis\\ne2000.dos", nullptr, {"缺少文件 C:\\WINNT\\rpl\\BBLOCK\\NDIS\\NE2000.DOS"}},
      {"bblock\\protman.dos", nullptr, {"缺少文件 C:\\WINNT\\rpl\\BBLOCK\\PROTMAN.DOS"}},
      {"bblock\\netbeui\\ne2000\\protocol.ini", nullptr,
       {"缺少文件 C:\\WINNT\\rpl\\BBLOCK\\NETBEUI\\NE2000\\PROTOCOL.INI"}},
      {"bblock\\netbeui\\ne2000\\w95bb.cnf", nullptr,
       {"缺少启动块定义文件 C:\\WINNT\\rpl\\BBLOCK\\NETBEUI\\NE2000\\W95BB.CNF"}},
      {"fits\\win95p.fit", nullptr, {"缺少文件 C:\\WINNT\\rpl\\fits\\win95p.fit"}},
      {nullptr, "CONFIG\tWIN00001B\tNOBOOT\tdos\twin95\tfits\\win95.fit\tfits\\win95p.fit\tc\t\t",
       {"数据库中没有启动块 NOBOOT"}},
      {nullptr, "CONFIG\tWIN00001B\t00001BWIN\tdos\twin95\tfits\\win95.fit\tfits\\win95p.fit\tc\tnodir\t",
       {"缺少目录 C:\\WINNT\\rpl\\rplfiles\\binfiles\\nodir"}},
      {nullptr, "CONFIG\tWIN00001B\t00001BWIN\tdos\twin95\tC:\\x.fit\tfits\\win95p.fit\tc\t\t",
       {"“C:\\x.fit”不是远程启动目录树中的路径"}},
      {nullptr, "CONFIG\tWIN00001B\t00001BWIN\tdos\twin98\tfits\\win95.fit\tfits\\win95p.fit\tc\t\t",
       {"缺少目录 C:\\WINNT\\rpl\\rplfiles\\binfiles\\win98",
        "缺少文件 C:\\WINNT\\rpl\\rplfiles\\binfiles\\win98\\IO.SYS",
        "缺少文件 C:\\WINNT\\rpl\\rplfiles\\binfiles\\win98\\MSDOS.SYS",
        "缺少文件 C:\\WINNT\\rpl\\rplfiles\\binfiles\\win98\\COMMAND.COM"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file ? c.file : c.db_line);
    const std::string path = c.file ? std::string("C:\\WINNT\\rpl\\") + c.file : kDb, saved = Get(path);
    if (c.file) {
      ASSERT_TRUE(host.DeleteFile(path));
    } else {
      std::string db = saved;
      const size_t at = db.find("CONFIG\tWIN00001B\t");
      Put(kDb, db.replace(at, db.find("\r\n", at) - at, c.db_line));
    }
    std::string message;
    ASSERT_TRUE(manager.Load(&message)) << message;
    ASSERT_NE(manager.db().FindConfiguration("WIN00001B"), nullptr);
    const ConfigurationCheck check = manager.Check(*manager.db().FindConfiguration("WIN00001B"));
    EXPECT_FALSE(check.usable);
    EXPECT_EQ(check.missing, c.missing);
    Put(path, saved);
  }
}

// A profile is made with its directory and its record, or refused with what
// is wrong, and then nothing changes.
TEST_F(RplmgrTest, MakesAProfileOrRefusesItAndChangesNothing) {
  ASSERT_NO_FATAL_FAILURE(Register(Cards()[0]));
  ASSERT_NO_FATAL_FAILURE(Register(Cards()[1]));  // its configurations unusable without its driver
  ASSERT_TRUE(host.DeleteFile("C:\\WINNT\\rpl\\bblock\\ndis\\pcind.dos"));
  MakeDirs(std::string(kProfiles) + "ONDISK");
  Put(std::string(kProfiles) + "AFILE", "x");
  struct Case {
    std::string name, configuration, comment;
    std::string message;  // the refusal, or "": made
    const char* spelled = "";  // as the database spells the configuration
    bool dos = false;
  } cases[] = {
      {"W8139", "WIN00E04C", "八一三九 工作站", "", "WIN00E04C"},
      {"D8139", "dos00e04c", "", "", "DOS00E04C", true},
      // Names of 15 characters, the most a name may have, in ASCII and in
      // Chinese (30 bytes).
      {"FIFTEEN_CHARS_A", "WIN00001B", "", "", "WIN00001B"},
      {"十五个字的配置文件名称最多只有", "WIN00001B", "", "", "WIN00001B"},
      {"W2", "WIN00001B", "", "", "WIN00001B"},
      {"", "WIN00001B", "", "配置文件名“”无效：应为 1 到 15 个字符，不含空格和 \\ / : * ? \" < > |，"
                            "不以句点结尾，也不是设备名（CON、NUL、COM1 等）。"},
      {"ne2kwin", "WIN00001B", "", "配置文件 ne2kwin 已经存在。"},
      {"ONDISK", "WIN00001B", "", "C:\\WINNT\\rpl\\rplfiles\\profiles\\ONDISK 已经存在，配置文件没有新建。"},
      {"afile", "WIN00001B", "", "C:\\WINNT\\rpl\\rplfiles\\profiles\\afile 已经存在，配置文件没有新建。"},
      {"P1", "", "", "请先选择一个配置。"},
      {"P1", "WIN001122", "", "数据库中没有配置 WIN001122。"},
      {"P1", "DOS5254AB", "", "配置 DOS5254AB 不可用，不能据此新建配置文件：缺少文件 C:\\WINNT\\rpl\\BBLOCK\\NDIS\\pcind.DOS"},
  };
  std::vector<Case> all(std::begin(cases), std::end(cases));
  for (const char* name : {"TWO WORDS", "A\\B", "A*", "SIXTEEN_CHARS_AB", "十六个字的配置文件名称比最多多一", "Con.dat", "lpt9.x"})
    all.push_back({name, "WIN00001B", "", std::string("配置文件名“") + name + "”无效"});
  for (const char* comment : {"\xED\xB3\xBF", "a\tb", "价格 \xE2\x82\xAC"})
    all.push_back({"P1", "WIN00001B", comment, "说明中不能有制表符、控制字符或代码页 936 以外的字符。"});
  std::vector<std::string> records = DbLines();
  for (const Case& c : all) {
    SCOPED_TRACE(c.name);
    const std::string dir = std::string(kProfiles) + c.name;
    const auto tree = Tree("C:\\WINNT\\rpl");
    std::string message;
    EXPECT_EQ(manager.MakeProfile(c.name, c.configuration, c.comment, &message), c.message.empty()) << message;
    if (!c.message.empty()) {
      EXPECT_EQ(message.substr(0, c.message.size()), c.message);
      EXPECT_EQ(Tree("C:\\WINNT\\rpl"), tree);
      continue;
    }
    EXPECT_EQ(message, "已新建配置文件 " + c.name + "（配置 " + c.spelled + "，" + (c.dos ? "DOS" : "Windows") + "）：" + dir);
    std::vector<platform::DirEntry> now;
    ASSERT_TRUE(host.ListDirectory(dir + "\\wksta.pro", &now));
    EXPECT_EQ(now.size(), c.dos ? 3u : 2u);  // ".", ".." and dosshell.ini
    EXPECT_EQ(Get(dir + "\\wksta.pro\\dosshell.ini"),
              c.dos ? Get(std::string(kProfiles) + "NE2KDOS\\wksta.pro\\dosshell.ini") : "<absent>");
    records.push_back("PROFILE\t" + c.name + "\t" + c.spelled + "\t" + c.comment);
    EXPECT_EQ(DbLines(), records);
  }
  EXPECT_EQ(manager.ProfileLines().back(), "W2\tWIN00001B\t");
  // A database that cannot be written leaves no profile behind.
  const std::string before = Get(kDb);
  std::string message;
  ASSERT_TRUE(host.SetFileAttributes(kDb, platform::kAttrReadOnly));
  EXPECT_FALSE(manager.MakeProfile("P1", "WIN00001B", "", &message));
  EXPECT_EQ(message, "无法写入远程启动数据库，配置文件没有新建。");
  EXPECT_FALSE(host.DirectoryExists(std::string(kProfiles) + "P1"));
  EXPECT_EQ(Get(kDb), before);
}

TEST_F(RplmgrTest, DeletesAProfileWithItsFilesOrKeepsItsRecord) {
  // A hidden file is not listed, so the Windows profile's directory cannot be
  // emptied: the profile stays in the database.
  const std::string win = std::string(kProfiles) + "NE2KWIN", dos = std::string(kProfiles) + "NE2KDOS";
  Put(win + "\\wksta.pro\\hidden.dat", "x");
  ASSERT_TRUE(host.SetFileAttributes(win + "\\wksta.pro\\hidden.dat", platform::kAttrHidden));
  std::string before = Get(kDb), message;
  EXPECT_FALSE(manager.DeleteProfile("NE2KWIN", &message));
  EXPECT_EQ(message, "目录 C:\\WINNT\\rpl\\rplfiles\\profiles\\NE2KWIN 没能完全删除，配置文件 NE2KWIN 仍留在数据库中。");
  EXPECT_EQ(Get(kDb), before);

  // The DOS profile's tree as an installation leaves it, with a read-only file.
  Put(dos + "\\suboot\\winboot\\startnet.bat", "x\r\n");
  Put(dos + "\\suboot\\io.sys", "x");
  ASSERT_TRUE(host.SetFileAttributes(dos + "\\suboot\\io.sys", platform::kAttrReadOnly));
  EXPECT_TRUE(manager.DeleteProfile("ne2kdos", &message)) << message;
  EXPECT_EQ(message, "已删除配置文件 ne2kdos。");
  EXPECT_FALSE(host.DirectoryExists(dos));
  EXPECT_TRUE(host.DirectoryExists(win + "\\wksta.pro"));
  EXPECT_EQ(manager.ProfileLines(), std::vector<std::string>{"NE2KWIN\tWIN00001B\tNE2000 的 Windows 工作站"});
  EXPECT_EQ(DbLines().size(), 7u);
  EXPECT_EQ(DbLines().back(), "PROFILE\tNE2KWIN\tWIN00001B\tNE2000 的 Windows 工作站");

  // A profile whose directory is gone already loses its record all the same;
  // one not in the database is refused.
  ASSERT_TRUE(fs::remove_all(host.NativePath(win)) > 0);
  EXPECT_TRUE(manager.DeleteProfile("NE2KWIN", &message)) << message;
  EXPECT_TRUE(manager.ProfileLines().empty());
  before = Get(kDb);
  for (const char* name : {"NE2KWIN", ""}) {
    EXPECT_FALSE(manager.DeleteProfile(name, &message));
    EXPECT_EQ(message, *name ? "数据库中没有配置文件 NE2KWIN。" : "请先选择一个配置文件。");
    EXPECT_EQ(Get(kDb), before);
  }
}

}  // namespace
