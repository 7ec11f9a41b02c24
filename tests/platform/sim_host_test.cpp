// The simulated machine behaves as the real one where the handlers rely on it.
#include <algorithm>
#include <filesystem>
#include <functional>

#include "platform/command_line.h"
#include "platform/recording_host.h"
#include "platform/sim/fault_host.h"
#include "platform/textfile.h"
#include "tests/sim_session.h"

namespace {

using platform::DirEntry;

class SimHostTest : public SimSession {};

// Names are found without regard to case and created with the case given; a
// directory is made one level at a time, and is no file.
TEST_F(SimHostTest, NamesFilesAndDirectoriesBehaveAsOnTheMachine) {
  ASSERT_TRUE(host.MakeDirectory("C:\\Temp"));
  EXPECT_FALSE(host.MakeDirectory("c:\\TEMP"));       // exists already
  EXPECT_FALSE(host.MakeDirectory("C:\\Temp\\a\\b"));  // one level at a time
  EXPECT_FALSE(host.MakeDirectory("D:\\PVDROOT"));    // no drive D:
  EXPECT_FALSE(host.WriteFile("C:\\temp", "data"));
  EXPECT_FALSE(host.DeleteFile("C:\\temp"));
  EXPECT_TRUE(host.WriteFile("c:\\temp\\BootImg.W98", "x"));
  EXPECT_TRUE(host.FileExists("C:\\TEMP\\bootimg.w98"));
  EXPECT_EQ(std::filesystem::path(host.NativePath("c:\\TEMP\\BOOTIMG.W98")).filename(), "BootImg.W98");
  EXPECT_TRUE(host.DeleteFile("C:\\TEMP\\Bootimg.w98"));
  EXPECT_FALSE(host.FileExists("c:\\temp\\bootimg.w98"));
  // A part longer than a name may be is no file or folder, and every call
  // on it fails as Windows' do, never stopping the program.
  const std::string too_long = "C:\\Temp\\" + std::string(300, 'a');
  for (const std::string& p : {too_long, too_long + "\\x.bat"}) {
    EXPECT_FALSE(host.FileExists(p) || host.DirectoryExists(p) || host.FileAttributes(p)) << p;
    EXPECT_FALSE(host.MakeDirectory(p) || host.WriteFile(p, "x") || host.DeleteFile(p)) << p;
    EXPECT_FALSE(host.CopyFile("C:\\Temp\\..\\temp", p, false) || host.ReplaceFile(p, "C:\\t.bat")) << p;
    EXPECT_FALSE(host.SetCurrentDirectory(p)) << p;
  }
}

// A drive root has no dot entries. (The other listings' order, their dot
// entries and hidden files left out are what the profile list, the
// driver chooser's lists and the Remoteboot Manager's tests see.)
TEST_F(SimHostTest, ADriveRootIsListedWithoutDotEntries) {
  Put("C:\\p\\beta", "");
  std::vector<DirEntry> list;
  ASSERT_TRUE(host.ListDirectory("C:\\", &list));
  EXPECT_EQ(list.front().name, "p");
  EXPECT_FALSE(host.ListDirectory("C:\\none", &list));
}

TEST_F(SimHostTest, RelativePathsFollowTheCurrentDirectory) {
  MakeDirs("C:\\tools\\unditool");
  ASSERT_TRUE(host.SetCurrentDirectory("c:\\TOOLS"));
  EXPECT_EQ(host.CurrentDirectory(), "C:\\TOOLS");
  Put("unditool\\x.txt", "1");
  EXPECT_EQ(Get("C:\\tools\\unditool\\x.txt"), "1");
  Put("\\top.txt", "2");  // from the root of the current drive
  EXPECT_EQ(Get("C:\\top.txt"), "2");
  EXPECT_FALSE(host.SetCurrentDirectory("C:\\nowhere"));
}

TEST_F(SimHostTest, RegistryReadsTheLastValueAndEmptyWhenMissing) {
  host.SetRegistry("\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", "SystemRoot", "C:\\WINNT");
  host.SetRegistry("\\Software\\Microsoft\\Windows NT\\CurrentVersion", "SYSTEMROOT", "E:\\WINNT");
  EXPECT_EQ(host.ReadRegistry("\\software\\microsoft\\windows nt\\currentversion", "SystemRoot"), "E:\\WINNT");
  EXPECT_EQ(host.ReadRegistry("\\Software\\Microsoft\\Windows NT\\CurrentVersion", "Other"), "");
  EXPECT_EQ(host.ReadRegistry("\\Software\\Nothing", "SystemRoot"), "");
}

// Each row: a source "new" and a target "old" (or none) with attributes,
// one operation, and what Windows leaves: a copy takes its source's
// attributes; a read-only target is neither emptied, copied over, replaced
// nor deleted; a hidden or system one is not emptied or copied over, as the
// host creates files with normal attributes; a moved file keeps its own.
TEST_F(SimHostTest, AttributesBehaveAsOnWindows) {
  using platform::Host;
  const unsigned ro = platform::kAttrReadOnly, hid = platform::kAttrHidden, sys = platform::kAttrSystem;
  const unsigned none = 0, absent = ~0u;
  using Op = std::function<bool(Host&, const std::string&, const std::string&)>;
  const Op keep = [](Host& h, auto& a, auto& b) { return h.CopyFile(a, b, true); };
  const Op copy = [](Host& h, auto& a, auto& b) { return h.CopyFile(a, b, false); };
  const Op write = [](Host& h, auto&, auto& b) { return h.WriteFile(b, "new"); };
  const Op del = [](Host& h, auto&, auto& b) { return h.DeleteFile(b); };
  const Op replace = [](Host& h, auto& a, auto& b) { return h.ReplaceFile(a, b); };
  const Op whole = [](Host& h, auto& a, auto& b) { return platform::CopyFileWhole(h, a, b); };
  struct Case {
    const char* name;
    unsigned source, target;  // attributes; `absent`: no target
    Op op;
    bool done;
    std::string target_after;
    unsigned attributes_after;
  } cases[] = {
      {"copy keeping", none, none, keep, false, "old", 0},
      {"copy over", none, none, copy, true, "new", 0},
      {"copy of a read-only file", ro, absent, copy, true, "new", ro},
      {"copy over a read-only file", none, ro, copy, false, "old", ro},
      {"copy over a hidden file", none, hid, copy, false, "old", hid},
      {"write over a read-only file", none, ro, write, false, "old", ro},
      {"write over a system file", none, sys, write, false, "old", sys},
      {"delete a read-only file", none, ro, del, false, "old", ro},
      {"delete a hidden file", none, hid, del, true, "<absent>", 0},
      {"replace a read-only file", none, ro, replace, false, "old", ro},
      {"replace by a read-only file", ro, none, replace, true, "new", ro},
      {"replace a hidden system file", none, hid | sys, replace, true, "new", 0},
      // Copied whole, the program's copy of a read-only file is an ordinary
      // one; over a read-only target it fails and leaves nothing beside it.
      {"copied whole from a CD", ro, none, whole, true, "new", platform::kAttrArchive},
      {"copied whole over a read-only file", ro, ro, whole, false, "old", ro},
  };
  int row = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string dir = "C:\\row" + std::to_string(++row), a = dir + "\\a", b = dir + "\\b";
    Put(a, "new");
    ASSERT_TRUE(host.SetFileAttributes(a, c.source));
    if (c.target != absent) {
      Put(b, "old");
      ASSERT_TRUE(host.SetFileAttributes(b, c.target));
    }
    EXPECT_EQ(c.op(host, a, b), c.done);
    EXPECT_EQ(Get(b), c.target_after);
    EXPECT_EQ(host.Attributes(b), c.attributes_after);
    EXPECT_EQ(Get(b + ".new"), "<absent>");
  }
  EXPECT_FALSE(host.CopyFile("C:\\missing", "C:\\c", false));
}

TEST_F(SimHostTest, ReadsAtMostTheLimit) {
  Put("C:\\big", std::string(100, 'x'));
  std::string bytes;
  ASSERT_TRUE(host.ReadFile("C:\\big", &bytes, 10));
  EXPECT_EQ(bytes.size(), 10u);
}

// A program named without a directory is looked for as Windows looks for
// it: when the host starts it, in the program's folder, the current
// directory, the system folder and the Windows directory, as NAME.exe; when
// the command interpreter does, in the current directory and then the two
// system folders, as NAME.com or NAME.exe. Found in the system's folders, or
// nowhere, its stand-in plays it; found anywhere else it is another program
// of that name: the stand-in does not run, and a "foreign" event names the
// file. A name with a directory is taken as it is.
TEST_F(SimHostTest, ABareProgramNameIsLookedForAsWindowsLooksForIt) {
  enum By { kHost, kInterpreter };
  const struct {
    std::vector<std::string> files;
    By by;
    const char* command;
    std::string foreign;  // the file found in the stand-in's place, or ""
  } cases[] = {
      {{}, kHost, "net start x", ""},
      {{"C:\\WINNT\\system32\\NET.EXE"}, kHost, "net start x", ""},
      {{"C:\\WINNT\\net.exe"}, kInterpreter, "net start x", ""},
      {{"D:\\WORK\\NET.EXE"}, kHost, "net start x", "D:\\WORK\\NET.EXE"},
      {{"D:\\WORK\\NET.EXE"}, kInterpreter, "net start x", "D:\\WORK\\NET.EXE"},
      {{"D:\\WORK\\net.exe", "C:\\WINNT\\system32\\net.exe"}, kInterpreter, "net start x", "D:\\WORK\\net.exe"},
      {{"C:\\Korrin\\net.exe", "D:\\WORK\\net.exe"}, kHost, "net start x", "C:\\Korrin\\net.exe"},
      {{"C:\\Korrin\\net.exe"}, kInterpreter, "net start x", ""},  // not the interpreter's folder
      {{"D:\\WORK\\net.com"}, kHost, "net start x", ""},          // the host adds ".exe" only
      {{"D:\\WORK\\net.com"}, kInterpreter, "net start x", "D:\\WORK\\net.com"},
      {{"D:\\WORK\\net"}, kInterpreter, "net start x", ""},       // no program without its extension
      {{"D:\\WORK\\net.exe\\x"}, kHost, "net start x", ""},      // a folder of that name
      {{"D:\\WORK\\NET.COM"}, kInterpreter, "net.com start x", "D:\\WORK\\NET.COM"},
      {{"D:\\WORK\\net.exe"}, kHost, "C:\\WINNT\\system32\\net.exe start x", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.command + std::string(" ") + (c.files.empty() ? "" : c.files[0]));
    SimMachine m;
    m.host.SetWindowsDirectory("C:\\WINNT");
    m.host.SetProgramDirectory("C:\\Korrin");
    m.MakeDirs("C:\\Korrin");
    m.MakeDirs("D:\\WORK");
    ASSERT_TRUE(m.host.SetCurrentDirectory("D:\\WORK"));
    for (const std::string& file : c.files) m.Put(file, "a program");
    m.Put("C:\\in.txt", "");
    int played = 0;
    m.host.RegisterStandin("net", [&played](platform::SimHost&, const std::vector<std::string>&, const std::string&,
                                            std::string*) { return ++played, 5; });
    std::vector<int> codes;
    if (c.by == kHost) {
      int code = -1;
      m.host.RunCommand(c.command, platform::kHide);
      EXPECT_NE(m.host.StartWatched(c.command, platform::kHide), 0);
      EXPECT_EQ(m.host.RunToEnd(c.command, platform::kHide, 1000, &code), platform::Host::Wait::kFinished);
      codes.push_back(code);
      EXPECT_EQ(m.host.RunToEndWithFiles(c.command, "C:\\in.txt", "C:\\out.txt", 1000, &code),
                platform::Host::Wait::kFinished);
      codes.push_back(code);
      std::string printed;
      EXPECT_EQ(m.host.RunToEndCapturing(c.command, "", &printed, 1000, &code), platform::Host::Wait::kFinished);
      codes.push_back(code);
    } else {
      std::string out;
      codes.push_back(m.host.RunAndWait(c.command, "", &out));
    }
    const int starts = c.by == kHost ? 5 : 1;
    std::vector<platform::SimEvent> foreign;
    for (const platform::SimEvent& e : m.journal())
      if (e.kind == "foreign") foreign.push_back(e);
    EXPECT_EQ(played, c.foreign.empty() ? starts : 0);
    EXPECT_EQ(foreign.size(), c.foreign.empty() ? 0u : static_cast<size_t>(starts));
    for (const platform::SimEvent& e : foreign) EXPECT_EQ(e, (platform::SimEvent{"foreign", c.foreign, c.command, 0}));
    for (int code : codes) EXPECT_EQ(code, c.foreign.empty() ? 5 : 0);
  }
}

// A console program asked a question: its input goes in, what it prints on
// either stream comes back whole, as a console program's bytes would read
// (CR LF, code page 936), and no file changes. A program that cannot start,
// runs past its time or is not there by its path gives nothing back; so
// does one the fault host fails. The record of a run names it as asked.
TEST_F(SimHostTest, AProgramAskedGivesBackWhatItPrintedAndChangesNothing) {
  using Wait = platform::Host::Wait;
  using platform::Fault;
  const std::string kMany(platform::Host::kMostPrinted + 10, 'x');
  const std::string kEmpty = ":\r\nerr\r\n";
  const struct {
    const char* name;
    std::function<void(platform::SimHost&)> arrange;
    const char* command;
    std::string input;
    Wait wait;
    int code;
    std::string printed;
    std::vector<std::string> after;  // the journal's kinds after the "ask"
    const char* outcome;             // in the record
    Fault fault = {};
  } cases[] = {
      {"input in, output and errors out", nullptr, "C:\\WINNT\\system32\\echo.exe a", "用户\r\n二", Wait::kFinished, 3,
       "a:用户|二\r\nerr\r\n", {}, "返回值 3"},
      {"a character without a code page form", nullptr, "echo.exe", "À", Wait::kFinished, 3, ":?\r\nerr\r\n", {},
       "返回值 3"},
      {"what the program reads of it", nullptr, "echo.exe hex", "用À", Wait::kFinished, 3, "e794a83f", {}, "返回值 3"},
      {"more than it keeps", nullptr, "echo.exe", kMany, Wait::kFinished, 3,
       (":" + kMany).substr(0, platform::Host::kMostPrinted), {}, "返回值 3"},
      {"never ends", [](platform::SimHost& h) { h.MakeEndless("echo"); }, "echo.exe a", "", Wait::kTimedOut, -7, "",
       {"pause", "end"}, "超时，已结束"},
      {"slower than the limit", [](platform::SimHost& h) { h.MakeSlow("echo", 1001); }, "echo.exe a", "",
       Wait::kTimedOut, -7, "", {"pause", "end"}, "超时，已结束"},
      {"slow within the limit", [](platform::SimHost& h) { h.MakeSlow("echo", 1000); }, "echo.exe", "", Wait::kFinished,
       3, kEmpty, {}, "返回值 3"},
      {"cannot start", [](platform::SimHost& h) { h.MakeUnstartable("echo"); }, "echo.exe", "", Wait::kNotStarted, -7,
       "", {}, "无法启动"},
      {"no file where its path points", [](platform::SimHost& h) { h.RequireProgramFiles(); },
       "C:\\WINNT\\system32\\nowhere\\echo.exe", "", Wait::kNotStarted, -7, "", {}, "无法启动"},
      {"its file there", [](platform::SimHost& h) { h.RequireProgramFiles(); }, "C:\\WINNT\\system32\\echo.exe", "",
       Wait::kFinished, 3, kEmpty, {}, "返回值 3"},
      {"no such program", nullptr, "type.exe", "", Wait::kNotStarted, -7, "", {}, "无法启动"},
      {"a program fault: it fails", nullptr, "echo.exe a", "", Wait::kFinished, 1, "", {}, "返回值 1",
       {Fault::kProgramFails, 0}},
      {"a program fault: it hangs", nullptr, "echo.exe a", "", Wait::kTimedOut, -7, "", {"end"}, "超时，已结束",
       {Fault::kProgramHangs, 0}},
      {"a fault for another program", nullptr, "echo.exe", "", Wait::kFinished, 3, kEmpty, {}, "返回值 3",
       {Fault::kProgramFails, 1}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SimMachine m;
    m.Put("C:\\WINNT\\system32\\echo.exe", "a program");
    m.host.RegisterStandin("echo", [](platform::SimHost&, const std::vector<std::string>& args, const std::string& input,
                                      std::string* output) {
      if (!args.empty() && args[0] == "hex") {
        // The input as the program got it, byte by byte.
        char two[3];
        for (unsigned char b : input) *output += std::string(two, std::snprintf(two, sizeof two, "%02x", b));
      } else {
        std::string joined = input;
        std::replace(joined.begin(), joined.end(), '\n', '|');
        joined.erase(std::remove(joined.begin(), joined.end(), '\r'), joined.end());
        *output = (args.empty() ? "" : args[0]) + ":" + joined + "\nerr\n";
      }
      return 3;
    });
    if (c.arrange) c.arrange(m.host);
    platform::FaultHost faults(m.host);
    faults.Plant(c.fault);
    platform::RecordingHost recording(faults);
    const auto before = m.Tree("C:");
    int code = -7;
    std::string printed = "old";
    EXPECT_EQ(recording.RunToEndCapturing(c.command, c.input, &printed, 1000, &code), c.wait);
    EXPECT_EQ(code, c.code);
    EXPECT_TRUE(printed == c.printed) << printed.substr(0, 200);
    EXPECT_EQ(m.Tree("C:"), before);
    EXPECT_EQ(recording.TakeRecord(), std::vector<std::string>{"询问 " + std::string(c.command) + "：" + c.outcome});
    ASSERT_FALSE(m.journal().empty());
    EXPECT_EQ(m.journal().front(), (platform::SimEvent{"ask", c.command, c.input, platform::kHide}));
    std::vector<std::string> after;
    for (size_t i = 1; i < m.journal().size(); ++i) after.push_back(m.journal()[i].kind);
    EXPECT_EQ(after, c.after);
  }
}

// The record keeps one line a file, with the last of its written and
// deleted (a file made and deleted again leaves none); in a watched place,
// what other hands made, changed or deleted is listed once the watch ends,
// and what this program's own calls left there is not listed again.
TEST(RecordingHost, AFileKeepsItsLastStateAndOtherHandsChangesAreListed) {
  // Each step: "r" this program's call, through the record, or "s" other
  // hands on the machine itself; then what is done, and where.
  const struct {
    const char* name;
    std::vector<std::string> watched;  // the places watched while the steps run
    std::vector<std::string> steps;
    std::vector<std::string> record;
  } cases[] = {
      {"there, written, deleted", {}, {"r write C:\\w\\keep.txt", "r delete C:\\w\\keep.txt"}, {"删除 C:\\w\\keep.txt"}},
      {"made, deleted", {}, {"r write C:\\w\\made.txt", "r delete C:\\w\\made.txt"}, {}},
      {"there, deleted, written again", {}, {"r delete C:\\w\\keep.txt", "r write C:\\w\\keep.txt"},
       {"写入 C:\\w\\keep.txt"}},
      {"other hands in a watched place", {"C:\\w", "C:\\x.txt", "C:\\absent"},
       {"r write C:\\w\\own.txt", "r delete C:\\w\\gone.txt", "s write C:\\w\\keep.txt", "s read-only C:\\w\\attr.txt",
        "s delete C:\\w\\sub\\old.txt", "s folder C:\\w\\new", "s write C:\\w\\new\\made.txt", "s write C:\\x.txt",
        "s write C:\\outside.txt"},
       {"写入 C:\\w\\own.txt", "删除 C:\\w\\gone.txt", "程序改动属性 C:\\w\\attr.txt",
        "程序改动 C:\\w\\keep.txt", "程序新建目录 C:\\w\\new", "程序新建 C:\\w\\new\\made.txt",
        "程序删除 C:\\w\\sub\\old.txt", "程序新建 C:\\x.txt"}},
      {"this program's own change, undone by other hands", {"C:\\w"},
       {"r delete C:\\w\\gone.txt", "r write C:\\w\\own.txt", "s write C:\\w\\gone.txt", "s delete C:\\w\\own.txt"},
       {"删除 C:\\w\\gone.txt", "写入 C:\\w\\own.txt", "程序新建 C:\\w\\gone.txt", "程序删除 C:\\w\\own.txt"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SimMachine m;
    for (const char* file : {"C:\\w\\keep.txt", "C:\\w\\gone.txt", "C:\\w\\attr.txt", "C:\\w\\sub\\old.txt"})
      m.Put(file, "old");
    platform::RecordingHost recording(m.host);
    if (!c.watched.empty()) recording.Watch(c.watched);
    for (const std::string& step : c.steps) {
      platform::Host& by = step[0] == 'r' ? static_cast<platform::Host&>(recording) : m.host;
      const std::string what = step.substr(2, step.find(' ', 2) - 2), path = step.substr(step.find(' ', 2) + 1);
      if (what == "write") by.WriteFile(path, "written");
      if (what == "delete") by.DeleteFile(path);
      if (what == "read-only") by.SetFileAttributes(path, platform::kAttrReadOnly);
      if (what == "folder") by.MakeDirectory(path);
    }
    if (!c.watched.empty()) recording.EndWatch();
    EXPECT_EQ(recording.TakeRecord(), c.record);
  }
}

// A blank (0x20) and a tab (0x09) separate words, and nothing else: not the
// bytes beside them. Quotes group words and are dropped; the arguments'
// text keeps them.
TEST(CommandLine, BlanksAndTabsAloneSeparateWords) {
  const struct {
    std::string line;
    std::vector<std::string> words;
    std::string arguments;
  } cases[] = {
      {"a b", {"a", "b"}, " b"},
      {"a\tb", {"a", "b"}, "\tb"},
      {"a\x1F" "b", {"a\x1F" "b"}, ""},
      {"a!b", {"a!b"}, ""},
      {"a\x08" "b", {"a\x08" "b"}, ""},
      {"a\nb", {"a\nb"}, ""},
      {"net  share A=\"D:\\my dir\" x", {"net", "share", "A=D:\\my dir", "x"}, "  share A=\"D:\\my dir\" x"},
      {"\"C:\\My Tools\\undisk.exe\" a\t \"\"", {"C:\\My Tools\\undisk.exe", "a", ""}, " a\t \"\""},
      {" \t ", {}, ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(platform::SplitCommandLine(c.line), c.words) << c.line;
    EXPECT_EQ(platform::ArgumentsText(c.line), c.arguments) << c.line;
  }
  EXPECT_EQ(platform::QuotedIfBlank("C:\\My Tools\\x.exe"), "\"C:\\My Tools\\x.exe\"");
  EXPECT_EQ(platform::QuotedIfBlank("C:\\Tools\\x.exe"), "C:\\Tools\\x.exe");
}

}  // namespace
