// undisk IMAGE DIR: unpacks a 1.44 MB FAT12 floppy image into the new
// directory DIR and keeps the image's boot sector beside it as DIR.bs, so that
// rplimage can make a bootable image of the tree again.
#include <cstdio>
#include <string>

#include "fat12.h"
#include "tree_io.h"

namespace {

int Fail(const std::string& message) {
    std::fprintf(stderr, "undisk: %s\n", message.c_str());
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args = treeio::Arguments(argc, argv);
    if (args.size() != 2 || args[0].empty() || args[1].empty()) {
        std::fprintf(stderr, "usage: undisk IMAGE DIR\n");
        return 2;
    }
    const std::string& imagePath = args[0];
    const std::string& dir = args[1];

    std::string image, error;
    if (!treeio::ReadWholeFile(imagePath, fat12::kImageSize, image, error)) return Fail(error);
    fat12::Tree tree;
    if (!fat12::Unpack(image, tree, error)) return Fail(imagePath + ": " + error);
    const std::string bootSector = image.substr(0, fat12::kSectorSize);
    if (!treeio::WriteTree(dir, tree, &bootSector, fat12::BootSectorPathFor(dir, treeio::PathSeparators()), error)) {
        return Fail(error);
    }
    return 0;
}
