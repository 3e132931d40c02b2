#include "engine/ZipLayout.h"

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <vector>

#include "engine/ZipEntryName.h"
#include "platform/Files.h"

namespace engine {

namespace {

constexpr std::uint32_t kLocalSignature = 0x04034b50;
constexpr std::uint32_t kCentralSignature = 0x02014b50;
constexpr std::uint32_t kEndSignature = 0x06054b50;
constexpr std::uint32_t kZip64EndSignature = 0x06064b50;
constexpr std::uint32_t kZip64LocatorSignature = 0x07064b50;
constexpr std::uint32_t kDescriptorSignature = 0x08074b50;
constexpr std::uint16_t kFlagDescriptor = 0x0008;
constexpr std::uint16_t kFlagUtf8 = 0x0800;

std::uint64_t Le(std::string_view bytes, size_t at, size_t width) {
  std::uint64_t v = 0;
  for (size_t k = 0; k < width; ++k) v |= static_cast<std::uint64_t>(static_cast<unsigned char>(bytes[at + k])) << (8 * k);
  return v;
}
std::uint16_t Le16(std::string_view b, size_t at) { return static_cast<std::uint16_t>(Le(b, at, 2)); }
std::uint32_t Le32(std::string_view b, size_t at) { return static_cast<std::uint32_t>(Le(b, at, 4)); }
std::uint64_t Le64(std::string_view b, size_t at) { return Le(b, at, 8); }

class File {
 public:
  explicit File(const std::string& name) : FIn(platform::PathFromUtf8(name), std::ios::binary) {
    if (FIn) {
      FIn.seekg(0, std::ios::end);
      FSize = static_cast<std::uint64_t>(FIn.tellg());
    }
  }
  bool IsOpen() const { return static_cast<bool>(FIn); }
  std::uint64_t Size() const { return FSize; }
  // Exactly n bytes at offset; false when the file ends before.
  bool Read(std::uint64_t offset, std::uint64_t n, std::string& out) {
    if (offset > FSize || n > FSize - offset) return false;
    out.resize(static_cast<size_t>(n));
    FIn.clear();
    FIn.seekg(static_cast<std::streamoff>(offset));
    FIn.read(out.data(), static_cast<std::streamsize>(n));
    return static_cast<std::uint64_t>(FIn.gcount()) == n;
  }

 private:
  std::ifstream FIn;
  std::uint64_t FSize = 0;
};

struct Entry {
  std::uint64_t Offset = 0;
  std::uint64_t CompressedSize = 0;
  std::uint64_t Size = 0;
  std::uint16_t Flags = 0;
  std::size_t Order = 0;  // place in the directory
  ZipEntryData Data;
  std::string RawName;
  std::string Name() const { return "\"" + EntryNameFromStored(RawName, (Flags & kFlagUtf8) != 0) + "\""; }
};

std::string Bytes(std::uint64_t n) { return std::to_string(n) + (n == 1 ? " byte" : " bytes"); }

// The Zip64 values of a central record's extra field replace the saturated 32-bit ones; the WinZip
// AES field tells how an AES entry is encrypted and compressed.
void ApplyExtraFields(std::string_view extra, Entry& e) {
  size_t at = 0;
  while (at + 4 <= extra.size()) {
    std::uint16_t id = Le16(extra, at), size = Le16(extra, at + 2);
    if (at + 4 + size > extra.size()) return;
    std::string_view field = extra.substr(at + 4, size);
    if (id == 0x0001) {
      size_t f = 0;
      if (e.Size == 0xFFFFFFFF && f + 8 <= field.size()) {
        e.Size = Le64(field, f);
        f += 8;
      }
      if (e.CompressedSize == 0xFFFFFFFF && f + 8 <= field.size()) {
        e.CompressedSize = Le64(field, f);
        f += 8;
      }
      if (e.Offset == 0xFFFFFFFF && f + 8 <= field.size()) e.Offset = Le64(field, f);
    } else if (id == 0x9901 && size >= 7 && field.substr(2, 2) == "AE") {
      e.Data.AesVersion = Le16(field, 0);
      e.Data.AesStrength = static_cast<unsigned char>(field[4]);
      e.Data.AesMethod = Le16(field, 5);
    }
    at += 4 + size;
  }
}

}  // namespace

const char* const kNoEndRecord = "it has no end record that ends the file";

std::string ArchiveLayoutProblem(const std::string& fileName, std::vector<ZipEntryData>* result) {
  File file(fileName);
  if (!file.IsOpen()) return "it cannot be read";
  const std::uint64_t size = file.Size();

  // The end record: the last one whose comment ends the file.
  std::string tail;
  std::uint64_t tailStart = size > 22 + 0xFFFF ? size - (22 + 0xFFFF) : 0;
  if (!file.Read(tailStart, size - tailStart, tail)) return "it cannot be read";
  std::uint64_t endAt = UINT64_MAX;
  for (size_t i = tail.size() >= 22 ? tail.size() - 22 + 1 : 0; i-- > 0;) {
    if (Le32(tail, i) == kEndSignature && i + 22 + Le16(tail, i + 20) == tail.size()) {
      endAt = tailStart + i;
      break;
    }
  }
  if (endAt == UINT64_MAX) return kNoEndRecord;
  std::string_view end = std::string_view(tail).substr(static_cast<size_t>(endAt - tailStart));
  if (Le16(end, 4) != 0 || Le16(end, 6) != 0) return "it spans several disks";
  std::uint64_t count = Le16(end, 10);
  std::uint64_t directorySize = Le32(end, 12);
  std::uint64_t directoryAt = Le32(end, 16);
  std::uint64_t directoryEnd = endAt;

  // Zip64: a locator just before the end record points at the Zip64 end record.
  std::string record;
  if (endAt >= 20 && file.Read(endAt - 20, 20, record) && Le32(record, 0) == kZip64LocatorSignature) {
    std::uint64_t zip64At = Le64(record, 8);
    if (!file.Read(zip64At, 56, record) || Le32(record, 0) != kZip64EndSignature ||
        zip64At + 12 + Le64(record, 4) != endAt - 20)
      return "its Zip64 end record is damaged";
    count = Le64(record, 32);
    directorySize = Le64(record, 40);
    directoryAt = Le64(record, 48);
    directoryEnd = zip64At;
  }
  if (directoryAt > directoryEnd || directorySize != directoryEnd - directoryAt) {
    if (directoryAt <= directoryEnd && directorySize < directoryEnd - directoryAt)
      return Bytes(directoryEnd - directoryAt - directorySize) + " before its end record belong to no entry of its directory";
    return "its end record places the directory where it cannot be";
  }
  if (count > directorySize / 46) return "its end record counts more entries than its directory can hold";

  std::string directory;
  if (!file.Read(directoryAt, directorySize, directory)) return "its directory cannot be read";
  std::vector<Entry> entries;
  entries.reserve(static_cast<size_t>(count));
  size_t at = 0;
  for (std::uint64_t k = 0; k < count; ++k) {
    if (at + 46 > directory.size() || Le32(directory, at) != kCentralSignature)
      return "its directory is damaged at record " + std::to_string(k + 1);
    size_t nameLength = Le16(directory, at + 28), extraLength = Le16(directory, at + 30),
           commentLength = Le16(directory, at + 32);
    if (at + 46 + nameLength + extraLength + commentLength > directory.size())
      return "its directory is damaged at record " + std::to_string(k + 1);
    Entry e;
    e.Order = static_cast<size_t>(k);
    e.Flags = Le16(directory, at + 8);
    e.Data.Method = Le16(directory, at + 10);
    e.Data.Crc = Le32(directory, at + 16);
    e.CompressedSize = Le32(directory, at + 20);
    e.Size = Le32(directory, at + 24);
    e.Offset = Le32(directory, at + 42);
    e.RawName = directory.substr(at + 46, nameLength);
    ApplyExtraFields(std::string_view(directory).substr(at + 46 + nameLength, extraLength), e);
    entries.push_back(std::move(e));
    at += 46 + nameLength + extraLength + commentLength;
  }
  if (at != directory.size())
    return Bytes(directory.size() - at) + " of its directory belong to no entry (the end record counts " +
           std::to_string(count) + ")";

  // The entries' local records must follow one another from the first byte to the directory.
  std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.Offset < b.Offset; });
  std::uint64_t expected = 0;
  for (size_t i = 0; i < entries.size(); ++i) {
    Entry& e = entries[i];
    if (e.Offset < expected)
      return "the entries " + entries[i - 1].Name() + " and " + e.Name() + " share the same data";
    if (e.Offset > expected)
      return Bytes(e.Offset - expected) + " at offset " + std::to_string(expected) +
             " belong to no entry of its directory";
    if (!file.Read(e.Offset, 30, record) || Le32(record, 0) != kLocalSignature)
      return "the entry " + e.Name() + " has no local header where its directory says";
    std::uint64_t nameLength = Le16(record, 26), extraLength = Le16(record, 28);
    std::string localName;
    if (!file.Read(e.Offset + 30, nameLength, localName)) return "the entry " + e.Name() + " is cut off";
    if (localName != e.RawName) {
      Entry local = e;
      local.RawName = localName;
      return "the entry " + e.Name() + " is named " + local.Name() + " in its local header";
    }
    e.Data.DataOffset = e.Offset + 30 + nameLength + extraLength;
    e.Data.CompressedSize = e.CompressedSize;
    e.Data.Size = e.Size;
    e.Data.Flags = e.Flags;
    e.Data.LocalFlags = Le16(record, 6);
    e.Data.LocalTime = Le16(record, 10);
    std::uint64_t dataEnd = e.Data.DataOffset + e.CompressedSize;
    if (dataEnd > directoryAt) return "the data of the entry " + e.Name() + " run into its directory";
    expected = dataEnd;
    if (e.Flags & kFlagDescriptor) {
      // A data descriptor follows: CRC and two sizes of 4 or 8 bytes, with or without a signature.
      std::uint64_t next = i + 1 < entries.size() ? entries[i + 1].Offset : directoryAt;
      std::uint64_t descriptor = 12;
      if (file.Read(dataEnd, 4, record) && Le32(record, 0) == kDescriptorSignature) descriptor = 16;
      for (std::uint64_t length : {12, 16, 20, 24})
        if (dataEnd + length == next) descriptor = length;
      expected = dataEnd + descriptor;
    }
  }
  if (expected > directoryAt)
    return "the data of the entry " + entries.back().Name() + " run into its directory";
  if (expected < directoryAt)
    return Bytes(directoryAt - expected) + " at offset " + std::to_string(expected) +
           " belong to no entry of its directory";
  if (result) {
    result->assign(entries.size(), ZipEntryData{});
    for (const Entry& e : entries) (*result)[e.Order] = e.Data;
  }
  return {};
}

}  // namespace engine
