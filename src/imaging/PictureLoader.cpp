#include "imaging/PictureLoader.h"

#include <turbojpeg.h>

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <algorithm>
#include <climits>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "base/Error.h"
#include "base/PosixFile.h"
#include "imaging/Orientation.h"
#include "metadata/ExifReader.h"
#include "metadata/Variant.h"

namespace snapwick {

namespace {

[[noreturn]] void RaiseInvalid(const std::string& why) {
  RaiseError(kErrInvalidPicture, why);
}

// Whether a picture of this size may be made from a file of `fileSize` bytes: a 24-bit surface
// (and `extraBytesPerPixel` more for each pixel while decoding) within kMaxPictureBytes, and a file
// long enough for that many pixels.
bool FitsInMemory(int64_t width, int64_t height, size_t fileSize, int64_t extraBytesPerPixel = 0) {
  if (width <= 0 || height <= 0) return false;
  const int64_t stride = (width * 3 + 3) & ~int64_t{3};
  const int64_t pixels = width * height;
  if (pixels > kPixelsAnyFileMayClaim &&
      pixels / kMaxPixelsPerFileByte >= static_cast<int64_t>(fileSize)) {
    return false;
  }
  return stride * height + extraBytesPerPixel * pixels < kMaxPictureBytes;
}

void ZeroPadding(cDIBSection& surface) {
  const int32_t stride = surface.BytesPerScanLine();
  const int32_t used = surface.Width() * 3;
  if (stride == used) return;
  uint8_t* bits = surface.DIBSectionBitsPtr();
  for (int32_t row = 0; row < surface.Height(); ++row) {
    std::memset(bits + static_cast<size_t>(row) * stride + used, 0, stride - used);
  }
}

// The orientation a camera recorded in the picture's EXIF block; 1 (as stored) when there is
// none or it cannot be read.
int32_t StoredOrientation(const unsigned char* data, size_t size) {
  // The EXIF block sits among the first segments of the file, well within this.
  constexpr size_t kHead = 256 * 1024;
  try {
    ExifReader reader;
    reader.LoadBytes(data, std::min(size, kHead));
    if (!reader.IsLoaded()) return 1;
    const Variant value = reader.Tag(kOrientationTag);
    if (value.IsInteger()) return value.Integer();
  } catch (const std::exception&) {
  }
  return 1;
}

// Turns a decoded picture upright as its EXIF orientation asks.
void TurnUpright(const unsigned char* data, size_t size, Picture& picture) {
  const int32_t orientation = StoredOrientation(data, size);
  if (!NeedsTurning(orientation)) return;
  cDIBSection upright;
  if (!TurnUpright(picture.Surface(), orientation, upright)) RaiseError(kErrOutOfMemory);
  picture.Surface() = std::move(upright);
}

struct TjHandle {
  tjhandle handle = tjInitDecompress();
  ~TjHandle() {
    if (handle) tjDestroy(handle);
  }
};

// Converts CMYK as written by most programs (inverted, Adobe style) into the surface.
void CmykToSurface(const std::vector<unsigned char>& cmyk, int32_t width, int32_t height,
                   cDIBSection& surface) {
  const int32_t stride = surface.BytesPerScanLine();
  uint8_t* bits = surface.DIBSectionBitsPtr();
  for (int32_t y = 0; y < height; ++y) {
    const unsigned char* in = cmyk.data() + static_cast<size_t>(y) * width * 4;
    uint8_t* out = bits + static_cast<size_t>(height - 1 - y) * stride;
    for (int32_t x = 0; x < width; ++x, in += 4, out += 3) {
      const unsigned k = in[3];
      out[0] = static_cast<uint8_t>(in[2] * k / 255);
      out[1] = static_cast<uint8_t>(in[1] * k / 255);
      out[2] = static_cast<uint8_t>(in[0] * k / 255);
    }
  }
}

bool LoadJpeg(const unsigned char* data, size_t size, Picture& into) {
  TjHandle tj;
  if (!tj.handle) RaiseError(kErrOutOfMemory);
  int width = 0, height = 0, subsamp = 0, colorspace = 0;
  if (tjDecompressHeader3(tj.handle, data, static_cast<unsigned long>(size), &width, &height,
                          &subsamp, &colorspace) != 0) {
    return false;  // not a JPEG that TurboJPEG reads; let the general reader try
  }
  if (width <= 0 || height <= 0) RaiseInvalid("no picture");
  // A CMYK picture is decoded into a buffer of 4 bytes a pixel beside the surface.
  const bool cmykPicture = colorspace == TJCS_CMYK || colorspace == TJCS_YCCK;
  if (!FitsInMemory(width, height, size, cmykPicture ? 4 : 0)) {
    RaiseInvalid("the picture is too large or its file too short");
  }
  cDIBSection& surface = into.Surface();
  if (!surface.CreateForOverwrite(width, height)) RaiseError(kErrOutOfMemory);

  int rc;
  if (cmykPicture) {
    std::vector<unsigned char> cmyk;
    try {
      cmyk.resize(static_cast<size_t>(width) * height * 4);
    } catch (const std::bad_alloc&) {
      RaiseError(kErrOutOfMemory);
    }
    rc = tjDecompress2(tj.handle, data, static_cast<unsigned long>(size), cmyk.data(), width,
                       width * 4, height, TJPF_CMYK, TJFLAG_LIMITSCANS);
    if (rc == 0 || tjGetErrorCode(tj.handle) == TJERR_WARNING) {
      CmykToSurface(cmyk, width, height, surface);
    }
  } else {
    rc = tjDecompress2(tj.handle, data, static_cast<unsigned long>(size),
                       surface.DIBSectionBitsPtr(), width, surface.BytesPerScanLine(), height,
                       TJPF_BGR, TJFLAG_BOTTOMUP | TJFLAG_LIMITSCANS);
  }
  // A damaged file that still decodes (a warning, such as a truncated scan) is shown as far as
  // it goes; only a fatal error refuses the picture.
  if (rc != 0 && tjGetErrorCode(tj.handle) != TJERR_WARNING) {
    into.Clear();
    RaiseInvalid(tjGetErrorStr2(tj.handle));
  }
  ZeroPadding(surface);
  TurnUpright(data, size, into);
  return true;
}

void LoadWithImageReader(const unsigned char* data, size_t size, Picture& into) {
  QByteArray bytes =
      QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer);
  // Pictures that record how the camera was held come out upright.
  reader.setAutoTransform(true);
  // A bitmap stored top-down claims a negative height.
  QSize claimed = reader.size();
  if (claimed.height() < 0 && claimed.height() > INT_MIN) claimed.setHeight(-claimed.height());
  // Qt reads most pictures into 4 bytes a pixel; the copy in 3 bytes a pixel made from that image
  // lies beside it, then beside the surface: at most 4 bytes a pixel more than the surface.
  constexpr int64_t kQtBytesPerPixel = 4;
  if (!claimed.isValid() ||
      !FitsInMemory(claimed.width(), claimed.height(), size, kQtBytesPerPixel)) {
    RaiseInvalid("the picture is too large, its file too short, or not a picture");
  }
  // Qt keeps the limit for the whole process: it is set once, so that pictures read on two
  // threads at a time do not both write it.
  static const bool limited = [] {
    QImageReader::setAllocationLimit(static_cast<int>(kMaxPictureBytes / (1024 * 1024)));
    return true;
  }();
  static_cast<void>(limited);
  QImage image;
  if (!reader.read(&image) || image.isNull()) RaiseInvalid(reader.errorString().toStdString());
  if (image.hasAlphaChannel()) {
    // Transparent parts show as white paper.
    QImage flat(image.size(), QImage::Format_RGB32);
    if (flat.isNull()) RaiseError(kErrOutOfMemory);
    flat.fill(Qt::white);
    QPainter painter(&flat);
    painter.drawImage(0, 0, image);
    painter.end();
    image = flat;
  }
  image = image.convertToFormat(QImage::Format_RGB888);
  if (image.isNull()) RaiseError(kErrOutOfMemory);

  cDIBSection& surface = into.Surface();
  const int32_t width = image.width(), height = image.height();
  if (!FitsInMemory(width, height, size, kQtBytesPerPixel)) {
    RaiseInvalid("the picture is too large");
  }
  if (!surface.CreateForOverwrite(width, height)) RaiseError(kErrOutOfMemory);
  const int32_t stride = surface.BytesPerScanLine();
  uint8_t* bits = surface.DIBSectionBitsPtr();
  for (int32_t y = 0; y < height; ++y) {
    const uint8_t* in = image.constScanLine(y);
    uint8_t* out = bits + static_cast<size_t>(height - 1 - y) * stride;
    for (int32_t x = 0; x < width; ++x, in += 3, out += 3) {
      out[0] = in[2];
      out[1] = in[1];
      out[2] = in[0];
    }
  }
  ZeroPadding(surface);
}

}  // namespace

void LoadPictureBytes(const unsigned char* data, size_t size, Picture& into) {
  try {
    if (size >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF &&
        LoadJpeg(data, size, into)) {
      return;
    }
    LoadWithImageReader(data, size, into);
  } catch (...) {
    into.Clear();
    throw;
  }
}

void LoadPicture(const std::string& fileName, Picture& into) {
  if (fileName.empty()) {
    into.Clear();
    return;
  }
  try {
    const std::vector<unsigned char> data =
        ReadWholeFile(fileName, kMaxPictureFileBytes,
                      SnapError(kErrInvalidPicture, StandardDescription(kErrInvalidPicture) +
                                                        ": the file is too large for a picture"));
    LoadPictureBytes(data.data(), data.size(), into);
  } catch (...) {
    into.Clear();
    throw;
  }
}

}  // namespace snapwick
