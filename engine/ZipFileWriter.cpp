#include "engine/ZipFileWriter.h"

#include <zlib.h>

#include <ctime>
#include <filesystem>
#include <memory>
#include <optional>
#include <system_error>

#include "engine/Crc32.h"
#include "engine/OrderedPipeline.h"
#include "engine/ZipArchive.h"
#include "platform/FileAttributes.h"
#include "platform/Files.h"
#include "platform/InputFile.h"
#include "platform/OutputFile.h"

namespace engine {

namespace fs = std::filesystem;

namespace {

// A file is compressed in pieces of this size, each on its own worker; the pieces join into one
// deflate stream (each but the last ends on a byte boundary with a sync flush).
constexpr std::uint64_t kPiece = 1u << 20;
constexpr std::uint64_t kDictionary = 32 * 1024;
// A size, an offset or a count at or past these no longer fits its field: the field then holds
// the maximum and the value goes into a Zip64 record.
constexpr std::uint64_t kMax32 = 0xFFFFFFFFu;
constexpr std::uint64_t kMax16 = 0xFFFFu;
constexpr unsigned kVersionPlain = 20;  // ZIP 2.0: deflate
constexpr unsigned kVersionZip64 = 45;  // ZIP 4.5: Zip64 records
constexpr std::uint16_t kZip64Field = 0x0001;

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

struct Piece {
  std::size_t File = 0;
  std::uint64_t Offset = 0;
  std::uint64_t Length = 0;
  bool First = false;
  bool Last = false;
};

struct Packed {
  std::string Data;  // raw deflate
  std::uint32_t Crc = 0;
  std::uint64_t Length = 0;
};

// Deflate's stored blocks: data that does not compress costs 5 bytes per 64 KiB and no CPU.
void AppendStored(std::string& out, const char* data, std::size_t size, bool last) {
  do {
    std::size_t n = std::min<std::size_t>(size, 65535);
    bool final = last && n == size;
    char header[5] = {static_cast<char>(final ? 1 : 0), static_cast<char>(n & 0xFF), static_cast<char>(n >> 8),
                      static_cast<char>(~n & 0xFF), static_cast<char>((~n >> 8) & 0xFF)};
    out.append(header, 5);
    out.append(data, n);
    data += n;
    size -= n;
  } while (size > 0);
}

class Deflater {
 public:
  Deflater() {
    if (deflateInit2(&FStream, 1, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
      throw ZipError("Cannot start the compression");
  }
  ~Deflater() { deflateEnd(&FStream); }
  Deflater(const Deflater&) = delete;
  Deflater& operator=(const Deflater&) = delete;

  // Ready for a new stream: a worker keeps its compressor from piece to piece, since zlib clears
  // some 256 KiB for a new one, more than a small file costs to compress.
  Deflater& Reset() {
    if (deflateReset(&FStream) != Z_OK) throw ZipError("Cannot start the compression");
    return *this;
  }

  void Dictionary(const char* data, std::size_t size) {
    if (size) deflateSetDictionary(&FStream, reinterpret_cast<const Bytef*>(data), static_cast<uInt>(size));
  }
  std::size_t Compress(const char* data, std::size_t size, int flush, std::string& out) {
    std::size_t start = out.size();
    out.resize(start + deflateBound(&FStream, static_cast<uLong>(size)) + 16);
    FStream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data));
    FStream.avail_in = static_cast<uInt>(size);
    FStream.next_out = reinterpret_cast<Bytef*>(out.data() + start);
    FStream.avail_out = static_cast<uInt>(out.size() - start);
    for (;;) {
      int rc = deflate(&FStream, flush);
      if (rc == Z_STREAM_ERROR) throw ZipError("The compression failed");
      if (rc == Z_STREAM_END || (FStream.avail_in == 0 && FStream.avail_out != 0)) break;
      std::size_t used = out.size() - FStream.avail_out;  // out of room: give it more
      out.resize(out.size() + 64 * 1024);
      FStream.next_out = reinterpret_cast<Bytef*>(out.data() + used);
      FStream.avail_out = static_cast<uInt>(out.size() - used);
    }
    out.resize(out.size() - FStream.avail_out);
    return out.size() - start;
  }

 private:
  z_stream FStream{};
};

// Whether a piece is worth compressing: a sample of its start at the same level.
// What one worker keeps from piece to piece: its compressor and its read buffer (never cleared:
// each read fills what is used).
struct Packer {
  Deflater Compressor;
  std::unique_ptr<char[]> Buffer{new char[kDictionary + kPiece]};
};

bool Compressible(Deflater& compressor, const char* data, std::size_t size) {
  constexpr std::size_t kSample = 16 * 1024;
  if (size < 4 * kSample) return true;
  Deflater& d = compressor.Reset();
  std::string out;
  return d.Compress(data, kSample, Z_FINISH, out) < kSample * 97 / 100;
}

Packed PackPiece(Packer& packer, const ZipWriterFile& file, const Piece& piece) {
  std::uint64_t dictionary = std::min(piece.Offset, kDictionary);
  auto length = static_cast<std::size_t>(piece.Length);
  std::unique_ptr<char[]>& buffer = packer.Buffer;
  try {
    platform::InputFile in(file.Path);
    if (in.ReadAt(piece.Offset - dictionary, buffer.get(), static_cast<std::size_t>(dictionary) + length) !=
        dictionary + length)
      throw ZipError("Cannot read the file " + Quoted(file.Path) + ": it changed while it was being backed up");
  } catch (const ZipError&) {
    throw;
  } catch (const std::exception& e) {
    throw ZipError(e.what());
  }
  const char* data = buffer.get() + dictionary;
  Packed p;
  p.Length = piece.Length;
  p.Crc = Crc32(0, data, length);
  if (Compressible(packer.Compressor, data, length)) {
    Deflater& d = packer.Compressor.Reset();
    d.Dictionary(buffer.get(), static_cast<std::size_t>(dictionary));
    d.Compress(data, length, piece.Last ? Z_FINISH : Z_SYNC_FLUSH, p.Data);
  } else {
    p.Data.reserve(length + length / 65535 * 5 + 5);
    AppendStored(p.Data, data, length, piece.Last);
  }
  return p;
}

void Put16(std::string& out, unsigned v) {
  out += static_cast<char>(v & 0xFF);
  out += static_cast<char>((v >> 8) & 0xFF);
}
void Put32(std::string& out, std::uint64_t v) {
  Put16(out, static_cast<unsigned>(v & 0xFFFF));
  Put16(out, static_cast<unsigned>((v >> 16) & 0xFFFF));
}
void Put64(std::string& out, std::uint64_t v) {
  Put32(out, v & kMax32);
  Put32(out, v >> 32);
}
// The 32-bit field of a value that may not fit it.
std::uint64_t Field32(std::uint64_t v) { return std::min(v, kMax32); }

// The MS-DOS date and time of a file's modification, in local time as ZIP keeps it.
void DosDateTime(std::int64_t unixTime, unsigned& date, unsigned& time) {
  std::time_t t = static_cast<std::time_t>(unixTime);
  std::tm local{};
#ifdef _WIN32
  bool ok = localtime_s(&local, &t) == 0;
#else
  bool ok = localtime_r(&t, &local) != nullptr;
#endif
  if (!ok || local.tm_year < 80) {
    date = (1 << 5) | 1;  // 1980-01-01, the earliest a ZIP can say
    time = 0;
    return;
  }
  date = static_cast<unsigned>(((local.tm_year - 80) << 9) | ((local.tm_mon + 1) << 5) | local.tm_mday);
  time = static_cast<unsigned>((local.tm_hour << 11) | (local.tm_min << 5) | (local.tm_sec / 2));
}

struct Entry {
  const ZipWriterFile* File;
  unsigned Date = 0, Time = 0;
  std::uint32_t Crc = 0;
  std::uint64_t Compressed = 0, Size = 0, Offset = 0;
  // The local header carries both sizes in a Zip64 field. Decided before the data are compressed,
  // so with room for deflate's growth on data that do not compress (stored blocks add 5 bytes per
  // 64 KiB, a deflated piece a few bytes per 4 KiB at worst).
  bool LocalZip64 = false;
};

bool NeedsLocalZip64(std::uint64_t size) { return size + size / 256 + 64 * 1024 >= kMax32; }

// The Zip64 field of a central record: the values that do not fit their fields, in this order.
std::string CentralZip64Field(const Entry& e) {
  std::string values;
  if (e.Size >= kMax32) Put64(values, e.Size);
  if (e.Compressed >= kMax32) Put64(values, e.Compressed);
  if (e.Offset >= kMax32) Put64(values, e.Offset);
  if (values.empty()) return values;
  std::string field;
  Put16(field, kZip64Field);
  Put16(field, static_cast<unsigned>(values.size()));
  return field + values;
}

// Below the limits a header is exactly that of a plain ZIP 2.0 archive.
std::string Header(const Entry& e, bool central) {
  std::string extra;
  if (central) {
    extra = CentralZip64Field(e);
  } else if (e.LocalZip64) {
    Put16(extra, kZip64Field);
    Put16(extra, 16);
    Put64(extra, e.Size);
    Put64(extra, e.Compressed);
  }
  unsigned version = e.LocalZip64 || !extra.empty() ? kVersionZip64 : kVersionPlain;
  std::string h;
  Put32(h, central ? 0x02014b50u : 0x04034b50u);
  if (central) Put16(h, version);  // made by MS-DOS (names in OEM unless flagged)
  Put16(h, version);
  Put16(h, e.File->Utf8Name ? 0x0800u : 0u);
  Put16(h, 8);
  Put16(h, e.Time);
  Put16(h, e.Date);
  Put32(h, e.Crc);
  Put32(h, e.LocalZip64 && !central ? kMax32 : Field32(e.Compressed));
  Put32(h, e.LocalZip64 && !central ? kMax32 : Field32(e.Size));
  Put16(h, static_cast<unsigned>(e.File->StoredName.size()));
  Put16(h, static_cast<unsigned>(extra.size()));
  if (central) {
    Put16(h, 0);
    Put16(h, 0);
    Put16(h, 0);
    Put32(h, e.File->DosAttributes);
    Put32(h, Field32(e.Offset));
  }
  return h + e.File->StoredName + extra;
}

// The end of the archive: past 65,535 entries or 4 GiB of offsets the Zip64 end record and its
// locator come before the classic end record, whose fields that overflow hold their maximum.
std::string EndRecords(std::uint64_t count, std::uint64_t directorySize, std::uint64_t directoryAt) {
  std::string end;
  if (count > kMax16 || directorySize >= kMax32 || directoryAt >= kMax32) {
    std::uint64_t zip64At = directoryAt + directorySize;
    Put32(end, 0x06064b50u);
    Put64(end, 44);  // the size of the rest of this record
    Put16(end, kVersionZip64);
    Put16(end, kVersionZip64);
    Put32(end, 0);  // this disk
    Put32(end, 0);  // the disk where the directory starts
    Put64(end, count);
    Put64(end, count);
    Put64(end, directorySize);
    Put64(end, directoryAt);
    Put32(end, 0x07064b50u);
    Put32(end, 0);  // the disk of the Zip64 end record
    Put64(end, zip64At);
    Put32(end, 1);  // disks in all
  }
  Put32(end, 0x06054b50u);
  Put16(end, 0);
  Put16(end, 0);
  Put16(end, static_cast<unsigned>(std::min(count, kMax16)));
  Put16(end, static_cast<unsigned>(std::min(count, kMax16)));
  Put32(end, Field32(directorySize));
  Put32(end, Field32(directoryAt));
  Put16(end, 0);
  return end;
}

}  // namespace

void WriteZipOfFiles(const std::string& archivePath, const std::vector<ZipWriterFile>& files, ProgressSink& progress) {
  std::vector<Entry> entries(files.size());
  std::vector<Piece> pieces;
  for (std::size_t i = 0; i < files.size(); ++i) {
    const ZipWriterFile& f = files[i];
    std::error_code ec;
    std::uint64_t size = fs::file_size(platform::PathFromUtf8(f.Path), ec);
    if (ec) throw ZipError("Cannot read the file " + Quoted(f.Path) + ": " + ec.message());
    std::int64_t modified = 0;
    try {
      modified = platform::GetFileModifiedTime(f.Path);
    } catch (const std::exception& e) {
      throw ZipError(e.what());
    }
    entries[i].File = &f;
    entries[i].Size = size;
    entries[i].LocalZip64 = NeedsLocalZip64(size);
    DosDateTime(modified, entries[i].Date, entries[i].Time);
    std::uint64_t offset = 0;
    do {
      std::uint64_t length = std::min(kPiece, size - offset);
      pieces.push_back({i, offset, length, offset == 0, offset + length == size});
      offset += length;
    } while (offset < size);
  }

  fs::path target = platform::PathFromUtf8(archivePath);
  fs::path partial = target;
  partial += ".vspart";
  std::string partialText = platform::Utf8FromPath(partial);
  std::optional<platform::OutputFile> out;
  try {
    try {
      out.emplace(partialText);
    } catch (const std::exception& e) {
      throw ZipError(e.what());
    }
    std::uint64_t position = 0;
    auto write = [&](const std::string& bytes) {
      try {
        out->Write(bytes.data(), bytes.size());
      } catch (const std::exception& e) {
        throw ZipError(e.what());
      }
      position += bytes.size();
    };

    unsigned workers = ArchiveWorkerCount();
    // Each worker's packer, made when it first packs (the calling thread is the last worker).
    std::vector<std::unique_ptr<Packer>> packers(workers + 1);
    // At most 12 pieces of up to 1 MiB are held compressed before they are written.
    OrderedPipeline<Packed> pipeline(pieces.size(), 12, workers, [&](unsigned worker, std::size_t j) {
      if (!packers[worker]) packers[worker] = std::make_unique<Packer>();
      return PackPiece(*packers[worker], files[pieces[j].File], pieces[j]);
    });
    std::size_t j = 0;
    for (std::size_t i = 0; i < entries.size(); ++i) {
      Entry& e = entries[i];
      e.Offset = position;
      bool single = pieces[j].Last;
      std::optional<Packed> first;
      if (single) {
        first = pipeline.Next(j++);
        e.Crc = first->Crc;
        e.Compressed = first->Data.size();
      }
      write(Header(e, false));
      if (single) {
        write(first->Data);
      } else {
        bool last = false;
        while (!last) {
          last = pieces[j].Last;
          Packed p = pipeline.Next(j++);
          e.Crc = static_cast<std::uint32_t>(crc32_combine(e.Crc, p.Crc, static_cast<z_off_t>(p.Length)));
          e.Compressed += p.Data.size();
          write(p.Data);
        }
        // The header was written before the sizes were known: they go in now.
        std::string crc, sizes;
        Put32(crc, e.Crc);
        std::uint64_t sizesAt = e.Offset + 18;
        if (e.LocalZip64) {
          Put64(sizes, e.Size);
          Put64(sizes, e.Compressed);
          sizesAt = e.Offset + 30 + files[i].StoredName.size() + 4;
        } else {
          Put32(sizes, e.Compressed);
          Put32(sizes, e.Size);
        }
        try {
          out->WriteAt(e.Offset + 14, crc.data(), crc.size());
          out->WriteAt(sizesAt, sizes.data(), sizes.size());
        } catch (const std::exception& ex) {
          throw ZipError(ex.what());
        }
      }
      if (!e.LocalZip64 && e.Compressed >= kMax32)
        throw ZipError("The file " + Quoted(files[i].Path) + " grew past 4 GiB when compressed");
      progress.Item(i + 1, files[i].Path);
      if (progress.ShouldStop()) throw ZipStopped("The backup was stopped");
    }

    std::uint64_t directory = position;
    std::string central;
    for (const Entry& e : entries) central += Header(e, true);
    write(central);
    write(EndRecords(entries.size(), central.size(), directory));
    try {
      out->Commit();
    } catch (const std::exception& e) {
      throw ZipError(e.what());
    }
    out.reset();
    std::error_code ec;
    fs::rename(partial, target, ec);
    if (ec) throw ZipError("Cannot write the archive " + Quoted(archivePath) + ": " + ec.message());
    try {
      platform::FlushFolderToDisk(platform::Utf8FromPath(target.parent_path().empty() ? fs::path(".") : target.parent_path()));
    } catch (const std::exception& e) {
      throw ZipError(e.what());
    }
  } catch (...) {
    out.reset();
    std::error_code ec;
    fs::remove(partial, ec);
    throw;
  }
}

}  // namespace engine
