// SPDX-License-Identifier: GPL-3.0-or-later
// Accuracy of ExtendedExp and ExtendedLog against GCC's quadruple-precision expq and logq, with
// the C library's expl and logl and the table-and-exp2 exponential the program used before for
// comparison. For each range, COUNT random arguments (default 10,000,000): how many results are
// correctly rounded to the 64-bit significand, how many are one unit in the last place off, how
// many are further, the largest error in units in the last place, and the time per call. Not run
// by ctest. Usage: exp_log_accuracy [COUNT [SEED]]
//
// The reference is the 113-bit result rounded to 64 bits (tools/quad_reference.h). Where the
// 113-bit result lies within four of its own units of a halfway point between two long doubles,
// that rounding may not be the correct one; such arguments are counted apart as undecided, and
// only their largest error is reported.
#include <cfloat>
#include <chrono>
#include <cinttypes>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "numeric/extended_exp.h"
#include "support/extended_testing.h"
#include "tools/quad_reference.h"

namespace {

// The exponential as the program computed it before: 2^(j/64) from the C library's exp2, a
// degree-7 Taylor polynomial and the x87 bit pattern of 2^m (kept here for the comparison).
long double PreviousExtendedExp(long double x) {
    constexpr long double kInverseLn2Scaled = 92.332482616893658071035L;
    constexpr long double kLn2HighScaled = 0x1.62e42feep-1L / 64;
    constexpr long double kLn2LowScaled = 1.9082149292705878161442656807550013e-10L / 64;
    constexpr long double kShifter = 0x1.8p63L;
    static long double table[64];
    static const bool filled = [] {
        for (int j = 0; j < 64; ++j) table[j] = std::exp2(static_cast<long double>(j) / 64);
        return true;
    }();
    (void)filled;
    if (!(std::fabs(x) <= 11000.0L)) return std::exp(x);
    const long double shifted = x * kInverseLn2Scaled + kShifter;
    const long double kScaled = shifted - kShifter;
    std::uint64_t significand;
    std::memcpy(&significand, &shifted, sizeof significand);
    const long k = static_cast<long>(significand - 0xC000000000000000ULL);
    const long double r = (x - kScaled * kLn2HighScaled) - kScaled * kLn2LowScaled;
    const long double p =
        1.0L +
        r * (1.0L +
             r * (1.0L / 2 +
                  r * (1.0L / 6 +
                       r * (1.0L / 24 + r * (1.0L / 120 + r * (1.0L / 720 + r * (1.0L / 5040)))))));
    const long j = k & 63;
    const long m = (k - j) / 64;
    unsigned char bytes[sizeof(long double)] = {};
    const std::uint64_t one = 0x8000000000000000ULL;
    const auto exponent = static_cast<std::uint16_t>(16383 + m);
    std::memcpy(bytes, &one, sizeof one);
    std::memcpy(bytes + sizeof one, &exponent, sizeof exponent);
    long double scale;
    std::memcpy(&scale, bytes, sizeof scale);
    return table[j] * p * scale;
}

long double LibraryExp(long double x) {
    return expl(x);
}
long double LibraryLog(long double x) {
    return logl(x);
}
long double NewExp(long double x) {
    return orvale::AsLongDouble(orvale::ExtendedExp(orvale::AsExtended(x)));
}
long double NewLog(long double x) {
    return orvale::AsLongDouble(orvale::ExtendedLog(orvale::AsExtended(x)));
}

using Function = long double (*)(long double);

struct Candidate {
    const char* name;
    Function function;
};

struct Range {
    const char* name;
    bool logarithm;
    long double low, high;
    bool logUniform;  // a random significand times 2^e, e uniform over every exponent
};

struct Tally {
    std::uint64_t correct = 0, oneUnit = 0, more = 0, undecided = 0;
    double worstUnits = 0;
    double seconds = 0;
};

void Classify(long double got, const orvale::QuadReference& ref, Tally& tally) {
    tally.worstUnits = std::max(tally.worstUnits, orvale::UnitsOff(got, ref));
    if (ref.undecided)
        ++tally.undecided;
    else if (got == ref.rounded)
        ++tally.correct;
    else if (std::nextafter(ref.rounded, got) == got)
        ++tally.oneUnit;
    else
        ++tally.more;
}

long double Draw(const Range& range, std::mt19937_64& random) {
    for (;;) {
        // A uniform 64-bit fraction in [0, 1).
        const long double u = static_cast<long double>(random()) * 0x1p-64L;
        long double x;
        if (range.logUniform) {
            const int exponent = static_cast<int>(random() % (16383 + 16445 + 1)) - 16445;
            x = std::ldexp(1.0L + u, exponent);
        } else {
            x = range.low + (range.high - range.low) * u;
        }
        if (x >= range.low && x <= range.high && !(range.logarithm && x == 0)) return x;
    }
}

void RunRange(const Range& range, const std::vector<Candidate>& candidates, std::uint64_t count,
              std::mt19937_64& random) {
    constexpr std::size_t kChunk = 1 << 14;
    std::vector<long double> arguments(kChunk), results(kChunk);
    std::vector<orvale::QuadReference> references(kChunk);
    std::vector<Tally> tallies(candidates.size());
    for (std::uint64_t done = 0; done < count;) {
        const std::size_t n =
            static_cast<std::size_t>(std::min<std::uint64_t>(kChunk, count - done));
        for (std::size_t i = 0; i < n; ++i) {
            arguments[i] = Draw(range, random);
            references[i] =
                range.logarithm ? orvale::QuadLog(arguments[i]) : orvale::QuadExp(arguments[i]);
        }
        for (std::size_t c = 0; c < candidates.size(); ++c) {
            // The fastest of three passes, as other programs share the processor.
            double fastest = INFINITY;
            for (int pass = 0; pass < 3; ++pass) {
                const auto start = std::chrono::steady_clock::now();
                for (std::size_t i = 0; i < n; ++i)
                    results[i] = candidates[c].function(arguments[i]);
                fastest = std::min(
                    fastest, std::chrono::duration<double>(std::chrono::steady_clock::now() - start)
                                 .count());
            }
            tallies[c].seconds += fastest;
            for (std::size_t i = 0; i < n; ++i) Classify(results[i], references[i], tallies[c]);
        }
        done += n;
    }
    std::printf("%s  (%" PRIu64 " arguments, %" PRIu64 " undecided)\n", range.name, count,
                tallies[0].undecided);
    for (std::size_t c = 0; c < candidates.size(); ++c) {
        const Tally& t = tallies[c];
        const double decided = static_cast<double>(count - t.undecided);
        std::printf("  %-22s correct %10" PRIu64 " (%9.5f%%)  1 ulp %9" PRIu64 "  more %9" PRIu64
                    "  max %.3f ulp  %6.1f ns\n",
                    candidates[c].name, t.correct, decided > 0 ? 100.0 * t.correct / decided : 0.0,
                    t.oneUnit, t.more, t.worstUnits, 1e9 * t.seconds / static_cast<double>(count));
    }
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    const std::uint64_t count = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 10000000;
    std::mt19937_64 random(argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 20240611);
    const std::vector<Candidate> exps = {{"ExtendedExp", NewExp},
                                         {"expl (C library)", LibraryExp},
                                         {"previous ExtendedExp", PreviousExtendedExp}};
    const std::vector<Candidate> logs = {{"ExtendedLog", NewLog}, {"logl (C library)", LibraryLog}};
    const Range ranges[] = {
        {"exp over [-40, 0]", false, -40.0L, 0.0L, false},
        {"exp over [-1000, 10]", false, -1000.0L, 10.0L, false},
        {"exp over [-11400, 11356]", false, -11400.0L, 11356.0L, false},
        {"exp over [-11400, -11355] (subnormal results)", false, -11400.0L, -11355.0L, false},
        {"log over (0, 1e4]", true, 0.0L, 1e4L, false},
        {"log over [0.5, 2]", true, 0.5L, 2.0L, false},
        {"log over [1 - 2^-10, 1 + 2^-10]", true, 1.0L - 0x1p-10L, 1.0L + 0x1p-10L, false},
        {"log over every exponent (subnormals too)", true, 0.0L, LDBL_MAX, true},
    };
    const auto start = std::chrono::steady_clock::now();
    for (const Range& range : ranges) RunRange(range, range.logarithm ? logs : exps, count, random);
    std::printf("%.1f s in all\n",
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    return 0;
}
