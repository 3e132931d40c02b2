// The registry of the Windows builds.
#include <windows.h>

#include "platform/Registry.h"
#include "platform/win32/Wide.h"

namespace platform {

using win32::Utf8;
using win32::Wide;

namespace {
HKEY RootHandle(RegRoot root) {
  return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(static_cast<std::uint32_t>(root))));
}
// TRegistry-style paths may start with a backslash; the API wants them relative.
std::wstring RelativePath(std::string_view path) {
  while (!path.empty() && (path.front() == '\\' || path.front() == '/')) path.remove_prefix(1);
  std::wstring w = Wide(path);
  for (wchar_t& c : w)
    if (c == L'/') c = L'\\';
  return w;
}
}  // namespace

struct RegKey::Impl {
  HKEY key = nullptr;
  ~Impl() {
    if (key) RegCloseKey(key);
  }
};

RegKey::RegKey() = default;
RegKey::~RegKey() = default;
RegKey::RegKey(RegKey&&) noexcept = default;
RegKey& RegKey::operator=(RegKey&&) noexcept = default;

bool RegKey::Open(RegRoot root, std::string_view path, std::uint32_t access, bool create, bool* created) {
  Close();
  if (created) *created = false;
  std::wstring rel = RelativePath(path);
  HKEY key = nullptr;
  LONG rc;
  if (create) {
    DWORD disposition = 0;
    rc = RegCreateKeyExW(RootHandle(root), rel.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr, &key,
                         &disposition);
    if (rc == ERROR_SUCCESS && created) *created = disposition == REG_CREATED_NEW_KEY;
  } else {
    rc = RegOpenKeyExW(RootHandle(root), rel.c_str(), 0, access, &key);
  }
  if (rc != ERROR_SUCCESS) return false;
  FImpl = std::make_unique<Impl>();
  FImpl->key = key;
  return true;
}

void RegKey::Close() { FImpl.reset(); }
bool RegKey::IsOpen() const { return FImpl != nullptr; }

std::optional<RegValue> RegKey::Query(std::string_view name) const {
  if (!FImpl) return std::nullopt;
  std::wstring wname = Wide(name);
  DWORD type = 0, size = 0;
  LONG rc = RegQueryValueExW(FImpl->key, wname.c_str(), nullptr, &type, nullptr, &size);
  if (rc != ERROR_SUCCESS) return std::nullopt;
  RegValue value;
  // The value may grow between the two calls; ask again until the buffer fits.
  for (int attempt = 0; attempt < 8; ++attempt) {
    value.data.assign(size, '\0');
    DWORD got = size;
    rc = RegQueryValueExW(FImpl->key, wname.c_str(), nullptr, &type,
                          reinterpret_cast<BYTE*>(value.data.data()), &got);
    if (rc == ERROR_SUCCESS) {
      value.data.resize(got);
      value.type = static_cast<RegType>(type);
      return value;
    }
    if (rc != ERROR_MORE_DATA) return std::nullopt;
    size = got + 64;
  }
  return std::nullopt;
}

bool RegKey::Set(std::string_view name, const RegValue& value) {
  if (!FImpl) return false;
  return RegSetValueExW(FImpl->key, Wide(name).c_str(), 0, static_cast<DWORD>(value.type),
                        reinterpret_cast<const BYTE*>(value.data.data()),
                        static_cast<DWORD>(value.data.size())) == ERROR_SUCCESS;
}

bool RegKey::DeleteValue(std::string_view name) {
  return FImpl && RegDeleteValueW(FImpl->key, Wide(name).c_str()) == ERROR_SUCCESS;
}

std::vector<std::string> RegKey::SubKeyNames() const {
  std::vector<std::string> names;
  if (!FImpl) return names;
  for (DWORD i = 0;; ++i) {
    wchar_t buf[256];
    DWORD len = 256;
    if (RegEnumKeyExW(FImpl->key, i, buf, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    names.push_back(Utf8(std::wstring_view(buf, len)));
  }
  return names;
}

std::vector<std::string> RegKey::ValueNames() const {
  std::vector<std::string> names;
  if (!FImpl) return names;
  for (DWORD i = 0;; ++i) {
    wchar_t buf[16384];
    DWORD len = 16384;
    if (RegEnumValueW(FImpl->key, i, buf, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    names.push_back(Utf8(std::wstring_view(buf, len)));
  }
  return names;
}

bool RegDeleteEmptyKey(RegRoot root, std::string_view path, std::uint32_t access) {
  std::wstring rel = RelativePath(path);
  if (rel.empty()) return false;
  // Refuse keys that still have subkeys: only a key this program made empty goes away.
  HKEY key = nullptr;
  if (RegOpenKeyExW(RootHandle(root), rel.c_str(), 0, KEY_READ | (access & regaccess::ViewMask), &key) !=
      ERROR_SUCCESS)
    return false;
  DWORD subKeys = 0;
  LONG rc = RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, nullptr, nullptr, nullptr,
                             nullptr, nullptr);
  RegCloseKey(key);
  if (rc != ERROR_SUCCESS || subKeys != 0) return false;
  return RegDeleteKeyExW(RootHandle(root), rel.c_str(), access & regaccess::ViewMask, 0) == ERROR_SUCCESS;
}

}  // namespace platform
