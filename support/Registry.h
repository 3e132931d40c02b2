#pragma once
// TRegistry: a registry accessor with a root key, an access mask and one open key at a time,
// over the platform's registry. TRegistryEx adds reading of multi-string values.
// Key paths are always taken from the root key (a leading backslash is allowed).
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Registry.h"

class TRegistry {
 public:
  explicit TRegistry(std::uint32_t access = platform::regaccess::AllAccess) : FAccess(access) {}
  virtual ~TRegistry() = default;

  platform::RegRoot RootKey() const { return FRootKey; }
  // Changing the root closes the open key.
  void SetRootKey(platform::RegRoot root);
  std::uint32_t Access() const { return FAccess; }
  void SetAccess(std::uint32_t access) { FAccess = access; }

  // Opens the key with the access mask; canCreate creates it (and missing parents) when absent.
  // *created (when given) tells whether the key was new.
  bool OpenKey(std::string_view key, bool canCreate, bool* created = nullptr);
  // Opens for reading only, in the registry view the access mask selects.
  bool OpenKeyReadOnly(std::string_view key);
  void CloseKey();
  bool HasOpenKey() const { return FCurrent.IsOpen(); }
  // Whether the key exists (in the view of the access mask); leaves the open key alone.
  bool KeyExists(std::string_view key) const;
  // Deletes a key that has no subkeys.
  bool DeleteKey(std::string_view key);

  bool ValueExists(std::string_view name) const;
  // The text of a string value; empty when missing or not a string.
  std::string ReadString(std::string_view name) const;
  // A REG_DWORD value; def when missing or of another type.
  std::int64_t ReadInteger(std::string_view name, std::int64_t def = 0) const;
  // True for a REG_DWORD value that is not zero.
  bool ReadBool(std::string_view name) const;
  // Size of the value's data in bytes; -1 when the value does not exist.
  int GetDataSize(std::string_view name) const;
  // Copies up to bufSize bytes of the value's data, whatever its type; returns the bytes
  // copied (0 when the value is missing).
  int ReadBinaryData(std::string_view name, void* buffer, int bufSize) const;

  bool WriteString(std::string_view name, std::string_view value);
  bool WriteInteger(std::string_view name, std::uint32_t value);
  bool WriteBool(std::string_view name, bool value) { return WriteInteger(name, value ? 1 : 0); }
  bool WriteBinaryData(std::string_view name, std::string_view bytes);
  bool WriteValue(std::string_view name, const platform::RegValue& value);
  bool DeleteValue(std::string_view name);

  std::vector<std::string> GetKeyNames() const { return FCurrent.SubKeyNames(); }
  std::vector<std::string> GetValueNames() const { return FCurrent.ValueNames(); }

 protected:
  platform::RegKey FCurrent;

 private:
  platform::RegRoot FRootKey = platform::RegRoot::CurrentUser;
  std::uint32_t FAccess;
};

class TRegistryEx : public TRegistry {
 public:
  using TRegistry::TRegistry;
  // Clears AStrings, then fills it with the texts of the REG_MULTI_SZ value AValue (up to the
  // first empty text or the end of the data). A missing or empty value leaves the list empty.
  void ReadMultiSZData(std::string_view AValue, std::vector<std::string>& AStrings) const;
};
