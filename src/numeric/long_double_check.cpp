// The engine's arithmetic relies on 80-bit extended precision.
#include <cfloat>

static_assert(LDBL_MANT_DIG >= 64,
              "ORVALE needs long double with at least 64 mantissa bits (x87 80-bit extended): "
              "build with GCC or Clang for x86 or x86-64 Linux; MSVC and ARM64 targets, whose "
              "long double is a 64-bit double, are not supported.");
