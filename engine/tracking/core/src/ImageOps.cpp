#include "src/ImageOps.h"

#include <emmintrin.h>

#include <cstdint>

namespace vxt {

// Half-size image: mean of each 2x2 block (odd last row/column dropped).
void halveImage(const Plane& full, Plane& half) {
    for (int y = 0; y < half.height; ++y) {
        const std::uint8_t* a = full.data + static_cast<std::size_t>(2 * y) * full.stride;
        const std::uint8_t* b = a + full.stride;
        std::uint8_t* d = half.data + static_cast<std::size_t>(y) * half.stride;
        int x = 0;
        const __m128i mask = _mm_set1_epi16(0x00FF);
        for (; x + 8 <= half.width; x += 8) {
            __m128i ra = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + 2 * x));
            __m128i rb = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + 2 * x));
            __m128i ea = _mm_and_si128(ra, mask), oa = _mm_srli_epi16(ra, 8);
            __m128i eb = _mm_and_si128(rb, mask), ob = _mm_srli_epi16(rb, 8);
            __m128i sum = _mm_add_epi16(_mm_add_epi16(ea, oa), _mm_add_epi16(eb, ob));
            sum = _mm_srli_epi16(_mm_add_epi16(sum, _mm_set1_epi16(2)), 2);
            _mm_storel_epi64(reinterpret_cast<__m128i*>(d + x), _mm_packus_epi16(sum, sum));
        }
        for (; x < half.width; ++x)
            d[x] = static_cast<std::uint8_t>((a[2 * x] + a[2 * x + 1] + b[2 * x] + b[2 * x + 1] + 2) >> 2);
    }
}

}  // namespace vxt
