// The two network start scripts, byte for byte.
#include "pxe/startnet.h"

#include "platform/textfile.h"
#include "pxe/wait_dialog.h"
#include "tests/sim_session.h"

namespace {

using pxe::StartNetVariant;

const char kAutoRegister[] =
    "@echo off\r\nset comspec=a:\\command.com\r\nSET NETBUFF=124\r\nset temp=a:\\winboot\r\n"
    "SNAPSHOT.EXE /S /B:A /M:%NETBUFF%\r\nNET START IPX /Y\r\n"
    "NET LOGON KOTAVEI KOTAVEI /SAVEPW:NO /Y\r\nNET USE C: \\\\%SERVER%\\%SHARE%\r\nLOGIN\r\n"
    "REM lh qualcnx KOTAVEI KOTAVEI\r\nREM call %TEMP%\\username.bat\r\nqautolog\r\n"
    "call qautolog.bat\r\nSET PATH=\r\nSET PATH=%windir%;%windir%\\COMMAND\r\n"
    "set temp=%drive%\\%USERNAME%\r\nset tmp=%TEMP%\r\nset home=%TEMP%\r\n%DRIVE%\r\n"
    "cd %home%\r\nset comspec=%windir%\\command.com\r\nlh a:\\winboot\\qualreg %HOME% /R\r\n"
    "md %home%\\temp\r\nset temp=%home%\\temp\r\nset tmp=%home%\\temp\r\n"
    "set comspec=%windir%\\command.com\r\nset winbootdir=%windir%\r\n"
    "call %windir%\\usercmd.bat\r\n";

const char kStandard[] =
    "@echo off\r\nset comspec=a:\\command.com\r\nSET NETBUFF=124\r\nset temp=a:\\winboot\r\n"
    "lh qualcnx KOTAVEI KOTAVEI\r\ncall %TEMP%\\username.bat\r\nqautolog\r\ncall qautolog.bat\r\n"
    "SET PATH=\r\nSET PATH=%windir%;%windir%\\COMMAND\r\nset temp=%drive%\\%USERNAME%\r\n"
    "set tmp=%TEMP%\r\nset home=%TEMP%\r\n%DRIVE%\r\ncd %home%\r\n"
    "set comspec=%windir%\\command.com\r\nlh a:\\winboot\\qualreg %HOME% /R\r\n"
    "md %home%\\temp\r\nset temp=%home%\\temp\r\nset tmp=%home%\\temp\r\n"
    "set comspec=%windir%\\command.com\r\nset winbootdir=%windir%\r\n"
    "call %windir%\\usercmd.bat\r\n";

using StartNet = SimSession;

TEST_F(StartNet, EachVariantIsWrittenByteForByteOverAnyOldContent) {
  struct Case {
    StartNetVariant variant;
    const char* bytes;
    size_t lines;
  } cases[] = {{StartNetVariant::AutoRegister, kAutoRegister, 28},
               {StartNetVariant::Standard, kStandard, 23}};
  for (const Case& c : cases) {
    for (const std::string& old : {std::string(), std::string("x\r\n"), std::string(5000, 'y')}) {
      Put("C:\\w\\startnet.bat", old);
      pxe::WriteStartNet(host, "C:\\w\\startnet.bat", c.variant);
      EXPECT_EQ(Get("C:\\w\\startnet.bat"), c.bytes);
    }
    EXPECT_EQ(pxe::StartNetLines(c.variant).size(), c.lines);
  }
}

TEST_F(StartNet, TheOtherVariantReplacesTheWholeFile) {
  MakeDirs("C:\\w");
  pxe::WriteStartNet(host, "C:\\w\\startnet.bat", StartNetVariant::AutoRegister);
  pxe::WriteStartNet(host, "C:\\w\\startnet.bat", StartNetVariant::Standard);
  EXPECT_EQ(Get("C:\\w\\startnet.bat"), kStandard);
}

TEST(WaitDialog, CountsDownFiveSecondsAndClosesOnTheSixthTick) {
  struct Tick {
    std::string label;
    int bar;
    bool closed;
  } ticks[] = {{"4", 20, false}, {"3", 40, false}, {"2", 60, false},
               {"1", 80, false}, {"0", 100, false}, {"-1", 120, true}};
  pxe::TForm2 dialog;
  int closes = 0;
  dialog.on_close = [&] { ++closes; };
  EXPECT_EQ(dialog.Label2.Text(), "5");
  EXPECT_EQ(dialog.ProgressBar1.Position(), 0);
  for (const Tick& t : ticks) {
    dialog.Timer2Timer();
    EXPECT_EQ(dialog.Label2.Text(), t.label);
    EXPECT_EQ(dialog.ProgressBar1.Position(), t.bar);
    EXPECT_EQ(dialog.Closed(), t.closed);
  }
  EXPECT_EQ(closes, 1);
}

}  // namespace
