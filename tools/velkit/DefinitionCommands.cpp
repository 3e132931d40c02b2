// velkit definition show / pack, password scramble / unscramble, index show: setup definitions
// and product indexes read and made with the installer's own code.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <pugixml.hpp>
#include <sstream>
#include <string>

#include "Capture.h"
#include "Command.h"
#include "engine/PackageExtraction.h"
#include "engine/ZipWriter.h"
#include "platform/Crypto.h"
#include "platform/Files.h"
#include "platform/Text.h"
#include "setup/PackageHash.h"
#include "setup/ProductIndex.h"
#include "setup/SetupDat.h"
#include "setup/XmlText.h"

namespace velkit {

namespace {

// Loads like the installer; on failure prints the installer's error text and the reason.
bool LoadOrExplain(TSetupDat& dat, const std::string& path, const char* command) {
  PresenterScope scope;
  InstallLog().Reset();
  if (dat.LoadSetupDat(path)) return true;
  if (scope.presenter.errorText.empty())
    std::fprintf(stderr, "velkit %s: there is no file %s\n", command, path.c_str());
  else
    std::fprintf(stderr, "%s\n%s\n", scope.presenter.errorText.c_str(), LastLoggedError().c_str());
  return false;
}

// The JSON escape of a character that cannot stand in a string as it is; empty for one that can.
std::string Escape(unsigned char c) {
  switch (c) {
    case '"': return "\\\"";
    case '\\': return "\\\\";
    case '\n': return "\\n";
    case '\r': return "\\r";
    case '\t': return "\\t";
    default:
      if (c < 0x20) {
        char buf[8];
        std::snprintf(buf, sizeof buf, "\\u%04x", c);
        return buf;
      }
      return {};
  }
}

std::string Json(const std::string& s) {
  std::string out = "\"";
  for (unsigned char c : s) {
    std::string e = Escape(c);
    if (e.empty()) out.push_back(static_cast<char>(c));
    else out += e;
  }
  return out + "\"";
}

// The same, written straight out: a value of tens of megabytes is not copied once more.
void WriteJson(std::FILE* out, const std::string& s) {
  std::fputc('"', out);
  size_t plain = 0;
  for (size_t i = 0; i < s.size(); ++i) {
    std::string e = Escape(static_cast<unsigned char>(s[i]));
    if (e.empty()) continue;
    std::fwrite(s.data() + plain, 1, i - plain, out);
    std::fputs(e.c_str(), out);
    plain = i + 1;
  }
  std::fwrite(s.data() + plain, 1, s.size() - plain, out);
  std::fputc('"', out);
}

std::string Json(bool b) { return b ? "true" : "false"; }
std::string Json(long long n) { return std::to_string(n); }

const char* TypeName(TTypeInstall t) {
  static const char* const names[] = {"tiKest", "tiKestUpdate", "tiTarpel", "tiTarpelUpdate", "tiVelmorDemo"};
  return t <= TTypeInstallHigh ? names[t] : "?";
}

void WriteDefinitionJson(std::FILE* out, const TSetupDat& d) {
  std::fputs("{\n", out);
  auto field = [&](const char* name, const std::string& value, bool last = false) {
    std::fprintf(out, "  \"%s\": %s%s", name, value.c_str(), last ? "\n" : ",\n");
  };
  auto text = [&](const char* name, const std::string& value) {
    std::fprintf(out, "  \"%s\": ", name);
    WriteJson(out, value);
    std::fputs(",\n", out);
  };
  field("LoadedSetupDat", Json(d.LoadedSetupDat()));
  text("LocalPath", d.LocalPath());
  text("ZipPassword", d.ZipPassword());
  text("MSSQLInstall", d.MSSQLInstall());
  text("InstallServer", d.InstallServer());
  text("InstallLang", d.InstallLang());
  text("InstallPath", d.InstallPath());
  text("InstallPathAlter", d.InstallPathAlter());
  field("VersionProd", Json(static_cast<long long>(d.VersionProd())));
  text("DBName", d.DBName());
  text("DBNameTarpel", d.DBNameTarpel());
  text("DBNameKest", d.DBNameKest());
  field("TypInst", Json(static_cast<long long>(d.TypInst())));
  field("OnlyVersion", Json(d.OnlyVersion()));
  text("VerzeExe", d.VerzeExe());
  text("TechSupport", d.TechSupport());
  field("MinDiskFree", Json(static_cast<long long>(d.MinDiskFree())));
  field("WinVerzeMajor", Json(static_cast<long long>(d.WinVerzeMajor())));
  field("WinVerzeMinor", Json(static_cast<long long>(d.WinVerzeMinor())));
  std::string packages = "[";
  for (size_t i = 0; i < d.ZipFiles().size(); ++i) {
    const TZipFileCFG& z = d.ZipFiles()[i];
    std::string files = "[";
    for (size_t k = 0; k < z.Files().size(); ++k) files += (k ? ", " : "") + Json(z.Files()[k]);
    files += "]";
    packages += std::string(i ? "," : "") + "\n    {\"FileName\": " + Json(z.FileName()) +
                ", \"TypeInstall\": " + Json(static_cast<long long>(z.TypeInstallasInteger())) +
                ", \"TypeInstallName\": " + Json(std::string(TypeName(z.TypeInstall()))) + ", \"Files\": " + files +
                ", \"DirInstall\": " + Json(z.DirInstall()) + ", \"Povinny\": " + Json(z.Povinny()) +
                ", \"Jazyk\": " + Json(z.Jazyk()) + ", \"JazykKod\": " + Json(z.JazykKod()) +
                ", \"InstallEnableExistFileOrNew\": " + Json(z.InstallEnableExistFileOrNew()) +
                ", \"ForOnlyVersion\": " + Json(z.ForOnlyVersion()) + ", \"Sha256\": " + Json(z.Sha256()) + "}";
  }
  packages += d.ZipFiles().empty() ? "]" : "\n  ]";
  field("ZipFiles", packages);
  std::string banners = "[";
  for (size_t i = 0; i < d.Reklamy().size(); ++i) {
    const TReklamaType& r = d.Reklamy()[i];
    banners += std::string(i ? "," : "") + "\n    {\"Nazev\": " + Json(r.Nazev) + ", \"FilePath\": " + Json(r.FilePath) +
               ", \"Data\": " + Json(r.Data) + ", \"Ulozeni\": " + Json(static_cast<long long>(r.Ulozeni)) +
               ", \"TimeSec\": " + Json(static_cast<long long>(r.TimeSec)) + "}";
  }
  banners += d.Reklamy().empty() ? "]" : "\n  ]";
  field("Reklamy", banners, true);
  std::fputs("}\n", out);
}

int Show(const std::vector<std::string>& args) {
  Options o = ParseOptions(args, {});
  if (o.positional.size() != 1) throw UsageError{"expected FILE"};
  TSetupDat dat(false);
  if (!LoadOrExplain(dat, o.positional[0], "definition show")) return ExitFailed;
  WriteDefinitionJson(stdout, dat);
  return ExitOk;
}

// The document with the "Sha256" element of every package filled from the archives in a
// folder: the same document otherwise, byte for byte where the parser keeps it (text, layout,
// comments), now in UTF-8. Each new element goes after the package's "FileName", on a line of its
// own when the document has one per element. Empty with a message on stderr when a package's
// archive is not in the folder or cannot be read.
std::string FillHashes(const std::string& xml, const std::vector<TZipFileCFG>& loaded, const std::string& folder) {
  TXmlInput input = PrepareXmlInput(xml);
  pugi::xml_document doc;
  pugi::xml_parse_result parsed =
      doc.load_buffer(input.bytes.data(), input.bytes.size(), pugi::parse_full | pugi::parse_ws_pcdata,
                      input.encoding == TXmlInputEncoding::Utf8 ? pugi::encoding_utf8 : pugi::encoding_auto);
  if (!parsed) return {};  // the installer's own check has said why
  pugi::xml_node root = doc.document_element();
  int missing = 0;
  // The elements the loader made its packages of, in the same order: the archive names are the
  // loader's own reading of each "FileName".
  std::size_t index = 0;
  for (pugi::xml_node package : root.child("ZipFiles").children()) {
    if (package.type() != pugi::node_element || !platform::SameTextAscii(package.name(), "ZipFile")) continue;
    if (index >= loaded.size()) return {};
    std::string archive = engine::PackageArchiveName(loaded[index++].FileName());
    std::string path = platform::IncludeTrailingPathDelimiter(folder) + archive;
    std::string hash;
    try {
      hash = Sha256Hex(platform::Sha256OfFile(path));
    } catch (const std::exception& e) {
      std::fprintf(stderr, "velkit definition pack: package %s: %s\n", archive.c_str(), e.what());
      ++missing;
      continue;
    }
    pugi::xml_node element = package.child("Sha256");
    if (!element) {
      pugi::xml_node after = package.child("FileName");
      pugi::xml_node indent = after ? after.previous_sibling() : pugi::xml_node();
      if (after && indent.type() == pugi::node_pcdata &&
          std::string_view(indent.value()).find_first_not_of(" \t\r\n") == std::string_view::npos) {
        after = package.insert_copy_after(indent, after);
        element = package.insert_child_after("Sha256", after);
      } else {
        element = after ? package.insert_child_after("Sha256", after) : package.append_child("Sha256");
      }
    }
    element.text().set(hash.c_str());
  }
  if (missing > 0) return {};
  if (pugi::xml_node declaration = doc.first_child(); declaration.type() == pugi::node_declaration &&
                                                       declaration.attribute("encoding"))
    declaration.attribute("encoding").set_value("UTF-8");
  // The parser keeps no blanks between the nodes around the document element: one line each.
  std::ostringstream out;
  const unsigned format = pugi::format_raw | pugi::format_no_declaration | pugi::format_no_empty_element_tags;
  for (pugi::xml_node node : doc.children()) {
    node.print(out, "", format, pugi::encoding_utf8);
    if (node != root || (!input.bytes.empty() && input.bytes.back() == '\n')) out << '\n';
  }
  return out.str();
}

int Pack(const std::vector<std::string>& args) {
  Options o = ParseOptions(args, {"hash-from"}, {"aes"});
  if (o.positional.size() != 2) throw UsageError{"expected XML and OUT"};
  const std::string& xmlPath = o.positional[0];
  const std::string& out = o.positional[1];
  std::string xml;
  if (!platform::ReadWholeFile(xmlPath, xml)) {
    std::fprintf(stderr, "velkit definition pack: cannot read %s\n", xmlPath.c_str());
    return ExitFailed;
  }
  // A definition the installer could not read is not packed: checked as written, and again with
  // its hashes filled in.
  auto loads = [&xml](std::vector<TZipFileCFG>* packages) {
    PresenterScope scope;
    InstallLog().Reset();
    TSetupDat check(false);
    if (!check.LoadSetupDatFromXml(xml)) {
      std::fprintf(stderr, "%s\n%s\n", scope.presenter.errorText.c_str(), LastLoggedError().c_str());
      return false;
    }
    if (packages) *packages = check.ZipFiles();
    return true;
  };
  std::vector<TZipFileCFG> packages;
  if (!loads(&packages)) return ExitFailed;
  if (const std::string* folder = o.Get("hash-from")) {
    xml = FillHashes(xml, packages, *folder);
    if (xml.empty()) {
      std::fprintf(stderr, "velkit definition pack: the hashes cannot be filled from %s\n", folder->c_str());
      return ExitFailed;
    }
    if (!loads(nullptr)) return ExitFailed;
  }
  bool aes = o.Has("aes");
  engine::WriteSingleEntryArchive(out, "setup.dat", xml, SetupDatPassword,
                                  aes ? engine::ZipEncryption::Aes256 : engine::ZipEncryption::TraditionalPkware);
  TSetupDat back(false);
  if (!LoadOrExplain(back, out, "definition pack")) return ExitFailed;
  std::size_t hashed = 0;
  for (const TZipFileCFG& z : back.ZipFiles()) hashed += z.Sha256().empty() ? 0 : 1;
  std::printf("%s: entry setup.dat, %zu bytes, %s encryption, %zu packages, %zu with SHA-256\n", out.c_str(), xml.size(),
              aes ? "AES-256" : "traditional PKWARE", back.ZipFiles().size(), hashed);
  return ExitOk;
}

// Whether every code unit can stand in the text of an XML 1.0 element.
bool IsXmlText(const std::u16string& w) {
  for (size_t i = 0; i < w.size(); ++i) {
    char16_t c = w[i];
    if (c >= 0xD800 && c <= 0xDBFF) {
      if (i + 1 >= w.size() || w[i + 1] < 0xDC00 || w[i + 1] > 0xDFFF) return false;
      ++i;
      continue;
    }
    if ((c >= 0xDC00 && c <= 0xDFFF) || c == 0xFFFE || c == 0xFFFF) return false;
    if (c < 0x20 && c != 0x09 && c != 0x0A && c != 0x0D) return false;
  }
  return true;
}

std::string XmlEscaped(const std::string& s) {
  std::string out;
  for (char c : s) {
    if (c == '&') out += "&amp;";
    else if (c == '<') out += "&lt;";
    else if (c == '>') out += "&gt;";
    else out.push_back(c);
  }
  return out;
}

int Scramble(const std::vector<std::string>& args) {
  Options o = ParseOptions(args, {});
  if (o.positional.size() != 1) throw UsageError{"expected TEXT"};
  std::u16string w = platform::Utf16FromUtf8(o.positional[0]);
  for (char16_t& c : w) c = static_cast<char16_t>(c + 64);
  if (!IsXmlText(w)) {
    std::fprintf(stderr, "velkit password scramble: this password cannot be stored in the definition's XML "
                         "(a character shifted by 64 is not allowed in XML text)\n");
    return ExitFailed;
  }
  std::printf("%s\n", XmlEscaped(ScramblePassword(o.positional[0])).c_str());
  return ExitOk;
}

int Unscramble(const std::vector<std::string>& args) {
  Options o = ParseOptions(args, {});
  if (o.positional.size() != 1) throw UsageError{"expected TEXT"};
  std::printf("%s\n", UnscramblePassword(o.positional[0]).c_str());
  return ExitOk;
}

int IndexShow(const std::vector<std::string>& args) {
  Options o = ParseOptions(args, {});
  if (o.positional.size() != 1) throw UsageError{"expected DATS_INI"};
  const std::string& path = o.positional[0];
  std::error_code ec;
  if (!std::filesystem::is_regular_file(platform::PathFromUtf8(path), ec)) {
    std::fprintf(stderr, "velkit index show: there is no file %s\n", path.c_str());
    return ExitFailed;
  }
  std::string problem;
  std::vector<TProductVersion> versions = ReadProductIndex(path, &problem);
  if (!problem.empty()) {
    std::fprintf(stderr, "velkit index show: %s\n", problem.c_str());
    return ExitFailed;
  }
  for (size_t i = 0; i < versions.size(); ++i) {
    const TProductVersion& v = versions[i];
    std::printf("%s\n      Velmor%zu: %s%s\n", v.Caption().c_str(), i + 1, v.URL.Value().c_str(),
                v.URL.Setting() ? " (Default)" : "");
  }
  std::printf("%zu product version%s\n", versions.size(), versions.size() == 1 ? "" : "s");
  if (versions.empty()) {
    std::fprintf(stderr, "velkit index show: %s lists no product version (sections Velmor1, Velmor2 ...)\n",
                 path.c_str());
    return ExitFailed;
  }
  return ExitOk;
}

Registrar showCommand({"definition", "show", "FILE",
                       "loads a setup definition (setup.dat) as the installer does and prints it as JSON", Show});
Registrar packCommand({"definition", "pack", "XML OUT [--aes] [--hash-from DIR]",
                       "checks a definition's XML and packs it into a setup.dat container (traditional "
                       "PKWARE encryption, or AES-256); --hash-from fills each package's Sha256 from its "
                       "archive in DIR",
                       Pack});
Registrar scrambleCommand({"password", "scramble", "TEXT",
                           "prints the text of the definition's Password element for a package password", Scramble});
Registrar unscrambleCommand({"password", "unscramble", "TEXT",
                             "prints the package password a Password element text stands for", Unscramble});
Registrar indexShowCommand({"index", "show", "DATS_INI",
                            "lists the product versions of a product index as the version page shows them",
                            IndexShow});

}  // namespace

}  // namespace velkit
