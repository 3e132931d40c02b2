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
constexpr std::uint64_t kZipLimit = 0xFFFFFFFFu;

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

  // This thread's compressor, ready for a new stream: zlib clears some 256 KiB for a new one,
  // more than a small file costs to compress.
  static Deflater& ForThisThread() {
    thread_local Deflater deflater;
    if (deflateReset(&deflater.FStream) != Z_OK) throw ZipError("Cannot start the compression");
    return deflater;
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
bool Compressible(const char* data, std::size_t size) {
  constexpr std::size_t kSample = 16 * 1024;
  if (size < 4 * kSample) return true;
  Deflater& d = Deflater::ForThisThread();
  std::string out;
  return d.Compress(data, kSample, Z_FINISH, out) < kSample * 97 / 100;
}

Packed PackPiece(const ZipWriterFile& file, const Piece& piece) {
  std::uint64_t dictionary = std::min(piece.Offset, kDictionary);
  auto length = static_cast<std::size_t>(piece.Length);
  // Each thread reads into the same buffer every time, never cleared: it is filled by the read.
  thread_local std::unique_ptr<char[]> buffer(new char[kDictionary + kPiece]);
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
  if (Compressible(data, length)) {
    Deflater& d = Deflater::ForThisThread();
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
};

std::string Header(const Entry& e, bool central) {
  std::string h;
  Put32(h, central ? 0x02014b50u : 0x04034b50u);
  if (central) Put16(h, 20);  // made by MS-DOS (names in OEM unless flagged), format 2.0
  Put16(h, 20);
  Put16(h, e.File->Utf8Name ? 0x0800u : 0u);
  Put16(h, 8);
  Put16(h, e.Time);
  Put16(h, e.Date);
  Put32(h, e.Crc);
  Put32(h, e.Compressed);
  Put32(h, e.Size);
  Put16(h, static_cast<unsigned>(e.File->StoredName.size()));
  Put16(h, 0);
  if (central) {
    Put16(h, 0);
    Put16(h, 0);
    Put16(h, 0);
    Put32(h, e.File->DosAttributes);
    Put32(h, e.Offset);
  }
  return h + e.File->StoredName;
}

}  // namespace

void WriteZipOfFiles(const std::string& archivePath, const std::vector<ZipWriterFile>& files, ProgressSink& progress) {
  if (files.size() > 0xFFFF)
    throw ZipError("Cannot write the archive " + Quoted(archivePath) + ": more than 65535 files");
  std::vector<Entry> entries(files.size());
  std::vector<Piece> pieces;
  for (std::size_t i = 0; i < files.size(); ++i) {
    const ZipWriterFile& f = files[i];
    std::error_code ec;
    std::uint64_t size = fs::file_size(platform::PathFromUtf8(f.Path), ec);
    if (ec) throw ZipError("Cannot read the file " + Quoted(f.Path) + ": " + ec.message());
    if (size > kZipLimit) throw ZipError("The file " + Quoted(f.Path) + " is larger than a ZIP archive can hold (4 GiB)");
    std::int64_t modified = 0;
    try {
      modified = platform::GetFileModifiedTime(f.Path);
    } catch (const std::exception& e) {
      throw ZipError(e.what());
    }
    entries[i].File = &f;
    entries[i].Size = size;
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
      if (position > kZipLimit) throw ZipError("The archive " + Quoted(archivePath) + " would be larger than 4 GiB");
    };

    unsigned workers = ArchiveWorkerCount();
    // At most 12 pieces of up to 1 MiB are held compressed before they are written.
    OrderedPipeline<Packed> pipeline(pieces.size(), 12, workers, [&](unsigned, std::size_t j) {
      return PackPiece(files[pieces[j].File], pieces[j]);
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
          if (e.Compressed > kZipLimit)
            throw ZipError("The file " + Quoted(files[i].Path) + " does not fit a ZIP archive compressed");
          write(p.Data);
        }
        std::string sizes;
        Put32(sizes, e.Crc);
        Put32(sizes, e.Compressed);
        Put32(sizes, e.Size);
        try {
          out->WriteAt(e.Offset + 14, sizes.data(), sizes.size());
        } catch (const std::exception& ex) {
          throw ZipError(ex.what());
        }
      }
      progress.Item(i + 1, files[i].Path);
      if (progress.ShouldStop()) throw ZipStopped("The backup was stopped");
    }

    std::uint64_t directory = position;
    std::string central;
    for (const Entry& e : entries) central += Header(e, true);
    write(central);
    std::string end;
    Put32(end, 0x06054b50u);
    Put16(end, 0);
    Put16(end, 0);
    Put16(end, static_cast<unsigned>(entries.size()));
    Put16(end, static_cast<unsigned>(entries.size()));
    Put32(end, central.size());
    Put32(end, directory);
    Put16(end, 0);
    write(end);
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
