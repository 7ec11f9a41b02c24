#include "pxe/startnet.h"

#include "platform/text.h"
#include "platform/textfile.h"

namespace pxe {
namespace {

using Lines = std::vector<std::string>;

// Echo off, the command interpreter on the boot disk, the network buffers,
// the temporary directory on the boot disk.
const Lines kHead = {"@echo off", "set comspec=a:\\command.com", "SET NETBUFF=124",
                     "set temp=a:\\winboot"};

// Snapshot of the card's address for registration, the network client's own
// logon and drive mapping; the guest connection kept disabled.
const Lines kAutoRegisterConnection = {
    "SNAPSHOT.EXE /S /B:A /M:%NETBUFF%", "NET START IPX /Y",
    "NET LOGON KOTAVEI KOTAVEI /SAVEPW:NO /Y", "NET USE C: \\\\%SERVER%\\%SHARE%", "LOGIN",
    "REM lh qualcnx KOTAVEI KOTAVEI", "REM call %TEMP%\\username.bat", "qautolog",
    "call qautolog.bat"};

// The guest connection and the user's name.
const Lines kStandardConnection = {"lh qualcnx KOTAVEI KOTAVEI", "call %TEMP%\\username.bat",
                                   "qautolog", "call qautolog.bat"};

// The workstation's own environment on the server share: search path, home
// and temporary directories, the user's registry, and the user's commands.
const Lines kTail = {"SET PATH=", "SET PATH=%windir%;%windir%\\COMMAND",
                     "set temp=%drive%\\%USERNAME%", "set tmp=%TEMP%", "set home=%TEMP%",
                     "%DRIVE%", "cd %home%", "set comspec=%windir%\\command.com",
                     "lh a:\\winboot\\qualreg %HOME% /R", "md %home%\\temp",
                     "set temp=%home%\\temp", "set tmp=%home%\\temp",
                     "set comspec=%windir%\\command.com", "set winbootdir=%windir%",
                     "call %windir%\\usercmd.bat"};

Lines Script(const Lines& connection) {
  Lines lines = kHead;
  lines.insert(lines.end(), connection.begin(), connection.end());
  lines.insert(lines.end(), kTail.begin(), kTail.end());
  return lines;
}

}  // namespace

const std::vector<std::string>& StartNetLines(StartNetVariant variant) {
  static const Lines kAutoRegister = Script(kAutoRegisterConnection);
  static const Lines kStandard = Script(kStandardConnection);
  return variant == StartNetVariant::AutoRegister ? kAutoRegister : kStandard;
}

bool WriteStartNet(platform::Host& host, const std::string& path, StartNetVariant variant) {
  return platform::WriteTextLines(host, path, StartNetLines(variant));
}

bool SetValue(const std::vector<std::string>& lines, const std::string& name, std::string* value) {
  const std::string head = platform::Lower("SET " + name + "=");
  for (const std::string& line : lines)
    if (platform::Lower(line.substr(0, head.size())) == head) {
      *value = line.substr(head.size());
      return true;
    }
  return false;
}

}  // namespace pxe
