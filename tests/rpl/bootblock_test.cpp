#include "rpl/bootblock.h"

#include "tests/rpl/rpl_session.h"

namespace {

using platform::SimEvent;

const char kScript8139[] =
    "V\r\nA\r\n00E04C\r\nRTL8139 Netcard(100/10M)\r\n"
    "B\r\nA\r\n00E04CDOS\r\n00E04C\r\nBBLOCK\\NETBEUI\\rtsnd\\DOSBB.CNF\r\nSTART00E04CDOS\r\n0\r\n"
    "C\r\nA\r\nDOS00E04C\r\n00E04CDOS\r\ndos\r\ndos622\r\nfits\\dos622.fit\r\nfits\\dos622p.fit\r\n"
    "DOS 6.22 FOR RTL8139\r\n\r\n\r\n"
    "B\r\nA\r\n00E04CWIN\r\n00E04C\r\nBBLOCK\\NETBEUI\\rtsnd\\W95BB.CNF\r\nSTARTrtsndWIN\r\n0\r\n"
    "C\r\nA\r\nWIN00E04C\r\n00E04CWIN\r\ndos\r\nwin95\r\nfits\\win95.fit\r\nfits\\win95p.fit\r\n"
    "Windows 98SE FOR RTL8139\r\n\r\n\r\n"
    "q\r\n";

TEST_F(RplSession, TheDatabaseScriptHoldsItsFortyOneLinesByteForByte) {
  rpl::WriteRplScript(host, "rtsnd", "00E04C", "DOS 6.22 FOR RTL8139", "Windows 98SE FOR RTL8139",
                      "RTL8139 Netcard(100/10M)");
  EXPECT_EQ(Get("C:\\WINNT\\rpltemp.bat"), kScript8139);
  // A comment is written in code page 936.
  rpl::WriteRplScript(host, "PCIND", "5254AB", "", "网卡", "");
  EXPECT_NE(Get("C:\\WINNT\\rpltemp.bat").find("\r\n\xCD\xF8\xBF\xA8\r\n"), std::string::npos);
}

TEST_F(RplSession, BootBlockFilesReplaceTheFirstTokenOfEachLineAndEndEveryLine) {
  Put(Template("dosbb.cnf"), "DRV BBLOCK\\NDIS\\NE2000.DOS ~ NE2000 ~\r\nLDR ne2000 lower\r\nlast NE2000");
  Put(Template("w95bb.cnf"), "DRV BBLOCK\\NDIS\\NE2000.DOS\r\nEND\x1Atrailing NE2000");
  Put(Template("protocol.ini"), "[ms2000]\r\nDriverName=MS2000$\r\nNE2000\r\nBINDINGS=ms2000 ms2000\r\n");
  MakeDirs(Rpl("bblock\\netbeui\\rtsnd"));
  std::string failed = "not cleared";
  EXPECT_TRUE(rpl::MakeBootBlockFiles(host, ui, "rtsnd", &failed));
  EXPECT_EQ(failed, "");
  // Each beside its place, for the registration to put in place.
  EXPECT_EQ(Get(Rpl("bblock\\netbeui\\rtsnd\\dosbb.cnf.new")),
            "DRV BBLOCK\\NDIS\\rtsnd.DOS ~ NE2000 ~\r\nLDR ne2000 lower\r\nlast rtsnd\r\n");
  EXPECT_EQ(Get(Rpl("bblock\\netbeui\\rtsnd\\w95bb.cnf.new")), "DRV BBLOCK\\NDIS\\rtsnd.DOS\r\nEND\r\n");
  EXPECT_EQ(Get(Rpl("bblock\\netbeui\\rtsnd\\protocol.ini.new")),
            "[rtsnd]\r\nDriverName=MS2000$\r\nNE2000\r\nBINDINGS=rtsnd ms2000\r\n");
  EXPECT_EQ(Get(Rpl("bblock\\netbeui\\rtsnd\\dosbb.cnf")), "<absent>");
  EXPECT_TRUE(journal().empty());
}

TEST(BootBlockFiles, ATemplateMissingOrUnreadableIsReportedAndGivesNoNewFile) {
  const char* const kPcindW95 = "DRV BBLOCK\\NDIS\\pcind.DOS ~ ~ ~\r\n";
  // Each row spoils the templates one way; the card's own files are never
  // touched, and a template not read gives no new file.
  struct Case {
    const char* why;
    void (*spoil)(RplMachine&);
    int notices;
    const char* failed;  // the file named as the first failure
    const char* dosbb;   // dosbb.cnf.new afterwards
    const char* w95bb;   // w95bb.cnf.new afterwards
  } cases[] = {
      {"two missing", [](RplMachine& m) {
         m.Remove(m.Template("dosbb.cnf"));
         m.Remove(m.Template("protocol.ini"));
       }, 2, "C:\\WINNT\\rpl\\bblock\\netbeui\\ne2000\\dosbb.cnf", "<absent>", kPcindW95},
      {"a new file read-only", [](RplMachine& m) {
         m.Put(m.Rpl("bblock\\netbeui\\pcind\\dosbb.cnf.new"), "left over");
         m.host.SetFileAttributes(m.Rpl("bblock\\netbeui\\pcind\\dosbb.cnf.new"), platform::kAttrReadOnly);
       }, 0, "C:\\WINNT\\rpl\\bblock\\netbeui\\pcind\\dosbb.cnf.new", "left over", kPcindW95},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    RplMachine m;
    m.Put(m.Rpl("bblock\\netbeui\\pcind\\dosbb.cnf"), "made earlier\r\n");
    c.spoil(m);
    std::string failed;
    EXPECT_FALSE(rpl::MakeBootBlockFiles(m.host, m.ui, "pcind", &failed));
    EXPECT_EQ(failed, c.failed);
    const SimEvent kNotice = {"notice", "远程启动可能没有正确安装!", "Server", 0};
    EXPECT_EQ(m.journal(), std::vector<SimEvent>(c.notices, kNotice));
    EXPECT_EQ(m.Get(m.Rpl("bblock\\netbeui\\pcind\\dosbb.cnf")), "made earlier\r\n");
    EXPECT_EQ(m.Get(m.Rpl("bblock\\netbeui\\pcind\\dosbb.cnf.new")), c.dosbb);
    // A template that was read still gives its file.
    EXPECT_EQ(m.Get(m.Rpl("bblock\\netbeui\\pcind\\w95bb.cnf.new")), c.w95bb);
  }
}

}  // namespace
