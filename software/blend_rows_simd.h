// The blit's vector loops, written once over W, a thin wrapper of one vector
// width's intrinsics (blend_rows_sse2.cpp, blend_rows_avx2.cpp,
// blend_rows_avx512.cpp define it in an unnamed namespace).
//
// Those files are built with their own instruction sets, so this header holds
// templates only and reaches the one-pixel formulas through the scalar file:
// an inline function of a shared header, compiled there, could be the copy
// the linker keeps for baseline code as well.
//
// The arithmetic, in 16-bit lanes. With alpha 255 the channel blend's sum is
// 255 s, s = c k + o (255 - k) <= 255 x 255, and its result
// floor((255 s + 32512) / 65025) = floor((s + 32512/255) / 255) equals
// floor((s + 127) / 255): 32512/255 lies between 127 and 128, so the two
// numerators reach the same multiples of 255. A transparent pixel keeps the
// screen word, which for the colour is what k = 0 gives. Other alphas do not
// occur in what the program draws (the transparent-colour rule stores 0 or
// 255); a group holding one goes to the one-pixel formulas.
//
// Where the set has a multiply-add of byte pairs (AVX2 and AVX-512BW; SSE2
// has none), a 32-bit row takes fewer steps: with c' = c - 128 and
// o' = o - 128 as signed bytes, s = k c' + (255 - k) o' + 255 x 128, and
// k c' + (255 - k) o' lies within -32640 .. 32385, so one multiply-add of
// each (c', o') pair by the unsigned pair (k, 255 - k) gives it without
// saturating; s + 127 is then that sum + 32767, which fits 16 unsigned bits.
//
// At the animation's steady intensity, where the set has a rounding multiply
// of signed 16-bit lanes, floor((a b + 2^14) / 2^15), a channel takes one
// multiply: the numerator c k + o (255 - k) + 127 is 255 o + d k + 127 with
// d = c - o, and 255 o is a whole multiple of 255, so the blend is
// o + floor((d k + 127) / 255), d within -255 .. 255. For that k a multiplier
// m near 2^15 k / 255 gives the same quotient as floor((d m + 2^14) / 2^15)
// for every such d; SteadyMultiplier finds it and the compiler checks it.
//
// W provides: V; Mask (a choice per 32-bit lane); Bytes (per vector); Load,
// Store (any alignment); Splat16, Splat32; And, Or; Add16, Sub16, Mul16 (low
// half); HasHighMultiply16, and where it is true MulHigh16 (unsigned high
// half); HasRoundingMultiply16, and where it is true RoundingMultiply16 (the
// signed rounding multiply above); Shl16<N>, Shr16<N>, Sar16<N>,
// WidenLow8, WidenHigh8 (bytes to 16-bit lanes, as unpacking with
// zero does) and Narrow16 (their inverse, with unsigned saturation);
// EqualBytes (a bit per byte, in order, set where the two are equal);
// TopBit32 -> Mask (the 32-bit lanes whose top bit is set), Select (mask ?
// yes : no); AnyTopBit (any byte's top bit set); where the back buffer is A8B8G8R8
// (BackBufferRgba), SwapRedBlue (bytes 0 and 2 of every 32-bit lane
// exchanged); HasMultiplyAddBytes, and where it is
// true Xor, InterleaveLow8, InterleaveHigh8 (the bytes of two vectors
// alternating, as unpacking does) and MultiplyAddBytes (unsigned bytes of the
// first by signed bytes of the second, adjacent products added into a
// saturated signed 16-bit lane).
#pragma once

#include <cstdint>

#include "canvas/pixels.h"
#include "software/back_buffer.h"
#include "software/blend_kernel_sets.h"

namespace vivuvev {

// The steady blend's rounding multiplier (see above), found and checked
// while compiling: a lambda, so that no code is left for the linker to keep.
constexpr int32_t SteadyMultiplier = [] {
  const auto floorDivide = [](int32_t a, int32_t b) { return a >= 0 ? a / b : -((b - 1 - a) / b); };
  const auto k = static_cast<int32_t>(SteadyIntensity);
  const auto near = static_cast<int32_t>(32768 * SteadyIntensity / 255);
  for (int32_t m = near - 3; m <= near + 3 && m < 32768; ++m) {
    bool same = true;
    for (int32_t d = -255; d <= 255 && same; ++d) {
      same = floorDivide(d * k + 127, 255) == floorDivide(d * m + 16384, 32768);
    }
    if (same) return m;
  }
  return 0;
}();
static_assert(SteadyMultiplier != 0, "the steady blend has a rounding multiplier");

template <class W>
struct BlendLoops {
  using V = typename W::V;
  static constexpr int32_t Pixels32 = W::Bytes / 4;
  static constexpr int32_t Pixels16 = W::Bytes / 2;
  // The bits of EqualBytes that stand for the pixels' alpha bytes (the top
  // byte of each little-endian word). Comparing bytes, not shifted words:
  // a compiler turns (word >> 24) == 0 into an unsigned comparison, which
  // WebAssembly engines build from several instructions.
  static constexpr uint64_t AlphaBytes = 0x8888888888888888u >> (64 - W::Bytes);

  // floor(x / 255) for every x up to 255 x 255 + 127, the most a blend
  // sum reaches.
  //
  // With a high-half multiply: x x 0x8081 / 2^23 exceeds x / 255 by
  // x x 127 / (255 x 2^23) < 0.004, and x / 255 is never closer than 1/255
  // below the next whole number.
  //
  // Without one, in shifts: (x + 1 + x / 256) / 256. Write x = 255 q + m,
  // m < 255; then x / 256 rounds down to q - 1 where m < q and to q
  // otherwise (q <= 255), so x + 1 + x / 256 is 256 q + m or 256 q + m + 1,
  // both within 256 q .. 256 q + 255, and stays below 2^16.
  static V Divide255(V x) {
    if constexpr (W::HasHighMultiply16) {
      return W::template Shr16<7>(W::MulHigh16(x, W::Splat16(0x8081)));
    } else {
      return W::template Shr16<8>(W::Add16(W::Add16(x, W::Splat16(1)), W::template Shr16<8>(x)));
    }
  }

  // The channel blend per 16-bit lane: floor((c k + o rest + 127) / 255),
  // with rest = 255 - k; both products and their sum stay below 2^16.
  static V Mix(V c, V o, V k, V rest) {
    return Divide255(W::Add16(W::Add16(W::Mul16(c, k), W::Mul16(o, rest)), W::Splat16(127)));
  }

  // The channel blend at the steady intensity, per 16-bit lane: o plus the
  // step for the difference c - o (a difference of 0 steps by 0).
  static V SteadyStep(V difference) {
    return W::RoundingMultiply16(difference, W::Splat16(static_cast<uint32_t>(SteadyMultiplier)));
  }
  static V SteadyMix(V c, V o) { return W::Add16(o, SteadyStep(W::Sub16(c, o))); }

  static V Widen5(V v) { return W::Or(W::template Shl16<3>(v), W::template Shr16<2>(v)); }
  static V Widen6(V v) { return W::Or(W::template Shl16<2>(v), W::template Shr16<4>(v)); }
  // (v x levels + 127) / 255: an 8-bit channel narrowed to 31 or 63 levels.
  static V Narrow(V v, uint32_t levels) {
    return Divide255(W::Add16(W::Mul16(v, W::Splat16(levels)), W::Splat16(127)));
  }

  // Blended words with the back buffer's top byte: 0 for X8R8G8B8, 255
  // (alpha) for A8B8G8R8.
  static V ScreenWords(V blended) {
    if constexpr (BackBufferRgba) {
      return W::Or(blended, W::Splat32(0xFF000000u));
    } else {
      return W::And(blended, W::Splat32(0xFFFFFFu));
    }
  }

  // How many of count pixels come before the first vector boundary at or
  // after row. Row32 blends those one by one so that its vector stores never
  // straddle a cache line: with 64-byte vectors every store would, and that
  // slows the widest set by more than half. Row16 does not: its arithmetic,
  // not its stores, sets its pace, and a one-by-one head would cost more.
  static int32_t PixelsBeforeBoundary(const uint32_t* row, int32_t count) {
    const uintptr_t past = reinterpret_cast<uintptr_t>(row) % W::Bytes;
    const auto pixels = static_cast<int32_t>((W::Bytes - past) % W::Bytes / 4);
    return pixels < count ? pixels : count;
  }

  // Blends whole vectors of pixels from i on while every canvas alpha in a
  // vector is 0 or 255; returns where it stopped: before the first vector
  // holding another alpha, or where fewer pixels than a vector are left. No
  // call inside, so that the constants stay in registers. Steady: the
  // intensity is SteadyIntensity and the set has a rounding multiply.
  template <bool Steady>
  static int32_t OpaqueOrClearVectors32(uint32_t* screen, const uint32_t* canvas, int32_t count,
                                        int32_t i, uint32_t intensity) {
    const V k = W::Splat16(intensity);
    const V rest = W::Splat16(255 - intensity);
    const V zero = W::Splat32(0);
    const V allOnes = W::Splat32(0xFFFFFFFFu);
    const V signBits = W::Splat32(0x80808080u);
    const V pairWeights = W::Splat16(intensity | (255 - intensity) << 8);
    const V bias = W::Splat16(32767);
    for (; count - i >= Pixels32; i += Pixels32) {
      V c = W::Load(canvas + i);
      const uint64_t clear = W::EqualBytes(c, zero) & AlphaBytes;
      if (clear == AlphaBytes) continue;  // the screen is neither read nor written
      if ((clear | (W::EqualBytes(c, allOnes) & AlphaBytes)) != AlphaBytes) break;
      const auto opaque = W::TopBit32(c);  // every alpha is 0 or 255 here
      // Every byte blended, the alpha byte too; the select keeps transparent
      // pixels' words whole and ScreenWords sets the opaque ones' top byte.
      if constexpr (BackBufferRgba) c = W::SwapRedBlue(c);
      const V o = W::Load(screen + i);
      V low, high;
      if constexpr (Steady) {
        low = SteadyMix(W::WidenLow8(c), W::WidenLow8(o));
        high = SteadyMix(W::WidenHigh8(c), W::WidenHigh8(o));
      } else if constexpr (W::HasMultiplyAddBytes) {
        const V c1 = W::Xor(c, signBits), o1 = W::Xor(o, signBits);
        low = Divide255(W::Add16(W::MultiplyAddBytes(pairWeights, W::InterleaveLow8(c1, o1)), bias));
        high = Divide255(W::Add16(W::MultiplyAddBytes(pairWeights, W::InterleaveHigh8(c1, o1)), bias));
      } else {
        low = Mix(W::WidenLow8(c), W::WidenLow8(o), k, rest);
        high = Mix(W::WidenHigh8(c), W::WidenHigh8(o), k, rest);
      }
      W::Store(screen + i, W::Select(opaque, ScreenWords(W::Narrow16(low, high)), o));
    }
    return i;
  }

  template <bool Steady>
  static void Row32Vectors(uint32_t* screen, const uint32_t* canvas, int32_t count, uint32_t intensity) {
    int32_t i = PixelsBeforeBoundary(screen, count);
    BlendRow32Scalar(screen, canvas, i, intensity);
    for (;;) {
      i = OpaqueOrClearVectors32<Steady>(screen, canvas, count, i, intensity);
      if (count - i < Pixels32) break;
      BlendRow32Scalar(screen + i, canvas + i, Pixels32, intensity);  // a vector of other alphas
      i += Pixels32;
    }
    BlendRow32Scalar(screen + i, canvas + i, count - i, intensity);
  }

  static void Row32(uint32_t* screen, const uint32_t* canvas, int32_t count, uint32_t intensity) {
    if constexpr (W::HasRoundingMultiply16) {
      if (intensity == SteadyIntensity) return Row32Vectors<true>(screen, canvas, count, intensity);
    }
    Row32Vectors<false>(screen, canvas, count, intensity);
  }

  // Channel-planar: red, green and blue of every pixel each in a vector of
  // 16-bit lanes, blended with k where the canvas pixel is opaque and with 0
  // (which gives the screen word back exactly) where it is transparent.
  template <bool Steady>
  static void Row16Vectors(uint16_t* screen, const uint16_t* canvas, int32_t count, uint32_t intensity) {
    const V k = W::Splat16(intensity);
    const V full = W::Splat16(255);
    const V five = W::Splat16(0x1F);
    const V six = W::Splat16(0x3F);
    int32_t i = 0;
    for (; count - i >= Pixels16; i += Pixels16) {
      const V c = W::Load(canvas + i);
      const V opaque = W::template Sar16<15>(c);
      if (!W::AnyTopBit(opaque)) continue;  // the screen is neither read nor written
      const V o = W::Load(screen + i);
      const V weight = W::And(opaque, k);
      const V rest = W::Sub16(full, weight);
      // Steady, a transparent lane's difference is cleared instead: the
      // rounding multiply of 0 is 0.
      const auto mix = [&](V from, V onto) {
        if constexpr (Steady) {
          return W::Add16(onto, SteadyStep(W::And(W::Sub16(from, onto), opaque)));
        } else {
          return Mix(from, onto, weight, rest);
        }
      };
      const V red = mix(Widen5(W::And(W::template Shr16<10>(c), five)), Widen5(W::template Shr16<11>(o)));
      const V green = mix(Widen5(W::And(W::template Shr16<5>(c), five)),
                          Widen6(W::And(W::template Shr16<5>(o), six)));
      const V blue = mix(Widen5(W::And(c, five)), Widen5(W::And(o, five)));
      W::Store(screen + i, W::Or(W::Or(W::template Shl16<11>(Narrow(red, 31)),
                                       W::template Shl16<5>(Narrow(green, 63))),
                                 Narrow(blue, 31)));
    }
    BlendRow16Scalar(screen + i, canvas + i, count - i, intensity);
  }

  static void Row16(uint16_t* screen, const uint16_t* canvas, int32_t count, uint32_t intensity) {
    if constexpr (W::HasRoundingMultiply16) {
      if (intensity == SteadyIntensity) return Row16Vectors<true>(screen, canvas, count, intensity);
    }
    Row16Vectors<false>(screen, canvas, count, intensity);
  }
};

}  // namespace vivuvev
