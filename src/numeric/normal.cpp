// SPDX-License-Identifier: GPL-3.0-or-later
// The standard normal distribution function by numerical integration of the density.
//
// Every named quantity is a double, while every expression is evaluated in 80-bit extended
// (numeric/extended.h) and rounded to double where it is stored. The reported probabilities depend
// on this double rounding and on the order of the operations, so both are kept exactly as written
// below.
#include "numeric/normal.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <iostream>
#include <mutex>
#include <utility>

#include "numeric/extended_exp.h"

namespace orvale {

namespace {

// 1/sqrt(2 pi) to eight digits; the truncation makes Phi level off at 1 - 5.0e-10 for large x.
constexpr Extended kDensityFactor = ExtendedConstant(0.39894228L, 0x3FFD, 0xCC42'299B'2EF0'0287ULL);
constexpr float kExponentFactor = -0.5F;  // the -x^2/2 of the density
constexpr float kTrapezoidFactor = 0.5F;  // halving in the trapezoid rule
// The Simpson convergence test.
constexpr Extended kRelativeTolerance = ExtendedConstant(1e-6L, 0x3FEB, 0x8637'BD05'AF6C'69B6ULL);
constexpr int kMaximumStages = 20;  // worst case 524,289 density evaluations
// Starting values that keep the Simpson loop from stopping before its third stage.
constexpr double kStartingPreviousSimpson = -1e30;
constexpr double kStartingPreviousTrapezoid = -1e30;
constexpr double kStartingSimpson = 1.0;
// Richardson extrapolation of two trapezoid sums: S = (4 T_new - T_old) / 3.
constexpr float kNewSumWeight = 4.0F;
constexpr float kSimpsonDivisor = 3.0F;
constexpr float kCdfOffset = 0.5F;  // Phi(x) = integral from 0 to x plus one half

constexpr const char* kTooManyStepsMessage = "Too many steps";

void WriteWarningToStandardError(const std::string& message) {
    std::cerr << "Warning: " << message << '\n';
}

// The program-wide hook, guarded by its mutex: SetWarningHook may run while other threads
// integrate.
std::mutex& ProgramHookMutex() {
    static std::mutex mutex;
    return mutex;
}

WarningHook& ProgramHook() {
    static WarningHook hook = WriteWarningToStandardError;
    return hook;
}

thread_local const WarningHook* threadHook = nullptr;
thread_local NormalCdfCache* threadCache = nullptr;

void RaiseWarning(const std::string& message) {
    if (threadHook != nullptr) {
        (*threadHook)(message);
        return;
    }
    // Called on a copy outside the lock: the desktop's hook shows a modal box, whose event loop
    // may integrate again.
    WarningHook hook;
    {
        const std::lock_guard lock(ProgramHookMutex());
        hook = ProgramHook();
    }
    hook(message);
}

// 2^16 entries of 16 bytes in sets of four: 1 MiB per thread, room for the tens of thousands of
// distinct deviates of a large whole-number batch.
constexpr int kCacheSetBits = 14;
constexpr std::size_t kCacheWays = 4;
constexpr std::size_t kCacheSize = kCacheWays << kCacheSetBits;
// No argument has this bit pattern once NaNs bypass the cache, so it marks an empty entry.
constexpr std::uint64_t kEmptyEntry = 0x7ff8'0000'dead'beefULL;

// The first entry of the set that holds an argument, chosen by a multiplicative hash of its bits.
std::size_t CacheSet(std::uint64_t argument) {
    return kCacheWays *
           static_cast<std::size_t>((argument * 0x9E37'79B9'7F4A'7C15ULL) >> (64 - kCacheSetBits));
}

// The state of one trapezoid-rule integration over one pair of limits. Stage 1 sets both
// members; each later stage adds the midpoints of the previous stage's intervals.
class TrapezoidSums {
  public:
    double Stage(int n, double lower, double upper) {
        if (n == 1) {
            const double lowerDensity = NormalDensity(lower);
            const double upperDensity = NormalDensity(upper);
            TrapezoidEstimate = ToDouble((Extended{upperDensity} + lowerDensity) *
                                         ((Extended{upper} - lower) * Extended{kTrapezoidFactor}));
            TrapezoidPointCount = 1;
            return TrapezoidEstimate;
        }
        const double tnm = static_cast<double>(TrapezoidPointCount);
        const double del = ToDouble((Extended{upper} - lower) / tnm);
        double x = ToDouble(Extended{kTrapezoidFactor} * del + lower);
        double sum = 0.0;
        for (int i = 0; i < TrapezoidPointCount; ++i) {
            sum = ToDouble(Extended{NormalDensity(x)} + sum);
            x = ToDouble(Extended{x} + del);
        }
        TrapezoidEstimate =
            ToDouble(((Extended{upper} - lower) * (Extended{sum} / tnm) + TrapezoidEstimate) *
                     Extended{kTrapezoidFactor});
        TrapezoidPointCount = 2 * TrapezoidPointCount;
        return TrapezoidEstimate;
    }

  private:
    int TrapezoidPointCount = 1;     // new points the next refinement stage evaluates
    double TrapezoidEstimate = 0.0;  // current trapezoid estimate of the integral
};

// The state behind the free TrapezoidStage, one per thread. SimpsonIntegral keeps its own, so
// integrations never share state and the integrator is re-entrant and thread-safe.
TrapezoidSums& ModuleTrapezoidSums() {
    thread_local TrapezoidSums sums;
    return sums;
}

// The Simpson driver; `converged` tells whether it stopped before the stage limit.
double Integrate(double lower, double upper, bool& converged) {
    TrapezoidSums sums;
    int j = 1;
    double s = kStartingSimpson;
    double sPrevious = kStartingPreviousSimpson;
    double t = kStartingPreviousTrapezoid;
    // Goes on while the difference is at least the bound, so two exact zeros never converge.
    while (j <= kMaximumStages &&
           Fabs(Extended{s} - sPrevious) >= kRelativeTolerance * Fabs(Extended{sPrevious})) {
        sPrevious = s;
        const double tPrevious = t;
        t = sums.Stage(j, lower, upper);
        s = ToDouble((Extended{kNewSumWeight} * t - tPrevious) / Extended{kSimpsonDivisor});
        ++j;
    }
    converged = j <= kMaximumStages;
    return s;
}

double IntegrateWithWarning(double lower, double upper, bool& converged) {
    const double s = Integrate(lower, upper, converged);
    // The last estimate is returned as if it had converged; for equal limits it is exactly 0.
    if (!converged) RaiseWarning(kTooManyStepsMessage);
    return s;
}

}  // namespace

WarningHook SetWarningHook(WarningHook hook) {
    if (!hook) hook = WriteWarningToStandardError;
    const std::lock_guard lock(ProgramHookMutex());
    return std::exchange(ProgramHook(), std::move(hook));
}

ThreadWarningHook::ThreadWarningHook(WarningHook hook)
    : hook_(std::move(hook)), previous_(std::exchange(threadHook, &hook_)) {}

ThreadWarningHook::~ThreadWarningHook() {
    threadHook = previous_;
}

NormalCdfCache::NormalCdfCache()
    : entries_(std::make_unique<Entry[]>(kCacheSize)), previous_(std::exchange(threadCache, this)) {
    for (std::size_t i = 0; i < kCacheSize; ++i) entries_[i] = {kEmptyEntry, 0.0};
}

NormalCdfCache::~NormalCdfCache() {
    threadCache = previous_;
}

namespace {

double DensityFormula(double x) {
    const double t = ToDouble(Extended{kExponentFactor} * x * x);
    return ToDouble(ExtendedExp(Extended{t}) * kDensityFactor);
}

}  // namespace

// Every integration of Phi starts at 0, so the density there is worked out once; for -0 the
// exponent is the same -0, so the value is too.
double NormalDensity(double x) {
    static const double atZero = DensityFormula(0.0);
    return x == 0.0 ? atZero : DensityFormula(x);
}

double TrapezoidStage(int n, double lower, double upper) {
    return ModuleTrapezoidSums().Stage(n, lower, upper);
}

double SimpsonIntegral(double lower, double upper) {
    bool converged = false;
    return IntegrateWithWarning(lower, upper, converged);
}

double NormalCdf(double x) {
    NormalCdfCache::Entry* set = nullptr;
    const std::uint64_t argument = std::bit_cast<std::uint64_t>(x);
    if (threadCache != nullptr && !std::isnan(x)) {
        set = &threadCache->entries_[CacheSet(argument)];
        for (std::size_t way = 0; way < kCacheWays; ++way) {
            if (set[way].argument == argument) return set[way].value;
        }
    }
    bool converged = false;
    const double value = ToDouble(Extended{IntegrateWithWarning(0.0, x, converged)} + kCdfOffset);
    if (set != nullptr && converged) {
        // The newest entry goes first and the oldest of the set is dropped.
        std::copy_backward(set, set + kCacheWays - 1, set + kCacheWays);
        set[0] = {argument, value};
    }
    return value;
}

}  // namespace orvale
