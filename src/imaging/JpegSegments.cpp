#include "imaging/JpegSegments.h"

#include "base/Error.h"

namespace snapwick {

namespace {

constexpr size_t kMaxSegmentPayload = 65533;  // the length field counts its own two bytes

uint8_t At(std::string_view bytes, size_t index) {
  return static_cast<uint8_t>(bytes[index]);
}

}  // namespace

std::string InsertApp1Segment(std::string_view jpeg, std::string_view payload) {
  if (jpeg.size() < 2 || At(jpeg, 0) != 0xFF || At(jpeg, 1) != 0xD8)
    RaiseError(kErrInvalidCall, "the bytes are no JPEG");
  if (payload.size() > kMaxSegmentPayload)
    RaiseError(kErrInvalidCall, "an APP1 segment of " + std::to_string(payload.size()) + " bytes");

  size_t at = 2;
  if (jpeg.size() >= 11 && At(jpeg, 2) == 0xFF && At(jpeg, 3) == 0xE0 &&
      jpeg.substr(6, 5) == std::string_view("JFIF\0", 5)) {
    at = 4 + (size_t{At(jpeg, 4)} << 8 | At(jpeg, 5));
    if (at > jpeg.size()) RaiseError(kErrInvalidCall, "the JFIF segment runs past the end");
  }
  const size_t length = payload.size() + 2;
  std::string out;
  out.reserve(jpeg.size() + length + 2);
  out.append(jpeg.substr(0, at));
  out += "\xFF\xE1";
  out += static_cast<char>(length >> 8);
  out += static_cast<char>(length & 0xFF);
  out.append(payload);
  out.append(jpeg.substr(at));
  return out;
}

}  // namespace snapwick
