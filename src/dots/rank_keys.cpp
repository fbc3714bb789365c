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

// The shadow of one dot, as ShadeLine.
uint8_t ShadeDot(const LayerDot& sprite, uint32_t spriteTie, uint8_t key,
                 const uint8_t (&takesShadow)[8]) {
  const uint32_t caster =
      (sprite.flags & kDotShadeBelow) && sprite.priority != 0 ? sprite.priority * 8u + 7 : 0;
  if (caster > key) return takesShadow[key & 7];
  return (sprite.flags & kDotShadeSelf) && (key & 7) == spriteTie ? 0xFF : 0;
}

#if defined(__SSE2__)
// A table by tiebreak as its entries that are not 0: each tiebreak and its entry, in all
// 16 lanes.
struct TieTable {
  __m128i ties[8], entries[8];
  int count = 0;
  explicit TieTable(const uint8_t (&table)[8]) {
    for (int tie = 0; tie < 8; ++tie) {
      if (table[tie] == 0) continue;
      ties[count] = _mm_set1_epi8(static_cast<char>(tie));
      entries[count++] = _mm_set1_epi8(static_cast<char>(table[tie]));
    }
  }
  // The entries of 16 keys' tiebreaks.
  __m128i LookUp(__m128i keys) const {
    const __m128i ties16 = _mm_and_si128(keys, _mm_set1_epi8(7));
    __m128i out = _mm_setzero_si128();
    for (int i = 0; i < count; ++i) {
      out = _mm_or_si128(out, _mm_and_si128(_mm_cmpeq_epi8(ties16, ties[i]), entries[i]));
    }
    return out;
  }
};
#endif

}  // namespace

void LookUpTies(const uint8_t* keys, const uint8_t (&table)[8], const uint8_t* zeroWhere, int width,
                uint8_t* out) {
  int x = 0;
#if defined(__SSE2__)
  const TieTable byTie(table);
  for (; x + 16 <= width; x += 16) {
    __m128i found = byTie.LookUp(_mm_loadu_si128(reinterpret_cast<const __m128i*>(keys + x)));
    if (zeroWhere) {
      const __m128i zero = _mm_loadu_si128(reinterpret_cast<const __m128i*>(zeroWhere + x));
      found = _mm_and_si128(found, _mm_cmpeq_epi8(zero, _mm_setzero_si128()));
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), found);
  }
#endif
  for (; x < width; ++x) out[x] = zeroWhere && zeroWhere[x] ? 0 : table[keys[x] & 7];
}

void ShadeLine(const LayerDot* sprites, uint32_t spriteTie, const uint8_t* keys,
               const uint8_t (&takesShadow)[8], int width, uint8_t* shade) {
  int x = 0;
#if defined(__SSE2__)
  const __m128i low = _mm_set1_epi32(0xFF), seven = _mm_set1_epi32(7), zero = _mm_setzero_si128();
  const __m128i below = _mm_set1_epi32(kDotShadeBelow << 8),
                self = _mm_set1_epi32(kDotShadeSelf << 8);
  const __m128i spriteTies = _mm_set1_epi8(static_cast<char>(spriteTie));
  const TieTable shadows(takesShadow);
  for (; x + 16 <= width; x += 16) {
    // Per dot, as 32-bit lanes then bytes: the caster's key (0: none), its own shadow.
    __m128i casters[4], selves[4];
    for (int q = 0; q < 4; ++q) {
      const LayerDot* d = sprites + x + 4 * q;
      const __m128 a = _mm_castsi128_ps(_mm_loadu_si128(reinterpret_cast<const __m128i*>(d)));
      const __m128 b = _mm_castsi128_ps(_mm_loadu_si128(reinterpret_cast<const __m128i*>(d + 2)));
      const __m128i upper = _mm_castps_si128(_mm_shuffle_ps(a, b, _MM_SHUFFLE(3, 1, 3, 1)));
      const __m128i priority = _mm_and_si128(upper, low);
      const __m128i casts = _mm_andnot_si128(_mm_cmpeq_epi32(priority, zero),
                                             _mm_cmpeq_epi32(_mm_and_si128(upper, below), below));
      casters[q] = _mm_and_si128(casts, _mm_or_si128(_mm_slli_epi32(priority, 3), seven));
      selves[q] = _mm_and_si128(_mm_cmpeq_epi32(_mm_and_si128(upper, self), self), low);
    }
    const __m128i caster = _mm_packus_epi16(_mm_packs_epi32(casters[0], casters[1]),
                                            _mm_packs_epi32(casters[2], casters[3]));
    const __m128i selfShade = _mm_packus_epi16(_mm_packs_epi32(selves[0], selves[1]),
                                               _mm_packs_epi32(selves[2], selves[3]));
    const __m128i key = _mm_loadu_si128(reinterpret_cast<const __m128i*>(keys + x));
    // caster > key: their saturated difference is not 0.
    const __m128i notAbove = _mm_cmpeq_epi8(_mm_subs_epu8(caster, key), zero);
    const __m128i topIsSprite = _mm_cmpeq_epi8(_mm_and_si128(key, _mm_set1_epi8(7)), spriteTies);
    const __m128i own = _mm_and_si128(_mm_cmpeq_epi8(selfShade, _mm_set1_epi8(-1)), topIsSprite);
    const __m128i cast = _mm_andnot_si128(notAbove, shadows.LookUp(key));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(shade + x),
                     _mm_or_si128(cast, _mm_and_si128(notAbove, own)));
  }
#endif
  for (; x < width; ++x) shade[x] = ShadeDot(sprites[x], spriteTie, keys[x], takesShadow);
}

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
