#include "base/Selection.h"

namespace snapwick {

std::string SelectionFor(const std::vector<std::string>& paths) {
  if (paths.size() <= 1) return paths.empty() ? std::string() : paths.front();
  const auto folderOf = [](const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash == 0 ? 1 : slash);
  };
  const std::string folder = folderOf(paths.front());
  bool oneFolder = !folder.empty();
  for (const std::string& path : paths)
    oneFolder = oneFolder && folderOf(path) == folder;
  std::string selection = oneFolder ? folder : std::string();
  for (const std::string& path : paths) {
    selection += '\0';
    selection += oneFolder ? path.substr(path.rfind('/') + 1) : path;
  }
  return selection;
}

std::vector<std::string> SelectionEntries(const std::string& selection) {
  std::vector<std::string> entries;
  if (selection.empty()) return entries;
  size_t start = 0;
  for (;;) {
    const size_t nul = selection.find('\0', start);
    entries.push_back(selection.substr(start, nul - start));
    if (nul == std::string::npos) break;
    start = nul + 1;
  }
  return entries;
}

}  // namespace snapwick
