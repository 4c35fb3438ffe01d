#pragma once

#include <cstdint>
#include <string>
#include <variant>

namespace snapwick {

// A value that is empty, a signed 32-bit integer or a text. Texts are kept as the bytes they were
// read as; TextBytesToUtf8 (TextBytes.h) turns them into display text.
class Variant {
 public:
  enum class Kind { Empty, Integer, Text };

  Variant() = default;
  Variant(int32_t value) : value_(value) {}                 // NOLINT(google-explicit-constructor)
  Variant(std::string text) : value_(std::move(text)) {}    // NOLINT(google-explicit-constructor)
  Variant(const char* text) : value_(std::string(text)) {}  // NOLINT(google-explicit-constructor)

  Kind GetKind() const { return static_cast<Kind>(value_.index()); }
  bool IsEmpty() const { return GetKind() == Kind::Empty; }
  bool IsInteger() const { return GetKind() == Kind::Integer; }
  bool IsText() const { return GetKind() == Kind::Text; }

  // The integer of an integer value (0 for any other kind).
  int32_t Integer() const { return IsInteger() ? std::get<int32_t>(value_) : 0; }
  // The text of a text value (empty for any other kind).
  const std::string& Text() const;

  // Text form: empty gives "", an integer its decimal form, a text itself.
  std::string ToText() const;

  // Conversion to a signed 32-bit integer: empty gives 0, an integer itself, a text the number it
  // spells (blanks around it, a sign, a decimal fraction and an exponent allowed; rounded halves
  // to even). A text that is no number raises a type mismatch error, a number outside the 32-bit
  // range an overflow error.
  int32_t ToInt32() const;

  bool operator==(const Variant&) const = default;

 private:
  std::variant<std::monostate, int32_t, std::string> value_;
};

}  // namespace snapwick
