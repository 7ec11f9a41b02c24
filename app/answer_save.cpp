// 保存应答文件's answer file: what the main window's fields hold now, with
// what this server has of each road, so that one server set up by hand sets
// up the others.
#include "app/answer_run.h"
#include "app/server.h"
#include "base/paths.h"
#include "pxe/bootimage.h"
#include "rpl/profiles.h"

namespace app {

AnswerFile AnswersOf(platform::Host& host, const TForm1& form) {
  AnswerFile file;
  auto yes = [](bool b) { return std::string(b ? "Yes" : "No"); };
  const std::string shared = form.Edit1.Text(), root = form.settings.SystemRoot;
  // What the window's fields hold, and what this server has of each road:
  // the names file, the PDK and the boot image where they are here.
  file.sections.push_back({"Accounts", 0,
                           {{"SharedDirectory", shared},
                            {"UserPrefix", form.Edit2.Text()},
                            {"WorkGroup", form.Edit4.Text()},
                            {"UserCount", form.Edit3.Text()},
                            {"NamesFile", yes(!shared.empty() && host.FileExists(paths::NetNamesFile(shared)))}}});
  file.sections.push_back({"Pdk", 0, {{"Install", yes(pxe::PdkInstalled(host, form.settings.StartDir))}}});
  if (host.FileExists(paths::PdkBootImage(host.ReadRegistry(paths::kWindowsKey, "ProgramFilesDir"))))
    file.sections.push_back({"BootImage", 0, {{"AutoRegistration", yes(form.CheckBox2.Checked())}}});
  const std::string card = form.ComboBox1.Text();
  if (!card.empty()) {
    AnswerSection s{"Card", 0, {{"Type", card == "Other NetCARD" ? "Other" : card}}};
    if (card == "Other NetCARD") {
      if (!form.GetNetDrv.MACTALK.Text().empty()) s.keys.push_back({"VendorPrefix", form.GetNetDrv.MACTALK.Text()});
      s.keys.push_back({"Driver", form.settings.NdisDriverPath});
    } else if (!form.Form3.MAC.Text().empty()) {
      s.keys.push_back({"VendorPrefix", form.Form3.MAC.Text()});
    }
    file.sections.push_back(s);
  }
  // The profile chosen, installed here for the card chosen: its
  // installation (a DOS profile's question answered as it was here) and its
  // auto-registration as the box shows it.
  const std::string profile = form.ComboBox2.Text();
  if (!card.empty() && !profile.empty() && !root.empty() && host.DirectoryExists(paths::ProfileBoot(root, profile))) {
    const bool dos = rpl::IsDosProfile(host, root, profile);
    AnswerSection install{"Install", 0, {{"Profile", profile}}};
    if (dos) install.keys.push_back({"DosProfile", "Yes"});
    file.sections.push_back(install);
    if (!dos)
      file.sections.push_back({"AutoRegistration", 0, {{"Profile", profile}, {"On", yes(form.CheckBox1.Checked())}}});
  }
  // The service boots the card the file registers.
  file.sections.push_back({"Service", 0, {{"Start", yes(!card.empty())}}});
  return file;
}

}  // namespace app
