// SPDX-License-Identifier: GPL-3.0-or-later
#include "numberformat.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>
#include <system_error>
#include <utility>

namespace text {
namespace {

// Significant digits kept from the binary value. A long double carries a little over 19 decimal
// digits; 18 of them are exact for any value we compute, and rounding on them instead of on the
// binary value lets a decimal half (4.065, stored a hair below or above) round away from zero.
constexpr int kExpansionDigits = 18;

// Digits beyond this are never shown: the general notation keeps 15 significant digits.
constexpr int kGeneralDigits = 15;

// A decimal expansion: value = 0.d1d2d3... x 10^(point), digits without leading zeros.
// An empty digit string is zero.
struct Decimal {
    std::string digits;
    int point = 0; // position of the decimal point relative to the first digit
};

Decimal expand(long double magnitude)
{
    Decimal d;
    if (magnitude == 0)
        return d;
    char buffer[64];
    // to_chars is locale-independent, unlike printf, whose point follows LC_NUMERIC.
    const auto [end, ec]
        = std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::scientific, kExpansionDigits - 1);
    if (ec != std::errc())
        return d;
    const std::string_view s(buffer, static_cast<std::size_t>(end - buffer));
    const auto e = s.find('e');
    for (std::size_t i = 0; i < e; ++i) {
        if (s[i] >= '0' && s[i] <= '9')
            d.digits.push_back(s[i]);
    }
    int exponent = 0;
    std::from_chars(s.data() + e + 1 + (s[e + 1] == '+' ? 1 : 0), s.data() + s.size(), exponent);
    d.point = exponent + 1;
    while (!d.digits.empty() && d.digits.back() == '0')
        d.digits.pop_back();
    return d;
}

// Keeps the digits down to and including the one of weight 10^lastPower and rounds the rest away,
// halves away from zero (the expansion is of the magnitude).
Decimal roundAt(Decimal d, int lastPower)
{
    if (d.digits.empty())
        return d;
    const int keep = d.point - lastPower; // number of digits that stay
    if (keep >= static_cast<int>(d.digits.size()))
        return d;
    if (keep < 0)
        return {};
    const bool up = d.digits[static_cast<std::size_t>(keep)] >= '5';
    d.digits.resize(static_cast<std::size_t>(keep));
    if (up) {
        int i = keep - 1;
        while (i >= 0 && d.digits[static_cast<std::size_t>(i)] == '9') {
            d.digits[static_cast<std::size_t>(i)] = '0';
            --i;
        }
        if (i < 0) {
            d.digits.insert(d.digits.begin(), '1');
            ++d.point;
        } else {
            ++d.digits[static_cast<std::size_t>(i)];
        }
    }
    while (!d.digits.empty() && d.digits.back() == '0')
        d.digits.pop_back();
    if (d.digits.empty())
        d.point = 0;
    return d;
}

Decimal roundSignificant(Decimal d, int significant)
{
    const int lastPower = d.point - significant;
    return roundAt(std::move(d), lastPower);
}

// The digit of weight 10^power (power counted as in Decimal: first digit has weight point-1).
char digitAt(const Decimal& d, int power)
{
    const int index = d.point - 1 - power;
    if (index < 0 || index >= static_cast<int>(d.digits.size()))
        return '0';
    return d.digits[static_cast<std::size_t>(index)];
}

// Writes a rounded expansion in fixed notation with exactly `decimals` decimals.
std::string writeFixed(const Decimal& d, bool negative, int decimals, const std::string& separator)
{
    std::string out;
    if (negative && !d.digits.empty())
        out.push_back('-');
    if (d.point <= 0 || d.digits.empty()) {
        out.push_back('0');
    } else {
        for (int power = d.point - 1; power >= 0; --power)
            out.push_back(digitAt(d, power));
    }
    if (decimals > 0) {
        out += separator;
        for (int power = -1; power >= -decimals; --power)
            out.push_back(digitAt(d, power));
    }
    return out;
}

// Writes "m,mmmmE+xx": one digit before the separator, `mantissaDecimals` after (trailing zeros
// kept when keepZeros), exponent with sign and at least two digits.
std::string writeScientific(const Decimal& d, bool negative, int mantissaDecimals, bool keepZeros,
                            const std::string& separator)
{
    std::string out;
    if (negative && !d.digits.empty())
        out.push_back('-');
    const int exponent = d.digits.empty() ? 0 : d.point - 1;
    out.push_back(d.digits.empty() ? '0' : d.digits[0]);
    std::string fraction;
    for (int i = 1; i <= mantissaDecimals; ++i)
        fraction.push_back(i < static_cast<int>(d.digits.size()) ? d.digits[static_cast<std::size_t>(i)] : '0');
    if (!keepZeros) {
        while (!fraction.empty() && fraction.back() == '0')
            fraction.pop_back();
    }
    if (!fraction.empty())
        out += separator + fraction;
    out += exponent < 0 ? "E-" : "E+";
    const int magnitude = std::abs(exponent);
    if (magnitude < 10)
        out.push_back('0');
    out += std::to_string(magnitude);
    return out;
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

} // namespace

NumberFormat::NumberFormat(std::string decimalSeparator)
    : m_separator(decimalSeparator.empty() ? std::string(",") : std::move(decimalSeparator))
{
}

std::string NumberFormat::fixed(long double value, int maxSignificant, int decimals) const
{
    if (decimals < 0)
        decimals = 0;
    if (!std::isfinite(value))
        value = 0;
    Decimal d = expand(std::fabs(value));
    if (!d.digits.empty()) {
        // The last kept digit is the coarser of the two limits: the significant-digit limit
        // first (1428.5714 with 5 digits is 1428.6), then the decimals.
        const int significantLast = d.point - std::max(maxSignificant, 1);
        d = roundAt(std::move(d), std::max(significantLast, -decimals));
    }
    return writeFixed(d, std::signbit(value), decimals, m_separator);
}

std::string NumberFormat::lr(long double value) const
{
    std::string out = fixed(value, 5, 2);
    const auto digitsBefore = out.find(m_separator) - (out.front() == '-' ? 1 : 0);
    if (digitsBefore <= 5 || !std::isfinite(value))
        return out;
    // 100000 and more: five significant digits in scientific form, 1,2346E+05.
    const Decimal d = roundSignificant(expand(std::fabs(value)), 5);
    return writeScientific(d, std::signbit(value), 4, true, m_separator);
}

std::string NumberFormat::scientific(long double value, int significant) const
{
    if (!std::isfinite(value))
        value = 0;
    significant = std::max(significant, 1);
    const Decimal d = roundSignificant(expand(std::fabs(value)), significant);
    return writeScientific(d, std::signbit(value), significant - 1, true, m_separator);
}

std::string NumberFormat::frequency(long double value) const
{
    return fixed(value, 5, 3);
}

std::string NumberFormat::general(long double value) const
{
    if (!std::isfinite(value))
        value = 0;
    const Decimal d = roundSignificant(expand(std::fabs(value)), kGeneralDigits);
    const bool negative = std::signbit(value) && !d.digits.empty();
    if (d.digits.empty())
        return "0";
    const int exponent = d.point - 1;
    if (exponent < -5 || exponent >= kGeneralDigits)
        return writeScientific(d, negative, kGeneralDigits - 1, false, m_separator);
    const int decimals = std::max(0, static_cast<int>(d.digits.size()) - d.point);
    return writeFixed(d, negative, decimals, m_separator);
}

std::optional<long double> NumberFormat::parse(std::string_view text) const
{
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    // Check the grammar ourselves: from_chars alone would accept "inf", "nan" and hex forms.
    std::string plain; // the same number with a point, for from_chars
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        if (text[i] == '-')
            plain.push_back('-');
        ++i;
    }
    std::size_t mantissaDigits = 0;
    while (i < text.size() && isDigit(text[i])) {
        plain.push_back(text[i++]);
        ++mantissaDigits;
    }
    if (text.substr(i, m_separator.size()) == m_separator) {
        i += m_separator.size();
        plain.push_back('.');
        while (i < text.size() && isDigit(text[i])) {
            plain.push_back(text[i++]);
            ++mantissaDigits;
        }
    }
    if (mantissaDigits == 0)
        return std::nullopt;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        plain.push_back('e');
        ++i;
        if (i < text.size() && (text[i] == '-' || text[i] == '+'))
            plain.push_back(text[i++]);
        std::size_t exponentDigits = 0;
        while (i < text.size() && isDigit(text[i])) {
            plain.push_back(text[i++]);
            ++exponentDigits;
        }
        if (exponentDigits == 0)
            return std::nullopt;
    }
    if (i != text.size())
        return std::nullopt;

    long double value = 0;
    const auto [end, ec] = std::from_chars(plain.data(), plain.data() + plain.size(), value);
    if (ec != std::errc() || end != plain.data() + plain.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<long double> NumberFormat::parseWithPointOrComma(std::string_view text) const
{
    if (const auto value = parse(text))
        return value;
    for (const char* separator : {",", "."}) {
        if (separator == m_separator)
            continue;
        if (const auto value = NumberFormat(separator).parse(text))
            return value;
    }
    return std::nullopt;
}

} // namespace text
