#include "app/paths.h"

namespace paths {

const char kWindowsNtKey[] = "\\Software\\Microsoft\\Windows NT\\CurrentVersion";
const char kWindowsKey[] = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
const char kComputerNameKey[] = "\\SYSTEM\\CurrentControlSet\\Control\\ComputerName\\ComputerName";

const char kTempsBak[] = "c:\\temps.bak";
const char kUserTempBat[] = "c:\\usertemp.bat";
std::string AccountScriptCommand() { return std::string("command.com /c ") + kUserTempBat; }

std::string UserDirectory(const std::string& shared_directory, const std::string& user) {
  return shared_directory + "\\" + user;
}
std::string NetNamesFile(const std::string& shared_directory) {
  return shared_directory + "\\windows\\netnames.db";
}

std::string PdkInstaller(const std::string& start_dir) { return start_dir + "\\pxe-pdk\\pxe20-pdk.exe"; }
std::string TemplateImage(const std::string& tool_dir) { return tool_dir + "\\unditool\\bootimg.w98"; }
std::string Unpacker(const std::string& tool_dir) { return tool_dir + "\\unditool\\undisk.exe"; }
std::string Packer(const std::string& tool_dir) { return tool_dir + "\\unditool\\rplimage"; }

const char kTempDir[] = "c:\\temp";
const char kBootImgDir[] = "c:\\temp\\bootimg";
const char kSetVarsBat[] = "c:\\temp\\bootimg\\winboot\\setvars.bat";
const char kStartNetBat[] = "c:\\temp\\bootimg\\winboot\\startnet.bat";
const char kPackedImage[] = "c:\\temp\\bootimg.w98";
const char kPackedImageCheck[] = "C:\\TEMP\\Bootimg.w98";

std::string DhcpManagerTested(const std::string& system_root) { return system_root + "\\system32\\DHCPADMN.EXE"; }
std::string DhcpManagerStarted(const std::string& system_root) { return system_root + "\\system32\\DHCPADMN.exe"; }
std::string PdkConfigurator(const std::string& program_files) {
  return program_files + "\\Intel\\Pxe\\Pdk\\system\\pxeconfig.exe";
}
std::string PdkRegistrar(const std::string& program_files) {
  return program_files + "\\Intel\\Pxe\\Pdk\\system\\pxereg60.exe";
}

const int kPdkImageLevels = 8;
std::string PdkImageDirectory(const std::string& program_files, int levels) {
  static const char* const kLevels[] = {"\\Intel", "\\Pxe", "\\Pdk", "\\system",
                                        "\\images", "\\x86pc", "\\undi", "\\dosundi"};
  std::string dir = program_files;
  for (int i = 0; i < levels && i < kPdkImageLevels; ++i) dir += kLevels[i];
  return dir;
}
std::string PdkBootImage(const std::string& program_files) {
  return PdkImageDirectory(program_files, kPdkImageLevels) + "\\" + "dosundi.1";
}

}  // namespace paths
