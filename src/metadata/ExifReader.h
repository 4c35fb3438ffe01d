#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "metadata/TiffBytes.h"
#include "metadata/Variant.h"

namespace snapwick {

// One decoded entry of an EXIF image file directory.
struct TagRecord {
  int32_t TagId = 0;        // tag number, 0 in a blank record
  bool MakerNote = false;   // belongs to a maker-note directory (never set by the walk)
  int32_t FieldType = 0;    // TIFF field type, stored unchanged
  int32_t ValueCount = 0;   // count of the entry
  int32_t ValueOffset = 0;  // offset of a value stored outside the entry, else 0
  Variant TagValue;         // decoded value: empty, integer or text

  bool operator==(const TagRecord&) const = default;
};

// Bounds of what one reader takes from a file, far beyond any camera file (a few hundred records
// and some hundred kilobytes of text). Without them a crafted file could make the walk take
// gigabytes: many entries pointing at one large value each decode it again, and directories that
// overlap walk the same entries again and again. A walk that would go beyond a bound ends with
// error 7 (out of memory), keeping the records decoded so far like any failed walk.
inline constexpr size_t kMaxTagRecords = 65536;               // records in the store
inline constexpr size_t kMaxTagTextBytes = size_t{32} << 20;  // decoded text of all records
inline constexpr size_t kMaxWalkedDirectories = 65536;        // directories of one walk

// Reads the EXIF block of a JPEG file: the whole file is read into memory, the APP1 "Exif"
// segment is found, and the directories IFD0, its next-link chain and the Exif directory are
// walked into tag records in walk order. Errors are raised as SnapError (file errors, 6 overflow,
// 7 out of memory beyond the bounds above, 9 subscript out of range, 13 type mismatch).
class ExifReader {
 public:
  // Sets the file name; nothing is read.
  void picFile(const std::string& name) { m_PicFile = name; }

  // Reads the file named by picFile (or, when none was set, by the argument, which is then kept)
  // and walks its EXIF directories. An empty name does nothing. The tag store is never cleared: a
  // second load appends another set of records. A file whose last read found no EXIF block is
  // only opened and looked at while it stays unchanged (device, inode, size, modification and
  // change times): its bytes are still in memory, and the search would find nothing again.
  void Load(const std::string& picFile);

  // Walks bytes already in memory the way Load walks a file's bytes. The file name is left as it
  // is, so without one Tag never reloads.
  void LoadBytes(const void* data, size_t size);

  // Value of the first record with this tag number, or empty when there is none. Loads the file
  // first when a name is set but nothing was loaded (a file without EXIF block is thus looked at
  // again on every call). Without a tag store a non-zero tag raises error 9. Tag 0 gives the
  // number of records (blank ones included), or empty without a tag store.
  Variant Tag(int32_t ExifTag);

  // Value of the first maker-note record with this tag number; empty when nothing is loaded.
  Variant MakerNoteTag(int32_t MakerTag) const;

  // Read-only views of the reader's state.
  bool IsLoaded() const { return m_Loaded; }
  const std::string& PicFile() const { return m_PicFile; }
  bool HasTagStore() const { return m_Tags.has_value(); }
  // Records of the store in walk order (record 1 first); empty without a store.
  const std::vector<TagRecord>& Records() const;
  int32_t App1Pos() const { return m_App1Pos; }
  int32_t TiffBase() const { return m_TiffBase; }
  int32_t ExifIfdOffset() const { return m_ExifIfdOffset; }
  // Last index of the buffer (the file length; that byte is always 0), or -1 before any read.
  int32_t BufferLastIndex() const { return m_Buffer.last; }
  // How many times a file was actually read from disk by this reader.
  int32_t FileReadCount() const { return m_FileReads; }

  // The EXIF block that the search of Load finds in a JPEG file's bytes: the payload of the APP1
  // segment at the first FF E1 pair, from its "Exif" identifier to the end that the segment's
  // length gives (or the end of the bytes, when they stop sooner). Empty when the bytes are not a
  // JPEG, hold no FF E1 pair, or the segment found does not start with "Exif". Nothing is walked.
  static std::string_view ExifPayload(std::string_view jpeg);

 private:
  // The file's bytes at indices 0 to last; index last holds no file byte and stays 0.
  struct ByteBuffer {
    std::unique_ptr<uint8_t[]> bytes;
    int32_t last = -1;
    void Resize(int32_t lastIndex);
  };

  // What tells a file apart from a changed one without reading it.
  struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    int64_t modifiedNs = 0;
    int64_t changedNs = 0;
    bool operator==(const FileIdentity&) const = default;
  };

  // Reads the whole named file into m_Buffer. Returns false without reading when the file is
  // unchanged since a read that found no EXIF block in it: m_Buffer still holds its bytes.
  bool ReadPictureFile(const std::string& fileName);
  // Steps of Load after the bytes are in m_Buffer.
  void LoadBuffer();
  bool FindExifBlock();
  bool IsIntelOrder() const;
  void ReadDirectories(int32_t position);
  static std::string PadLeft(const std::string& text, int32_t length, const std::string& pad);

  // Index of the first FF E1 pair in bytes 2 to last, or -1.
  static int32_t FirstApp1Marker(const uint8_t* bytes, int32_t last);
  TiffBytes View(bool intel) const;
  uint8_t ByteAt(int32_t index) const;
  int32_t Read16(int32_t index, bool intel) const;
  int32_t Read32(int32_t index, bool intel) const;
  void DecodeValue(TagRecord& record, int32_t entry, bool intel);
  // Counts text about to be stored against kMaxTagTextBytes; raises 7 beyond it.
  void ChargeText(size_t length);

  ByteBuffer m_Buffer;
  int32_t m_App1Pos = 0;
  int32_t m_TiffBase = 0;
  int32_t m_NextIfd = 0;
  std::optional<std::vector<TagRecord>> m_Tags;
  // Records from this index on were never written by a walk: blanks (tag number 0) that no
  // lookup can match, left by a walk that failed inside a directory.
  size_t m_ScanEnd = 0;
  // Bytes of decoded text stored by all walks of this reader.
  size_t m_TextBytes = 0;
  int32_t m_ExifIfdOffset = 0;
  std::string m_PicFile;
  bool m_Loaded = false;

  // The file whose bytes m_Buffer holds (none for bytes given by LoadBytes), and the same when
  // the search in these bytes found no EXIF block.
  std::optional<FileIdentity> m_BufferFile;
  std::optional<FileIdentity> m_NoExifFile;
  int32_t m_FileReads = 0;
};

}  // namespace snapwick
