// The standard normal distribution as the scoring engine uses it: Phi is obtained by integrating
// the density numerically (Simpson's rule by Richardson extrapolation of halved trapezoid sums).
// Every probability of the scoring engine comes from NormalCdf.
#pragma once

#include <functional>
#include <string>

namespace orvale {

// Receives the integrator's warnings ("Too many steps"). The desktop program shows a modal
// warning box; the command-line scorer writes to standard error. The default hook writes to
// standard error.
using WarningHook = std::function<void(const std::string& message)>;

// Installs a hook and returns the previous one. An empty hook restores the default.
WarningHook SetWarningHook(WarningHook hook);

double NormalDensity(double x);
double TrapezoidStage(int n, double lower, double upper);
double SimpsonIntegral(double lower, double upper);
double NormalCdf(double x);

}  // namespace orvale
