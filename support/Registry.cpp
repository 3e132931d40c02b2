#include "support/Registry.h"

#include <algorithm>
#include <cstring>

using platform::RegType;
using platform::RegValue;
namespace regaccess = platform::regaccess;

void TRegistry::SetRootKey(platform::RegRoot root) {
  CloseKey();
  FRootKey = root;
}

bool TRegistry::OpenKey(std::string_view key, bool canCreate, bool* created) {
  return FCurrent.Open(FRootKey, key, FAccess, canCreate, created);
}

bool TRegistry::OpenKeyReadOnly(std::string_view key) {
  return FCurrent.Open(FRootKey, key, regaccess::Read | (FAccess & regaccess::ViewMask), false);
}

void TRegistry::CloseKey() { FCurrent.Close(); }

bool TRegistry::KeyExists(std::string_view key) const {
  platform::RegKey probe;
  return probe.Open(FRootKey, key, regaccess::Read | (FAccess & regaccess::ViewMask), false);
}

bool TRegistry::DeleteKey(std::string_view key) { return platform::RegDeleteEmptyKey(FRootKey, key, FAccess); }

bool TRegistry::ValueExists(std::string_view name) const { return FCurrent.Query(name).has_value(); }

std::string TRegistry::ReadString(std::string_view name) const {
  auto v = FCurrent.Query(name);
  if (!v || (v->type != RegType::Sz && v->type != RegType::ExpandSz)) return {};
  return platform::RegStringFromData(v->data);
}

std::int64_t TRegistry::ReadInteger(std::string_view name, std::int64_t def) const {
  auto v = FCurrent.Query(name);
  if (!v || v->type != RegType::DWord || v->data.size() < 4) return def;
  std::uint32_t n = 0;
  for (int i = 3; i >= 0; --i) n = (n << 8) | static_cast<unsigned char>(v->data[static_cast<size_t>(i)]);
  return n;
}

bool TRegistry::ReadBool(std::string_view name) const { return ReadInteger(name, 0) != 0; }

int TRegistry::GetDataSize(std::string_view name) const {
  auto v = FCurrent.Query(name);
  return v ? static_cast<int>(v->data.size()) : -1;
}

int TRegistry::ReadBinaryData(std::string_view name, void* buffer, int bufSize) const {
  auto v = FCurrent.Query(name);
  if (!v || bufSize <= 0 || !buffer) return 0;
  size_t n = std::min(v->data.size(), static_cast<size_t>(bufSize));
  std::memcpy(buffer, v->data.data(), n);
  return static_cast<int>(n);
}

bool TRegistry::WriteString(std::string_view name, std::string_view value) {
  return FCurrent.Set(name, RegValue{RegType::Sz, platform::RegStringData(value)});
}

bool TRegistry::WriteInteger(std::string_view name, std::uint32_t value) {
  return FCurrent.Set(name, RegValue{RegType::DWord, platform::RegDWordData(value)});
}

bool TRegistry::WriteBinaryData(std::string_view name, std::string_view bytes) {
  return FCurrent.Set(name, RegValue{RegType::Binary, std::string(bytes)});
}

bool TRegistry::WriteValue(std::string_view name, const RegValue& value) { return FCurrent.Set(name, value); }

bool TRegistry::DeleteValue(std::string_view name) { return FCurrent.DeleteValue(name); }

void TRegistryEx::ReadMultiSZData(std::string_view AValue, std::vector<std::string>& AStrings) const {
  AStrings.clear();
  int size = GetDataSize(AValue);
  if (size <= 0) return;
  std::string buffer(static_cast<size_t>(size), '\0');
  int got = ReadBinaryData(AValue, buffer.data(), size);
  buffer.resize(static_cast<size_t>(got));
  size_t pos = 0;
  while (pos + 1 < buffer.size()) {
    // One text runs to its terminating null (or the end of the data).
    size_t end = pos;
    while (end + 1 < buffer.size() && (buffer[end] != 0 || buffer[end + 1] != 0)) end += 2;
    if (end == pos) break;  // the empty text that ends the list
    AStrings.push_back(platform::RegStringFromData(std::string_view(buffer).substr(pos, end - pos)));
    pos = end + 2;
  }
}
