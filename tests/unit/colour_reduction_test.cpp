#include "video/colour_reduction.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

namespace vivuvev {
namespace {

struct Image {
  int32_t width, height, pitch;
  std::vector<uint8_t> rgb;
  const uint8_t* At(int32_t x, int32_t y) const { return &rgb[static_cast<size_t>(y * pitch + x * 3)]; }
};

struct Reduced {
  std::vector<uint8_t> indices;
  uint32_t palette[256];
};

Reduced Reduce(const Image& image, ColourCells* scratch) {
  Reduced r;
  r.indices.assign(static_cast<size_t>(image.width * image.height), 0);
  ReduceColours(image.rgb.data(), image.width, image.height, image.pitch, r.indices.data(), image.width,
                r.palette, scratch);
  return r;
}

double Distance(const uint8_t* p, uint32_t entry) {
  const double dr = p[0] - static_cast<double>((entry >> 16) & 0xFF);
  const double dg = p[1] - static_cast<double>((entry >> 8) & 0xFF);
  const double db = p[2] - static_cast<double>(entry & 0xFF);
  return std::sqrt(dr * dr + dg * dg + db * db);
}

// Pixels of pseudo-random colours; the rows carry `padding` bytes of 0xEE
// that must not count.
Image Noise(int32_t width, int32_t height, uint32_t seed, int32_t padding) {
  Image image{width, height, width * 3 + padding, {}};
  image.rgb.assign(static_cast<size_t>(image.pitch * height), 0xEE);
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width * 3; ++x) {
      seed = seed * 1664525u + 1013904223u;
      image.rgb[static_cast<size_t>(y * image.pitch + x)] = static_cast<uint8_t>(seed >> 24);
    }
  }
  return image;
}

TEST(ReduceColours, KeepsUpTo256ColoursInSeparateCellsExactly) {
  // 250 colours, each alone in its 5-bit cell: every cell becomes a box of
  // its own, whose mean is the colour itself.
  Image image{50, 5, 150, {}};
  for (int i = 0; i < 250; ++i) {
    image.rgb.push_back(static_cast<uint8_t>((i % 7) * 37 + 3));
    image.rgb.push_back(static_cast<uint8_t>((i / 7 % 6) * 45 + 5));
    image.rgb.push_back(static_cast<uint8_t>((i / 42) * 41 + 7));
  }
  ColourCells scratch;
  const Reduced r = Reduce(image, &scratch);
  for (int32_t y = 0; y < image.height; ++y) {
    for (int32_t x = 0; x < image.width; ++x) {
      const uint8_t* p = image.At(x, y);
      EXPECT_EQ(r.palette[r.indices[static_cast<size_t>(y * image.width + x)]],
                0xFF000000u | uint32_t{p[0]} << 16 | uint32_t{p[1]} << 8 | p[2])
          << x << "," << y;
    }
  }
}

TEST(ReduceColours, EachPixelLiesWithinTheCellBoundOfItsNearestEntry) {
  // The pixel and its cell's mean lie in one cell of side 7, so the entry
  // nearest to the mean is at most 2 * sqrt(3) * 7 further from the pixel
  // than the pixel's own nearest entry.
  const double bound = 2 * std::sqrt(3.0) * 7;
  const Image image = Noise(96, 64, 12345, 5);
  ColourCells scratch;
  const Reduced r = Reduce(image, &scratch);
  for (int i = 0; i < 256; ++i) EXPECT_EQ(r.palette[i] >> 24, 0xFFu) << i;
  for (int32_t y = 0; y < image.height; ++y) {
    for (int32_t x = 0; x < image.width; ++x) {
      const uint8_t* p = image.At(x, y);
      double nearest = 1e9;
      for (uint32_t entry : r.palette) nearest = std::min(nearest, Distance(p, entry));
      const double given = Distance(p, r.palette[r.indices[static_cast<size_t>(y * image.width + x)]]);
      ASSERT_LE(given, nearest + bound) << x << "," << y;
    }
  }
}

TEST(ReduceColours, ScratchFromAnEarlierFrameChangesNothing) {
  const Image first = Noise(40, 30, 1, 0), second = Noise(40, 30, 2, 3);
  ColourCells used, fresh;
  Reduce(first, &used);
  const Reduced again = Reduce(second, &used);
  const Reduced alone = Reduce(second, &fresh);
  EXPECT_EQ(again.indices, alone.indices);
  for (int i = 0; i < 256; ++i) EXPECT_EQ(again.palette[i], alone.palette[i]) << i;
}

}  // namespace
}  // namespace vivuvev
