#include "base/Error.h"

#include <utility>

namespace snapwick {

SnapError::SnapError(int32_t number, std::string description, std::string source)
    : number_(number), description_(std::move(description)), source_(std::move(source)) {}

std::string StandardDescription(int32_t number) {
  switch (number) {
    case kErrInvalidCall:
      return "Invalid procedure call or argument";
    case kErrOverflow:
      return "Overflow";
    case kErrOutOfMemory:
      return "Out of memory";
    case kErrSubscriptOutOfRange:
      return "Subscript out of range";
    case kErrTypeMismatch:
      return "Type mismatch";
    case kErrFileNotFound:
      return "File not found";
    case kErrDiskFull:
      return "Disk full";
    case kErrPathFileAccess:
      return "Path/File access error";
    case kErrPathNotFound:
      return "Path not found";
    case kErrInvalidPicture:
      return "Invalid picture";
    default:
      return "Application-defined or object-defined error";
  }
}

void RaiseError(int32_t number) {
  throw SnapError(number, StandardDescription(number));
}

void RaiseError(int32_t number, const std::string& detail) {
  throw SnapError(number, StandardDescription(number) + ": " + detail);
}

}  // namespace snapwick
