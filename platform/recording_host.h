// A host that passes every call to another host and keeps a record of what
// changed on the machine: the files written, replaced, copied, deleted or
// given attributes, the folders made, the programs started. An unattended run
// writes it into its log, step by step; it works alike on the real and the
// simulated host.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/forwarding_host.h"

namespace platform {

// A waited-for program's line with how it ended: "WHAT：返回值 N", "WHAT：超时，已结束"
// or "WHAT：无法启动".
std::string Outcome(const std::string& what, Host::Wait wait, const int* exit_code);

class RecordingHost : public ForwardingHost {
 public:
  explicit RecordingHost(Host& inner) : ForwardingHost(inner) {}

  // The record since the last call, one line a change, in the order the
  // changes were first made: "新建目录 PATH", "写入 PATH", "删除 PATH",
  // "属性 PATH", "启动 COMMAND", "运行 COMMAND：返回值 N|超时|无法启动", and
  // "询问 COMMAND：..." for a program asked a question, which changes
  // nothing (what it printed is the caller's to log). A file
  // written beside its target and then moved into its place counts as the
  // target written; one written and deleted again within the record is left
  // out.
  std::vector<std::string> TakeRecord();

  // The places (folders, with everything below them, or files) the
  // programs about to be started may change: they are listed now (names,
  // sizes, times written, attributes), and again at EndWatch, which adds
  // to the record what was made, changed or deleted there by other hands
  // than this program's own calls: "程序新建 PATH", "程序改动 PATH",
  // "程序改动属性 PATH", "程序删除 PATH", "程序新建目录 PATH", "程序删除目录 PATH".
  // Hidden and system files are not listed, and so not seen.
  void Watch(const std::vector<std::string>& places);
  void EndWatch();

  void RunCommand(const std::string& command_line, ShowMode show) override;
  int StartWatched(const std::string& command_line, ShowMode show, const std::string& held_file = "") override;
  Wait RunToEnd(const std::string& command_line, ShowMode show, unsigned limit, int* exit_code) override;
  Wait RunToEndWithFiles(const std::string& command_line, const std::string& input, const std::string& output,
                         unsigned limit, int* exit_code) override;
  Wait RunToEndCapturing(const std::string& command_line, const std::string& input, std::string* printed,
                         unsigned limit, int* exit_code) override;
  bool MakeDirectory(const std::string& path) override;
  bool RemoveDirectory(const std::string& path) override;
  bool DeleteFile(const std::string& path) override;
  bool CopyFile(const std::string& from, const std::string& to, bool fail_if_exists) override;
  bool SetFileAttributes(const std::string& path, unsigned attributes) override;
  bool ReplaceFile(const std::string& from, const std::string& to) override;
  bool WriteFile(const std::string& path, const std::string& bytes) override;

 private:
  enum class Change { kFolder, kWritten, kDeleted, kAttributes, kStarted, kByProgram };
  struct Entry {
    Change change;
    std::string what;
  };
  void Note(Change change, const std::string& what);
  // The entry of a file, or nullptr.
  Entry* FileEntry(const std::string& path);

  // What a listing shows of a file or folder.
  struct Seen {
    bool there = false, folder = false;
    std::uint64_t size = 0;
    std::int64_t written = 0;
    unsigned attributes = 0;
    bool operator==(const Seen& o) const {
      return there == o.there && folder == o.folder && size == o.size && written == o.written &&
             attributes == o.attributes;
    }
  };
  using Listing = std::map<std::string, std::pair<std::string, Seen>>;  // by the path in upper case
  void List(const std::string& path, const Seen& seen, Listing* listing);
  Listing ListPlaces();
  Seen SeenNow(const std::string& path);
  // After this program's own change of `path`: how it left it, when the
  // path is in a watched place.
  void Touched(const std::string& path);

  std::vector<Entry> entries_;
  std::vector<std::string> places_;
  Listing before_;
  Listing touched_;  // how this program's own last change left each path
  // Files that were there before this record began writing them.
  std::vector<std::string> existed_;
};

}  // namespace platform
