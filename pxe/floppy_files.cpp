#include "pxe/floppy_files.h"

#include "imagetools/fat12.h"
#include "platform/text.h"

namespace pxe {
namespace {

void Collect(const fat12::Tree& dir, const std::string& prefix, FloppyFiles* files) {
  for (const fat12::Tree& child : dir.children) {
    const std::string path = prefix + platform::Lower(child.name);
    if (child.is_directory)
      Collect(child, path + "\\", files);
    else
      (*files)[path] = child.data;
  }
}

}  // namespace

bool ReadFloppyFiles(const std::string& image, FloppyFiles* files) {
  files->clear();
  fat12::Tree root;
  std::string error;
  if (!fat12::Unpack(image, &root, &error)) return false;
  Collect(root, "", files);
  return true;
}

const std::vector<std::string>& ClientFiles() {
  static const std::vector<std::string> kFiles = {
      "NDISHLP.SYS", "NET.EXE",      "NET.MSG",      "PROTMAN.DOS",  "PROTMAN.EXE",  "PROTOCOL.INI",
      "QAUTOLOG.EXE", "QUALCNX.EXE", "QUALREG.EXE",  "RAMDRIVE.SYS", "RTL8139.SYS",  "RTSND.DOS",
      "SETVARS.BAT", "SNAPSHOT.EXE", "STARTNET.BAT", "TUNING.BAT",   "USERNAME.BAT", "LOGIN.EXE"};
  return kFiles;
}

}  // namespace pxe
