// The rplimage program: the tool of tools.h on the host's arguments.
#include <cstdio>

#include "imagetools/tools.h"
#include "imagetools/tree_io.h"

int main(int argc, char** argv) {
    std::string err;
    const int code = imagetools::Rplimage(treeio::Arguments(argc, argv), err);
    std::fputs(err.c_str(), stderr);
    return code;
}
