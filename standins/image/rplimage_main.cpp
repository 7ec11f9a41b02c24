// rplimage DIR IMAGE /f:1440: packs the directory tree DIR into a 1.44 MB
// FAT12 floppy image at IMAGE. When DIR.bs (the boot sector undisk kept) is
// there, its boot code goes into the image. With SOURCE_DATE_EPOCH set, no
// entry is dated later than that moment (UTC), for reproducible images. IMAGE is replaced only once the
// whole image has been built.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fat12.h"
#include "tree_io.h"

namespace {

int Fail(const std::string& message) {
    std::fprintf(stderr, "rplimage: %s\n", message.c_str());
    return 1;
}

int Usage(const std::string& message) {
    std::fprintf(stderr, "rplimage: %s\nusage: rplimage DIR IMAGE /f:1440\n", message.c_str());
    return 2;
}

bool IsFormatOption(const std::string& arg) {
    return arg.size() >= 3 && (arg[0] == '/' || arg[0] == '-') && (arg[1] == 'f' || arg[1] == 'F') && arg[2] == ':';
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args = treeio::Arguments(argc, argv);
    std::vector<std::string> paths;
    std::string format;
    for (const std::string& arg : args) {
        if (IsFormatOption(arg)) {
            if (!format.empty()) return Usage("/f: is given twice");
            format = arg.substr(3);
            if (format.empty()) return Usage("/f: needs a size");
        } else {
            paths.push_back(arg);
        }
    }
    if (paths.size() != 2 || paths[0].empty() || paths[1].empty()) return Usage("needs a directory and an image");
    if (format.empty()) return Usage("missing /f:1440");
    if (format != "1440") return Usage("only /f:1440 (a 1.44 MB floppy) can be made, not /f:" + format);
    const std::string& dir = paths[0];
    const std::string& imagePath = paths[1];

    std::string error;
    std::string bootSector;
    bool missing = false;
    const std::string bootSectorPath = fat12::BootSectorPathFor(dir, treeio::PathSeparators());
    const bool haveBootSector = treeio::ReadWholeFile(bootSectorPath, fat12::kSectorSize, bootSector, error, &missing);
    if (!haveBootSector && !missing) return Fail(error);

    fat12::Tree tree;
    if (!treeio::ReadTree(dir, fat12::kDataCapacity, tree, error)) return Fail(error);
    if (const char* epoch = std::getenv("SOURCE_DATE_EPOCH")) {
        char* end = nullptr;
        const long long seconds = std::strtoll(epoch, &end, 10);
        if (*epoch == '\0' || *end != '\0' || seconds < 0) {
            return Fail("SOURCE_DATE_EPOCH is not a count of seconds: " + std::string(epoch));
        }
        std::uint16_t date, time;
        fat12::DosStampFromDateTime(fat12::DateTimeFromUnixSeconds(seconds), date, time);
        fat12::ClampStamps(tree, date, time);
    }
    std::string image;
    if (!fat12::Pack(tree, haveBootSector ? &bootSector : nullptr, image, error)) {
        return Fail(dir + ": " + error);
    }
    if (!treeio::WriteFileReplacing(imagePath, image, error)) return Fail(error);
    return 0;
}
