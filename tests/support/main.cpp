#include <gtest/gtest.h>

#include "support/InstallLog.h"

// Each test starts with an empty program-wide log.
class ResetLog : public testing::EmptyTestEventListener {
  void OnTestStart(const testing::TestInfo&) override { InstallLog().Reset(); }
};

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  testing::UnitTest::GetInstance()->listeners().Append(new ResetLog);
  return RUN_ALL_TESTS();
}
