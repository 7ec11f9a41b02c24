// The command interpreter stand-in: batch files, programs, input from files.
#include "tests/standins/standin_session.h"

namespace {

class CommandTest : public StandinSession {
 protected:
  CommandTest() {
    // A program that records what it was given and prints one line.
    host.RegisterStandin("catcher", [this](platform::SimHost&, const std::vector<std::string>& args,
                                           const std::string& input, std::string* output) {
      calls.push_back({args, input});
      *output = "caught\n";
      return static_cast<int>(args.size());
    });
  }
  struct Call {
    std::vector<std::string> args;
    std::string input;
  };
  std::vector<Call> calls;
};

// A file is the program's input (code page 936 on disk, UTF-8 to the
// program), and what it prints goes into a file, however the redirections are
// written; a quoted "<" is part of its word. What cannot be found or done is
// refused with the interpreter's messages, and no program runs.
TEST_F(CommandTest, RedirectsAProgramsInputAndOutputOrRefusesWhatItCannotFind) {
  Put("C:\\in.txt", "y\r\n\xC4\xFA\xBA\xC3\r\n");
  Put("C:\\old.txt", "an earlier run's output, longer than this one's\r\n");
  const char* in = "y\r\n您好\r\n";
  const char* kNoPipes = "Appending redirection and pipes are not available here";
  struct Case {
    const char* line;
    std::vector<std::string> args;
    const char* input;
    const char* file;     // where the output goes, or nullptr
    const char* refusal;  // or nullptr: the program runs
  } cases[] = {
      {"command.com /c catcher a b <c:\\in.txt", {"a", "b"}, in, nullptr, nullptr},
      {"COMMAND.COM /C catcher a b < C:\\IN.TXT", {"a", "b"}, in, nullptr, nullptr},
      {"command /c catcher a b<c:\\in.txt", {"a", "b"}, in, nullptr, nullptr},
      {"command.com /c catcher <\"c:\\in.txt\" a b", {"a", "b"}, in, nullptr, nullptr},
      {"command.com /ccatcher a b <c:\\in.txt", {"a", "b"}, in, nullptr, nullptr},
      {"command.com /c catcher \"a<c:\\in.txt\" b", {"a<c:\\in.txt", "b"}, "", nullptr, nullptr},
      {"command.com /c catcher a <c:\\in.txt >c:\\out.txt", {"a"}, in, "C:\\out.txt", nullptr},
      {"command.com /c catcher a>C:\\OLD.TXT", {"a"}, "", "C:\\old.txt", nullptr},
      {"command.com /c catcher >\"c:\\out 2.txt\" a", {"a"}, "", "C:\\out 2.txt", nullptr},
      {"command.com /c c:\\missing.bat", {}, "", nullptr, "Bad command or file name\n"},
      {"command.com /c nosuchprogram x", {}, "", nullptr, "Bad command or file name\n"},
      {"command.com /c catcher <c:\\missing.txt", {}, "", nullptr, "File not found\n"},
      {"command.com /c catcher <", {}, "", nullptr, "File not found\n"},
      {"command.com /c catcher >>c:\\new.txt", {}, "", nullptr, kNoPipes},
      {"command.com /c catcher | more", {}, "", nullptr, kNoPipes},
      {"command.com /c catcher >", {}, "", nullptr, "File not found\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    calls.clear();
    std::string out;
    const int code = Run(c.line, &out);
    if (c.refusal) {
      EXPECT_NE(code, 0);
      EXPECT_NE(out.find(c.refusal), std::string::npos) << out;
      EXPECT_TRUE(calls.empty());
      continue;
    }
    EXPECT_EQ(code, static_cast<int>(c.args.size()));
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].args, c.args);
    EXPECT_EQ(calls[0].input, c.input);
    EXPECT_EQ(out, c.file ? "" : "caught\n");
    if (c.file) {
      EXPECT_EQ(Get(c.file), "caught\r\n");
    }
  }
  EXPECT_EQ(Get("C:\\new.txt"), "<absent>");
}

// A batch file runs line by line: blank lines, REM, labels and lines after
// "@" are not shown, ECHO shows text or switches the showing of lines off
// and on. CALL returns to the batch file that called, another batch file
// named without CALL takes its place, EXIT ends it; a line ends at CR, not at
// a lone LF, a Ctrl-Z ends the file, and the bytes are code page 936. Without
// /C the commands come from the input, up to EXIT. The exit code is the last
// program's.
TEST_F(CommandTest, RunsTheCommandsOfABatchFileOrOfItsInput) {
  struct Case {
    std::vector<std::pair<const char*, std::string>> files;
    const char* line;
    const char* input;
    int code;
    std::vector<std::vector<std::string>> runs;  // the arguments of each run of the program
    const char* printed;
  } cases[] = {
      {{{"C:\\job.bat", "catcher first\r\n\r\n   \r\n@rem not run\r\necho off\r\nREM nor this\r\n"
                        ":label\r\necho Hello  there\r\nECHO.\r\necho\r\n@echo on\r\n"
                        "  @catcher second x <c:\\job.bat\r\ncatcher third\r\n"}},
       "command.com /c c:\\job.bat", "", 1, {{"first"}, {"second", "x"}, {"third"}},
       "\nC:\\>catcher first\ncaught\n\nC:\\>echo off\nHello  there\n\nECHO is off\ncaught\n"
       "\nC:\\>catcher third\ncaught\n"},
      {{{"C:\\a.bat", "@echo off\r\ncall c:\\b.bat\r\ncatcher after-call\r\nc:\\b\r\ncatcher never\r\n"},
        {"C:\\b.bat", "catcher in-b\r\n"}},
       "command.com /c c:\\a.bat", "", 1, {{"in-b"}, {"after-call"}, {"in-b"}}, "caught\ncaught\ncaught\n"},
      {{{"C:\\x.bat", "@catcher one\r\n@exit\r\n@catcher two\r\n"}}, "command.com /c c:\\x.bat", "", 0,
       {{"one"}}, "caught\n"},
      {{{"C:\\t.bat", "@catcher \xC4\xFA\r@catcher a\nb\r\n\x1A@catcher never\r\n"}},
       "command.com /c c:\\t.bat", "", 1, {{"您"}, {"a\nb"}}, "caught\ncaught\n"},
      {{}, "command.com", "catcher 1\r\n\r\ncatcher 2 3\nexit\ncatcher never\n", 0, {{"1"}, {"2", "3"}},
       "caught\ncaught\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    for (const auto& [path, bytes] : c.files) Put(path, bytes);
    calls.clear();
    std::string out;
    EXPECT_EQ(Run(c.line, &out, c.input), c.code);
    std::vector<std::vector<std::string>> runs;
    for (const Call& call : calls) runs.push_back(call.args);
    EXPECT_EQ(runs, c.runs);
    EXPECT_EQ(out, c.printed);
  }
}

// Batch files that run one another without end stop with an error: at the
// 32nd CALL deep, and at the 257th batch file of a run, however they reach it
// (handing over without CALL ran for ever, calling twice each for as good as).
TEST_F(CommandTest, BatchFilesRunningOneAnotherEndWithAnError) {
  struct Case {
    std::vector<std::pair<std::string, std::vector<std::string>>> files;
    size_t runs;  // of the program each file runs first
    std::string message;
  } cases[] = {
      {{{"C:\\loop.bat", {"@echo off", "catcher", "call c:\\loop.bat"}}},
       32, "Batch files call one another too deep: c:\\loop.bat\n"},
      {{{"C:\\a.bat", {"@catcher", "@c:\\b.bat"}}, {"C:\\b.bat", {"@catcher", "@c:\\a"}}},
       256, "Batch files hand over to one another too often: c:\\a.bat\n"},
      {{{"C:\\a.bat", {"@catcher", "@call c:\\a.bat", "@call c:\\a.bat"}}},
       256, "Batch files hand over to one another too often: c:\\a.bat\n"},
  };
  for (const Case& c : cases) {
    for (const auto& [path, lines] : c.files) ASSERT_TRUE(platform::WriteTextLines(host, path, lines));
    calls.clear();
    std::string out;
    EXPECT_EQ(Run("command.com /c " + c.files[0].first, &out), 1) << c.message;
    EXPECT_EQ(calls.size(), c.runs) << c.message;
    EXPECT_NE(out.find(c.message), std::string::npos) << c.message << out.substr(out.size() - 200);
  }
}

}  // namespace
