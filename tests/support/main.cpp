#include <gtest/gtest.h>

#include <cstdlib>

#include "TestSupport.h"
#include "setup/Downloader.h"
#include "sql/Ssrp.h"
#include "ui/Application.h"
#include "support/Catalogue.h"
#include "support/InstallLog.h"
#include "ui/headless/Headless.h"

// Each test starts where a newly started program starts, also when several tests share this
// process: an empty log, Czech texts, no stop requested, the application not ending, and a
// headless screen that has recorded nothing.
class FreshProgram : public testing::EmptyTestEventListener {
  void OnTestStart(const testing::TestInfo&) override {
    InstallLog().Reset();
    SetCurrentLanguage(langCZ);
    StopRequested = false;
    Application().ResetTerminated();
    ui::headless::Instance().Reset();
  }
};

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  testing::UnitTest::GetInstance()->listeners().Append(new FreshProgram);
  // No test broadcasts: a scan that reaches the SQL Server Browser asks loopback only.
  SqlBrowserTarget() = {"127.0.0.1", 1434, 200};
#ifndef _WIN32
  // Every native test runs in a process of its own, two at a time: each gets a temporary folder of
  // its own, so files the program puts there by fixed names (downloads) never meet another test's.
  testing_support::TempFolder temp;
  setenv("TMPDIR", temp.Path().c_str(), 1);
#endif
  return RUN_ALL_TESTS();
}
