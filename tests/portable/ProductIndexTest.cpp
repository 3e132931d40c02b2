#include <gtest/gtest.h>

#include "TestSupport.h"
#include "platform/Text.h"
#include "setup/ProductIndex.h"

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
