#include "platform/file_lists.h"

#include <gtest/gtest.h>

#include "tests/recording_peer.h"
#include "tests/sim_session.h"

namespace {

using platform::ItemLook;

TEST(MatchesMask, WildcardsWithoutRegardToCase) {
  struct Case {
    const char* name;
    const char* mask;
    bool match;
  } cases[] = {
      {"NE2000.DOS", "*.DOS", true},  {"ne2000.dos", "*.DOS", true}, {"rtsnd.dosx", "*.DOS", false},
      {"DOS", "*.DOS", false},        {".DOS", "*.DOS", true},       {"A.B.DOS", "*.DOS", true},
      {"readme", "*.*", false},       {"a.b", "*.*", true},          {"x.dos", "?.dos", true},
      {"xy.dos", "?.dos", false},     {"anything", "*", true},       {"", "*", true},
  };
  for (const Case& c : cases) EXPECT_EQ(platform::MatchesMask(c.name, c.mask), c.match) << c.name << " " << c.mask;
}

class FileLists : public SimSession {
 protected:
  void SetUp() override {
    MakeDirs("C:\\WINNT\\system32");
    MakeDirs("C:\\Drivers\\NIC");
    MakeDirs("C:\\Drivers\\Audio");
    Put("C:\\Drivers\\ne2000.dos", "driver");
    Put("C:\\Drivers\\RTSND.DOS", "driver");
    Put("C:\\Drivers\\readme.txt", "text");
    MakeDirs("C:\\Drivers\\old.dos");  // a directory is never offered as a file
    host.SetCurrentDirectory("C:\\Drivers");
  }
  platform::ListBox drives{"DriveComboBox1"}, dirs{"DirectoryListBox1"}, files{"FileListBox1"};
};

// A: and B: are floppy drives and C: the first that can be a hard disk; a
// drive from C: on is a hard disk when it is fixed, and only a hard disk's
// label is read and shown.
TEST_F(FileLists, DriveListShowsEachKindOfDriveAndChoosesTheCurrentOne) {
  const struct {
    char letter;
    bool removable;
    const char* label;
    const char* item;
    const char* picture;
  } shown[] = {
      {'A', false, "BOOT", "a:", "floppy"},              {'B', false, "", "b:", "floppy"},
      {'C', false, "SYSTEM", "c: [SYSTEM]", "harddisk"}, {'D', false, "", "d:", "harddisk"},
      {'E', true, "CDROM", "e:", "drive"},
  };
  std::vector<std::string> items;
  std::vector<ItemLook> looks;
  for (const auto& d : shown) {
    MakeDirs(std::string(1, d.letter) + ":\\");
    if (d.removable) host.MakeRemovable(d.letter);
    host.SetVolumeLabel(d.letter, d.label);
    items.push_back(d.item);
    looks.push_back({0, d.picture});
  }
  platform::DriveList list(host, drives);
  list.Fill();
  EXPECT_EQ(drives.Items(), items);
  EXPECT_EQ(drives.Looks(), looks);
  EXPECT_EQ(list.Drive(), 'C');
  drives.SetItemIndex(3);  // the user's choice: its root becomes current
  EXPECT_TRUE(list.Change());
  EXPECT_EQ(host.CurrentDirectory(), "D:\\");
}

TEST_F(FileLists, DirectoryTreeOpensThePathFromTheRootDownAndOpensADirectoryChosenInIt) {
  platform::DirectoryList list(host, dirs);
  list.Fill();
  EXPECT_EQ(dirs.Items(), (std::vector<std::string>{"C:\\", "Drivers", "Audio", "NIC", "old.dos"}));
  EXPECT_EQ(dirs.Looks(), (std::vector<ItemLook>{{0, "folder-open"}, {1, "folder-open"},
                                                 {2, "folder"}, {2, "folder"}, {2, "folder"}}));
  EXPECT_EQ(dirs.ItemIndex(), 1);
  EXPECT_EQ(list.PathOf(0), "C:\\");
  EXPECT_EQ(list.PathOf(1), "C:\\Drivers");  // no second backslash after the root
  EXPECT_EQ(list.PathOf(3), "C:\\Drivers\\NIC");
  ASSERT_TRUE(list.Open(3));
  EXPECT_EQ(host.CurrentDirectory(), "C:\\Drivers\\NIC");
  EXPECT_EQ(dirs.Items(), (std::vector<std::string>{"C:\\", "Drivers", "NIC"}));
  EXPECT_EQ(dirs.ItemIndex(), 2);
  ASSERT_TRUE(list.Open(0));  // back up to the root: its directories, no dot entries
  EXPECT_EQ(host.CurrentDirectory(), "C:\\");
  EXPECT_EQ(dirs.Items(), (std::vector<std::string>{"C:\\", "Drivers", "WINNT"}));
}

TEST_F(FileLists, FileListOffersTheMatchingFilesOnlyAndGivesTheFullPath) {
  platform::FileList list(host, files, "*.DOS");
  list.Fill("C:\\Drivers");
  EXPECT_EQ(files.Items(), (std::vector<std::string>{"ne2000.dos", "RTSND.DOS"}));
  EXPECT_EQ(list.FileName(), "");
  files.SetItemIndex(1);
  EXPECT_EQ(list.FileName(), "C:\\Drivers\\RTSND.DOS");
  list.Fill("C:\\");
  EXPECT_TRUE(files.Items().empty());
  EXPECT_EQ(list.FileName(), "");
}

TEST(ListBox, TheUsersChoiceRunsTheChangeHandlerTheProgramsDoesNot) {
  for (bool bound : {false, true}) {
    platform::ListBox box("FileListBox1");
    RecordingPeer peer;
    if (bound) box.Bind(&peer);
    int changes = 0;
    box.on_change = [&] { ++changes; };
    box.SetItems({"a.dos", "b.dos"});
    box.SetItemIndex(0);
    EXPECT_EQ(changes, 0) << bound;
    box.Choose(1);
    EXPECT_EQ(changes, 1) << bound;
    EXPECT_EQ(box.Text(), "b.dos") << bound;
    box.SetItems({"c.dos"});
    EXPECT_EQ(box.ItemIndex(), -1) << bound;
  }
}

}  // namespace
