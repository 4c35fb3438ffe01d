// Writes seed files for fuzz_picture: small JPEG files of every subsampling TurboJPEG writes
// (baseline and progressive, grey, CMYK), BMP files of every common header and bit depth (palette,
// run-length, bit fields, top-down), a few larger pictures of some ten kilobytes (each within the
// 64 KB that `make fuzz` gives an input), and truncated and corrupted variants of them.
//
// Usage: build-fuzz/fuzz/make_picture_seeds [output folder]   (default: fuzz/corpus-picture)
// `make fuzz` runs it when fuzz/corpus/fuzz_picture/ is empty.
#include <turbojpeg.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

using Bytes = std::string;

// Colours with smooth gradients and some grain, so that JPEG files look like photographs.
std::vector<unsigned char> Pixels(int width, int height, int components) {
  std::vector<unsigned char> pixels(static_cast<size_t>(width) * height * components);
  uint32_t noise = 12345;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      noise = noise * 1103515245u + 12345u;
      const int grain = static_cast<int>((noise >> 16) & 15) - 8;
      unsigned char* p = &pixels[(static_cast<size_t>(y) * width + x) * components];
      for (int c = 0; c < components; ++c) {
        const int value = (x * (c + 1) * 255 / (width + 1) + y * (3 - c) * 255 / (height + 1)) / 2;
        p[c] = static_cast<unsigned char>(std::clamp(value + grain, 0, 255));
      }
    }
  }
  return pixels;
}

Bytes Jpeg(int width, int height, int subsamp, int quality, bool progressive, bool cmyk = false) {
  tjhandle handle = tjInitCompress();
  const int format = cmyk ? TJPF_CMYK : (subsamp == TJSAMP_GRAY ? TJPF_GRAY : TJPF_RGB);
  const std::vector<unsigned char> pixels = Pixels(width, height, tjPixelSize[format]);
  unsigned char* out = nullptr;
  unsigned long size = 0;
  const int flags = progressive ? TJFLAG_PROGRESSIVE : 0;
  Bytes result;
  if (tjCompress2(handle, pixels.data(), width, 0, height, format, &out, &size, subsamp, quality,
                  flags) == 0) {
    result.assign(reinterpret_cast<const char*>(out), size);
  } else {
    std::fprintf(stderr, "JPEG %dx%d: %s\n", width, height, tjGetErrorStr2(handle));
  }
  tjFree(out);
  tjDestroy(handle);
  return result;
}

void Put16(Bytes& b, uint32_t v) {
  b.push_back(static_cast<char>(v & 0xFF));
  b.push_back(static_cast<char>((v >> 8) & 0xFF));
}
void Put32(Bytes& b, uint32_t v) {
  Put16(b, v & 0xFFFF);
  Put16(b, v >> 16);
}

// A BMP file: the file header, an info header of `headerSize` bytes (12 for the old OS/2 header,
// 40, 108 or 124), the bit fields or palette, then the pixel data as given.
Bytes Bmp(int width, int height, int bits, uint32_t compression, const Bytes& palette,
          const Bytes& data, uint32_t headerSize = 40, const Bytes& masks = {}) {
  Bytes info;
  Put32(info, headerSize);
  if (headerSize == 12) {
    Put16(info, static_cast<uint32_t>(width));
    Put16(info, static_cast<uint32_t>(height));
    Put16(info, 1);
    Put16(info, static_cast<uint32_t>(bits));
  } else {
    Put32(info, static_cast<uint32_t>(width));
    Put32(info, static_cast<uint32_t>(height));
    Put16(info, 1);
    Put16(info, static_cast<uint32_t>(bits));
    Put32(info, compression);
    Put32(info, static_cast<uint32_t>(data.size()));
    Put32(info, 2835);
    Put32(info, 2835);
    Put32(info, static_cast<uint32_t>(palette.size() / 4));
    Put32(info, 0);
    if (headerSize > 40) {
      Bytes extra = masks.size() >= 16 ? masks.substr(0, 16) : Bytes(16, '\0');
      extra += "BGRs";  // colour space
      extra.resize(headerSize - 40, '\0');
      info += extra;
    } else {
      info += masks;
    }
  }
  Bytes file = "BM";
  const uint32_t offset = static_cast<uint32_t>(14 + info.size() + palette.size());
  Put32(file, static_cast<uint32_t>(offset + data.size()));
  Put32(file, 0);
  Put32(file, offset);
  return file + info + palette + data;
}

// Rows of `bits`-per-pixel indices or colours, each padded to 4 bytes.
Bytes Rows(int width, int height, int bits) {
  const int stride = ((width * bits + 31) / 32) * 4;
  Bytes data(static_cast<size_t>(stride) * height, '\0');
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width * bits / 8 + (width * bits % 8 ? 1 : 0); ++x)
      data[static_cast<size_t>(y) * stride + x] = static_cast<char>((x * 29 + y * 7) & 0xFF);
  }
  return data;
}

Bytes Palette(int colours, bool withReserved = true) {
  Bytes palette;
  for (int i = 0; i < colours; ++i) {
    palette.push_back(static_cast<char>(i * 37));
    palette.push_back(static_cast<char>(i * 11));
    palette.push_back(static_cast<char>(255 - i));
    if (withReserved) palette.push_back('\0');
  }
  return palette;
}

// Run-length data: runs and absolute stretches per row, end of line, a delta, end of bitmap.
Bytes Rle(int width, int height, bool four) {
  Bytes data;
  for (int y = 0; y < height; ++y) {
    int x = 0;
    while (x < width) {
      const int run = std::min(width - x, 5 + (y % 3));
      data.push_back(static_cast<char>(run));
      data.push_back(static_cast<char>(four ? 0x12 + y : y * 3));
      x += run;
      if (x + 4 <= width && y % 2 == 0) {  // an absolute stretch of 4
        data.push_back('\0');
        data.push_back('\4');
        if (four) {
          data += "\x34\x56";
        } else {
          data += "\x01\x02\x03\x04";
        }
        x += 4;
      }
    }
    data += Bytes("\0\0", 2);  // end of line
  }
  data += Bytes("\0\2\1\0", 4);  // delta
  data += Bytes("\0\1", 2);      // end of bitmap
  return data;
}

Bytes Masks(uint32_t r, uint32_t g, uint32_t b, uint32_t a = 0) {
  Bytes masks;
  Put32(masks, r);
  Put32(masks, g);
  Put32(masks, b);
  Put32(masks, a);
  return masks;
}

}  // namespace

int main(int argc, char** argv) {
  const std::filesystem::path out = argc > 1 ? argv[1] : "fuzz/corpus-picture";
  std::filesystem::create_directories(out);
  int count = 0;
  const auto write = [&](const std::string& name, const Bytes& bytes) {
    if (bytes.empty()) return;
    std::ofstream(out / name, std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    ++count;
  };
  // A sound file and what breaks it: cut short, a byte changed in the middle, the size fields
  // changed (JPEG: the frame header; BMP: width and height).
  const auto family = [&](const std::string& name, const Bytes& bytes) {
    write(name, bytes);
    write("cut_half_" + name, bytes.substr(0, bytes.size() / 2));
    write("cut_head_" + name, bytes.substr(0, std::min<size_t>(bytes.size(), 80)));
    Bytes flipped = bytes;
    flipped[flipped.size() * 2 / 3] = static_cast<char>(flipped[flipped.size() * 2 / 3] ^ 0x5A);
    write("flip_" + name, flipped);
    Bytes sized = bytes;
    if (name.ends_with(".jpg")) {
      for (size_t i = 2; i + 9 < sized.size(); ++i) {
        const auto marker = static_cast<uint8_t>(sized[i + 1]);
        if (static_cast<uint8_t>(sized[i]) == 0xFF && (marker == 0xC0 || marker == 0xC2)) {
          sized[i + 5] = '\x7F';  // height about 32500
          sized[i + 7] = '\x40';  // width about 16400
          write("huge_" + name, sized);
          break;
        }
      }
    } else if (sized.size() > 26) {
      sized[19] = '\x7F';  // width about 32500
      sized[23] = '\x40';  // height about 16400
      write("huge_" + name, sized);
    }
  };

  const struct {
    const char* name;
    int subsamp;
  } kSubsamplings[] = {{"444", TJSAMP_444},   {"422", TJSAMP_422}, {"420", TJSAMP_420},
                       {"gray", TJSAMP_GRAY}, {"440", TJSAMP_440}, {"411", TJSAMP_411}};
  for (const auto& s : kSubsamplings) {
    family(std::string("jpeg_") + s.name + ".jpg", Jpeg(17, 9, s.subsamp, 75, false));
    family(std::string("jpeg_prog_") + s.name + ".jpg", Jpeg(33, 20, s.subsamp, 50, true));
  }
  family("jpeg_1x1.jpg", Jpeg(1, 1, TJSAMP_420, 90, false));
  family("jpeg_cmyk.jpg", Jpeg(24, 16, TJSAMP_444, 80, false, true));
  write("jpeg_photo_640x480.jpg", Jpeg(640, 480, TJSAMP_420, 80, false));
  write("jpeg_photo_prog_480x360.jpg", Jpeg(480, 360, TJSAMP_444, 80, true));

  const int w = 13, h = 7;
  family("bmp_24.bmp", Bmp(w, h, 24, 0, {}, Rows(w, h, 24)));
  family("bmp_24_topdown.bmp", Bmp(w, -h, 24, 0, {}, Rows(w, h, 24)));
  family("bmp_32.bmp", Bmp(w, h, 32, 0, {}, Rows(w, h, 32)));
  family("bmp_32_fields.bmp",
         Bmp(w, h, 32, 3, {}, Rows(w, h, 32), 40, Masks(0xFF0000, 0xFF00, 0xFF).substr(0, 12)));
  family("bmp_16_555.bmp", Bmp(w, h, 16, 0, {}, Rows(w, h, 16)));
  family("bmp_16_565.bmp",
         Bmp(w, h, 16, 3, {}, Rows(w, h, 16), 40, Masks(0xF800, 0x07E0, 0x001F).substr(0, 12)));
  family("bmp_8.bmp", Bmp(w, h, 8, 0, Palette(256), Rows(w, h, 8)));
  family("bmp_8_short_palette.bmp", Bmp(w, h, 8, 0, Palette(16), Rows(w, h, 8)));
  family("bmp_4.bmp", Bmp(w, h, 4, 0, Palette(16), Rows(w, h, 4)));
  family("bmp_1.bmp", Bmp(w, h, 1, 0, Palette(2), Rows(w, h, 1)));
  family("bmp_rle8.bmp", Bmp(w, h, 8, 1, Palette(256), Rle(w, h, false)));
  family("bmp_rle4.bmp", Bmp(w, h, 4, 2, Palette(16), Rle(w, h, true)));
  family("bmp_os2_24.bmp", Bmp(w, h, 24, 0, {}, Rows(w, h, 24), 12));
  family("bmp_os2_8.bmp", Bmp(w, h, 8, 0, Palette(256, false), Rows(w, h, 8), 12));
  family("bmp_v4_32.bmp",
         Bmp(w, h, 32, 3, {}, Rows(w, h, 32), 108, Masks(0xFF0000, 0xFF00, 0xFF, 0xFF000000)));
  family("bmp_v5_24.bmp", Bmp(w, h, 24, 0, {}, Rows(w, h, 24), 124));
  write("bmp_24_144x104.bmp", Bmp(144, 104, 24, 0, {}, Rows(144, 104, 24)));
  std::printf("%d seeds in %s\n", count, out.c_str());
  return 0;
}
