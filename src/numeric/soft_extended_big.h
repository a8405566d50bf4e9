// SPDX-License-Identifier: GPL-3.0-or-later
// Unsigned integers of any size for the exact decimal conversions of the software extended type
// (soft_extended_decimal.cpp): the few operations those need, written for clarity over speed,
// in 32-bit limbs so that every compiler runs the same code.
#pragma once

#include <algorithm>
#include <bit>
#include <compare>
#include <cstdint>
#include <string>
#include <vector>

#include "numeric/soft_extended_wide.h"

namespace orvale::soft_extended_detail {

// Limbs least significant first, without leading zero limbs.
class BigUnsigned {
  public:
    explicit BigUnsigned(std::uint64_t value = 0) {
        for (; value != 0; value >>= 32) limbs_.push_back(static_cast<std::uint32_t>(value));
    }

    bool IsZero() const { return limbs_.empty(); }
    bool IsOdd() const { return !limbs_.empty() && (limbs_[0] & 1) != 0; }

    std::int64_t BitLength() const {
        if (limbs_.empty()) return 0;
        return static_cast<std::int64_t>(limbs_.size()) * 32 - std::countl_zero(limbs_.back());
    }

    bool Bit(std::int64_t index) const {
        const auto limb = static_cast<std::size_t>(index / 32);
        return limb < limbs_.size() && (limbs_[limb] >> (index % 32) & 1) != 0;
    }

    // Whether any bit below `index` is set.
    bool AnyBitBelow(std::int64_t index) const {
        const auto whole = std::min(static_cast<std::size_t>(index / 32), limbs_.size());
        const auto end = limbs_.begin() + static_cast<std::ptrdiff_t>(whole);
        if (std::any_of(limbs_.begin(), end, [](std::uint32_t l) { return l != 0; })) return true;
        const int bits = static_cast<int>(index % 32);
        return whole < limbs_.size() && bits != 0 && (limbs_[whole] << (32 - bits)) != 0;
    }

    // *this = *this x factor + addend.
    void MultiplyAdd(std::uint32_t factor, std::uint32_t addend) {
        std::uint64_t carry = addend;
        for (std::uint32_t& limb : limbs_) {
            const std::uint64_t product = std::uint64_t{limb} * factor + carry;
            limb = static_cast<std::uint32_t>(product);
            carry = product >> 32;
        }
        if (carry != 0) limbs_.push_back(static_cast<std::uint32_t>(carry));
    }

    // *this x 5^count: by 5^13 at a time for small counts, else by the cached powers
    // 5^(13 x 2^i) that make up count / 13.
    void MultiplyByPowerOfFive(std::int64_t count) {
        constexpr std::uint32_t kFiveToThe13 = 1220703125;  // the largest power of 5 below 2^32
        std::int64_t chunks = count / 13;
        if (chunks >= 16) {
            const std::vector<BigUnsigned>& powers = PowersOfFive();
            const auto top = static_cast<std::int64_t>(powers.size()) - 1;
            for (; chunks >= std::int64_t{2} << top; chunks -= std::int64_t{1} << top) {
                *this = *this * powers.back();
            }
            for (std::int64_t i = 0; chunks != 0; ++i, chunks >>= 1) {
                if ((chunks & 1) != 0) *this = *this * powers[static_cast<std::size_t>(i)];
            }
        }
        for (; chunks > 0; --chunks) MultiplyAdd(kFiveToThe13, 0);
        std::uint32_t rest = 1;
        for (count %= 13; count > 0; --count) rest *= 5;
        MultiplyAdd(rest, 0);
    }

    friend BigUnsigned operator*(const BigUnsigned& a, const BigUnsigned& b) {
        BigUnsigned product;
        if (a.IsZero() || b.IsZero()) return product;
        product.limbs_.assign(a.limbs_.size() + b.limbs_.size(), 0);
        for (std::size_t i = 0; i < a.limbs_.size(); ++i) {
            std::uint64_t carry = 0;
            for (std::size_t j = 0; j < b.limbs_.size(); ++j) {
                const std::uint64_t t =
                    std::uint64_t{a.limbs_[i]} * b.limbs_[j] + product.limbs_[i + j] + carry;
                product.limbs_[i + j] = static_cast<std::uint32_t>(t);
                carry = t >> 32;
            }
            product.limbs_[i + b.limbs_.size()] = static_cast<std::uint32_t>(carry);
        }
        product.Trim();
        return product;
    }

    void ShiftLeft(std::int64_t bits) {
        if (limbs_.empty() || bits == 0) return;
        const int shift = static_cast<int>(bits % 32);
        if (shift != 0) {
            std::uint32_t carry = 0;
            for (std::uint32_t& limb : limbs_) {
                const std::uint32_t next = limb >> (32 - shift);
                limb = limb << shift | carry;
                carry = next;
            }
            if (carry != 0) limbs_.push_back(carry);
        }
        limbs_.insert(limbs_.begin(), static_cast<std::size_t>(bits / 32), 0);
    }

    void ShiftRight(std::int64_t bits) {
        const auto whole = std::min(static_cast<std::size_t>(bits / 32), limbs_.size());
        limbs_.erase(limbs_.begin(), limbs_.begin() + static_cast<std::ptrdiff_t>(whole));
        const int shift = static_cast<int>(bits % 32);
        if (shift != 0) {
            for (std::size_t i = 0; i < limbs_.size(); ++i) {
                const std::uint32_t next = i + 1 < limbs_.size() ? limbs_[i + 1] : 0;
                limbs_[i] = limbs_[i] >> shift | next << (32 - shift);
            }
        }
        Trim();
    }

    void AddOne() {
        for (std::uint32_t& limb : limbs_) {
            if (++limb != 0) return;
        }
        limbs_.push_back(1);
    }

    // *this -= other, for other <= *this.
    void Subtract(const BigUnsigned& other) {
        std::uint32_t borrow = 0;
        for (std::size_t i = 0; i < limbs_.size(); ++i) {
            const std::uint64_t subtrahend =
                std::uint64_t{i < other.limbs_.size() ? other.limbs_[i] : 0} + borrow;
            borrow = limbs_[i] < subtrahend ? 1 : 0;
            limbs_[i] = static_cast<std::uint32_t>(limbs_[i] - subtrahend);
            if (borrow == 0 && i >= other.limbs_.size()) break;
        }
        Trim();
    }

    friend std::strong_ordering operator<=>(const BigUnsigned& a, const BigUnsigned& b) {
        if (a.limbs_.size() != b.limbs_.size()) return a.limbs_.size() <=> b.limbs_.size();
        for (std::size_t i = a.limbs_.size(); i-- > 0;) {
            if (a.limbs_[i] != b.limbs_[i]) return a.limbs_[i] <=> b.limbs_[i];
        }
        return std::strong_ordering::equal;
    }
    friend bool operator==(const BigUnsigned& a, const BigUnsigned& b) = default;

    // The quotient of *this by divisor (nonzero); *this becomes the remainder. Long division in
    // 32-bit digits with the divisor normalized, each quotient digit estimated from the top
    // digits and corrected (Knuth's algorithm D, as in Hacker's Delight's divmnu).
    BigUnsigned DivideBy(const BigUnsigned& divisor) {
        BigUnsigned quotient;
        if (*this < divisor) return quotient;
        const int shift = std::countl_zero(divisor.limbs_.back());
        BigUnsigned v = divisor;
        v.ShiftLeft(shift);
        ShiftLeft(shift);
        limbs_.push_back(0);
        const std::vector<std::uint32_t>& vn = v.limbs_;
        std::vector<std::uint32_t>& un = limbs_;
        const std::size_t n = vn.size();
        const std::size_t m = un.size() - n - 1;
        quotient.limbs_.assign(m + 1, 0);
        constexpr std::uint64_t kBase = std::uint64_t{1} << 32;
        for (std::size_t j = m + 1; j-- > 0;) {
            const std::uint64_t top = std::uint64_t{un[j + n]} << 32 | un[j + n - 1];
            std::uint64_t estimate = top / vn[n - 1];
            std::uint64_t rest = top % vn[n - 1];
            const std::uint64_t next = n >= 2 ? un[j + n - 2] : 0;
            const std::uint64_t second = n >= 2 ? vn[n - 2] : 0;
            while (estimate >= kBase || estimate * second > (rest << 32 | next)) {
                --estimate;
                rest += vn[n - 1];
                if (rest >= kBase) break;
            }
            // Subtract estimate x v from the current digits.
            std::int64_t borrow = 0;
            for (std::size_t i = 0; i < n; ++i) {
                const std::uint64_t product = estimate * vn[i];
                const std::int64_t t = std::int64_t{un[i + j]} - borrow -
                                       static_cast<std::int64_t>(product & 0xFFFFFFFF);
                un[i + j] = static_cast<std::uint32_t>(t);
                borrow = static_cast<std::int64_t>(product >> 32) - (t >> 32);
            }
            const std::int64_t t = std::int64_t{un[j + n]} - borrow;
            un[j + n] = static_cast<std::uint32_t>(t);
            if (t < 0) {  // one too many: add v back
                --estimate;
                std::uint64_t carry = 0;
                for (std::size_t i = 0; i < n; ++i) {
                    const std::uint64_t sum = std::uint64_t{un[i + j]} + vn[i] + carry;
                    un[i + j] = static_cast<std::uint32_t>(sum);
                    carry = sum >> 32;
                }
                un[j + n] = static_cast<std::uint32_t>(un[j + n] + carry);
            }
            quotient.limbs_[j] = static_cast<std::uint32_t>(estimate);
        }
        Trim();
        ShiftRight(shift);
        quotient.Trim();
        return quotient;
    }

    // The 128 bits from the leading one down (all of them when the number is shorter), and
    // whether any bit below those is set.
    Wide TopBits(bool& sticky) const {
        const std::int64_t below = std::max<std::int64_t>(BitLength() - 128, 0);
        const auto first = static_cast<std::size_t>(below / 32);
        const int shift = static_cast<int>(below % 32);
        const auto limb = [this](std::size_t i) -> std::uint64_t {
            return i < limbs_.size() ? limbs_[i] : 0;
        };
        const auto word = [&limb](std::size_t i) { return limb(i) | limb(i + 1) << 32; };
        Wide top{word(first + 2) >> shift, word(first) >> shift};
        if (shift != 0) {
            top.high |= limb(first + 4) << (64 - shift);
            top.low |= word(first + 2) << (64 - shift);
        }
        sticky = AnyBitBelow(below);
        return top;
    }

    // The decimal digits, most significant first ("0" for zero). Destroys the value.
    std::string TakeDecimalDigits() {
        std::string reversed;
        while (!limbs_.empty()) {
            // Nine digits at a time: the division by a constant compiles to multiplications.
            std::uint64_t remainder = 0;
            for (auto limb = limbs_.rbegin(); limb != limbs_.rend(); ++limb) {
                const std::uint64_t current = remainder << 32 | *limb;
                *limb = static_cast<std::uint32_t>(current / 1000000000);
                remainder = current % 1000000000;
            }
            Trim();
            for (int i = 0; i < 9; ++i, remainder /= 10) {
                reversed.push_back(static_cast<char>('0' + remainder % 10));
            }
        }
        while (reversed.size() > 1 && reversed.back() == '0') reversed.pop_back();
        if (reversed.empty()) reversed.push_back('0');
        return {reversed.rbegin(), reversed.rend()};
    }

  private:
    // 5^(13 x 2^i) for i = 0..10, enough for every count below 13 x 2^11 (26,624) in one
    // product each; made once, on first use, and only read after.
    static const std::vector<BigUnsigned>& PowersOfFive() {
        static const std::vector<BigUnsigned> powers = [] {
            std::vector<BigUnsigned> table{BigUnsigned(1220703125)};
            while (table.size() < 11) table.push_back(table.back() * table.back());
            return table;
        }();
        return powers;
    }

    void Trim() {
        while (!limbs_.empty() && limbs_.back() == 0) limbs_.pop_back();
    }

    std::vector<std::uint32_t> limbs_;
};

}  // namespace orvale::soft_extended_detail
