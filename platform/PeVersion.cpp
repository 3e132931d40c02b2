// Reads the fixed file version from the VERSIONINFO resource of a PE file. Every offset is
// checked against the data, so a truncated or hostile file gives nullopt and nothing else.
#include <cstdint>

#include "platform/FileVersion.h"

namespace platform {

namespace {

constexpr std::uint32_t kFixedInfoSignature = 0xFEEF04BDu;
constexpr std::uint32_t kResourceTypeVersion = 16;

class Reader {
 public:
  explicit Reader(std::string_view bytes) : FBytes(bytes) {}
  bool Has(std::uint64_t offset, std::uint64_t size) const {
    return offset <= FBytes.size() && size <= FBytes.size() - offset;
  }
  std::uint16_t U16(std::uint64_t at) const {
    return static_cast<std::uint16_t>(Byte(at) | (Byte(at + 1) << 8));
  }
  std::uint32_t U32(std::uint64_t at) const {
    return static_cast<std::uint32_t>(U16(at)) | (static_cast<std::uint32_t>(U16(at + 2)) << 16);
  }

 private:
  unsigned Byte(std::uint64_t at) const { return static_cast<unsigned char>(FBytes[static_cast<size_t>(at)]); }
  std::string_view FBytes;
};

struct Section {
  std::uint32_t virtualAddress, virtualSize, rawSize, rawOffset;
};

}  // namespace

namespace {

// Where the VERSIONINFO resource lies in the file: its offset and size.
struct ResourceData {
  std::uint64_t at, size;
};

std::optional<ResourceData> VersionResource(std::string_view bytes) {
  Reader r(bytes);
  if (!r.Has(0, 0x40) || r.U16(0) != 0x5A4D) return std::nullopt;  // "MZ"
  std::uint64_t pe = r.U32(0x3C);
  if (!r.Has(pe, 24) || r.U32(pe) != 0x00004550) return std::nullopt;  // "PE\0\0"
  std::uint64_t coff = pe + 4;
  unsigned sectionCount = r.U16(coff + 2);
  unsigned optionalSize = r.U16(coff + 16);
  std::uint64_t opt = coff + 20;
  if (!r.Has(opt, optionalSize) || optionalSize < 2) return std::nullopt;
  std::uint16_t magic = r.U16(opt);
  std::uint64_t dirCountAt, dirsAt;
  if (magic == 0x10B) {
    dirCountAt = opt + 92;
    dirsAt = opt + 96;
  } else if (magic == 0x20B) {
    dirCountAt = opt + 108;
    dirsAt = opt + 112;
  } else {
    return std::nullopt;
  }
  if (dirCountAt + 4 > opt + optionalSize) return std::nullopt;
  std::uint32_t dirCount = r.U32(dirCountAt);
  std::uint64_t resDirAt = dirsAt + 2 * 8;
  if (dirCount < 3 || resDirAt + 8 > opt + optionalSize) return std::nullopt;
  std::uint32_t resRva = r.U32(resDirAt);
  std::uint32_t resSize = r.U32(resDirAt + 4);
  if (resRva == 0 || resSize == 0) return std::nullopt;

  std::uint64_t sectionsAt = opt + optionalSize;
  if (!r.Has(sectionsAt, static_cast<std::uint64_t>(sectionCount) * 40)) return std::nullopt;
  auto fileOffset = [&](std::uint32_t rva, std::uint64_t size) -> std::optional<std::uint64_t> {
    for (unsigned i = 0; i < sectionCount; ++i) {
      std::uint64_t s = sectionsAt + static_cast<std::uint64_t>(i) * 40;
      Section sec{r.U32(s + 12), r.U32(s + 8), r.U32(s + 16), r.U32(s + 20)};
      std::uint64_t extent = sec.virtualSize ? sec.virtualSize : sec.rawSize;
      if (rva >= sec.virtualAddress && rva - sec.virtualAddress < extent) {
        std::uint64_t delta = rva - sec.virtualAddress;
        if (delta + size > sec.rawSize) return std::nullopt;
        std::uint64_t off = sec.rawOffset + delta;
        if (!r.Has(off, size)) return std::nullopt;
        return off;
      }
    }
    return std::nullopt;
  };

  auto rootAt = fileOffset(resRva, 16);
  if (!rootAt) return std::nullopt;
  std::uint64_t root = *rootAt;
  // Offsets inside the resource tree are relative to its root; the tree is resSize bytes long.
  auto inTree = [&](std::uint64_t rel, std::uint64_t size) {
    return rel <= resSize && size <= resSize - rel && r.Has(root + rel, size);
  };
  // Picks, in the directory at rel, the entry with the given id (or the first entry when any).
  auto entry = [&](std::uint64_t rel, std::optional<std::uint32_t> id) -> std::optional<std::uint32_t> {
    if (!inTree(rel, 16)) return std::nullopt;
    unsigned named = r.U16(root + rel + 12), ids = r.U16(root + rel + 14);
    std::uint64_t count = static_cast<std::uint64_t>(named) + ids;
    if (!inTree(rel + 16, count * 8)) return std::nullopt;
    for (std::uint64_t i = 0; i < count; ++i) {
      std::uint64_t e = root + rel + 16 + i * 8;
      std::uint32_t name = r.U32(e);
      if (!id || (!(name & 0x80000000u) && name == *id)) return r.U32(e + 4);
    }
    return std::nullopt;
  };

  auto typeDir = entry(0, kResourceTypeVersion);
  if (!typeDir || !(*typeDir & 0x80000000u)) return std::nullopt;
  auto nameDir = entry(*typeDir & 0x7FFFFFFFu, std::nullopt);
  if (!nameDir || !(*nameDir & 0x80000000u)) return std::nullopt;
  // A file may carry its version in several languages: the neutral one first, then US English
  // (where Windows looks when nothing matches the user's language), then whichever comes first.
  std::uint32_t langDir = *nameDir & 0x7FFFFFFFu;
  auto langEntry = entry(langDir, 0u);
  if (!langEntry) langEntry = entry(langDir, 0x409u);
  if (!langEntry) langEntry = entry(langDir, std::nullopt);
  if (!langEntry || (*langEntry & 0x80000000u) || !inTree(*langEntry, 16)) return std::nullopt;
  std::uint32_t dataRva = r.U32(root + *langEntry);
  std::uint32_t dataSize = r.U32(root + *langEntry + 4);
  auto dataAt = fileOffset(dataRva, dataSize);
  if (!dataAt || dataSize < 40) return std::nullopt;
  return ResourceData{*dataAt, dataSize};
}

// One block of the version resource: length, value length, type, a UTF-16 key, padding to
// four bytes, the value, padding, then the child blocks up to the block's length.
struct Block {
  std::uint64_t at = 0, end = 0;
  std::uint16_t valueLength = 0, type = 0;
  std::u16string key;
  std::uint64_t valueAt = 0, childrenAt = 0;
};

std::uint64_t Align4(std::uint64_t base, std::uint64_t at) { return base + (at - base + 3) / 4 * 4; }

std::optional<Block> ReadBlock(const Reader& r, std::uint64_t base, std::uint64_t at, std::uint64_t limit) {
  if (at + 6 > limit || !r.Has(at, 6)) return std::nullopt;
  Block b;
  b.at = at;
  std::uint16_t length = r.U16(at);
  if (length < 6 || at + length > limit) return std::nullopt;
  b.end = at + length;
  b.valueLength = r.U16(at + 2);
  b.type = r.U16(at + 4);
  std::uint64_t k = at + 6;
  for (;; k += 2) {
    if (k + 2 > b.end) return std::nullopt;
    std::uint16_t c = r.U16(k);
    if (c == 0) break;
    b.key.push_back(static_cast<char16_t>(c));
  }
  b.valueAt = Align4(base, k + 2);
  // Text values count UTF-16 units, binary ones bytes.
  std::uint64_t valueBytes = b.type == 1 ? 2ull * b.valueLength : b.valueLength;
  if (b.valueAt > b.end || valueBytes > b.end - b.valueAt) return std::nullopt;
  b.childrenAt = Align4(base, b.valueAt + valueBytes);
  return b;
}

std::string Utf8Of(const std::u16string& text) {
  std::string out;
  for (char16_t c : text) {
    unsigned u = c;
    if (u < 0x80) {
      out += static_cast<char>(u);
    } else if (u < 0x800) {
      out += static_cast<char>(0xC0 | (u >> 6));
      out += static_cast<char>(0x80 | (u & 0x3F));
    } else {
      // Surrogates stand for themselves here: product names are plain text.
      out += static_cast<char>(0xE0 | (u >> 12));
      out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (u & 0x3F));
    }
  }
  return out;
}

}  // namespace

std::optional<std::string> ParsePeProductName(std::string_view bytes) {
  auto res = VersionResource(bytes);
  if (!res) return std::nullopt;
  Reader r(bytes);
  std::uint64_t base = res->at, limit = res->at + res->size;
  auto root = ReadBlock(r, base, base, limit);
  if (!root || root->key != u"VS_VERSION_INFO") return std::nullopt;
  for (std::uint64_t at = root->childrenAt; at < root->end;) {
    auto info = ReadBlock(r, base, at, root->end);
    if (!info) return std::nullopt;
    if (info->key == u"StringFileInfo") {
      // The first string table (the file's first language) that names the product.
      for (std::uint64_t t = info->childrenAt; t < info->end;) {
        auto table = ReadBlock(r, base, t, info->end);
        if (!table) return std::nullopt;
        for (std::uint64_t s = table->childrenAt; s < table->end;) {
          auto str = ReadBlock(r, base, s, table->end);
          if (!str) return std::nullopt;
          if (str->key == u"ProductName") {
            std::u16string value;
            for (std::uint64_t v = str->valueAt; v + 2 <= str->end && v < str->valueAt + 2ull * str->valueLength;
                 v += 2) {
              std::uint16_t c = r.U16(v);
              if (c == 0) break;
              value.push_back(static_cast<char16_t>(c));
            }
            return Utf8Of(value);
          }
          s = Align4(base, str->end);
        }
        t = Align4(base, table->end);
      }
    }
    at = Align4(base, info->end);
  }
  return std::nullopt;
}

std::optional<FileVersionNumbers> ParsePeFileVersion(std::string_view bytes) {
  auto res = VersionResource(bytes);
  if (!res) return std::nullopt;
  Reader r(bytes);
  std::uint64_t dataSize = res->size;

  // VS_VERSIONINFO: length, value length, type, the key "VS_VERSION_INFO", padding to 4 bytes,
  // then VS_FIXEDFILEINFO.
  std::uint64_t vi = res->at;
  std::uint16_t valueLength = r.U16(vi + 2);
  static const char key[] = "VS_VERSION_INFO";
  for (int i = 0; i < 16; ++i)
    if (r.U16(vi + 6 + 2 * static_cast<unsigned>(i)) != static_cast<unsigned char>(key[i])) return std::nullopt;
  std::uint64_t fixed = vi + 6 + 32;
  fixed = (fixed - vi + 3) / 4 * 4 + vi;
  if (valueLength < 52 || fixed + 52 > vi + dataSize || r.U32(fixed) != kFixedInfoSignature) return std::nullopt;
  std::uint32_t ms = r.U32(fixed + 8), ls = r.U32(fixed + 12);
  return FileVersionNumbers{ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF};
}

}  // namespace platform
