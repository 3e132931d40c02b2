#include "ui/PictureScale.h"

#include <algorithm>
#include <cmath>

namespace ui {

TPixels ShrinkPixels(const TPixels& source, int width, int height) {
  const int sw = source.Width, sh = source.Height;
  if (sw <= 0 || sh <= 0 || width <= 0 || height <= 0 ||
      source.Data.size() != static_cast<size_t>(sw) * static_cast<size_t>(sh) * 4)
    return {};
  TPixels result{width, height, std::vector<std::uint8_t>(static_cast<size_t>(width) * height * 4)};
  const double fx = static_cast<double>(sw) / width, fy = static_cast<double>(sh) / height;
  for (int y = 0; y < height; ++y) {
    const double y0 = y * fy, y1 = y0 + fy;
    for (int x = 0; x < width; ++x) {
      const double x0 = x * fx, x1 = x0 + fx;
      double sum[3] = {0, 0, 0}, area = 0;
      for (int sy = static_cast<int>(y0); sy < sh && sy < y1; ++sy) {
        const double wy = std::min<double>(sy + 1, y1) - std::max<double>(sy, y0);
        for (int sx = static_cast<int>(x0); sx < sw && sx < x1; ++sx) {
          const double w = wy * (std::min<double>(sx + 1, x1) - std::max<double>(sx, x0));
          const std::uint8_t* p = &source.Data[(static_cast<size_t>(sy) * sw + sx) * 4];
          for (int c = 0; c < 3; ++c) sum[c] += w * p[c];
          area += w;
        }
      }
      std::uint8_t* q = &result.Data[(static_cast<size_t>(y) * width + x) * 4];
      for (int c = 0; c < 3; ++c) q[c] = static_cast<std::uint8_t>(std::lround(area > 0 ? sum[c] / area : 0));
      q[3] = 0;
    }
  }
  return result;
}

}  // namespace ui
