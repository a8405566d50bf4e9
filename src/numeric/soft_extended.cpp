// SPDX-License-Identifier: GPL-3.0-or-later
// Arithmetic and binary conversions of the software extended type (see soft_extended.h). A
// significand in flight is a 128-bit fixed-point number in two words: the 64 bits that are kept
// and 64 bits below them, into whose lowest bit every bit shifted further out is folded
// ("sticky"), so that each result is rounded once, as the hardware rounds it.
#include "numeric/soft_extended.h"

#include <algorithm>
#include <utility>

#include "numeric/soft_extended_wide.h"

namespace orvale {

namespace {

using Ext = SoftExtended;
using soft_extended_detail::DivideWide;
#if defined(__SIZEOF_INT128__)
using soft_extended_detail::U128;
#endif
using soft_extended_detail::IsNormal;
using soft_extended_detail::Multiply;
using soft_extended_detail::ShiftLeft;
using soft_extended_detail::ShiftRightJam;
using soft_extended_detail::Wide;

constexpr std::uint64_t kHalf = 1ULL << 63;  // half a unit of the kept word, in the low word
constexpr std::int64_t kBias = Ext::kExponentBias;
constexpr std::int64_t kMaxExponent = Ext::kMaxExponent;

enum class Kind { Zero, Finite, Infinity, NaN, Invalid };

// An operand taken apart. A finite value is significand x 2^(exponent - kBias - 63); the
// exponent field 0 stands for the exponent 1 without the integer bit.
struct Parts {
    Kind kind = Kind::Zero;
    bool negative = false;
    std::int64_t exponent = 0;
    std::uint64_t significand = 0;
};

Parts Unpack(Ext x) {
    Parts parts;
    parts.negative = SignBit(x);
    parts.exponent = x.SignExponent() & 0x7FFF;
    parts.significand = x.Significand();
    const bool integerBit = (parts.significand & Ext::kIntegerBit) != 0;
    if (parts.exponent == kMaxExponent) {
        if (!integerBit) {
            parts.kind = Kind::Invalid;  // pseudo-infinity or pseudo-NaN
        } else {
            parts.kind = parts.significand == Ext::kIntegerBit ? Kind::Infinity : Kind::NaN;
        }
    } else if (parts.exponent == 0) {
        parts.kind = parts.significand == 0 ? Kind::Zero : Kind::Finite;
        parts.exponent = 1;
    } else {
        parts.kind = integerBit ? Kind::Finite : Kind::Invalid;  // unnormal
    }
    return parts;
}

// Moves a denormal's leading one to the integer bit.
void Normalize(Parts& parts) {
    const int shift = std::countl_zero(parts.significand);
    parts.significand <<= shift;
    parts.exponent -= shift;
}

Ext SignedZero(bool negative) {
    return Ext::FromBits(negative ? 0x8000 : 0, 0);
}

// Rounds wide (normalized: the top bit of its high word set) x 2^(exponent - kBias - 63) to the
// nearest-even extended value. Below the normal range the number is first shifted to the
// denormal position, so that a denormal result is rounded once, at its own last place.
Ext RoundPack(bool negative, std::int64_t exponent, Wide wide) {
    const std::uint16_t sign = negative ? 0x8000 : 0;
    if (exponent >= kMaxExponent) return Ext::Infinity(negative);
    if (exponent <= 0) {
        wide = ShiftRightJam(wide, static_cast<std::uint64_t>(1 - exponent));
        exponent = 0;
    }
    const bool roundUp = wide.low > kHalf || (wide.low == kHalf && (wide.high & 1) != 0);
    std::uint64_t significand = wide.high + (roundUp ? 1 : 0);
    if (exponent == 0) {
        // A carry into the integer bit makes the smallest normal, exponent 1.
        return Ext::FromBits(sign | static_cast<std::uint16_t>(significand >> 63), significand);
    }
    if (significand == 0) {  // 0xFFFF...F rounded up
        significand = Ext::kIntegerBit;
        ++exponent;  // reaching kMaxExponent gives the infinity's encoding
    }
    return Ext::FromBits(sign | static_cast<std::uint16_t>(exponent), significand);
}

// RoundPack for a wide number whose leading one may be anywhere; zero gives +0.
Ext NormalizeRoundPack(bool negative, std::int64_t exponent, Wide wide) {
    if (wide.high == 0 && wide.low == 0) return SignedZero(false);
    const int shift =
        wide.high != 0 ? std::countl_zero(wide.high) : 64 + std::countl_zero(wide.low);
    return RoundPack(negative, exponent - shift, ShiftLeft(wide, shift));
}

Ext Quiet(Ext x) {
    return Ext::FromBits(x.SignExponent(), x.Significand() | Ext::kQuietBit);
}

// The result of an operation with a NaN or invalid operand, as the x87 chooses it: an invalid
// encoding gives the default NaN; of two NaNs a quiet one wins over a signalling one, then the
// larger significand, then the positive sign. The result is always quiet.
Ext PropagateNaN(Ext a, const Parts& pa, Ext b, const Parts& pb) {
    if (pa.kind == Kind::Invalid || pb.kind == Kind::Invalid) return Ext::DefaultNaN();
    if (pa.kind != Kind::NaN) return Quiet(b);
    if (pb.kind != Kind::NaN) return Quiet(a);
    const bool aQuiet = (a.Significand() & Ext::kQuietBit) != 0;
    const bool bQuiet = (b.Significand() & Ext::kQuietBit) != 0;
    if (aQuiet != bQuiet) return aQuiet ? a : b;
    if (a.Significand() != b.Significand()) {
        return Quiet(a.Significand() > b.Significand() ? a : b);
    }
    return Quiet(pa.negative ? b : a);
}

bool IsNaNKind(const Parts& parts) {
    return parts.kind == Kind::NaN || parts.kind == Kind::Invalid;
}

// a + b with b's sign given separately, so that subtraction is the same routine.
Ext Add(Ext a, Ext b, bool negateB) {
    Parts pa = Unpack(a);
    Parts pb = Unpack(b);
    if (IsNaNKind(pa) || IsNaNKind(pb)) return PropagateNaN(a, pa, b, pb);
    pb.negative = pb.negative != negateB;
    if (pa.kind == Kind::Infinity || pb.kind == Kind::Infinity) {
        if (pa.kind == pb.kind && pa.negative != pb.negative) return Ext::DefaultNaN();
        return Ext::Infinity(pa.kind == Kind::Infinity ? pa.negative : pb.negative);
    }
    if (pa.kind == Kind::Zero && pb.kind == Kind::Zero) {
        return SignedZero(pa.negative && pb.negative);
    }
    if (pa.kind == Kind::Zero) pa = {Kind::Finite, pb.negative, pb.exponent, 0};
    if (pb.kind == Kind::Zero) pb = {Kind::Finite, pa.negative, pa.exponent, 0};
    // The operand of larger magnitude first.
    if (pa.exponent < pb.exponent ||
        (pa.exponent == pb.exponent && pa.significand < pb.significand)) {
        std::swap(pa, pb);
    }
    // The larger significand with 64 zero bits below it, the smaller one aligned to it.
    const std::uint64_t larger = pa.significand;
    const Wide smaller =
        ShiftRightJam({pb.significand, 0}, static_cast<std::uint64_t>(pa.exponent - pb.exponent));
    if (pa.negative == pb.negative) {
        Wide sum{larger + smaller.high, smaller.low};
        if (sum.high < larger) {  // carry out of the integer bit
            sum = ShiftRightJam(sum, 1);
            sum.high |= Ext::kIntegerBit;
            return RoundPack(pa.negative, pa.exponent + 1, sum);
        }
        return NormalizeRoundPack(pa.negative, pa.exponent, sum);
    }
    const Wide difference{larger - smaller.high - (smaller.low != 0 ? 1 : 0), 0 - smaller.low};
    // An exact zero is +0 in round-to-nearest.
    return NormalizeRoundPack(pa.negative, pa.exponent, difference);
}

bool IsZero(Ext x) {
    return (x.SignExponent() & 0x7FFF) == 0 && x.Significand() == 0;
}

}  // namespace

Ext SoftExtended::FromScaled(bool negative, std::uint64_t high, std::uint64_t low,
                             std::int64_t exponent2) {
    if (high == 0 && low == 0) return SignedZero(negative);
    // Far beyond either end the result is infinity or zero; clamping keeps the sums in range.
    constexpr std::int64_t kFar = std::int64_t{1} << 40;
    exponent2 = std::max(-kFar, std::min(kFar, exponent2));
    return NormalizeRoundPack(negative, exponent2 + 127 + kBias, {high, low});
}

// A zero and a normal number, the common case that reaches the general code: the sum is the
// normal number exactly, the product a zero of the product's sign.
Ext soft_extended_detail::AddGeneral(Ext a, Ext b, bool negateB) {
    if (IsZero(a) && IsNormal(b)) return negateB ? -b : b;
    if (IsZero(b) && IsNormal(a)) return a;
    return Add(a, b, negateB);
}

Ext soft_extended_detail::SubtractEqualExponents(std::uint32_t aWord, std::uint64_t aSignificand,
                                                 std::uint64_t bSignificand) {
    // a - b = (a's significand - b's) x 2^(exponent - bias - 63), exact; zero is +0.
    if (aSignificand == bSignificand) return Ext();
    const bool turned = aSignificand < bSignificand;
    const std::uint64_t magnitude =
        turned ? bSignificand - aSignificand : aSignificand - bSignificand;
    const int shift = std::countl_zero(magnitude);
    const std::int64_t exponent = static_cast<std::int64_t>(aWord & 0x7FFF) - shift;
    const bool negative = ((aWord & 0x8000) != 0) != turned;
    if (exponent < 1) {
        return RoundPack(negative, exponent, {magnitude << shift, 0});  // a denormal, exact
    }
    return Ext::FromBits(static_cast<std::uint16_t>((negative ? 0x8000 : 0) | exponent),
                         magnitude << shift);
}

#if defined(__SIZEOF_INT128__)
// As FastAdd, for exponents 64 or more apart: the smaller significand falls out of the 128 bits
// but for its top. The bits shifted out only ever count as "nonzero below the rounding point",
// which lies at bit 63 or 62 of the low word, so a 1 in the lowest bit stands for them. Beyond 67
// places the smaller operand is below 2^61 in the low word, and the rounded sum or difference is
// then the same for every nonzero value there: with the larger significand L (low word 0 or 2^63),
// L + s rounds to L, and L - s rounds to L too, also when L is a power of two and the difference
// normalizes by two places (its low word 2^64 - 4s stays above 2^63). So the distance stops at 67.
Ext soft_extended_detail::AddFarApart(std::uint32_t largerWord, std::uint64_t larger,
                                      std::uint64_t smaller, std::uint32_t distance,
                                      bool subtract) {
    const std::uint32_t exponent = largerWord & 0x7FFF;
    const std::uint32_t beyond = std::min<std::uint32_t>(distance + 1, 67) - 64;  // 1 to 3
    const std::uint64_t aligned =
        smaller >> beyond | ((smaller & ((std::uint64_t{1} << beyond) - 1)) != 0 ? 1 : 0);
    const U128 start = U128{larger} << 63;
    const U128 sum = subtract ? start - aligned : start + aligned;
    const auto high = static_cast<std::uint64_t>(sum >> 64);
    const int shift = std::countl_zero(high);  // high >= 2^62 - 1
    const std::uint32_t resultExponent = exponent + 1 - static_cast<std::uint32_t>(shift);
    if (resultExponent - 1 >= 0x7FFE) {
        // Near the ends of the range, by the general code: the smaller's exponent is the
        // larger's less the distance.
        const auto smallerWord = static_cast<std::uint16_t>(
            ((largerWord & 0x8000) ^ (subtract ? 0x8000U : 0U)) | (exponent - distance));
        return Add(Ext::FromBits(static_cast<std::uint16_t>(largerWord), larger),
                   Ext::FromBits(smallerWord, smaller), false);
    }
    const U128 normalized = sum << shift;
    return soft_extended_detail::RoundNormal(largerWord & 0x8000, resultExponent,
                                             static_cast<std::uint64_t>(normalized >> 64),
                                             static_cast<std::uint64_t>(normalized));
}
#endif

Ext soft_extended_detail::MultiplyGeneral(Ext a, Ext b) {
    if ((IsZero(a) && IsNormal(b)) || (IsZero(b) && IsNormal(a))) {
        return SignedZero(SignBit(a) != SignBit(b));
    }
    Parts pa = Unpack(a);
    Parts pb = Unpack(b);
    if (IsNaNKind(pa) || IsNaNKind(pb)) return PropagateNaN(a, pa, b, pb);
    const bool negative = pa.negative != pb.negative;
    if (pa.kind == Kind::Infinity || pb.kind == Kind::Infinity) {
        if (pa.kind == Kind::Zero || pb.kind == Kind::Zero) return Ext::DefaultNaN();
        return Ext::Infinity(negative);
    }
    if (pa.kind == Kind::Zero || pb.kind == Kind::Zero) return SignedZero(negative);
    Normalize(pa);
    Normalize(pb);
    // The product of two significands in [2^63, 2^64) lies in [2^126, 2^128).
    return NormalizeRoundPack(negative, pa.exponent + pb.exponent - kBias + 1,
                              Multiply(pa.significand, pb.significand));
}

Ext soft_extended_detail::DivideGeneral(Ext a, Ext b) {
    Parts pa = Unpack(a);
    Parts pb = Unpack(b);
    if (IsNaNKind(pa) || IsNaNKind(pb)) return PropagateNaN(a, pa, b, pb);
    const bool negative = pa.negative != pb.negative;
    if (pa.kind == Kind::Infinity) {
        return pb.kind == Kind::Infinity ? Ext::DefaultNaN() : Ext::Infinity(negative);
    }
    if (pb.kind == Kind::Infinity) return SignedZero(negative);
    if (pb.kind == Kind::Zero) {
        return pa.kind == Kind::Zero ? Ext::DefaultNaN() : Ext::Infinity(negative);
    }
    if (pa.kind == Kind::Zero) return SignedZero(negative);
    Normalize(pa);
    Normalize(pb);
    // A 64-bit quotient in [2^63, 2^64): the dividend a x 2^64 when a < b, a x 2^63 otherwise.
    std::int64_t exponent = pa.exponent - pb.exponent + kBias;
    Wide dividend{pa.significand, 0};
    if (pa.significand >= pb.significand) {
        dividend = {pa.significand >> 1, pa.significand << 63};
    } else {
        --exponent;
    }
    std::uint64_t remainder = 0;
    const std::uint64_t quotient = DivideWide(dividend, pb.significand, remainder);
    // The rest of the quotient, remainder / b, as a half bit and a sticky bit.
    const std::uint64_t rest = pb.significand - remainder;  // remainder >= b / 2 iff rest <= it
    std::uint64_t low = 0;
    if (remainder >= rest) low = kHalf | (remainder != rest ? 1 : 0);
    if (remainder < rest && remainder != 0) low = 1;
    return RoundPack(negative, exponent, {quotient, low});
}

std::partial_ordering soft_extended_detail::CompareGeneral(Ext a, Ext b) {
    const Parts pa = Unpack(a);
    const Parts pb = Unpack(b);
    if (IsNaNKind(pa) || IsNaNKind(pb)) return std::partial_ordering::unordered;
    if (pa.kind == Kind::Zero && pb.kind == Kind::Zero) return std::partial_ordering::equivalent;
    if (pa.negative != pb.negative) {
        return pa.negative ? std::partial_ordering::less : std::partial_ordering::greater;
    }
    // Magnitudes: zeros, then finite values by exponent and significand, then infinities.
    const auto rank = [](const Parts& p) {
        return p.kind == Kind::Zero ? 0 : p.kind == Kind::Finite ? 1 : 2;
    };
    std::partial_ordering magnitude = rank(pa) <=> rank(pb);
    if (magnitude == 0 && pa.kind == Kind::Finite) {
        magnitude = pa.exponent != pb.exponent ? pa.exponent <=> pb.exponent
                                               : pa.significand <=> pb.significand;
    }
    if (!pa.negative) return magnitude;
    return 0 <=> magnitude;
}

Ext Sqrt(Ext x) {
    Parts parts = Unpack(x);
    if (IsNaNKind(parts)) return PropagateNaN(x, parts, x, parts);
    if (parts.kind == Kind::Zero) return x;
    if (parts.negative) return Ext::DefaultNaN();
    if (parts.kind == Kind::Infinity) return x;
    Normalize(parts);
    // x = s x 2^e with s in [1, 2); the root of the integer n = s x 2^63 x 2^64 (e odd) or
    // s x 2^63 x 2^63 (e even) has 64 bits with the leading one at the integer bit.
    const std::int64_t e = parts.exponent - kBias;
    const bool odd = (e & 1) != 0;
    const Wide n =
        odd ? Wide{parts.significand, 0} : Wide{parts.significand >> 1, parts.significand << 63};
    const std::uint64_t root = soft_extended_detail::SquareRootFloor(n);
    // n - root^2 lies in [0, 2 root]. A square root never lies halfway, as (root + 1/2)^2 is no
    // integer: it rounds up exactly when n > root^2 + root, when the remainder exceeds root.
    const Wide square = Multiply(root, root);
    Wide remainder{n.high - square.high, n.low - square.low};
    if (n.low < square.low) --remainder.high;
    std::uint64_t low = 0;
    if (remainder.high != 0 || remainder.low > root) {
        low = kHalf | 1;
    } else if (remainder.low != 0) {
        low = 1;
    }
    const std::int64_t rootExponent = (odd ? e - 1 : e) / 2;
    return RoundPack(false, rootExponent + kBias, {root, low});
}

namespace {

enum class IntegerRounding { Down, TowardZero, NearestEven };

// x rounded to an integer in the given direction; NaNs quieted, zeros and infinities kept, and
// a result of zero carries x's sign.
Ext RoundToInteger(Ext x, IntegerRounding rounding) {
    const Parts parts = Unpack(x);
    if (IsNaNKind(parts)) return PropagateNaN(x, parts, x, parts);
    if (parts.kind != Kind::Finite) return x;
    const std::int64_t e = parts.exponent - kBias;
    if (e >= 63) return x;  // no fraction bits
    // The integer part in the high word, the fraction in the low one.
    const Wide split = ShiftRightJam({parts.significand, 0}, static_cast<std::uint64_t>(63 - e));
    bool up = false;  // one more in magnitude
    switch (rounding) {
        case IntegerRounding::Down:
            up = parts.negative && split.low != 0;
            break;
        case IntegerRounding::TowardZero:
            break;
        case IntegerRounding::NearestEven:
            up = split.low > kHalf || (split.low == kHalf && (split.high & 1) != 0);
            break;
    }
    const Ext magnitude(split.high + (up ? 1 : 0));
    return parts.negative ? -magnitude : magnitude;
}

}  // namespace

Ext Floor(Ext x) {
    return RoundToInteger(x, IntegerRounding::Down);
}
Ext Trunc(Ext x) {
    return RoundToInteger(x, IntegerRounding::TowardZero);
}
Ext NearbyInt(Ext x) {
    return RoundToInteger(x, IntegerRounding::NearestEven);
}

namespace {

// A finite nonzero x (normalized) rounded to a binary format of `precision` significant bits
// and exponents emin..emax, as its bit pattern without the sign. The integer bit of the rounded
// significand lands in the exponent field, so a carry out of the significand moves the exponent
// on, up to the infinity's encoding.
std::uint64_t RoundToNarrow(const Parts& parts, int precision, int emin, int emax) {
    const int fractionBits = precision - 1;
    const std::int64_t e = parts.exponent - kBias;
    if (e > emax) return static_cast<std::uint64_t>(emax - emin + 2) << fractionBits;
    // A denormal result keeps fewer bits: it is rounded once, at its own last place.
    const std::int64_t shift = 64 - precision + (e < emin ? emin - e : 0);
    const Wide kept = ShiftRightJam({parts.significand, 0}, static_cast<std::uint64_t>(shift));
    const bool roundUp = kept.low > kHalf || (kept.low == kHalf && (kept.high & 1) != 0);
    const std::uint64_t significand = kept.high + (roundUp ? 1 : 0);
    if (e < emin) return significand;
    return (static_cast<std::uint64_t>(e - emin) << fractionBits) + significand;
}

// The narrow format's bits for x: its sign bit, its infinity (exponent field all ones), its
// quiet bit, and how far the extended significand's fraction is shifted into its fraction.
struct NarrowFormat {
    int precision;
    int emin;
    int emax;
    std::uint64_t signBit;
    std::uint64_t infinity;
    std::uint64_t quietBit;
    int payloadShift;
};

std::uint64_t ToNarrowBits(Ext x, const NarrowFormat& format) {
    Parts parts = Unpack(x);
    const std::uint64_t sign = parts.negative ? format.signBit : 0;
    switch (parts.kind) {
        case Kind::Invalid:  // the narrow format's default NaN
            return format.signBit | format.infinity | format.quietBit;
        case Kind::NaN:  // quieted, the payload's top bits kept
            return sign | format.infinity | format.quietBit |
                   (parts.significand & ~Ext::kIntegerBit) >> format.payloadShift;
        case Kind::Infinity:
            return sign | format.infinity;
        case Kind::Zero:
            return sign;
        case Kind::Finite:
            break;
    }
    Normalize(parts);
    return sign | RoundToNarrow(parts, format.precision, format.emin, format.emax);
}

constexpr NarrowFormat kDouble{53, -1022, 1023, 1ULL << 63, 0x7FFULL << 52, 1ULL << 51, 11};
constexpr NarrowFormat kFloat{24, -126, 127, 1ULL << 31, 0xFFULL << 23, 1ULL << 22, 40};

constexpr std::uint64_t kIntegerIndefinite = 1ULL << 63;

// x truncated toward zero, as a magnitude below 2^64, when |x| < 2^64.
std::optional<std::uint64_t> TruncatedMagnitude(const Parts& parts) {
    if (parts.kind == Kind::Zero) return 0;
    if (parts.kind != Kind::Finite) return std::nullopt;
    const std::int64_t e = parts.exponent - kBias;
    if (e < 0) return 0;  // denormals and pseudo-denormals too
    if (e > 63) return std::nullopt;
    return parts.significand >> (63 - e);
}

}  // namespace

double soft_extended_detail::ToDoubleGeneral(Ext x) {
    return std::bit_cast<double>(ToNarrowBits(x, kDouble));
}

float ToFloat(Ext x) {
    return std::bit_cast<float>(static_cast<std::uint32_t>(ToNarrowBits(x, kFloat)));
}

std::int64_t ToInt64(Ext x) {
    const Parts parts = Unpack(x);
    const std::optional<std::uint64_t> magnitude = TruncatedMagnitude(parts);
    // -2^63 itself has the integer indefinite's bits.
    if (!magnitude || *magnitude >= kIntegerIndefinite) {
        return static_cast<std::int64_t>(kIntegerIndefinite);
    }
    return static_cast<std::int64_t>(parts.negative ? 0 - *magnitude : *magnitude);
}

std::uint64_t ToUInt64(Ext x) {
    const Parts parts = Unpack(x);
    const std::optional<std::uint64_t> magnitude = TruncatedMagnitude(parts);
    if (!magnitude) return kIntegerIndefinite;
    if (!parts.negative) return *magnitude;
    return *magnitude >= kIntegerIndefinite ? kIntegerIndefinite : 0 - *magnitude;
}

}  // namespace orvale
