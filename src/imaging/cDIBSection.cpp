#include "imaging/cDIBSection.h"

#include <algorithm>
#include <chrono>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <random>
#include <utility>

#include "base/Checked.h"

namespace snapwick {

namespace {
constexpr int16_t kBitCount = 24;
}  // namespace

cDIBSection::~cDIBSection() {
  std::free(m_pBits);
}

cDIBSection::cDIBSection(cDIBSection&& other) noexcept
    : m_tBitmapInfo(other.m_tBitmapInfo),
      m_pBits(std::exchange(other.m_pBits, nullptr)),
      m_capacity(std::exchange(other.m_capacity, 0)) {}

cDIBSection& cDIBSection::operator=(cDIBSection&& other) noexcept {
  if (this != &other) {
    std::free(m_pBits);
    m_tBitmapInfo = other.m_tBitmapInfo;
    m_pBits = std::exchange(other.m_pBits, nullptr);
    m_capacity = std::exchange(other.m_capacity, 0);
  }
  return *this;
}

int32_t cDIBSection::BytesPerScanLine() const {
  // (width x 3 + 3) with the two lowest bits cleared.
  return checked::Add(checked::Mul(m_tBitmapInfo.biWidth, 3), 3) & ~3;
}

bool cDIBSection::Allocate(int32_t lWidth, int32_t lHeight, bool zero) {
  // The header is written first, so that it reports the requested size even when no surface
  // can be made.
  m_tBitmapInfo = BitmapInfoHeader{};
  m_tBitmapInfo.biSize = 40;
  m_tBitmapInfo.biWidth = lWidth;
  m_tBitmapInfo.biHeight = lHeight;
  m_tBitmapInfo.biPlanes = 1;
  m_tBitmapInfo.biBitCount = kBitCount;
  m_tBitmapInfo.biCompression = 0;

  // A row or image size beyond 32 bits is an overflow. The old memory goes first, so that the
  // surface is empty, not left with memory smaller than its header says.
  const int64_t rowBytes = int64_t{lWidth} * 3 + 3;
  const int64_t imageBytes = int64_t{lHeight} * (rowBytes & ~int64_t{3});
  if (rowBytes > INT32_MAX || rowBytes < INT32_MIN || imageBytes > INT32_MAX ||
      imageBytes < INT32_MIN) {
    ClearUp();
    RaiseError(kErrOverflow);
  }
  m_tBitmapInfo.biSizeImage = static_cast<int32_t>(imageBytes);

  if (lWidth <= 0 || lHeight <= 0) {
    ClearUp();
    return false;
  }
  const size_t bytes = static_cast<size_t>(m_tBitmapInfo.biSizeImage);
  if (bytes > m_capacity) {
    ClearUp();
    void* memory = zero ? std::calloc(bytes, 1) : std::malloc(bytes);
    if (memory == nullptr) return false;
    m_pBits = static_cast<uint8_t*>(memory);
    m_capacity = bytes;
  } else if (zero) {
    std::memset(m_pBits, 0, bytes);
  }
  return true;
}

bool cDIBSection::Create(int32_t lWidth, int32_t lHeight) {
  return Allocate(lWidth, lHeight, true);
}

bool cDIBSection::CreateForOverwrite(int32_t lWidth, int32_t lHeight) {
  return Allocate(lWidth, lHeight, false);
}

void cDIBSection::CreateFrom(const cDIBSection& source) {
  if (&source == this) return;
  if (!source.IsCreated()) {
    // A source without pixels reads as 0 x 0, whatever size its header still holds: the
    // surface ends up empty too.
    Create(0, 0);
    return;
  }
  if (!CreateForOverwrite(source.Width(), source.Height())) return;
  std::memcpy(m_pBits, source.m_pBits, static_cast<size_t>(m_tBitmapInfo.biSizeImage));
}

void cDIBSection::ClearUp() {
  std::free(m_pBits);
  m_pBits = nullptr;
  m_capacity = 0;
}

void BlockCopy(const cDIBSection& source, int32_t srcLeft, int32_t srcTop, cDIBSection& dest,
               int32_t destLeft, int32_t destTop, int32_t width, int32_t height) {
  if (!source.IsCreated() || !dest.IsCreated() || width <= 0 || height <= 0) return;
  // Clip in 64 bits, so that no origin or size can wrap around.
  int64_t sx = srcLeft, sy = srcTop, dx = destLeft, dy = destTop, w = width, h = height;
  const auto clipStart = [&](int64_t& a, int64_t& b) {
    if (a < 0) {
      b -= a;
      w += a;
      a = 0;
    }
  };
  clipStart(sx, dx);
  clipStart(dx, sx);
  const auto clipStartY = [&](int64_t& a, int64_t& b) {
    if (a < 0) {
      b -= a;
      h += a;
      a = 0;
    }
  };
  clipStartY(sy, dy);
  clipStartY(dy, sy);
  w = std::min({w, int64_t{source.Width()} - sx, int64_t{dest.Width()} - dx});
  h = std::min({h, int64_t{source.Height()} - sy, int64_t{dest.Height()} - dy});
  if (w <= 0 || h <= 0) return;

  const int64_t srcStride = source.BytesPerScanLine();
  const int64_t destStride = dest.BytesPerScanLine();
  const uint8_t* srcBits = source.DIBSectionBitsPtr();
  uint8_t* destBits = dest.DIBSectionBitsPtr();
  if (sx == 0 && dx == 0 && w == source.Width() && w == dest.Width() && h == source.Height() &&
      h == dest.Height() && srcStride == destStride) {
    if (srcBits != destBits) std::memcpy(destBits, srcBits, static_cast<size_t>(srcStride * h));
    return;
  }
  const size_t rowBytes = static_cast<size_t>(w * 3);
  const auto copyRow = [&](int64_t y) {
    // Picture row (from the top) r lies in memory row Height - 1 - r.
    const int64_t srcRow = source.Height() - 1 - (sy + y);
    const int64_t destRow = dest.Height() - 1 - (dy + y);
    std::memmove(destBits + destRow * destStride + dx * 3, srcBits + srcRow * srcStride + sx * 3,
                 rowBytes);
  };
  // Within one surface a copy downwards runs from the bottom row up, so that no source row is
  // overwritten before it is read.
  if (srcBits == destBits && dy > sy) {
    for (int64_t y = h - 1; y >= 0; --y)
      copyRow(y);
  } else {
    for (int64_t y = 0; y < h; ++y)
      copyRow(y);
  }
}

void cDIBSection::LoadPictureBlt(const cDIBSection& source, int32_t lSrcLeft, int32_t lSrcTop,
                                 int32_t lSrcWidth, int32_t lSrcHeight) {
  if (lSrcWidth < 0) lSrcWidth = Width();
  if (lSrcHeight < 0) lSrcHeight = Height();
  BlockCopy(source, lSrcLeft, lSrcTop, *this, 0, 0, lSrcWidth, lSrcHeight);
}

void cDIBSection::PaintPicture(cDIBSection& dest, int32_t lDestLeft, int32_t lDestTop,
                               int32_t lDestWidth, int32_t lDestHeight, int32_t lSrcLeft,
                               int32_t lSrcTop) const {
  if (lDestWidth < 0) lDestWidth = Width();
  if (lDestHeight < 0) lDestHeight = Height();
  BlockCopy(*this, lSrcLeft, lSrcTop, dest, lDestLeft, lDestTop, lDestWidth, lDestHeight);
}

void cDIBSection::RandomiseBits(bool bGray) {
  if (!IsCreated()) return;
  const auto sinceMidnight =
      std::chrono::system_clock::now().time_since_epoch() % std::chrono::days(1);
  std::mt19937 generator(static_cast<uint32_t>(
      std::chrono::duration_cast<std::chrono::seconds>(sinceMidnight).count()));
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  const auto randomByte = [&] {
    return static_cast<uint8_t>(std::nearbyint(unit(generator) * 255));
  };

  const int32_t stride = BytesPerScanLine();
  const int32_t xEnd = (Width() - 1) * 3;
  if (bGray) {
    for (int32_t row = 0; row < Height(); ++row) {
      uint8_t* line = m_pBits + static_cast<size_t>(row) * stride;
      for (int32_t x = 0; x <= xEnd; x += 3)
        line[x] = line[x + 1] = line[x + 2] = randomByte();
    }
  } else {
    for (int32_t x = 0; x <= xEnd; x += 3) {
      for (int32_t row = 0; row < Height(); ++row) {
        uint8_t* pixel = m_pBits + static_cast<size_t>(row) * stride + x;
        pixel[0] = 0;
        pixel[1] = randomByte();
        pixel[2] = randomByte();
      }
    }
  }
}

}  // namespace snapwick
