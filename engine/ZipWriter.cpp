#include "engine/ZipWriter.h"

#include <zip.h>

#include "engine/ZipArchive.h"
#include "platform/Files.h"

namespace engine {

void WriteSingleEntryArchive(const std::string& archivePath, const std::string& entryName, std::string_view data,
                             const std::string& password, ZipEncryption encryption) {
  int error = 0;
  zip_t* za = zip_open(platform::SystemPath(archivePath).c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
  if (!za) {
    zip_error_t e;
    zip_error_init_with_code(&e, error);
    std::string why = zip_error_strerror(&e);
    zip_error_fini(&e);
    throw ZipError("Cannot create the archive \"" + archivePath + "\": " + why);
  }
  auto fail = [&](const std::string& what) {
    std::string why = zip_strerror(za);
    zip_discard(za);
    throw ZipError(what + ": " + why);
  };
  zip_source_t* source = zip_source_buffer(za, data.data(), data.size(), 0);
  if (!source) fail("Cannot add the entry \"" + entryName + "\"");
  zip_int64_t index = zip_file_add(za, entryName.c_str(), source, ZIP_FL_ENC_UTF_8 | ZIP_FL_OVERWRITE);
  if (index < 0) {
    zip_source_free(source);
    fail("Cannot add the entry \"" + entryName + "\"");
  }
  auto i = static_cast<zip_uint64_t>(index);
  if (zip_set_file_compression(za, i, ZIP_CM_DEFLATE, 9) != 0) fail("Cannot compress the entry \"" + entryName + "\"");
  if (encryption != ZipEncryption::None) {
    zip_uint16_t method = encryption == ZipEncryption::Aes256 ? ZIP_EM_AES_256 : ZIP_EM_TRAD_PKWARE;
    if (zip_file_set_encryption(za, i, method, password.c_str()) != 0)
      fail("Cannot encrypt the entry \"" + entryName + "\"");
  }
  if (zip_close(za) != 0) {
    std::string why = zip_strerror(za);
    zip_discard(za);
    throw ZipError("Cannot write the archive \"" + archivePath + "\": " + why);
  }
}

}  // namespace engine
