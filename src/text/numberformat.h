// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's one number writer and reader. Every number the operator sees, and every number
// read back from a text (a frequency in a workbook, an LR in the results table, the prior), goes
// through a NumberFormat, which carries the decimal separator chosen once at start-up.
//
// Fixed notation "with at most s significant digits and exactly d decimals": the value is rounded
// to the nearest decimal with at most s significant digits and at most d decimals, halves away
// from zero, and written with at least one digit before the separator and exactly d decimals.
// Rounding works on the value's decimal expansion at long double precision (18 significant
// digits), not on the binary value, so 4.065 (stored a hair below the half) still gives 4,07.
#include <optional>
#include <string>
#include <string_view>

namespace text {

class NumberFormat {
public:
    explicit NumberFormat(std::string decimalSeparator = ",");

    const std::string& decimalSeparator() const { return m_separator; }

    // Fixed notation with at most maxSignificant significant digits and exactly decimals
    // decimals; decimals == 0 writes no separator. NaN and infinities are the caller's fault:
    // they are written as "0" with the requested decimals rather than as "nan"/"inf".
    std::string fixed(long double value, int maxSignificant, int decimals) const;

    // The LR of a locus: 5 significant digits, 2 decimals ("10,00", "4,07", "1428,60"); a value
    // with more than five digits before the separator in scientific form ("1,2346E+05"),
    // which parse() reads back.
    std::string lr(long double value) const;

    // Scientific notation with `significant` significant digits, trailing zeros kept, exponent
    // with sign and at least two digits: 0.0037 with 3 gives "3,70E-03", which parse() reads.
    std::string scientific(long double value, int significant) const;

    // An allele frequency inside a frequency text: 5 significant digits, 3 decimals ("0,100").
    std::string frequency(long double value) const;

    // General notation: the shortest form with at most 15 significant digits, no trailing
    // zeros ("0,5", "10", "9,3"); very large or small values in scientific form.
    std::string general(long double value) const;

    // Reads a decimal number written with this separator: optional sign, digits, optional
    // separator and digits, optional exponent (E or e, optional sign, digits). Blanks and tabs
    // around the number are skipped, as the platform's conversion skips them (a frequency typed
    // " 0,125" in a lab's workbook); a point in place of a comma (unless the separator is the
    // point) and group separators are not accepted. Returns nullopt for anything else, for NaN
    // and for values outside the range of long double.
    std::optional<long double> parse(std::string_view text) const;

    // parse(), with a point or a comma accepted as the decimal separator whichever this format
    // writes: for a number the operator types (the prior), where "0.9" and "0,9" mean the same
    // on any keyboard. Group separators are still refused ("1,000.5" is no number).
    std::optional<long double> parseWithPointOrComma(std::string_view text) const;

private:
    std::string m_separator;
};

// The separator of the user's locale, read from LC_ALL / LC_NUMERIC / LANG without changing the
// process locale. The program's interface is Russian, so the C/POSIX locale (and an unset or
// unknown one) also gives the comma.
std::string decimalSeparatorFromEnvironment();

} // namespace text
