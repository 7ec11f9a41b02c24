// The PXE boot floppy image: the template unpacked, this server's name and
// share written into it with a fresh network start script, packed again and
// installed as the PDK's DOS UNDI image dosundi.1.
#pragma once

#include <string>

#include "platform/platform.h"

namespace pxe {

// The size of the 1440 KB image the packer makes.
const std::size_t kFloppyImageSize = 1474560;

// How long the packer may take to make the image, in milliseconds.
const unsigned kPackLimit = 60000;

// The button "生成镜像文件". The tools and the template lie below `start_dir`;
// `auto_register` is the state of CheckBox2. `installed_image` receives the
// path of the PDK's image, set once the run reaches the installation. The
// notice "创建完成" comes only once the new image is installed; at the first
// step that fails a warning names it instead, and the old image stays. Only
// a tree this run's unpacker laid out is used: the old tree's setvars.bat is
// deleted before the unpacker starts and must be there again, once it has
// ended, after the countdown.
void GenerateBootImage(platform::Host& host, platform::Ui& ui, const std::string& start_dir,
                       const std::string& shared_directory, bool auto_register,
                       std::string* installed_image);

// What is wrong with a packed image, or "" when nothing: it must read back as
// a consistent FAT12 floppy (with the unpacker's own reader) whose
// winboot\setvars.bat and winboot\startnet.bat hold the bytes given, and
// whose other files are those of the template image, with its bytes: none
// missing, none added.
std::string CheckPackedImage(const std::string& image, const std::string& template_image,
                             const std::string& setvars, const std::string& startnet);

// The launchers of the PXE page and the toolbar.
void StartPdkInstaller(platform::Host& host, const std::string& start_dir);  // BitBtn3
void StartDhcpManager(platform::Host& host, platform::Ui& ui);              // BitBtn5
void StartPdkConfigurator(platform::Host& host, platform::Ui& ui);          // BitBtn2
void StartPdkRegistrar(platform::Host& host, platform::Ui& ui);             // SpeedButton1

}  // namespace pxe
