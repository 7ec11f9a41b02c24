// The two network start scripts as the workstations must get them, byte for
// byte: what every test of a written start script compares with.
#pragma once

inline constexpr char kAutoRegister[] =
    "@echo off\r\nset comspec=a:\\command.com\r\nSET NETBUFF=124\r\nset temp=a:\\winboot\r\n"
    "SNAPSHOT.EXE /S /B:A /M:%NETBUFF%\r\nNET START IPX /Y\r\n"
    "NET LOGON KOTAVEI KOTAVEI /SAVEPW:NO /Y\r\nNET USE C: \\\\%SERVER%\\%SHARE%\r\nLOGIN\r\n"
    "REM lh qualcnx KOTAVEI KOTAVEI\r\nREM call %TEMP%\\username.bat\r\nqautolog\r\n"
    "call qautolog.bat\r\nSET PATH=\r\nSET PATH=%windir%;%windir%\\COMMAND\r\n"
    "set temp=%drive%\\%USERNAME%\r\nset tmp=%TEMP%\r\nset home=%TEMP%\r\n%DRIVE%\r\n"
    "cd %home%\r\nset comspec=%windir%\\command.com\r\nlh a:\\winboot\\qualreg %HOME% /R\r\n"
    "md %home%\\temp\r\nset temp=%home%\\temp\r\nset tmp=%home%\\temp\r\n"
    "set comspec=%windir%\\command.com\r\nset winbootdir=%windir%\r\n"
    "call %windir%\\usercmd.bat\r\n";

inline constexpr char kStandard[] =
    "@echo off\r\nset comspec=a:\\command.com\r\nSET NETBUFF=124\r\nset temp=a:\\winboot\r\n"
    "lh qualcnx KOTAVEI KOTAVEI\r\ncall %TEMP%\\username.bat\r\nqautolog\r\ncall qautolog.bat\r\n"
    "SET PATH=\r\nSET PATH=%windir%;%windir%\\COMMAND\r\nset temp=%drive%\\%USERNAME%\r\n"
    "set tmp=%TEMP%\r\nset home=%TEMP%\r\n%DRIVE%\r\ncd %home%\r\n"
    "set comspec=%windir%\\command.com\r\nlh a:\\winboot\\qualreg %HOME% /R\r\n"
    "md %home%\\temp\r\nset temp=%home%\\temp\r\nset tmp=%home%\\temp\r\n"
    "set comspec=%windir%\\command.com\r\nset winbootdir=%windir%\r\n"
    "call %windir%\\usercmd.bat\r\n";
