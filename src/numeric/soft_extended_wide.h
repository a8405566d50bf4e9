// SPDX-License-Identifier: GPL-3.0-or-later
// 128-bit unsigned arithmetic for the software extended type, written with 64-bit words only
// so that every compiler (MSVC and WebAssembly too) runs the same code that is tested here.
#pragma once

#include <bit>
#include <cmath>
#include <cstdint>

namespace orvale::soft_extended_detail {

// high x 2^64 + low.
struct Wide {
    std::uint64_t high = 0;
    std::uint64_t low = 0;
};

inline Wide Multiply(std::uint64_t a, std::uint64_t b) {
    const std::uint64_t aLow = a & 0xFFFFFFFF, aHigh = a >> 32;
    const std::uint64_t bLow = b & 0xFFFFFFFF, bHigh = b >> 32;
    const std::uint64_t lowLow = aLow * bLow;
    const std::uint64_t highLow = aHigh * bLow;
    const std::uint64_t lowHigh = aLow * bHigh;
    const std::uint64_t middle = (lowLow >> 32) + (highLow & 0xFFFFFFFF) + (lowHigh & 0xFFFFFFFF);
    return {aHigh * bHigh + (highLow >> 32) + (lowHigh >> 32) + (middle >> 32),
            middle << 32 | (lowLow & 0xFFFFFFFF)};
}

// wide shifted right, the bits shifted out ORed into the lowest bit.
inline Wide ShiftRightJam(Wide wide, std::uint64_t count) {
    if (count == 0) return wide;
    if (count < 64) {
        const std::uint64_t lost = wide.low << (64 - count);
        return {wide.high >> count,
                wide.high << (64 - count) | wide.low >> count | (lost != 0 ? 1 : 0)};
    }
    if (count < 128) {
        const std::uint64_t shift = count - 64;
        const std::uint64_t lost = (shift == 0 ? 0 : wide.high << (64 - shift)) | wide.low;
        return {0, wide.high >> shift | (lost != 0 ? 1 : 0)};
    }
    return {0, (wide.high | wide.low) != 0 ? 1U : 0U};
}

// wide shifted left by 0 to 127 bits.
inline Wide ShiftLeft(Wide wide, int count) {
    if (count == 0) return wide;
    if (count < 64) return {wide.high << count | wide.low >> (64 - count), wide.low << count};
    return {wide.low << (count - 64), 0};
}

// floor(dividend / divisor) and the remainder, for a divisor with its top bit set and
// dividend.high < divisor (so that the quotient has 64 bits): schoolbook division in 32-bit
// digits with the quotient digit estimated from the divisor's top digit and corrected at most
// twice (Knuth's algorithm D, in the form of Hacker's Delight's divlu).
inline std::uint64_t DivideWide(Wide dividend, std::uint64_t divisor, std::uint64_t& remainder) {
    constexpr std::uint64_t kBase = std::uint64_t{1} << 32;
    const std::uint64_t divisorHigh = divisor >> 32, divisorLow = divisor & 0xFFFFFFFF;
    const std::uint64_t low1 = dividend.low >> 32, low0 = dividend.low & 0xFFFFFFFF;

    std::uint64_t q1 = dividend.high / divisorHigh;
    std::uint64_t estimate = dividend.high - q1 * divisorHigh;
    while (q1 >= kBase || q1 * divisorLow > (estimate << 32 | low1)) {
        --q1;
        estimate += divisorHigh;
        if (estimate >= kBase) break;
    }
    const std::uint64_t middle = (dividend.high << 32) + low1 - q1 * divisor;

    std::uint64_t q0 = middle / divisorHigh;
    estimate = middle - q0 * divisorHigh;
    while (q0 >= kBase || q0 * divisorLow > (estimate << 32 | low0)) {
        --q0;
        estimate += divisorHigh;
        if (estimate >= kBase) break;
    }
    remainder = (middle << 32) + low0 - q0 * divisor;
    return q1 << 32 | q0;
}

// floor(sqrt(n)) for n in [2^126, 2^128). Integer Newton steps from an estimate above the root
// decrease to it; the estimate comes from the double square root of the top word, whose error
// (a few units in 2^-53) stays far below the margin added, so two or three steps suffice.
inline std::uint64_t SquareRootFloor(Wide n) {
    const double estimate = std::sqrt(static_cast<double>(n.high)) * 4294967296.0 + 65536.0;
    std::uint64_t x = estimate >= 18446744073709551615.0 ? ~std::uint64_t{0}
                                                         : static_cast<std::uint64_t>(estimate);
    for (;;) {
        std::uint64_t remainder = 0;
        const std::uint64_t quotient = DivideWide(n, x, remainder);
        const std::uint64_t next = (x >> 1) + (quotient >> 1) + (x & quotient & 1);
        if (next >= x) return x;
        x = next;
    }
}

}  // namespace orvale::soft_extended_detail
