#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/Selection.h"

namespace snapwick {

// The pictures chosen in one "Load...": a single path, or a folder and several names.
//
// FileList holds the selection split at NUL: entry 0 is the single picture's path, or the folder;
// entries 1..k are the names. FileCount is one past the last usable entry (1 for one picture,
// k + 1 for k pictures); CurrentFile is the entry that GetFile delivers next (0 in single-picture
// mode).
struct PictureList {
  // The selection for pictures given by full path (base/Selection.h).
  static std::string SelectionFor(const std::vector<std::string>& paths) {
    return snapwick::SelectionFor(paths);
  }

  std::vector<std::string> FileList;
  int32_t FileCount = 0;
  int32_t CurrentFile = 0;

  // Builds the list from a selection and positions it at its first picture.
  void SetFiles(const std::string& selection);
  // The full path of the next picture (advancing the position), or "" when there is none. An entry
  // that is a full path itself (pictures of several folders) is delivered as it is.
  std::string GetFile();
  // What the next GetFile gives, without advancing.
  std::string PeekFile() const;
  // What GetFile would give after StepBack, without stepping; "" when StepBack would fail.
  std::string PeekFileBefore() const;
  // Steps back so that the next GetFile gives the picture before the shown one; false when
  // there is none (single picture, or the first one is shown).
  bool StepBack();
  // How many pictures the list holds.
  int32_t PictureCount() const { return FileCount <= 1 ? FileCount : FileCount - 1; }
  // Positions the list so that the next GetFile gives picture `number` (from 1).
  void SeekPicture(int32_t number) { CurrentFile = FileCount <= 1 ? 0 : number; }
  // Whether the list still has pictures to show.
  bool HasMore() const { return CurrentFile < FileCount; }
  // The number (from 1) of the picture last delivered.
  int32_t ShownNumber() const { return CurrentFile == 0 ? 1 : CurrentFile - 1; }
  // The entries that are pictures, in list order (picture n at index n - 1): the single
  // picture's path, or the names (or paths) that follow the folder.
  std::vector<std::string> Pictures() const;
  // The full path of every picture, in list order.
  std::vector<std::string> PicturePaths() const;

 private:
  // The full path of an entry below FileCount.
  std::string PathOf(int32_t entry) const;
};

// The paths that name regular files (symbolic links followed), in the order given, each made
// absolute from the current folder when it is relative. Paths are bytes, whatever their encoding.
std::vector<std::string> ExistingFiles(const std::vector<std::string>& paths);

// Every path, whether it names a file or not, made absolute from the current folder when it is
// relative, in the order given; the bytes are kept as they are ("./" and ".." stay).
std::vector<std::string> AbsolutePaths(const std::vector<std::string>& paths);

}  // namespace snapwick
