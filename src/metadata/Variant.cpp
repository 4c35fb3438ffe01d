#include "metadata/Variant.h"

#include <charconv>

#include "base/Checked.h"
#include "base/Error.h"

namespace snapwick {

namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// The number a text spells, or false when it spells none.
bool ParseNumber(const std::string& text, double* out) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && IsBlank(text[begin]))
    ++begin;
  while (end > begin && IsBlank(text[end - 1]))
    --end;
  bool negative = false;
  if (begin < end && (text[begin] == '+' || text[begin] == '-')) {
    negative = text[begin] == '-';
    ++begin;
  }
  // Only digits, one decimal point and an exponent are accepted (no "inf", "nan" or hex forms).
  if (begin == end) return false;
  if (!IsDigit(text[begin]) && text[begin] != '.') return false;
  double value = 0;
  const char* first = text.data() + begin;
  const char* last = text.data() + end;
  const auto [ptr, ec] = std::from_chars(first, last, value, std::chars_format::general);
  if (ptr != last) return false;
  if (ec == std::errc::result_out_of_range) {
    value = 1e300;  // far outside any 32-bit value; the caller raises the overflow
  } else if (ec != std::errc()) {
    return false;
  }
  *out = negative ? -value : value;
  return true;
}

}  // namespace

const std::string& Variant::Text() const {
  static const std::string kNone;
  return IsText() ? std::get<std::string>(value_) : kNone;
}

std::string Variant::ToText() const {
  switch (GetKind()) {
    case Kind::Empty:
      return {};
    case Kind::Integer:
      return std::to_string(std::get<int32_t>(value_));
    case Kind::Text:
      return std::get<std::string>(value_);
  }
  return {};
}

int32_t Variant::ToInt32() const {
  switch (GetKind()) {
    case Kind::Empty:
      return 0;
    case Kind::Integer:
      return std::get<int32_t>(value_);
    case Kind::Text: {
      double number = 0;
      if (!ParseNumber(std::get<std::string>(value_), &number)) RaiseError(kErrTypeMismatch);
      return checked::Round32(number);
    }
  }
  return 0;
}

}  // namespace snapwick
