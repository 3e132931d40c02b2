// The extended-length form of long Windows paths: which paths get it and how they are normalised
// first, since Windows takes that form literally.
#include <gtest/gtest.h>

#include <string>

#include "platform/LongPath.h"

namespace {

using platform::ExtendedLengthPath;
using platform::WithoutExtendedLengthPrefix;

// A name of n characters, so paths of a chosen length are easy to build.
std::string Name(size_t n, char c = 'a') { return std::string(n, c); }

TEST(LongPath, WhichPathsGetTheExtendedForm) {
  const std::string longTail = Name(120) + "\\" + Name(120, 'b') + "\\file.txt";  // 251 characters
  struct Case {
    const char* what;
    std::string path;
    std::string expected;
  } cases[] = {
      {"short drive path", "C:\\Velmor\\Program", "C:\\Velmor\\Program"},
      {"long drive path", "D:\\" + longTail, "\\\\?\\D:\\" + longTail},
      {"forward slashes and doubled separators", "C:/" + Name(120) + "//" + Name(120, 'b') + "/file.txt",
       "\\\\?\\C:\\" + longTail},
      {"dots resolved, never above the drive", "C:\\..\\x\\.\\..\\" + longTail + "\\sub\\..",
       "\\\\?\\C:\\" + longTail},
      {"trailing dots and blanks of names dropped", "C:\\" + Name(120) + ". \\" + Name(120, 'b') + "\\file.txt",
       "\\\\?\\C:\\" + longTail},
      {"trailing separator kept", "C:\\" + longTail + "\\", "\\\\?\\C:\\" + longTail + "\\"},
      {"network path", "\\\\server\\share\\" + longTail, "\\\\?\\UNC\\server\\share\\" + longTail},
      {"network path: .. stops at the share", "\\\\server\\share\\..\\..\\" + longTail,
       "\\\\?\\UNC\\server\\share\\" + longTail},
      {"relative path unchanged", longTail + "\\" + Name(10), longTail + "\\" + Name(10)},
      {"drive-relative path unchanged", "C:" + longTail, "C:" + longTail},
      {"rooted path without drive unchanged", "\\" + longTail, "\\" + longTail},
      {"already extended unchanged", "\\\\?\\C:\\" + longTail, "\\\\?\\C:\\" + longTail},
      {"device path unchanged", "\\\\.\\" + longTail, "\\\\.\\" + longTail},
      {"network path without share unchanged", "\\\\" + Name(260), "\\\\" + Name(260)},
  };
  for (const Case& c : cases) EXPECT_EQ(ExtendedLengthPath(c.path), c.expected) << c.what;
}

TEST(LongPath, LimitCountsUtf16CodeUnits) {
  // 3 + 244 = 247 characters stay ordinary, 248 need the long form.
  EXPECT_EQ(ExtendedLengthPath("C:\\" + Name(244)), "C:\\" + Name(244));
  EXPECT_EQ(ExtendedLengthPath("C:\\" + Name(245)), "\\\\?\\C:\\" + Name(245));
  // "ž" is two bytes of UTF-8 but one UTF-16 unit; a character beyond U+FFFF is two units.
  std::string czech;
  for (int i = 0; i < 244; ++i) czech += "ž";
  EXPECT_EQ(platform::Utf16Length(czech), 244u);
  EXPECT_EQ(ExtendedLengthPath("C:\\" + czech), "C:\\" + czech);
  EXPECT_EQ(platform::Utf16Length("\xF0\x9F\x93\x81"), 2u);
  EXPECT_EQ(ExtendedLengthPath("C:\\" + Name(243) + "\xF0\x9F\x93\x81"), "\\\\?\\C:\\" + Name(243) + "\xF0\x9F\x93\x81");
}

TEST(LongPath, PrefixComesOffAgain) {
  std::string longPath = "C:\\" + Name(300);
  std::string network = "\\\\server\\share\\" + Name(300);
  EXPECT_EQ(WithoutExtendedLengthPrefix(ExtendedLengthPath(longPath)), longPath);
  EXPECT_EQ(WithoutExtendedLengthPrefix(ExtendedLengthPath(network)), network);
  EXPECT_EQ(WithoutExtendedLengthPrefix("C:\\short"), "C:\\short");
  // Only a drive or UNC form loses it: a volume name keeps it.
  EXPECT_EQ(WithoutExtendedLengthPrefix("\\\\?\\Volume{x}\\a"), "\\\\?\\Volume{x}\\a");
}

}  // namespace
