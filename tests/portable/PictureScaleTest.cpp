// Shrinking a picture for a lower display scale: each target pixel is the covered-area average.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "ui/PictureScale.h"

using ui::ShrinkPixels;
using ui::TPixels;

namespace {

// A one-channel picture: every pixel's blue, green and red are the value, the fourth byte 255
// (so a result that copies it instead of clearing it shows).
TPixels Grey(int width, int height, const std::vector<int>& values) {
  TPixels p{width, height, {}};
  for (int v : values)
    for (int c = 0; c < 4; ++c) p.Data.push_back(static_cast<std::uint8_t>(c == 3 ? 255 : v));
  return p;
}

std::vector<int> Channel(const TPixels& p, int channel) {
  std::vector<int> out;
  for (size_t i = static_cast<size_t>(channel); i < p.Data.size(); i += 4) out.push_back(p.Data[i]);
  return out;
}

struct ShrinkCase {
  const char* what;
  TPixels source;
  int width, height;
  std::vector<int> expected;  // each channel's values, row by row
};

class PictureShrink : public testing::TestWithParam<ShrinkCase> {};

TEST_P(PictureShrink, AveragesTheCoveredSourcePixels) {
  const ShrinkCase& c = GetParam();
  TPixels result = ShrinkPixels(c.source, c.width, c.height);
  ASSERT_EQ(result.Width, c.width);
  ASSERT_EQ(result.Height, c.height);
  for (int channel = 0; channel < 3; ++channel) EXPECT_EQ(Channel(result, channel), c.expected) << channel;
  EXPECT_EQ(Channel(result, 3), std::vector<int>(c.expected.size(), 0));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PictureShrink,
    testing::Values(
        ShrinkCase{"same size copies", Grey(2, 1, {10, 200}), 2, 1, {10, 200}},
        ShrinkCase{"half takes 2x2 blocks", Grey(4, 2, {0, 100, 10, 10, 100, 200, 30, 30}), 2, 1, {100, 20}},
        // 3 -> 2: the middle source pixel is shared half and half between the two targets.
        ShrinkCase{"two thirds weighs the shared pixel", Grey(3, 1, {0, 90, 180}), 2, 1, {30, 150}},
        // 150 % -> 125 %: 6 -> 5, each target covers 1.2 source pixels.
        ShrinkCase{"five sixths", Grey(6, 1, {0, 0, 0, 200, 200, 200}), 5, 1, {0, 0, 100, 200, 200}},
        ShrinkCase{"to a single pixel", Grey(2, 2, {0, 1, 2, 3}), 1, 1, {2}},
        ShrinkCase{"uniform stays uniform", Grey(5, 3, std::vector<int>(15, 77)), 3, 2, std::vector<int>(6, 77)}),
    [](const testing::TestParamInfo<ShrinkCase>& info) {
      std::string name = info.param.what;
      for (char& ch : name)
        if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
      return name;
    });

TEST(PictureShrinkInput, NothingForEmptySizesOrDataOfTheWrongLength) {
  TPixels good = Grey(2, 2, {1, 2, 3, 4});
  TPixels shortData = good;
  shortData.Data.pop_back();
  struct {
    const TPixels& source;
    int width, height;
  } cases[] = {{good, 0, 1}, {good, 1, 0}, {good, -1, 1}, {TPixels{}, 1, 1}, {shortData, 1, 1}};
  for (const auto& c : cases) {
    TPixels r = ShrinkPixels(c.source, c.width, c.height);
    EXPECT_EQ(r.Width, 0);
    EXPECT_TRUE(r.Data.empty());
  }
}

TEST(PictureShrinkInput, ChannelsAreAveragedApart) {
  TPixels p{2, 1, {255, 0, 10, 9, 0, 255, 30, 9}};
  TPixels r = ShrinkPixels(p, 1, 1);
  EXPECT_EQ(r.Data, (std::vector<std::uint8_t>{128, 128, 20, 0}));
}

}  // namespace
