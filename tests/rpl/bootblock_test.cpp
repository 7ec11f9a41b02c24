#include "rpl/bootblock.h"

#include "tests/rpl/rpl_session.h"

namespace {

using platform::SimEvent;

// Each line of a template gets the card's name in place of the first NE2000
// (ms2000 in protocol.ini) and ends with CR LF; the file ends at Ctrl-Z. Each
// new file lies beside its place, for the registration to put in place. Each
// row but the first spoils the templates one way: the card's own files are
// never touched, and a template not read gives no new file.
TEST(BootBlockFiles, EachLineNamesTheCardAndATemplateNotReadGivesNoNewFile) {
  const char* const kPcindW95 = "DRV BBLOCK\\NDIS\\pcind.DOS ~ ~ ~\r\n";
  const char* const kPcindProtocol = "[pcind]\r\n    DriverName=MS2000$\r\n[NETBEUI]\r\n    BINDINGS=pcind\r\n";
  struct Case {
    const char* why;
    void (*spoil)(RplMachine&);
    int notices;
    const char* failed;    // the file named as the first failure; "" when none failed
    const char* dosbb;     // dosbb.cnf.new afterwards
    const char* w95bb;     // w95bb.cnf.new afterwards
    const char* protocol;  // protocol.ini.new afterwards
  } cases[] = {
      {"templates of their own", [](RplMachine& m) {
         m.Put(m.Template("dosbb.cnf"), "DRV BBLOCK\\NDIS\\NE2000.DOS ~ NE2000 ~\r\nLDR ne2000 lower\r\nlast NE2000");
         m.Put(m.Template("w95bb.cnf"), "DRV BBLOCK\\NDIS\\NE2000.DOS\r\nEND\x1Atrailing NE2000");
         m.Put(m.Template("protocol.ini"), "[ms2000]\r\nDriverName=MS2000$\r\nNE2000\r\nBINDINGS=ms2000 ms2000\r\n");
       }, 0, "", "DRV BBLOCK\\NDIS\\pcind.DOS ~ NE2000 ~\r\nLDR ne2000 lower\r\nlast pcind\r\n",
       "DRV BBLOCK\\NDIS\\pcind.DOS\r\nEND\r\n",
       "[pcind]\r\nDriverName=MS2000$\r\nNE2000\r\nBINDINGS=pcind ms2000\r\n"},
      {"two missing", [](RplMachine& m) {
         m.Remove(m.Template("dosbb.cnf"));
         m.Remove(m.Template("protocol.ini"));
       }, 2, "C:\\WINNT\\rpl\\bblock\\netbeui\\ne2000\\dosbb.cnf", "<absent>", kPcindW95, "<absent>"},
      {"a new file read-only", [](RplMachine& m) {
         m.Put(m.Rpl("bblock\\netbeui\\pcind\\dosbb.cnf.new"), "left over");
         m.host.SetFileAttributes(m.Rpl("bblock\\netbeui\\pcind\\dosbb.cnf.new"), platform::kAttrReadOnly);
       }, 0, "C:\\WINNT\\rpl\\bblock\\netbeui\\pcind\\dosbb.cnf.new", "left over", kPcindW95, kPcindProtocol},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    RplMachine m;
    m.Put(m.Rpl("bblock\\netbeui\\pcind\\dosbb.cnf"), "made earlier\r\n");
    c.spoil(m);
    std::string failed = "not cleared";
    EXPECT_EQ(rpl::MakeBootBlockFiles(m.host, m.ui, "pcind", &failed), *c.failed == '\0');
    EXPECT_EQ(failed, c.failed);
    const SimEvent kNotice = {"notice", "远程启动可能没有正确安装!", "Server", 0};
    EXPECT_EQ(m.journal(), std::vector<SimEvent>(c.notices, kNotice));
    EXPECT_EQ(m.Get(m.Rpl("bblock\\netbeui\\pcind\\dosbb.cnf")), "made earlier\r\n");
    EXPECT_EQ(m.Get(m.Rpl("bblock\\netbeui\\pcind\\dosbb.cnf.new")), c.dosbb);
    EXPECT_EQ(m.Get(m.Rpl("bblock\\netbeui\\pcind\\w95bb.cnf.new")), c.w95bb);
    EXPECT_EQ(m.Get(m.Rpl("bblock\\netbeui\\pcind\\protocol.ini.new")), c.protocol);
  }
}

}  // namespace
