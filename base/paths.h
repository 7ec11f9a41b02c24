// Every path and registry place the program builds, in one place. Paths are
// plain concatenations of a base directory without trailing backslash and a
// literal beginning with a backslash: nothing is quoted, trimmed or normalised.
#pragma once

#include <string>

namespace paths {

// Registry keys under HKEY_LOCAL_MACHINE, and the values read from them.
extern const char kWindowsNtKey[];     // "SystemRoot"
extern const char kWindowsKey[];       // "ProgramFilesDir"
extern const char kComputerNameKey[];  // "computername"

// Files at fixed places.
extern const char kTempsBak[];     // the shared directory carried to the next run
extern const char kUserTempBat[];  // the account script

// The system's own programs, in the system folder of the Windows directory
// (`windows_dir`, as Windows reports it). They are started by these full
// paths: a bare name would be looked for first in the program's folder and
// the current directory, where a folder the administrator browsed to (a
// profile's winboot holds the boot floppy's DOS NET.EXE and COMMAND.COM)
// would answer for them.
std::string CommandInterpreter(const std::string& windows_dir);  // command.com
// The journal of every session, in the program's folder: START\journal.
std::string JournalRoot(const std::string& start_dir);
std::string NetProgram(const std::string& windows_dir);          // net.exe
std::string Notepad(const std::string& windows_dir);             // notepad.exe
// Command lines, their program's path quoted when it holds a blank: the one
// that runs the account script, and the one that starts the Remoteboot
// service under its Chinese name.
std::string AccountScriptCommand(const std::string& windows_dir);
std::string RemotebootStart(const std::string& windows_dir);
std::string RemotebootStop(const std::string& windows_dir);
extern const char kRemotebootService[];  // the service's name as net start shows it

// Below the shared directory.
std::string UserDirectory(const std::string& shared_directory, const std::string& user);
std::string NetNamesFile(const std::string& shared_directory);

// Below the program's own directory.
std::string PdkInstaller(const std::string& start_dir);
std::string TemplateImage(const std::string& tool_dir);
std::string Unpacker(const std::string& tool_dir);
std::string Packer(const std::string& tool_dir);

// The boot image's work places.
extern const char kTempDir[];         // "c:\temp"
extern const char kBootImgDir[];      // the unpacked image tree
extern const char kBootImgSector[];   // the image's boot sector, which the unpacker keeps beside the tree
extern const char kSetVarsBat[];      // its variable script
extern const char kStartNetBat[];     // its network start script
extern const char kPackedImage[];     // the packed result
extern const char kPackedImageCheck[];  // the same file, as its existence is tested

// The DHCP manager and the PXE PDK's programs and image directory.
std::string DhcpManagerTested(const std::string& system_root);
std::string DhcpManagerStarted(const std::string& system_root);
std::string PdkConfigurator(const std::string& program_files);
std::string PdkRegistrar(const std::string& program_files);
// The directories of the PDK's DOS UNDI image path, outermost first.
std::string PdkImageDirectory(const std::string& program_files, int levels);
extern const int kPdkImageLevels;
std::string PdkBootImage(const std::string& program_files);

// The Remoteboot service's tree below the Windows directory (`root`: the
// server's SystemRoot, or the Windows directory the host reports; both are the
// same directory on the server).
std::string RemotebootTree(const std::string& root);           // ROOT\rpl
std::string RemotebootInstalledMark(const std::string& root);  // its Windows 95 io.sys
std::string Win95BootFile(const std::string& root, const std::string& file);
std::string Dos622Source(const std::string& start_dir, const std::string& file);
std::string Dos622Target(const std::string& root, const std::string& file);
std::string ShippedDriver(const std::string& start_dir, const std::string& file);
std::string NdisDriver(const std::string& root, const std::string& file);  // "rtsnd.dos"
std::string BootBlockDirectory(const std::string& root, const std::string& driver);
std::string BootBlockTemplate(const std::string& root, const std::string& file);
std::string BootBlockFile(const std::string& root, const std::string& driver, const std::string& file);
std::string RplScript(const std::string& root);            // rpltemp.bat
std::string RplOutput(const std::string& root);            // what rplcmd printed
std::string Rplcmd(const std::string& root);               // rplcmd.exe, fed the script, printing to that
std::string RplManager(const std::string& root);           // rplmgr.exe

// Profiles (Remoteboot configurations) and what an installation puts in them.
std::string ProfilesPattern(const std::string& root);
std::string Profile(const std::string& root, const std::string& name);
std::string DosProfileMarker(const std::string& root, const std::string& name);
std::string ProfileBoot(const std::string& root, const std::string& name);     // suboot
std::string ProfileClient(const std::string& root, const std::string& name);   // suboot\winboot
std::string ProfileStartNet(const std::string& root, const std::string& name);
std::string ShippedSubst(const std::string& start_dir);

}  // namespace paths
