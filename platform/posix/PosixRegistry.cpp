// The native build's registry: an in-memory tree per root key. A 32-bit view request for the
// machine's Software key lands under Software\Wow6432Node, as on 64-bit Windows.
#include <fstream>
#include <map>
#include <mutex>

#include "platform/Registry.h"
#include "platform/Text.h"
#include "platform/posix/MemoryRegistry.h"

namespace platform {

namespace {

constexpr std::uint32_t kQueryValue = 0x0001;
constexpr std::uint32_t kSetValue = 0x0002;
constexpr std::uint32_t kCreateSubKey = 0x0004;
constexpr std::uint32_t kEnumerate = 0x0008;

struct Node {
  std::string name;
  std::map<std::string, Node> children;                          // by upper-case name
  std::map<std::string, std::pair<std::string, RegValue>> values;  // by upper-case name
};

struct Store {
  std::recursive_mutex lock;
  std::map<RegRoot, Node> roots;
  bool machineWritable = true;
  bool seeded = false;
};

Store& TheStore() {
  static Store store;
  return store;
}

std::vector<std::string> SplitPath(std::string_view path) {
  std::vector<std::string> parts;
  std::string cur;
  for (char c : path) {
    if (c == '\\' || c == '/') {
      if (!cur.empty()) parts.push_back(cur);
      cur.clear();
    } else {
      cur.push_back(c);
    }
  }
  if (!cur.empty()) parts.push_back(cur);
  return parts;
}

std::vector<std::string> Redirect(RegRoot root, std::vector<std::string> parts, std::uint32_t access) {
  if (root == RegRoot::LocalMachine && (access & regaccess::Wow64_32Key) && !parts.empty() &&
      SameTextAscii(parts[0], "Software") && !(parts.size() > 1 && SameTextAscii(parts[1], "Wow6432Node")))
    parts.insert(parts.begin() + 1, "Wow6432Node");
  return parts;
}

// The processor name, as Windows keeps it under the machine's hardware description.
void Seed(Store& s) {
  s.seeded = true;
  std::ifstream in("/proc/cpuinfo");
  std::string line, name;
  while (std::getline(in, line)) {
    if (line.rfind("model name", 0) == 0) {
      auto colon = line.find(':');
      if (colon != std::string::npos) name = Trim(line.substr(colon + 1));
      break;
    }
  }
  if (name.empty()) return;
  Node* n = &s.roots[RegRoot::LocalMachine];
  for (const char* part : {"HARDWARE", "DESCRIPTION", "System", "CentralProcessor", "0"}) {
    Node& child = n->children[UpperAscii(part)];
    child.name = part;
    n = &child;
  }
  n->values[UpperAscii("ProcessorNameString")] = {"ProcessorNameString", RegValue{RegType::Sz, RegStringData(name)}};
}

Node* Find(Store& s, RegRoot root, const std::vector<std::string>& parts, bool create, bool* created) {
  if (!s.seeded) Seed(s);
  Node* n = &s.roots[root];
  if (created) *created = false;
  for (const std::string& part : parts) {
    auto it = n->children.find(UpperAscii(part));
    if (it == n->children.end()) {
      if (!create) return nullptr;
      Node child;
      child.name = part;
      it = n->children.emplace(UpperAscii(part), std::move(child)).first;
      if (created) *created = true;
    } else if (created) {
      *created = false;
    }
    n = &it->second;
  }
  return n;
}

}  // namespace

namespace memreg {
void Clear() {
  Store& s = TheStore();
  std::lock_guard<std::recursive_mutex> g(s.lock);
  s.roots.clear();
  s.seeded = false;
  s.machineWritable = true;
}
void SetMachineWritable(bool writable) {
  Store& s = TheStore();
  std::lock_guard<std::recursive_mutex> g(s.lock);
  s.machineWritable = writable;
}
}  // namespace memreg

struct RegKey::Impl {
  RegRoot root;
  std::vector<std::string> parts;
  std::uint32_t access;
  Node* Node_() const { return Find(TheStore(), root, parts, false, nullptr); }
};

RegKey::RegKey() = default;
RegKey::~RegKey() = default;
RegKey::RegKey(RegKey&&) noexcept = default;
RegKey& RegKey::operator=(RegKey&&) noexcept = default;

bool RegKey::Open(RegRoot root, std::string_view path, std::uint32_t access, bool create, bool* created) {
  Close();
  if (created) *created = false;
  Store& s = TheStore();
  std::lock_guard<std::recursive_mutex> g(s.lock);
  if (root == RegRoot::LocalMachine && !s.machineWritable && (access & (kSetValue | kCreateSubKey)))
    return false;
  auto parts = Redirect(root, SplitPath(path), access);
  if (!Find(s, root, parts, create, created)) return false;
  FImpl = std::make_unique<Impl>(Impl{root, std::move(parts), access});
  return true;
}

void RegKey::Close() { FImpl.reset(); }
bool RegKey::IsOpen() const { return FImpl != nullptr; }

std::optional<RegValue> RegKey::Query(std::string_view name) const {
  if (!FImpl || !(FImpl->access & kQueryValue)) return std::nullopt;
  std::lock_guard<std::recursive_mutex> g(TheStore().lock);
  Node* n = FImpl->Node_();
  if (!n) return std::nullopt;
  auto it = n->values.find(UpperAscii(name));
  if (it == n->values.end()) return std::nullopt;
  return it->second.second;
}

bool RegKey::Set(std::string_view name, const RegValue& value) {
  if (!FImpl || !(FImpl->access & kSetValue)) return false;
  std::lock_guard<std::recursive_mutex> g(TheStore().lock);
  Node* n = FImpl->Node_();
  if (!n) return false;
  n->values[UpperAscii(name)] = {std::string(name), value};
  return true;
}

bool RegKey::DeleteValue(std::string_view name) {
  if (!FImpl || !(FImpl->access & kSetValue)) return false;
  std::lock_guard<std::recursive_mutex> g(TheStore().lock);
  Node* n = FImpl->Node_();
  return n && n->values.erase(UpperAscii(name)) > 0;
}

std::vector<std::string> RegKey::SubKeyNames() const {
  std::vector<std::string> names;
  if (!FImpl || !(FImpl->access & kEnumerate)) return names;
  std::lock_guard<std::recursive_mutex> g(TheStore().lock);
  if (Node* n = FImpl->Node_())
    for (const auto& [key, child] : n->children) names.push_back(child.name);
  return names;
}

std::vector<std::string> RegKey::ValueNames() const {
  std::vector<std::string> names;
  if (!FImpl || !(FImpl->access & kQueryValue)) return names;
  std::lock_guard<std::recursive_mutex> g(TheStore().lock);
  if (Node* n = FImpl->Node_())
    for (const auto& [key, value] : n->values) names.push_back(value.first);
  return names;
}

bool RegDeleteEmptyKey(RegRoot root, std::string_view path, std::uint32_t access) {
  Store& s = TheStore();
  std::lock_guard<std::recursive_mutex> g(s.lock);
  if (root == RegRoot::LocalMachine && !s.machineWritable) return false;
  auto parts = Redirect(root, SplitPath(path), access);
  if (parts.empty()) return false;
  std::string leaf = parts.back();
  parts.pop_back();
  Node* parent = Find(s, root, parts, false, nullptr);
  if (!parent) return false;
  auto it = parent->children.find(UpperAscii(leaf));
  if (it == parent->children.end() || !it->second.children.empty()) return false;
  parent->children.erase(it);
  return true;
}

}  // namespace platform
