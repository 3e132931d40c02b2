#include "setup/SetupDat.h"

#include <filesystem>
#include <limits>
#include <optional>
#include <pugixml.hpp>
#include <ostream>
#include <streambuf>
#include <stdexcept>

#include "engine/ZipArchive.h"
#include "platform/Files.h"
#include "platform/Process.h"
#include "platform/Text.h"
#include "setup/PackageHash.h"
#include "setup/XmlText.h"
#include "support/InstallLog.h"
#include "support/MessageDialog.h"

const char* const SetupDatPassword = "_MorkaTablin_";
const char* const SetupDatLoadError = "Při načítání souboru \"setup.dat\" nastala chyba.";

namespace {

// The first child element of exactly that name (names are case-sensitive in the definition).
pugi::xml_node Child(pugi::xml_node parent, const char* name) { return parent.child(name); }

// The text content of an element: every text and CDATA piece below it, in document order.
// A missing element reads as empty text.
std::string TextOf(pugi::xml_node element) {
  std::string text;
  if (!element) return text;
  pugi::xml_node n = element.first_child();
  while (n) {
    if (n.type() == pugi::node_pcdata || n.type() == pugi::node_cdata) text += n.value();
    if (n.first_child()) {
      n = n.first_child();
      continue;
    }
    while (n && n != element && !n.next_sibling()) n = n.parent();
    if (!n || n == element) break;
    n = n.next_sibling();
  }
  return text;
}

bool ParseDecimal(const std::string& text, long long low, long long high, long long& value) {
  std::string_view s = text;
  bool negative = false;
  if (!s.empty() && (s[0] == '-' || s[0] == '+')) {
    negative = s[0] == '-';
    s.remove_prefix(1);
  }
  if (s.empty()) return false;
  while (s.size() > 1 && s[0] == '0') s.remove_prefix(1);
  if (s.size() > 19) return false;
  unsigned long long v = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + static_cast<unsigned>(c - '0');
  }
  const unsigned long long magnitudeOfMin = 9223372036854775808ull;
  if (v > (negative ? magnitudeOfMin : magnitudeOfMin - 1)) return false;
  long long signedValue = negative ? (v == magnitudeOfMin ? std::numeric_limits<long long>::min() : -static_cast<long long>(v))
                                   : static_cast<long long>(v);
  if (signedValue < low || signedValue > high) return false;
  value = signedValue;
  return true;
}

// A number of the definition: decimal, blanks around it ignored, empty gives 0. A value that is
// no number, or does not fit its field, also reads as 0 (a bad value is no load error); the log
// notes it so that a broken kit can be told from a deliberate 0.
long long NumberOf(pugi::xml_node parent, const char* name, long long low, long long high) {
  std::string text = platform::Trim(TextOf(Child(parent, name)));
  if (text.empty()) return 0;
  long long v;
  if (ParseDecimal(text, low, high, v)) return v;
  InstallLog().Add(std::string("setup.dat: the value of \"") + name + "\" is not a number in range, read as 0: " + text);
  return 0;
}

int32_t Int32Of(pugi::xml_node parent, const char* name) {
  return static_cast<int32_t>(NumberOf(parent, name, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

bool BoolOf(pugi::xml_node parent, const char* name) { return TextOf(Child(parent, name)) == "true"; }

bool IsNamed(pugi::xml_node node, const char* name) {
  return node.type() == pugi::node_element && platform::SameTextAscii(node.name(), name);
}

void ReadPackage(pugi::xml_node node, TZipFileCFG& z, size_t number) {
  z.SetFileName(TextOf(Child(node, "FileName")));
  z.SetDirInstall(TextOf(Child(node, "DirInstall")));
  std::string typ = platform::Trim(TextOf(Child(node, "TypInstalace")));
  long long t = 0;
  if (!typ.empty() && !ParseDecimal(typ, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max(), t))
    throw std::runtime_error("Package " + std::to_string(number) + " (" + z.FileName() + "): \"TypInstalace\" value \"" +
                             typ + "\" is not a valid integer");
  z.SetTypeInstall(TZipFileCFG::TypeInstallFromInteger(t));
  z.SetPovinny(BoolOf(node, "Povinny"));
  z.SetJazyk(BoolOf(node, "Jazyk"));
  z.SetJazykKod(TextOf(Child(node, "JazykKod")));
  z.SetInstallEnableExistFileOrNew(BoolOf(node, "InstallEnableExistFileOrNew"));
  z.SetForOnlyVersion(BoolOf(node, "ForOnlyVersion"));
  // A hash that cannot be read would leave the package unchecked: the definition is refused.
  std::string sha = TextOf(Child(node, "Sha256"));
  std::optional<std::string> digits = ParseSha256Text(sha);
  if (!digits) {
    if (sha.size() > 100) {
      std::size_t cut = 100;
      while (cut > 0 && (static_cast<unsigned char>(sha[cut]) & 0xC0) == 0x80) --cut;  // not inside a character
      sha = sha.substr(0, cut) + "...";
    }
    throw std::runtime_error("Package " + std::to_string(number) + " (" + z.FileName() + "): \"Sha256\" value \"" + sha +
                             "\" is not a SHA-256 (64 hexadecimal digits)");
  }
  z.SetSha256(*digits);
}

void ReadBanner(pugi::xml_node node, TReklamaType& r) {
  r.Nazev = TextOf(Child(node, "Name"));
  r.FilePath = TextOf(Child(node, "FileName"));
  r.Ulozeni = Int32Of(node, "Type");
  if (r.Ulozeni == 1) r.Data = TextOf(Child(node, "DataBase64"));
  else r.Data.clear();
}

bool FileExistsAt(const std::string& path) {
  std::error_code ec;
  auto p = platform::PathFromUtf8(path);
  return std::filesystem::exists(p, ec) && !std::filesystem::is_directory(p, ec);
}

// A definition is a few kilobytes; an entry far beyond that is a broken or hostile archive and is
// refused before it can exhaust the memory.
constexpr size_t kMaxDefinitionSize = 32u << 20;

class LimitedBuffer : public std::streambuf {
 public:
  std::string text;

 protected:
  std::streamsize xsputn(const char* s, std::streamsize n) override {
    if (text.size() + static_cast<size_t>(n) > kMaxDefinitionSize)
      throw std::runtime_error("The entry \"setup.dat\" is larger than " + std::to_string(kMaxDefinitionSize >> 20) + " MiB");
    text.append(s, static_cast<size_t>(n));
    return n;
  }
  int_type overflow(int_type c) override {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    char ch = traits_type::to_char_type(c);
    xsputn(&ch, 1);
    return c;
  }
};

// The XML document inside a definition file.
std::string ReadDefinitionEntry(const std::string& path) {
  engine::ZipArchive zip;
  zip.FileName = path;
  zip.Password = SetupDatPassword;
  zip.OpenArchive();
  LimitedBuffer buffer;
  std::ostream out(&buffer);
  out.exceptions(std::ios::badbit);
  zip.ExtractToStream("setup.dat", out);
  zip.CloseArchive();
  return std::move(buffer.text);
}

std::unique_ptr<TSetupDat>& Instance() {
  static std::unique_ptr<TSetupDat> instance;
  return instance;
}

}  // namespace

TSetupDat::TSetupDat(bool loadBesideProgram) {
  Clear();
  if (loadBesideProgram) LoadSetupDat("");
}

void TSetupDat::Clear() {
  FLoadedSetupDat = false;
  FLocalPath.clear();
  FZipPassword.clear();
  FMSSQLInstall.clear();
  FInstallServer.clear();
  FInstallLang.clear();
  FInstallPath.clear();
  FMinDiskFree = 0;
  FTypInst = 0;
  FOnlyVersion = false;
  FZipFiles.clear();
  // The banners go too: a second load would otherwise add its banners to the first one's.
  FReklamy.clear();
}

template <class Read>
bool TSetupDat::GuardedLoad(Read read) {
  try {
    Clear();
    ReadDefinition(read());
    FLoadedSetupDat = true;
  } catch (const std::exception& e) {
    ShowError(SetupDatLoadError, "");
    InstallLog().AddError(e.what());
  } catch (...) {
    ShowError(SetupDatLoadError, "");
    InstallLog().AddError("Unknown error while reading the setup definition");
  }
  return FLoadedSetupDat;
}

bool TSetupDat::LoadSetupDat(const std::string& FileDat) {
  FLoadedSetupDat = false;
  std::string path = FileDat.empty() ? platform::ExecutableDir() + "setup.dat" : FileDat;
  if (!FileExistsAt(path)) return false;
  return GuardedLoad([&] { return ReadDefinitionEntry(path); });
}

bool TSetupDat::LoadSetupDatFromXml(std::string_view xml) {
  FLoadedSetupDat = false;
  return GuardedLoad([&] { return std::string(xml); });
}

void TSetupDat::ReadDefinition(std::string xml) {
  TXmlInput input = PrepareXmlInput(std::move(xml));
  // Parsed in place: the parser keeps no copy of its own of a large document.
  pugi::xml_document doc;
  pugi::xml_parse_result parsed =
      doc.load_buffer_inplace(input.bytes.data(), input.bytes.size(), pugi::parse_default | pugi::parse_ws_pcdata,
                              input.encoding == TXmlInputEncoding::Utf8 ? pugi::encoding_utf8 : pugi::encoding_auto);
  if (!parsed)
    throw std::runtime_error(std::string("The XML document is not well formed: ") + parsed.description() +
                             " (offset " + std::to_string(parsed.offset) + ")");
  pugi::xml_node root;
  for (pugi::xml_node n : doc.children()) {
    if (n.type() == pugi::node_pcdata && platform::Trim(n.value()).empty()) continue;
    if (n.type() == pugi::node_pcdata || n.type() == pugi::node_cdata)
      throw std::runtime_error("The XML document is not well formed: text outside the document element");
    if (n.type() != pugi::node_element) continue;
    if (root) throw std::runtime_error("The XML document is not well formed: more than one document element");
    root = n;
  }
  if (!root) throw std::runtime_error("The XML document has no document element");

  pugi::xml_node main = Child(root, "Main");
  if (!main) throw std::runtime_error("The element \"Main\" is missing in the setup definition");
  SetLocalPath(ExpandEnvironment(TextOf(Child(main, "LocalPath"))));
  SetZipPassword(UnscramblePassword(TextOf(Child(main, "Password"))));
  SetMSSQLInstall(ExpandEnvironment(TextOf(Child(main, "MSSQL"))));
  SetInstallServer(TextOf(Child(main, "InstallServer")));
  SetInstallLang(TextOf(Child(main, "InstallLang")));
  SetInstallPath(ExpandEnvironment(TextOf(Child(main, "InstallDir"))));
  SetInstallPathAlter(ExpandEnvironment(TextOf(Child(main, "InstallDirAlter"))));
  SetVersionProd(Int32Of(main, "VersionProd"));
  SetDBName(TextOf(Child(main, "DBName")));
  SetDBNameTarpel(TextOf(Child(main, "DBNameTarpel")));
  SetDBNameKest(TextOf(Child(main, "DBNameKest")));
  SetTypInst(Int32Of(main, "TypInst"));
  SetOnlyVersion(BoolOf(main, "OnlyVersion"));
  SetVerzeExe(TextOf(Child(main, "Version")));
  SetTechSupport(TextOf(Child(main, "TechSupport")));
  SetMinDiskFree(NumberOf(main, "MinDiskFree", std::numeric_limits<int64_t>::min(), std::numeric_limits<int64_t>::max()));
  SetWinVerzeMajor(Int32Of(main, "WinVerMajor"));
  SetWinVerzeMinor(Int32Of(main, "WinVerMinor"));

  if (pugi::xml_node list = Child(root, "ZipFiles")) {
    for (pugi::xml_node n : list.children()) {
      if (!IsNamed(n, "ZipFile")) continue;
      TZipFileCFG z;
      ReadPackage(n, z, FZipFiles.size() + 1);
      FZipFiles.push_back(std::move(z));
    }
  }
  if (pugi::xml_node list = Child(root, "Reklamy")) {
    for (pugi::xml_node n : list.children()) {
      if (!IsNamed(n, "Reklama")) continue;
      TReklamaType r;
      ReadBanner(n, r);
      FReklamy.push_back(std::move(r));
    }
  }
}

TSetupDat& SetupDat() {
  auto& instance = Instance();
  if (!instance) instance = std::make_unique<TSetupDat>(false);
  return *instance;
}

TSetupDat& CreateSetupDat() {
  Instance() = std::make_unique<TSetupDat>(true);
  return *Instance();
}

void ReplaceSetupDat(std::unique_ptr<TSetupDat> instance) { Instance() = std::move(instance); }

std::string ExpandEnvironment(const std::string& text) {
  // One pass that copies the text around each %NAME%: the search goes on after the inserted
  // value, so a value holding percent signs (even one naming itself) is taken as it stands, and
  // a text of many "%%" pairs costs no more than its length.
  std::string out;
  out.reserve(text.size());
  size_t from = 0;
  for (;;) {
    size_t open = text.find('%', from);
    if (open == std::string::npos) break;
    size_t close = text.find('%', open + 1);
    if (close == std::string::npos) break;
    out.append(text, from, open - from);
    if (close > open + 1) out += platform::GetEnv(text.substr(open + 1, close - open - 1)).value_or("");
    from = close + 1;
  }
  out.append(text, from, std::string::npos);
  return out;
}

std::string UnscramblePassword(const std::string& stored) {
  std::u16string w = platform::Utf16FromUtf8(stored);
  for (char16_t& c : w) c = static_cast<char16_t>(c - 64);
  return platform::Utf8FromUtf16(w);
}

std::string ScramblePassword(const std::string& password) {
  std::u16string w = platform::Utf16FromUtf8(password);
  for (char16_t& c : w) c = static_cast<char16_t>(c + 64);
  return platform::Utf8FromUtf16(w);
}
