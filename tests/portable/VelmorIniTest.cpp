#include <gtest/gtest.h>

#include "TestSupport.h"
#include "platform/Text.h"
#include "sql/VelmorIni.h"

namespace {

using testing_support::Exists;
using testing_support::ReadFile;
using testing_support::TempFolder;

bool CzechCodePage() { return platform::AnsiFromUtf8("č") == "\xE8"; }

// The reference file was made from the published table of lines with the server PC01\VELMOR
// and the database Účetnictví_2024, in windows-1250 with CR LF.
TEST(VelmorIniTest, BytesMatchTheReferenceFile) {
  if (!CzechCodePage()) GTEST_SKIP() << "the reference bytes are windows-1250";
  std::string expected = ReadFile(testing_support::DataDir() + "/velmorini/Velmor.INI");
  EXPECT_EQ(VelmorIniBytes("PC01\\VELMOR", "Účetnictví_2024"), expected);
}

TEST(VelmorIniTest, ValuesSitOnTheirLinesAndEveryLineEndsInCrLf) {
  std::string bytes = VelmorIniBytes("PC01\\VELMOR", "Data2024");
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t crlf; (crlf = bytes.find("\r\n", start)) != std::string::npos; start = crlf + 2)
    lines.push_back(bytes.substr(start, crlf - start));
  EXPECT_EQ(start, bytes.size()) << "the last line ends in CR LF too";
  ASSERT_EQ(lines.size(), 62u);
  EXPECT_EQ(lines[33], "[SQLServer]");
  EXPECT_EQ(lines[34], "Server=PC01\\VELMOR");
  EXPECT_EQ(lines[41], "SystemDB=Data2024");
  EXPECT_EQ(lines[50], "LoginMode=2");
  EXPECT_EQ(lines[59], ";Collate=Czech_CI_AS");
  EXPECT_EQ(bytes.find('\n'), bytes.find("\r\n") + 1) << "no bare line feeds";
  EXPECT_NE(bytes.substr(0, 3), "\xEF\xBB\xBF");
}

TEST(VelmorIniTest, NamesTheCodePageCannotHoldAreRefused) {
  // Not one of them could be read back by the product as written.
  for (const char* name : {"数据库", "Data\r\nLoginMode=0", "Δεδομένα"})
    EXPECT_THROW(VelmorIniBytes("PC01", name), std::runtime_error) << name;
  EXPECT_THROW(VelmorIniBytes("服务器", "Data"), std::runtime_error);
}

TEST(VelmorIniTest, WritesOnceAndNeverOverAnExistingFile) {
  TempFolder dir;
  EXPECT_TRUE(CreateVelmorINI(dir.Path(), "PC01\\VELMOR", "Data2024"));
  EXPECT_EQ(ReadFile(dir / "Velmor.INI"), VelmorIniBytes("PC01\\VELMOR", "Data2024"));

  // An update, or a second installation into the same folder, keeps the file byte for byte.
  std::string kept = "[SQLServer]\r\nServer=OLD\r\nSystemDB=Keep\r\n";
  dir.Write("Velmor.INI", kept);
  EXPECT_FALSE(CreateVelmorINI(dir.Path() + "/", "NEW", "Other"));
  EXPECT_EQ(ReadFile(dir / "Velmor.INI"), kept);
}

TEST(VelmorIniTest, AnExistingFileOnANewInstallationIsReplacedOnlyWhenTheUserSaysSo) {
  const std::string old = "[SQLServer]\r\nServer=OLD\r\nSystemDB=Keep\r\n";
  struct Case {
    const char* what;
    bool existing, staleBackup, answer;
    bool asked, written;
  } cases[] = {
      {"no file: written without a question", false, false, false, false, true},
      {"Yes: replaced, the old one kept as .bak", true, false, true, true, true},
      {"Yes over an older .bak", true, true, true, true, true},
      {"No: left as it is", true, false, false, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempFolder dir;
    if (c.existing) dir.Write("Velmor.INI", old);
    if (c.staleBackup) dir.Write("Velmor.INI.bak", "stale");
    int asked = 0;
    bool written = CreateVelmorINI(dir.Path(), "PC01\\VELMOR", "Nova", [&] {
      ++asked;
      return c.answer;
    });
    EXPECT_EQ(written, c.written);
    EXPECT_EQ(asked, c.asked ? 1 : 0);
    EXPECT_EQ(ReadFile(dir / "Velmor.INI"), c.written ? VelmorIniBytes("PC01\\VELMOR", "Nova") : old);
    if (c.existing && c.answer)
      EXPECT_EQ(ReadFile(dir / "Velmor.INI.bak"), old);
    else if (!c.staleBackup)
      EXPECT_FALSE(Exists(dir / "Velmor.INI.bak"));
    EXPECT_FALSE(Exists(dir / "Velmor.INI.new"));
  }
}

TEST(VelmorIniTest, AReplacementTheFileCannotHoldChangesNothing) {
  TempFolder dir;
  const std::string old = "[SQLServer]\r\nServer=OLD\r\n";
  dir.Write("Velmor.INI", old);
  EXPECT_THROW(CreateVelmorINI(dir.Path(), "服务器", "D", [] { return true; }), std::runtime_error);
  EXPECT_EQ(ReadFile(dir / "Velmor.INI"), old);
  EXPECT_FALSE(Exists(dir / "Velmor.INI.bak"));
}

TEST(VelmorIniTest, AFolderThatCannotTakeTheFileIsAnError) {
  TempFolder dir;
  EXPECT_THROW(CreateVelmorINI(dir / "missing/deeper", "S", "D"), std::exception);
}

}  // namespace
