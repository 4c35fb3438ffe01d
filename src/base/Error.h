#pragma once

#include <cstdint>
#include <exception>
#include <string>

namespace snapwick {

// Error numbers of the classic runtime, kept so that messages and callers agree on them.
enum ErrorNumber : int32_t {
  kErrInvalidCall = 5,
  kErrOverflow = 6,
  kErrOutOfMemory = 7,
  kErrSubscriptOutOfRange = 9,
  kErrTypeMismatch = 13,
  kErrFileNotFound = 53,
  kErrDiskFull = 61,
  kErrPathFileAccess = 75,
  kErrPathNotFound = 76,
  kErrInvalidPicture = 481,
  kErrJpegWriter = 26001,
};

// The program's name as it appears at the front of error sources ("snapwick.mIntelJPEGLibrary").
inline constexpr const char* kProgramName = "snapwick";

// The one exception type of the program: a number, a description and a source.
class SnapError : public std::exception {
 public:
  SnapError(int32_t number, std::string description, std::string source = kProgramName);

  int32_t Number() const noexcept { return number_; }
  const std::string& Description() const noexcept { return description_; }
  const std::string& Source() const noexcept { return source_; }
  const char* what() const noexcept override { return description_.c_str(); }

 private:
  int32_t number_;
  std::string description_;
  std::string source_;
};

// The runtime's standard description of an error number ("Overflow", "Subscript out of range").
std::string StandardDescription(int32_t number);

// Raises a runtime error with its standard description.
[[noreturn]] void RaiseError(int32_t number);
// Raises a runtime error with its standard description followed by ": detail".
[[noreturn]] void RaiseError(int32_t number, const std::string& detail);

}  // namespace snapwick
