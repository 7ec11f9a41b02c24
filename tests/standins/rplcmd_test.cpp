// rplcmd on the demo server's Remoteboot tree, fed the response script of
// each card type as the configuration tool runs it.
#include <algorithm>
#include <functional>

#include "platform/encoding.h"
#include "platform/text.h"
#include "tests/standins/rpl_session.h"

namespace {

class RplcmdTest : public RplSession {
 protected:
  // The demo server's database: the format line and the NE2000 records.
  void SetUp() override { shipped = DbLines(); }

  // The database after the shipped records and those of `cards`, in the
  // file's order: vendors, boot blocks, configurations, profiles.
  std::vector<std::string> Expected(const std::vector<Card>& cards) {
    std::vector<std::string> lines = shipped;
    for (const Card& c : cards)
      for (const std::string& l : CardRecords(c)) lines.push_back(l);
    // By the kind's first letter (the format line, V, B, C, P), older lines first.
    std::stable_sort(lines.begin(), lines.end(), [](const std::string& a, const std::string& b) {
      return std::string("RVBCP").find(a[0]) < std::string("RVBCP").find(b[0]);
    });
    return lines;
  }

  std::vector<std::string> shipped;
};

// Each card's script in turn adds its records after those before it, the
// database written whole as code page 936 text with CR LF (nothing is left
// beside it: below); the same script again is refused (a refusal changes no
// byte: below). The shipped database ends in a Ctrl-Z here, as a text file may.
TEST_F(RplcmdTest, AddsTheRecordsOfEachCardsScriptOnce) {
  Put(kDb, Get(kDb) + "\x1A");
  std::vector<Card> added;
  for (const Card& card : Cards()) {
    SCOPED_TRACE(card.type);
    PrepareCard(card);
    std::string out;
    EXPECT_EQ(Run(kRun, &out), 0) << out;
    EXPECT_EQ(out, "Added vendor " + card.prefix + ".\nAdded boot block " + card.prefix +
                       "DOS.\nAdded configuration DOS" + card.prefix + ".\nAdded boot block " +
                       card.prefix + "WIN.\nAdded configuration WIN" + card.prefix +
                       ".\nThe command completed successfully.\n");
    added.push_back(card);
    EXPECT_EQ(Get(kDb), platform::JoinLines(Expected(added)));
    EXPECT_EQ(Run(kRun, &out), 2);
    EXPECT_EQ(out, "rplcmd: vendor " + card.prefix + " (record 1), field \"name\" \"" + card.prefix +
                       "\": the vendor exists already. Nothing was changed.\n");
  }
}

// Each case changes one line of the RTL 8139 script (1-based), or cuts the
// script off before it ("<cut>"); the run is refused with a line naming the
// record and the field (cut inside a record, the field it waited for; cut
// between two records, "q" is missing), and nothing is added.
TEST_F(RplcmdTest, RefusesEachBadFieldOrACutScriptAndAddsNothing) {
  const Card& card = Cards()[0];
  PrepareCard(card);
  struct Case {
    size_t line;
    std::string text;
    std::string refusal;
  };
  std::vector<Case> cases = {
      {3, "00E04", "vendor 00E04 (record 1), field \"name\" \"00E04\": not 6 hexadecimal digits"},
      {3, "00E04G", "field \"name\" \"00E04G\": not 6 hexadecimal digits"},
      {3, "", "vendor (no name) (record 1), field \"name\" \"\": not 6 hexadecimal digits"},
      {3, "00001b", "vendor 00001b (record 1), field \"name\" \"00001b\": the vendor exists already"},
      {4, "RTL\t8139", "rplcmd: vendor 00E04C (record 1), field \"comment\" \"RTL\t8139\": holds a tab or a control "
                        "character. Nothing was changed.\n"},
      {7, "00001BDOS", "boot block 00001BDOS (record 2), field \"boot name\" \"00001BDOS\": the boot block exists already"},
      {7, "00E04C DOS", "field \"boot name\" \"00E04C DOS\": not a name of 1 to 15 characters"},
      {7, "CON\x7F", "field \"boot name\" \"CON\x7F\": holds a tab or a control character"},
      {4, "RTL\xED\xB2\xA1\xED\xB1\x84", "\": is not code page 936 text. Nothing was changed.\n"},
      {8, "00E04D", "boot block 00E04CDOS (record 2), field \"vendor name\" \"00E04D\": no such vendor"},
      {9, "BBLOCK\\NETBEUI\\nosuch\\DOSBB.CNF",
       "field \"boot-block file\" \"BBLOCK\\NETBEUI\\nosuch\\DOSBB.CNF\": no such file in the Remoteboot "
       "tree (C:\\WINNT\\rpl\\BBLOCK\\NETBEUI\\nosuch\\DOSBB.CNF)"},
      {9, "BBLOCK\\NETBEUI\\rtsnd", "field \"boot-block file\" \"BBLOCK\\NETBEUI\\rtsnd\": no such file"},
      {9, "C:\\WINNT\\rpl\\BBLOCK\\NETBEUI\\rtsnd\\DOSBB.CNF", "not a path inside the Remoteboot tree"},
      {9, "\\WINNT\\rpl\\BBLOCK\\NETBEUI\\rtsnd\\DOSBB.CNF", "not a path inside the Remoteboot tree"},
      {9, "..\\rpl\\BBLOCK\\NETBEUI\\rtsnd\\DOSBB.CNF", "not a path inside the Remoteboot tree"},
      {9, "BBLOCK\\NETBEUI\\rtsnd\\*.CNF", "not a path inside the Remoteboot tree"},
      {9, "BBLOCK\\NETBEUI\\rtsnd\\CON", "not a path inside the Remoteboot tree"},
      {11, "x", "boot block 00E04CDOS (record 2), field \"window size\" \"x\": not a number from 0 to 65535"},
      {11, "", "field \"window size\" \"\": not a number"},
      {11, "65536", "field \"window size\" \"65536\": not a number from 0 to 65535"},
      {3, "00E04C0", "field \"name\" \"00E04C0\": not 6 hexadecimal digits"},
      {14, "C234567890123456", "field \"name\" \"C234567890123456\": not a name of 1 to 15 characters"},
      {14, Times("配", 16), "\": not a name of 1 to 15 characters"},
      {25, "B234567890123456", "field \"boot name\" \"B234567890123456\": not a name of 1 to 15 characters"},
      {14, "DOS00001B", "configuration DOS00001B (record 3), field \"name\" \"DOS00001B\": the configuration exists already"},
      {15, "00E04CXXX", "configuration DOS00E04C (record 3), field \"boot name\" \"00E04CXXX\": no such boot block"},
      {16, "nodir", "field \"directory\" \"nodir\": no such directory in the Remoteboot tree "
                    "(C:\\WINNT\\rpl\\rplfiles\\binfiles\\nodir)"},
      {17, "dos621", "configuration DOS00E04C (record 3), field \"directory 2\" \"dos621\": no such directory"},
      {17, "", "field \"directory 2\" \"\": not a directory name"},
      {18, "fits\\dos621.fit", "field \"FIT file shared\" \"fits\\dos621.fit\": no such file"},
      {19, "fits\\nosuch.fit", "field \"FIT file personal\" \"fits\\nosuch.fit\": no such file"},
      {21, "nodir", "field \"directory 3\" \"nodir\": no such directory"},
      {22, "..", "field \"directory 4\" \"..\": not a directory name"},
      // A record added earlier in the same input counts as existing.
      {25, "00E04CDOS", "boot block 00E04CDOS (record 4), field \"boot name\" \"00E04CDOS\": the boot block exists already"},
      {32, "DOS00E04C", "configuration DOS00E04C (record 5), field \"name\" \"DOS00E04C\": the configuration exists already"},
      // Record and action letters.
      {1, "X", "\"X\" is not a record letter (V, B or C)"},
      {1, "VA", "\"VA\" is not a record letter"},
      {1, "W", "record W is not available here"},
      {23, "P", "record P is not available here"},
      {2, "X", "vendor record: action \"X\" is not available here; only A (add), D (delete) and L (list)"},
      // A deletion reads the name alone, a list nothing.
      {2, "D", "vendor 00E04C (record 1), field \"name\" \"00E04C\": no such vendor"},
      {2, "L", "\"00E04C\" is not a record letter"},
      {30, "", "\"\" is not a record letter"},
      // The last record's "q" missing: the next line is read as a record letter.
      {41, "Q ", "\"Q \" is not a record letter"},
  };
  std::string before = Get(kDb);
  std::vector<std::string> good = RplScript(card);
  for (size_t line = 1; line <= good.size(); ++line)
    cases.push_back({line, "<cut>",
                     line == 18   ? "rplcmd: the input ended inside configuration record DOS00E04C, before its field "
                                    "\"FIT file shared\". Nothing was changed.\n"
                     : line == 23 ? "rplcmd: the input ended before \"q\". Nothing was changed.\n"
                                  : "rplcmd: the input ended "});
  for (const Case& c : cases) {
    Put(kDb, before);  // a row wrongly taken leaves its records to itself alone
    std::vector<std::string> script = good;
    script[c.line - 1] = c.text;
    if (c.text == "<cut>") script.resize(c.line - 1);
    WriteScript(script);
    std::string out;
    EXPECT_EQ(Run(kRun, &out), 2) << c.line << " " << c.text;
    EXPECT_NE(out.find(c.refusal), std::string::npos) << c.line << " " << c.text << "\n" << out;
    EXPECT_EQ(Get(kDb), before) << c.line << " " << c.text;
  }
}

// Deletions and lists on the demo server's database with the RTL 8139
// card's records added. Each action sees the database as the input before it
// has left it; a record that another names stays. What a list shows is
// printed only when the whole input goes through, and an input that only
// lists writes nothing: it works on a read-only database, not on a damaged
// one.
TEST_F(RplcmdTest, DeletesWhatNothingNamesAndListsTheDatabaseAsTheInputLeavesIt) {
  const Card& card = Cards()[0];
  PrepareCard(card);
  ASSERT_EQ(Run(kRun), 0);
  const std::vector<std::string> registered = DbLines();
  const std::string kDone = "The command completed successfully.\n", kNothing = ". Nothing was changed.\n";
  const std::string kVendors = "V\t00001B\tNE2000 兼容网卡\nV\t00E04C\tRTL8139 Netcard(100/10M)\n";
  struct Case {
    const char* what;
    std::vector<std::string> input;  // then "q"
    int exit;
    std::string out;
    std::vector<std::string> db;  // afterwards; empty: as before
    std::function<void(RplcmdTest&)> fault = nullptr;
  } cases[] = {
      {"the configurations, directories 3 and 4 empty", {"C", "L"}, 0,
       "C\tDOS00001B\t00001BDOS\tdos\tdos622\tfits\\dos622.fit\tfits\\dos622p.fit\tDOS 6.22 NE2000\t\t\n"
       "C\tWIN00001B\t00001BWIN\tdos\twin95\tfits\\win95.fit\tfits\\win95p.fit\tWindows NE2000\t\t\n"
       "C\tDOS00E04C\t00E04CDOS\tdos\tdos622\tfits\\dos622.fit\tfits\\dos622p.fit\tDOS 6.22 FOR RTL8139\t\t\n"
       "C\tWIN00E04C\t00E04CWIN\tdos\twin95\tfits\\win95.fit\tfits\\win95p.fit\tWindows 98SE FOR RTL8139\t\t\n" +
           kDone, {}},
      {"the card's records deleted, each after what named it, listed between",
       {"C", "D", "dos00e04c", "C", "D", "WIN00E04C", "B", "D", "00E04CDOS", "B", "L", "B", "D", "00E04CWIN", "V", "D",
        "00e04c", "V", "L"}, 0,
       "Deleted configuration dos00e04c.\nDeleted configuration WIN00E04C.\nDeleted boot block 00E04CDOS.\n"
       "B\t00001BDOS\t00001B\tBBLOCK\\NETBEUI\\NE2000\\DOSBB.CNF\tDOS NE2000\t0\n"
       "B\t00001BWIN\t00001B\tBBLOCK\\NETBEUI\\NE2000\\W95BB.CNF\tWindows NE2000\t0\n"
       "B\t00E04CWIN\t00E04C\tBBLOCK\\NETBEUI\\rtsnd\\W95BB.CNF\tSTARTrtsndWIN\t0\n"
       "Deleted boot block 00E04CWIN.\nDeleted vendor 00e04c.\nV\t00001B\tNE2000 兼容网卡\n" + kDone, shipped},
      {"a boot block a configuration names", {"B", "D", "00e04cwin"}, 2,
       "rplcmd: boot block 00e04cwin (record 1), field \"boot name\" \"00e04cwin\": configuration WIN00E04C names it" +
           kNothing, {}},
      {"a configuration a profile uses", {"C", "D", "WIN00001B"}, 2,
       "rplcmd: configuration WIN00001B (record 1), field \"name\" \"WIN00001B\": profile NE2KWIN uses it" + kNothing, {}},
      {"a boot block that is not there", {"B", "D", "00E04CXXX"}, 2,
       "rplcmd: boot block 00E04CXXX (record 1), field \"boot name\" \"00E04CXXX\": no such boot block" + kNothing, {}},
      {"a configuration deleted earlier in the input", {"C", "D", "DOS00E04C", "C", "D", "DOS00E04C"}, 2,
       "rplcmd: configuration DOS00E04C (record 2), field \"name\" \"DOS00E04C\": no such configuration" + kNothing, {}},
      {"a vendor added earlier in the input, deleted", {"V", "A", "5254AB", "Rtl8029", "V", "D", "5254ab", "V", "L"}, 0,
       "Added vendor 5254AB.\nDeleted vendor 5254ab.\n" + kVendors + kDone, {}},
      {"a list, then a refusal: the refusal alone", {"V", "L", "V", "D", "00E04C"}, 2,
       "rplcmd: vendor 00E04C (record 2), field \"name\" \"00E04C\": boot block 00E04CDOS names it" + kNothing, {}},
      {"a list on a read-only database", {"V", "L"}, 0, kVendors + kDone, {},
       [](RplcmdTest& t) { ASSERT_TRUE(t.host.SetFileAttributes(kDb, platform::kAttrReadOnly)); }},
      {"a list on a damaged database", {"V", "L"}, 3,
       "The Remoteboot database C:\\WINNT\\rpl\\rpldb.txt is damaged at line 2: a Ctrl-Z before the end of the file; "
       "nothing was changed.\n", {},
       [](RplcmdTest& t) { t.Put(kDb, "RPLDB 1\r\n\x1A\r\n"); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Put(kDb, platform::JoinLines(registered));
    host.SetFileAttributes(kDb, 0);
    if (c.fault) c.fault(*this);
    const std::string before = Get(kDb);
    std::string input;
    for (const std::string& line : c.input) input += line + "\r\n";
    std::string out;
    EXPECT_EQ(Run("rplcmd", &out, input + "q\r\n"), c.exit);
    EXPECT_EQ(out, c.out);
    if (c.db.empty())
      EXPECT_EQ(Get(kDb), before);
    else
      EXPECT_EQ(DbLines(), c.db);
    EXPECT_EQ(Get("C:\\WINNT\\rpl\\rpldb.new"), "<absent>");
  }
}

// Each value at its limit is taken, from a script as the console gives it:
// record and action letters in lower case, lines ended by LF alone, lines
// after "q" not read. Names have 15 characters (30 bytes in Chinese), the
// window size is 65535; one past each is refused (above).
TEST_F(RplcmdTest, TakesEachFieldAtItsLimitAsTheConsoleGivesIt) {
  PrepareCard(Cards()[0]);
  const std::string zh15 = Times("配", 15);
  std::string input;
  std::vector<std::string> script = RplScript(Cards()[0]);
  for (size_t i : {0u, 1u, 4u, 5u}) script[i][0] = static_cast<char>(script[i][0] + 'a' - 'A');
  script[10] = "65535";                         // the DOS boot block's window size
  script[13] = "C23456789012345";               // the DOS configuration's name
  script[31] = zh15;                            // the Windows configuration's name
  script[24] = script[32] = "B23456789012345";  // the Windows boot block's name, twice
  for (const std::string& l : script) input += l + "\n";
  std::string out;
  EXPECT_EQ(Run("rplcmd", &out, input + "lines after q are not read\n"), 0) << out;
  const std::string db = platform::FromCodePage(Get(kDb));
  for (const std::string& field :
       std::vector<std::string>{"\tC23456789012345\t", "\t" + zh15 + "\t", "\tB23456789012345\t", "\t65535\r\n"})
    EXPECT_NE(db.find(field), std::string::npos) << field;
}

// A machine whose disk gives back other bytes than were written to one file.
class MiswritingHost : public platform::SimHost {
 public:
  MiswritingHost(const std::string& root, std::string victim) : SimHost(root), victim_(std::move(victim)) {}
  bool WriteFile(const std::string& path, const std::string& bytes) override {
    std::string written = bytes;
    if (platform::SameName(path, victim_) && !written.empty()) written[written.size() / 2] ^= 1;
    return SimHost::WriteFile(path, written);
  }

 private:
  std::string victim_;
};

// A database that cannot be written, or would not read back as the one
// meant, is not written: the old one stays byte for byte, with nothing
// beside it. rplcmd's write fails on a read-only database; saved, a
// database is refused that would be refused when read (a tab, a line end, a
// byte of no character, a profile named as a device), that would read as
// other records (the euro sign, which has no code page 936 form), or that
// the disk gives back otherwise than written.
TEST_F(RplcmdTest, ADatabaseThatCannotBeWrittenOrWouldNotReadBackStaysAsItWas) {
  using standins::rpl::Database;
  PrepareCard(Cards()[0]);
  const std::string before = Get(kDb);
  MiswritingHost miswriting(host.root(), "C:\\WINNT\\rpl\\rpldb.new");
  struct Case {
    const char* name;
    std::function<void()> fault;            // then rplcmd runs the card's script; or
    std::function<void(Database*)> change;  // made to the database, which is saved
    platform::Host* on = nullptr;           // on this host rather than the session's
  } cases[] = {
      {"read-only", [&] { ASSERT_TRUE(host.SetFileAttributes(kDb, platform::kAttrReadOnly)); }, {}},
      {"a tab", {}, [](Database* db) { db->vendors.push_back({"00E04C", "RTL\t8139"}); }},
      {"a line end", {}, [](Database* db) { db->vendors.push_back({"00E04C", "RTL\r\n8139"}); }},
      {"a byte 80", {}, [](Database* db) { db->vendors.push_back({"00E04C", "RTL\xED\xB2\x80"}); }},
      {"the euro sign", {}, [](Database* db) { db->vendors.push_back({"00E04C", "RTL\xE2\x82\xAC"}); }},
      {"a profile COM5", {}, [](Database* db) { db->profiles.push_back({"COM5", "WIN00001B", ""}); }},
      {"a disk that miswrites", {}, [](Database* db) { db->vendors.push_back({"00E04C", "RTL8139"}); },
       &miswriting},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.fault) {
      c.fault();
      std::string out;
      EXPECT_EQ(Run(kRun, &out), 3);
      EXPECT_EQ(out, "The Remoteboot database C:\\WINNT\\rpl\\rpldb.txt cannot be written; nothing was changed.\n");
    } else {
      Database db;
      ASSERT_EQ(standins::rpl::Load(host, &db), standins::rpl::LoadResult::kLoaded);
      c.change(&db);
      EXPECT_FALSE(standins::rpl::Save(c.on ? *c.on : host, db));
    }
    EXPECT_EQ(Get(kDb), before);
    EXPECT_EQ(Get("C:\\WINNT\\rpl\\rpldb.new"), "<absent>");
    host.SetFileAttributes(kDb, 0);
  }
  // With room for the new database once, it takes the old one's place: it is
  // moved there, not copied over it.
  host.LimitDiskSpace(platform::JoinLines(Expected({Cards()[0]})).size());
  std::string out;
  EXPECT_EQ(Run(kRun, &out), 0) << out;
  EXPECT_EQ(DbLines(), Expected({Cards()[0]}));
}

TEST_F(RplcmdTest, TakesNoArguments) {
  std::string out;
  EXPECT_EQ(Run("rplcmd /add", &out, "q\n"), 1);
  EXPECT_EQ(out.substr(0, 21), "usage: rplcmd <SCRIPT");
}

}  // namespace
