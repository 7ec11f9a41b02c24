// The two image tools as functions, so that a program's main and the
// simulated host run the same code.
#include "standins/image/tools.h"

#include <cstdint>
#include <cstdlib>

#include "standins/image/fat12.h"
#include "standins/image/tree_io.h"

namespace imagetools {

namespace {

// An error line of a tool; exit code 1.
int Fail(std::string& err, const char* tool, const std::string& message) {
    err += std::string(tool) + ": " + message + "\n";
    return 1;
}

}  // namespace

// undisk IMAGE DIR: unpacks a 1.44 MB FAT12 floppy image into the directory
// DIR (replacing what DIR held, so that no file of an earlier run stays) and
// keeps the image's boot sector beside it as DIR.bs, so that rplimage can make
// a bootable image of the tree again.
int Undisk(const std::vector<std::string>& args, std::string& err) {
    if (args.size() != 2 || args[0].empty() || args[1].empty()) {
        err += "usage: undisk IMAGE DIR\n";
        return 2;
    }
    const std::string& imagePath = args[0];
    const std::string& dir = args[1];

    std::string image, error;
    if (!treeio::ReadWholeFile(imagePath, fat12::kImageSize, image, error)) return Fail(err, "undisk", error);
    fat12::Tree tree;
    if (!fat12::Unpack(image, &tree, &error)) return Fail(err, "undisk", imagePath + ": " + error);
    const std::string bootSector = image.substr(0, fat12::kSectorSize);
    if (!treeio::WriteTree(dir, tree, &bootSector, fat12::BootSectorPathFor(dir, treeio::PathSeparators()), error)) {
        return Fail(err, "undisk", error);
    }
    return 0;
}

// rplimage DIR IMAGE /f:1440: packs the directory tree DIR into a 1.44 MB
// FAT12 floppy image at IMAGE. When DIR.bs (the boot sector undisk kept) is
// there, its boot code goes into the image. With SOURCE_DATE_EPOCH set, no
// entry is dated later than that moment (UTC), for reproducible images. IMAGE
// is replaced only once the whole image has been built.
namespace {

int Usage(std::string& err, const std::string& message) {
    err += "rplimage: " + message + "\nusage: rplimage DIR IMAGE /f:1440\n";
    return 2;
}

bool IsFormatOption(const std::string& arg) {
    return arg.size() >= 3 && (arg[0] == '/' || arg[0] == '-') && (arg[1] == 'f' || arg[1] == 'F') && arg[2] == ':';
}

}  // namespace

int Rplimage(const std::vector<std::string>& args, std::string& err) {
    std::vector<std::string> paths;
    std::string format;
    for (const std::string& arg : args) {
        if (IsFormatOption(arg)) {
            if (!format.empty()) return Usage(err, "/f: is given twice");
            format = arg.substr(3);
            if (format.empty()) return Usage(err, "/f: needs a size");
        } else {
            paths.push_back(arg);
        }
    }
    if (paths.size() != 2 || paths[0].empty() || paths[1].empty()) return Usage(err, "needs a directory and an image");
    if (format.empty()) return Usage(err, "missing /f:1440");
    if (format != "1440") return Usage(err, "only /f:1440 (a 1.44 MB floppy) can be made, not /f:" + format);
    const std::string& dir = paths[0];
    const std::string& imagePath = paths[1];

    std::string error;
    std::string bootSector;
    bool missing = false;
    const std::string bootSectorPath = fat12::BootSectorPathFor(dir, treeio::PathSeparators());
    const bool haveBootSector = treeio::ReadWholeFile(bootSectorPath, fat12::kSectorSize, bootSector, error, &missing);
    if (!haveBootSector && !missing) return Fail(err, "rplimage", error);

    fat12::Tree tree;
    if (!treeio::ReadTree(dir, fat12::kDataCapacity, tree, error)) return Fail(err, "rplimage", error);
    if (const char* epoch = std::getenv("SOURCE_DATE_EPOCH")) {
        char* end = nullptr;
        const long long seconds = std::strtoll(epoch, &end, 10);
        if (*epoch == '\0' || *end != '\0' || seconds < 0) {
            return Fail(err, "rplimage", "SOURCE_DATE_EPOCH is not a count of seconds: " + std::string(epoch));
        }
        std::uint16_t date, time;
        fat12::DosStampFromDateTime(fat12::DateTimeFromUnixSeconds(seconds), &date, &time);
        fat12::ClampStamps(&tree, date, time);
    }
    std::string image;
    if (!fat12::Pack(tree, haveBootSector ? &bootSector : nullptr, &image, &error)) {
        return Fail(err, "rplimage", dir + ": " + error);
    }
    if (!treeio::WriteFileReplacing(imagePath, image, error)) return Fail(err, "rplimage", error);
    return 0;
}

}  // namespace imagetools
