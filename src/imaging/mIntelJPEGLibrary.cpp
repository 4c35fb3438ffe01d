#include "imaging/mIntelJPEGLibrary.h"

#include <turbojpeg.h>

#include <algorithm>

#include "base/Error.h"

namespace snapwick {

namespace {

[[noreturn]] void RaiseWriterError(const std::string& description) {
  throw SnapError(kErrJpegWriter, description, JpegWriterSource());
}

class Compressor {
 public:
  Compressor() : handle_(tjInitCompress()) {}
  ~Compressor() {
    if (handle_ != nullptr) tjDestroy(handle_);
  }
  Compressor(const Compressor&) = delete;
  Compressor& operator=(const Compressor&) = delete;
  tjhandle Get() const { return handle_; }

 private:
  tjhandle handle_;
};

// The encoder's output buffer, freed by the encoder's own allocator.
class JpegBuffer {
 public:
  JpegBuffer() = default;
  ~JpegBuffer() { tjFree(data_); }
  JpegBuffer(const JpegBuffer&) = delete;
  JpegBuffer& operator=(const JpegBuffer&) = delete;
  unsigned char** Data() { return &data_; }
  unsigned long* Size() { return &size_; }
  std::vector<unsigned char> Bytes() const { return {data_, data_ + size_}; }

 private:
  unsigned char* data_ = nullptr;
  unsigned long size_ = 0;
};

}  // namespace

std::string JpegWriterSource() {
  return std::string(kProgramName) + ".mIntelJPEGLibrary";
}

std::vector<unsigned char> EncodeJPG(const cDIBSection& cDib, int32_t lQuality) {
  Compressor compressor;
  if (compressor.Get() == nullptr) RaiseWriterError("Failed to initialise the IJL library: -1");
  // The encoder reads the rows in place: bottom-up, blue-green-red, with the surface's padding.
  JpegBuffer jpeg;
  const int quality = std::clamp<int32_t>(lQuality, 1, 100);
  const int rc =
      tjCompress2(compressor.Get(), cDib.DIBSectionBitsPtr(), cDib.Width(),
                  cDib.IsCreated() ? cDib.BytesPerScanLine() : 0, cDib.Height(), TJPF_BGR,
                  jpeg.Data(), jpeg.Size(), TJSAMP_420, quality, TJFLAG_BOTTOMUP);
  if (rc != 0) RaiseWriterError("Failed to save to JPG " + std::to_string(rc));
  return jpeg.Bytes();
}

bool SaveJPG(const cDIBSection& cDib, const std::string& sFile, int32_t lQuality,
             SaveDurability durability) {
  ReplaceFile(sFile, EncodeJPG(cDib, lQuality), durability);
  return true;
}

}  // namespace snapwick
