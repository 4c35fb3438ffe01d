#include "support/Fixtures.h"

#include <turbojpeg.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <vector>

#include "support/TestEnvironment.h"

namespace snapwick::test {

Rgb Gradient(int32_t x, int32_t y) {
  return Rgb{static_cast<uint8_t>(x * 7), static_cast<uint8_t>(y * 5), static_cast<uint8_t>(x + y)};
}

Pattern Solid(Rgb colour) {
  return [colour](int32_t, int32_t) { return colour; };
}

Rgb PhotoLike(int32_t x, int32_t y) {
  // Smooth shapes, grain in the brightness (+-36) and a little in the colours: at quality 90
  // with 4:2:0 a 4000 x 3000 picture comes to about 4 bits per pixel, like a camera's.
  const auto noise = [x, y](uint32_t salt) {
    uint32_t h = static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u +
                 salt * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return static_cast<int>((h ^ (h >> 16)) & 0xFF) - 128;
  };
  const int luma = noise(1) * 36 / 128, tint1 = noise(2) * 36 / 512, tint2 = noise(3) * 36 / 512;
  const auto clamp = [](int v) { return static_cast<uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v)); };
  return Rgb{clamp((x / 3) % 256 + luma + tint1), clamp((y / 2) % 256 + luma + tint2),
             clamp((x + y) / 5 % 256 + luma - tint1)};
}

cDIBSection MakeSurface(int32_t width, int32_t height, const Pattern& pattern) {
  cDIBSection surface;
  if (!surface.Create(width, height)) return surface;
  for (int32_t y = 0; y < height; ++y) {
    uint8_t* row = surface.DIBSectionBitsPtr() +
                   static_cast<size_t>(height - 1 - y) * surface.BytesPerScanLine();
    for (int32_t x = 0; x < width; ++x) {
      const Rgb c = pattern(x, y);
      row[x * 3] = c.b;
      row[x * 3 + 1] = c.g;
      row[x * 3 + 2] = c.r;
    }
  }
  return surface;
}

Rgb PixelAt(const cDIBSection& surface, int32_t x, int32_t y) {
  const uint8_t* p = surface.DIBSectionBitsPtr() +
                     static_cast<size_t>(surface.Height() - 1 - y) * surface.BytesPerScanLine() +
                     x * 3;
  return Rgb{p[2], p[1], p[0]};
}

std::string MakeJpeg(int32_t width, int32_t height, const Pattern& pattern, int quality,
                     JpegKind kind) {
  const cDIBSection surface = MakeSurface(width, height, pattern);
  const bool cmyk = kind == JpegKind::CmykRed;
  const std::vector<uint32_t> red(cmyk ? size_t(width) * height : 0, 0xFF0000FF);  // inverted inks
  const auto* pixels =
      cmyk ? reinterpret_cast<const uint8_t*>(red.data()) : surface.DIBSectionBitsPtr();
  const int flags =
      cmyk ? 0 : TJFLAG_BOTTOMUP | (kind == JpegKind::Progressive ? TJFLAG_PROGRESSIVE : 0);
  const std::unique_ptr<void, int (*)(tjhandle)> handle(tjInitCompress(), tjDestroy);
  unsigned char* out = nullptr;
  unsigned long size = 0;
  std::string bytes;
  if (tjCompress2(handle.get(), pixels, width, cmyk ? 0 : surface.BytesPerScanLine(), height,
                  cmyk ? TJPF_CMYK : TJPF_BGR, &out, &size, cmyk ? TJSAMP_444 : TJSAMP_420, quality,
                  flags) == 0)
    bytes.assign(reinterpret_cast<const char*>(out), size);
  tjFree(out);
  return bytes;
}

namespace {
// Appends a little-endian number of `bytes` bytes.
void PutLe(std::string& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i)
    out += static_cast<char>((value >> (8 * i)) & 0xFF);
}
}  // namespace

std::string MakeBmp(int32_t width, int32_t height, const Pattern& pattern) {
  // The surface's own header is the file's info header.
  const cDIBSection surface = MakeSurface(width, height, pattern);
  const BitmapInfoHeader& info = surface.Header();
  static_assert(sizeof info == 40);
  std::string bytes = "BM";
  PutLe(bytes, 54 + static_cast<uint32_t>(info.biSizeImage), 4);
  bytes += std::string("\0\0\0\0\x36\0\0\0", 8);  // reserved; the pixels at 54
  bytes.append(reinterpret_cast<const char*>(&info), sizeof info);
  return bytes.append(reinterpret_cast<const char*>(surface.DIBSectionBitsPtr()),
                      static_cast<size_t>(info.biSizeImage));
}

std::string MakeGif(int32_t width, int32_t height, const Pattern& pattern) {
  const Rgb palette[4] = {{255, 255, 255}, {200, 30, 30}, {0, 0, 0}, {0, 0, 255}};
  std::string gif = "GIF89a";
  const auto size = static_cast<uint32_t>(width) | static_cast<uint32_t>(height) << 16;
  PutLe(gif, size, 4);
  PutLe(gif, 0xF6, 3);  // a global table of 128 colours, the first four used
  for (const Rgb& c : palette)
    gif += {static_cast<char>(c.r), static_cast<char>(c.g), static_cast<char>(c.b)};
  gif += std::string(3 * 124, '\0') + std::string(",\0\0\0\0", 5);  // the picture at (0, 0)
  PutLe(gif, size, 4);
  PutLe(gif, 0x0700, 2);  // no local table; the code size 7
  // Codes of 8 bits, one byte each: a clear code (128) before every 100 pixels keeps the table
  // from growing to 256 entries, so the code width never changes.
  std::string data;
  for (int32_t n = 0; n < width * height; ++n) {
    if (n % 100 == 0) data += '\x80';
    const auto distance = [c = pattern(n % width, n / width)](const Rgb& p) {
      return (c.r - p.r) * (c.r - p.r) + (c.g - p.g) * (c.g - p.g) + (c.b - p.b) * (c.b - p.b);
    };
    data += static_cast<char>(
        std::min_element(palette, palette + 4,
                         [&](const Rgb& a, const Rgb& b) { return distance(a) < distance(b); }) -
        palette);
  }
  data += '\x81';                                   // the end code
  for (size_t at = 0; at < data.size(); at += 255)  // blocks of up to 255 bytes
    gif += static_cast<char>(std::min<size_t>(data.size() - at, 255)) + data.substr(at, 255);
  return gif + std::string("\0;", 2);
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

namespace {
// The size of a JPEG file ({0, 0} when it has none), decoded into `surface` when one is given.
std::pair<int32_t, int32_t> Decode(const std::string& path, cDIBSection* surface) {
  const std::string data = ReadFile(path);
  const auto* bytes = reinterpret_cast<const unsigned char*>(data.data());
  const std::unique_ptr<void, int (*)(tjhandle)> handle(tjInitDecompress(), tjDestroy);
  int w = 0, h = 0, subsamp = 0, colorspace = 0;
  if (tjDecompressHeader3(handle.get(), bytes, data.size(), &w, &h, &subsamp, &colorspace) != 0)
    return {0, 0};
  if (surface && (!surface->Create(w, h) ||
                  tjDecompress2(handle.get(), bytes, data.size(), surface->DIBSectionBitsPtr(), w,
                                surface->BytesPerScanLine(), h, TJPF_BGR, TJFLAG_BOTTOMUP) != 0))
    surface->ClearUp();
  return {w, h};
}
}  // namespace

cDIBSection DecodeJpegFile(const std::string& path) {
  cDIBSection surface;
  Decode(path, &surface);
  return surface;
}

std::pair<int32_t, int32_t> JpegSize(const std::string& path) {
  return Decode(path, nullptr);
}

}  // namespace snapwick::test
