// The driver chooser (GetNetDrv): the card's DOS NDIS driver, picked from a
// drive list, a directory tree and a file list of "*.DOS" files, and the
// card's vendor prefix. Made once for the whole run, so it keeps its fields.
// Choosing a drive or a directory makes it the process's current directory
// while the dialog is up, as the classic lists do; Show gives the current
// directory back when the dialog closes, and the next showing opens where
// this one was left.
#pragma once

#include "look/layout.h"
#include "platform/controls.h"
#include "platform/file_lists.h"
#include "platform/platform.h"

namespace rpl {

class TGetNetDrv : public platform::ModalWindow {
 public:
  explicit TGetNetDrv(platform::Host& host);
  const char* Kind() const override { return "TGetNetDrv"; }
  static const look::WindowLayout& Layout();
  // The controls, as the window shows them; its OK button is the dialog's own.
  std::vector<platform::Control*> Controls() {
    return {&DriveComboBox1, &DirectoryListBox1, &FileListBox1, &FilterComboBox1, &NDISTALK, &MACTALK};
  }

  // Shows the dialog modally and returns how it ended. However it ends, the
  // current directory is then the one it was before: a program started by
  // a bare name (the account script's net lines, run by the command
  // interpreter) is looked for in the current directory first, and a folder
  // browsed to, such as a profile's winboot with the boot floppy's DOS
  // NET.EXE, must not answer for it.
  platform::ModalResult Show(platform::Ui& ui);
  // The lists show the folder the last showing was left in, made the
  // current directory again (at the first showing, or when that folder is
  // gone: the current directory).
  void FormShow() override;
  // Events of the lists.
  void DriveComboBox1Change();      // the tree goes to the chosen drive
  void DirectoryListBox1Change();   // the file list goes to the chosen directory
  void FileListBox1Change();        // NDISTALK shows the chosen file's full path

  platform::ComboBox DriveComboBox1{"DriveComboBox1"};
  platform::ListBox DirectoryListBox1{"DirectoryListBox1"};
  platform::ListBox FileListBox1{"FileListBox1"};
  // One filter, "*.DOS"; choosing it changes nothing.
  platform::ComboBox FilterComboBox1{"FilterComboBox1"};
  platform::Edit NDISTALK{"NDISTALK"};  // shows the chosen file, takes no typing
  platform::Edit MACTALK{"MACTALK"};

 private:
  platform::Host& host_;
  std::string left_;  // the folder the last showing was left in
  platform::DriveList drives_;
  platform::DirectoryList directories_;
  platform::FileList files_;
};

}  // namespace rpl
