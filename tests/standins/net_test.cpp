// The net stand-in: its records, and what it refuses as the server does.
#include <functional>

#include "standins/net/records.h"
#include "tests/standins/standin_session.h"

namespace {

const char* const kDone = "The command completed successfully.\n";
// The records every test starts from, as net makes them.
const char* const kMade[] = {"net user alice secret /add", "net user bob pw /add", "net group staff /add",
                             "net group staff alice /add", "net share DATA=C:\\data", "net start remoteboot"};

class NetTest : public StandinSession {
 protected:
  void SetUp() override {
    MakeDirs("C:\\data");
    MakeDirs("C:\\other");
    // The Remoteboot service is there with its database; an entry for it in
    // installed.txt changes nothing.
    Put("C:\\WINNT\\rpl\\rpldb.txt", "RPLDB 1\r\n");
    Put("C:\\WINNT\\netstate\\installed.txt",
        "RemoteBoot\tRemoteboot Service\r\nDHCPServer\r\n");
    for (const char* line : kMade) ASSERT_EQ(Run(line), 0) << line;
  }

  // Runs net with words as they arrive after the command line is split.
  int Net(const std::vector<std::string>& args, std::string* out) {
    out->clear();
    return standins::OnSimHost(&standins::NetMain)(host, args, "", out);
  }
};

// What it keeps is listed; changes print what the server prints and are kept
// in text files.
TEST_F(NetTest, ListsWhatItKeepsAndKeepsWhatItChangesInTextFiles) {
  struct Case {
    const char* command;
    std::vector<std::string> shown;  // the whole of what is printed, or (two or more) parts of it
  } cases[] = {
      {"net user", {"alice", "bob", kDone}}, {"net group", {"*staff", kDone}}, {"net group staff", {"alice", kDone}},
      {"net share", {"DATA", "C:\\data", kDone}}, {"net start", {"远程启动服务", kDone}},
      // A share name longer than its column stands on a line of its own.
      {"net share TWELVECHARSX=C:\\data", {"TWELVECHARSX was shared successfully.\n"}},
      {"net share THIRTEENCHARS=C:\\other", {"THIRTEENCHARS was shared successfully.\n"}},
      {"net share",
       {"\nShare name   Resource                        Remark\n\n" + std::string(79, '-') +
        "\nDATA         C:\\data\nTWELVECHARSX C:\\data\nTHIRTEENCHARS\n             C:\\other\n" + kDone}},
      {"net user bob", {"bob", "*None", kDone}}, {"net user carol /add", {kDone}}, {"NET GROUP ops /ADD", {kDone}},
      {"net group ops carol bob /add", {kDone}}, {"net share Pub=c:\\other", {"Pub was shared successfully.\n"}},
      {"net start \"dhcpserver\"",
       {"The DHCPServer service is starting.\nThe DHCPServer service was started successfully.\n\n"}},
      {"net user ALICE newpw", {kDone}}, {"net user alice /passwordchg:no", {kDone}},
  };
  for (const Case& c : cases) {
    std::string out;
    EXPECT_EQ(Run(c.command, &out), 0) << c.command;
    if (c.shown.size() == 1) { EXPECT_EQ(out, c.shown[0]) << c.command; }
    for (const std::string& s : c.shown) EXPECT_NE(out.find(s), std::string::npos) << c.command << ": " << s;
  }
  EXPECT_EQ(Records("users.txt"), (std::vector<std::string>{"alice\tpasswordchg:no\tnewpw",
                                                            "bob\tpasswordchg:yes\tpw",
                                                            "carol\tpasswordchg:yes\t"}));
  EXPECT_EQ(Records("groups.txt"), (std::vector<std::string>{"staff\talice", "ops\tcarol\tbob"}));
  EXPECT_EQ(Records("shares.txt"), (std::vector<std::string>{"DATA\tC:\\data", "TWELVECHARSX\tC:\\data",
                                                             "THIRTEENCHARS\tC:\\other", "Pub\tc:\\other"}));
  EXPECT_EQ(Records("services.txt"), (std::vector<std::string>{"RemoteBoot", "DHCPServer"}));
}

TEST_F(NetTest, RefusesWhatTheServerRefusesAndChangesNoRecord) {
  struct Case {
    std::string command;
    int code;
    std::string message;
  } cases[] = {
      // Existing accounts, without regard to case; users and groups share names.
      {"net user alice other /add", 2, "The account already exists.\n\nMore help is available by typing NET HELPMSG 2224."},
      {"net user ALICE other /add", 2, "NET HELPMSG 2224"},
      {"net user Staff pw /add", 2, "The group already exists.\n\nMore help is available by typing NET HELPMSG 2223."},
      {"net group STAFF /add", 2, "NET HELPMSG 2223"},
      {"net group Alice /add", 2, "NET HELPMSG 2224"},
      // Members.
      {"net group nogroup alice /add", 2, "The group name could not be found.\n\nMore help is available by typing NET HELPMSG 2220."},
      {"net group staff nobody /add", 2, "The user name could not be found.\n\nMore help is available by typing NET HELPMSG 2221."},
      {"net group staff ALICE /add", 2, "The user already belongs to this group.\n\nMore help is available by typing NET HELPMSG 2236."},
      {"net group staff bob nobody /add", 2, "NET HELPMSG 2221"},  // bob is not added either
      {"net group staff bob BOB /add", 2, "NET HELPMSG 2236"},
      {"net group staff staff /add", 2, "NET HELPMSG 2221"},  // a group is no member
      // Shares.
      {"net share data=C:\\other", 2, "The name has already been shared.\n\nMore help is available by typing NET HELPMSG 2118."},
      {"net share NEW=C:\\missing", 2, "The device or directory does not exist.\n\nMore help is available by typing NET HELPMSG 2116."},
      {"net share NEW=data", 2, "NET HELPMSG 2116"},  // not a full path
      {"net share NEW=C:data", 2, "NET HELPMSG 2116"},  // relative to the drive's current directory
      {"net share NEW=C:\\WINNT\\netstate\\installed.txt", 2, "NET HELPMSG 2116"},  // a file
      {"net share =C:\\data", 2, "System error 123 has occurred.\n\nThe filename, directory name, or volume label syntax is incorrect."},
      // Account names.
      {"net user ... pw /add", 2, "System error 1315 has occurred.\n\nThe name provided is not a properly formed account name."},
      {"net user nobody", 2, "NET HELPMSG 2221"},
      {"net user nobody newpw", 2, "NET HELPMSG 2221"},
      {"net group nogroup", 2, "NET HELPMSG 2220"},
      {"net share NOSHARE", 2, "This shared resource does not exist.\n\nMore help is available by typing NET HELPMSG 2310."},
      // Services.
      {"net start \"remoteboot service\"", 2, "NET HELPMSG 2185"},
      {"net start nosuch", 2, "The service name is invalid.\n\nMore help is available by typing NET HELPMSG 2185."},
      // Syntax.
      {"net", 1, "The syntax of this command is:\n\n\nNET [ ACCOUNTS"},
      {"net frobnicate x", 1, "NET [ ACCOUNTS"},
      {"net user /add", 1, "NET USER [username"},
      {"net user a b c /add", 1, "NET USER [username"},
      {"net user carol pw /add /passwordchg:maybe", 1, "The option /passwordchg:maybe is unknown."},
      {"net group /add", 1, "NET GROUP [groupname"},
      {"net group staff bob", 1, "NET GROUP [groupname"},
      {"net share x=C:\\data y", 1, "NET SHARE sharename"},
      {"net share x=C:\\data /remark:hi", 1, "The option /remark:hi is unknown."},
      {"net start x /y", 1, "The option /y is unknown."},
      // Taking back: what is not there, or not so, is refused and nothing goes.
      {"net user nobody /DELETE", 2, "The user name could not be found.\n\nMore help is available by typing NET HELPMSG 2221."},
      {"net group nogroup /delete", 2, "NET HELPMSG 2220"},
      {"net group nogroup alice /delete", 2, "NET HELPMSG 2220"},
      {"net group staff bob /delete", 2, "The user does not belong to this group.\n\nMore help is available by typing NET HELPMSG 2237."},
      {"net group staff alice bob /delete", 2, "NET HELPMSG 2237"},  // alice stays
      {"net group staff alice ALICE /delete", 2, "NET HELPMSG 2237"},
      {"net group staff nobody /delete", 2, "NET HELPMSG 2221"},
      {"net share NOSHARE /delete", 2, "This shared resource does not exist.\n\nMore help is available by typing NET HELPMSG 2310."},
      {"net stop dhcpserver", 2, "The service has not been started.\n\nMore help is available by typing NET HELPMSG 2184."},
      {"net stop nosuch", 2, "The service name is invalid.\n\nMore help is available by typing NET HELPMSG 2185."},
      {"net user alice secret /delete", 1, "NET USER [username"},
      {"net user alice /add /delete", 1, "NET USER [username"},
      {"net user alice /delete /passwordchg:no", 1, "NET USER [username"},
      {"net user /delete", 1, "NET USER [username"},
      {"net group /delete", 1, "NET GROUP [groupname"},
      {"net group staff /add /delete", 1, "NET GROUP [groupname"},
      {"net share /delete", 1, "NET SHARE sharename"},
      {"net share DATA /delete /remark:hi", 1, "The option /remark:hi is unknown."},
      {"net stop", 1, "The syntax of this command is:\n\n\nNET STOP service\n"},
      {"net stop remoteboot /y", 1, "The option /y is unknown."},
  };
  for (const Case& c : cases) {
    const auto before = Tree("C:\\WINNT\\netstate");
    std::string out;
    EXPECT_EQ(Run(c.command, &out), c.code) << c.command;
    EXPECT_NE(out.find(c.message), std::string::npos) << c.command << "\n" << out;
    EXPECT_EQ(out.find("successfully"), std::string::npos) << c.command;
    EXPECT_EQ(Tree("C:\\WINNT\\netstate"), before) << c.command;
  }
}

// What was added and is taken back, in the reverse order, leaves every record
// file byte for byte as it was. (A file going with its last record, and a
// user's memberships with the user, are the simulated administrator's: its
// undo of the accounts finds the server as it was.)
TEST_F(NetTest, TakingBackWhatWasAddedLeavesTheRecordFilesAsTheyWere) {
  const std::string stopped = "The DHCPServer service is stopping.\nThe DHCPServer service was stopped successfully.\n\n";
  struct Case {
    std::vector<std::string> adds;
    std::vector<std::pair<std::string, std::string>> takes_back;  // command, what it prints
  } cases[] = {
      {{"net user dave pw /add"}, {{"net user DAVE /delete", kDone}}},
      {{"net group staff bob /add", "net group ops /add", "net group ops bob alice /add"},
       {{"net group ops alice BOB /delete", kDone}, {"net group Ops /delete", kDone}, {"net group staff bob /delete", kDone}}},
      {{"net share PUB=C:\\other"}, {{"net share pub /delete", "pub was deleted successfully.\n"}}},
      {{"net start dhcpserver"}, {{"net stop DHCPSERVER", stopped}}},
      // All the records there are.
      {{}, {{"net stop 远程启动服务", "The 远程启动服务 service is stopping.\nThe 远程启动服务 service was stopped successfully.\n\n"},
            {"net share DATA /delete", "DATA was deleted successfully.\n"}, {"net group staff alice /delete", kDone},
            {"net group staff /delete", kDone}, {"net user bob /delete", kDone}, {"net user alice /delete", kDone}}},
  };
  const auto start = Tree("C:\\WINNT\\netstate");
  for (const Case& c : cases) {
    const auto before = Tree("C:\\WINNT\\netstate");
    for (const std::string& add : c.adds) ASSERT_EQ(Run(add), 0) << add;
    for (const auto& t : c.takes_back) {
      std::string out;
      EXPECT_EQ(Run(t.first, &out), 0) << t.first << "\n" << out;
      EXPECT_EQ(out, t.second) << t.first;
    }
    if (!c.adds.empty()) {
      EXPECT_EQ(Tree("C:\\WINNT\\netstate"), before) << c.adds[0];
    }
  }
  // The commands that made the records from none make the very same files
  // again.
  for (const char* add : kMade) ASSERT_EQ(Run(add), 0) << add;
  EXPECT_EQ(Tree("C:\\WINNT\\netstate"), start);
}

// Names are taken up to the server's limits, counted in characters (a
// Chinese name may have twice as many bytes), and refused one past them; a
// name with a character the server refuses is refused, and a password or a
// path with a line end or another control character (it would be a second
// record) or bytes of no character (no text at all).
TEST_F(NetTest, TakesNamesUpToTheServersLimitsAndRefusesTheCharactersItRefuses) {
  struct Case {
    std::vector<std::string> args;
    const char* refusal;  // a part of what is printed; nullptr: taken
  };
  std::vector<Case> cases = {
      {{"user", Times("u", 20), "/add"}, nullptr},
      {{"user", Times("u", 21), "/add"}, ""},
      {{"user", Times("用", 20), "口令", "/add"}, nullptr},
      {{"user", Times("户", 21), "/add"}, ""},
      {{"group", Times("g", 256), "/add"}, nullptr},
      {{"group", Times("g", 257), "/add"}, ""},
      {{"group", Times("组", 256), "/add"}, nullptr},
      {{"group", Times("群", 257), "/add"}, ""},
      {{"share", Times("s", 80) + "=C:\\data"}, nullptr},
      {{"share", Times("s", 81) + "=C:\\data"}, ""},
      {{"share", Times("共", 80) + "=C:\\data"}, nullptr},
      {{"share", Times("享", 81) + "=C:\\data"}, ""},
      {{"share", "Hidden$=C:\\data"}, nullptr},
      {{"share", "Two Words=C:\\other"}, nullptr},
  };
  for (char bad : std::string("\"/\\[]:;|=,+*?<>\t\x01\x7F\r\n", 21)) {
    const std::string name = std::string("a") + bad + "b";
    cases.push_back({{"user", name, "pw", "/add"}, "System error 1315"});
    cases.push_back({{"group", name, "/add"}, "System error 1315"});
    // The first "=" ends a share's name: "a=b=C:\data" shares "b=C:\data" as "a".
    cases.push_back({{"share", name + "=C:\\data"}, bad == '=' ? "NET HELPMSG 2116" : "System error 123 "});
  }
  // The euro sign is written as a byte 80, which reads back as no character.
  for (const std::string bad : {"\r\n", "\n", "\t", "\x01", "\x7F", "\xED\xB3\xBF", "\xE2\x82\xAC"}) {
    cases.push_back({{"user", "carol", "p" + bad + "w", "/add"},
                     "The password parameter is invalid.\n\nMore help is available by typing NET HELPMSG 2203."});
    cases.push_back({{"user", "alice", "p" + bad + "w"}, "NET HELPMSG 2203"});
    cases.push_back({{"share", "X=C:\\data" + bad}, "System error 123 "});
  }
  std::string out;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args[0] + " " + c.args[1]);
    const auto before = Tree("C:\\WINNT\\netstate");
    EXPECT_EQ(Net(c.args, &out), c.refusal ? 2 : 0) << out;
    EXPECT_NE(out.find(c.refusal ? c.refusal : "successfully"), std::string::npos) << out;
    EXPECT_EQ(Tree("C:\\WINNT\\netstate") == before, c.refusal != nullptr);
  }
  EXPECT_EQ(Records("users.txt")[3], Times("用", 20) + "\tpasswordchg:yes\t口令");
}

// A record file damaged anywhere is never written again: the command names
// the file and the line, exits with 2 and changes no file. (Each kind of
// damage the reader finds is tabled with the Remoteboot database, which it
// reads alike: rplmgr_test.cpp.) One that cannot be
// read is not written from nothing; a write that fails keeps the old records
// and leaves nothing beside them.
TEST_F(NetTest, ADamagedRecordFileOrOneThatCannotBeReadOrWrittenKeepsItsRecords) {
  const std::string users = "alice\tpasswordchg:yes\tsecret\r\n", denied = "System error 5 has occurred.\n\nAccess is denied.";
  const std::string kAt = "The record file C:\\WINNT\\netstate\\", path = "C:\\WINNT\\netstate\\users.txt";
  using Fault = std::function<void(SimMachine&)>;
  struct Case {
    const char* file;
    std::string bytes;
    std::string command, message;
    Fault fault;
  } cases[] = {
      {"users.txt", users + "..\\bob\tpasswordchg:yes\tpw\r\n", "net user carol pw /add",
       kAt + "users.txt is damaged at line 2: not a record of this file;", {}},
      {"users.txt", users + "bob\tpasswordchg:maybe\tpw\r\n", "net user carol pw /add",
       kAt + "users.txt is damaged at line 2: not a record", {}},
      {"groups.txt", "staff\talice\r\nops\tnobody\\..\r\n", "net group ops2 /add", kAt + "groups.txt is damaged at line 2", {}},
      {"shares.txt", "DATA\tC:\\data\r\nPUB\tdata\r\n", "net share NEW=C:\\other", kAt + "shares.txt is damaged at line 2", {}},
      {"services.txt", "RemoteBoot\r\n\x1A\x1A", "net start dhcpserver",
       kAt + "services.txt is damaged at line 2: a Ctrl-Z before the end of the file; nothing was changed.", {}},
      {"users.txt", users, "net user carol pw /add", denied, [&](SimMachine& m) { m.host.LimitDiskSpace(users.size() + 10); }},
      {"users.txt", users, "net user carol pw /add", denied,
       [&](SimMachine& m) { ASSERT_TRUE(m.host.SetFileAttributes(path, platform::kAttrReadOnly)); }},
      {"users.txt", users, "net user carol pw /add", denied, [&](SimMachine& m) { m.host.MakeUnreadable(path); }},
      // A user's record and its memberships go together or not at all; a
      // file that cannot be removed keeps its last record.
      {"users.txt", users, "net user alice /delete", denied, [&](SimMachine& m) {
         m.Put("C:\\WINNT\\netstate\\groups.txt", "staff\talice\r\n");
         ASSERT_TRUE(m.host.SetFileAttributes("C:\\WINNT\\netstate\\groups.txt", platform::kAttrReadOnly));
       }},
      {"users.txt", users, "net user alice /delete", denied,
       [&](SimMachine& m) { ASSERT_TRUE(m.host.SetFileAttributes(path, platform::kAttrReadOnly)); }},
      // Without a list of installed services none can be started.
      {"users.txt", users, "net start DHCPServer", "NET HELPMSG 2185",
       [&](SimMachine& m) { ASSERT_TRUE(m.host.DeleteFile("C:\\WINNT\\netstate\\installed.txt")); }},
  };
  for (const Case& c : cases) {
    StandinMachine m;
    m.MakeDirs("C:\\other");
    m.Put("C:\\WINNT\\netstate\\installed.txt", "DHCPServer\r\n");
    m.Put(std::string("C:\\WINNT\\netstate\\") + c.file, c.bytes);
    if (c.fault) c.fault(m);
    const auto before = m.Tree("C:\\WINNT");
    std::string out;
    EXPECT_EQ(m.Run(c.command, &out), 2) << c.bytes;
    EXPECT_NE(out.find(c.message), std::string::npos) << out;
    EXPECT_EQ(m.Tree("C:\\WINNT"), before) << c.bytes;
  }
}

// Records that would not read back as themselves are not written: a field
// with a tab, a line end or text of no code page 936 form, a name the file
// cannot hold. The file keeps its records and nothing is left beside it.
TEST_F(NetTest, RecordsThatWouldNotReadBackAreNotWritten) {
  standins::NetRecords records(host, "C:\\WINNT\\netstate\\");
  const auto before = Tree("C:\\WINNT");
  const std::vector<standins::User> users[] = {{{"dave", true, "p\tw"}}, {{"dave", true, "p\r\nw"}},
                                               {{"dave", true, "p\xE2\x82\xACw"}}, {{"dave", true, "p\xED\xB2\x80w"}},
                                               {{"da\\ve", true, "pw"}}};
  for (const auto& u : users) {
    EXPECT_FALSE(records.SaveUsers(u)) << u[0].name << " " << u[0].password;
    EXPECT_EQ(Tree("C:\\WINNT"), before) << u[0].password;
  }
  EXPECT_FALSE(records.SaveGroups({{"staff", {"alice", "con:"}}}));
  EXPECT_FALSE(records.SaveShares({{"PUB", "C:\\data\tx"}}));
  EXPECT_EQ(Tree("C:\\WINNT"), before);
  EXPECT_TRUE(records.SaveUsers({{"dave", true, "pw"}}));
}

// The Remoteboot service on the demo server's tree: installed when its
// database is there, started by its display name as the tool starts it.
TEST(RemotebootStart, StartsOnceWhenItsDatabaseIsThere) {
  const char* kDb = "C:\\WINNT\\rpl\\rpldb.txt";
  const char* kStarted =
      "The 远程启动服务 service is starting.\nThe 远程启动服务 service was started successfully.\n\n";
  const char* kAlready =
      "The requested service has already been started.\n\nMore help is available by typing NET HELPMSG 2182.\n\n";
  const char* kNotInstalled = "The service name is invalid.\n\nMore help is available by typing NET HELPMSG 2185.\n\n";
  const char* kCannotStart =
      "The 远程启动服务 service is starting.\nThe 远程启动服务 service could not be started.\n\n"
      "A service specific error occurred: 1.\n\nMore help is available by typing NET HELPMSG 3547.\n\n";
  struct Case {
    const char* why;
    std::string db;  // "<absent>": no database
    std::vector<std::pair<std::string, const char*>> runs;  // command, what it prints (exit 0 when started, else 2)
    std::vector<std::string> started;
  } cases[] = {
      {"by its display name, then again by either name", "RPLDB 1\r\nVENDOR\t00001B\tNE2000\r\n",
       {{"net start 远程启动服务", kStarted}, {"net start 远程启动服务", kAlready}, {"net start REMOTEBOOT", kAlready}},
       {"RemoteBoot"}},
      {"by its service name", "RPLDB 1\r\n",
       {{"net start remoteboot", kStarted}, {"net start \"远程启动服务\"", kAlready}}, {"RemoteBoot"}},
      {"no tree", "<absent>",
       {{"net start 远程启动服务", kNotInstalled}, {"net start remoteboot", kNotInstalled}}, {"<absent>"}},
      {"a damaged database", "VENDOR\t00001B\r\n",
       {{"net start 远程启动服务", kCannotStart}, {"net start 远程启动服务", kCannotStart}}, {"<absent>"}},
  };
  for (const Case& c : cases) {
    StandinMachine m;
    if (c.db != "<absent>") m.Put(kDb, c.db);
    // installed.txt lists other services only; the Remoteboot service never
    // comes from it.
    m.Put("C:\\WINNT\\netstate\\installed.txt", "RemoteBoot\r\nDHCPServer\r\n");
    for (const auto& [command, printed] : c.runs) {
      std::string out;
      EXPECT_EQ(m.Run(command, &out), std::string(printed) == kStarted ? 0 : 2) << c.why << ": " << command;
      EXPECT_EQ(out, printed) << c.why << ": " << command;
    }
    EXPECT_EQ(m.Records("services.txt"), c.started) << c.why;
    EXPECT_EQ(m.Get(kDb), c.db) << c.why;
  }
}

}  // namespace
