// The walks over whole directory trees, written once over the few calls in
// which the hosts differ (host_fs.h): reading a tree, writing one in place of
// another, removing one, and finding a free name beside a path.
#include "imagetools/host_fs.h"
#include "imagetools/tree_io.h"

namespace treeio {
namespace {

// Temporary names tried beside a path before giving up.
const int kTemporaryTries = 1000;

// Reads the entries of `dir`, `depth` levels below the top, into `tree`.
bool ReadChildren(const std::string& dir, int depth, size_t* budget, fat12::Tree* tree, std::string* error) {
  if (depth > fat12::kMaxDepth) {
    *error = dir + " is nested more than " + std::to_string(fat12::kMaxDepth) +
             " levels deep, deeper than DOS can reach";
    return false;
  }
  std::vector<Entry> entries;
  if (!List(dir, /*follow_links=*/true, &entries, error)) return false;
  for (const Entry& e : entries) {
    std::string path = Join(dir, e.name);
    fat12::Tree child;
    child.name = e.name;
    child.dos_date = e.dos_date;
    child.dos_time = e.dos_time;
    // Every directory takes a cluster; charging for it bounds the walk even
    // where links make the tree endless.
    unsigned long long cost = e.kind == Kind::kDirectory ? fat12::kSectorSize : e.size;
    if (cost > *budget) {
      *error = "the tree does not fit on a 1.44 MB floppy (stopped at " + path + ")";
      return false;
    }
    *budget -= static_cast<size_t>(cost);
    if (e.kind == Kind::kDirectory) {
      child.is_directory = true;
      if (!ReadChildren(path, depth + 1, budget, &child, error)) return false;
    } else if (e.kind == Kind::kFile) {
      if (!ReadWholeFile(path, static_cast<size_t>(cost), &child.data, error)) return false;
    } else {
      *error = path + " is neither a file nor a directory";
      return false;
    }
    tree->children.push_back(std::move(child));
  }
  return true;
}

bool WriteChildren(const std::string& dir, const fat12::Tree& tree, std::string* error) {
  for (const fat12::Tree& child : tree.children) {
    std::string path = Join(dir, child.name);
    if (child.is_directory) {
      if (!MakeDirectory(path)) {
        *error = Reason("cannot create the directory", path);
        return false;
      }
      if (!WriteChildren(path, child, error)) return false;
    } else if (!WriteNewFile(path, child.data, error)) {
      return false;
    }
    if (!SetStamp(path, child.dos_date, child.dos_time, error)) return false;
  }
  return true;
}

}  // namespace

bool TemporaryBeside(const std::string& path, std::string* temp, std::string* error) {
  std::string base = path + ".tmp" + std::to_string(ProcessNumber());
  for (int n = 0; n < kTemporaryTries; ++n) {
    std::string candidate = n ? base + "-" + std::to_string(n) : base;
    Kind kind = KindOf(candidate, /*follow_links=*/false);
    if (kind == Kind::kUnknown) {
      *error = Reason("cannot make a temporary name beside", path);
      return false;
    }
    if (kind != Kind::kMissing) continue;
    *temp = candidate;
    return true;
  }
  *error = "cannot make a temporary name beside " + path + ": " + std::to_string(kTemporaryTries) +
           " names are taken";
  return false;
}

bool RemoveTree(const std::string& path, std::string* error) {
  Kind kind = KindOf(path, /*follow_links=*/false);
  if (kind == Kind::kMissing) return true;
  if (kind == Kind::kUnknown) {
    *error = Reason("cannot remove", path);
    return false;
  }
  if (kind != Kind::kDirectory) {
    if (RemoveFile(path)) return true;
    *error = Reason("cannot remove", path);
    return false;
  }
  bool ok = true;
  std::vector<Entry> entries;
  std::string ignored;  // an unreadable directory fails below, when it is removed
  List(path, /*follow_links=*/false, &entries, &ignored);
  for (const Entry& e : entries) {
    std::string why;
    if (!RemoveTree(Join(path, e.name), &why) && ok) {
      *error = why;
      ok = false;
    }
  }
  if (!RemoveEmptyDirectory(path) && ok) {
    *error = Reason("cannot remove", path);
    ok = false;
  }
  return ok;
}

bool ReadTree(const std::string& dir, size_t max_bytes, fat12::Tree* tree, std::string* error) {
  *tree = fat12::Tree();
  tree->is_directory = true;
  Kind kind = KindOf(dir, /*follow_links=*/true);
  if (kind == Kind::kMissing || kind == Kind::kUnknown) {
    *error = Reason("cannot read", dir);
    return false;
  }
  if (kind != Kind::kDirectory) {
    *error = dir + " is not a directory";
    return false;
  }
  size_t budget = max_bytes;
  return ReadChildren(dir, 0, &budget, tree, error);
}

bool WriteTree(const std::string& dir_in, const fat12::Tree& tree, const std::string* boot_sector,
               const std::string& boot_sector_path, std::string* error) {
  std::string dir = WithoutTrailingSeparators(dir_in);
  Kind kind = KindOf(dir, /*follow_links=*/false);
  bool existed = kind != Kind::kMissing && kind != Kind::kUnknown;
  if (existed && kind != Kind::kDirectory) {
    *error = dir + " exists and is not a directory";
    return false;
  }

  // The new tree is made complete beside the old one; only then does it
  // take the old one's place, so a run never mixes old files into the new
  // tree and a failure leaves the old tree as it was.
  std::string temp, old, bs_temp;
  if (!TemporaryBeside(dir, &temp, error) || !TemporaryBeside(dir + ".old", &old, error)) return false;
  if (boot_sector && !TemporaryBeside(boot_sector_path, &bs_temp, error)) return false;
  if (!MakeDirectory(temp)) {
    *error = Reason("cannot create the directory", temp);
    return false;
  }
  bool ok = WriteChildren(temp, tree, error);
  bool bs_made = false;
  if (ok && boot_sector) ok = bs_made = WriteNewFile(bs_temp, *boot_sector, error);
  if (ok && existed && !Rename(dir, old, /*replace=*/false)) {
    *error = Reason("cannot replace the directory", dir);
    ok = false;
  }
  if (ok && !Rename(temp, dir, /*replace=*/false)) {
    *error = Reason("cannot create the directory", dir);
    if (existed) Rename(old, dir, false);
    ok = false;
  }
  if (!ok) {
    std::string ignored;
    RemoveTree(temp, &ignored);
    if (boot_sector) RemoveFile(bs_temp);
    return false;
  }
  if (bs_made && !Rename(bs_temp, boot_sector_path, /*replace=*/true)) {
    *error = Reason("cannot write", boot_sector_path);
    RemoveFile(bs_temp);
    std::string ignored;
    RemoveTree(dir, &ignored);
    if (existed) Rename(old, dir, false);
    return false;
  }
  std::string why;
  if (existed && !RemoveTree(old, &why)) {
    *error = dir + " holds the new tree, but the old one is left in " + old + " (" + why + ")";
    return false;
  }
  return true;
}

}  // namespace treeio
