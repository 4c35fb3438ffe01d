#include "base/FileSet.h"

#include <sys/stat.h>

#include <algorithm>

namespace snapwick {

namespace {

bool IdentityOf(const std::string& path, std::pair<uint64_t, uint64_t>& identity) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return false;
  identity = {static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino)};
  return true;
}

}  // namespace

FileSet::FileSet(const std::vector<std::string>& paths) {
  files_.reserve(paths.size());
  for (const std::string& path : paths) {
    std::pair<uint64_t, uint64_t> identity;
    if (IdentityOf(path, identity)) files_.push_back(identity);
  }
  std::sort(files_.begin(), files_.end());
}

bool FileSet::Holds(const std::string& path) const {
  std::pair<uint64_t, uint64_t> identity;
  return !files_.empty() && IdentityOf(path, identity) &&
         std::binary_search(files_.begin(), files_.end(), identity);
}

}  // namespace snapwick
