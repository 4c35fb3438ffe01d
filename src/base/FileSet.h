#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace snapwick {

// Files known by what they are rather than by how they are named: two paths that lead to one file
// (a symbolic link, a hard link, another spelling of the folder) are one member. Paths that cannot
// be looked up when the set is made are not members.
class FileSet {
 public:
  explicit FileSet(const std::vector<std::string>& paths);

  // Whether the path leads to one of the files, as it is now; false when it cannot be looked up.
  bool Holds(const std::string& path) const;

 private:
  std::vector<std::pair<uint64_t, uint64_t>> files_;  // device and inode, sorted
};

}  // namespace snapwick
