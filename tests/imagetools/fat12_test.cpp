// Unit tests of the FAT12 core: names, DOS stamps, packing and unpacking.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "imagetools/fat12.h"
#include "tests/imagetools/image_test_util.h"

namespace {

using namespace imagetest;

// 8.3 names: eight characters, a dot and three at the most, stored upper
// case; each limit is met by a name taken and one refused. "" stored: refused.
TEST(ShortName, TakesEightDotThreeNamesAndStoresThemUpperCase) {
    const struct {
        const char* host;
        const char* stored;
    } cases[] = {
        {"IO.SYS", "IO      SYS"}, {"io.sys", "IO      SYS"}, {"A", "A          "}, {"12345678.123", "12345678123"},
        {"~$#&'()-.@^_", "~$#&'()-@^_"}, {"{X}`!%.A", "{X}`!%  A  "},
        {"123456789.TXT", ""}, {"NAME.TOOL", ""}, {"LONGFILENAME.TXT", ""}, {"NINECHARS", ""},
        {"A+B.TXT", ""}, {"", ""}, {".", ""}, {"..", ""}, {".PROFILE", ""}, {"A.", ""}, {"A.B.C", ""},
        {"A B.TXT", ""}, {"A*.TXT", ""}, {"A?.TXT", ""}, {"A/B", ""}, {"A\\B", ""}, {"A:B", ""}, {"A;B", ""},
        {"A,B", ""}, {"A=B", ""}, {"A[1]", ""}, {"A\"B", ""}, {"A<B", ""}, {"A>B", ""}, {"A|B", ""},
        {"\xC3\x89T\xC3\x89.TXT", ""}, {"TAB\t", ""}, {"NUL", ""}, {"con.txt", ""}, {"LPT1.PRN", ""}, {"CLOCK$", ""},
    };
    for (const auto& c : cases) {
        std::string stored, error;
        EXPECT_EQ(fat12::ShortNameFor(c.host, &stored, &error), *c.stored != '\0') << c.host << ": " << error;
        EXPECT_EQ(error.empty(), *c.stored != '\0') << c.host;
        EXPECT_EQ(stored, *c.stored ? std::string(c.stored) : stored) << c.host;
    }
}

TEST(DosStamp, ConvertsAndClampsLocalTimes) {
    const struct {
        fat12::DateTime when;
        unsigned date, time;
    } cases[] = {
        {{1980, 1, 1, 0, 0, 0}, 0x0021, 0x0000},     {{1998, 6, 25, 13, 45, 31}, 0x24D9, 0x6DAF},
        {{2107, 12, 31, 23, 59, 59}, 0xFF9F, 0xBF7D}, {{1979, 12, 31, 23, 59, 59}, 0x0021, 0x0000},
        {{1970, 1, 1, 0, 0, 0}, 0x0021, 0x0000},     {{2108, 1, 1, 0, 0, 0}, 0xFF9F, 0xBF7D},
        {{2000, 2, 29, 12, 0, 1}, 0x285D, 0x6000},
    };
    for (const auto& c : cases) {
        std::uint16_t date = 0, time = 0;
        fat12::DosStampFromDateTime(c.when, &date, &time);
        EXPECT_EQ(date, c.date) << c.when.year << "-" << c.when.month << "-" << c.when.day;
        EXPECT_EQ(time, c.time) << c.when.hour << ":" << c.when.minute << ":" << c.when.second;
    }
}

// Stamps read back (impossible fields brought into range) and Unix seconds
// as UTC dates.
TEST(DosStamp, ReadsStampsAndUnixSecondsBack) {
    const auto stamp = [](unsigned date, unsigned time) {
        return fat12::DateTimeFromDosStamp(static_cast<std::uint16_t>(date), static_cast<std::uint16_t>(time));
    };
    const struct {
        const char* what;
        fat12::DateTime got;
        std::vector<int> want;
    } cases[] = {
        {"24D9 6DAF", stamp(0x24D9, 0x6DAF), {1998, 6, 25, 13, 45, 30}},
        {"0 0", stamp(0x0000, 0x0000), {1980, 1, 1, 0, 0, 0}},
        {"01BF FFFF", stamp(0x01BF, 0xFFFF), {1980, 12, 31, 23, 59, 58}},
        {"0A5E", stamp(0x0A5E, 0), {1985, 2, 28, 0, 0, 0}},
        {"285D", stamp(0x285D, 0), {2000, 2, 29, 0, 0, 0}},
        {"2C5F", stamp(0x2C5F, 0), {2002, 2, 28, 0, 0, 0}},
        {"0 s", fat12::DateTimeFromUnixSeconds(0), {1970, 1, 1, 0, 0, 0}},
        {"898732800 s", fat12::DateTimeFromUnixSeconds(898732800), {1998, 6, 25, 0, 0, 0}},
        {"951825599 s", fat12::DateTimeFromUnixSeconds(951825599), {2000, 2, 29, 11, 59, 59}},
        {"4107542400 s", fat12::DateTimeFromUnixSeconds(4107542400LL), {2100, 3, 1, 0, 0, 0}},
        {"-1 s", fat12::DateTimeFromUnixSeconds(-1), {1969, 12, 31, 23, 59, 59}},
    };
    for (const auto& c : cases) {
        const fat12::DateTime& w = c.got;
        EXPECT_EQ((std::vector<int>{w.year, w.month, w.day, w.hour, w.minute, w.second}), c.want) << c.what;
    }
}

// A tree packed in another order gives the same image. (That it comes back
// whole, names, data and dates, is the round trip of peer_test.sh.)
TEST(Pack, TheOrderOfTheTreeDoesNotMatter) {
    const Tree tree = Sample();
    const std::string image = PackOrDie(tree);
    Tree reversed = tree;
    std::reverse(reversed.children.begin(), reversed.children.end());
    for (Tree& c : reversed.children) std::reverse(c.children.begin(), c.children.end());
    EXPECT_TRUE(PackOrDie(reversed) == image);
}

TEST(Pack, PutsBootFilesFirstContiguousAndProtected) {
    const std::string image = PackOrDie(Sample());
    // The top directory's entries in order.
    const struct {
        const char* name;
        unsigned attributes, firstCluster;
    } want[] = {
        {"IO      SYS", 0x27, 2}, {"MSDOS   SYS", 0x27, 2 + 79}, {"ALPHA   TXT", 0x20, 0}, {"EMPTY   TXT", 0x20, 0},
        {"MANY       ", 0x10, 0}, {"SUB        ", 0x10, 0},      {"ZETA    TXT", 0x20, 0},
    };
    for (const auto& w : want) {
        const std::size_t at = kRoot + (&w - want) * 32;
        EXPECT_EQ(image.substr(at, 11), w.name);
        EXPECT_EQ(static_cast<unsigned char>(image[at + 11]), w.attributes) << w.name;
        if (w.firstCluster) { EXPECT_EQ(Get16(image, at + 26), w.firstCluster) << w.name; }
    }
    EXPECT_EQ(image[kRoot + 7 * 32], '\0') << "entries past the last one must be free";
    // IO.SYS's 79 clusters lie from 2 up to MSDOS.SYS; that each chain links
    // its clusters in turn and ends, fsck.fat and the round trip of
    // peer_test.sh see.
    EXPECT_EQ(FatEntry(image, 0), 0xFF0u);
    EXPECT_EQ(FatEntry(image, 1), 0xFFFu);
}

// A boot sector of its own, or one kept from the template (its code, serial
// and label), in front of the parameters of a 1.44 MB floppy.
TEST(BootSector, OwnCodePrintsItsMessageKeptCodeGoesInAndTheBpbDescribesTheFloppy) {
    std::string kept = Pattern(512, 9);
    kept.replace(0, 3, "\xEB\x3C\x90");
    kept[0x26] = 0x29;
    kept.replace(0x2B, 11, "MYDISK     ");
    const std::string own = PackOrDie(Dir("", {})), image = PackOrDie(Dir("", {File("IO.SYS", "x")}), &kept);
    EXPECT_EQ(own.substr(0, 3), std::string("\xEB\x3C\x90", 3));
    // mov si,imm16 at 0x4A must point (at 0000:7C00) at the message text.
    ASSERT_EQ(static_cast<unsigned char>(own[0x4A]), 0xBE);
    EXPECT_EQ(own.substr(Get16(own, 0x4B) - 0x7C00, 10), "\r\nThis dis");
    // (The jump, OEM name and code are compared with an image mtools made in
    // peer_test.sh.)
    EXPECT_EQ(image.substr(0x27, 15), kept.substr(0x27, 15)) << "serial and label";
    const struct {
        std::size_t at;
        unsigned value;
    } bpb[] = {{0x0B, 512}, {0x11, 224}, {0x13, 2880}, {0x16, 9}, {0x18, 18}, {0x1A, 2}, {0x1FE, 0xAA55}};
    for (const std::string& i : {own, image}) {
        for (const auto& f : bpb) EXPECT_EQ(Get16(i, f.at), f.value) << std::hex << f.at;
        EXPECT_EQ(static_cast<unsigned char>(i[0x15]), 0xF0);
        EXPECT_EQ(i.substr(0x36, 8), "FAT12   ");
    }
}

// Trees that cannot be written, and boot sectors that cannot be kept, are
// refused with a reason and give no image; 224 entries fill the top directory.
// (A long name, names equal but for case, a file larger than the disk and a
// 225th entry in the top directory are refused by the tools in peer_test.sh.)
TEST(Pack, RefusesTreesThatCannotBeWrittenAndBootSectorsThatCannotBeKept) {
    std::vector<Tree> filling;
    for (int i = 0; i < 224; ++i) filling.push_back(File("F" + std::to_string(i), ""));
    std::string kept = Pattern(512, 9);
    kept.replace(0, 3, "\xEB\x3C\x90");
    const struct {
        const char* what;
        Tree tree;
        std::string bs;  // "": the packer's own
    } cases[] = {
        {"bad character deep down", Dir("", {Dir("SUB", {File("A+B.TXT", "x")})}), ""},
        {"file and directory of one name", Dir("", {File("X", "a"), Dir("x", {})}), ""},
        {"full disk plus a directory", Dir("", {File("BIG", std::string(fat12::kDataCapacity, 'x')), Dir("D", {})}), ""},
        {"short boot sector", Dir("", {}), kept.substr(0, 511)},
        {"no jump", Dir("", {}), std::string(512, '\0')},
        {"jump into the parameter block", Dir("", {}), std::string("\xEB\x1C\x90", 3) + kept.substr(3)},
        {"near jump into the parameter block", Dir("", {}), std::string("\xE9\x10\x00", 3) + kept.substr(3)},
    };
    for (const auto& c : cases) {
        std::string image = "old", error;
        EXPECT_FALSE(fat12::Pack(c.tree, c.bs.empty() ? nullptr : &c.bs, &image, &error)) << c.what;
        EXPECT_FALSE(error.empty()) << c.what;
        EXPECT_TRUE(image.empty()) << c.what;
    }
    PackOrDie(Dir("", filling));  // 224 entries fit
}

// Unpacking images made by other tools: entries this packer never writes.
// (A long name of two parts, and a name lower case in base and extension, are
// read from an image mtools made in peer_test.sh.)
TEST(Unpack, ReadsLongNamesCaseFlagsAndSkipsWhatIsNotAFile) {
    // One-byte files "b", "d" and "e" in clusters 2 to 4, their entries written anew.
    std::string image = PackOrDie(Dir("", {File("B", "b"), File("D", "d"), File("E", "e")}));
    auto shortEntry = [](const std::string& name11, unsigned char attr, unsigned char caseFlags, unsigned cluster) {
        std::string e(32, '\0');
        e.replace(0, 11, name11);
        e[11] = static_cast<char>(attr);
        e[12] = static_cast<char>(caseFlags);
        Put16(26, cluster, &e);
        e[28] = 1;  // one byte long
        return e;
    };
    // The one part of the long name "wrong.txt", whose checksum (0) is not that of the entry after it.
    std::string wrong(32, '\0');
    wrong[0] = 0x41;
    wrong[11] = 0x0F;
    static const int offsets[13] = {1, 3, 5, 7, 9, 14, 16, 18, 20, 22, 24, 28, 30};
    const std::u16string part = u"wrong.txt";
    for (int i = 0; i < 13; ++i) Put16(offsets[i], i < 9 ? part[i] : (i == 9 ? 0 : 0xFFFF), &wrong);
    std::string table;
    table += shortEntry("MY DISK    ", 0x08, 0, 0);                     // volume label
    table += wrong;
    table += shortEntry("BBBB    TXT", 0x20, 0, 2);
    table += shortEntry("\xE5GONE   TXT", 0x20, 0, 0);                   // deleted
    table += shortEntry("\x05" "DDD    TXT", 0x20, 0, 3);                // first byte 0xE5 stored as 0x05
    table += shortEntry("EEEE    TXT", 0x20, 0x08, 4);                   // base lower case only
    table.resize(fat12::kRootSectors * 512, '\0');
    image.replace(kRoot, table.size(), table);

    std::vector<std::string> names;
    for (const Tree& t : UnpackOrDie(image).children) names.push_back(t.name + "=" + t.data);
    EXPECT_EQ(names, (std::vector<std::string>{"BBBB.TXT=b", "\xC3\x95" "DDD.TXT=d", "eeee.TXT=e"}));
}

// Each case damages a good image; Unpack must refuse it with a reason and
// give back an empty tree, never crash or loop. (A truncated image, refused
// by the size check and the parameter block's sector count alike, is
// peer_test.sh's.)
TEST(Unpack, RefusesImagesThatAreNotSoundFat12AndTakesEveryEndOfChain) {
    std::string good = PackOrDie(Chains());
    // The entry of the cluster after the disk's last one ends a chain: a
    // reader that took that cluster would find a whole file there.
    const unsigned pastLast = fat12::kDataClusters + 2;
    SetFatEntry(good, pastLast, 0xFFF);
    ASSERT_EQ(Get16(good, kRoot + 26), 2u);
    ASSERT_EQ(Get16(good, kRoot + 32 + 26), 6u);
    ASSERT_EQ(Get16(good, kRoot + 64 + 26), 8u);
    const struct {
        const char* what;
        std::function<void(std::string&)> damage;
    } cases[] = {
        {"one byte longer", [](std::string& s) { s += '\0'; }},
        {"no 55 AA", [](std::string& s) { s[511] = 0; }},
        {"says FAT16", [](std::string& s) { s.replace(0x36, 5, "FAT16"); }},
        {"zero bytes per sector", [](std::string& s) { Put16(0x0B, 0, &s); }},
        {"3 sectors per cluster", [](std::string& s) { s[0x0D] = 3; }},
        {"no FATs", [](std::string& s) { s[0x10] = 0; }},
        {"sector count off", [](std::string& s) { Put16(0x13, 2879, &s); }},
        {"FAT too small", [](std::string& s) { Put16(0x16, 1, &s); }},
        {"bad media byte", [](std::string& s) { s[0x15] = 0x12; }},
        {"chain loops back to its start", [](std::string& s) { SetFatEntry(s, 5, 2); }},
        {"two files share clusters", [](std::string& s) { SetFatEntry(s, 7, 4); }},
        {"chain runs into a free cluster", [](std::string& s) { SetFatEntry(s, 3, 0); }},
        {"chain one past the last cluster", [=](std::string& s) { SetFatEntry(s, 6, pastLast); }},
        {"start cluster one past the last", [=](std::string& s) { Put16(ClusterAt(8) + 64 + 26, pastLast, &s); }},
        {"start cluster 1", [](std::string& s) { Put16(kRoot + 26, 1, &s); }},
        {"file larger than its chain", [](std::string& s) { Put16(kRoot + 32 + 28, 1025, &s); }},
        {"directory pointing at the root", [](std::string& s) { Put16(kRoot + 64 + 26, 0, &s); }},
        {"directory containing itself",
         [](std::string& s) { Put16(ClusterAt(8) + 64 + 26, 8, &s); s[ClusterAt(8) + 64 + 11] = 0x10; }},
        {"directory holding a file's clusters", [](std::string& s) { Put16(kRoot + 64 + 26, 6, &s); }},
        {"slash in a name", [](std::string& s) { s[kRoot + 1] = '/'; }},
        {"control byte in a name", [](std::string& s) { s[kRoot + 2] = 0x01; }},
        {"name of spaces", [](std::string& s) { s.replace(kRoot, 11, "           "); }},
        {"same name twice", [](std::string& s) { s.replace(kRoot + 32, 11, "A       TXT"); }},
    };
    for (const auto& c : cases) {
        std::string image = good;
        c.damage(image);
        Tree tree;
        std::string error;
        EXPECT_FALSE(fat12::Unpack(image, &tree, &error)) << c.what;
        EXPECT_FALSE(error.empty()) << c.what;
        EXPECT_TRUE(tree.children.empty()) << c.what;
    }
    const Tree want = UnpackOrDie(good);
    // Every value from 0xFF8 to 0xFFF ends a chain, in files and directories
    // alike: the last clusters of A.TXT, B.TXT, SUB and SUB\C.TXT.
    for (unsigned end = 0xFF8; end < 0xFFF; ++end) {
        std::string image = good;
        for (unsigned c : {5u, 7u, 8u, 9u}) SetFatEntry(image, c, end);
        EXPECT_EQ(TreeDifference(want, UnpackOrDie(image)), "") << std::hex << end;
    }
}

TEST(Paths, BootSectorFileSitsBesideTheDirectory) {
    EXPECT_EQ(fat12::BootSectorPathFor("c:\\temp\\bootimg", "\\/"), "c:\\temp\\bootimg.bs");
    EXPECT_EQ(fat12::BootSectorPathFor("c:\\temp\\bootimg\\\\", "\\/"), "c:\\temp\\bootimg.bs");
    EXPECT_EQ(fat12::BootSectorPathFor("/tmp/tree/", "/"), "/tmp/tree.bs");
    EXPECT_EQ(fat12::BootSectorPathFor("tree\\", "/"), "tree\\.bs") << "a backslash is a name character on POSIX";
}

}  // namespace
