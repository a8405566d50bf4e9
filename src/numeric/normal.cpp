// The standard normal distribution function by numerical integration of the density.
//
// Every named quantity is a double, while every expression is evaluated in long double (80-bit
// extended) and rounded to double where it is stored. The reported probabilities depend on this
// double rounding and on the order of the operations, so both are kept exactly as written below.
#include "numeric/normal.h"

#include "numeric/extended_exp.h"

#include <cmath>
#include <iostream>
#include <utility>

namespace orvale {

namespace {

// 1/sqrt(2 pi) to eight digits; the truncation makes Phi level off at 1 - 5.0e-10 for large x.
constexpr long double kDensityFactor = 0.39894228L;
constexpr float kExponentFactor = -0.5F;           // the -x^2/2 of the density
constexpr float kTrapezoidFactor = 0.5F;           // halving in the trapezoid rule
constexpr long double kRelativeTolerance = 1e-6L;  // Simpson convergence test
constexpr int kMaximumStages = 20;                 // worst case 524,289 density evaluations
// Starting values that keep the Simpson loop from stopping before its third stage.
constexpr double kStartingPreviousSimpson = -1e30;
constexpr double kStartingPreviousTrapezoid = -1e30;
constexpr double kStartingSimpson = 1.0;
// Richardson extrapolation of two trapezoid sums: S = (4 T_new - T_old) / 3.
constexpr float kNewSumWeight = 4.0F;
constexpr float kSimpsonDivisor = 3.0F;
constexpr float kCdfOffset = 0.5F;  // Phi(x) = integral from 0 to x plus one half

constexpr const char* kTooManyStepsMessage = "Too many steps";

using Extended = long double;

double ToDouble(Extended value) {
    return static_cast<double>(value);
}

void WriteWarningToStandardError(const std::string& message) {
    std::cerr << "Warning: " << message << '\n';
}

WarningHook& CurrentWarningHook() {
    static WarningHook hook = WriteWarningToStandardError;
    return hook;
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

// The state behind the free TrapezoidStage. SimpsonIntegral keeps its own, so integrations
// never share state and the integrator is re-entrant.
TrapezoidSums& ModuleTrapezoidSums() {
    static TrapezoidSums sums;
    return sums;
}

}  // namespace

WarningHook SetWarningHook(WarningHook hook) {
    if (!hook) hook = WriteWarningToStandardError;
    return std::exchange(CurrentWarningHook(), std::move(hook));
}

double NormalDensity(double x) {
    const double t = ToDouble(Extended{kExponentFactor} * x * x);
    return ToDouble(ExtendedExp(Extended{t}) * kDensityFactor);
}

double TrapezoidStage(int n, double lower, double upper) {
    return ModuleTrapezoidSums().Stage(n, lower, upper);
}

double SimpsonIntegral(double lower, double upper) {
    TrapezoidSums sums;
    int j = 1;
    double s = kStartingSimpson;
    double sPrevious = kStartingPreviousSimpson;
    double t = kStartingPreviousTrapezoid;
    // Goes on while the difference is at least the bound, so two exact zeros never converge.
    while (j <= kMaximumStages && std::fabs(Extended{s} - sPrevious) >=
                                      kRelativeTolerance * std::fabs(Extended{sPrevious})) {
        sPrevious = s;
        const double tPrevious = t;
        t = sums.Stage(j, lower, upper);
        s = ToDouble((Extended{kNewSumWeight} * t - tPrevious) / Extended{kSimpsonDivisor});
        ++j;
    }
    // The last estimate is returned as if it had converged; for equal limits it is exactly 0.
    if (j > kMaximumStages) CurrentWarningHook()(kTooManyStepsMessage);
    return s;
}

double NormalCdf(double x) {
    return ToDouble(Extended{SimpsonIntegral(0.0, x)} + kCdfOffset);
}

}  // namespace orvale
