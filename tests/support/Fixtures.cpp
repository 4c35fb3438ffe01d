#include "support/Fixtures.h"

#include <turbojpeg.h>

#include <cstring>
#include <fstream>
#include <sstream>
#include <vector>

namespace snapwick::test {

Rgb Gradient(int32_t x, int32_t y) {
  return Rgb{static_cast<uint8_t>(x * 7), static_cast<uint8_t>(y * 5), static_cast<uint8_t>(x + y)};
}

Pattern Solid(Rgb colour) {
  return [colour](int32_t, int32_t) { return colour; };
}

namespace {
// A deterministic hash of a position and a salt, for noise.
uint32_t Hash(int32_t x, int32_t y, uint32_t salt) {
  uint32_t h = static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u +
               salt * 2246822519u;
  h = (h ^ (h >> 13)) * 1274126177u;
  return h ^ (h >> 16);
}
}  // namespace

Rgb PhotoLike(int32_t x, int32_t y) {
  // Smooth shapes, grain in the brightness (+-36) and a little in the colours: at quality 90
  // with 4:2:0 a 4000 x 3000 picture comes to about 4 bits per pixel, like a camera's.
  const int grain = static_cast<int>(Hash(x, y, 1) & 0xFF) - 128;
  const int tint1 = static_cast<int>(Hash(x, y, 2) & 0xFF) - 128;
  const int tint2 = static_cast<int>(Hash(x, y, 3) & 0xFF) - 128;
  const int luma = grain * 36 / 128;
  const auto clamp = [](int v) { return static_cast<uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v)); };
  return Rgb{clamp(((x / 3) % 256) + luma + tint1 * 36 / 512),
             clamp(((y / 2) % 256) + luma + tint2 * 36 / 512),
             clamp((((x + y) / 5) % 256) + luma - tint1 * 36 / 512)};
}

cDIBSection MakeSurface(int32_t width, int32_t height, const Pattern& pattern) {
  cDIBSection surface;
  surface.Create(width, height);
  if (!surface.IsCreated()) return surface;
  const int32_t stride = surface.BytesPerScanLine();
  for (int32_t y = 0; y < height; ++y) {
    uint8_t* row = surface.DIBSectionBitsPtr() + static_cast<size_t>(height - 1 - y) * stride;
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

std::string MakeJpeg(int32_t width, int32_t height, const Pattern& pattern, int quality) {
  const cDIBSection surface = MakeSurface(width, height, pattern);
  tjhandle handle = tjInitCompress();
  unsigned char* out = nullptr;
  unsigned long size = 0;
  const int rc = tjCompress2(handle, surface.DIBSectionBitsPtr(), width, surface.BytesPerScanLine(),
                             height, TJPF_BGR, &out, &size, TJSAMP_420, quality, TJFLAG_BOTTOMUP);
  std::string bytes;
  if (rc == 0) bytes.assign(reinterpret_cast<const char*>(out), size);
  tjFree(out);
  tjDestroy(handle);
  return bytes;
}

std::string MakeBmp(int32_t width, int32_t height, const Pattern& pattern) {
  const cDIBSection surface = MakeSurface(width, height, pattern);
  const uint32_t imageSize = static_cast<uint32_t>(surface.BytesPerScanLine()) * height;
  std::string bytes(54, '\0');
  const auto put32 = [&](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i)
      bytes[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
  };
  const auto put16 = [&](size_t at, uint16_t v) {
    bytes[at] = static_cast<char>(v & 0xFF);
    bytes[at + 1] = static_cast<char>(v >> 8);
  };
  bytes[0] = 'B';
  bytes[1] = 'M';
  put32(2, 54 + imageSize);
  put32(10, 54);
  put32(14, 40);
  put32(18, static_cast<uint32_t>(width));
  put32(22, static_cast<uint32_t>(height));
  put16(26, 1);
  put16(28, 24);
  put32(34, imageSize);
  put32(38, 3780);
  put32(42, 3780);
  bytes.append(reinterpret_cast<const char*>(surface.DIBSectionBitsPtr()), imageSize);
  return bytes;
}

std::string MakeGif(int32_t width, int32_t height, const Pattern& pattern) {
  const Rgb palette[4] = {{255, 255, 255}, {200, 30, 30}, {0, 0, 0}, {0, 0, 255}};
  std::string gif = "GIF89a";
  const auto put16 = [&](int32_t v) {
    gif += static_cast<char>(v & 0xFF);
    gif += static_cast<char>((v >> 8) & 0xFF);
  };
  put16(width);
  put16(height);
  gif += static_cast<char>(0x81);  // a global table of 4 colours
  gif += '\0';
  gif += '\0';
  for (const Rgb& c : palette)
    gif += {static_cast<char>(c.r), static_cast<char>(c.g), static_cast<char>(c.b)};
  gif += ',';
  put16(0);
  put16(0);
  put16(width);
  put16(height);
  gif += '\0';
  gif += '\2';  // the smallest code size

  // Codes of 3 bits: a clear code before every two pixels keeps the table from growing, so the
  // code width never changes.
  std::string data;
  uint32_t bits = 0;
  int count = 0;
  const auto emit = [&](uint32_t code) {
    bits |= code << count;
    count += 3;
    while (count >= 8) {
      data += static_cast<char>(bits & 0xFF);
      bits >>= 8;
      count -= 8;
    }
  };
  int64_t n = 0;
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x, ++n) {
      if (n % 2 == 0) emit(4);
      const Rgb c = pattern(x, y);
      int best = 0, bestDistance = 1 << 30;
      for (int i = 0; i < 4; ++i) {
        const int d = (c.r - palette[i].r) * (c.r - palette[i].r) +
                      (c.g - palette[i].g) * (c.g - palette[i].g) +
                      (c.b - palette[i].b) * (c.b - palette[i].b);
        if (d < bestDistance) bestDistance = d, best = i;
      }
      emit(static_cast<uint32_t>(best));
    }
  }
  emit(5);
  if (count > 0) data += static_cast<char>(bits & 0xFF);
  for (size_t at = 0; at < data.size(); at += 255) {
    const std::string block = data.substr(at, 255);
    gif += static_cast<char>(block.size());
    gif += block;
  }
  gif += '\0';
  gif += ';';
  return gif;
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

namespace {
std::vector<unsigned char> ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
}
}  // namespace

cDIBSection DecodeJpegFile(const std::string& path) {
  cDIBSection surface;
  const std::vector<unsigned char> data = ReadAll(path);
  if (data.empty()) return surface;
  tjhandle handle = tjInitDecompress();
  int w = 0, h = 0, subsamp = 0, colorspace = 0;
  if (tjDecompressHeader3(handle, data.data(), data.size(), &w, &h, &subsamp, &colorspace) == 0 &&
      surface.Create(w, h)) {
    if (tjDecompress2(handle, data.data(), data.size(), surface.DIBSectionBitsPtr(), w,
                      surface.BytesPerScanLine(), h, TJPF_BGR, TJFLAG_BOTTOMUP) != 0) {
      surface.ClearUp();
    }
  }
  tjDestroy(handle);
  return surface;
}

std::pair<int32_t, int32_t> JpegSize(const std::string& path) {
  const std::vector<unsigned char> data = ReadAll(path);
  if (data.empty()) return {0, 0};
  tjhandle handle = tjInitDecompress();
  int w = 0, h = 0, subsamp = 0, colorspace = 0;
  const int rc =
      tjDecompressHeader3(handle, data.data(), data.size(), &w, &h, &subsamp, &colorspace);
  tjDestroy(handle);
  if (rc != 0) return {0, 0};
  return {w, h};
}

}  // namespace snapwick::test
