#include "engine/ZipEntryReader.h"

#include <zip.h>
#include <zlib.h>

#include <optional>
#include <vector>

#include "engine/Crc32.h"
#include "engine/WinZipAesCheck.h"
#include "platform/InputFile.h"

namespace engine {

namespace {

constexpr std::uint16_t kFlagEncrypted = 0x0001;
constexpr std::uint16_t kFlagDescriptor = 0x0008;
constexpr std::uint16_t kFlagStrongEncryption = 0x0040;
constexpr std::uint16_t kStored = 0;
constexpr std::uint16_t kDeflated = 8;
constexpr std::uint16_t kWinZipAes = 99;
constexpr std::size_t kTraditionalHeader = 12;
constexpr std::size_t kAesCodeLength = 10;

// The traditional PKWARE encryption: three keys that every plain byte updates.
class TraditionalCipher {
 public:
  explicit TraditionalCipher(const std::string& password) {
    for (char c : password) Update(static_cast<unsigned char>(c));
  }
  void Decrypt(unsigned char* p, std::size_t size) {
    std::uint32_t k0 = FKey0, k1 = FKey1, k2 = FKey2;
    for (std::size_t i = 0; i < size; ++i) {
      std::uint32_t t = (k2 | 2) & 0xFFFF;
      auto plain = static_cast<unsigned char>(p[i] ^ ((t * (t ^ 1)) >> 8));
      p[i] = plain;
      k0 = Crc32Step(k0, plain);
      k1 = (k1 + (k0 & 0xFF)) * 134775813u + 1;
      k2 = Crc32Step(k2, static_cast<unsigned char>(k1 >> 24));
    }
    FKey0 = k0;
    FKey1 = k1;
    FKey2 = k2;
  }

 private:
  void Update(unsigned char plain) {
    FKey0 = Crc32Step(FKey0, plain);
    FKey1 = (FKey1 + (FKey0 & 0xFF)) * 134775813u + 1;
    FKey2 = Crc32Step(FKey2, static_cast<unsigned char>(FKey1 >> 24));
  }
  std::uint32_t FKey0 = 0x12345678, FKey1 = 0x23456789, FKey2 = 0x34567890;
};

// The stored bytes of the entry, read in pieces.
class RawData {
 public:
  RawData(platform::InputFile& file, const ZipEntryData& entry)
      : FFile(file), FAt(entry.DataOffset), FLeft(entry.CompressedSize) {}
  std::uint64_t Left() const { return FLeft; }
  // Exactly size bytes (no more than are left).
  void Read(char* to, std::size_t size) {
    if (FFile.ReadAt(FAt, to, size) != size) throw ZipEntryFault(ZIP_ER_EOF, "the archive ends inside the entry");
    FAt += size;
    FLeft -= size;
  }

 private:
  platform::InputFile& FFile;
  std::uint64_t FAt;
  std::uint64_t FLeft;
};

// Hands the content over, checking it against the sizes and the CRC the directory states.
class Content {
 public:
  Content(const ZipEntryData& entry, bool checkCrc, std::vector<char>& out,
          const std::function<void(const char*, std::size_t)>& sink)
      : FEntry(entry), FCheckCrc(checkCrc), FSink(sink), FOut(out) {}
  ~Content() {
    if (FInflating) inflateEnd(&FStream);
  }
  Content(const Content&) = delete;
  Content& operator=(const Content&) = delete;

  void Stored(const char* data, std::size_t size) { Deliver(data, size); }

  void Deflated(const char* data, std::size_t size) {
    if (!FInflating) {
      if (inflateInit2(&FStream, -MAX_WBITS) != Z_OK) throw ZipEntryFault(ZIP_ER_ZLIB, "cannot start decompression");
      FInflating = true;
    }
    if (FStreamEnded) {
      if (size) throw ZipEntryFault(ZIP_ER_INCONS, "data after the compressed stream");
      return;
    }
    FStream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data));
    FStream.avail_in = static_cast<uInt>(size);
    do {
      FStream.next_out = reinterpret_cast<Bytef*>(FOut.data());
      FStream.avail_out = static_cast<uInt>(FOut.size());
      int rc = inflate(&FStream, Z_NO_FLUSH);
      if (rc != Z_OK && rc != Z_STREAM_END && rc != Z_BUF_ERROR)
        throw ZipEntryFault(ZIP_ER_ZLIB, FStream.msg ? FStream.msg : "invalid deflate data");
      std::size_t produced = FOut.size() - FStream.avail_out;
      if (produced) Deliver(FOut.data(), produced);
      if (rc == Z_STREAM_END) {
        FStreamEnded = true;
        if (FStream.avail_in) throw ZipEntryFault(ZIP_ER_INCONS, "data after the compressed stream");
      }
      if (rc == Z_BUF_ERROR && produced == 0) break;
    } while (!FStreamEnded && (FStream.avail_in > 0 || FStream.avail_out == 0));
  }

  void Finish(bool deflated) {
    if (deflated && !FStreamEnded) throw ZipEntryFault(ZIP_ER_EOF, "the compressed data end early");
    if (FTotal != FEntry.Size) throw ZipEntryFault(ZIP_ER_INCONS, "less data than its stated size");
    if (FCheckCrc && FCrc != FEntry.Crc) throw ZipEntryFault(ZIP_ER_CRC, "CRC error");
  }

 private:
  void Deliver(const char* data, std::size_t size) {
    FTotal += size;
    // More data than the directory states is a damaged (or hostile) entry: nothing more is written.
    if (FTotal > FEntry.Size) throw ZipEntryFault(ZIP_ER_INCONS, "more data than its stated size");
    if (FCheckCrc) FCrc = Crc32(FCrc, data, size);
    FSink(data, size);
  }

  const ZipEntryData& FEntry;
  bool FCheckCrc;
  const std::function<void(const char*, std::size_t)>& FSink;
  std::uint64_t FTotal = 0;
  std::uint32_t FCrc = 0;
  bool FInflating = false;
  bool FStreamEnded = false;
  z_stream FStream{};
  std::vector<char>& FOut;
};

}  // namespace

bool ZipEntryReadable(const ZipEntryData& entry) {
  // Records that disagree on how the entry is encrypted are left to libzip, which goes by the directory.
  constexpr std::uint16_t kEncryption = kFlagEncrypted | kFlagDescriptor | kFlagStrongEncryption;
  if ((entry.Flags & kEncryption) != (entry.LocalFlags & kEncryption)) return false;
  if (entry.Flags & kFlagStrongEncryption) return false;
  if (entry.Method == kWinZipAes)
    return (entry.Flags & kFlagEncrypted) && entry.AesStrength >= 1 && entry.AesStrength <= 3 &&
           (entry.AesVersion == 1 || entry.AesVersion == 2) &&
           (entry.AesMethod == kStored || entry.AesMethod == kDeflated);
  return entry.Method == kStored || entry.Method == kDeflated;
}

void ReadZipEntry(platform::InputFile& archive, const ZipEntryData& entry, const std::string& password,
                  ZipReadBuffers& buffers, const std::function<void(const char*, std::size_t)>& sink) {
  const bool encrypted = (entry.Flags & kFlagEncrypted) != 0;
  const bool aes = entry.Method == kWinZipAes;
  const bool deflated = (aes ? entry.AesMethod : entry.Method) == kDeflated;
  if (encrypted && password.empty()) throw ZipEntryFault(ZIP_ER_NOPASSWD, "");
  RawData raw(archive, entry);
  std::vector<char>& piece = buffers.Raw;

  std::optional<TraditionalCipher> traditional;
  std::optional<WinZipAesCheck> winZipAes;
  std::uint64_t codeLength = 0;
  if (aes) {
    winZipAes.emplace(password, entry.AesStrength);
    std::size_t header = winZipAes->HeaderLength();
    if (raw.Left() < header + kAesCodeLength) throw ZipEntryFault(ZIP_ER_EOF, "the encrypted data end early");
    raw.Read(piece.data(), header);
    winZipAes->StartWith(std::string_view(piece.data(), header));
    if (!winZipAes->PasswordMatches()) throw ZipEntryFault(ZIP_ER_WRONGPASSWD, "");
    codeLength = kAesCodeLength;
  } else if (encrypted) {
    if (raw.Left() < kTraditionalHeader) throw ZipEntryFault(ZIP_ER_EOF, "the encrypted data end early");
    auto* header = reinterpret_cast<unsigned char*>(piece.data());
    raw.Read(piece.data(), kTraditionalHeader);
    traditional.emplace(password);
    traditional->Decrypt(header, kTraditionalHeader);
    // The last header byte repeats the high byte of the CRC, or of the file time when the CRC
    // follows the data; a wrong password passes this check once in 256 tries (the CRC then tells).
    auto check = static_cast<unsigned char>((entry.Flags & kFlagDescriptor) ? entry.LocalTime >> 8 : entry.Crc >> 24);
    if (header[kTraditionalHeader - 1] != check) throw ZipEntryFault(ZIP_ER_WRONGPASSWD, "");
  }

  // AE-2 entries store no CRC: the authentication code stands for it.
  Content content(entry, !aes || entry.AesVersion == 1, buffers.Inflated, sink);
  while (raw.Left() > codeLength) {
    auto size = static_cast<std::size_t>(std::min<std::uint64_t>(raw.Left() - codeLength, piece.size()));
    raw.Read(piece.data(), size);
    if (traditional) traditional->Decrypt(reinterpret_cast<unsigned char*>(piece.data()), size);
    if (winZipAes) winZipAes->DecryptInPlace(piece.data(), size);
    if (deflated)
      content.Deflated(piece.data(), size);
    else
      content.Stored(piece.data(), size);
  }
  if (winZipAes) {
    char code[kAesCodeLength];
    raw.Read(code, kAesCodeLength);
    if (!winZipAes->CodeMatches(std::string_view(code, kAesCodeLength)))
      throw ZipEntryFault(ZIP_ER_COMPRESSED_DATA, "authentication code mismatch");
  }
  content.Finish(deflated);
}

}  // namespace engine
