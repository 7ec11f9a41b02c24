#include "rpl/detect.h"

#include "tests/rpl/rpl_session.h"

namespace {

using platform::SimEvent;

TEST_F(RplSession, DetectionGivesOneMessageAndUnlocksTheNextStep) {
  struct Case {
    const char* nic;
    bool remoteboot;
    // With "+", the card's files: its driver and its boot-block files.
    const char* rtsnd;
    const char* pcind;
    const char* records;  // the cards whose records rplcmd lists; "!" when it cannot list them
    SimEvent message;
    bool configure, install;
  } cases[] = {
      {"", true, "+", "+", "rtsnd pcind", {"message", "请选择网卡的类型！", "morva提示", 48}, false, false},
      {"RTL 8139", false, "+", "+", "rtsnd pcind", {"message", "请检查远程启动服务是否已经安装!", "检测结果", 48}, false, false},
      {"RTL 8139", true, "+", "", "rtsnd", {"message", "Rtl8139 网卡检测成功！", "检测结果", 64}, false, true},
      {"RTL 8139", true, "", "+", "pcind", {"message", "Rtl8139 网卡可能没有配置,需要配置RPL", "检测结果", 48}, true, false},
      {"RTL 8029", true, "", "+", "pcind", {"message", "Rtl8029 网卡检测成功！", "检测结果", 64}, false, true},
      // A database rplcmd cannot list unlocks nothing.
      {"RTL 8139", true, "+", "+", "!",
       {"message", "无法列出远程启动数据库中的记录：rplcmd 无法列出远程启动数据库中的记录（返回值 3）：damaged。\r\n"
                   "请检查远程启动服务是否已经安装!", "检测结果", 48}, false, false},
      {"Other NetCARD", true, "", "", "!", {"message", "无法检测自定义网卡类型，请直接使用配置来设置您网卡！", "Morva提示", 64}, true, false},
      // The comparison is exact: a case-changed name is no card of the list.
      {"rtl 8139", true, "+", "+", "rtsnd", {"message", "无法检测自定义网卡类型，请直接使用配置来设置您网卡！", "Morva提示", 64}, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.nic << " " << c.remoteboot << c.rtsnd << c.pcind << " " << c.records);
    RplMachine m;
    if (!c.remoteboot) m.Remove(std::string(kRoot) + "\\RPL\\RPLFILES\\BINFILES\\WIN95\\io.sys");
    const std::string records = c.records;
    std::string listing;
    if (records.find("rtsnd") != std::string::npos) listing += m.Records("000001", "rtsnd");
    if (records.find("pcind") != std::string::npos) listing += m.Records("000002", "pcind");
    m.ServeRecords(records == "!" ? "damaged\n" : listing, records == "!" ? 3 : 0);
    // Each card's files, the Realtek 8139's folder named in capitals.
    for (const auto& card : {std::make_pair("RTSND", c.rtsnd), std::make_pair("pcind", c.pcind)})
      if (std::string(card.second) == "+") m.PutCardFiles(card.first, "driver", "boot block");
    m.Choose(c.nic);
    m.form->BitBtn10Click();
    const bool asks = c.remoteboot && (std::string(c.nic) == "RTL 8139" || std::string(c.nic) == "RTL 8029");
    EXPECT_EQ(m.journal(), (asks ? std::vector<SimEvent>{kAskRecords, c.message} : std::vector<SimEvent>{c.message}));
    EXPECT_EQ(m.form->BitBtn9.Enabled(), c.configure);
    EXPECT_EQ(m.form->BitBtn11.Enabled(), c.install);
    // Detection only ever unlocks: with both steps open, every result leaves them open.
    m.form->BitBtn9.SetEnabled(true);
    m.form->BitBtn11.SetEnabled(true);
    m.form->BitBtn10Click();
    EXPECT_TRUE(m.form->BitBtn9.Enabled());
    EXPECT_TRUE(m.form->BitBtn11.Enabled());
  }
}

}  // namespace
