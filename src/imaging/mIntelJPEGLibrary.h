#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/PosixFile.h"
#include "imaging/cDIBSection.h"

namespace snapwick {

// Source of the JPEG writer's errors: "snapwick.mIntelJPEGLibrary".
std::string JpegWriterSource();

// The surface as the bytes of a 3-channel colour JPEG file at the given quality (clamped to the
// encoder's 1..100). A surface the encoder cannot take raises 26001.
std::vector<unsigned char> EncodeJPG(const cDIBSection& cDib, int32_t lQuality);

// Writes the surface as a JPEG file (EncodeJPG), which replaces an existing file of that name
// only once it is complete; the replacement gets the old file's access and modification times and
// permission bits (ReplaceFile). Returns true; every failure raises a SnapError (26001 from the
// encoder, the runtime's file errors otherwise: 75 for a target that is a folder or a read-only
// file, 76 for a missing folder, 61 when the disk is full) and leaves any earlier file as it was.
//
// A durable save pushes the new file and its folder entry to the disk before it returns; a
// scratch file (the shown picture's temporary JPEG, rewritten for every picture) skips that wait.
bool SaveJPG(const cDIBSection& cDib, const std::string& sFile, int32_t lQuality,
             SaveDurability durability = SaveDurability::Durable);

}  // namespace snapwick
