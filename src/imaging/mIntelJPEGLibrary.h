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
// otherwise: 75 for a target that is a folder or a read-only file, 76 for a missing folder, 61
// when the disk is full) and leaves any earlier file as it was.
//
// A durable save pushes the new file and its folder entry to the disk before it returns; a
// scratch file (the shown picture's temporary JPEG, rewritten for every picture) skips that wait.
enum class SaveDurability { Durable, Scratch };
bool SaveJPG(const cDIBSection& cDib, const std::string& sFile, int32_t lQuality,
             SaveDurability durability = SaveDurability::Durable);

}  // namespace snapwick
