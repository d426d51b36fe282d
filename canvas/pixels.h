// Pixel rules of the canvas: colour value to pixel class, the transparent-colour
// rule, and the blend of the translucent blit.
//
// A colour value holds red in bits 0-7, green in 8-15 and blue in 16-23.
// Pixel class 3 is the 32-bit word A8R8G8B8, class 2 the 16-bit word A1R5G5B5.
#pragma once

#include <cstdint>

namespace vivuvev {

constexpr int32_t PixelClass32 = 3;
constexpr int32_t PixelClass16 = 2;

// The colour a store holds before it is given its transparent colour.
constexpr uint32_t NoTransparentColour = 0xFFFFFFFFu;

// Colour bits of a colour value in class 3: red and blue swap places.
constexpr uint32_t ColourToClass3(uint32_t colour) {
  return ((colour >> 16) | (colour & 0xFF00u) | (colour << 16)) & 0xFFFFFFu;
}

// Colour bits in class 2: the top five bits of each channel. The unset colour
// becomes 0xFFFF, which no 15-bit colour equals.
constexpr uint32_t ColourToClass2(uint32_t colour) {
  if (colour == NoTransparentColour) return 0xFFFFu;
  return (((colour & 0xFFu) >> 3) << 10) | ((((colour >> 8) & 0xFFu) >> 3) << 5) |
         (((colour >> 16) & 0xFFu) >> 3);
}

constexpr uint32_t ColourToPixelClass(uint32_t colour, int32_t pixelClass) {
  return pixelClass == PixelClass32 ? ColourToClass3(colour) : ColourToClass2(colour);
}

// A pixel stored under the transparent-colour rule with key K (already in the
// pixel class): its colour bits alone when they equal K, else with full alpha.
constexpr uint32_t ApplyTransparentRule32(uint32_t pixel, uint32_t key) {
  const uint32_t bits = pixel & 0xFFFFFFu;
  return bits == key ? bits : bits | 0xFF000000u;
}
constexpr uint16_t ApplyTransparentRule16(uint16_t pixel, uint32_t key) {
  const uint32_t bits = pixel & 0x7FFFu;
  return static_cast<uint16_t>(bits == key ? bits : bits | 0x8000u);
}

// One channel of the blit: new = canvas x a + old x (1 - a), where
// a = alpha/255 x intensity/255, rounded to the nearest 8-bit value.
constexpr uint8_t BlendChannel(uint32_t canvas, uint32_t old, uint32_t alpha, uint32_t intensity) {
  const uint32_t weight = alpha * intensity;  // 0 .. 255 x 255
  const uint32_t sum = canvas * weight + old * (255u * 255u - weight);
  return static_cast<uint8_t>((sum + (255u * 255u) / 2) / (255u * 255u));
}

// Channel widening and narrowing between 5 or 6 bits and 8 bits.
constexpr uint32_t Widen5(uint32_t v) { return (v << 3) | (v >> 2); }
constexpr uint32_t Widen6(uint32_t v) { return (v << 2) | (v >> 4); }
constexpr uint32_t Narrow5(uint32_t v) { return (v * 31u + 127u) / 255u; }
constexpr uint32_t Narrow6(uint32_t v) { return (v * 63u + 127u) / 255u; }

// Colours as 0x00RRGGBB: a class-2 pixel's colour bits and an R5G6B5 word
// widened, and such a colour narrowed to R5G6B5.
constexpr uint32_t WidenClass2(uint32_t pixel) {
  return (Widen5((pixel >> 10) & 0x1Fu) << 16) | (Widen5((pixel >> 5) & 0x1Fu) << 8) |
         Widen5(pixel & 0x1Fu);
}
constexpr uint32_t Widen565(uint32_t pixel) {
  return (Widen5((pixel >> 11) & 0x1Fu) << 16) | (Widen6((pixel >> 5) & 0x3Fu) << 8) |
         Widen5(pixel & 0x1Fu);
}
constexpr uint16_t Narrow565(uint32_t rgb) {
  return static_cast<uint16_t>((Narrow5((rgb >> 16) & 0xFFu) << 11) |
                               (Narrow6((rgb >> 8) & 0xFFu) << 5) | Narrow5(rgb & 0xFFu));
}

// BlendChannel on each channel of two 0x00RRGGBB colours.
constexpr uint32_t BlendRgb(uint32_t canvas, uint32_t old, uint32_t alpha, uint32_t intensity) {
  uint32_t out = 0;
  for (unsigned shift = 0; shift < 24; shift += 8) {
    out |= uint32_t{BlendChannel((canvas >> shift) & 0xFFu, (old >> shift) & 0xFFu, alpha,
                                 intensity)}
           << shift;
  }
  return out;
}

// One back-buffer pixel after the blit of the canvas pixel over it, intensity
// 0..255. A transparent canvas pixel (alpha 0) leaves the word exactly as it
// was; any other gives the blended colour, with the X8R8G8B8 top byte 0.
constexpr uint32_t BlendPixel32(uint32_t screen, uint32_t canvas, uint32_t intensity) {
  const uint32_t alpha = canvas >> 24;
  if (alpha == 0) return screen;
  return BlendRgb(canvas & 0xFFFFFFu, screen & 0xFFFFFFu, alpha, intensity);
}

// The same for a class-2 canvas pixel over an R5G6B5 word: its alpha bit
// stands for alpha 255 when set and 0 when clear.
constexpr uint16_t BlendPixel16(uint16_t screen, uint16_t canvas, uint32_t intensity) {
  if ((canvas & 0x8000u) == 0) return screen;
  return Narrow565(BlendRgb(WidenClass2(canvas), Widen565(screen), 255u, intensity));
}

// How the animation's blit settles. At intensity 30, a screen channel under
// an opaque canvas pixel that keeps its colour moves towards it until the
// rounding of BlendChannel leaves it where it is, and from then on every blit
// gives the same value; a transparent canvas pixel never moves it at all.
// Worked out over every canvas value and every starting value (the blit
// tests do it again): an 8-bit channel stops within 32 blits; the channels of
// an R5G6B5 word, widened, blended and narrowed again, within 16 (5 bits) and
// 23 (6 bits) blits, whatever 8-bit canvas colour lies over them. A screen
// pixel whose canvas pixel has not changed for that many blits, and which
// nothing else has written since, is left exactly as it is by another blit.
constexpr uint32_t SteadyIntensity = 30;
constexpr uint32_t SettleBlits32 = 32;
constexpr uint32_t SettleBlits565 = 23;

}  // namespace vivuvev
