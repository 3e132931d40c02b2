#pragma once
// The registry seam. Windows builds use the real registry; the native build keeps an in-memory
// registry with the same two views, so code that reads SQL Server keys, shell folders or the
// User Account Control setting runs unchanged in the native tests.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Root keys carry the values of the Windows predefined handles.
enum class RegRoot : std::uint32_t {
  ClassesRoot = 0x80000000u,
  CurrentUser = 0x80000001u,
  LocalMachine = 0x80000002u,
  Users = 0x80000003u,
};

// Value types, numbered as Windows numbers them.
enum class RegType : std::uint32_t {
  None = 0,
  Sz = 1,
  ExpandSz = 2,
  Binary = 3,
  DWord = 4,
  MultiSz = 7,
  QWord = 11,
};

// Access masks, with the Windows values (the callers pass them as numbers).
namespace regaccess {
constexpr std::uint32_t Read = 0x20019;       // KEY_READ
constexpr std::uint32_t Write = 0x20006;      // KEY_WRITE
constexpr std::uint32_t AllAccess = 0xF003F;  // KEY_ALL_ACCESS
constexpr std::uint32_t Wow64_64Key = 0x0100; // KEY_WOW64_64KEY
constexpr std::uint32_t Wow64_32Key = 0x0200; // KEY_WOW64_32KEY
constexpr std::uint32_t ViewMask = Wow64_64Key | Wow64_32Key;
}  // namespace regaccess

struct RegValue {
  RegType type = RegType::None;
  std::string data;  // raw bytes as stored (strings are UTF-16LE with their terminator)
};

// One open key; closed when the object goes away.
class RegKey {
 public:
  RegKey();
  ~RegKey();
  RegKey(RegKey&&) noexcept;
  RegKey& operator=(RegKey&&) noexcept;
  RegKey(const RegKey&) = delete;
  RegKey& operator=(const RegKey&) = delete;

  // Opens root\path (a leading backslash is allowed) with the access mask; with create set a
  // missing key is created together with its missing parents, and *created (when given) tells
  // whether the key itself was new.
  bool Open(RegRoot root, std::string_view path, std::uint32_t access, bool create, bool* created = nullptr);
  void Close();
  bool IsOpen() const;

  std::optional<RegValue> Query(std::string_view name) const;
  bool Set(std::string_view name, const RegValue& value);
  bool DeleteValue(std::string_view name);
  std::vector<std::string> SubKeyNames() const;
  std::vector<std::string> ValueNames() const;

  struct Impl;

 private:
  std::unique_ptr<Impl> FImpl;
};

// Deletes root\path when it has no subkeys, in the view that the access mask selects.
bool RegDeleteEmptyKey(RegRoot root, std::string_view path, std::uint32_t access);

// UTF-16LE bytes of a text with its terminating null, the form REG_SZ data takes.
std::string RegStringData(std::string_view utf8);
// The text of REG_SZ / REG_EXPAND_SZ data, up to the first null.
std::string RegStringFromData(std::string_view data);
// REG_MULTI_SZ data: every text null-terminated, then one more null.
std::string RegMultiStringData(const std::vector<std::string>& utf8);
std::string RegDWordData(std::uint32_t value);

}  // namespace platform
