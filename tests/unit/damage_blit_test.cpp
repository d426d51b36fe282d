// The blit that lays only what changed lately: how the blend settles, and the
// screen and the presented picture against a model that blends every pixel
// of every blit.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "canvas/blit.h"
#include "canvas/canvas_store.h"
#include "canvas/pixels.h"
#include "display/screen.h"
#include "display/window.h"
#include "headless_fixture.h"
#include "software/back_buffer.h"
#include "tests/unit/canvas_test_support.h"

namespace vivuvev {
namespace {

// Blits of an unchanging canvas value until a channel stops moving, the most
// over every canvas value and every start. step(canvas, value) is one blit.
template <typename Step>
uint32_t MostBlitsToSettle(uint32_t canvasValues, uint32_t startValues, Step step) {
  uint32_t most = 0;
  for (uint32_t canvas = 0; canvas < canvasValues; ++canvas) {
    for (uint32_t start = 0; start < startValues; ++start) {
      uint32_t value = start, blits = 0;
      for (uint32_t next = step(canvas, value); next != value; next = step(canvas, value)) {
        value = next;
        // A value that cycled instead of settling would never stop.
        if (++blits > 255) {
          ADD_FAILURE() << "no end from canvas " << canvas << " start " << start;
          return blits;
        }
      }
      most = std::max(most, blits);
    }
  }
  return most;
}

TEST(SettleBlits, EightBitChannelsSettleWithinThirtyTwoBlits) {
  const uint32_t most = MostBlitsToSettle(256, 256, [](uint32_t canvas, uint32_t value) {
    return BlendRgb(canvas, value, 255, SteadyIntensity) & 0xFFu;
  });
  EXPECT_EQ(most, 32u);
  EXPECT_EQ(SettleBlits32, most);
}

TEST(SettleBlits, FiveSixFiveWordsSettleWithinTheirOwnBound) {
  // Each channel of the word on its own, under every 8-bit canvas value
  // (a class-2 canvas widens to some of them; a class-3 canvas made before
  // a 16-bit screen opened gives any of them).
  uint32_t most = 0;
  struct Channel {
    uint32_t shift;     // of the channel in the R5G6B5 word
    uint32_t bits;      // its width
    uint32_t rgbShift;  // of the same channel in 0x00RRGGBB
  };
  for (const Channel c : {Channel{11, 5, 16}, Channel{5, 6, 8}, Channel{0, 5, 0}}) {
    const uint32_t mask = (1u << c.bits) - 1;
    most = std::max(most, MostBlitsToSettle(256, mask + 1, [&](uint32_t canvas, uint32_t value) {
      const uint32_t word = Narrow565(BlendRgb(canvas << c.rgbShift, Widen565(value << c.shift),
                                               255, SteadyIntensity));
      return (word >> c.shift) & mask;
    }));
  }
  EXPECT_EQ(SettleBlits565, most);
  // Fewer levels settle sooner than 8-bit channels do.
  EXPECT_LT(SettleBlits565, SettleBlits32);
}

// What a test does between blits.
enum class Act { Ring, Blit, Clear, RawPixel, Transparent, OtherCanvas };

struct Step {
  Act act;
  int32_t a, b, c;  // ring: x, y, radius; blit: x, y, intensity; pixel: x, y, word; else colour
  uint32_t colour;  // ring colour
  int32_t times;    // blits
};

struct Scenario {
  const char* name;
  std::vector<Step> steps;
};

Step Ring(int32_t x, int32_t y, int32_t radius, uint32_t colour) { return {Act::Ring, x, y, radius, colour, 1}; }
Step Blits(int32_t times, int32_t x = 0, int32_t y = 0, int32_t intensity = 30) {
  return {Act::Blit, x, y, intensity, 0, times};
}

// Longer than either bound: the screen has settled under the canvas.
constexpr int32_t Settled = 40;

std::vector<Scenario> Scenarios() {
  return {
      {"rings_settle_then_more_rings",
       {Ring(40, 20, 15, 0xFF8040), Blits(Settled), Ring(120, 30, 25, 0x20C0FF), Blits(Settled),
        Ring(40, 20, 15, 0x000000), Blits(5)}},
      {"another_place_after_settling",
       {Ring(40, 20, 15, 0xFF8040), Blits(Settled), Blits(3, 3, 2), Blits(3, -70, -5), Blits(3)}},
      {"another_intensity_after_settling",
       // At 10 the blend stops further from the canvas colour than at 30.
       {Ring(40, 20, 15, 0xFF8040), Blits(Settled), Ring(40, 20, 15, 0x40FF80),
        Blits(Settled, 0, 0, 10), Blits(3), Blits(1, 0, 0, 286)}},
      {"cleared_after_settling",
       {Ring(40, 20, 15, 0xFF8040), Blits(Settled), {Act::Clear, 0, 0, 0, 0x302010, 0}, Blits(3)}},
      {"raw_write_after_settling",
       {Ring(40, 20, 15, 0xFF8040), Blits(Settled), {Act::RawPixel, 5, 5, 0, 0, 0}, Blits(3)}},
      {"transparent_colour_after_settling",
       {Ring(40, 20, 15, 0xFF8040), Blits(Settled), {Act::Transparent, 0, 0, 0, 0xFFFFFF, 0},
        Blits(3)}},
      {"two_canvases_in_turn",
       {Ring(40, 20, 15, 0xFF8040), Blits(Settled), {Act::OtherCanvas, 0, 0, 0, 0, 0}, Blits(3)}},
  };
}

class DamageBlit : public HeadlessTest,
                   public ::testing::WithParamInterface<std::tuple<Scenario, int32_t>> {
 protected:
  static constexpr int32_t Width = 150, Height = 44;

  void Open(int32_t bits) {
    SetHeadlessScreen(Width, Height, bits);
    InitGraphics();
    WindowHandle window = OpenDisplayWindow(0, 0, 0, Width, Height, "", WindowBorderless);
    ASSERT_EQ(OpenScreenInWindow(window, 0, 0, Width, Height, 0, 0, 0, 0), 1);
    bits_ = bits;
    model_ = Words();
  }

  // The back buffer's words, row by row.
  std::vector<uint32_t> Words() const {
    const BackBuffer& buffer = *SoftwareBackBuffer();
    return Words(buffer.pixels, buffer.pitch);
  }
  std::vector<uint32_t> Words(const uint8_t* rows, int32_t pitch) const {
    std::vector<uint32_t> words;
    for (int32_t y = 0; y < Height; ++y) {
      for (int32_t x = 0; x < Width; ++x) {
        uint32_t word = 0;
        std::memcpy(&word, rows + y * pitch + x * (bits_ / 8), static_cast<size_t>(bits_ / 8));
        words.push_back(word);
      }
    }
    return words;
  }

  // Every canvas pixel of canvas number over the model, the plain way.
  void BlendModel(int32_t number, int32_t x, int32_t y, int32_t intensity) {
    const std::vector<uint32_t> canvas = CanvasPixels(number);
    const auto k = static_cast<uint32_t>(intensity) & 0xFFu;
    for (int32_t j = 0; j < Height; ++j) {
      for (int32_t i = 0; i < Width; ++i) {
        const int32_t ci = i - x, cj = j - y;
        if (ci < 0 || cj < 0 || ci >= Width || cj >= Height) continue;
        uint32_t& word = model_[static_cast<size_t>(j) * Width + i];
        const uint32_t c = canvas[static_cast<size_t>(cj) * Width + ci];
        word = bits_ == 32 ? BlendPixel32(word, c, k)
                           : BlendPixel16(static_cast<uint16_t>(word), static_cast<uint16_t>(c), k);
      }
    }
  }

  int32_t bits_ = 32;
  std::vector<uint32_t> model_;
};

TEST_P(DamageBlit, EveryFrameMatchesBlendingEveryPixel) {
  const Scenario& scenario = std::get<0>(GetParam());
  Open(std::get<1>(GetParam()));
  KeepHeadlessShownImage(true);
  ASSERT_NE(CreateCanvas(0, Width, Height, 1), nullptr);
  int32_t number = 0;
  int32_t frame = 0;
  for (const Step& step : scenario.steps) {
    switch (step.act) {
      case Act::Ring:
        DrawRing(number, 1, step.colour, step.a, step.b, step.c);
        break;
      case Act::Clear:
        ClearBackBuffer(step.colour);
        model_ = Words();
        break;
      case Act::RawPixel:
        SetCanvasPixel(number, step.a, step.b, bits_ == 32 ? 0xFFFF0000u : 0xFC00u);
        break;
      case Act::Transparent:
        ApplyTransparentColour(FindCanvas(number)->store, step.colour);
        break;
      case Act::OtherCanvas:
        ASSERT_NE(CreateCanvas(1, Width, Height, 1), nullptr);
        DrawRing(1, 1, 0x00FF00, 60, 20, 10);
        for (int32_t n = 0; n < 3; ++n) {
          BeginBlendPass();
          BlendCanvasToScreen(1, 0, 0, 30);
          BlendCanvasToScreen(0, 0, 0, 30);
          EndBlendPass();
          PresentFrame();
          BlendModel(1, 0, 0, 30);
          BlendModel(0, 0, 0, 30);
          ASSERT_EQ(Words(), model_) << "frame " << ++frame;
        }
        break;
      case Act::Blit:
        for (int32_t n = 0; n < step.times; ++n) {
          BeginBlendPass();
          BlendCanvasToScreen(number, step.a, step.b, step.c);
          EndBlendPass();
          PresentFrame();
          BlendModel(number, step.a, step.b, step.c);
          ++frame;
          ASSERT_EQ(Words(), model_) << "frame " << frame;
          const BackBuffer& buffer = *SoftwareBackBuffer();
          ASSERT_EQ(Words(HeadlessShownImage().data(), buffer.pitch), model_)
              << "presented, frame " << frame;
        }
        break;
    }
  }
}

std::string ScenarioName(const ::testing::TestParamInfo<std::tuple<Scenario, int32_t>>& info) {
  return std::string(std::get<0>(info.param).name) + "_" + std::to_string(std::get<1>(info.param));
}

INSTANTIATE_TEST_SUITE_P(Scenarios, DamageBlit,
                         ::testing::Combine(::testing::ValuesIn(Scenarios()), ::testing::Values(32, 16)),
                         ScenarioName);

}  // namespace
}  // namespace vivuvev
