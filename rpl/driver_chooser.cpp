// The driver chooser (GetNetDrv): its lists follow one another and fill NDISTALK.
#include "rpl/driver_chooser.h"

namespace rpl {
namespace {

const std::vector<look::ControlLayout> kControls = {
    // name, id, kind, parent, left, top, width, height, text, hint, tab, enabled, visible, font, picture
    {"DirectoryListBox1", 501, look::Kind::kDirectoryList, "", 16, 8, 153, 145, "", "", 0, true, true, nullptr, ""},
    {"FileListBox1", 502, look::Kind::kListBox, "", 184, 8, 161, 145, "", "", 1, true, true, nullptr, ""},
    {"DriveComboBox1", 503, look::Kind::kDriveCombo, "", 16, 160, 153, 19, "", "", 2, true, true, nullptr, ""},
    {"FilterComboBox1", 504, look::Kind::kComboBox, "", 184, 160, 161, 21, "NdisDrive(*.DOS)", "", 3, true, true, nullptr, ""},
    {"Label1", 505, look::Kind::kLabel, "", 72, 202, 0, 0, "NDIS：", "", -1, true, true, nullptr, ""},
    {"NDISTALK", 506, look::Kind::kEdit, "", 112, 198, 233, 21, "", "网卡驱动名称，只接受用户选择，不接受输入！", 4, false, true, nullptr, ""},
    {"Label2", 507, look::Kind::kLabel, "", 8, 234, 0, 0, "网卡前六位标识：", "", -1, true, true, nullptr, ""},
    {"MACTALK", 508, look::Kind::kEdit, "", 112, 232, 233, 21, "", "", 5, true, true, nullptr, ""},
    // The OK button: closes the dialog with the OK result; the default button.
    {"BitBtn1", 1, look::Kind::kGlyphButton, "", 264, 264, 81, 33, "确 定", "", 6, true, true, nullptr, "ok"},
};

const look::WindowLayout kGetNetDrv = {"GetNetDrv", "客户机网卡信息", 232, 126, 358, 314, &look::kSong13, &kControls, nullptr};

}  // namespace

TGetNetDrv::TGetNetDrv(platform::Host& host)
    : host_(host),
      drives_(host, DriveComboBox1),
      directories_(host, DirectoryListBox1),
      files_(host, FileListBox1, "*.DOS") {
  look::SetFirstStates(kGetNetDrv, Controls());
  FilterComboBox1.SetItemIndex(0);
  DriveComboBox1.on_change = [this] { DriveComboBox1Change(); };
  DirectoryListBox1.on_change = [this] { DirectoryListBox1Change(); };
  FileListBox1.on_change = [this] { FileListBox1Change(); };
}

const look::WindowLayout& TGetNetDrv::Layout() { return kGetNetDrv; }

platform::ModalResult TGetNetDrv::Show(platform::Ui& ui) {
  const std::string before = host_.CurrentDirectory();
  const platform::ModalResult result = ui.ShowModal(*this);
  left_ = host_.CurrentDirectory();
  host_.SetCurrentDirectory(before);
  return result;
}

void TGetNetDrv::FormShow() {
  if (!left_.empty()) host_.SetCurrentDirectory(left_);
  FilterComboBox1.SetItemIndex(0);  // its one entry, always shown
  drives_.Fill();
  directories_.Fill();
  files_.Fill(directories_.Directory());
}

// A new directory empties the file list's choice, and with it NDISTALK.
void TGetNetDrv::DriveComboBox1Change() {
  drives_.Change();
  directories_.Fill();
  files_.Fill(directories_.Directory());
  FileListBox1Change();
}

void TGetNetDrv::DirectoryListBox1Change() {
  directories_.Open(DirectoryListBox1.ItemIndex());
  files_.Fill(directories_.Directory());
  FileListBox1Change();
}

void TGetNetDrv::FileListBox1Change() { NDISTALK.SetText(files_.FileName()); }

}  // namespace rpl
