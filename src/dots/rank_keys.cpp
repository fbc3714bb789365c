// Priority ranking by packed keys: sixteen layer dots' keys built and compared with SSE2
// instructions, one dot at a time on processors without it and at the end of a line.
#include "dots/rank_keys.h"

#include <cstddef>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace dots {
namespace {

template <bool kSprite, bool kSecond>
void RankDot(const LayerDot& d, uint32_t tie, uint8_t& best, uint8_t* second, uint32_t& flags,
             uint32_t& keysSeen) {
  const uint8_t key = RankKey(d, tie, kSprite);
  keysSeen |= key;
  if constexpr (kSecond) {
    const uint8_t lower = key < best ? key : best;
    *second = lower > *second ? lower : *second;
  }
  best = key > best ? key : best;
  if constexpr (kSprite) flags |= d.flags;
}

#if defined(__SSE2__)
// The 32 bits of a layer dot after its texel: priority, flags, code, from the low byte up
// (x86 is little-endian).
static_assert(sizeof(LayerDot) == 8 && offsetof(LayerDot, priority) == 4 &&
              offsetof(LayerDot, flags) == 5);

// The priorities of dots [0, 4) of line as 32-bit lanes (0 for a sprite dot that only
// casts shadow); flags gathers the sprite dots' upper halves (flags in bits 8-15).
template <bool kSprite>
[[gnu::always_inline]] inline __m128i Priorities4(const LayerDot* line, __m128i& flags) {
  const __m128 a = _mm_castsi128_ps(_mm_loadu_si128(reinterpret_cast<const __m128i*>(line)));
  const __m128 b = _mm_castsi128_ps(_mm_loadu_si128(reinterpret_cast<const __m128i*>(line + 2)));
  // Each dot's upper half, four dots in order.
  const __m128i upper = _mm_castps_si128(_mm_shuffle_ps(a, b, _MM_SHUFFLE(3, 1, 3, 1)));
  const __m128i priority = _mm_and_si128(upper, _mm_set1_epi32(0xFF));
  if constexpr (!kSprite) return priority;
  flags = _mm_or_si128(flags, upper);
  const __m128i shadeBelow = _mm_set1_epi32(kDotShadeBelow << 8);
  const __m128i castOnly = _mm_cmpeq_epi32(_mm_and_si128(upper, shadeBelow), shadeBelow);
  return _mm_andnot_si128(castOnly, priority);
}

// The keys of dots [0, 16) of line.
template <bool kSprite>
[[gnu::always_inline]] inline __m128i Keys16(const LayerDot* line, __m128i tie, __m128i& flags) {
  // Priorities are 3-bit numbers: the packs neither saturate nor mix them.
  const __m128i low =
      _mm_packs_epi32(Priorities4<kSprite>(line, flags), Priorities4<kSprite>(line + 4, flags));
  const __m128i high = _mm_packs_epi32(Priorities4<kSprite>(line + 8, flags),
                                       Priorities4<kSprite>(line + 12, flags));
  return _mm_packus_epi16(_mm_or_si128(_mm_slli_epi16(low, 3), tie),
                          _mm_or_si128(_mm_slli_epi16(high, 3), tie));
}
#endif

template <bool kSprite, bool kSecond>
LayerRank Rank(const LayerDot* line, uint32_t tie, int width, uint8_t* best, uint8_t* second) {
  int x = 0;
  uint32_t flags = 0, keysSeen = 0;
#if defined(__SSE2__)
  const __m128i ties = _mm_set1_epi16(static_cast<int16_t>(tie));
  __m128i flagsSeen = _mm_setzero_si128(), keysOr = _mm_setzero_si128();
  for (; x + 16 <= width; x += 16) {
    const __m128i keys = Keys16<kSprite>(line + x, ties, flagsSeen);
    keysOr = _mm_or_si128(keysOr, keys);
    __m128i* const top = reinterpret_cast<__m128i*>(best + x);
    const __m128i now = _mm_loadu_si128(top);
    if constexpr (kSecond) {
      __m128i* const next = reinterpret_cast<__m128i*>(second + x);
      const __m128i lower = _mm_min_epu8(keys, now);
      _mm_storeu_si128(next, _mm_max_epu8(_mm_loadu_si128(next), lower));
    }
    _mm_storeu_si128(top, _mm_max_epu8(now, keys));
  }
  alignas(16) uint32_t lanes[4];
  if constexpr (kSprite) {
    _mm_store_si128(reinterpret_cast<__m128i*>(lanes), flagsSeen);
    flags = (lanes[0] | lanes[1] | lanes[2] | lanes[3]) >> 8;
  }
  _mm_store_si128(reinterpret_cast<__m128i*>(lanes), keysOr);
  keysSeen = lanes[0] | lanes[1] | lanes[2] | lanes[3];
  keysSeen |= keysSeen >> 16;
  keysSeen |= keysSeen >> 8;
#endif
  for (; x < width; ++x) {
    RankDot<kSprite, kSecond>(line[x], tie, best[x], kSecond ? second + x : nullptr, flags,
                              keysSeen);
  }
  // A key of 8 or more is a priority above 0.
  return LayerRank{static_cast<uint8_t>(flags), (keysSeen & 0xF8) != 0};
}

}  // namespace

void KeepTies(uint8_t* keys, int width) {
  int x = 0;
#if defined(__SSE2__)
  const __m128i ties = _mm_set1_epi8(7);
  for (; x + 16 <= width; x += 16) {
    __m128i* const at = reinterpret_cast<__m128i*>(keys + x);
    _mm_storeu_si128(at, _mm_and_si128(_mm_loadu_si128(at), ties));
  }
#endif
  for (; x < width; ++x) keys[x] &= 7;
}

LayerRank RankLayer(const LayerDot* line, uint32_t tie, bool spriteLayer, int width, uint8_t* best,
                    uint8_t* second) {
  if (spriteLayer) {
    return second ? Rank<true, true>(line, tie, width, best, second)
                  : Rank<true, false>(line, tie, width, best, second);
  }
  return second ? Rank<false, true>(line, tie, width, best, second)
                : Rank<false, false>(line, tie, width, best, second);
}

}  // namespace dots
