#pragma once

#include <cstdint>
#include <string>

#include "imaging/cDIBSection.h"

namespace snapwick {

// Source of the JPEG writer's errors: "snapwick.mIntelJPEGLibrary".
std::string JpegWriterSource();

// Writes the surface as a 3-channel colour JPEG at the given quality (clamped to the encoder's
// 1..100). An existing file of that name is replaced only once the new one is complete, and the
// replacement gets the old file's access and modification times and permission bits. Returns
// true; every failure raises a SnapError (26001 from the encoder, the runtime's file errors
// otherwise).
bool SaveJPG(const cDIBSection& cDib, const std::string& sFile, int32_t lQuality);

}  // namespace snapwick
