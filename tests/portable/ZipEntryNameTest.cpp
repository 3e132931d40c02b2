// Entry-name rules of ZipArchive: which names stay below the base folder, how masks match, and
// which code page a written name takes.
#include <gtest/gtest.h>

#include "engine/ZipEntryName.h"

using engine::EntryMatchesMask;
using engine::SafeEntryComponents;

TEST(ZipEntryName, NamesThatCouldLeaveTheBaseFolderOrNameADeviceAreUnsafe) {
  struct Case {
    const char* name;
    const char* reason;  // part of the refusal's text
  } cases[] = {
      {"../x.txt", "climbs out"}, {"..\\x.txt", "climbs out"}, {"a/../../x.txt", "climbs out"},
      {"a\\..\\..\\x.txt", "climbs out"}, {"/etc/passwd", "absolute"}, {"\\Windows\\x.dll", "absolute"},
      {"C:x.txt", "drive"}, {"C:\\x.txt", "drive"}, {"c:/x.txt", "drive"},
      {"\\\\server\\share\\x.txt", "absolute"}, {"//server/share/x.txt", "absolute"},
      {"a/.. /x.txt", "climbs out"},  // Windows trims trailing blanks and dots: ".. " is ".."
      {"a/.../x.txt", "climbs out"}, {"..", "climbs out"}, {"file.txt:stream", "colon"},
      {"", "empty"}, {"/", "absolute"}, {"./", "no file"},
      {"CON", "device \"CON\""}, {"sub/nul.txt", "device \"nul.txt\""}, {"LPT1.log", "device"},
      {"COM0", "device"}, {"aux .txt", "device"}, {"CONOUT$", "device"},
      // Windows takes the superscript digits one to three for device numbers as well.
      {"COM\u00B9", "device \"COM\u00B9\""}, {"com\u00B2.txt", "device"}, {"sub/LPT\u00B3", "device"},
      {"lpt\u00B9.log", "device"},
  };
  for (const Case& c : cases) {
    EXPECT_FALSE(SafeEntryComponents(c.name)) << c.name;
    EXPECT_NE(engine::UnsafeEntryNameReason(c.name).find(c.reason), std::string::npos)
        << c.name << ": " << engine::UnsafeEntryNameReason(c.name);
  }
}

TEST(ZipEntryName, OrdinaryNamesSplitIntoTheirComponents) {
  struct Case {
    const char* name;
    std::vector<std::string> parts;
  } cases[] = {
      {"a.txt", {"a.txt"}},
      {"Sub\\b.txt", {"Sub", "b.txt"}},
      {"Sub/b.txt", {"Sub", "b.txt"}},
      {"./Sub//b.txt", {"Sub", "b.txt"}},
      {"Sub/", {"Sub"}},
      {"..a/b..txt", {"..a", "b..txt"}},
      {"Žluťoučký kůň/Úvod.txt", {"Žluťoučký kůň", "Úvod.txt"}},
      {"CONFIG.SYS", {"CONFIG.SYS"}},
      {"console.txt", {"console.txt"}},
      {"COM10", {"COM10"}},
      {"COM\u2074", {"COM\u2074"}},  // superscript four is an ordinary letter
      {"LPT\u00B9x", {"LPT\u00B9x"}},
  };
  for (const auto& c : cases) {
    auto parts = SafeEntryComponents(c.name);
    ASSERT_TRUE(parts) << c.name;
    EXPECT_EQ(*parts, c.parts) << c.name;
  }
}

TEST(ZipEntryName, Masks) {
  struct Case {
    const char* name;
    const char* mask;
    bool matches;
  } cases[] = {
      {"README", "*.*", true},  // also names without a dot
      {"Sub\\deep\\a.txt", "*.*", true},
      {"a.txt", "*", true},
      {"Sub\\prog.exe", "prog.exe", true},  // a bare name matches in every folder
      {"Sub\\PROG.EXE", "prog.exe", true},
      {"Sub\\prog.exe.bak", "prog.exe", false},
      {"Sub\\myprog.exe", "prog.exe", false},
      {"Sub\\a.dll", "*.dll", true},
      {"Sub\\a.dll", "?.dll", true},
      {"Sub\\ab.dll", "?.dll", false},
      {"Sub\\a.txt", "Sub\\a.txt", true},  // a mask with a folder compares the whole path
      {"Other\\a.txt", "Sub\\a.txt", false},
      {"Sub\\Žluť.txt", "žluť.TXT", true},
      {"a.txt", "", false},
  };
  for (const auto& c : cases) EXPECT_EQ(EntryMatchesMask(c.name, c.mask), c.matches) << c.name << " ~ " << c.mask;
}

TEST(ZipEntryName, WrittenNamesUseOemWhenEveryLetterFits) {
  bool utf8 = true;
  EXPECT_EQ(engine::StoredFromEntryName("Sub\\a.txt", utf8), "Sub/a.txt");
  EXPECT_FALSE(utf8);
  std::string czech = engine::StoredFromEntryName("Složka\\čeština.txt", utf8);
  EXPECT_FALSE(utf8);
  EXPECT_EQ(czech, "Slo\xA7ka/\x9F" "e\xE7tina.txt");  // code page 852
  EXPECT_EQ(engine::EntryNameFromStored(czech, false), "Složka\\čeština.txt");
  EXPECT_EQ(engine::StoredFromEntryName("Ωmega\\日本.txt", utf8), "Ωmega/日本.txt");
  EXPECT_TRUE(utf8);
}
