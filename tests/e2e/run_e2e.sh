#!/bin/bash
# End to end under Wine: the real Server.exe on a demo server, worked by the
# driver program (driver.cpp: its steps over the windows' tables in
# windows.cpp), with screenshots of every window.
#
# usage: tests/e2e/run_e2e.sh [BUILD_DIR] [OUT_DIR]
#   BUILD_DIR  the x86_64 build (default build-win64)
#   OUT_DIR    where the release, the prefix, the log and the screenshots go
#              (default build-e2e; screenshots in OUT_DIR/screenshots)
set -uo pipefail

repo=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$repo/build-win64}" && pwd)
out=${2:-$repo/build-e2e}
mkdir -p "$out"
out=$(cd "$out" && pwd)
shots=$out/screenshots
prefix=$out/prefix
log=$out/e2e.log
rm -rf "$shots" && mkdir -p "$shots"
: >"$log"

say() { echo "e2e: $*" | tee -a "$log"; }
die() { say "$*"; exit 1; }

[ -f "$build/tests/e2e/driver.exe" ] || die "no driver in $build (build the x86_64 tree first)"
# The Wine session's functions, and the waits (demo/waits.sh) of every step.
. "$repo/demo/wine_session.sh" || die "cannot set the waits"

# The release folder and the demo server.
rm -rf "$out/release"
cmake --install "$build" --prefix "$out/release" >/dev/null || die "cannot lay out the release"
KORRIN_PREFIX_CACHE=${KORRIN_PREFIX_CACHE:-$repo/build-wine/prefix-base} \
  "$repo/demo/make_demo.sh" "$prefix" "$out/release" "$build" >>"$log" 2>&1 || die "cannot make the demo prefix"
mkdir -p "$prefix/drive_c/e2e"
cp "$build/tests/e2e/driver.exe" "$build/tests/e2e/fontprobe.dll" "$prefix/drive_c/e2e/"

# A Chinese locale of our own, and a virtual display.
locales=$(korrin_locale "$repo") || die "no zh_CN.UTF-8 locale"
korrin_wine_session "$prefix" "$locales" || die "no virtual display"
wine_env=("${WINE_ENV[@]}")
display=${KORRIN_DISPLAY#:}

failed=0

# The demo road (demo/road.steps), walked as run.sh walks it, on a demo
# server of its own: a road that no longer reads or walks fails here.
say "the demo road"
if KORRIN_PREFIX_CACHE=${KORRIN_PREFIX_CACHE:-$repo/build-wine/prefix-base} \
     "$repo/demo/make_demo.sh" "$out/road-prefix" "$out/release" "$build" >>"$log" 2>&1; then
  . "$repo/demo/walk_road.sh"
  korrin_wine_env "$out/road-prefix" "$KORRIN_DISPLAY" "$locales"
  if korrin_walk_road "$out/road-prefix" "$build/tests/e2e/driver.exe" "$repo/demo/road.steps" "$shots/road" \
       >>"$log" 2>"$out/road.err"; then
    say "ok: the demo road"
  else
    sed 's/^/e2e:   /' "$out/road.err" | tee -a "$log"
    say "FAILED: the demo road"
    failed=$((failed + 1))
  fi
  WINE_ENV=("${wine_env[@]}")
else
  say "FAILED: cannot make the demo server for the road"
  failed=$((failed + 1))
fi

# A failed step shows its status and what the driver and Wine printed to
# stderr (Wine's own errors included; a step cut off at its limit: status
# 124), as well as its own lines. The driver ends every step it runs with a
# line of its verdict: one that printed nothing at all never got that far
# (Wine, on a loaded machine, now and then fails so before the step does
# anything), and its step, unless cut off at its limit, is run once more,
# which the output says and the end counts.
rerun=0
drive_once() {
  output=$(timeout "$KORRIN_LIMIT_STEP" "${wine_env[@]}" WINEDEBUG=-all,err+all wine 'C:\e2e\driver.exe' "$@" \
    2>"$out/step.err")
  status=$?
  cat "$out/step.err" >>"$log"
  echo "$output" >>"$log"
}
drive() {
  local output status
  drive_once "$@"
  if [ $status -ne 0 ] && [ $status -ne 124 ] && [ -z "$output" ]; then
    tail -n 20 "$out/step.err" | sed 's/^/e2e:   /'
    say "the driver printed nothing (status $status): $*; the step runs once more"
    rerun=$((rerun + 1))
    drive_once "$@"
  fi
  if [ $status -ne 0 ]; then
    { echo "$output" | grep -v '^ok '; tail -n 20 "$out/step.err"; } | sed 's/^/e2e:   /'
    say "FAILED: driver $* (status $status)"
    failed=$((failed + 1))
  else
    say "ok: $*"
  fi
  return $status
}
shot() { sleep "$KORRIN_SETTLE"; DISPLAY=":$display" import -window root "$shots/$1.png" 2>>"$log" || say "no screenshot $1"; }

server_pid=
start_server() {
  (cd "$prefix/drive_c/Korrin" && exec timeout "$KORRIN_LIMIT_PROGRAM" "${wine_env[@]}" wine Server.exe >>"$log" 2>&1) &
  server_pid=$!
  drive wait TForm1 || return 1
  sleep 0.5
}
# Waits for the program to end after a way of leaving.
ended() {
  local end=$((SECONDS + KORRIN_WAIT))
  while [ $SECONDS -le $end ]; do kill -0 "$server_pid" 2>/dev/null || return 0; sleep 0.1; done
  say "FAILED: the program is still running after $1"
  failed=$((failed + 1))
  return 1
}
usertemp=$prefix/drive_c/usertemp.bat
expect_script() {  # $1: present|absent, $2: the way of leaving
  if [ "$1" = present ] && [ ! -f "$usertemp" ]; then
    say "FAILED: leaving by $2 removed C:\\usertemp.bat"; failed=$((failed + 1))
  elif [ "$1" = absent ] && [ -f "$usertemp" ]; then
    say "FAILED: leaving by $2 left C:\\usertemp.bat"; failed=$((failed + 1))
  else
    say "ok: leaving by $2: C:\\usertemp.bat $1"
  fi
}

# A page of the notebook by a click on its tab, checked: page rpl|pxe
page() { drive choose TForm1 tabbook1 "${1^^}*" && drive check TForm1 "$1"; }
# Leaving by the exit button.
leave() { drive click TForm1 BitBtn4; ended "the exit button"; }
# The custom card's driver chooser, opened from the main window; the vendor
# prefix dialog of an RTL8139 whose driver was taken away.
open_chooser() {
  drive choose TForm1 ComboBox1 'Other NetCARD'
  drive click TForm1 BitBtn10
  drive answer Morva提示 '无法检测自定义网卡类型，请直接使用配置来设置您网卡！' OK icon
  drive click TForm1 BitBtn9
}
open_prefix_dialog() {
  rm -f "$(find "$prefix/drive_c/windows/rpl/bblock/ndis" -maxdepth 1 -iname rtsnd.dos)"
  drive choose TForm1 ComboBox1 'RTL 8139'
  drive click TForm1 BitBtn10
  drive answer 检测结果 'Rtl8139 网卡可能没有配置,需要配置RPL' OK icon
  drive click TForm1 BitBtn9
}
# The help (TForm5) and the statement (TForm4): opened by the menu, the
# toolbar or the keys and checked; typed into (the help refuses it, the
# statement takes it and forgets it by the next opening), the help made
# smaller and larger (its text area keeps its size), closed by the close box
# or Esc.
open_text() {  # CLASS menu|toolbar|keys
  local item=M1 button=SpeedButton3 letter=m
  [ "$1" = TForm5 ] && item=N2 button=SpeedButton2 letter=u
  case $2 in
    menu) drive click TForm1 $item ;;
    toolbar) drive click TForm1 $button ;;
    keys) drive keys TForm1 alt+h $letter ;;
  esac
  drive check "$1"
}
close_text() {  # CLASS closebox|esc [SCREENSHOT of the help made larger]
  drive type "$1" Memo1 X
  if [ "$1" = TForm5 ]; then
    drive check TForm5
    for size in '400 300' '640 520' '700 560'; do
      drive resize TForm5 $size && drive expect TForm5 Memo1 place '0 0 521 401'
    done
    [ -n "${3:-}" ] && shot "$3"
  else
    drive expect TForm4 Memo1 text 'XKorrin Diskless*'
  fi
  if [ "$2" = esc ]; then drive keys "$1" esc && drive gone "$1"; else drive close "$1"; fi
}

printf 'net user USER1 /add\r\n' >"$usertemp"

# The host's question to a console program through pipes: the system's
# command interpreter echoes 2000 lines (about 130 KB, Chinese in each) fed
# on its input; they come back whole, as through files.
drive capture 2000

# The main window, its menu and both pages.
start_server || die "the program did not start"
drive check TForm1 rpl
drive check-fonts TForm1
drive expect TForm1 Edit1 focus 1
shot main-rpl
drive keys TForm1 alt+h && drive wait '#32768' && shot menu-help
drive keys TForm1 esc esc
page pxe
shot main-pxe
page rpl
# The keyboard alone: Tab round the main window, Ctrl+Tab through the pages
# (the focus on the page's first tab stop), the focus shown on a picture button.
drive tab-cycle TForm1
drive keys TForm1 ctrl+tab && drive check TForm1 pxe && drive expect TForm1 BitBtn3 focus 1
drive keys TForm1 ctrl+tab && drive check TForm1 rpl && drive expect TForm1 ComboBox2 focus 1
drive tab-to TForm1 BitBtn4 && shot focus-button

# Help and statement, from the menu, the toolbar and the keyboard.
open_text TForm5 menu && shot help && close_text TForm5 closebox help-resized
open_text TForm5 toolbar && close_text TForm5 closebox
open_text TForm5 keys && close_text TForm5 closebox
open_text TForm4 menu && shot statement && close_text TForm4 closebox
open_text TForm4 toolbar && close_text TForm4 closebox
open_text TForm4 keys && close_text TForm4 closebox
open_text TForm5 menu && close_text TForm5 esc
open_text TForm4 toolbar && close_text TForm4 esc

# The ways to leave: only the exit button removes the account script.
drive click TForm1 E1; ended "the menu"; expect_script present "the menu"
# The shared directory of the last generation comes back from C:\temps.bak,
# a code page 936 file, Chinese name and all.
printf 'D:\\无盘站\r\nE:\\OTHER\r\n' | iconv -f UTF-8 -t GBK >"$prefix/drive_c/temps.bak"
start_server && {
  drive expect TForm1 Edit1 text 'D:\无盘站'
  drive close TForm1; ended "the close box"; expect_script present "the close box"
}
rm -f "$prefix/drive_c/temps.bak"
start_server && { drive keys TForm1 alt+s e; ended "Alt+S E"; expect_script present "Alt+S E"; }
start_server && {
  drive tab-to TForm1 BitBtn4 && drive keys TForm1 enter
  ended "Tab and Enter"; expect_script absent "Tab and Enter"
}
printf 'net user USER1 /add\r\n' >"$usertemp"
start_server && { leave; expect_script absent "the exit button"; }

check() {  # check DESCRIPTION COMMAND...: a check made here, from the files
  if "${@:2}" >>"$log" 2>&1; then say "ok: $1"; else say "FAILED: $1"; failed=$((failed + 1)); fi
}
# Waits for a command to succeed, as long as a job the program started in
# the background may take to write its files.
await() {
  local end=$((SECONDS + KORRIN_WAIT_JOB))
  while [ $SECONDS -le $end ]; do "$@" >/dev/null 2>&1 && return 0; sleep 0.5; done
  "$@" >/dev/null 2>&1
}
lines_of() { [ -f "$1" ] && [ "$(wc -l <"$1")" -ge "$2" ]; }
crlf() { printf '%s\r\n' "$@"; }

# Workstation accounts: the four fields, the button and its box; the script
# runs hidden through the command interpreter and net stand-ins.
netstate=$prefix/drive_c/windows/netstate
drive_d=$prefix/drive_d
start_server && {
  drive set-text TForm1 Edit1 'D:\PVDROOT'
  drive set-text TForm1 Edit2 'WS'
  drive set-text TForm1 Edit4 'DISKLESS'
  drive set-text TForm1 Edit3 '12'
  drive click TForm1 BitBtn1
  drive answer 进程提示 '目录创建完成，正在创建用户，请稍后...' OK noicon
  {
    crlf 'net group DISKLESS /add' 'net share PVDROOT=D:\PVDROOT' \
         'net user kotavei kotavei /add /passwordchg:no' 'net group DISKLESS kotavei /add'
    for i in $(seq 12); do
      u=$(printf 'WS%02d' "$i")
      crlf "net user $u $u /add /passwordchg:no" "net share $u=D:\\PVDROOT\\$u" "net group DISKLESS $u /add"
    done
  } >"$out/expected-usertemp.bat"
  check "C:\usertemp.bat is the account script, byte for byte" cmp "$out/expected-usertemp.bat" "$usertemp"
  check "C:\temps.bak holds the shared directory" cmp <(crlf 'D:\PVDROOT') "$prefix/drive_c/temps.bak"
  check "the user directories D:\PVDROOT\WS01 ... WS12" \
    test "$(cd "$drive_d/PVDROOT" && ls -d WS* | tr '\n' ' ')" = "$(printf 'WS%02d ' $(seq 12))"
  # The script's last line adds WS12 to the group, after its share.
  await lines_of "$netstate/shares.txt" 13
  await grep -q "WS12" "$netstate/groups.txt"
  check "the net records: 13 users" test "$(grep -c . "$netstate/users.txt")" -eq 13
  check "... the group DISKLESS with kotavei and WS01 ... WS12" \
    test "$(tr -d '\r' <"$netstate/groups.txt")" = "$(printf 'DISKLESS\tkotavei'; printf '\tWS%02d' $(seq 12))"
  check "... 13 shares, PVDROOT first" \
    test "$(head -1 "$netstate/shares.txt" | tr -d '\r')" = "$(printf 'PVDROOT\tD:\\PVDROOT')"
  check "... WS12 shared as its directory" grep -q "^WS12	D:.PVDROOT.WS12" "$netstate/shares.txt"
  # A count the script cannot carry: one warning, nothing written.
  cp "$usertemp" "$out/usertemp-before"
  drive set-text TForm1 Edit3 '12abc'
  drive click TForm1 BitBtn1
  drive answer morva提示 '“用户数目”必须是一个十进制整数（例如 30），请改正后再试。' OK icon
  check "a refused count leaves the script as it was" cmp "$out/usertemp-before" "$usertemp"
  # A shared directory with a character code page 936 lacks: the system's
  # converter writes a near one for it ("à" for "À") and does not say so.
  drive set-text TForm1 Edit1 'D:\PVDÀ'
  drive click TForm1 BitBtn1
  drive answer morva提示 '“共享目录”中含有简体中文代码页 (GB2312/GBK) 无法表示的字符，请改正后再试。' OK icon
  check "a shared directory with À leaves the script as it was" cmp "$out/usertemp-before" "$usertemp"
  check "... and makes no folder" test -z "$(ls "$drive_d" | grep -v '^PVDROOT$' | grep -i '^pvd')"
  drive set-text TForm1 Edit1 'D:\PVDROOT'
  # The workstation names file: asked for, refused, then made and opened.
  mkdir -p "$drive_d/PVDROOT/windows"
  names=$drive_d/PVDROOT/windows/netnames.db
  # Enter and Space on the focused picture button run its handler, and the
  # focus comes back to it when the box has gone.
  drive tab-to TForm1 BitBtn8 && drive keys TForm1 enter
  drive answer 提示 'netnames.db不存在，是否创建它?' Cancel noicon
  drive expect TForm1 BitBtn8 focus 1
  drive tab-to TForm1 BitBtn8 && drive keys TForm1 space
  drive answer 提示 'netnames.db不存在，是否创建它?' Cancel noicon
  drive click TForm1 BitBtn8
  drive answer 提示 'netnames.db不存在，是否创建它?' Cancel noicon
  check "Cancel makes no names file" test ! -e "$names"
  drive click TForm1 BitBtn8
  drive answer 提示 'netnames.db不存在，是否创建它?' OK noicon
  check "OK makes an empty names file" test -f "$names" -a ! -s "$names"
  drive close Notepad
  drive click TForm1 BitBtn8
  drive close Notepad
  leave
}

# The PXE page: the launchers without the PDK, the boot image with its wait
# dialog, then the PDK installed by its stand-in and its programs started.
pdk="$prefix/drive_c/Program Files/Intel/Pxe/Pdk/system"
dosundi=$pdk/images/x86pc/undi/dosundi/dosundi.1
computer=$("${wine_env[@]}" wine reg query \
  'HKLM\SYSTEM\CurrentControlSet\Control\ComputerName\ComputerName' /v ComputerName 2>/dev/null |
  tr -d '\r' | awk '/ComputerName/ && /REG_SZ/ {print $NF}')
start_server && {
  page pxe
  drive click TForm1 BitBtn2
  drive answer Server '找不到配置文件，可能是PXE-PDK 程序没有正确没装!' OK noicon
  drive click TForm1 SpeedButton1
  drive answer Server '找不到PXEReg60.EXE，可能是PXE-PDK 程序没有正确没装!' OK noicon
  drive set-check TForm1 CheckBox2 1
  drive click TForm1 BitBtn7
  drive check TForm2 && { sleep 2; shot wait-dialog; }
  await test -s "$prefix/drive_c/temp/bootimg.w98"
  sleep 1
  drive answer 创建完成 '当服务器名和共享目录名发生变动，您必须重新生成镜像!' OK icon
  await test -s "$dosundi"
  check "dosundi.1 is a 1440 KB image" test "$(stat -c %s "$dosundi")" -eq 1474560
  check "... that fsck.fat accepts" fsck.fat -n "$dosundi"
  export MTOOLS_SKIP_CHECK=1
  mtype -i "$dosundi" ::/WINBOOT/SETVARS.BAT >"$out/setvars.bat" 2>>"$log"
  mtype -i "$dosundi" ::/WINBOOT/STARTNET.BAT >"$out/startnet.bat" 2>>"$log"
  check "... its setvars.bat ends with this server and share" \
    test "$(tail -c +1 "$out/setvars.bat" | tail -2 | tr -d '\r')" = "$(printf 'SET SERVER=%s\nSET SHARE=PVDROOT' "$computer")"
  check "... and has five lines" test "$(grep -c '' "$out/setvars.bat")" -eq 5
  crlf '@echo off' 'set comspec=a:\command.com' 'SET NETBUFF=124' 'set temp=a:\winboot' \
       'SNAPSHOT.EXE /S /B:A /M:%NETBUFF%' 'NET START IPX /Y' 'NET LOGON KOTAVEI KOTAVEI /SAVEPW:NO /Y' \
       'NET USE C: \\%SERVER%\%SHARE%' 'LOGIN' 'REM lh qualcnx KOTAVEI KOTAVEI' \
       'REM call %TEMP%\username.bat' 'qautolog' 'call qautolog.bat' 'SET PATH=' \
       'SET PATH=%windir%;%windir%\COMMAND' 'set temp=%drive%\%USERNAME%' 'set tmp=%TEMP%' \
       'set home=%TEMP%' '%DRIVE%' 'cd %home%' 'set comspec=%windir%\command.com' \
       'lh a:\winboot\qualreg %HOME% /R' 'md %home%\temp' 'set temp=%home%\temp' \
       'set tmp=%home%\temp' 'set comspec=%windir%\command.com' 'set winbootdir=%windir%' \
       'call %windir%\usercmd.bat' >"$out/expected-startnet.bat"
  check "... its startnet.bat is the auto-registering script, byte for byte" \
    cmp "$out/expected-startnet.bat" "$out/startnet.bat"
  drive click TForm1 BitBtn3
  drive answer 演示服务器 '*' OK icon
  check "the PDK installer put the configurator in place" test -f "$pdk/pxeconfig.exe"
  drive click TForm1 BitBtn2
  drive answer 演示服务器 '*' OK icon
  drive click TForm1 BitBtn5
  drive answer 演示服务器 '*' OK icon
  leave
}

# The check of the whole server before the RPL road: the accounts (the
# fields as they were generated) and the PXE road are done, no card is
# registered. The window by the menu and the mouse, then by the keyboard.
check_fields() { drive set-text TForm1 Edit2 WS && drive set-text TForm1 Edit3 12; }
start_server && {
  check_fields
  drive click TForm1 C1 && drive check TCheckForm && shot check-before-rpl
  drive report-items '√共享目录，√用户目录，√工作站信息文件，√PXE-PDK 安装程序，√已安装的 PXE-PDK，√镜像工具，√临时目录，√原始镜像文件，√已安装的启动镜像，√启动镜像中的服务器和共享，√远程启动服务程序，√Windows 95 文件，√远程启动目录，√随程序发布的 RPL 文件，×DOS 6.22 文件，√NE2000 启动块模板，×网卡，√配置列表，√配置 NE2KDOS，×配置 NE2KWIN'
  drive tab-cycle TCheckForm
  drive report-copy click
  drive keys TCheckForm esc && drive gone TCheckForm
  drive keys TForm1 alt+s c && drive check TCheckForm
  drive report-copy keys && shot check-copied
  drive close TCheckForm
  leave
}

# The RPL road, once for each card type: detect, register through the real
# dialog, make a Windows profile in the manager, update the list and choose
# it, install, set auto-registration, start the service with its bar, open
# the manager. Then the files of the profile, the database and the records.
rpl=$prefix/drive_c/windows/rpl
profiles=$rpl/rplfiles/profiles
mkdir -p "$drive_d/DRIVERS/NIC"
printf 'NDIS driver of the administrator'"'"'s own card\r\n' >"$drive_d/DRIVERS/NIC/MYNICX.DOS"
# A driver in the program's folder, where the chooser starts, and a file it does not list.
korrin=$prefix/drive_c/Korrin
printf 'a spare driver\r\n' >"$korrin/SPARE.DOS"
printf 'notes\r\n' >"$korrin/notes.txt"
# pfile PROFILE NAME: a file of the profile's client directory, any case.
pfile() { find "$profiles/$1/suboot/winboot" -maxdepth 1 -iname "$2" 2>/dev/null | head -1; }
db_has() { tr -d '\r' <"$rpl/rpldb.txt" | iconv -f GBK -t UTF-8 | grep -qxF "$1"; }
rpl_road() {  # TYPE PREFIX BLOCK DRIVER PROFILE DONE-MESSAGE DETECT-CAPTION DETECT-TEXT
  local type=$1 vendor=$2 block=$3 driver=$4 profile=$5 done=$6
  start_server || return
  drive choose TForm1 ComboBox1 "$type"
  drive click TForm1 BitBtn10
  drive answer "$7" "$8" OK icon
  drive expect TForm1 BitBtn9 enabled 1
  drive click TForm1 BitBtn9
  case $type in
    'RTL 8139')
      drive check TForm3 && shot form3
      drive set-text TForm3 MAC "$vendor"
      drive click TForm3 Button1 && drive gone TForm3 ;;
    'RTL 8029')
      # The field keeps the first prefix; Tab round the dialog, and Enter in
      # the field presses its button.
      drive expect TForm3 MAC text 00E04C
      drive choose TForm3 MAC "$vendor"
      drive expect TForm3 MAC focus 1
      drive tab-cycle TForm3
      drive keys TForm3 enter && drive gone TForm3 ;;
    *)
      # Esc closes the chooser and registers nothing; then again, for real.
      drive tab-cycle TGetNetDrv
      drive keys TGetNetDrv esc && drive gone TGetNetDrv
      check "$type: Esc registers nothing" test ! -e "$prefix/drive_c/windows/rpltemp.bat"
      drive expect TForm1 BitBtn9 enabled 1
      drive click TForm1 BitBtn9
      # It starts at the current folder, the program's, and lists what is
      # there: the drives of the prefix, the folder's subfolders, its drivers.
      drive check TGetNetDrv && shot getnetdrv-start
      drive expect TGetNetDrv DriveComboBox1 items "$(cd "$prefix/dosdevices" && ls -d ?: | paste -sd'|')"
      drive expect TGetNetDrv DriveComboBox1 chosen 'c:*'
      drive expect TGetNetDrv DirectoryListBox1 items "C:\|Korrin|$(cd "$korrin" && ls -d */ | tr -d / | paste -sd'|')"
      drive expect TGetNetDrv DirectoryListBox1 chosen Korrin
      drive expect TGetNetDrv FileListBox1 items "$(cd "$korrin" && ls | grep -i '\.dos$' | paste -sd'|')"
      drive choose TGetNetDrv DriveComboBox1 'd:*'
      drive open TGetNetDrv DirectoryListBox1 DRIVERS
      drive open TGetNetDrv DirectoryListBox1 NIC
      drive choose TGetNetDrv FileListBox1 MYNICX.DOS
      drive expect TGetNetDrv NDISTALK text 'D:\DRIVERS\NIC\MYNICX.DOS'
      drive set-text TGetNetDrv MACTALK "$vendor" && shot getnetdrv
      drive click TGetNetDrv BitBtn1 && drive gone TGetNetDrv ;;
  esac
  drive answer 进程提示 "$done" OK icon
  check "$type: rpltemp.bat is gone" test ! -e "$prefix/drive_c/windows/rpltemp.bat"
  check "$type: the database holds the vendor" db_has "VENDOR	$vendor	$9"
  check "$type: ... its two boot blocks" test "$(tr -d '\r' <"$rpl/rpldb.txt" | grep -c "^BOOT	$vendor")" -eq 2
  check "$type: ... its two configurations" db_has "CONFIG	WIN$vendor	${vendor}WIN	dos	win95	fits\\win95.fit	fits\\win95p.fit	$(printf 'Windows 98SE FOR %s' "${10}")		"
  check "$type: the boot block names the driver" grep -q "BBLOCK\\\\NDIS\\\\$block.DOS" "$rpl/bblock/netbeui/$block/dosbb.cnf"
  check "$type: the driver is in the boot blocks" test -n "$(find "$rpl/bblock/ndis" -maxdepth 1 -iname "$block.dos")"
  drive expect TForm1 BitBtn9 enabled 0
  drive expect TForm1 BitBtn11 enabled 1
  drive make-profile RplMgrWindow "WIN$vendor" "$profile" && shot "rplmgr-$block"
  drive close RplMgrWindow
  drive click TForm1 BitBtn12
  drive choose TForm1 ComboBox2 "$profile"
  drive click TForm1 BitBtn11
  drive answer Morva提示 '无盘WIN98远程启动文件安装完成！' OK icon
  drive set-check TForm1 CheckBox1 1
  check "$type: setvars.bat names this server and share" \
    test "$(tr -d '\r' <"$(pfile "$profile" setvars.bat)" | tail -2 | tr '\n' ' ')" = "SET SERVER=$computer SET SHARE=PVDROOT "
  check "$type: the 18 client files" test "$(ls "$profiles/$profile/suboot/winboot" | grep -vic '^temp.ini$')" -ge 18
  check "$type: startnet.bat is the auto-registering script" cmp "$out/expected-startnet.bat" "$(pfile "$profile" startnet.bat)"
  crlf 'if not exist D:\winboot\nul mkdir D:\winboot' 'if not exist D:\winboot\winboot\nul mkdir D:\winboot\winboot' \
       'copy c:\ D:\winboot' 'copy c:\winboot\*.* D:\winboot\winboot' 'd:' 'cd \winboot' >"$out/autoexec.bat"
  crlf 'device=himem.sys' 'device=c:\ramdrive.sys 2048 /e' >"$out/config.sys"
  crlf 'set comspec=d:\winboot\command.com' nwrpltrm fixmem 'setmdir /m /r:d:\winboot' 'subst a: d:\winboot' \
       'set comspec=A:\command.com' 'a:' 'cd \winboot' 'call setvars.bat' 'call startnet.bat' >"$out/win.bat"
  crlf '[Paths]' 'WinDir=C:\WIN98' 'WinBootDir=C:\' 'HostWinBootDrv=C' '[Options]' 'BootMulti=1' 'BootGUI=1' \
       'Network=1' 'logo=1' 'LOADTOP=0' >"$out/msdos.sys"
  for f in autoexec.bat config.sys win.bat msdos.sys; do
    check "$type: $f byte for byte" cmp "$out/$f" "$profiles/$profile/suboot/$f"
  done
  check "$type: the Remoteboot io.sys is the image's" cmp "$rpl/rplfiles/binfiles/win95/io.sys" "$profiles/$profile/suboot/io.sys"
  if [ "$driver" != RTSND ]; then
    check "$type: NETCARD line" grep -q "^SET NETCARD=$driver.DOS" "$(pfile "$profile" setvars.bat)"
    check "$type: no rtsnd.dos in the profile" test -z "$(pfile "$profile" rtsnd.dos)"
    check "$type: the driver in the profile" test -n "$(pfile "$profile" "$driver.dos")"
    check "$type: protocol.ini names it" grep -q "$driver" "$(pfile "$profile" protocol.ini)"
    # The registry file read back by an independent reader, naming the driver.
    check "$type: system.dat is a registry file that names it" \
      bash -c 'cregexport "$1" | grep -q "$2"' _ "$profiles/$profile/suboot/system.dat" "$driver"
  fi
  drive watch-bar TForm1 BitBtn6 ProgressBar2
  check "$type: the Remoteboot service runs" grep -qx RemoteBoot <(tr -d '\r' <"$netstate/services.txt")
  drive click TForm1 SpeedButton7 && drive close RplMgrWindow
}
rpl_road 'RTL 8139' 00E04C rtsnd RTSND W8139 'Rtl8139注册完成，配置远程启动之前请首先进行<检查配置>' \
  检测结果 'Rtl8139 网卡可能没有配置,需要配置RPL' 'RTL8139 Netcard(100/10M)' RTL8139 &&
  leave
# The check after the RPL road, and without a window: "Server.exe /check FILE"
# writes the report the window shows (with the fields' first texts) in code
# page 936, ending with status 1 while something is missing, 2 without a file.
run_check() { (cd "$korrin" && exec timeout "$KORRIN_LIMIT_STEP" "${wine_env[@]}" wine Server.exe "$@" >>"$log" 2>&1); }
start_server && {
  check_fields
  drive click TForm1 C1 && drive check TCheckForm && shot check-after-rpl
  drive report-items '√共享目录，√用户目录，√工作站信息文件，√PXE-PDK 安装程序，√已安装的 PXE-PDK，√镜像工具，√临时目录，√原始镜像文件，√已安装的启动镜像，√启动镜像中的服务器和共享，√远程启动服务程序，√Windows 95 文件，√远程启动目录，√随程序发布的 RPL 文件，√DOS 6.22 文件，√NE2000 启动块模板，√网卡 RTL 8139（rtsnd），√配置列表，√配置 NE2KDOS，×配置 NE2KWIN，√配置 W8139'
  drive click TCheckForm Button2 && drive gone TCheckForm
  leave
}
rm -f "$prefix/drive_c/e2e/check.txt"
run_check /check 'C:\e2e\check.txt'
status=$?
check "/check ends with status 1 while the profile NE2KWIN lacks the Windows 98 files ($status)" test $status -eq 1
check "... its report is code page 936 text" iconv -f GBK -t UTF-8 "$prefix/drive_c/e2e/check.txt"
check "... that names W8139 ready" \
  env LC_ALL=C grep -qF "$(printf '√【就绪】配置 W8139：' | iconv -f UTF-8 -t GBK)" "$prefix/drive_c/e2e/check.txt"
start_server && {
  drive click TForm1 C1
  drive report-file 'C:\e2e\check.txt'
  drive keys TCheckForm esc && drive gone TCheckForm
  leave
}
run_check /check
status=$?
check "/check without a file ends with status 2 at once, no window shown ($status)" test $status -eq 2

# The next card as an administrator meets it: the prefix dialog offers the
# last card's prefix, which rplcmd refuses, and its list shows that prefix's
# records another card's; and installing for a card whose driver was never
# registered is refused. Neither changes a file or a button.
tree_sum() { (cd "$1" && find . -type f -exec md5sum {} + | sort -k2); }
start_server && {
  cp "$rpl/rpldb.txt" "$out/rpldb-before"
  tree_sum "$rpl" >"$out/rpl-before"
  drive choose TForm1 ComboBox1 'RTL 8029'
  drive click TForm1 BitBtn10
  drive answer 检测结果 'RTL8029 网卡可能没有配置,需要配置RPL' OK icon
  drive click TForm1 BitBtn9
  drive expect TForm3 MAC text 00E04C
  drive click TForm3 Button1 && drive gone TForm3
  drive answer morva提示 $'远程启动数据库中的启动块 00E04CDOS 的启动块文件是 BBLOCK\\NETBEUI\\rtsnd\\DOSBB.CNF，不是这块网卡的 BBLOCK\\NETBEUI\\PCIND\\DOSBB.CNF：厂商前缀 00E04C 已经属于另一块网卡。请填这块网卡的工作站网卡地址的前六位。\r\n远程启动数据库没有改动，注册没有完成。' OK icon
  drive expect TForm1 BitBtn9 enabled 1
  drive expect TForm1 BitBtn11 enabled 0
  check "a refused registration leaves the database as it was" cmp "$out/rpldb-before" "$rpl/rpldb.txt"
  check "... and takes its driver back" test ! -e "$rpl/bblock/ndis/pcind.dos"
  check "... and no script or output behind" test ! -e "$prefix/drive_c/windows/rpltemp.bat" -a ! -e "$prefix/drive_c/windows/rpltemp.out"
  drive choose TForm1 ComboBox1 'RTL 8139'
  drive click TForm1 BitBtn10
  drive answer 检测结果 'Rtl8139 网卡检测成功！' OK icon
  drive click TForm1 BitBtn12
  tree_sum "$rpl" >"$out/rpl-before"
  # The box shows the chosen profile's auto-registering start script.
  drive choose TForm1 ComboBox2 W8139
  drive expect TForm1 CheckBox1 checked 1
  drive choose TForm1 ComboBox1 'RTL 8029'
  drive click TForm1 BitBtn11
  drive answer morva提示 $'远程启动目录中没有网卡驱动程序 C:\\windows\\rpl\\bblock\\ndis\\PCIND.dos，请先用<配置Rpl>注册网卡，再进行安装。\r\n远程启动文件和配置 W8139 都没有改动。' OK icon
  check "choosing the profile, then installing for an unregistered card, leave the Remoteboot tree and the profile byte for byte" \
    cmp "$out/rpl-before" <(tree_sum "$rpl")
  leave
}
rpl_road 'RTL 8029' 5254AB pcind PCIND W8029 'Rtl8029注册完成，配置远程启动之前请首先进行<检查配置>' \
  检测结果 'RTL8029 网卡可能没有配置,需要配置RPL' 'Rtl8029 Netcard(10M)' RTL8029 &&
  leave
rpl_road 'Other NetCARD' 001122 MYNICX MYNICX WMYNICX '自选网卡完成，配置远程启动之前请首先进行<检查配置>' \
  Morva提示 '无法检测自定义网卡类型，请直接使用配置来设置您网卡！' 'MYNICX NetCard' 'MYNICX(001122)' && {
  # The chooser gave the current directory back; the boot image finds its tools.
  drive choose TForm1 tabbook1 'PXE*'
  drive click TForm1 BitBtn7
  drive check TForm2
  await test -s "$prefix/drive_c/temp/bootimg.w98"
  sleep 1
  drive answer 创建完成 '当服务器名和共享目录名发生变动，您必须重新生成镜像!' OK icon
  leave
}

# A later run: installing for the custom card needs its registration in the
# same run, so the administrator registers it again. The card is registered
# already: the program says so, changes no file and no record, and installs.
start_server && {
  tree_sum "$rpl" >"$out/rpl-before"
  open_chooser
  drive check TGetNetDrv
  drive choose TGetNetDrv DriveComboBox1 'd:*'
  drive open TGetNetDrv DirectoryListBox1 DRIVERS
  drive open TGetNetDrv DirectoryListBox1 NIC
  drive choose TGetNetDrv FileListBox1 MYNICX.DOS
  drive set-text TGetNetDrv MACTALK 001122
  drive click TGetNetDrv BitBtn1 && drive gone TGetNetDrv
  drive answer 进程提示 '这块网卡已经注册过：*' OK icon
  check "registering the card again changes no file of the Remoteboot tree" cmp "$out/rpl-before" <(tree_sum "$rpl")
  check "... and leaves no script or output behind" test ! -e "$prefix/drive_c/windows/rpltemp.bat" -a ! -e "$prefix/drive_c/windows/rpltemp.out"
  drive expect TForm1 BitBtn9 enabled 0
  drive expect TForm1 BitBtn11 enabled 1
  drive click TForm1 BitBtn12
  drive choose TForm1 ComboBox2 WMYNICX
  drive click TForm1 BitBtn11
  drive answer Morva提示 '无盘WIN98远程启动文件安装完成！' OK icon
  check "the custom card installed again in this run" test -n "$(pfile WMYNICX MYNICX.dos)"
  leave
}

# Nothing left to do: the users of the fields' first texts made, the profile
# without the Windows 98 files removed; /check ends with status 0.
mkdir -p "$drive_d"/PVDROOT/USER{01..30} && rm -rf "$profiles/NE2KWIN"
run_check /check 'C:\e2e\ready.txt'
status=$?
check "/check ends with status 0 on a server with everything ready ($status)" test $status -eq 0

# Two dialogs' keys and memory: Enter on the chooser's folder tree opens the
# folder and keeps the chooser shown; a vendor prefix typed, refused and the
# dialog shown again keeps its text.
start_server && {
  open_chooser
  drive tab-to TGetNetDrv DirectoryListBox1 && drive choose TGetNetDrv DirectoryListBox1 'C:\'
  drive keys TGetNetDrv enter
  drive expect TGetNetDrv FileListBox1 items '' && drive expect TGetNetDrv DirectoryListBox1 chosen 'C:\'
  drive close TGetNetDrv
  open_prefix_dialog
  drive set-text TForm3 MAC 12XY34 && drive click TForm3 Button1
  drive answer morva提示 '网卡地址不对，程序异常返回!' OK icon
  drive click TForm1 BitBtn9
  drive expect TForm3 MAC text 12XY34
  drive close TForm3
  leave
}

# The answer file of the fields as they stand, saved by the 系统 menu in the
# system's save dialog.
start_server && {
  check_fields
  drive keys TForm1 alt+s a
  drive save-as 保存应答文件 'C:\e2e\room2.ini'
  drive answer 保存应答文件 '应答文件已保存到 C:\e2e\room2.ini。*' OK icon
  check "the saved answer file holds the fields in code page 936" \
    grep -qx 'UserPrefix=WS' <(tr -d '\r' <"$prefix/drive_c/e2e/room2.ini")
  leave
}

# The whole job from an answer file, on a demo server of its own.
. "$repo/tests/e2e/unattended.sh"
unattended_run
new_server_run

# The demo road taken back from the window, on a demo server of its own.
. "$repo/tests/e2e/undo.sh"
undo_road_run

# Under an English system locale (code page 1252) the program's own windows
# still show Chinese: every font of theirs asks for the Chinese character
# set. The title bar, the menu bar and the message boxes are the system's.
say "the program under an English locale"
"${wine_env[@]}" wineserver -k >/dev/null 2>&1
"${wine_env[@]}" wineserver -w >/dev/null 2>&1
korrin_wine_env "$prefix" "$KORRIN_DISPLAY" "$locales" en_US.UTF-8
wine_env=("${WINE_ENV[@]}")
"${wine_env[@]}" wineserver -p >/dev/null 2>&1
start_server && {
  drive check-fonts TForm1 && shot english-main
  page pxe
  drive check-fonts TForm1 && shot english-pxe
  open_text TForm5 menu && drive check-fonts TForm5 && shot english-help
  drive close TForm5
  open_text TForm4 menu && drive check-fonts TForm4
  drive close TForm4
  drive click TForm1 C1 && drive check TCheckForm && drive check-fonts TCheckForm && shot english-check
  drive close TCheckForm
  drive click TForm1 BitBtn7
  drive check TForm2 && drive check-fonts TForm2 && shot english-wait-dialog
  drive answer 创建完成 '当服务器名和共享目录名发生变动，您必须重新生成镜像!' OK icon
  page rpl
  open_chooser
  drive check TGetNetDrv && drive check-fonts TGetNetDrv && shot english-getnetdrv
  drive close TGetNetDrv
  # The RTL8139's driver taken away: the card asks to be registered again.
  open_prefix_dialog
  drive check TForm3 && drive check-fonts TForm3 && shot english-form3
  drive close TForm3
  leave
}

say "screenshots in $shots"
[ $rerun -eq 0 ] || say "$rerun step(s) ran twice: the driver printed nothing the first time"
if [ $failed -ne 0 ]; then
  say "$failed step(s) failed; see $log"
  exit 1
fi
say "all steps passed"
