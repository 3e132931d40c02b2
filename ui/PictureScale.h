#pragma once
// Making a picture smaller for a lower display scale, on plain pixel buffers so the rule is the
// same on every platform.
#include <cstdint>
#include <vector>

namespace ui {

// A picture as rows of 4-byte pixels (blue, green, red, unused), top row first.
struct TPixels {
  int Width = 0;
  int Height = 0;
  std::vector<std::uint8_t> Data;  // Width * Height * 4 bytes
};

// The picture at width x height (each not larger than the source's), every target pixel the
// average of the source pixels it covers, weighted by how much of each it covers (a box filter:
// sharp, no stretching blur). The fourth byte of each result pixel is 0. An empty result for an
// empty source or target size, or a source whose data does not match its size.
TPixels ShrinkPixels(const TPixels& source, int width, int height);

}  // namespace ui
