// The native build's in-memory registry in the roles the installer gives it.
#include <gtest/gtest.h>

#include <fstream>

#include "platform/posix/MemoryRegistry.h"
#include "support/SystemUtil.h"

using platform::RegRoot;
namespace regaccess = platform::regaccess;

namespace {
class MemoryRegistry : public testing::Test {
 protected:
  void TearDown() override { platform::memreg::Clear(); }
};
}  // namespace

TEST_F(MemoryRegistry, WithoutMachineWriteAccessThereAreNoAdminRights) {
  EXPECT_TRUE(HasAdminRights());
  platform::memreg::SetMachineWritable(false);
  EXPECT_FALSE(HasAdminRights());
  TRegistry reg(regaccess::Read);
  reg.SetRootKey(RegRoot::LocalMachine);
  EXPECT_FALSE(reg.KeyExists("Software\\MyCompanyName\\MyApplication"));
  // Reading still works.
  platform::memreg::SetMachineWritable(true);
  reg.SetAccess(regaccess::AllAccess);
  ASSERT_TRUE(reg.OpenKey("Software\\Velmor", true));
  reg.WriteString("x", "y");
  platform::memreg::SetMachineWritable(false);
  ASSERT_TRUE(reg.OpenKeyReadOnly("Software\\Velmor"));
  EXPECT_EQ(reg.ReadString("x"), "y");
}

TEST_F(MemoryRegistry, KeysAndValuesIgnoreCaseAndKeepTheirNames) {
  TRegistry reg;
  reg.SetRootKey(RegRoot::CurrentUser);
  ASSERT_TRUE(reg.OpenKey("Software\\Velmor\\Instances", true));
  reg.WriteString("FirstName", "a");
  ASSERT_TRUE(reg.OpenKeyReadOnly("SOFTWARE\\velmor\\INSTANCES"));
  EXPECT_EQ(reg.ReadString("firstname"), "a");
  EXPECT_EQ(reg.GetValueNames(), std::vector<std::string>{"FirstName"});
  ASSERT_TRUE(reg.OpenKeyReadOnly("Software"));
  EXPECT_EQ(reg.GetKeyNames(), std::vector<std::string>{"Velmor"});
  // Machine and user keys are separate trees.
  TRegistry machine;
  machine.SetRootKey(RegRoot::LocalMachine);
  EXPECT_FALSE(machine.KeyExists("Software\\Velmor"));
  // A key with subkeys is not deleted.
  EXPECT_FALSE(reg.DeleteKey("Software\\Velmor"));
  EXPECT_TRUE(reg.DeleteKey("Software\\Velmor\\Instances"));
  EXPECT_TRUE(reg.DeleteKey("Software\\Velmor"));
}

TEST_F(MemoryRegistry, ProcessorNameComesFromTheKernel) {
  std::ifstream in("/proc/cpuinfo");
  std::string line;
  bool known = false;
  while (std::getline(in, line)) known = known || line.rfind("model name", 0) == 0;
  if (!known) GTEST_SKIP() << "this kernel names no processor model";
  EXPECT_FALSE(ReadProcessorName().empty());
}
