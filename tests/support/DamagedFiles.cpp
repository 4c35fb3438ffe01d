#include "support/DamagedFiles.h"

#include <turbojpeg.h>

#include <vector>

namespace snapwick::test {

JpegLayout ReadJpegLayout(const std::string& jpeg) {
  JpegLayout layout;
  const auto byte = [&](size_t at) { return static_cast<uint8_t>(jpeg[at]); };
  size_t pos = 2;  // after SOI
  while (pos + 1 < jpeg.size() && byte(pos) == 0xFF) {
    const uint8_t code = byte(pos + 1);
    layout.markers.push_back({pos, code});
    if (code == 0xD9) break;  // EOI
    if (pos + 3 >= jpeg.size()) break;
    const size_t length = (size_t{byte(pos + 2)} << 8) | byte(pos + 3);
    pos += 2 + length;
    if (code != 0xDA) continue;
    // Entropy-coded data runs to the next marker that is neither a stuffed zero nor a restart.
    const size_t data = pos;
    while (pos + 1 < jpeg.size() && !(byte(pos) == 0xFF && byte(pos + 1) != 0 &&
                                      (byte(pos + 1) < 0xD0 || byte(pos + 1) > 0xD7))) {
      ++pos;
    }
    layout.scans.emplace_back(data, pos);
  }
  return layout;
}

namespace {

std::string Compress(const unsigned char* pixels, int width, int pitch, int height, int format,
                     int subsamp, int flags) {
  tjhandle handle = tjInitCompress();
  unsigned char* out = nullptr;
  unsigned long size = 0;
  std::string bytes;
  if (tjCompress2(handle, pixels, width, pitch, height, format, &out, &size, subsamp, 90, flags) ==
      0) {
    bytes.assign(reinterpret_cast<const char*>(out), size);
  }
  tjFree(out);
  tjDestroy(handle);
  return bytes;
}

}  // namespace

std::string MakeProgressiveJpeg(int32_t width, int32_t height, const Pattern& pattern) {
  const cDIBSection surface = MakeSurface(width, height, pattern);
  return Compress(surface.DIBSectionBitsPtr(), width, surface.BytesPerScanLine(), height, TJPF_BGR,
                  TJSAMP_420, TJFLAG_BOTTOMUP | TJFLAG_PROGRESSIVE);
}

std::string MakeCmykJpeg(int32_t width, int32_t height, uint8_t c, uint8_t m, uint8_t y,
                         uint8_t k) {
  std::vector<unsigned char> cmyk(static_cast<size_t>(width) * height * 4);
  for (size_t i = 0; i < cmyk.size(); i += 4) {
    cmyk[i] = c;
    cmyk[i + 1] = m;
    cmyk[i + 2] = y;
    cmyk[i + 3] = k;
  }
  return Compress(cmyk.data(), width, width * 4, height, TJPF_CMYK, TJSAMP_444, 0);
}

std::string WithFrame(std::string jpeg, uint8_t code, uint8_t precision, uint16_t width,
                      uint16_t height) {
  for (const JpegLayout::Marker& marker : ReadJpegLayout(jpeg).markers) {
    if (marker.code < 0xC0 || marker.code > 0xC3) continue;
    jpeg[marker.offset + 1] = static_cast<char>(code);
    jpeg[marker.offset + 4] = static_cast<char>(precision);
    jpeg[marker.offset + 5] = static_cast<char>(height >> 8);
    jpeg[marker.offset + 6] = static_cast<char>(height & 0xFF);
    jpeg[marker.offset + 7] = static_cast<char>(width >> 8);
    jpeg[marker.offset + 8] = static_cast<char>(width & 0xFF);
    break;
  }
  return jpeg;
}

void Put32(std::string& bytes, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i)
    bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

void Put16(std::string& bytes, size_t at, uint16_t value) {
  bytes[at] = static_cast<char>(value & 0xFF);
  bytes[at + 1] = static_cast<char>(value >> 8);
}

}  // namespace snapwick::test
