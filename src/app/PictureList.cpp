#include "app/PictureList.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>

#include "base/Selection.h"

namespace snapwick {

void PictureList::SetFiles(const std::string& selection) {
  FileList = SelectionEntries(selection);
  const auto n = static_cast<int32_t>(FileList.size());
  if (n == 1) {
    CurrentFile = 0;
    FileCount = 1;
  } else {
    // No entries at all leaves the list used up from the start.
    CurrentFile = n == 0 ? 0 : 1;
    FileCount = n;
  }
}

std::string PictureList::PathOf(int32_t entry) const {
  if (entry == 0) return FileList[0];
  const std::string& name = FileList[static_cast<size_t>(entry)];
  return FileList[0].empty() && !name.empty() && name[0] == '/' ? name : FileList[0] + "/" + name;
}

std::string PictureList::GetFile() {
  if (CurrentFile >= FileCount) return std::string();
  std::string path = PathOf(CurrentFile);
  if (CurrentFile != 0) ++CurrentFile;
  return path;
}

std::string PictureList::PeekFile() const {
  return CurrentFile < FileCount ? PathOf(CurrentFile) : std::string();
}

std::string PictureList::PeekFileBefore() const {
  return CurrentFile >= 3 ? PathOf(CurrentFile - 2) : std::string();
}

std::vector<std::string> PictureList::Pictures() const {
  if (FileList.size() <= 1) return FileList;
  return std::vector<std::string>(FileList.begin() + 1, FileList.end());
}

std::vector<std::string> PictureList::PicturePaths() const {
  if (FileCount == 1) return {PathOf(0)};
  std::vector<std::string> paths;
  for (int32_t entry = 1; entry < FileCount; ++entry)
    paths.push_back(PathOf(entry));
  return paths;
}

bool PictureList::StepBack() {
  if (CurrentFile < 3) return false;
  CurrentFile -= 2;
  return true;
}

namespace {

std::string CurrentFolder() {
  char buffer[PATH_MAX];
  return ::getcwd(buffer, sizeof buffer) != nullptr ? std::string(buffer) : std::string();
}

std::string Absolute(const std::string& path, const std::string& folder) {
  return !path.empty() && path[0] == '/' ? path : (folder == "/" ? "" : folder) + "/" + path;
}

}  // namespace

std::vector<std::string> ExistingFiles(const std::vector<std::string>& paths) {
  const std::string folder = CurrentFolder();
  std::vector<std::string> files;
  for (const std::string& path : paths) {
    struct stat st {};
    if (path.empty() || ::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
    files.push_back(Absolute(path, folder));
  }
  return files;
}

std::vector<std::string> AbsolutePaths(const std::vector<std::string>& paths) {
  const std::string folder = CurrentFolder();
  std::vector<std::string> absolute;
  absolute.reserve(paths.size());
  for (const std::string& path : paths)
    absolute.push_back(Absolute(path, folder));
  return absolute;
}

}  // namespace snapwick
