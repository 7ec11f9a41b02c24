// Host files and directory trees through POSIX calls and C stdio.
#include <dirent.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>
#include <utime.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "standins/image/tree_io.h"

namespace treeio {
namespace {

std::string Reason(const std::string& what, const std::string& path) {
    return what + " " + path + ": " + std::strerror(errno);
}

std::string Join(const std::string& dir, const std::string& name) {
    if (!dir.empty() && dir.back() == '/') return dir + name;
    return dir + "/" + name;
}

std::string WithoutTrailingSeparators(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

fat12::DateTime LocalTime(std::time_t t) {
    std::tm tm{};
    localtime_r(&t, &tm);
    fat12::DateTime w;
    w.year = tm.tm_year + 1900;
    w.month = tm.tm_mon + 1;
    w.day = tm.tm_mday;
    w.hour = tm.tm_hour;
    w.minute = tm.tm_min;
    w.second = tm.tm_sec;
    return w;
}

bool SetTime(const std::string& path, std::uint16_t dos_date, std::uint16_t dos_time, std::string& error) {
    const fat12::DateTime w = fat12::DateTimeFromDosStamp(dos_date, dos_time);
    std::tm tm{};
    tm.tm_year = w.year - 1900;
    tm.tm_mon = w.month - 1;
    tm.tm_mday = w.day;
    tm.tm_hour = w.hour;
    tm.tm_min = w.minute;
    tm.tm_sec = w.second;
    tm.tm_isdst = -1;
    utimbuf times{};
    times.actime = times.modtime = std::mktime(&tm);
    if (utime(path.c_str(), &times) != 0) {
        error = Reason("cannot set the time of", path);
        return false;
    }
    return true;
}

bool WriteFileData(const std::string& path, const std::string& data, std::string& error) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        error = Reason("cannot create", path);
        return false;
    }
    const bool written = std::fwrite(data.data(), 1, data.size(), f) == data.size();
    const bool closed = std::fclose(f) == 0;
    if (!written || !closed) {
        error = Reason("cannot write", path);
        return false;
    }
    return true;
}

// Removes a tree this program created (no links inside it to follow).
void RemoveTree(const std::string& path) {
    struct stat st{};
    if (lstat(path.c_str(), &st) != 0) return;
    if (S_ISDIR(st.st_mode)) {
        if (DIR* d = opendir(path.c_str())) {
            std::vector<std::string> names;
            while (dirent* e = readdir(d)) {
                if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0) names.push_back(e->d_name);
            }
            closedir(d);
            for (const std::string& n : names) RemoveTree(Join(path, n));
        }
        rmdir(path.c_str());
    } else {
        unlink(path.c_str());
    }
}

bool WriteChildren(const std::string& dir, const fat12::Tree& tree, std::string& error) {
    for (const fat12::Tree& child : tree.children) {
        const std::string path = Join(dir, child.name);
        if (child.is_directory) {
            if (mkdir(path.c_str(), 0777) != 0) {
                error = Reason("cannot create the directory", path);
                return false;
            }
            if (!WriteChildren(path, child, error)) return false;
        } else if (!WriteFileData(path, child.data, error)) {
            return false;
        }
        if (!SetTime(path, child.dos_date, child.dos_time, error)) return false;
    }
    return true;
}

// A name beside `path` that does not exist yet, for a temporary file or directory.
std::string TemporaryBeside(const std::string& path) {
    for (unsigned n = 0;; ++n) {
        const std::string candidate =
            path + ".tmp" + std::to_string(static_cast<long>(getpid())) + (n ? "-" + std::to_string(n) : "");
        struct stat st{};
        if (lstat(candidate.c_str(), &st) != 0 && errno == ENOENT) return candidate;
    }
}

bool ReadChildren(const std::string& dir, std::size_t& budget, fat12::Tree& tree, std::string& error) {
    DIR* d = opendir(dir.c_str());
    if (!d) {
        error = Reason("cannot read the directory", dir);
        return false;
    }
    std::vector<std::string> names;
    while (dirent* e = readdir(d)) {
        if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0) names.push_back(e->d_name);
    }
    closedir(d);
    for (const std::string& name : names) {
        const std::string path = Join(dir, name);
        struct stat st{};
        if (stat(path.c_str(), &st) != 0) {
            error = Reason("cannot read", path);
            return false;
        }
        fat12::Tree child;
        child.name = name;
        fat12::DosStampFromDateTime(LocalTime(st.st_mtime), &child.dos_date, &child.dos_time);
        // Every directory takes a cluster; charging for it bounds the walk even
        // where links make the tree endless.
        const std::size_t cost = S_ISDIR(st.st_mode) ? fat12::kSectorSize : static_cast<std::size_t>(st.st_size);
        if (cost > budget) {
            error = "the tree does not fit on a 1.44 MB floppy (stopped at " + path + ")";
            return false;
        }
        budget -= cost;
        if (S_ISDIR(st.st_mode)) {
            child.is_directory = true;
            if (!ReadChildren(path, budget, child, error)) return false;
        } else if (S_ISREG(st.st_mode)) {
            if (!ReadWholeFile(path, cost, child.data, error)) return false;
        } else {
            error = path + " is neither a file nor a directory";
            return false;
        }
        tree.children.push_back(std::move(child));
    }
    return true;
}

}  // namespace

std::vector<std::string> Arguments(int argc, char** argv) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.push_back(argv[i]);
    return args;
}

const char* PathSeparators() { return "/"; }

bool ReadWholeFile(const std::string& path, std::size_t maxSize, std::string& data, std::string& error,
                   bool* missing) {
    if (missing) *missing = false;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
        if (missing) *missing = errno == ENOENT;
        error = Reason("cannot open", path);
        return false;
    }
    struct stat st{};
    if (fstat(fileno(f), &st) != 0 || !S_ISREG(st.st_mode)) {
        std::fclose(f);
        error = path + " is not a file";
        return false;
    }
    if (static_cast<unsigned long long>(st.st_size) > maxSize) {
        std::fclose(f);
        error = path + " is too big: " + std::to_string(static_cast<long long>(st.st_size)) + " bytes";
        return false;
    }
    data.assign(static_cast<std::size_t>(st.st_size), '\0');
    const std::size_t got = data.empty() ? 0 : std::fread(&data[0], 1, data.size(), f);
    const bool more = std::fgetc(f) != EOF;  // grew while being read
    std::fclose(f);
    if (got != data.size() || more) {
        error = "cannot read " + path + " whole";
        return false;
    }
    return true;
}

bool WriteFileReplacing(const std::string& path, const std::string& data, std::string& error) {
    const std::string temp = TemporaryBeside(path);
    if (!WriteFileData(temp, data, error)) {
        unlink(temp.c_str());
        return false;
    }
    if (std::rename(temp.c_str(), path.c_str()) != 0) {
        error = Reason("cannot write", path);
        unlink(temp.c_str());
        return false;
    }
    return true;
}

bool ReadTree(const std::string& dir, std::size_t maxBytes, fat12::Tree& tree, std::string& error) {
    tree = fat12::Tree();
    tree.is_directory = true;
    struct stat st{};
    if (stat(dir.c_str(), &st) != 0) {
        error = Reason("cannot read", dir);
        return false;
    }
    if (!S_ISDIR(st.st_mode)) {
        error = dir + " is not a directory";
        return false;
    }
    std::size_t budget = maxBytes;
    return ReadChildren(dir, budget, tree, error);
}

bool WriteTree(const std::string& dirIn, const fat12::Tree& tree, const std::string* bootSector,
               const std::string& bootSectorPath, std::string& error) {
    const std::string dir = WithoutTrailingSeparators(dirIn);
    struct stat st{};
    const bool existed = lstat(dir.c_str(), &st) == 0;
    if (existed && !S_ISDIR(st.st_mode)) {
        error = dir + " exists and is not a directory";
        return false;
    }

    // The new tree is made complete beside the old one; only then does it
    // take the old one's place, so a run never mixes old files into the new
    // tree and a failure leaves the old tree as it was.
    const std::string temp = TemporaryBeside(dir);
    const std::string old = TemporaryBeside(dir + ".old");
    if (mkdir(temp.c_str(), 0777) != 0) {
        error = Reason("cannot create the directory", temp);
        return false;
    }
    std::string bsTemp;
    bool ok = WriteChildren(temp, tree, error);
    if (ok && bootSector) {
        bsTemp = TemporaryBeside(bootSectorPath);
        ok = WriteFileData(bsTemp, *bootSector, error);
    }
    if (ok && existed && std::rename(dir.c_str(), old.c_str()) != 0) {
        error = Reason("cannot replace the directory", dir);
        ok = false;
    }
    if (ok && std::rename(temp.c_str(), dir.c_str()) != 0) {
        error = Reason("cannot create the directory", dir);
        if (existed) std::rename(old.c_str(), dir.c_str());
        ok = false;
    }
    if (!ok) {
        RemoveTree(temp);
        if (!bsTemp.empty()) unlink(bsTemp.c_str());
        return false;
    }
    if (bootSector && std::rename(bsTemp.c_str(), bootSectorPath.c_str()) != 0) {
        error = Reason("cannot write", bootSectorPath);
        unlink(bsTemp.c_str());
        RemoveTree(dir);
        if (existed) std::rename(old.c_str(), dir.c_str());
        return false;
    }
    if (existed) RemoveTree(old);
    return true;
}

}  // namespace treeio
