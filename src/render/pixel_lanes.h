#pragma once

// A pixel's red, green and blue (and a fourth lane, unused) worked on at
// once: one SSE2 instruction for the three colours where the processor has
// it, a loop elsewhere. The renderer's inner loop is built from these.

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace lumora::render::pixel {

inline constexpr float kMax = 65535.0f;

#if defined(__SSE2__)
using Float4 = __m128;

// A pixel's three samples; `spare` says that the next pixel's first sample
// may be read along with them (one load instead of two). Its fourth lane
// is then that sample, which nothing uses.
template <bool spare = false>
inline Float4 LoadPixel(const std::uint16_t* p) {
    __m128i packed;
    if constexpr (spare) {
        packed = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p));
    } else {
        std::int32_t redGreen = 0;
        std::memcpy(&redGreen, p, sizeof(redGreen));
        packed = _mm_insert_epi16(_mm_cvtsi32_si128(redGreen), p[2], 2);
    }
    return _mm_cvtepi32_ps(_mm_unpacklo_epi16(packed, _mm_setzero_si128()));
}

inline Float4 Splat(float v) {
    return _mm_set1_ps(v);
}

inline Float4 Lerp(Float4 a, Float4 b, Float4 f) {
    return _mm_add_ps(a, _mm_mul_ps(_mm_sub_ps(b, a), f));
}

inline Float4 Mul(Float4 v, Float4 scale) {
    return _mm_mul_ps(v, scale);
}

inline Float4 MulAdd(Float4 v, Float4 scale, Float4 add) {
    return _mm_add_ps(_mm_mul_ps(v, scale), add);
}

// Rounds and stores a pixel's three samples; with `spare`, the next
// pixel's first sample is overwritten too (one store instead of two), so
// pixels must then be stored in order.
template <bool spare = false>
inline void StorePixel(Float4 v, std::uint16_t* o) {
    v = _mm_add_ps(_mm_min_ps(_mm_max_ps(v, _mm_setzero_ps()), _mm_set1_ps(kMax)),
                   _mm_set1_ps(0.5f));
    // 0..65535 through the signed pack: shifted down by 32768 and back.
    const __m128i bias = _mm_set1_epi32(32768);
    const __m128i packed = _mm_packs_epi32(_mm_sub_epi32(_mm_cvttps_epi32(v), bias), bias);
    const __m128i samples = _mm_xor_si128(packed, _mm_set1_epi16(static_cast<short>(0x8000)));
    if constexpr (spare) {
        _mm_storel_epi64(reinterpret_cast<__m128i*>(o), samples);
    } else {
        const std::int32_t redGreen = _mm_cvtsi128_si32(samples);
        std::memcpy(o, &redGreen, sizeof(redGreen));
        o[2] = static_cast<std::uint16_t>(_mm_extract_epi16(samples, 2));
    }
}
#else
using Float4 = std::array<float, 4>;

template <bool spare = false>
inline Float4 LoadPixel(const std::uint16_t* p) {
    return {static_cast<float>(p[0]), static_cast<float>(p[1]), static_cast<float>(p[2]), 0.0f};
}

inline Float4 Splat(float v) {
    return {v, v, v, v};
}

inline Float4 Lerp(Float4 a, const Float4& b, const Float4& f) {
    for (std::size_t k = 0; k < 3; ++k) {
        a[k] += (b[k] - a[k]) * f[k];
    }
    return a;
}

inline Float4 Mul(Float4 v, const Float4& scale) {
    for (std::size_t k = 0; k < 3; ++k) {
        v[k] *= scale[k];
    }
    return v;
}

inline Float4 MulAdd(Float4 v, const Float4& scale, const Float4& add) {
    for (std::size_t k = 0; k < 3; ++k) {
        v[k] = v[k] * scale[k] + add[k];
    }
    return v;
}

template <bool spare = false>
inline void StorePixel(const Float4& v, std::uint16_t* o) {
    for (std::size_t k = 0; k < 3; ++k) {
        o[k] = static_cast<std::uint16_t>(std::clamp(v[k], 0.0f, kMax) + 0.5f);
    }
}
#endif

inline Float4 Load4(const std::array<float, 4>& v) {
#if defined(__SSE2__)
    return _mm_loadu_ps(v.data());
#else
    return v;
#endif
}

// Standard containers may drop a vector type's alignment; a struct keeps it.
struct Lanes {
    Float4 v;
};

}  // namespace lumora::render::pixel
