// SPDX-License-Identifier: GPL-3.0-or-later
#include "text/numberformat.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <locale.h>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

// Sets LC_ALL, LC_NUMERIC and LANG for one test and puts the old values back.
class ScopedLocaleEnvironment {
public:
    ScopedLocaleEnvironment(const char* all, const char* numeric, const char* lang)
    {
        set("LC_ALL", all);
        set("LC_NUMERIC", numeric);
        set("LANG", lang);
    }
    ~ScopedLocaleEnvironment()
    {
        for (auto& [name, value] : m_saved) {
            if (value)
                setenv(name, value->c_str(), 1);
            else
                unsetenv(name);
        }
    }

private:
    void set(const char* name, const char* value)
    {
        const char* old = std::getenv(name);
        m_saved.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    std::vector<std::pair<const char*, std::optional<std::string>>> m_saved;
};

bool localeInstalled(const char* name)
{
    locale_t l = newlocale(LC_NUMERIC_MASK, name, static_cast<locale_t>(nullptr));
    if (l == static_cast<locale_t>(nullptr))
        return false;
    freelocale(l);
    return true;
}

TEST(DecimalSeparator, UnsetAndCLocalesGiveTheComma)
{
    for (const char* name : {static_cast<const char*>(nullptr), "C", "POSIX", "C.UTF-8"}) {
        ScopedLocaleEnvironment env(nullptr, nullptr, name);
        EXPECT_EQ(text::decimalSeparatorFromEnvironment(), ",") << (name ? name : "unset");
    }
}

TEST(DecimalSeparator, UnknownLocaleGivesTheComma)
{
    ScopedLocaleEnvironment env("xx_YY.NOPE", nullptr, nullptr);
    EXPECT_EQ(text::decimalSeparatorFromEnvironment(), ",");
}

TEST(DecimalSeparator, LcAllWinsOverLcNumericAndLang)
{
    if (!localeInstalled("ru_RU.UTF-8") || !localeInstalled("en_US.UTF-8"))
        GTEST_SKIP() << "ru_RU.UTF-8 and en_US.UTF-8 locales are not installed";
    {
        ScopedLocaleEnvironment env("ru_RU.UTF-8", "en_US.UTF-8", "en_US.UTF-8");
        EXPECT_EQ(text::decimalSeparatorFromEnvironment(), ",");
    }
    {
        ScopedLocaleEnvironment env(nullptr, "en_US.UTF-8", "ru_RU.UTF-8");
        EXPECT_EQ(text::decimalSeparatorFromEnvironment(), ".");
    }
}

TEST(DecimalSeparator, RussianLocaleGivesTheCommaAndLeavesTheProcessLocale)
{
    if (!localeInstalled("ru_RU.UTF-8"))
        GTEST_SKIP() << "ru_RU.UTF-8 locale is not installed";
    const std::string before = std::setlocale(LC_NUMERIC, nullptr);
    ScopedLocaleEnvironment env(nullptr, nullptr, "ru_RU.UTF-8");
    EXPECT_EQ(text::decimalSeparatorFromEnvironment(), ",");
    EXPECT_EQ(std::setlocale(LC_NUMERIC, nullptr), before);
}

} // namespace
