#include "PeImage.h"

#include <cstdint>
#include <string>
#include <vector>

namespace testing_support {

namespace {

void Put16(std::string& b, size_t at, unsigned v) {
  b[at] = static_cast<char>(v & 0xFF);
  b[at + 1] = static_cast<char>((v >> 8) & 0xFF);
}
void Put32(std::string& b, size_t at, std::uint32_t v) {
  Put16(b, at, v & 0xFFFF);
  Put16(b, at + 2, v >> 16);
}
void Pad4(std::string& b) {
  while (b.size() % 4) b.push_back('\0');
}
std::string Utf16z(const std::string& ascii) {
  std::string out;
  for (char c : ascii) {
    out.push_back(c);
    out.push_back('\0');
  }
  out.append(2, '\0');
  return out;
}

// One version-resource block: length, value length, type, key, padding, value, padding, children.
std::string Block(const std::string& key, unsigned type, const std::string& value, unsigned valueLength,
                  const std::vector<std::string>& children) {
  std::string b(6, '\0');
  b += Utf16z(key);
  Pad4(b);
  b += value;
  for (const std::string& c : children) {
    Pad4(b);
    b += c;
  }
  Put16(b, 0, static_cast<unsigned>(b.size()));
  Put16(b, 2, valueLength);
  Put16(b, 4, type);
  return b;
}

std::string TextValue(const std::string& key, const std::string& text) {
  return Block(key, 1, Utf16z(text), static_cast<unsigned>(text.size() + 1), {});
}

}  // namespace

std::string BuildVersionedPe(PeVersion v, const std::string& productName) {
  std::string fixed(52, '\0');
  Put32(fixed, 0, 0xFEEF04BDu);
  Put32(fixed, 4, 0x10000);
  Put32(fixed, 8, (v.major << 16) | v.minor);
  Put32(fixed, 12, (v.release << 16) | v.build);
  Put32(fixed, 16, (v.major << 16) | v.minor);
  Put32(fixed, 20, (v.release << 16) | v.build);
  Put32(fixed, 24, 0x3F);
  Put32(fixed, 32, 0x40004);
  Put32(fixed, 36, 1);

  std::vector<std::string> strings = {TextValue("CompanyName", "Dromak Solutions"),
                                      TextValue("FileDescription", "Velmor")};
  if (!productName.empty()) strings.push_back(TextValue("ProductName", productName));
  strings.push_back(TextValue("ProductVersion", "3"));
  std::string table = Block("040904b0", 1, "", 0, strings);
  std::string stringInfo = Block("StringFileInfo", 1, "", 0, {table});
  std::string translation(4, '\0');
  Put16(translation, 0, 0x409);
  Put16(translation, 2, 1200);
  std::string varInfo = Block("VarFileInfo", 1, "", 0, {Block("Translation", 0, translation, 4, {})});
  std::string vi = Block("VS_VERSION_INFO", 0, fixed, 52, {stringInfo, varInfo});

  const size_t optSize = 240;
  std::string b(0x200, '\0');
  Put16(b, 0, 0x5A4D);
  Put32(b, 0x3C, 0x40);
  Put32(b, 0x40, 0x00004550);
  size_t coff = 0x44;
  Put16(b, coff, 0x8664);
  Put16(b, coff + 2, 1);
  Put16(b, coff + 16, static_cast<unsigned>(optSize));
  Put16(b, coff + 18, 0x2022);
  size_t opt = coff + 20;
  Put16(b, opt, 0x20B);
  Put32(b, opt + 24, 0x80000000u);
  Put32(b, opt + 28, 0x1);
  Put32(b, opt + 32, 0x1000);
  Put32(b, opt + 36, 0x200);
  Put16(b, opt + 40, 6);
  Put16(b, opt + 48, 6);
  Put32(b, opt + 60, 0x200);
  Put16(b, opt + 68, 2);
  size_t dirs = opt + 112;
  Put32(b, dirs - 4, 16);
  size_t section = opt + optSize;
  b.replace(section, 5, ".rsrc");

  // The resource tree: type 16 -> name 1 -> language 0x409 -> data entry -> the block.
  std::string r(0x58, '\0');
  auto dir = [&](size_t at, std::uint32_t id, std::uint32_t target) {
    Put16(r, at + 14, 1);
    Put32(r, at + 16, id);
    Put32(r, at + 20, target);
  };
  dir(0x00, 16, 0x80000000u | 0x18);
  dir(0x18, 1, 0x80000000u | 0x30);
  dir(0x30, 0x409, 0x48);
  Put32(r, 0x48, 0x1000 + 0x58);
  Put32(r, 0x4C, static_cast<std::uint32_t>(vi.size()));
  r += vi;
  while (r.size() % 0x200) r.push_back('\0');
  Put32(b, dirs + 16, 0x1000);
  Put32(b, dirs + 20, static_cast<std::uint32_t>(r.size()));
  Put32(b, section + 8, static_cast<std::uint32_t>(r.size()));
  Put32(b, section + 12, 0x1000);
  Put32(b, section + 16, static_cast<std::uint32_t>(r.size()));
  Put32(b, section + 20, 0x200);
  Put32(b, section + 36, 0x40000040u);
  Put32(b, opt + 56, static_cast<std::uint32_t>(0x1000 + ((r.size() + 0xFFF) & ~size_t(0xFFF))));
  b += r;
  return b;
}

}  // namespace testing_support
