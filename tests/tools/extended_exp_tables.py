#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
# Prints the constants and tables of src/numeric/extended_exp.cpp, computed with mpmath at 300
# bits. Every long double value is written as a sum of two doubles that is exact in the 64-bit
# significand (the nearest 53-bit double and the rest), so that the same source gives the same
# bits with the x87 long double and with a software extended type, whatever the compiler makes
# of long double literals. Usage: python3 tests/tools/extended_exp_tables.py
import math
from fractions import Fraction

import mpmath

mpmath.mp.prec = 300

EXP_TABLE_BITS = 7  # 2^(j/128), j = 0..127
LOG_CELLS = 128  # log: cells of width 1/128 over [0.75, 1.5]
LOG_INVERSE_BITS = 24  # significant bits of the cells' rounded inverses


def exact(value):
    sign, mantissa, exponent, _ = mpmath.mpf(value)._mpf_
    return (-1) ** sign * Fraction(int(mantissa)) * Fraction(2) ** int(exponent)


def round_bits(value, bits):
    """value rounded to the nearest number with `bits` significant bits (ties to even)."""
    value = Fraction(value)
    if value == 0:
        return Fraction(0)
    sign = -1 if value < 0 else 1
    value = abs(value)
    exponent = value.numerator.bit_length() - value.denominator.bit_length()
    while Fraction(2) ** exponent > value:
        exponent -= 1
    while Fraction(2) ** (exponent + 1) <= value:
        exponent += 1
    unit = Fraction(2) ** (exponent - bits + 1)
    quotient = value / unit
    whole = quotient.numerator // quotient.denominator
    rest = quotient - whole
    if rest > Fraction(1, 2) or (rest == Fraction(1, 2) and whole % 2 == 1):
        whole += 1
    return sign * whole * unit


def hexdouble(value):
    as_float = float(value)
    assert Fraction(as_float) == value, value
    if as_float == 0:
        return "0.0"
    sign, text = ("-", as_float.hex()[1:]) if as_float < 0 else ("", as_float.hex())
    digits, exponent = text[2:].split("p")
    digits = digits.rstrip("0").rstrip(".")
    return f"{sign}0x{digits}p{exponent}"


def extended_pair(value):
    """The 64-bit rounding of value as two doubles whose sum is exact."""
    rounded = round_bits(value, 64)
    high = round_bits(rounded, 53)
    return hexdouble(high), hexdouble(rounded - high), rounded


def triple(value):
    """value as a 64-bit head (two doubles) and the rest to 53 bits."""
    high, middle, rounded = extended_pair(value)
    return high, middle, hexdouble(round_bits(value - rounded, 53))


def constants():
    ln2 = exact(mpmath.log(2))
    step = ln2 / 2**EXP_TABLE_BITS
    step1 = round_bits(step, 40)
    step2 = round_bits(step - step1, 40)
    step3 = round_bits(step - step1 - step2, 53)
    ln2_high = round_bits(ln2, 48)
    print("// ln 2 / 128 in three parts (40, 40 and 53 bits):")
    print(f"  {hexdouble(step1)}, {hexdouble(step2)}, {hexdouble(step3)}")
    print("// 128 / ln 2:", ", ".join(extended_pair(1 / step)[:2]))
    print("// ln 2 in a 48-bit part and a 64-bit rest:", hexdouble(ln2_high),
          ", ".join(extended_pair(ln2 - ln2_high)[:2]))
    for n in range(2, 9):
        print(f"// 1/{n}!:", ", ".join(extended_pair(Fraction(1, math.factorial(n)))[:2]))
    for n in range(3, 11):
        print(f"// 1/{n}:", ", ".join(extended_pair(Fraction(1, n))[:2]))


def exp_table():
    print("// 2^(j/128): 64-bit head as two doubles, rest")
    for j in range(2**EXP_TABLE_BITS):
        value = exact(mpmath.power(2, mpmath.mpf(j) / 2**EXP_TABLE_BITS))
        print("    {" + ", ".join(triple(value)) + "},")


def log_table():
    print("// cells i = 96..192 of [0.75, 1.5]: 1/c rounded to 24 bits, -ln(that) as head, rest")
    for i in range(96, 193):
        inverse = round_bits(Fraction(LOG_CELLS, i), LOG_INVERSE_BITS)
        minus_log = -exact(mpmath.log(mpmath.mpf(inverse.numerator) / inverse.denominator))
        print("    {" + ", ".join((hexdouble(inverse),) + triple(minus_log)) + "},")


if __name__ == "__main__":
    constants()
    exp_table()
    log_table()
