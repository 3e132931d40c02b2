#include "engine/ZipArchive.h"

#include <zip.h>
#include <zlib.h>

#include <cstring>
#include <exception>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <system_error>
#include <unordered_map>
#include <mutex>
#include <set>
#include <vector>

#include "engine/ZipEntryName.h"
#include "engine/ZipEntryReader.h"
#include "engine/ZipLayout.h"
#include "engine/ZipFileWriter.h"
#include "engine/OrderedPipeline.h"
#include "platform/FileAttributes.h"
#include "platform/InputFile.h"
#include "platform/Files.h"
#include "platform/OutputFile.h"
#include "platform/Text.h"

namespace engine {

namespace fs = std::filesystem;

namespace {
// The archive opened for reading at offsets, with the buffers of the thread that reads it.
struct DirectInput {
  explicit DirectInput(const std::string& fileName) try : File(fileName) {
  } catch (const std::exception& e) {
    throw ZipError(e.what());
  }
  platform::InputFile File;
  ZipReadBuffers Buffers;
};
}  // namespace

struct ZipArchive::Handle {
  zip_t* Zip = nullptr;                // an archive opened for reading
  bool Creating = false;               // an archive being created: the files AddFiles named
  std::vector<ZipWriterFile> Pending;
  std::unordered_map<std::string, std::size_t> Index;  // stored name -> place in Pending
  std::vector<ZipEntryData> Entries;   // where each entry's data lie, in libzip's order
  const ZipEntryData* Placement(zip_uint64_t index) const { return index < Entries.size() ? &Entries[index] : nullptr; }
  std::unique_ptr<DirectInput> Direct;  // for ExtractToStream, opened on its first use
  ~Handle() {
    if (Zip) zip_discard(Zip);
  }
};

namespace {

constexpr std::size_t kChunk = 64 * 1024;
// Windows attribute bits the attribute filter is applied to.
constexpr std::uint32_t kFilteredBits = platform::faReadOnly | platform::faHidden | platform::faSystem |
                                        platform::faVolumeLabel | platform::faDirectory | platform::faArchive;

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

std::string LibzipMessage(int code) {
  zip_error_t error;
  zip_error_init_with_code(&error, code);
  std::string text = zip_error_strerror(&error);
  zip_error_fini(&error);
  return text;
}

bool IsValidUtf8(std::string_view text) {
  for (size_t i = 0; i < text.size();) {
    auto c = static_cast<unsigned char>(text[i]);
    size_t extra = c < 0x80 ? 0 : (c & 0xE0) == 0xC0 ? 1 : (c & 0xF0) == 0xE0 ? 2 : (c & 0xF8) == 0xF0 ? 3 : 9;
    if (extra == 9 || (extra == 1 && c < 0xC2) || i + extra >= text.size()) return false;
    for (size_t k = 1; k <= extra; ++k)
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
    i += extra + 1;
  }
  return true;
}

struct StoredName {
  std::string Name;  // installer's form: UTF-8, '\' separated
  bool Directory = false;
};

StoredName ReadName(zip_t* za, zip_uint64_t index) {
  const char* raw = zip_get_name(za, index, ZIP_FL_ENC_RAW);
  if (!raw) throw ZipError("The archive's directory is damaged: " + std::string(zip_strerror(za)));
  std::string rawName = raw;
  // libzip hands back the stored bytes unchanged in strict mode only when the name is marked UTF-8
  // (by the flag or a Unicode path field); otherwise it converts them from CP437.
  const char* strict = zip_get_name(za, index, ZIP_FL_ENC_STRICT);
  bool utf8 = strict && rawName == strict;
  // Without the flag a name is in the maker's 8-bit code page: OEM for archives made on Windows or
  // DOS; Unix tools (Info-ZIP zip among them) store the bytes of their UTF-8 locale unmarked.
  zip_uint8_t opsys = ZIP_OPSYS_DOS;
  zip_uint32_t external = 0;
  zip_file_get_external_attributes(za, index, 0, &opsys, &external);
  if (!utf8 && opsys == ZIP_OPSYS_UNIX && IsValidUtf8(rawName)) utf8 = true;
  StoredName n;
  n.Name = EntryNameFromStored(rawName, utf8);
  n.Directory = !n.Name.empty() && n.Name.back() == '\\';
  return n;
}

std::string ReadComment(zip_t* za, zip_uint64_t index) {
  zip_uint32_t length = 0;
  const char* raw = zip_file_get_comment(za, index, &length, ZIP_FL_ENC_RAW);
  if (!raw || length == 0) return {};
  std::string rawComment(raw, length);
  const char* strict = zip_file_get_comment(za, index, &length, ZIP_FL_ENC_STRICT);
  bool utf8 = strict && rawComment == std::string(strict, length);
  return utf8 ? rawComment : platform::Utf8FromOem(rawComment);
}

// The entry's Windows attributes, also for archives made on Unix (mode in the high 16 bits).
std::uint32_t WindowsAttributes(zip_t* za, zip_uint64_t index, bool directory) {
  zip_uint8_t opsys = ZIP_OPSYS_DOS;
  zip_uint32_t external = 0;
  zip_file_get_external_attributes(za, index, 0, &opsys, &external);
  std::uint32_t attributes = external & 0x7FFF;
  if (opsys == ZIP_OPSYS_UNIX) {
    std::uint32_t mode = external >> 16;
    if (mode != 0 && (mode & 0200) == 0) attributes |= platform::faReadOnly;
    if ((mode & 0170000) == 0040000) attributes |= platform::faDirectory;
  }
  if (directory) attributes |= platform::faDirectory;
  return attributes;
}

std::string EntryError(const std::string& name, int code, const std::string& detail, bool encrypted) {
  switch (code) {
    case ZIP_ER_WRONGPASSWD:
      return "Wrong password for the archive entry " + Quoted(name);
    case ZIP_ER_NOPASSWD:
      return "The archive entry " + Quoted(name) + " is encrypted and no password was given";
    case ZIP_ER_CRC:
    case ZIP_ER_ZLIB:
    case ZIP_ER_COMPRESSED_DATA:
    case ZIP_ER_INCONS:
    case ZIP_ER_EOF:
      // A wrong password passes the traditional encryption's one-byte check once in 256 tries.
      return "The archive entry " + Quoted(name) + " is damaged" +
             (encrypted ? " or the password is wrong" : "") + " (" + detail + ")";
    case ZIP_ER_COMPNOTSUPP:
    case ZIP_ER_ENCRNOTSUPP:
      return "The archive entry " + Quoted(name) + " uses a method this program cannot read (" + detail + ")";
    default:
      return "Cannot read the archive entry " + Quoted(name) + ": " + detail;
  }
}

// Reads one entry piece by piece into a sink. Stored and deflated entries, plain or encrypted, are
// read straight from the archive file (engine/ZipEntryReader); libzip reads any other kind.
class EntryReader {
 public:
  // data is the entry's placement, input the archive opened for this thread with its buffers; za
  // may be null when the entry is read without libzip.
  EntryReader(zip_t* za, zip_uint64_t index, const std::string& name, const std::string& password,
              const ZipEntryData* data, DirectInput* input)
      : FName(name) {
    if (data && input && ZipEntryReadable(*data)) {
      FData = data;
      FInput = input;
      FPassword = password;
      FEncrypted = (data->Flags & 1) != 0;
      return;
    }
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_stat_index(za, index, 0, &st) == 0) {
      FEncrypted = (st.valid & ZIP_STAT_ENCRYPTION_METHOD) && st.encryption_method != ZIP_EM_NONE;
      if (st.valid & ZIP_STAT_SIZE) FDeclared = st.size;
    }
    // libzip 1.7 leaks the entry's reader when it refuses a method it does not know; such entries
    // are refused before it is asked.
    if (std::string method = UnsupportedMethod(st); !method.empty())
      throw ZipError(EntryError(name, ZIP_ER_ENCRNOTSUPP, method, FEncrypted));
    FFile = zip_fopen_index_encrypted(za, index, 0, password.empty() ? nullptr : password.c_str());
    if (!FFile) {
      zip_error_t* e = zip_get_error(za);
      std::string message = EntryError(name, zip_error_code_zip(e), zip_error_strerror(e), FEncrypted);
      zip_error_clear(za);
      throw ZipError(message);
    }
  }
  ~EntryReader() {
    if (FFile) zip_fclose(FFile);
  }
  EntryReader(const EntryReader&) = delete;
  EntryReader& operator=(const EntryReader&) = delete;

  void CopyTo(const std::function<void(const char*, std::size_t)>& sink) {
    if (FData) {
      try {
        ReadZipEntry(FInput->File, *FData, FPassword, FInput->Buffers, sink);
      } catch (const ZipEntryFault& f) {
        throw ZipError(EntryError(FName, f.Code, f.what(), FEncrypted));
      }
      return;
    }
    std::vector<char> buffer(kChunk);
    std::uint64_t total = 0;
    for (;;) {
      zip_int64_t n = zip_fread(FFile, buffer.data(), buffer.size());
      if (n < 0) {
        zip_error_t* e = zip_file_get_error(FFile);
        throw ZipError(EntryError(FName, zip_error_code_zip(e), zip_error_strerror(e), FEncrypted));
      }
      if (n == 0) break;
      total += static_cast<std::uint64_t>(n);
      // More data than the directory declares is a damaged (or hostile) entry: stop writing.
      if (total > FDeclared)
        throw ZipError(EntryError(FName, ZIP_ER_INCONS, "more data than its stated size", FEncrypted));
      sink(buffer.data(), static_cast<std::size_t>(n));
    }
    if (total != FDeclared)
      throw ZipError(EntryError(FName, ZIP_ER_INCONS, "less data than its stated size", FEncrypted));
    int rc = zip_fclose(FFile);
    FFile = nullptr;
    if (rc != 0) throw ZipError(EntryError(FName, rc, LibzipMessage(rc), FEncrypted));
  }

 private:
  // Empty when libzip can read the entry's compression and encryption methods.
  static std::string UnsupportedMethod(const zip_stat_t& st) {
    if ((st.valid & ZIP_STAT_COMP_METHOD) && zip_compression_method_supported(st.comp_method, 0) == 0)
      return "compression method " + std::to_string(st.comp_method);
    if ((st.valid & ZIP_STAT_ENCRYPTION_METHOD) && st.encryption_method != ZIP_EM_NONE &&
        zip_encryption_method_supported(st.encryption_method, 0) == 0)
      return "encryption method " + std::to_string(st.encryption_method);
    return {};
  }

  std::string FName;
  const ZipEntryData* FData = nullptr;  // read without libzip
  DirectInput* FInput = nullptr;
  std::string FPassword;
  zip_file_t* FFile = nullptr;
  bool FEncrypted = false;
  std::uint64_t FDeclared = UINT64_MAX;
};

bool Filtered(std::uint32_t attributes, std::uint32_t filter) { return (attributes & ~filter & kFilteredBits) == 0; }

fs::path TargetPath(const std::string& baseDir, const std::vector<std::string>& components) {
  fs::path p = platform::PathFromUtf8(baseDir);
  for (const auto& c : components) p /= platform::PathFromUtf8(c);
  // Made again from the whole text: a short base joined with long names needs the long form too.
  return platform::PathFromUtf8(platform::Utf8FromPath(p));
}

void CreateFolders(const fs::path& folder) {
  std::error_code ec;
  fs::create_directories(folder, ec);
  if (ec || !fs::is_directory(folder))
    throw ZipError("Cannot create the folder " + Quoted(platform::Utf8FromPath(folder)) +
                   (ec ? ": " + ec.message() : std::string()));
}

void ApplyTimeAndAttributes(const std::string& path, std::int64_t time, std::uint32_t attributes, bool folder) {
  // A file just made has the system's ordinary attributes: only the special ones need setting.
  constexpr std::uint32_t kSpecial = platform::faReadOnly | platform::faHidden | platform::faSystem;
  try {
    if (time > 0) platform::SetFileModifiedTime(path, time);
    if (!folder && (attributes & kSpecial)) platform::SetFileAttributesOf(path, attributes);
  } catch (const std::exception& e) {
    throw ZipError(e.what());
  }
}

bool HasWildcard(const std::string& text) { return text.find_first_of("*?") != std::string::npos; }

// The path of file relative to base in the installer's form, or nothing when it is not below base.
std::optional<std::string> RelativeName(const std::string& baseDir, const std::string& file) {
  auto normal = [](const std::string& path) {
    std::string text = platform::Utf8FromPath(platform::LexicalPath(path).lexically_normal());
    for (char& c : text)
      if (c == '\\') c = '/';
    return text;
  };
  std::string base = normal(baseDir);
  std::string full = normal(file);
  while (!base.empty() && base.back() == '/') base.pop_back();
#ifdef _WIN32
  bool below = full.size() > base.size() + 1 &&
               platform::UpperText(full.substr(0, base.size())) == platform::UpperText(base) &&
               full[base.size()] == '/';
#else
  bool below = full.size() > base.size() + 1 && full.compare(0, base.size(), base) == 0 && full[base.size()] == '/';
#endif
  if (!below) return std::nullopt;
  std::string rel = full.substr(base.size() + 1);
  for (char& c : rel)
    if (c == '/') c = '\\';
  return rel;
}

}  // namespace

ZipArchive::ZipArchive() = default;
ZipArchive::~ZipArchive() = default;

bool ZipArchive::IsOpen() const { return FHandle && (FHandle->Zip || FHandle->Creating); }

int ZipArchive::FileCount() const {
  if (!IsOpen()) return 0;
  if (FHandle->Creating) return static_cast<int>(FHandle->Pending.size());
  zip_int64_t n = zip_get_num_entries(FHandle->Zip, 0);
  return n < 0 ? 0 : static_cast<int>(n);
}

ZipArchive::Handle& ZipArchive::Open(const char* operation) const {
  if (!IsOpen()) throw ZipError(std::string(operation) + ": no archive is open");
  if (!FHandle->Zip) throw ZipError(std::string(operation) + ": the archive " + Quoted(FileName) + " is being created");
  return *FHandle;
}

void ZipArchive::OpenArchive(ZipOpenMode mode) {
  if (IsOpen()) CloseArchive();
  if (FileName.empty()) throw ZipError("No archive file name was given");
  FFindIndex = -1;
  if (mode == ZipOpenMode::Create) {
    // Nothing is written until CloseArchive: the files are read and compressed then.
    FHandle = std::make_unique<Handle>();
    FHandle->Creating = true;
    return;
  }
  std::error_code ec;
  if (!fs::is_regular_file(platform::PathFromUtf8(FileName), ec))
    throw ZipError("The archive " + Quoted(FileName) + " does not exist");
  int error = 0;
  // libzip's consistency check compares every local header with its directory record.
  zip_t* za = zip_open(platform::SystemPath(FileName).c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &error);
  if (!za) {
    std::string why = error == ZIP_ER_NOZIP ? "it is not a ZIP archive" : LibzipMessage(error);
    // The layout check tells what is inconsistent (libzip calls an archive whose only end record
    // fails its check no ZIP archive at all).
    if (error == ZIP_ER_INCONS || error == ZIP_ER_NOZIP)
      if (std::string problem = ArchiveLayoutProblem(FileName); !problem.empty() && problem != kNoEndRecord)
        why = problem;
    throw ZipError("Cannot open the archive " + Quoted(FileName) + ": " + why);
  }
  // What libzip takes on trust: that its directory accounts for every byte of the file.
  std::vector<ZipEntryData> entries;
  if (std::string problem = ArchiveLayoutProblem(FileName, &entries); !problem.empty()) {
    zip_discard(za);
    throw ZipError("The archive " + Quoted(FileName) + " is damaged or forged: " + problem);
  }
  FHandle = std::make_unique<Handle>();
  FHandle->Zip = za;
  // Both read the same directory; should they ever count differently, libzip reads every entry.
  zip_int64_t count = zip_get_num_entries(za, 0);
  if (count >= 0 && static_cast<std::size_t>(count) == entries.size()) FHandle->Entries = std::move(entries);
}

void ZipArchive::CloseArchive() {
  if (!IsOpen()) return;
  std::unique_ptr<Handle> handle = std::move(FHandle);
  FFindIndex = -1;
  if (handle->Creating) WriteZipOfFiles(FileName, handle->Pending, Progress ? *Progress : NoProgress());
}

bool ZipArchive::Describe(std::int64_t index, ZipEntryInfo& entry) const {
  zip_t* za = FHandle->Zip;
  if (index < 0 || index >= zip_get_num_entries(za, 0)) return false;
  auto i = static_cast<zip_uint64_t>(index);
  zip_stat_t st;
  zip_stat_init(&st);
  if (zip_stat_index(za, i, ZIP_FL_ENC_RAW, &st) != 0)
    throw ZipError("The archive's directory is damaged: " + std::string(zip_strerror(za)));
  StoredName name = ReadName(za, i);
  size_t slash = name.Name.find_last_of('\\');
  entry = ZipEntryInfo{};
  entry.FileName = name.Directory ? std::string() : slash == std::string::npos ? name.Name : name.Name.substr(slash + 1);
  entry.StoredPath = name.Directory ? name.Name : slash == std::string::npos ? std::string() : name.Name.substr(0, slash + 1);
  entry.CompressedSize = st.comp_size;
  entry.UncompressedSize = st.size;
  entry.Encrypted = st.encryption_method != ZIP_EM_NONE;
  entry.ModifiedTime = static_cast<std::int64_t>(st.mtime);
  entry.Crc32 = st.crc;
  zip_uint8_t opsys = 0;
  zip_file_get_external_attributes(za, i, 0, &opsys, &entry.ExternalAttributes);
  entry.Comment = ReadComment(za, i);
  return true;
}

bool ZipArchive::FindFirst(ZipEntryInfo& entry) {
  Open("FindFirst");
  FFindIndex = 0;
  return Describe(FFindIndex, entry);
}

bool ZipArchive::FindNext(ZipEntryInfo& entry) {
  Open("FindNext");
  if (FFindIndex < 0) return FindFirst(entry);
  return Describe(++FFindIndex, entry);
}

void ZipArchive::ExtractToStream(const std::string& entryName, std::ostream& out) {
  zip_t* za = Open("ExtractToStream").Zip;
  std::string wanted = entryName;
  for (char& c : wanted)
    if (c == '/') c = '\\';
  zip_int64_t count = zip_get_num_entries(za, 0);
  std::optional<zip_uint64_t> found;
  for (zip_int64_t i = 0; i < count && !found; ++i)
    if (ReadName(za, static_cast<zip_uint64_t>(i)).Name == wanted) found = static_cast<zip_uint64_t>(i);
  for (zip_int64_t i = 0; i < count && !found; ++i)
    if (platform::UpperText(ReadName(za, static_cast<zip_uint64_t>(i)).Name) == platform::UpperText(wanted))
      found = static_cast<zip_uint64_t>(i);
  if (!found || wanted.empty() || wanted.back() == '\\')
    throw ZipError("The archive " + Quoted(FileName) + " has no entry " + Quoted(entryName));
  const ZipEntryData* placement = FHandle->Placement(*found);
  DirectInput* input = nullptr;
  if (placement && ZipEntryReadable(*placement)) {
    if (!FHandle->Direct) FHandle->Direct = std::make_unique<DirectInput>(FileName);
    input = FHandle->Direct.get();
  }
  EntryReader reader(za, *found, wanted, Password, placement, input);
  reader.CopyTo([&](const char* data, std::size_t size) {
    out.write(data, static_cast<std::streamsize>(size));
    if (!out) throw ZipError("Cannot write the content of the archive entry " + Quoted(wanted));
  });
}

void ZipArchive::ExtractFiles(const std::string& mask, std::uint32_t attributeFilter, const std::string& exclusionMask) {
  ExtractSelected({mask}, attributeFilter, exclusionMask);
}

void ZipArchive::ExtractFiles(const std::vector<std::string>& masks, std::uint32_t attributeFilter,
                              const std::string& exclusionMask) {
  ExtractSelected(masks, attributeFilter, exclusionMask);
}

namespace {

// The archive opened once more for each worker, when the worker first needs it: libzip's handles
// are not shared between threads, and each worker reads the file at offsets of its own.
class WorkerReaders {
 public:
  WorkerReaders(std::string fileName, unsigned workers)
      : FFileName(std::move(fileName)), FHandles(workers), FInputs(workers) {}
  ~WorkerReaders() {
    for (zip_t* za : FHandles)
      if (za) zip_discard(za);
  }
  WorkerReaders(const WorkerReaders&) = delete;
  WorkerReaders& operator=(const WorkerReaders&) = delete;
  zip_t* For(unsigned worker) {
    zip_t*& za = FHandles[worker];
    if (!za) {
      int error = 0;
      za = zip_open(platform::SystemPath(FFileName).c_str(), ZIP_RDONLY, &error);
      if (!za) throw ZipError("Cannot open the archive " + Quoted(FFileName) + ": " + LibzipMessage(error));
    }
    return za;
  }
  DirectInput& Direct(unsigned worker) {
    std::unique_ptr<DirectInput>& input = FInputs[worker];
    if (!input) input = std::make_unique<DirectInput>(FFileName);
    return *input;
  }

 private:
  std::string FFileName;
  std::vector<zip_t*> FHandles;
  std::vector<std::unique_ptr<DirectInput>> FInputs;
};

// An entry inflated into its temporary file, waiting to be renamed into place.
struct Inflated {
  fs::path Partial;  // empty for a folder entry
};

void RemovePartial(Inflated& done) {
  std::error_code ec;
  if (!done.Partial.empty()) fs::remove(done.Partial, ec);
  done.Partial.clear();
}

}  // namespace

void ZipArchive::ExtractSelected(const std::vector<std::string>& masks, std::uint32_t attributeFilter,
                                 const std::string& exclusionMask) {
  zip_t* za = Open("ExtractFiles").Zip;
  struct Selected {
    zip_uint64_t Index;
    std::string Name;
    bool Directory;
    std::uint32_t Attributes;
    fs::path Target;
  };
  std::vector<Selected> selected;
  zip_int64_t count = zip_get_num_entries(za, 0);
  for (zip_int64_t i = 0; i < count; ++i) {
    auto index = static_cast<zip_uint64_t>(i);
    StoredName name = ReadName(za, index);
    bool matches = false;
    for (const std::string& mask : masks) matches = matches || EntryMatchesMask(name.Name, mask);
    if (!matches) continue;
    if (!exclusionMask.empty() && EntryMatchesMask(name.Name, exclusionMask)) continue;
    std::uint32_t attributes = WindowsAttributes(za, index, name.Directory);
    if (!Filtered(attributes, attributeFilter)) continue;
    // An archive that names a place outside the base folder is refused before anything is written.
    std::vector<std::string> components;
    if (std::string why = UnsafeEntryNameReason(name.Name, &components); !why.empty())
      throw ZipError("The archive entry " + Quoted(name.Name) + " of " + Quoted(FileName) + " " + why +
                     "; nothing was extracted into " + Quoted(BaseDir));
    selected.push_back({index, name.Name, name.Directory, attributes, TargetPath(BaseDir, components)});
  }
  if (selected.empty()) return;

  // Workers inflate entries ahead into "<target>.<n>.vspart" (a damaged entry never replaces a
  // good file, and two entries of one name never share a temporary file); this thread renames
  // them into place in archive order.
  unsigned workers = ArchiveWorkerCount();
  WorkerReaders readers(FileName, workers + 1);  // the calling thread inflates too
  const std::string password = Password;
  const Handle& handle = *FHandle;
  // Folders already made for an entry are not made (and checked on the disk) again.
  std::mutex foldersMutex;
  std::set<fs::path> folders;
  auto makeFolder = [&](const fs::path& folder) {
    {
      std::lock_guard<std::mutex> lock(foldersMutex);
      if (folders.count(folder)) return;
    }
    CreateFolders(folder);
    std::lock_guard<std::mutex> lock(foldersMutex);
    folders.insert(folder);
  };
  auto inflate = [&](unsigned worker, std::size_t k) {
    const Selected& s = selected[k];
    Inflated done;
    if (s.Directory) return done;
    makeFolder(s.Target.parent_path());
    done.Partial = s.Target;
    done.Partial += platform::PathFromUtf8("." + std::to_string(k) + ".vspart");
    std::string partialText = platform::Utf8FromPath(done.Partial);
    try {
      const ZipEntryData* placement = handle.Placement(s.Index);
      bool direct = placement && ZipEntryReadable(*placement);
      EntryReader reader(direct ? nullptr : readers.For(worker), s.Index, s.Name, password, placement,
                         direct ? &readers.Direct(worker) : nullptr);
      platform::MakeReplaceable(partialText);
      std::optional<platform::OutputFile> file;
      try {
        file.emplace(partialText);
      } catch (const std::exception& e) {
        throw ZipError(e.what());
      }
      reader.CopyTo([&](const char* data, std::size_t size) {
        try {
          file->Write(data, size);
        } catch (const std::exception& e) {
          throw ZipError(e.what());
        }
      });
      try {
        file->Close();
      } catch (const std::exception& e) {
        throw ZipError(e.what());
      }
    } catch (...) {
      RemovePartial(done);
      throw;
    }
    return done;
  };
  // Up to 32 entries ahead: small entries then cost no waiting, and what waits is on the disk.
  OrderedPipeline<Inflated> pipeline(selected.size(), 32, workers, inflate, RemovePartial);

  for (std::size_t k = 0; k < selected.size(); ++k) {
    Selected& s = selected[k];
    Inflated done;
    // An entry its worker could not inflate: reported in its place when extraction goes on.
    std::exception_ptr failed;
    try {
      done = pipeline.Next(k);
    } catch (const std::exception&) {
      if (!OnEntryFailed) throw;
      failed = std::current_exception();
    }
    try {
      std::string name = s.Name;
      std::uint32_t attributes = s.Attributes;
      if (OnExtractFile) {
        OnExtractFile(*this, name, attributes, ReadComment(za, s.Index));
        if (name != s.Name) {
          std::vector<std::string> components;
          if (std::string why = UnsafeEntryNameReason(name, &components); !why.empty())
            throw ZipError("The archive entry " + Quoted(name) + " of " + Quoted(FileName) + " " + why);
          s.Target = TargetPath(BaseDir, components);
          if (!s.Directory) CreateFolders(s.Target.parent_path());
        }
      }
      if (failed) std::rethrow_exception(failed);
      std::string targetText = platform::Utf8FromPath(s.Target);
      if (s.Directory) {
        CreateFolders(s.Target);
        continue;
      }
      zip_stat_t st;
      zip_stat_init(&st);
      zip_stat_index(za, s.Index, 0, &st);
      try {
        platform::MakeReplaceable(targetText);
      } catch (const std::exception& e) {
        throw ZipError(e.what());
      }
      std::error_code ec;
      fs::rename(done.Partial, s.Target, ec);
      if (ec) throw ZipError("Cannot write the file " + Quoted(targetText) + ": " + ec.message());
      done.Partial.clear();
      ApplyTimeAndAttributes(targetText, (st.valid & ZIP_STAT_MTIME) ? static_cast<std::int64_t>(st.mtime) : 0,
                             attributes, false);
    } catch (const std::exception& e) {
      RemovePartial(done);
      if (!OnEntryFailed) throw;
      OnEntryFailed(s.Name, e.what());
    } catch (...) {
      RemovePartial(done);
      throw;
    }
  }
}

void ZipArchive::AddFiles(const std::string& mask, std::uint32_t attributeFilter, const std::string& exclusionMask) {
  if (!IsOpen() || !FHandle->Creating)
    throw ZipError("AddFiles: the archive " + Quoted(FileName) + " was not created for writing");
  std::vector<std::string> files;
  fs::path maskPath = platform::PathFromUtf8(mask);
  std::string leaf = platform::Utf8FromPath(maskPath.filename());
  if (HasWildcard(leaf)) {
    std::string folder = platform::Utf8FromPath(maskPath.parent_path());
    std::vector<platform::DirectoryEntry> entries;
    platform::ListDirectory(folder, entries);
    for (const platform::DirectoryEntry& e : entries)
      if (e.File && EntryMatchesMask(e.Name, leaf))
        files.push_back(platform::IncludeTrailingPathDelimiter(folder) + e.Name);
  } else {
    std::error_code ec;
    if (!fs::is_regular_file(maskPath, ec)) throw ZipError("The file " + Quoted(mask) + " does not exist");
    files.push_back(mask);
  }

  for (const std::string& file : files) {
    std::optional<std::string> relative = RelativeName(BaseDir, file);
    if (!relative) throw ZipError("The file " + Quoted(file) + " does not lie in the folder " + Quoted(BaseDir));
    if (!exclusionMask.empty() && EntryMatchesMask(*relative, exclusionMask)) continue;
    std::uint32_t attributes = 0;
    try {
      attributes = platform::GetFileAttributesOf(file);
    } catch (const std::exception& e) {
      throw ZipError(e.what());
    }
    if (!Filtered(attributes, attributeFilter)) continue;

    ZipWriterFile pending;
    pending.Path = file;
    pending.StoredName = StoredFromEntryName(*relative, pending.Utf8Name);
    pending.DosAttributes =
        attributes & (platform::faReadOnly | platform::faHidden | platform::faSystem | platform::faArchive);
    // The same name twice keeps the later file in the earlier place, as adding over an entry does.
    auto [at, added] = FHandle->Index.emplace(pending.StoredName, FHandle->Pending.size());
    if (added)
      FHandle->Pending.push_back(std::move(pending));
    else
      FHandle->Pending[at->second] = std::move(pending);
  }
}

}  // namespace engine
