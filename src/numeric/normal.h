// SPDX-License-Identifier: GPL-3.0-or-later
// The standard normal distribution as the scoring engine uses it: Phi is obtained by integrating
// the density numerically (Simpson's rule by Richardson extrapolation of halved trapezoid sums).
// Every probability of the scoring engine comes from NormalCdf.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace orvale {

// Receives the integrator's warnings ("Too many steps"). The desktop program shows a modal
// warning box; the command-line scorer writes to standard error. The default hook writes to
// standard error.
using WarningHook = std::function<void(const std::string& message)>;

// Installs the program-wide hook and returns the previous one. An empty hook restores the
// default. Safe to call while other threads integrate.
WarningHook SetWarningHook(WarningHook hook);

// Sends the warnings raised on the calling thread to `hook` instead of the program-wide hook, for
// the life of the object: batch scoring names the row that raised a warning this way while rows
// are scored on several threads. Scopes nest; the innermost receives.
class ThreadWarningHook {
  public:
    explicit ThreadWarningHook(WarningHook hook);
    ~ThreadWarningHook();
    ThreadWarningHook(const ThreadWarningHook&) = delete;
    ThreadWarningHook& operator=(const ThreadWarningHook&) = delete;

  private:
    WarningHook hook_;
    const WarningHook* previous_;
};

// Remembers the results of NormalCdf on the calling thread for the life of the object. A batch
// meets the same deviates again and again; a remembered result is the integrator's own for that
// argument, bit for bit, and an argument whose integration raised a warning is never remembered,
// so the warning comes again each time. Scopes nest; the innermost is used.
class NormalCdfCache {
  public:
    NormalCdfCache();
    ~NormalCdfCache();
    NormalCdfCache(const NormalCdfCache&) = delete;
    NormalCdfCache& operator=(const NormalCdfCache&) = delete;

  private:
    struct Entry {
        std::uint64_t argument;  // bit pattern of x
        double value;            // NormalCdf(x)
    };
    std::unique_ptr<Entry[]> entries_;  // sets of a few entries, chosen by a hash of the argument
    NormalCdfCache* previous_;
    friend double NormalCdf(double x);
};

double NormalDensity(double x);
double TrapezoidStage(int n, double lower, double upper);
double SimpsonIntegral(double lower, double upper);
double NormalCdf(double x);

}  // namespace orvale
