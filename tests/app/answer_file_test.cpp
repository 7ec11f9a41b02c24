// The answer file of an unattended run: what it reads, and what it refuses
// with the line named. answer_run_test.cpp pins the file saved from the fields.
#include <gtest/gtest.h>

#include "app/answer_file.h"
#include "platform/encoding.h"

namespace {

// The sections and keys read, as "[Section] Key=Value@line ..." .
std::string Summary(const app::AnswerFile& file) {
  std::string s;
  for (const app::AnswerSection& section : file.sections) {
    s += (s.empty() ? "[" : " [") + section.name + "]@" + std::to_string(section.line);
    for (const app::AnswerKey& key : section.keys) s += " " + key.name + "=" + key.value + "@" + std::to_string(key.line);
  }
  return s;
}

TEST(AnswerFile, ReadsSectionsAndKeysOrRefusesWithTheLine) {
  const std::string gbk_dir = platform::ToCodePage("SharedDirectory=D:\\无盘站");
  struct Row {
    const char* name;
    std::string bytes;  // the file as on disk
    std::string expected;  // the summary, or the error
  } rows[] = {
      {"sections in the file's order, names in any case, remarks, quotes, spaces, line ends",
       "; remark\r\n[service]\r\nSTART = Yes\n\r\n[Accounts]\r" + gbk_dir + "\r\nUserCount=\"12\"\r\n",
       "[Service]@2 Start=Yes@3 [Accounts]@5 SharedDirectory=D:\\无盘站@6 UserCount=12@7"},
      {"an empty file", "", ""},
      {"a remark after a section and after a value (a \";\" after a blank), kept without the blank or in quotes",
       "[Accounts] ; room 2\r\nUserPrefix=WS ; the workstations\r\nWorkGroup=A;B\r\nSharedDirectory=\"D:\\a ;b\" ; x\r\n"
       "UserCount=3\t;\r\nNamesFile= ;none\r\n[Install];\r\nProfile=\"\"A\"\r\nDosProfile=\"No\r\n",
       "[Accounts]@1 UserPrefix=WS@2 WorkGroup=A;B@3 SharedDirectory=D:\\a ;b@4 UserCount=3@5 NamesFile=@6 "
       "[Install]@7 Profile=\"A@8 DosProfile=\"No@9"},
      {"a section line with more than a remark after it", "[Accounts] room 2\r\n", "第 1 行：未知的节 [Accounts] room 2。"},
      {"a value with = in it and an empty value", "[Card]\r\nDriver=C:\\A=B.DOS\r\nVendorPrefix=\r\n",
       "[Card]@1 Driver=C:\\A=B.DOS@2 VendorPrefix=@3"},
      {"an unknown section", "[Accounts]\r\n[Users]\r\n", "第 2 行：未知的节 [Users]。"},
      {"a section without its bracket", "[Accounts\r\n", "第 1 行：未知的节 [Accounts。"},
      {"an unknown key", "[Card]\r\nType=RTL 8139\r\nPrefix=00E04C\r\n", "第 3 行：节 [Card] 中没有键 Prefix。"},
      {"a key of another section", "[Service]\r\nProfile=W8139\r\n", "第 2 行：节 [Service] 中没有键 Profile。"},
      {"a key before any section", "Start=Yes\r\n[Service]\r\n", "第 1 行：键 Start 不在任何节中。"},
      {"a line that is neither", "[Service]\r\nStart Yes\r\n", "第 2 行：既不是节也不是“键=值”：Start Yes"},
      {"a section twice", "[Service]\r\nStart=Yes\r\n[SERVICE]\r\n", "第 3 行：节 [Service] 已在第 1 行出现过。"},
      {"a key twice", "[Install]\r\nProfile=A\r\nprofile=B\r\n", "第 3 行：键 Profile 已在第 2 行给出。"},
      {"UTF-8 with its byte order mark", "\xEF\xBB\xBF[Service]\r\n",
       "第 1 行：文件以 UTF-8 的字节顺序标记开头；应答文件必须是 GBK（代码页 936）文本。"},
      {"UTF-8 without it", "[Accounts]\r\nSharedDirectory=D:\\无盘站\r\n",
       "第 2 行：不是 GBK（代码页 936）文本；请用“记事本”另存为 ANSI 编码。"},
      {"UTF-8 whose bytes pair up as code page 936 too", "[Accounts]\r\nSharedDirectory=D:\\无盘\r\n",
       "第 2 行：不是 GBK（代码页 936）文本；请用“记事本”另存为 ANSI 编码。"},
      {"UTF-16", std::string("[\0S\0", 4), "第 1 行：有零字节（Unicode 文本？）；应答文件必须是 GBK（代码页 936）文本。"},
      {"a zero byte further down", std::string("[Service]\r\nStart=Yes\r\n;\0\r\n", 26),
       "第 3 行：有零字节（Unicode 文本？）；应答文件必须是 GBK（代码页 936）文本。"},
      {"a byte that is no code page 936 character", "[Accounts]\r\nUserPrefix=W\x80\r\n",
       "第 2 行：不是 GBK（代码页 936）文本；请用“记事本”另存为 ANSI 编码。"},
  };
  for (const Row& row : rows) {
    app::AnswerFile file;
    std::string error;
    const bool read = app::ParseAnswerFile(row.bytes, &file, &error);
    EXPECT_EQ(read ? Summary(file) : error, row.expected) << row.name;
  }
}

}  // namespace
