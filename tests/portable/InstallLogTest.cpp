#include <cstdio>
#include <gtest/gtest.h>

#include "TestSupport.h"
#include "platform/Files.h"
#include "platform/Process.h"
#include "platform/Text.h"
#include "support/InstallLog.h"
#include "support/SystemUtil.h"

namespace {

platform::LocalTime Fixed() { return {2024, 12, 8, 10, 15, 2, 0}; }

std::string StampOf(const platform::LocalTime& t) {
  return platform::ShortDateText(t) + " " + platform::LongTimeText(t);
}

class InstallLogTest : public testing::Test {
 protected:
  TInstallLog log;
  std::string stamp = StampOf(Fixed());
  void SetUp() override { log.SetClock(Fixed); }
};

TEST_F(InstallLogTest, ProceduresNestWithOddMarkersAndEndWritesNothing) {
  log.AddProcedure("BackUpPreviousVelmor");
  log.AddProcedure("GetALLDirectory");
  log.EndProcedure();
  log.Add("Loading the directory structure");
  log.EndProcedure();
  log.AddProcedure("RunInstall");
  ASSERT_EQ(log.Log().size(), 8u);
  EXPECT_EQ(log.Log()[0], stamp + "  * procedura BackUpPreviousVelmor");
  EXPECT_EQ(log.Log()[1], std::string(68, '-'));
  EXPECT_EQ(log.Log()[2], stamp + "  *** procedura GetALLDirectory");
  EXPECT_EQ(log.Log()[4], stamp + "  Loading the directory structure");
  EXPECT_EQ(log.Log()[6], stamp + "  * procedura RunInstall");
  for (size_t i = 1; i < log.Log().size(); i += 2) EXPECT_EQ(log.Log()[i], TInstallLog::Separator);
}

TEST_F(InstallLogTest, NegativeLevelGivesNoMarker) {
  log.EndProcedure();
  log.EndProcedure();
  log.AddProcedure("X");
  EXPECT_EQ(log.Log()[0], stamp + "   procedura X");
  EXPECT_EQ(log.Uroven(), -1);
}

TEST_F(InstallLogTest, ErrorLineFormat) {
  log.AddError("Database name is not filled.");
  ASSERT_EQ(log.Log().size(), 2u);
  EXPECT_EQ(log.Log()[0], stamp + " !!! Database name is not filled. !!!");
}

TEST_F(InstallLogTest, PercentSigns) {
  struct Case { const char* in; const char* out; } cases[] = {
      {"100%% done", "100% done"},
      {"%%%%", "%%"},
      {"50% done", "50% done"},          // a lone sign keeps the line as written
      {"%s and %% stay", "%s and %% stay"},
      {"trailing %", "trailing %"},
  };
  for (const Case& c : cases) {
    log.Reset();
    log.Add(c.in);
    EXPECT_EQ(log.Log()[0], stamp + "  " + c.out) << c.in;
  }
}

TEST_F(InstallLogTest, SaveWritesAnsiCrlfFilesNamedByTheTimeOfWriting) {
  log.Add("Instalace dokončena: žluťoučký kůň");
  log.Add("line\n\rbreak");
  platform::LocalTime before = platform::NowLocal();
  std::string path = log.Save();
  std::string errorPath = log.SaveError();
  std::string tempDir = TempDirectory();
  EXPECT_EQ(path.substr(0, tempDir.size()), tempDir);
  std::string name = path.substr(tempDir.size());
  ASSERT_EQ(name.size(), std::string("VelmorInst").size() + 14 + 4) << name;
  EXPECT_EQ(name.substr(0, 10), "VelmorInst");
  EXPECT_EQ(name.substr(10, 8), TimeStampText(before).substr(0, 8));
  EXPECT_EQ(name.substr(24), ".log");
  EXPECT_NE(errorPath.find("VelmorErrorInst"), std::string::npos);

  std::string bytes = testing_support::ReadFile(path);
  std::string expected;
  for (const std::string& l : log.Log()) expected += l + "\r\n";
  EXPECT_EQ(bytes, platform::AnsiFromUtf8(expected));
  EXPECT_NE(bytes.find("\xE8"), std::string::npos) << "č in Windows-1250";
  EXPECT_EQ(testing_support::ReadFile(errorPath), bytes);
  std::remove(platform::PathFromUtf8(path).string().c_str());
  std::remove(platform::PathFromUtf8(errorPath).string().c_str());
}

TEST_F(InstallLogTest, SaveKeepsNamesTheAnsiCodePageLacksInUtf8) {
  // A target folder named in Greek on a Czech system: ANSI would turn the name into question marks.
  log.Add("Target C:\\Programy\\Ωμέγα Velmor\\žluťoučký");
  std::string path = log.Save();
  std::string bytes = testing_support::ReadFile(path);
  std::string expected = "\xEF\xBB\xBF";
  for (const std::string& l : log.Log()) expected += l + "\r\n";
  EXPECT_EQ(bytes, expected);
  std::remove(platform::PathFromUtf8(path).string().c_str());
}

TEST_F(InstallLogTest, LogProcedureEndsEvenWhenLeftByAnException) {
  try {
    LogProcedure scope("Failing");
    EXPECT_EQ(InstallLog().Uroven(), 1);
    throw 1;
  } catch (int) {
  }
  EXPECT_EQ(InstallLog().Uroven(), 0);
}

}  // namespace
