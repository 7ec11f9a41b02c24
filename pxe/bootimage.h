// The PXE boot floppy image: the template unpacked, this server's name and
// share written into it with a fresh network start script, packed again and
// installed as the PDK's DOS UNDI image dosundi.1.
#pragma once

#include <optional>
#include <string>

#include "base/plan.h"
#include "platform/platform.h"

namespace pxe {

// The size of the 1440 KB image the packer makes.
const std::size_t kFloppyImageSize = 1474560;

// The caption of the image button's warnings, and a warning: what stopped
// the run, and that the installed image stays as it was.
const char kImageCaption[] = "morva提示";
std::string KeptWarning(const std::string& what);

// How long the packer may take to make the image, in milliseconds.
const unsigned kPackLimit = 60000;

// What "生成镜像文件" is pressed with: the folder the tools and the
// template lie below, the shared directory (Edit1), and CheckBox2, the start
// script to write. The server check knows no box: it takes either start
// script of this program as today's (none given).
struct ImageFields {
  std::string start_dir;
  std::string shared_directory;
  std::optional<bool> auto_register;
};

// The plan of "生成镜像文件" (it only reads). Its needs are the check's
// items 镜像工具, 临时目录, 原始镜像文件, 已安装的启动镜像 and
// 启动镜像中的服务器和共享. Refused as the button refuses, in its order:
// no or no folder ProgramFilesDir, no template (the program ends), and what
// would stop the run before the old image is replaced: an earlier scratch
// file that cannot be deleted, a tool missing, a scratch folder that is a
// file, a template that cannot be unpacked or lacks a file the boot floppy
// needs, an installed image that cannot be replaced. Otherwise it lists the
// scratch work (marked as a refresh: the button always redoes it), the two
// scripts it writes into the unpacked tree, the PDK's image folders to make
// and the installed image, marked as a refresh when that already holds
// today's server and share (and the start script asked for).
plan::Plan PlanBootImage(platform::Host& host, const ImageFields& fields);

// Carries out a plan of PlanBootImage that was not refused, step by step as
// it lists them. The notice "创建完成" comes only once the new image is
// installed; at the first step that fails a warning names it instead, and
// the old image stays. Only a tree this run's unpacker laid out is used: the
// old tree's setvars.bat is deleted before the unpacker starts and must be
// there again, once it has ended, after the countdown.
void ApplyBootImage(platform::Host& host, platform::Ui& ui, const ImageFields& fields, const plan::Plan& plan);

// Whether the plan's refusal ends the program: there is no template.
bool EndsProgram(const plan::Plan& plan);

// The plan of "安装 PXE" (BitBtn3): refused, silently, without the
// installer; otherwise the installer started, marked as a refresh when the
// PDK's two programs are there already. Its needs are the check's items
// PXE-PDK 安装程序 and 已安装的 PXE-PDK.
plan::Plan PlanPdk(platform::Host& host, const std::string& start_dir);

// The PDK's programs are there: its button's plan, not refused, would only
// start the installer again.
bool PdkInstalled(platform::Host& host, const std::string& start_dir);
void ApplyPdk(platform::Host& host, const plan::Plan& plan);

// What is wrong with a packed image, or "" when nothing: it must read back as
// a consistent FAT12 floppy (with the unpacker's own reader) whose
// winboot\setvars.bat and winboot\startnet.bat hold the bytes given, and
// whose other files are those of the template image, with its bytes: none
// missing, none added.
std::string CheckPackedImage(const std::string& image, const std::string& template_image,
                             const std::string& setvars, const std::string& startnet);

// The launchers of the PXE page and the toolbar.
void StartDhcpManager(platform::Host& host, platform::Ui& ui);              // BitBtn5
void StartPdkConfigurator(platform::Host& host, platform::Ui& ui);          // BitBtn2
void StartPdkRegistrar(platform::Host& host, platform::Ui& ui);             // SpeedButton1

}  // namespace pxe
