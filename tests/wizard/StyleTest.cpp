// The white style resource and what a damaged one does.
#include <gtest/gtest.h>

#include <string>

#include "TestSupport.h"
#include "app/Style.h"

namespace {

class StyleTest : public testing::Test {
 protected:
  void TearDown() override { ResetStyle(); }
};

TEST_F(StyleTest, TheCommittedWhiteStyleApplies) {
  std::string text = testing_support::ReadFile(std::string(VELSETUP_SOURCE_DIR) + "/resources/VelmorSetupWhite.style");
  std::string error;
  ASSERT_TRUE(ApplyStyleText("Velmor setup white", text, error)) << error;
  EXPECT_EQ(CurrentStyle().Name, "Velmor setup white");
  EXPECT_EQ(CurrentStyle().Window, ui::clWhite);
  EXPECT_EQ(CurrentStyle().ButtonText, 3355443u);  // 333333, the buttons' dark grey
  EXPECT_EQ(CurrentStyle().Error, ui::RGBColor(0xD0, 0x02, 0x1B));
}

TEST_F(StyleTest, ADamagedOrDifferentStyleLeavesTheDefaultLook) {
  struct Case {
    const char* text;
    const char* why;
  } cases[] = {
      {"name=Velmor setup blue\nwindow=FFFFFF\n", "not found"},
      {"name=Velmor setup white\nwindow=FFFFF\n", "not a colour"},
      {"name=Velmor setup white\nwindow=GGGGGG\n", "not a colour"},
      {"name=Velmor setup white\nborder=FFFFFF\n", "unknown key"},
      {"name=Velmor setup white\nwindow\n", "no value"},
      {"", "not found"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    std::string error;
    EXPECT_FALSE(ApplyStyleText("Velmor setup white", c.text, error));
    EXPECT_NE(error.find(c.why), std::string::npos) << error;
    EXPECT_EQ(CurrentStyle().Name, "");
    EXPECT_EQ(CurrentStyle().Window, ui::clWhite);
  }
}

}  // namespace
