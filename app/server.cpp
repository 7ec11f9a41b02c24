#include "app/server.h"

#include <vector>

#include "accounts/users.h"
#include "app/paths.h"
#include "app/unit4.h"
#include "app/unit5.h"
#include "platform/textfile.h"
#include "pxe/bootimage.h"

namespace app {

namespace {

// Byte length of the UTF-8 character that starts with `lead`.
size_t CharBytes(unsigned char lead) {
  return lead < 0x80 ? 1 : (lead >> 5) == 6 ? 2 : (lead >> 4) == 14 ? 3 : (lead >> 3) == 30 ? 4 : 1;
}

}  // namespace

std::string ShareName(const std::string& shared_directory) {
  // Characters, not bytes, are counted, so a Chinese name is never cut in half.
  std::string name;
  size_t i = 0;
  for (int index = 1; i < shared_directory.size() && index < 4 + 20; ++index) {
    size_t n = CharBytes(static_cast<unsigned char>(shared_directory[i]));
    if (index >= 4) name += shared_directory.substr(i, n);
    i += n;
  }
  return name;
}

TForm1::TForm1(platform::Host& host, platform::Ui& ui) : host_(host), ui_(ui) {
  CheckBox1.on_change = [this] { CheckBox1Click(); };
}

platform::Control* TForm1::Find(const std::string& name) {
  platform::Control* controls[] = {&Edit1, &Edit2, &Edit4, &Edit3, &BitBtn1, &BitBtn8, &BitBtn4,
                                   &ProgressBar1, &ComboBox1, &ComboBox2, &CheckBox1, &BitBtn10,
                                   &BitBtn12, &BitBtn6, &BitBtn9, &BitBtn11, &SpeedButton7,
                                   &ProgressBar2, &BitBtn3, &BitBtn5, &BitBtn2, &BitBtn7, &CheckBox2};
  for (platform::Control* c : controls)
    if (c->name() == name) return c;
  return nullptr;
}

bool TForm1::Click(const std::string& name) {
  struct Entry {
    const char* name;
    void (TForm1::*handler)();
  };
  static const Entry kClicks[] = {
      {"BitBtn1", &TForm1::BitBtn1Click},   {"BitBtn8", &TForm1::BitBtn8Click},
      {"BitBtn4", &TForm1::BitBtn4Click},   {"E1", &TForm1::E1Click},
      {"N2", &TForm1::N2Click},             {"SpeedButton2", &TForm1::SpeedButton2Click},
      {"M1", &TForm1::M1Click},             {"SpeedButton3", &TForm1::SpeedButton3Click},
      {"BitBtn3", &TForm1::BitBtn3Click},   {"BitBtn5", &TForm1::BitBtn5Click},
      {"BitBtn2", &TForm1::BitBtn2Click},   {"SpeedButton1", &TForm1::SpeedButton1Click},
      {"BitBtn7", &TForm1::BitBtn7Click},   {"BitBtn10", &TForm1::BitBtn10Click},
      {"BitBtn9", &TForm1::BitBtn9Click},   {"BitBtn11", &TForm1::BitBtn11Click},
      {"BitBtn12", &TForm1::BitBtn12Click}, {"BitBtn6", &TForm1::BitBtn6Click},
      {"SpeedButton7", &TForm1::SpeedButton7Click},
  };
  for (const Entry& e : kClicks) {
    if (name == e.name) {
      (this->*e.handler)();
      return true;
    }
  }
  return false;
}

void TForm1::FormCreate() {
  // 1. Where the program was started: its companion folders lie below.
  settings.StartDir = host_.CurrentDirectory();
  // 2. The shared directory of the last generation, when there was one.
  if (host_.FileExists(paths::kTempsBak)) {
    std::vector<std::string> lines;
    if (!platform::ReadTextLines(host_, paths::kTempsBak, &lines)) {
      // The window still opens; the Windows directory is left unread.
      ui_.ShowError(std::string("无法读取文件 ") + paths::kTempsBak + "：输入/输出错误。");
      return;
    }
    Edit1.SetText(lines.empty() ? "" : lines[0]);
  }
  // 3. The server's Windows directory.
  settings.SystemRoot = host_.ReadRegistry(paths::kWindowsNtKey, "SystemRoot");
}

void TForm1::BitBtn4Click() {
  host_.DeleteFile(paths::kUserTempBat);
  ui_.CloseMainWindow();
}

void TForm1::E1Click() { ui_.CloseMainWindow(); }

void TForm1::N2Click() {
  TForm5 Form5;
  ui_.ShowModal(Form5);
}

void TForm1::SpeedButton2Click() { N2Click(); }

void TForm1::M1Click() {
  TForm4 Form4;
  ui_.ShowModal(Form4);
}

void TForm1::SpeedButton3Click() { M1Click(); }

void TForm1::BitBtn1Click() {
  accounts::GenerateUsers(host_, ui_, {Edit1.Text(), Edit2.Text(), Edit3.Text(), Edit4.Text()},
                          ProgressBar1);
}

void TForm1::BitBtn8Click() { accounts::EditNamesFile(host_, ui_, Edit1.Text()); }

void TForm1::BitBtn3Click() { pxe::StartPdkInstaller(host_, settings.StartDir); }
void TForm1::BitBtn5Click() { pxe::StartDhcpManager(host_, ui_); }
void TForm1::BitBtn2Click() { pxe::StartPdkConfigurator(host_, ui_); }
void TForm1::SpeedButton1Click() { pxe::StartPdkRegistrar(host_, ui_); }

void TForm1::BitBtn7Click() {
  pxe::GenerateBootImage(host_, ui_, settings, Edit1.Text(), CheckBox2.Checked());
}

// Handlers whose work is still to be built: they do nothing yet.
void TForm1::BitBtn10Click() {}
void TForm1::BitBtn9Click() {}
void TForm1::BitBtn11Click() {}
void TForm1::BitBtn12Click() {}
void TForm1::CheckBox1Click() {}
void TForm1::BitBtn6Click() {}
void TForm1::SpeedButton7Click() {}

}  // namespace app
