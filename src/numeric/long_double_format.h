// SPDX-License-Identifier: GPL-3.0-or-later
// The engine's arithmetic relies on x87 80-bit extended precision, and extended_exp.cpp builds
// that format's bit patterns directly: a 64-bit significand with an explicit leading bit and a
// 15-bit exponent (LDBL_MANT_DIG 64, LDBL_MAX_EXP 16384), on x86 or x86-64 only. Other long double
// formats (the 113-bit quad of arm64, the 106-bit double-double of ppc64el, the plain double of
// MSVC) would compile and compute wrong numbers, so they are refused here.
#pragma once

#include <cfloat>

#if !(defined(__x86_64__) || defined(__i386__))
#error \
    "ORVALE needs the x87 80-bit long double of x86 or x86-64 (amd64, i386): this target is not supported."
#endif

static_assert(LDBL_MANT_DIG == 64 && LDBL_MAX_EXP == 16384 && sizeof(long double) >= 10,
              "ORVALE needs long double in the x87 80-bit extended format (64-bit significand, "
              "15-bit exponent): build with GCC or Clang for x86 or x86-64 Linux.");
