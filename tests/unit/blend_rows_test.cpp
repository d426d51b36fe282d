// The blit's row kernels: every set this machine runs against the one-pixel
// formulas, and the software blit's rows over them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "canvas/blit.h"
#include "canvas/canvas_store.h"
#include "canvas/drawing_pass.h"
#include "canvas/pixels.h"
#include "display/screen.h"
#include "display/window.h"
#include "headless_fixture.h"
#include "platform/headless/headless.h"
#include "software/back_buffer.h"
#include "software/blend_rows.h"
#include "tests/unit/canvas_test_support.h"

namespace vivuvev {
namespace {

std::vector<const BlendKernels*> KernelSets() {
  const BlendKernels* sets[MaxBlendKernelSets];
  return std::vector<const BlendKernels*>(sets, sets + AvailableBlendKernels(sets));
}

void RunRow(const BlendKernels& set, uint32_t* screen, const uint32_t* canvas, size_t count,
            uint32_t intensity) {
  set.row32(screen, canvas, static_cast<int32_t>(count), intensity);
}
void RunRow(const BlendKernels& set, uint16_t* screen, const uint16_t* canvas, size_t count,
            uint32_t intensity) {
  set.row16(screen, canvas, static_cast<int32_t>(count), intensity);
}
uint32_t OnePixel(uint32_t screen, uint32_t canvas, uint32_t intensity) {
  return BlendPixel32(screen, canvas, intensity);
}
uint16_t OnePixel(uint16_t screen, uint16_t canvas, uint32_t intensity) {
  return BlendPixel16(screen, canvas, intensity);
}

uint32_t Draw(std::mt19937& random) { return static_cast<uint32_t>(random()); }

// Canvas words in runs of one kind, so that whole vector groups come out
// transparent, opaque, mixed, or with alphas other than 0 and 255 (32-bit).
template <class T>
std::vector<T> CanvasRow(std::mt19937& random, size_t count) {
  constexpr uint32_t opaque = sizeof(T) == 4 ? 0xFF000000u : 0x8000u;
  constexpr uint32_t colour = sizeof(T) == 4 ? 0xFFFFFFu : 0x7FFFu;
  std::vector<T> row;
  while (row.size() < count) {
    const uint32_t kind = Draw(random) % 4, length = 1 + Draw(random) % 40;
    for (uint32_t i = 0; i < length; ++i) {
      const uint32_t alpha = Draw(random);
      const uint32_t alphaBits[] = {0u, opaque, (alpha & 1u) * opaque, alpha & opaque};
      row.push_back(static_cast<T>(alphaBits[kind] | (Draw(random) & colour)));
    }
  }
  row.resize(count);
  return row;
}

// A row copied offset pixels past a 64-byte boundary, between guard words.
template <class T>
struct PlacedRow {
  static constexpr size_t PerLine = 64 / sizeof(T);
  static constexpr T Guard = static_cast<T>(0xA5C3E1F7u);

  PlacedRow(const std::vector<T>& row, size_t offset)
      : storage(row.size() + offset + 3 * PerLine, Guard) {
    const auto address = reinterpret_cast<uintptr_t>(storage.data());
    start = (64 - address % 64) % 64 / sizeof(T) + PerLine + offset;
    std::copy(row.begin(), row.end(), storage.begin() + static_cast<ptrdiff_t>(start));
  }
  T* data() { return storage.data() + start; }
  bool GuardsKept(size_t count) const {
    for (size_t i = 0; i < storage.size(); ++i) {
      if ((i < start || i >= start + count) && storage[i] != Guard) return false;
    }
    return true;
  }

  std::vector<T> storage;
  size_t start = 0;
};

// One set on one pair of rows placed at the given offsets, pixel by pixel
// against the one-pixel formula, and nothing written outside the row.
template <class T>
void ExpectMatchesOnePixel(const BlendKernels& set, const std::vector<T>& screen,
                           const std::vector<T>& canvas, const size_t offsets[2],
                           uint32_t intensity) {
  PlacedRow<T> placedScreen(screen, offsets[0]);
  PlacedRow<T> placedCanvas(canvas, offsets[1]);
  RunRow(set, placedScreen.data(), placedCanvas.data(), screen.size(), intensity);
  for (size_t i = 0; i < screen.size(); ++i) {
    ASSERT_EQ(placedScreen.data()[i], OnePixel(screen[i], canvas[i], intensity))
        << set.name << ": pixel " << i << " of " << screen.size() << ", canvas " << std::hex
        << canvas[i] << ", screen " << screen[i] << std::dec << ", intensity " << intensity
        << ", offsets " << offsets[0] << "/" << offsets[1];
  }
  ASSERT_TRUE(placedScreen.GuardsKept(screen.size())) << set.name << ", " << screen.size();
}

// Every set on the same rows at every intensity.
template <class T>
void ExpectEveryIntensity(const std::vector<T>& screen, const std::vector<T>& canvas) {
  std::vector<T> expected(screen.size()), result;
  for (uint32_t k = 0; k < 256; ++k) {
    for (size_t i = 0; i < screen.size(); ++i) expected[i] = OnePixel(screen[i], canvas[i], k);
    for (const BlendKernels* set : KernelSets()) {
      result = screen;
      RunRow(*set, result.data(), canvas.data(), result.size(), k);
      ASSERT_EQ(result, expected) << set->name << ", intensity " << k;
    }
  }
}

constexpr uint32_t SampleIntensities[] = {0, 1, 2, 30, 127, 128, 200, 254, 255};

TEST(BlendArithmetic, SixteenBitLanesGiveTheChannelBlendExactly) {
  // With alpha 255 the channel blend's sum is 255 s; dividing by 65025 with
  // rounding is the same as adding 127 and dividing by 255.
  for (uint32_t s = 0; s <= 255u * 255u; ++s) {
    ASSERT_EQ((255u * s + 32512u) / 65025u, (s + 127u) / 255u) << s;
  }
  // Division by 255 as a multiply-high by 0x8081 and a shift by 7.
  for (uint32_t x = 0; x < 65536u; ++x) ASSERT_EQ(((x * 0x8081u) >> 16) >> 7, x / 255u) << x;
}

TEST(BlendPixel, HandReasonedValues) {
  const uint32_t cases32[][4] = {
      // screen, canvas, intensity, expected
      {0x000000u, 0xFFFFFFFFu, 30, 0x1E1E1Eu},       // 30 x 255 / 255
      {0x1E1E1Eu, 0xFFFFFFFFu, 30, 0x383838u},       // (30 x 255 + 30 x 225) / 255 = 56.47
      {0x00ABCDEFu, 0xFF123456u, 255, 0x123456u},    // full intensity copies
      {0xAB123456u, 0xFF00FF00u, 0, 0x123456u},      // no intensity keeps the colour only
      {0xAB123456u, 0x00FFFFFFu, 255, 0xAB123456u},  // transparent: untouched
      {0x0000FFu, 0xFFFF0000u, 128, 0x80007Fu},      // 128.5 and 127.5 round down
      {0x000000u, 0x80FFFFFFu, 255, 0x808080u},      // alpha 128 at full intensity
  };
  for (const auto& c : cases32) EXPECT_EQ(BlendPixel32(c[0], c[1], c[2]), c[3]) << std::hex << c[1];
  const uint16_t cases16[][4] = {
      {0x0000, 0xFFFF, 30, 0x20E4},   // 30 per channel: 4 of 31, 7 of 63
      {0x1234, 0x7FFF, 255, 0x1234},  // transparent: untouched
      {0x0000, 0xFC00, 255, 0xF800},  // red
      {0xFFFF, 0x801F, 255, 0x001F},  // blue
      {0x07E0, 0x8000, 0, 0x07E0},    // no intensity keeps the word
  };
  for (const auto& c : cases16) EXPECT_EQ(BlendPixel16(c[0], c[1], c[2]), c[3]) << std::hex << c[1];
}

TEST(BlendRows, EveryChannelPairAtEveryIntensity) {
  // 32 bits: red runs through every (canvas, screen) pair; green and blue take
  // other pairs, so that a channel mix-up shows. 16 bits: screen words run
  // through all of R5G6B5 and each canvas channel takes the screen bits of
  // another channel, so every channel meets every pair.
  std::vector<uint32_t> canvas32(65536), screen32(65536);
  std::vector<uint16_t> canvas16(65536), screen16(65536);
  for (uint32_t i = 0; i < 65536u; ++i) {
    const uint32_t c = i >> 8, o = i & 0xFFu;
    canvas32[i] = 0xFF000000u | (c << 16) | (o << 8) | ((c * 7u + o) & 0xFFu);
    screen32[i] = (o << 16) | (c << 8) | ((o * 3u) & 0xFFu);
    screen16[i] = static_cast<uint16_t>(i);
    canvas16[i] = static_cast<uint16_t>(0x8000u | ((i & 0x1Fu) << 10) | ((i >> 11) << 5) |
                                        ((i >> 5) & 0x1Fu));
  }
  ExpectEveryIntensity(screen32, canvas32);
  ExpectEveryIntensity(screen16, canvas16);
}

TEST(BlendRows, RowsOfEveryLengthAndPlacementMatchTheOnePixelFormula) {
  std::mt19937 random(2026);
  const size_t offsets[][2] = {{0, 0}, {1, 1}, {3, 0}, {0, 5}, {7, 2}, {13, 13}, {15, 31}};
  for (const BlendKernels* set : KernelSets()) {
    for (size_t length = 0; length <= 70; ++length) {
      for (const auto& offset : offsets) {
        for (uint32_t intensity : SampleIntensities) {
          std::vector<uint32_t> screen32(length);
          std::vector<uint16_t> screen16(length);
          for (uint32_t& word : screen32) word = Draw(random);
          for (uint16_t& word : screen16) word = static_cast<uint16_t>(Draw(random));
          ExpectMatchesOnePixel(*set, screen32, CanvasRow<uint32_t>(random, length), offset,
                                intensity);
          ExpectMatchesOnePixel(*set, screen16, CanvasRow<uint16_t>(random, length), offset,
                                intensity);
          if (HasFatalFailure()) return;
        }
      }
    }
  }
}

TEST(BlendRows, TheTopByteOfTheScreenStaysZero) {
  std::mt19937 random(30);
  for (const BlendKernels* set : KernelSets()) {
    for (uint32_t intensity : SampleIntensities) {
      std::vector<uint32_t> screen(300);
      for (uint32_t& word : screen) word = Draw(random) & 0xFFFFFFu;
      RunRow(*set, screen.data(), CanvasRow<uint32_t>(random, 300).data(), 300, intensity);
      for (uint32_t word : screen) ASSERT_EQ(word >> 24, 0u) << set->name;
    }
  }
}

TEST(BlendRows, TheActiveSetIsTheWidestAvailable) {
  const std::vector<const BlendKernels*> sets = KernelSets();
  ASSERT_FALSE(sets.empty());
  EXPECT_STREQ(sets.front()->name, "scalar");
  EXPECT_EQ(&ActiveBlendKernels(), sets.back());
}

// The blit over the kernels: rows clipped at the back buffer's edges, and
// canvases of the other pixel class.
class BlitRowsTest : public HeadlessTest {
 protected:
  static void OpenScreen(int32_t width, int32_t height, int32_t bits) {
    SetHeadlessScreen(width, height, bits);
    InitGraphics();
    WindowHandle window = OpenDisplayWindow(0, 0, 0, width, height, "", WindowBorderless);
    ASSERT_EQ(OpenScreenInWindow(window, 0, 0, width, height, 0, 0, 0, 0), 1);
  }
  static void Blend(int32_t x, int32_t y, int32_t intensity) {
    BeginBlendPass();
    BlendCanvasToScreen(0, x, y, intensity);
    EndBlendPass();
  }
  template <class T>
  static T ScreenWord(int32_t x, int32_t y) {
    const BackBuffer& buffer = *SoftwareBackBuffer();
    T word;
    std::memcpy(&word, buffer.pixels + y * buffer.pitch + x * int32_t{sizeof(T)}, sizeof(T));
    return word;
  }
};

TEST_F(BlitRowsTest, ClippedRowsBlendEachPixelUnderTheCanvas) {
  // A 45 x 5 canvas at (x, y) over a 37 x 3 screen.
  const int32_t cases[][3] = {{32, -3, -1}, {32, 5, 1}, {16, -3, -1}, {16, 5, 1}};  // bits, x, y
  for (const auto& c : cases) {
    TearDown();
    SetUp();
    OpenScreen(37, 3, c[0]);
    ClearBackBuffer(PackRGB(40, 90, 200));
    CreateCanvas(0, 45, 5, 1);
    std::mt19937 random(7);
    const uint32_t opaque = c[0] == 32 ? 0xFF000000u : 0x8000u;
    const uint32_t colour = c[0] == 32 ? 0xFFFFFFu : 0x7FFFu;
    for (int32_t i = 0; i < 45 * 5; ++i) {
      const uint32_t alpha = Draw(random) % 3 != 0 ? opaque : 0u;
      SetCanvasPixel(0, i % 45, i / 45, alpha | (Draw(random) & colour));
    }
    const std::vector<uint32_t> stored = CanvasPixels(0);
    const uint32_t cleared32 = ScreenWord<uint32_t>(0, 0);
    const uint16_t cleared16 = ScreenWord<uint16_t>(0, 0);
    Blend(c[1], c[2], 30);
    for (int32_t y = 0; y < 3; ++y) {
      for (int32_t x = 0; x < 37; ++x) {
        const int32_t cx = x - c[1], cy = y - c[2];
        const uint32_t word = cx >= 0 && cx < 45 && cy >= 0 && cy < 5 ? stored[cy * 45 + cx] : 0u;
        if (c[0] == 32) {
          ASSERT_EQ(ScreenWord<uint32_t>(x, y), BlendPixel32(cleared32, word, 30)) << x << "," << y;
        } else {
          ASSERT_EQ(ScreenWord<uint16_t>(x, y),
                    BlendPixel16(cleared16, static_cast<uint16_t>(word), 30))
              << x << "," << y;
        }
      }
    }
  }
}

TEST_F(BlitRowsTest, ACanvasOfTheOtherPixelClassBlendsItsColour) {
  // A canvas made while no screen is open takes the pixel class of the last
  // screen, which need not be the next one's. White at intensity 30 over
  // (200, 100, 50) gives floor((30 x 255 + 225 x old + 127) / 255) a channel;
  // a 16-bit screen holds (200, 100, 50) as (198, 101, 49) and the result as
  // 25 of 31, 29 of 63 and 9 of 31.
  const uint32_t cases[][5] = {
      // canvas bits, screen bits, white, widened background, widened result
      {16, 32, 0xFFFFu, 0xC86432u, 0xCE764Au},
      {32, 16, 0xFFFFFFFFu, 0xC66531u, 0xCE754Au},
  };
  for (const auto& c : cases) {
    TearDown();
    SetUp();
    OpenScreen(8, 2, static_cast<int32_t>(c[0]));
    ReleaseScreen();
    CreateCanvas(0, 8, 2, 1);
    ASSERT_EQ(FindCanvas(0)->store->pixelClass, c[0] == 32 ? PixelClass32 : PixelClass16);
    SetHeadlessScreen(8, 2, static_cast<int32_t>(c[1]));
    ASSERT_EQ(OpenScreenInWindow(ScreenParentWindow(), 0, 0, 8, 2, 0, 0, 0, 0), 1);
    ClearBackBuffer(PackRGB(200, 100, 50));
    SetCanvasPixel(0, 5, 1, c[2]);
    Blend(0, 0, 30);
    EXPECT_EQ(BackBufferRgb(*SoftwareBackBuffer(), 5, 1), c[4]) << c[0];
    EXPECT_EQ(BackBufferRgb(*SoftwareBackBuffer(), 4, 1), c[3]) << c[0];
  }
}

}  // namespace
}  // namespace vivuvev
