// The two image tools as functions, so that a program's main and the
// simulated host run the same code.
#include "imagetools/tools.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <new>

#include "imagetools/fat12.h"
#include "imagetools/tree_io.h"

namespace imagetools {
namespace {

// SOURCE_DATE_EPOCH's range: 1980-01-01 00:00:00 UTC to 2107-12-31 23:59:59
// UTC, the moments a DOS date can hold.
const long long kFirstDosSecond = 315532800;
const long long kLastDosSecond = 4354819199;

// An error line of a tool; exit code 1.
int Fail(const char* tool, const std::string& message, std::string* err) {
  *err += std::string(tool) + ": " + message + "\n";
  return 1;
}

int Usage(const std::string& message, std::string* err) {
  *err += "rplimage: " + message + "\nusage: rplimage DIR IMAGE /f:1440\n";
  return 2;
}

bool IsFormatOption(const std::string& arg) {
  return arg.size() >= 3 && (arg[0] == '/' || arg[0] == '-') && (arg[1] == 'f' || arg[1] == 'F') &&
         arg[2] == ':';
}

// undisk IMAGE DIR: unpacks a 1.44 MB FAT12 floppy image into the directory
// DIR (replacing what DIR held, so that no file of an earlier run stays) and
// keeps the image's boot sector beside it as DIR.bs, so that rplimage can make
// a bootable image of the tree again.
int RunUndisk(const std::vector<std::string>& args, std::string* err) {
  if (args.size() != 2 || args[0].empty() || args[1].empty()) {
    *err += "usage: undisk IMAGE DIR\n";
    return 2;
  }
  const std::string& image_path = args[0];
  const std::string& dir = args[1];
  std::string boot_sector_path = fat12::BootSectorPathFor(dir, treeio::PathSeparators());

  std::string image, error;
  if (!treeio::ReadWholeFile(image_path, fat12::kImageSize, &image, &error))
    return Fail("undisk", error, err);
  // Nothing is written that would take the image's place: the old tree is
  // removed whole and DIR.bs is replaced.
  if (treeio::LiesInside(image_path, dir)) {
    return Fail("undisk", image_path + " lies inside " + dir +
                ", which is replaced whole; put the image elsewhere", err);
  }
  if (treeio::SameFile(image_path, boot_sector_path)) {
    return Fail("undisk", image_path + " is the file that keeps the boot sector of " + dir +
                " (" + boot_sector_path + "), which is replaced; put the image elsewhere", err);
  }
  fat12::Tree tree;
  if (!fat12::Unpack(image, &tree, &error)) return Fail("undisk", image_path + ": " + error, err);
  std::string boot_sector = image.substr(0, fat12::kSectorSize);
  if (!treeio::WriteTree(dir, tree, &boot_sector, boot_sector_path, &error))
    return Fail("undisk", error, err);
  return 0;
}

// rplimage DIR IMAGE /f:1440: packs the directory tree DIR into a 1.44 MB
// FAT12 floppy image at IMAGE. When DIR.bs (the boot sector undisk kept) is
// there, its boot code goes into the image. With SOURCE_DATE_EPOCH set, no
// entry is dated later than that moment (UTC), for reproducible images; a
// moment a DOS date cannot hold is refused. IMAGE is replaced only once the
// whole image has been built.
int RunRplimage(const std::vector<std::string>& args, std::string* err) {
  std::vector<std::string> paths;
  std::string format;
  for (const std::string& arg : args) {
    if (IsFormatOption(arg)) {
      if (!format.empty()) return Usage("/f: is given twice", err);
      format = arg.substr(3);
      if (format.empty()) return Usage("/f: needs a size", err);
    } else {
      paths.push_back(arg);
    }
  }
  if (paths.size() != 2 || paths[0].empty() || paths[1].empty())
    return Usage("needs a directory and an image", err);
  if (format.empty()) return Usage("missing /f:1440", err);
  if (format != "1440")
    return Usage("only /f:1440 (a 1.44 MB floppy) can be made, not /f:" + format, err);
  const std::string& dir = paths[0];
  const std::string& image_path = paths[1];

  bool clamp = false;
  std::uint16_t clamp_date = 0, clamp_time = 0;
  if (const char* epoch = std::getenv("SOURCE_DATE_EPOCH")) {
    char* end = nullptr;
    errno = 0;
    long long seconds = std::strtoll(epoch, &end, 10);
    if (*epoch == '\0' || *end != '\0' || seconds < 0 || errno == ERANGE) {
      return Fail("rplimage", "SOURCE_DATE_EPOCH is not a count of seconds: " + std::string(epoch),
                  err);
    }
    if (seconds < kFirstDosSecond || seconds > kLastDosSecond) {
      return Fail("rplimage", "SOURCE_DATE_EPOCH=" + std::string(epoch) +
                  " is outside the dates a DOS disk can hold (1980 to 2107)", err);
    }
    fat12::DosStampFromDateTime(fat12::DateTimeFromUnixSeconds(seconds), &clamp_date, &clamp_time);
    clamp = true;
  }

  std::string error, boot_sector;
  bool missing = false;
  std::string boot_sector_path = fat12::BootSectorPathFor(dir, treeio::PathSeparators());
  bool have_boot_sector =
      treeio::ReadWholeFile(boot_sector_path, fat12::kSectorSize, &boot_sector, &error, &missing);
  if (!have_boot_sector && !missing) return Fail("rplimage", error, err);
  if (have_boot_sector && treeio::SameFile(image_path, boot_sector_path)) {
    return Fail("rplimage", image_path + " is the file that keeps the boot sector of " + dir +
                " (" + boot_sector_path + "), which this run reads; put the image elsewhere", err);
  }

  fat12::Tree tree;
  if (!treeio::ReadTree(dir, fat12::kDataCapacity, &tree, &error))
    return Fail("rplimage", error, err);
  if (clamp) fat12::ClampStamps(&tree, clamp_date, clamp_time);
  std::string image;
  if (!fat12::Pack(tree, have_boot_sector ? &boot_sector : nullptr, &image, &error))
    return Fail("rplimage", dir + ": " + error, err);
  if (!treeio::WriteFileReplacing(image_path, image, &error)) return Fail("rplimage", error, err);
  return 0;
}

}  // namespace

int Undisk(const std::vector<std::string>& args, std::string& err) {
  try {
    return RunUndisk(args, &err);
  } catch (const std::bad_alloc&) {
    return Fail("undisk", "not enough memory", &err);
  }
}

int Rplimage(const std::vector<std::string>& args, std::string& err) {
  try {
    return RunRplimage(args, &err);
  } catch (const std::bad_alloc&) {
    return Fail("rplimage", "not enough memory", &err);
  }
}

}  // namespace imagetools
