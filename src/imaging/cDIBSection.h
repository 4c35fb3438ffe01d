#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace snapwick {

// The header that describes a surface, as the bitmap-info header of a device-independent bitmap.
struct BitmapInfoHeader {
  int32_t biSize = 0;
  int32_t biWidth = 0;
  int32_t biHeight = 0;
  int16_t biPlanes = 0;
  int16_t biBitCount = 0;
  int32_t biCompression = 0;
  int32_t biSizeImage = 0;
  int32_t biXPelsPerMeter = 0;
  int32_t biYPelsPerMeter = 0;
  int32_t biClrUsed = 0;
  int32_t biClrImportant = 0;
};

// A 24-bit picture surface in our own memory. Rows lie bottom-up (memory row 0 is the bottom row
// of the picture), 3 bytes per pixel in blue-green-red order, each row padded to a multiple of 4
// bytes. Block copies between surfaces are plain memory copies.
class cDIBSection {
 public:
  cDIBSection() = default;
  ~cDIBSection();
  cDIBSection(const cDIBSection&) = delete;
  cDIBSection& operator=(const cDIBSection&) = delete;
  cDIBSection(cDIBSection&& other) noexcept;
  cDIBSection& operator=(cDIBSection&& other) noexcept;

  // (Re)creates the surface at the given size with every byte zero. Returns false, leaving the
  // surface empty, when no surface of that size can be made (a size of 0 or less, or memory that
  // cannot be had). The header keeps the requested size in any case. A row or image size beyond
  // the signed 32-bit range raises an overflow error and leaves the surface empty.
  bool Create(int32_t lWidth, int32_t lHeight);
  // As Create, but leaves the bytes as they are: for callers that write every byte, padding
  // included. The memory of a larger earlier surface is reused.
  bool CreateForOverwrite(int32_t lWidth, int32_t lHeight);

  // Builds the surface from another one of the same layout: same size, same bytes (one copy).
  // A source without pixels counts as 0 x 0, so the surface ends up empty.
  void CreateFrom(const cDIBSection& source);

  // 3 x width rounded up to a multiple of 4 (overflow-checked).
  int32_t BytesPerScanLine() const;
  int32_t Width() const { return m_tBitmapInfo.biWidth; }
  int32_t Height() const { return m_tBitmapInfo.biHeight; }
  const BitmapInfoHeader& Header() const { return m_tBitmapInfo; }
  bool IsCreated() const { return m_pBits != nullptr; }

  // Block copy from source (origin lSrcLeft, lSrcTop, counted from the top-left) into this
  // surface at (0, 0). A negative width or height stands for this surface's own. The copy is
  // clipped to both surfaces; source and target may be the same surface.
  void LoadPictureBlt(const cDIBSection& source, int32_t lSrcLeft = 0, int32_t lSrcTop = 0,
                      int32_t lSrcWidth = -1, int32_t lSrcHeight = -1);
  // Block copy from this surface into dest. Negative sizes stand for this surface's own.
  void PaintPicture(cDIBSection& dest, int32_t lDestLeft = 0, int32_t lDestTop = 0,
                    int32_t lDestWidth = -1, int32_t lDestHeight = -1, int32_t lSrcLeft = 0,
                    int32_t lSrcTop = 0) const;

  uint8_t* DIBSectionBitsPtr() { return m_pBits; }
  const uint8_t* DIBSectionBitsPtr() const { return m_pBits; }

  // Fills the pixels with random values: grey levels, or blue 0 with random green and red.
  void RandomiseBits(bool bGray);

  // Releases the memory; the header keeps its values.
  void ClearUp();

  // A resized copy (height first), or none when the new surface cannot be created. A source
  // narrower or lower than 2 pixels cannot be resized to a different size: that raises an error.
  std::unique_ptr<cDIBSection> Resample(int32_t lNewHeight, int32_t lNewWidth) const;

 private:
  bool Allocate(int32_t lWidth, int32_t lHeight, bool zero);
  void BilinearResample(cDIBSection& target) const;

  BitmapInfoHeader m_tBitmapInfo;
  uint8_t* m_pBits = nullptr;
  size_t m_capacity = 0;
};

// Copies a rectangle between two surfaces, clipped to both; coordinates count from the top-left.
void BlockCopy(const cDIBSection& source, int32_t srcLeft, int32_t srcTop, cDIBSection& dest,
               int32_t destLeft, int32_t destTop, int32_t width, int32_t height);

// Repeats the single column or row of a surface narrower or lower than 2 pixels, so that it can
// be resized like any other; the copy looks the same. Raises 7 when memory runs out.
void WidenThinSurface(cDIBSection& surface);

}  // namespace snapwick
