#include <gtest/gtest.h>

#include <chrono>

#include "TestSupport.h"
#include "platform/Text.h"
#include "setup/ProductIndex.h"
#include "support/InstallLog.h"

namespace {

using testing_support::TempFolder;

TEST(ProductIndexTest, ListsConsecutiveVersionsOnly) {
  TempFolder dir;
  std::string path = dir.Write("dats.ini", platform::AnsiFromUtf8(
                                               "[Velmor1]\r\n"
                                               "URL= https://download.example.cz/velmor/v3/setup.dat ; Default\r\n"
                                               "Name=Velmor 3 – účetnictví\r\n"
                                               "[velmor2]\r\n"
                                               "name=Velmor 2\r\n"
                                               "[Velmor4]\r\n"
                                               "URL=https://download.example.cz/velmor/v4/setup.dat\r\n"
                                               "Name=never listed\r\n"));
  std::vector<TProductVersion> versions = ReadProductIndex(path);
  ASSERT_EQ(versions.size(), 2u);
  EXPECT_EQ(versions[0].URL.Value(), "https://download.example.cz/velmor/v3/setup.dat");
  EXPECT_TRUE(versions[0].URL.Setting());
  EXPECT_EQ(versions[0].Caption(), "   Velmor 3 – účetnictví");
  EXPECT_EQ(versions[1].URL.Value(), "") << "a missing key reads as empty text";
  EXPECT_FALSE(versions[1].URL.Setting());
  EXPECT_EQ(versions[1].Caption(), "   Velmor 2");
}

TEST(ProductIndexTest, EdgeFiles) {
  TempFolder dir;
  std::u16string w = u"\uFEFF" + platform::Utf16FromUtf8("[Velmor1]\r\nURL=https://h.cz/a.dat\r\nName=Šablona\r\n");
  struct Case { const char* what; std::string bytes; size_t count; } cases[] = {
      {"UTF-16 with byte-order mark", std::string(reinterpret_cast<const char*>(w.data()), w.size() * 2), 1},
      {"empty file", "", 0},
      {"numbering starts at 1", "[Velmor0]\r\nName=x\r\n[Velmor2]\r\nName=y\r\n", 0},
      {"leading zero is another section", "[Velmor01]\r\nName=x\r\n", 0},
      {"a section without keys ends the list", "[Velmor1]\r\nName=a\r\n[Velmor2]\r\n[Velmor3]\r\nName=c\r\n", 1},
      {"not an INI file", std::string("\x00\x01garbage\xFF", 11), 0},
  };
  for (const Case& c : cases) {
    std::vector<TProductVersion> versions = ReadProductIndex(dir.Write("dats.ini", c.bytes));
    EXPECT_EQ(versions.size(), c.count) << c.what;
  }
  EXPECT_EQ(ReadProductIndex(dir.Write("dats.ini", cases[0].bytes))[0].Name, "Šablona");
  EXPECT_TRUE(ReadProductIndex(dir / "missing.ini").empty());
}

}  // namespace

namespace {

// Each section was found by a new pass over the whole file: 3,000 sections took a minute.
TEST(ProductIndexTest, TimeGrowsWithTheFileOnly) {
  TempFolder dir;
  std::string text;
  const int count = 6000;
  for (int n = 1; n <= count; ++n)
    text += "[Velmor" + std::to_string(n) + "]\r\nURL=https://h.cz/v" + std::to_string(n) + "/setup.dat\r\nName=V" +
            std::to_string(n) + "\r\n";
  std::string path = dir.Write("dats.ini", text);
  auto start = std::chrono::steady_clock::now();
  std::vector<TProductVersion> versions = ReadProductIndex(path);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
  ASSERT_EQ(versions.size(), static_cast<size_t>(count));
  EXPECT_EQ(versions.back().URL.Value(), "https://h.cz/v6000/setup.dat");
  EXPECT_EQ(versions.back().Name, "V6000");
}

TEST(ProductIndexTest, AFileAboveTheCapIsNotRead) {
  TempFolder dir;
  std::string head = "[Velmor1]\r\nURL=https://h.cz/setup.dat\r\nName=";
  std::string atCap = head + std::string(kMaxProductIndexSize - head.size(), 'x');
  std::string problem;
  EXPECT_EQ(ReadProductIndex(dir.Write("dats.ini", atCap), &problem).size(), 1u);
  EXPECT_EQ(problem, "");
  InstallLog().Reset();
  std::string path = dir.Write("dats.ini", atCap + "x");
  EXPECT_TRUE(ReadProductIndex(path, &problem).empty());
  EXPECT_NE(problem.find(path), std::string::npos) << problem;
  EXPECT_NE(problem.find("1024 KiB"), std::string::npos) << problem;
  bool logged = false;
  for (const auto& line : InstallLog().Log()) logged = logged || line.find(problem) != std::string::npos;
  EXPECT_TRUE(logged);
}

}  // namespace
