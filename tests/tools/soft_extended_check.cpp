// SPDX-License-Identifier: GPL-3.0-or-later
// SoftExtended against the x87 and glibc, operation by operation, on random operands (see
// tests/numeric/soft_extended_oracle.h): prints the number of mismatches per operation and
// exits non-zero on any. `make check-extended` runs 100 million cases of each kind.
//   soft_extended_check [count] [seed] [operation...]   count defaults to 100000000
//   soft_extended_check --speed                          nanoseconds per operation, both types
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "numeric/soft_extended_oracle.h"

namespace {

using namespace orvale;
using namespace orvale::soft_extended_oracle;

// Runs `count` random cases of each selected operation; returns the total of mismatches.
std::uint64_t RunChecks(std::uint64_t count, std::uint64_t seed,
                        const std::vector<Operation>& operations) {
    std::uint64_t total = 0;
    for (Operation operation : operations) {
        RandomOperands random(seed + static_cast<std::uint64_t>(operation));
        const auto start = std::chrono::steady_clock::now();
        std::uint64_t mismatches = 0;
        for (std::uint64_t i = 0; i < count; ++i) {
            const std::string difference = CheckRandom(operation, random);
            if (difference.empty()) continue;
            if (++mismatches <= 3) std::printf("  %s\n", difference.c_str());
        }
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        std::printf("%-12s %12llu cases %10llu mismatches %9.1f s\n", Name(operation),
                    static_cast<unsigned long long>(count),
                    static_cast<unsigned long long>(mismatches), elapsed.count());
        std::fflush(stdout);
        total += mismatches;
    }
    return total;
}

// The median over a number of rounds of the time per call of `work`, which makes `calls` calls.
double MedianNanoseconds(const std::function<void()>& work, std::size_t calls) {
    std::vector<double> rounds;
    for (int round = 0; round < 15; ++round) {
        const auto start = std::chrono::steady_clock::now();
        work();
        const std::chrono::duration<double, std::nano> elapsed =
            std::chrono::steady_clock::now() - start;
        rounds.push_back(elapsed.count() / static_cast<double>(calls));
    }
    std::nth_element(rounds.begin(), rounds.begin() + rounds.size() / 2, rounds.end());
    return rounds[rounds.size() / 2];
}

void MeasureSpeed() {
    constexpr std::size_t kCount = 4096;
    RandomOperands random(1);
    std::vector<SoftExtended> a, b, soft(kCount);
    std::vector<long double> x, y, hardware(kCount);
    std::vector<std::string> texts;
    for (std::size_t i = 0; i < kCount; ++i) {
        // Ordinary numbers, as the program computes with.
        a.push_back(SoftExtended(random.Bits() >> 11) / SoftExtended(random.Bits() >> 20));
        b.push_back(SoftExtended(random.Bits() >> 13) / SoftExtended(random.Bits() >> 17));
        x.push_back(ToHardware(a.back()));
        y.push_back(ToHardware(b.back()));
        texts.push_back(PrintScientific(a.back(), static_cast<int>(random.Below(19))));
    }
    const auto report = [](const char* what, double softTime, double hardwareTime) {
        std::printf("%-24s soft %8.1f ns   hardware %8.1f ns   ratio %6.1f\n", what, softTime,
                    hardwareTime, softTime / hardwareTime);
    };
    const auto loop = [&](auto&& body) {
        return [&, body] {
            for (std::size_t i = 0; i < kCount; ++i) body(i);
        };
    };
    report("add", MedianNanoseconds(loop([&](std::size_t i) { soft[i] = a[i] + b[i]; }), kCount),
           MedianNanoseconds(loop([&](std::size_t i) { hardware[i] = x[i] + y[i]; }), kCount));
    report("multiply",
           MedianNanoseconds(loop([&](std::size_t i) { soft[i] = a[i] * b[i]; }), kCount),
           MedianNanoseconds(loop([&](std::size_t i) { hardware[i] = x[i] * y[i]; }), kCount));
    report("divide", MedianNanoseconds(loop([&](std::size_t i) { soft[i] = a[i] / b[i]; }), kCount),
           MedianNanoseconds(loop([&](std::size_t i) { hardware[i] = x[i] / y[i]; }), kCount));
    report("sqrt", MedianNanoseconds(loop([&](std::size_t i) { soft[i] = Sqrt(a[i]); }), kCount),
           MedianNanoseconds(loop([&](std::size_t i) { hardware[i] = std::sqrt(x[i]); }), kCount));
    report("parse (strtold)",
           MedianNanoseconds(loop([&](std::size_t i) {
                                 const std::string& t = texts[i];
                                 FromChars(t.data(), t.data() + t.size(), soft[i]);
                             }),
                             kCount),
           MedianNanoseconds(
               loop([&](std::size_t i) { hardware[i] = std::strtold(texts[i].c_str(), nullptr); }),
               kCount));
    char buffer[128];
    report("print %.17Le",
           MedianNanoseconds(loop([&](std::size_t i) { texts[i] = PrintScientific(a[i], 17); }),
                             kCount),
           MedianNanoseconds(loop([&](std::size_t i) {
                                 std::snprintf(buffer, sizeof buffer, "%.17Le", x[i]);
                                 texts[i] = buffer;
                             }),
                             kCount));
    report("print %.6Lf",
           MedianNanoseconds(loop([&](std::size_t i) { texts[i] = PrintFixed(a[i], 6); }), kCount),
           MedianNanoseconds(loop([&](std::size_t i) {
                                 std::snprintf(buffer, sizeof buffer, "%.6Lf", x[i]);
                                 texts[i] = buffer;
                             }),
                             kCount));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--speed") == 0) {
        MeasureSpeed();
        return 0;
    }
    const std::uint64_t count = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 100'000'000;
    const std::uint64_t seed = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 20240601;
    std::vector<Operation> operations;
    for (int i = 0; i < kOperationCount; ++i) {
        const auto operation = static_cast<Operation>(i);
        bool chosen = argc <= 3;
        for (int arg = 3; arg < argc; ++arg)
            chosen = chosen || std::string(argv[arg]) == Name(operation);
        if (chosen) operations.push_back(operation);
    }
    const std::uint64_t mismatches = RunChecks(count, seed, operations);
    std::printf("%llu mismatches\n", static_cast<unsigned long long>(mismatches));
    return mismatches == 0 ? 0 : 1;
}
