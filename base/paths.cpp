#include "base/paths.h"

#include "platform/command_line.h"

namespace paths {

const char kWindowsNtKey[] = "\\Software\\Microsoft\\Windows NT\\CurrentVersion";
const char kWindowsKey[] = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
const char kComputerNameKey[] = "\\SYSTEM\\CurrentControlSet\\Control\\ComputerName\\ComputerName";

const char kTempsBak[] = "c:\\temps.bak";
const char kUserTempBat[] = "c:\\usertemp.bat";
std::string CommandInterpreter(const std::string& windows_dir) { return windows_dir + "\\system32\\command.com"; }
std::string JournalRoot(const std::string& start_dir) { return start_dir + "\\journal"; }
std::string NetProgram(const std::string& windows_dir) { return windows_dir + "\\system32\\net.exe"; }
std::string Notepad(const std::string& windows_dir) { return windows_dir + "\\system32\\notepad.exe"; }
std::string AccountScriptCommand(const std::string& windows_dir) {
  return platform::QuotedIfBlank(CommandInterpreter(windows_dir)) + " /c " + kUserTempBat;
}
std::string RemotebootStart(const std::string& windows_dir) {
  return platform::QuotedIfBlank(NetProgram(windows_dir)) + " start " + kRemotebootService;
}
std::string RemotebootStop(const std::string& windows_dir) {
  return platform::QuotedIfBlank(NetProgram(windows_dir)) + " stop " + kRemotebootService;
}
const char kRemotebootService[] = "远程启动服务";

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
const char kBootImgSector[] = "c:\\temp\\bootimg.bs";
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

std::string RemotebootTree(const std::string& root) { return root + "\\rpl"; }
std::string RemotebootInstalledMark(const std::string& root) {
  return root + "\\RPL\\RPLFILES\\BINFILES\\WIN95\\io.sys";
}
std::string Win95BootFile(const std::string& root, const std::string& file) {
  return root + "\\rpl\\rplfiles\\binfiles\\win95\\" + file;
}
std::string Dos622Source(const std::string& start_dir, const std::string& file) {
  return start_dir + "\\rplfiles\\dos622\\" + file;
}
std::string Dos622Target(const std::string& root, const std::string& file) {
  return root + "\\rpl\\rplfiles\\binfiles\\dos622\\" + file;
}
std::string ShippedDriver(const std::string& start_dir, const std::string& file) {
  return start_dir + "\\rplfiles\\" + file;
}
std::string NdisDriver(const std::string& root, const std::string& file) {
  return root + "\\rpl\\bblock\\ndis\\" + file;
}
std::string BootBlockDirectory(const std::string& root, const std::string& driver) {
  return root + "\\rpl\\bblock\\netbeui\\" + driver;
}
std::string BootBlockTemplate(const std::string& root, const std::string& file) {
  return root + "\\rpl\\bblock\\netbeui\\ne2000\\" + file;
}
std::string BootBlockFile(const std::string& root, const std::string& driver, const std::string& file) {
  return BootBlockDirectory(root, driver) + "\\" + file;
}
std::string RplScript(const std::string& root) { return root + "\\rpltemp.bat"; }
std::string RplOutput(const std::string& root) { return root + "\\rpltemp.out"; }
std::string Rplcmd(const std::string& root) {
  return root + "\\system32\\rplcmd.exe";
}
std::string RplManager(const std::string& root) { return root + "\\system32\\rplmgr.exe"; }

std::string ProfilesPattern(const std::string& root) {
  return root + "\\rpl\\rplfiles\\profiles\\*.*";
}
std::string Profile(const std::string& root, const std::string& name) {
  return root + "\\rpl\\rplfiles\\profiles\\" + name;
}
std::string DosProfileMarker(const std::string& root, const std::string& name) {
  return Profile(root, name) + "\\wksta.pro\\dosshell.ini";
}
std::string ProfileBoot(const std::string& root, const std::string& name) {
  return Profile(root, name) + "\\suboot";
}
std::string ProfileClient(const std::string& root, const std::string& name) {
  return Profile(root, name) + "\\suboot\\winboot";
}
std::string ProfileStartNet(const std::string& root, const std::string& name) {
  return ProfileClient(root, name) + "\\startnet.bat";
}
std::string ShippedSubst(const std::string& start_dir) { return start_dir + "\\rplfiles\\win98\\subst.exe"; }

}  // namespace paths
