// The drive, directory and file lists of a file chooser, filled from the
// host's own listings so that the simulated and the real machine show the same
// entries. Each works on a list value object; choosing a drive or a directory
// makes it the process's current directory, as the classic lists of the host do.
#pragma once

#include <string>
#include <vector>

#include "platform/controls.h"
#include "platform/platform.h"

namespace platform {

// True when a file name matches a mask of "*" and "?" wildcards, compared
// without regard to the case of ASCII letters ("*.DOS" matches "ne2000.dos").
bool MatchesMask(const std::string& name, const std::string& mask);

// "C:\DRIVERS" + "NIC.DOS" gives "C:\DRIVERS\NIC.DOS"; a drive root keeps its
// one backslash ("C:\" + "NIC.DOS" gives "C:\NIC.DOS").
std::string JoinPath(const std::string& directory, const std::string& name);

// The drive list: one item a drive, "c: [LABEL]" for a fixed drive with a
// label, "c:" otherwise; pictures "floppy", "harddisk" or "drive".
class DriveList {
 public:
  DriveList(Host& host, ListBox& box) : host_(host), box_(box) {}
  // Fills the list and chooses the drive of the current directory.
  void Fill();
  // The chosen drive's letter, upper case; 0 when none is chosen.
  char Drive() const;
  // After the user's choice: the chosen drive's root becomes the current
  // directory. A drive that cannot be entered (no disk) keeps the old
  // current directory, and the list goes back to its drive; false then.
  bool Change();

 private:
  Host& host_;
  ListBox& box_;
  std::vector<DriveEntry> drives_;
};

// The directory tree: the current directory's path opened from the drive
// root down, one step further in at each level ("folder-open"), then the
// current directory's subdirectories one step further in ("folder"), in the
// order the file system gives them. The current directory is the chosen item.
class DirectoryList {
 public:
  DirectoryList(Host& host, ListBox& box) : host_(host), box_(box) {}
  // Fills the list from the current directory.
  void Fill();
  // The directory the list shows opened.
  const std::string& Directory() const { return directory_; }
  // The full path of item i.
  std::string PathOf(int i) const;
  // Opens item i: it becomes the current directory and the list is filled
  // anew from it. False (nothing changed) when it cannot be entered.
  bool Open(int i);

 private:
  Host& host_;
  ListBox& box_;
  std::string directory_;
  std::vector<std::string> levels_;  // the opened path, one entry a level
};

// The file list: the files of a directory that match a mask, in the order the
// file system gives them; directories are not shown. Nothing is chosen after
// a fill.
class FileList {
 public:
  FileList(Host& host, ListBox& box, std::string mask)
      : host_(host), box_(box), mask_(std::move(mask)) {}
  void Fill(const std::string& directory);
  const std::string& Mask() const { return mask_; }
  // The chosen file's full path, "" when none is chosen.
  std::string FileName() const;

 private:
  Host& host_;
  ListBox& box_;
  std::string mask_;
  std::string directory_;
};

}  // namespace platform
