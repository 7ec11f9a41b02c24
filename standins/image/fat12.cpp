#include "fat12.h"

#include <algorithm>
#include <cstring>

namespace fat12 {
namespace {

// Code page 850 (the default DOS code page for western Europe) bytes
// 0x80-0xFF as Unicode, for short names that use them.
const std::uint16_t kCp850High[128] = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7,
    0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5,
    0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,
    0x00FF, 0x00D6, 0x00DC, 0x00F8, 0x00A3, 0x00D8, 0x00D7, 0x0192,
    0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA,
    0x00BF, 0x00AE, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x00C1, 0x00C2, 0x00C0,
    0x00A9, 0x2563, 0x2551, 0x2557, 0x255D, 0x00A2, 0x00A5, 0x2510,
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x00E3, 0x00C3,
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x00A4,
    0x00F0, 0x00D0, 0x00CA, 0x00CB, 0x00C8, 0x0131, 0x00CD, 0x00CE,
    0x00CF, 0x2518, 0x250C, 0x2588, 0x2584, 0x00A6, 0x00CC, 0x2580,
    0x00D3, 0x00DF, 0x00D4, 0x00D2, 0x00F5, 0x00D5, 0x00B5, 0x00FE,
    0x00DE, 0x00DA, 0x00DB, 0x00D9, 0x00FD, 0x00DD, 0x00AF, 0x00B4,
    0x00AD, 0x00B1, 0x2017, 0x00BE, 0x00B6, 0x00A7, 0x00F7, 0x00B8,
    0x00B0, 0x00A8, 0x00B7, 0x00B9, 0x00B3, 0x00B2, 0x25A0, 0x00A0,
};

// Boot code written when no boot sector is kept: at 0x3E, loaded at 0000:7C00.
// It prints the message below through the BIOS, waits for a key and asks the
// BIOS to try the next boot device (int 19h); should that return, it halts.
const unsigned char kOwnBootCode[] = {
    0xFA,              // cli
    0x31, 0xC0,        // xor ax,ax
    0x8E, 0xD8,        // mov ds,ax
    0x8E, 0xD0,        // mov ss,ax
    0xBC, 0x00, 0x7C,  // mov sp,7C00h
    0xFB,              // sti
    0xFC,              // cld
    0xBE, 0x64, 0x7C,  // mov si,7C64h (the message)
    0xAC,              // next: lodsb
    0x84, 0xC0,        // test al,al
    0x74, 0x09,        // jz wait
    0xB4, 0x0E,        // mov ah,0Eh (teletype output)
    0xBB, 0x07, 0x00,  // mov bx,0007h
    0xCD, 0x10,        // int 10h
    0xEB, 0xF2,        // jmp next
    0x31, 0xC0,        // wait: xor ax,ax
    0xCD, 0x16,        // int 16h (read key)
    0xCD, 0x19,        // int 19h (bootstrap loader)
    0xF4,              // halt: hlt
    0xEB, 0xFD,        // jmp halt
};
const char kOwnBootMessage[] =
    "\r\nThis disk is not bootable.\r\n"
    "Insert a boot disk and press any key to try again.\r\n";
constexpr std::size_t kBootCodeOffset = 0x3E;

constexpr std::uint8_t kAttrReadOnly = 0x01;
constexpr std::uint8_t kAttrHidden = 0x02;
constexpr std::uint8_t kAttrSystem = 0x04;
constexpr std::uint8_t kAttrVolume = 0x08;
constexpr std::uint8_t kAttrDirectory = 0x10;
constexpr std::uint8_t kAttrArchive = 0x20;
constexpr std::uint8_t kAttrLongName = 0x0F;

std::uint16_t Get16(const std::string& s, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(s[at]) |
                                      (static_cast<unsigned char>(s[at + 1]) << 8));
}
std::uint32_t Get32(const std::string& s, std::size_t at) {
    return Get16(s, at) | (static_cast<std::uint32_t>(Get16(s, at + 2)) << 16);
}
void Put16(std::string& s, std::size_t at, std::uint32_t v) {
    s[at] = static_cast<char>(v & 0xFF);
    s[at + 1] = static_cast<char>((v >> 8) & 0xFF);
}
void Put32(std::string& s, std::size_t at, std::uint32_t v) {
    Put16(s, at, v & 0xFFFF);
    Put16(s, at + 2, v >> 16);
}
unsigned char Byte(const std::string& s, std::size_t at) { return static_cast<unsigned char>(s[at]); }

void AppendUtf8(std::string& out, std::uint32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }
std::string AsciiUpper(const std::string& s) {
    std::string r = s;
    for (char& c : r) c = AsciiUpper(c);
    return r;
}

bool IsShortNameChar(unsigned char c) {
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) return true;
    return std::strchr("!#$%&'()-@^_`{}~", c) != nullptr && c != 0;
}

// ---------------------------------------------------------------- reading

struct Geometry {
    std::size_t bytesPerSector = 0;
    std::size_t sectorsPerCluster = 0;
    std::size_t fatOffset = 0;  // first FAT, in bytes
    std::size_t rootOffset = 0;
    std::size_t rootEntries = 0;
    std::size_t dataOffset = 0;
    std::size_t clusterSize = 0;
    std::size_t clusterCount = 0;  // data clusters 2 .. clusterCount+1
};

bool ReadGeometry(const std::string& image, Geometry& g, std::string& error) {
    if (image.size() != kImageSize) {
        error = "not a 1.44 MB floppy image: it has " + std::to_string(image.size()) + " bytes, not " +
                std::to_string(kImageSize);
        return false;
    }
    if (Byte(image, 510) != 0x55 || Byte(image, 511) != 0xAA) {
        error = "not a FAT12 floppy image: the boot sector has no 55 AA signature";
        return false;
    }
    const std::size_t bps = Get16(image, 0x0B);
    const std::size_t spc = Byte(image, 0x0D);
    const std::size_t reserved = Get16(image, 0x0E);
    const std::size_t fats = Byte(image, 0x10);
    const std::size_t rootEntries = Get16(image, 0x11);
    std::size_t total = Get16(image, 0x13);
    const unsigned media = Byte(image, 0x15);
    const std::size_t fatSectors = Get16(image, 0x16);
    if (total == 0) total = Get32(image, 0x20);

    if (fatSectors == 0) {
        error = "not a FAT12 floppy image: the boot sector describes FAT32";
        return false;
    }
    if (Byte(image, 0x26) == 0x29) {
        const std::string type = image.substr(0x36, 5);
        if (type == "FAT16" || type == "FAT32") {
            error = "not a FAT12 floppy image: the boot sector says " + type;
            return false;
        }
    }
    const bool bpsOk = bps == 512 || bps == 1024 || bps == 2048 || bps == 4096;
    const bool spcOk = spc != 0 && (spc & (spc - 1)) == 0;
    if (!bpsOk || !spcOk || reserved == 0 || fats == 0 || fats > 2 || rootEntries == 0 ||
        (media != 0xF0 && media < 0xF8) || total * bps != image.size()) {
        error = "not a FAT12 floppy image: the boot sector's parameter block is not valid";
        return false;
    }
    const std::size_t rootSectors = (rootEntries * 32 + bps - 1) / bps;
    const std::size_t metaSectors = reserved + fats * fatSectors + rootSectors;
    if (metaSectors >= total) {
        error = "not a FAT12 floppy image: the parameter block leaves no room for data";
        return false;
    }
    g.bytesPerSector = bps;
    g.sectorsPerCluster = spc;
    g.fatOffset = reserved * bps;
    g.rootOffset = (reserved + fats * fatSectors) * bps;
    g.rootEntries = rootEntries;
    g.dataOffset = metaSectors * bps;
    g.clusterSize = spc * bps;
    g.clusterCount = (total - metaSectors) / spc;
    if (g.clusterCount >= 4085) {
        error = "not a FAT12 floppy image: " + std::to_string(g.clusterCount) +
                " clusters make it FAT16";
        return false;
    }
    if (g.clusterCount == 0 || fatSectors * bps * 2 / 3 < g.clusterCount + 2) {
        error = "not a FAT12 floppy image: the FAT is too small for the disk";
        return false;
    }
    return true;
}

class Reader {
public:
    Reader(const std::string& image, const Geometry& g) : image_(image), g_(g), used_(g.clusterCount + 2, false) {}

    bool ReadRoot(Tree& root) {
        root = Tree();
        root.isDirectory = true;
        return ReadEntries(image_.substr(g_.rootOffset, g_.rootEntries * 32), "", root);
    }

    const std::string& error() const { return error_; }

private:
    unsigned Next(unsigned cluster) const {
        const std::size_t at = g_.fatOffset + cluster * 3 / 2;
        const unsigned pair = Get16(image_, at);
        return (cluster & 1) ? (pair >> 4) : (pair & 0xFFF);
    }

    // Follows a chain from `start`, marking its clusters used. Any cluster out
    // of range, free, bad, or already used by this or another chain makes the
    // image corrupt.
    bool Chain(unsigned start, const std::string& path, std::vector<unsigned>& clusters) {
        unsigned c = start;
        for (;;) {
            if (c < 2 || c > g_.clusterCount + 1) {
                return Fail("corrupt image: " + path + " refers to cluster " + std::to_string(c) +
                            ", outside the disk");
            }
            if (used_[c]) {
                return Fail("corrupt image: the cluster chain of " + path + " runs into cluster " +
                            std::to_string(c) + " a second time (a loop or a cross-link)");
            }
            used_[c] = true;
            clusters.push_back(c);
            const unsigned next = Next(c);
            if (next >= 0xFF8) return true;
            if (next == 0xFF7 || next < 2) {
                return Fail("corrupt image: the cluster chain of " + path + " has a " +
                            (next == 0xFF7 ? "bad" : "free") + " cluster after cluster " + std::to_string(c));
            }
            c = next;
        }
    }

    bool ReadFile(unsigned start, std::uint32_t size, const std::string& path, std::string& data) {
        if (size == 0) return true;  // a chain of an empty file holds nothing to read
        std::vector<unsigned> clusters;
        if (!Chain(start, path, clusters)) return false;
        const std::size_t needed = (size + g_.clusterSize - 1) / g_.clusterSize;
        if (clusters.size() < needed) {
            return Fail("corrupt image: " + path + " has " + std::to_string(size) +
                        " bytes but its cluster chain holds only " +
                        std::to_string(clusters.size() * g_.clusterSize));
        }
        data.reserve(size);
        for (std::size_t i = 0; i < needed; ++i) {
            const std::size_t take = std::min<std::size_t>(g_.clusterSize, size - data.size());
            data.append(image_, ClusterOffset(clusters[i]), take);
        }
        return true;
    }

    std::size_t ClusterOffset(unsigned c) const { return g_.dataOffset + (c - 2) * g_.clusterSize; }

    // Host name of a short entry, or false if the stored name cannot be one.
    bool ShortHostName(const std::string& e, const std::string& path, std::string& name) {
        const unsigned char caseFlags = Byte(e, 12);
        std::string base, ext;
        for (int i = 0; i < 11; ++i) {
            unsigned char c = Byte(e, i);
            if (i == 0 && c == 0x05) c = 0xE5;  // 0xE5 as the first byte is stored as 0x05
            if (c < 0x20 || c == '/' || c == '\\' || c == 0x7F) {
                return Fail("corrupt image: a directory entry in " + (path.empty() ? "\\" : path) +
                            " has a name with unsafe bytes");
            }
            std::string& part = i < 8 ? base : ext;
            if (c >= 'A' && c <= 'Z' && (caseFlags & (i < 8 ? 0x08 : 0x10))) c = static_cast<unsigned char>(c + 32);
            if (c >= 0x80) {
                AppendUtf8(part, kCp850High[c - 0x80]);
            } else {
                part += static_cast<char>(c);
            }
        }
        while (!base.empty() && base.back() == ' ') base.pop_back();
        while (!ext.empty() && ext.back() == ' ') ext.pop_back();
        if (base.empty() || base == "." || base == "..") {
            return Fail("corrupt image: a directory entry in " + (path.empty() ? "\\" : path) +
                        " has an empty or reserved name");
        }
        name = ext.empty() ? base : base + "." + ext;
        return true;
    }

    struct LongName {
        bool active = false;
        unsigned count = 0;     // entries announced by the last one on disk
        unsigned expected = 0;  // sequence number of the next entry
        unsigned checksum = 0;
        std::vector<std::uint16_t> units;  // UTF-16, 13 per entry, first entry first
        void Reset() { *this = LongName(); }
    };

    static unsigned Checksum(const std::string& e) {
        unsigned sum = 0;
        for (int i = 0; i < 11; ++i) sum = (((sum & 1) << 7) + (sum >> 1) + Byte(e, i)) & 0xFF;
        return sum;
    }

    static void TakeLongEntry(const std::string& e, LongName& ln) {
        const unsigned seq = Byte(e, 0);
        if (seq & 0x40) {
            ln.Reset();
            ln.count = seq & 0x1F;
            if (ln.count == 0 || ln.count > 20) return;
            ln.active = true;
            ln.expected = ln.count;
            ln.checksum = Byte(e, 13);
            ln.units.assign(ln.count * 13, 0xFFFF);
        } else if (!ln.active || seq != ln.expected || Byte(e, 13) != ln.checksum) {
            ln.Reset();
            return;
        }
        static const int kOffsets[13] = {1, 3, 5, 7, 9, 14, 16, 18, 20, 22, 24, 28, 30};
        for (int i = 0; i < 13; ++i) ln.units[(seq & 0x1F) * 13 - 13 + i] = Get16(e, kOffsets[i]);
        --ln.expected;
    }

    // The long name if it is complete, belongs to entry `e` and is usable as a
    // host name; empty otherwise.
    static std::string LongHostName(const std::string& e, const LongName& ln) {
        if (!ln.active || ln.expected != 0 || ln.checksum != Checksum(e)) return std::string();
        std::string name;
        for (std::size_t i = 0; i < ln.units.size(); ++i) {
            std::uint32_t u = ln.units[i];
            if (u == 0) break;
            if (u >= 0xD800 && u <= 0xDBFF && i + 1 < ln.units.size() && ln.units[i + 1] >= 0xDC00 &&
                ln.units[i + 1] <= 0xDFFF) {
                u = 0x10000 + ((u - 0xD800) << 10) + (ln.units[i + 1] - 0xDC00);
                ++i;
            } else if (u >= 0xD800 && u <= 0xDFFF) {
                return std::string();
            }
            if (u < 0x20 || u == 0xFFFF || (u < 0x80 && std::strchr("/\\:*?\"<>|", static_cast<int>(u)))) {
                return std::string();
            }
            AppendUtf8(name, u);
        }
        if (name.empty() || name == "." || name == "..") return std::string();
        return name;
    }

    bool ReadEntries(const std::string& entries, const std::string& path, Tree& dir) {
        LongName ln;
        for (std::size_t at = 0; at + 32 <= entries.size(); at += 32) {
            const std::string e = entries.substr(at, 32);
            const unsigned char first = Byte(e, 0);
            const unsigned char attr = Byte(e, 11);
            if (first == 0x00) break;
            if (first == 0xE5) {
                ln.Reset();
                continue;
            }
            if ((attr & 0x3F) == kAttrLongName) {
                TakeLongEntry(e, ln);
                continue;
            }
            if (attr & kAttrVolume) {
                ln.Reset();
                continue;
            }
            if (e.compare(0, 11, ".          ") == 0 || e.compare(0, 11, "..         ") == 0) {
                ln.Reset();
                continue;
            }
            std::string name = LongHostName(e, ln);
            ln.Reset();
            if (name.empty() && !ShortHostName(e, path, name)) return false;
            const std::string childPath = path + "\\" + name;
            for (const Tree& other : dir.children) {
                if (AsciiUpper(other.name) == AsciiUpper(name)) {
                    return Fail("corrupt image: the name " + childPath + " is there twice");
                }
            }
            Tree child;
            child.name = name;
            child.dosTime = Get16(e, 22);
            child.dosDate = Get16(e, 24);
            const unsigned start = Get16(e, 26);
            if (attr & kAttrDirectory) {
                child.isDirectory = true;
                std::vector<unsigned> clusters;
                if (!Chain(start, childPath, clusters)) return false;
                std::string sub;
                sub.reserve(clusters.size() * g_.clusterSize);
                for (unsigned c : clusters) sub.append(image_, ClusterOffset(c), g_.clusterSize);
                if (!ReadEntries(sub, childPath, child)) return false;
            } else if (!ReadFile(start, Get32(e, 28), childPath, child.data)) {
                return false;
            }
            dir.children.push_back(std::move(child));
        }
        return true;
    }

    bool Fail(const std::string& message) {
        error_ = message;
        return false;
    }

    const std::string& image_;
    const Geometry& g_;
    std::vector<bool> used_;
    std::string error_;
};

// ---------------------------------------------------------------- writing

struct Node {
    const Tree* tree = nullptr;
    std::string shortName;  // 11 bytes
    std::uint8_t attributes = 0;
    unsigned firstCluster = 0;
    std::size_t clusters = 0;
    std::vector<Node> children;  // in directory order
};

bool IsBootFile(const std::string& shortName, int& rank) {
    if (shortName == "IO      SYS") {
        rank = 0;
        return true;
    }
    if (shortName == "MSDOS   SYS") {
        rank = 1;
        return true;
    }
    return false;
}

bool Prepare(const Tree& dir, const std::string& path, bool isRoot, Node& node, std::size_t& totalClusters,
             std::string& error) {
    node.tree = &dir;
    std::vector<Node> kids;
    for (const Tree& child : dir.children) {
        Node k;
        const std::string childPath = path + "\\" + child.name;
        std::string why;
        if (!ShortNameFor(child.name, k.shortName, why)) {
            error = childPath + ": " + why;
            return false;
        }
        for (const Node& other : kids) {
            if (other.shortName == k.shortName) {
                error = childPath + ": the name is there twice when case is ignored (" + other.tree->name + ")";
                return false;
            }
        }
        if (child.isDirectory) {
            if (!Prepare(child, childPath, false, k, totalClusters, error)) return false;
            k.attributes = kAttrDirectory;
            k.clusters = ((child.children.size() + 2) * 32 + kSectorSize - 1) / kSectorSize;
        } else {
            k.tree = &child;
            k.attributes = kAttrArchive;
            k.clusters = (child.data.size() + kSectorSize - 1) / kSectorSize;
            int rank;
            if (isRoot && IsBootFile(k.shortName, rank)) {
                k.attributes = kAttrReadOnly | kAttrHidden | kAttrSystem | kAttrArchive;
            }
        }
        totalClusters += k.clusters;
        kids.push_back(std::move(k));
    }
    if (isRoot && kids.size() > kRootEntries) {
        error = "the top directory has " + std::to_string(kids.size()) + " entries; a floppy holds at most " +
                std::to_string(kRootEntries) + " there";
        return false;
    }
    std::stable_sort(kids.begin(), kids.end(), [isRoot](const Node& a, const Node& b) {
        int ra = 2, rb = 2;
        if (isRoot && !a.tree->isDirectory) IsBootFile(a.shortName, ra);
        if (isRoot && !b.tree->isDirectory) IsBootFile(b.shortName, rb);
        if (ra != rb) return ra < rb;
        return AsciiUpper(a.tree->name) < AsciiUpper(b.tree->name);
    });
    node.children = std::move(kids);
    return true;
}

void Allocate(Node& dir, unsigned& nextCluster) {
    for (Node& k : dir.children) {
        if (k.clusters == 0) continue;
        k.firstCluster = nextCluster;
        nextCluster += static_cast<unsigned>(k.clusters);
    }
    for (Node& k : dir.children) {
        if (k.tree->isDirectory) Allocate(k, nextCluster);
    }
}

void SetFat(std::string& image, unsigned cluster, unsigned value) {
    for (std::size_t copy = 0; copy < 2; ++copy) {
        const std::size_t at = (1 + copy * kFatSectors) * kSectorSize + cluster * 3 / 2;
        unsigned pair = Get16(image, at);
        pair = (cluster & 1) ? ((pair & 0x000F) | (value << 4)) : ((pair & 0xF000) | value);
        Put16(image, at, pair);
    }
}

void PutEntry(std::string& image, std::size_t at, const std::string& shortName, std::uint8_t attributes,
              std::uint16_t date, std::uint16_t time, unsigned firstCluster, std::uint32_t size) {
    image.replace(at, 11, shortName);
    image[at + 11] = static_cast<char>(attributes);
    Put16(image, at + 14, time);  // creation time and date as the write time
    Put16(image, at + 16, date);
    Put16(image, at + 18, date);  // last access date
    Put16(image, at + 22, time);
    Put16(image, at + 24, date);
    Put16(image, at + 26, firstCluster);
    Put32(image, at + 28, size);
}

std::size_t ClusterAt(unsigned cluster) { return (kFirstDataSector + cluster - 2) * kSectorSize; }

void WriteDirectory(std::string& image, const Node& dir, std::size_t entriesAt, unsigned parentCluster,
                    bool isRoot) {
    std::size_t at = entriesAt;
    if (!isRoot) {
        PutEntry(image, at, ".          ", kAttrDirectory, dir.tree->dosDate, dir.tree->dosTime, dir.firstCluster, 0);
        PutEntry(image, at + 32, "..         ", kAttrDirectory, dir.tree->dosDate, dir.tree->dosTime, parentCluster,
                 0);
        at += 64;
    }
    for (const Node& k : dir.children) {
        const Tree& t = *k.tree;
        PutEntry(image, at, k.shortName, k.attributes, t.dosDate, t.dosTime, k.firstCluster,
                 t.isDirectory ? 0 : static_cast<std::uint32_t>(t.data.size()));
        at += 32;
        for (std::size_t i = 0; i < k.clusters; ++i) {
            const unsigned c = k.firstCluster + static_cast<unsigned>(i);
            SetFat(image, c, i + 1 == k.clusters ? 0xFFF : c + 1);
        }
        if (!t.isDirectory) {
            image.replace(ClusterAt(k.firstCluster), t.data.size(), t.data);
        } else {
            WriteDirectory(image, k, ClusterAt(k.firstCluster), isRoot ? 0 : dir.firstCluster, false);
        }
    }
}

void WriteBootSector(std::string& image, const std::string* kept) {
    std::string bs(kSectorSize, '\0');
    bool keepSerial = false;
    if (kept) {
        bs = *kept;
        keepSerial = Byte(bs, 0x26) == 0x29;
    } else {
        bs[0] = static_cast<char>(0xEB);
        bs[1] = static_cast<char>(kBootCodeOffset - 2);
        bs[2] = static_cast<char>(0x90);
        bs.replace(3, 8, "RPLIMAGE");
        bs.replace(kBootCodeOffset, sizeof kOwnBootCode, reinterpret_cast<const char*>(kOwnBootCode),
                   sizeof kOwnBootCode);
        bs.replace(kBootCodeOffset + sizeof kOwnBootCode, sizeof kOwnBootMessage, kOwnBootMessage,
                   sizeof kOwnBootMessage);
    }
    const std::string serialAndLabel = keepSerial ? bs.substr(0x27, 15) : std::string();
    Put16(bs, 0x0B, kSectorSize);
    bs[0x0D] = 1;  // sectors per cluster
    Put16(bs, 0x0E, 1);  // reserved sectors
    bs[0x10] = 2;  // FATs
    Put16(bs, 0x11, kRootEntries);
    Put16(bs, 0x13, kTotalSectors);
    bs[0x15] = static_cast<char>(0xF0);
    Put16(bs, 0x16, kFatSectors);
    Put16(bs, 0x18, 18);  // sectors per track
    Put16(bs, 0x1A, 2);   // heads
    Put32(bs, 0x1C, 0);   // hidden sectors
    Put32(bs, 0x20, 0);   // large sector count
    bs[0x24] = 0;         // BIOS drive A:
    bs[0x25] = 0;
    bs[0x26] = 0x29;
    if (keepSerial) {
        bs.replace(0x27, 15, serialAndLabel);
    } else {
        bs.replace(0x2B, 11, "NO NAME    ");
    }
    bs.replace(0x36, 8, "FAT12   ");
    bs[510] = 0x55;
    bs[511] = static_cast<char>(0xAA);
    image.replace(0, kSectorSize, bs);
    if (!keepSerial) {
        // A serial derived from the contents keeps images of the same tree identical.
        std::uint32_t h = 2166136261u;
        for (unsigned char c : image) h = (h ^ c) * 16777619u;
        Put32(image, 0x27, h);
    }
}

}  // namespace

void DosStampFromDateTime(const DateTime& w, std::uint16_t& dosDate, std::uint16_t& dosTime) {
    if (w.year < 1980) {
        dosDate = (0 << 9) | (1 << 5) | 1;
        dosTime = 0;
        return;
    }
    if (w.year > 2107) {
        dosDate = static_cast<std::uint16_t>((127 << 9) | (12 << 5) | 31);
        dosTime = static_cast<std::uint16_t>((23 << 11) | (59 << 5) | 29);
        return;
    }
    dosDate = static_cast<std::uint16_t>(((w.year - 1980) << 9) | (w.month << 5) | w.day);
    dosTime = static_cast<std::uint16_t>((w.hour << 11) | (w.minute << 5) | (w.second / 2));
}

DateTime DateTimeFromDosStamp(std::uint16_t dosDate, std::uint16_t dosTime) {
    static const int kDays[12] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    DateTime w;
    w.year = 1980 + (dosDate >> 9);
    w.month = std::min(std::max((dosDate >> 5) & 0x0F, 1), 12);
    const bool leap = (w.year % 4 == 0 && w.year % 100 != 0) || w.year % 400 == 0;
    const int days = (w.month == 2 && !leap) ? 28 : kDays[w.month - 1];
    w.day = std::min(std::max(dosDate & 0x1F, 1), days);
    w.hour = std::min(dosTime >> 11, 23);
    w.minute = std::min((dosTime >> 5) & 0x3F, 59);
    w.second = std::min((dosTime & 0x1F) * 2, 58);
    return w;
}

DateTime DateTimeFromUnixSeconds(long long seconds) {
    long long days = seconds / 86400;
    long long rest = seconds % 86400;
    if (rest < 0) {
        rest += 86400;
        --days;
    }
    // Civil date from a day count (proleptic Gregorian calendar).
    days += 719468;
    const long long era = (days >= 0 ? days : days - 146096) / 146097;
    const long long dayOfEra = days - era * 146097;
    const long long yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const long long dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const long long mp = (5 * dayOfYear + 2) / 153;
    DateTime w;
    w.day = static_cast<int>(dayOfYear - (153 * mp + 2) / 5 + 1);
    w.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    w.year = static_cast<int>(yearOfEra + era * 400 + (w.month <= 2 ? 1 : 0));
    w.hour = static_cast<int>(rest / 3600);
    w.minute = static_cast<int>(rest / 60 % 60);
    w.second = static_cast<int>(rest % 60);
    return w;
}

void ClampStamps(Tree& tree, std::uint16_t dosDate, std::uint16_t dosTime) {
    const std::uint32_t limit = (static_cast<std::uint32_t>(dosDate) << 16) | dosTime;
    for (Tree& child : tree.children) {
        if (((static_cast<std::uint32_t>(child.dosDate) << 16) | child.dosTime) > limit) {
            child.dosDate = dosDate;
            child.dosTime = dosTime;
        }
        ClampStamps(child, dosDate, dosTime);
    }
}

bool ShortNameFor(const std::string& hostName, std::string& shortName, std::string& error) {
    const std::size_t dot = hostName.find('.');
    const std::string base = hostName.substr(0, dot);
    const std::string ext = dot == std::string::npos ? std::string() : hostName.substr(dot + 1);
    if (base.empty() || base.size() > 8 || ext.size() > 3 || ext.find('.') != std::string::npos ||
        (dot != std::string::npos && ext.empty())) {
        error = "not a valid 8.3 name (at most 8 characters, a dot and at most 3 more)";
        return false;
    }
    for (char c : hostName) {
        if (c != '.' && !IsShortNameChar(static_cast<unsigned char>(c))) {
            error = "not a valid 8.3 name: only letters, digits and ! # $ % & ' ( ) - @ ^ _ ` { } ~ may be used";
            return false;
        }
    }
    static const char* const kDevices[] = {"CON",  "PRN",  "AUX",  "NUL",  "COM1", "COM2", "COM3",
                                           "COM4", "LPT1", "LPT2", "LPT3", "CLOCK$"};
    const std::string upperBase = AsciiUpper(base);
    for (const char* device : kDevices) {
        if (upperBase == device) {
            error = "not usable as a file name: DOS reserves " + upperBase + " for a device";
            return false;
        }
    }
    shortName = upperBase + std::string(8 - base.size(), ' ') + AsciiUpper(ext) + std::string(3 - ext.size(), ' ');
    return true;
}

bool Unpack(const std::string& image, Tree& root, std::string& error) {
    root = Tree();
    root.isDirectory = true;
    Geometry g;
    if (!ReadGeometry(image, g, error)) return false;
    Reader reader(image, g);
    if (!reader.ReadRoot(root)) {
        error = reader.error();
        root = Tree();
        root.isDirectory = true;
        return false;
    }
    return true;
}

bool Pack(const Tree& root, const std::string* bootSector, std::string& image, std::string& error) {
    image.clear();
    if (bootSector) {
        if (bootSector->size() != kSectorSize) {
            error = "the kept boot sector has " + std::to_string(bootSector->size()) + " bytes, not 512";
            return false;
        }
        const unsigned char op = Byte(*bootSector, 0);
        std::size_t target = 0;
        if (op == 0xEB) {
            target = 2 + Byte(*bootSector, 1);
        } else if (op == 0xE9) {
            target = (3 + Get16(*bootSector, 1)) & 0xFFFF;
        } else {
            error = "the kept boot sector does not start with a jump to its code";
            return false;
        }
        if (target < kBootCodeOffset || target >= 510) {
            error = "the kept boot sector's code starts at offset " + std::to_string(target) +
                    ", inside the parameter block this tool writes";
            return false;
        }
    }
    Node top;
    std::size_t clusters = 0;
    if (!Prepare(root, "", true, top, clusters, error)) return false;
    if (clusters > kDataClusters) {
        error = "the tree does not fit on a 1.44 MB floppy: it needs " + std::to_string(clusters * kSectorSize) +
                " bytes of clusters and the floppy has " + std::to_string(kDataCapacity);
        return false;
    }
    unsigned next = 2;
    Allocate(top, next);

    std::string out(kImageSize, '\0');
    SetFat(out, 0, 0xFF0);
    SetFat(out, 1, 0xFFF);
    WriteDirectory(out, top, (1 + 2 * kFatSectors) * kSectorSize, 0, true);
    WriteBootSector(out, bootSector);
    image.swap(out);
    return true;
}

std::string BootSectorPathFor(const std::string& dir, const char* separators) {
    std::string d = dir;
    while (d.size() > 1 && std::strchr(separators, d.back()) && d.back() != '\0') d.pop_back();
    return d + ".bs";
}

}  // namespace fat12
