#include "app/PictureList.h"

namespace snapwick {

void PictureList::SetFiles(const std::string& selection) {
  FileList.clear();
  if (!selection.empty()) {
    size_t start = 0;
    for (;;) {
      const size_t nul = selection.find('\0', start);
      FileList.push_back(selection.substr(start, nul - start));
      if (nul == std::string::npos) break;
      start = nul + 1;
    }
  }
  const auto n = static_cast<int32_t>(FileList.size());
  if (n == 1) {
    CurrentFile = 0;
    FileCount = 1;
  } else {
    // No parts at all leaves the list used up from the start.
    CurrentFile = n == 0 ? 0 : 1;
    FileCount = n;
  }
}

std::string PictureList::GetFile() {
  if (CurrentFile >= FileCount) return std::string();
  if (CurrentFile == 0) return FileList[0];
  std::string path = FileList[0] + "/" + FileList[static_cast<size_t>(CurrentFile)];
  ++CurrentFile;
  return path;
}

bool PictureList::StepBack() {
  if (CurrentFile < 3) return false;
  CurrentFile -= 2;
  return true;
}

}  // namespace snapwick
