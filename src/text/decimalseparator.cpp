// SPDX-License-Identifier: GPL-3.0-or-later
#include <clocale>
#include <cstdlib>
#include <langinfo.h>
#include <locale.h>
#include <string>
#include <string_view>

#include "numberformat.h"

namespace text {
namespace {

// The interface is Russian: its separator is the comma wherever the environment says nothing
// more specific.
constexpr const char* kDefaultSeparator = ",";

// The locale name that governs numbers, by the POSIX precedence LC_ALL > LC_NUMERIC > LANG.
std::string numericLocaleName()
{
    for (const char* variable : {"LC_ALL", "LC_NUMERIC", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value && *value)
            return value;
    }
    return {};
}

bool isPlainCLocale(std::string_view name)
{
    return name.empty() || name == "C" || name == "POSIX" || name.starts_with("C.") || name.starts_with("C@");
}

} // namespace

std::string decimalSeparatorFromEnvironment()
{
    const std::string name = numericLocaleName();
    if (isPlainCLocale(name))
        return kDefaultSeparator;
    // A locale object of our own: the process locale (setlocale) stays untouched.
    locale_t locale = newlocale(LC_NUMERIC_MASK, name.c_str(), static_cast<locale_t>(nullptr));
    if (locale == static_cast<locale_t>(nullptr))
        return kDefaultSeparator;
    const char* radix = nl_langinfo_l(RADIXCHAR, locale);
    std::string separator = (radix && *radix) ? radix : kDefaultSeparator;
    freelocale(locale);
    return separator;
}

} // namespace text
