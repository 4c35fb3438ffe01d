#include "metadata/ExifReader.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <unordered_set>

#include "base/Checked.h"
#include "base/Error.h"
#include "base/PosixFile.h"

namespace snapwick {

namespace {

using checked::Add;
using checked::Mul;
using checked::Sub;

constexpr int32_t kExifPointerTag = 0x8769;

int64_t Nanoseconds(const timespec& t) {
  return int64_t{t.tv_sec} * 1000000000 + t.tv_nsec;
}

void AppendDecimal(std::string& text, uint32_t value) {
  char digits[10];
  int count = 0;
  do {
    digits[count++] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value != 0);
  while (count > 0)
    text.push_back(digits[--count]);
}

// Length of the decimal forms of bytes first to last, appended.
size_t DecimalLength(const uint8_t* bytes, int32_t first, int32_t last) {
  size_t length = 0;
  for (int32_t j = first; j <= last; ++j)
    length += bytes[j] >= 100 ? 3 : bytes[j] >= 10 ? 2 : 1;
  return length;
}

std::string UpperHex(uint8_t value) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string text;
  if (value >= 16) text.push_back(kDigits[value >> 4]);
  text.push_back(kDigits[value & 15]);
  return text;
}

}  // namespace

void ExifReader::ByteBuffer::Resize(int32_t lastIndex) {
  bytes.reset();
  last = -1;
  try {
    // The file's bytes overwrite the memory at once, so it is not cleared first.
    bytes.reset(new uint8_t[static_cast<size_t>(lastIndex) + 1]);
  } catch (const std::bad_alloc&) {
    RaiseError(kErrOutOfMemory);
  }
  bytes[lastIndex] = 0;
  last = lastIndex;
}

const std::vector<TagRecord>& ExifReader::Records() const {
  static const std::vector<TagRecord> kNone;
  return m_Tags ? *m_Tags : kNone;
}

void ExifReader::Load(const std::string& picFile) {
  if (m_PicFile.empty()) m_PicFile = picFile;
  if (m_PicFile.empty()) return;
  if (!ReadPictureFile(m_PicFile)) {
    // The same bytes as at the last search, which found no EXIF block.
    m_Loaded = false;
    return;
  }
  LoadBuffer();
}

void ExifReader::LoadBytes(const void* data, size_t size) {
  m_NoExifFile.reset();
  m_BufferFile.reset();
  if (size > static_cast<size_t>(INT32_MAX - 1)) RaiseError(kErrOverflow);
  m_Buffer.Resize(static_cast<int32_t>(size));
  if (size > 0) std::memcpy(m_Buffer.bytes.get(), data, size);
  LoadBuffer();
}

Variant ExifReader::Tag(int32_t ExifTag) {
  if (!m_Loaded) {
    if (m_PicFile.empty()) return {};
    Load(m_PicFile);
  }
  if (ExifTag != 0) {
    if (!m_Tags) RaiseError(kErrSubscriptOutOfRange);
    for (size_t i = 0; i < m_ScanEnd; ++i) {
      if ((*m_Tags)[i].TagId == ExifTag) return (*m_Tags)[i].TagValue;
    }
    return {};
  }
  if (!m_Tags) return {};
  return static_cast<int32_t>(m_Tags->size());
}

Variant ExifReader::MakerNoteTag(int32_t MakerTag) const {
  if (!m_Loaded) return {};
  if (!m_Tags) RaiseError(kErrSubscriptOutOfRange);
  for (size_t i = 0; i < m_ScanEnd; ++i) {
    const TagRecord& record = (*m_Tags)[i];
    if (record.TagId == MakerTag && record.MakerNote) return record.TagValue;
  }
  return {};
}

bool ExifReader::ReadPictureFile(const std::string& fileName) {
  // Opened for reading only, so a name that does not exist fails and no file is created.
  struct stat status {};
  const FileDescriptor file = FileDescriptor::OpenToRead(fileName, status, fileName);

  FileIdentity identity;
  identity.device = status.st_dev;
  identity.inode = status.st_ino;
  identity.size = status.st_size;
  identity.modifiedNs = Nanoseconds(status.st_mtim);
  identity.changedNs = Nanoseconds(status.st_ctim);
  if (m_NoExifFile && *m_NoExifFile == identity) return false;
  m_NoExifFile.reset();
  m_BufferFile.reset();

  if (status.st_size < 0 || status.st_size > INT32_MAX - 1) RaiseError(kErrOverflow);
  const auto length = static_cast<int32_t>(status.st_size);
  m_Buffer.Resize(length);
  ++m_FileReads;
  const auto done = static_cast<int32_t>(file.ReadUpTo(m_Buffer.bytes.get(), length));
  // A file that shrank while it was read leaves zeros behind its end.
  std::memset(m_Buffer.bytes.get() + done, 0, static_cast<size_t>(length - done));
  m_BufferFile = identity;
  return true;
}

void ExifReader::LoadBuffer() {
  if (!FindExifBlock()) {
    m_Loaded = false;
    // Until the file changes, a later Load would find nothing again.
    m_NoExifFile = m_BufferFile;
    return;
  }
  const bool intel = IsIntelOrder();
  const int32_t ifd0 = Read32(Add(m_App1Pos, 14), intel);
  const int32_t position = Add(m_TiffBase, ifd0);
  m_Loaded = true;
  ReadDirectories(position);
}

bool ExifReader::FindExifBlock() {
  // Both bytes are looked at, so a file shorter than two bytes is out of range.
  const uint8_t first = ByteAt(0);
  const uint8_t second = ByteAt(1);
  if (first != 0xFF || second != 0xD8) return false;

  const int32_t marker = FirstApp1Marker(m_Buffer.bytes.get(), m_Buffer.last);
  if (marker >= 0) m_App1Pos = marker;
  m_TiffBase = Add(m_App1Pos, 10);

  static const char kExif[] = "Exif";
  bool exif = true;
  for (int32_t k = 0; k < 4; ++k) {
    if (ByteAt(Add(m_App1Pos, 4 + k)) != static_cast<uint8_t>(kExif[k])) exif = false;
  }
  return exif;
}

bool ExifReader::IsIntelOrder() const {
  return UpperHex(ByteAt(m_TiffBase)) == "49";
}

std::string ExifReader::PadLeft(const std::string& text, int32_t length, const std::string& pad) {
  const auto size = static_cast<int32_t>(text.size());
  if (size >= length) return text;
  if (pad.empty()) RaiseError(kErrInvalidCall);
  return std::string(static_cast<size_t>(length - size), pad[0]) + text;
}

int32_t ExifReader::FirstApp1Marker(const uint8_t* bytes, int32_t last) {
  // The first FF E1 pair from index 2 on, whatever segment it lies in.
  int32_t i = 2;
  while (i <= last - 1) {
    const void* found = std::memchr(bytes + i, 0xFF, static_cast<size_t>(last - i));
    if (found == nullptr) break;
    i = static_cast<int32_t>(static_cast<const uint8_t*>(found) - bytes);
    if (bytes[i + 1] == 0xE1) return i;
    ++i;
  }
  return -1;
}

std::string_view ExifReader::ExifPayload(std::string_view jpeg) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(jpeg.data());
  if (jpeg.size() < 2 || jpeg.size() > static_cast<size_t>(INT32_MAX)) return {};
  if (bytes[0] != 0xFF || bytes[1] != 0xD8) return {};
  const int32_t last = static_cast<int32_t>(jpeg.size()) - 1;
  const int32_t marker = FirstApp1Marker(bytes, last);
  // The length field and "Exif" must lie in the bytes.
  if (marker < 0 || marker > last - 7) return {};
  if (jpeg.compare(static_cast<size_t>(marker) + 4, 4, "Exif") != 0) return {};
  // The segment's length counts its two length bytes; a segment cut short by the end of the
  // bytes ends there.
  const size_t length = size_t{bytes[marker + 2]} * 256 + bytes[marker + 3];
  const size_t start = static_cast<size_t>(marker) + 4;
  const size_t end = std::min(jpeg.size(), static_cast<size_t>(marker) + 2 + length);
  return end > start ? jpeg.substr(start, end - start) : std::string_view{};
}

TiffBytes ExifReader::View(bool intel) const {
  return TiffBytes(m_Buffer.bytes.get(), m_Buffer.last, intel);
}

uint8_t ExifReader::ByteAt(int32_t index) const {
  return View(false).ByteAt(index);
}

int32_t ExifReader::Read16(int32_t index, bool intel) const {
  return View(intel).Read16(index);
}

int32_t ExifReader::Read32(int32_t index, bool intel) const {
  return View(intel).Read32(index);
}

void ExifReader::ReadDirectories(int32_t position) {
  const bool intel = IsIntelOrder();
  bool exifDirectory = false;
  // A link or Exif pointer back to a directory already walked ends the walk: walking it again
  // would never end.
  std::unordered_set<int32_t> walked;
  for (;;) {
    if (!walked.insert(position).second) return;
    if (walked.size() > kMaxWalkedDirectories) RaiseError(kErrOutOfMemory);
    const int32_t count = Read16(position, intel);
    const int32_t base = m_Tags ? static_cast<int32_t>(m_Tags->size()) : 0;
    const int32_t total = Add(base, count);
    if (total < 1) RaiseError(kErrSubscriptOutOfRange);  // a store of indices 1 to 0
    if (static_cast<size_t>(total) > kMaxTagRecords) RaiseError(kErrOutOfMemory);
    if (!m_Tags) m_Tags.emplace();
    m_Tags->resize(static_cast<size_t>(total));

    for (int32_t i = 1; i <= count; ++i) {
      const int32_t entry = Add(position, Add(2, Mul(12, i - 1)));
      TagRecord& record = (*m_Tags)[static_cast<size_t>(base + i - 1)];
      m_ScanEnd = static_cast<size_t>(base + i);
      record.TagId = Read16(entry, intel);
      record.FieldType = Read16(Add(entry, 2), intel);
      record.ValueCount = Read32(Add(entry, 4), intel);
      DecodeValue(record, entry, intel);
      if (record.TagId == kExifPointerTag) m_ExifIfdOffset = record.TagValue.ToInt32();
    }

    if (!exifDirectory) {
      m_NextIfd = Read32(Add(position, Add(2, Mul(12, count))), intel);
    } else {
      m_NextIfd = 0;  // the Exif directory's own link is not followed
    }
    if (m_NextIfd == 0 && !exifDirectory) {
      m_NextIfd = m_ExifIfdOffset;
      exifDirectory = true;
    }
    position = Add(m_TiffBase, m_NextIfd);
    if (m_NextIfd == 0) return;
  }
}

void ExifReader::ChargeText(size_t length) {
  if (length > kMaxTagTextBytes - m_TextBytes) RaiseError(kErrOutOfMemory);
  m_TextBytes += length;
}

void ExifReader::DecodeValue(TagRecord& record, int32_t entry, bool intel) {
  const int32_t count = record.ValueCount;
  const int32_t field = Add(entry, 8);
  // The value field's four bytes, most significant first as a 32-bit number in the file's order.
  const auto msbFirst = [&](int32_t k) { return ByteAt(Add(field, intel ? 3 - k : k)); };
  // Start of a value stored outside the entry; sets ValueOffset.
  const auto valueStart = [&]() {
    record.ValueOffset = Read32(field, intel);
    return Add(m_TiffBase, record.ValueOffset);
  };
  // Bytes first to last (inclusive) must lie in the buffer. The value is stored only when all
  // of it was read, so checking the range first ends the same way as a failing byte read.
  const auto checkRange = [&](int32_t first, int32_t last) {
    if (last >= first && (first < 0 || last > m_Buffer.last)) {
      RaiseError(kErrSubscriptOutOfRange);
    }
  };
  const uint8_t* bytes = m_Buffer.bytes.get();
  // The decimal forms of count single bytes stored outside the entry, appended without a
  // separator; from the last byte back when asked.
  const auto decimalBytes = [&](bool fromTheEnd) {
    const int32_t start = valueStart();
    const int32_t last = Sub(Add(start, count), 1);
    checkRange(start, last);
    const size_t length = DecimalLength(bytes, start, last);
    ChargeText(length);
    std::string text;
    text.reserve(length);
    if (fromTheEnd) {
      for (int32_t j = last; j >= start; --j)
        AppendDecimal(text, bytes[j]);
    } else {
      for (int32_t j = start; j <= last; ++j)
        AppendDecimal(text, bytes[j]);
    }
    record.TagValue = std::move(text);
  };

  switch (record.FieldType) {
    case 1:  // BYTE
    case 6:  // SBYTE
      if (Mul(count, 1) <= 4) {
        std::string text;
        for (int32_t k = 0; k < 4; ++k)
          text += PadLeft(UpperHex(msbFirst(k)), 2, "0");
        ChargeText(text.size());
        record.TagValue = std::move(text);
      } else {
        decimalBytes(false);
      }
      break;

    case 2:  // ASCII
    case 7:  // UNDEFINED
      if (Mul(count, 1) <= 4) {
        std::string text;
        for (int32_t k = 0; k < 4; ++k)
          text.push_back(static_cast<char>(msbFirst(k)));
        ChargeText(text.size());
        record.TagValue = std::move(text);
      } else {
        // The last byte (the closing zero of an ASCII value) is left out.
        const int32_t start = valueStart();
        const int32_t last = Sub(Add(start, count), 2);
        checkRange(start, last);
        const auto length = static_cast<size_t>(std::max(0, last - start + 1));
        ChargeText(length);
        record.TagValue = std::string(reinterpret_cast<const char*>(bytes) + start, length);
      }
      break;

    case 3:  // SHORT
    case 8:  // SSHORT
      if (Mul(count, 2) <= 4) {
        // Both 16-bit halves of the value field, added.
        record.TagValue = Add(Read16(field, intel), Read16(Add(field, 2), intel));
      } else {
        // Single bytes, not 16-bit values; a big-endian file takes them from the end.
        decimalBytes(!intel);
      }
      break;

    case 4:  // LONG
    case 9:  // SLONG
      if (Mul(count, 4) <= 4) {
        record.TagValue = Read32(field, intel);
      } else {
        decimalBytes(false);
      }
      break;

    case 5:   // RATIONAL
    case 10:  // SRATIONAL
    {
      // Only the first fraction, as stored.
      const int32_t start = valueStart();
      const int32_t numerator = Read32(start, intel);
      const int32_t denominator = Read32(Add(start, 4), intel);
      std::string text;
      AppendDecimal(text, static_cast<uint32_t>(numerator));
      text.push_back('/');
      AppendDecimal(text, static_cast<uint32_t>(denominator));
      ChargeText(text.size());
      record.TagValue = std::move(text);
      break;
    }

    default:  // unknown types keep an empty value
      break;
  }
}

}  // namespace snapwick
