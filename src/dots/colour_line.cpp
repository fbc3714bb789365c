// Colour calculation over a line: the ratio blend or the saturated sum of two images and
// the shadow's halving, four dots an instruction with SSE2, one at a time without it and
// at the end of a line.
#include "dots/colour_line.h"

#include <cstring>

#include "dots/colour_maths.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace dots {
namespace {

uint32_t CalculateDot(const CalculatedDots& d, bool add, int x) {
  uint32_t colour = d.top[x];
  if (d.calculated[x]) {
    colour = add ? AddSaturated(colour, d.below[x]) : Blend(colour, d.below[x], d.ratio[x]);
  }
  return d.shade && d.shade[x] ? Halve(colour) : colour;
}

#if defined(__SSE2__)
// Four bytes at p, each spread over the four bytes of its dot's 32 bits.
inline __m128i Spread4(const uint8_t* p) {
  uint32_t four;
  std::memcpy(&four, p, sizeof(four));
  const __m128i bytes = _mm_cvtsi32_si128(static_cast<int>(four));
  const __m128i words = _mm_unpacklo_epi8(bytes, bytes);
  return _mm_unpacklo_epi16(words, words);
}

// Dots [x, x + 4) of a blend: each gun (top * (31 - v) + below * (v + 1)) >> 5, in 16-bit
// lanes (at most 255 * 32), two dots a register.
inline __m128i Blend4(__m128i top, __m128i below, const uint8_t* ratio) {
  const __m128i zero = _mm_setzero_si128();
  uint32_t four;
  std::memcpy(&four, ratio, sizeof(four));
  const __m128i words = _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(four)), zero);
  const __m128i pairs = _mm_unpacklo_epi16(words, words);
  const __m128i v[2] = {_mm_unpacklo_epi32(pairs, pairs), _mm_unpackhi_epi32(pairs, pairs)};
  const __m128i t[2] = {_mm_unpacklo_epi8(top, zero), _mm_unpackhi_epi8(top, zero)};
  const __m128i b[2] = {_mm_unpacklo_epi8(below, zero), _mm_unpackhi_epi8(below, zero)};
  __m128i mixed[2];
  for (int half = 0; half < 2; ++half) {
    const __m128i topWeight = _mm_sub_epi16(_mm_set1_epi16(31), v[half]);
    const __m128i belowWeight = _mm_add_epi16(v[half], _mm_set1_epi16(1));
    mixed[half] = _mm_srli_epi16(
        _mm_add_epi16(_mm_mullo_epi16(t[half], topWeight), _mm_mullo_epi16(b[half], belowWeight)),
        5);
  }
  return _mm_packus_epi16(mixed[0], mixed[1]);
}

inline __m128i Select(__m128i mask, __m128i yes, __m128i no) {
  return _mm_or_si128(_mm_and_si128(mask, yes), _mm_andnot_si128(mask, no));
}
#endif

}  // namespace

void CalculateLine(const CalculatedDots& dots, bool add, int width, uint32_t* out) {
  // A copy: stores into out cannot change it.
  const CalculatedDots d = dots;
  int x = 0;
#if defined(__SSE2__)
  const __m128i alpha = _mm_set1_epi32(static_cast<int>(0xFF000000u));
  const __m128i halfGuns = _mm_set1_epi32(0x7F7F7F);
  for (; x + 4 <= width; x += 4) {
    const __m128i top = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d.top + x));
    __m128i colour = top;
    const __m128i calculated = Spread4(d.calculated + x);
    if (_mm_movemask_epi8(calculated) != 0) {
      const __m128i below = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d.below + x));
      const __m128i mixed = add ? _mm_adds_epu8(top, below) : Blend4(top, below, d.ratio + x);
      colour = Select(calculated, _mm_or_si128(mixed, alpha), top);
    }
    if (d.shade) {
      const __m128i halved =
          _mm_or_si128(_mm_and_si128(_mm_srli_epi32(colour, 1), halfGuns), alpha);
      colour = Select(Spread4(d.shade + x), halved, colour);
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), colour);
  }
#endif
  for (; x < width; ++x) out[x] = CalculateDot(d, add, x);
}

}  // namespace dots
