// SPDX-License-Identifier: GPL-3.0-or-later
#include "caseroles.h"

#include <array>
#include <charconv>
#include <utility>

#include "freqdb/locustable.h"

namespace kinship {
namespace {

constexpr std::array<std::pair<RoleKind, std::string_view>, 9> kWords = {{
    {RoleKind::Child, "Ребенок"},
    {RoleKind::Mother, "Мать"},
    {RoleKind::AllegedFather, "Предполагаемый отец"},
    {RoleKind::FathersFather, "Отец предполагаемого отца"},
    {RoleKind::FathersMother, "Мать предполагаемого отца"},
    {RoleKind::Brother, "Брат предполагаемого отца"},
    {RoleKind::Sister, "Сестра предполагаемого отца"},
    {RoleKind::OtherChild, "Ребенок предполагаемого отца"},
    {RoleKind::OtherChildsMother, "Мать ребенка предполагаемого отца"},
}};

constexpr std::array<std::pair<RoleKind, std::string_view>, 9> kShortWords = {{
    {RoleKind::Child, "ребенок"},
    {RoleKind::Mother, "мать"},
    {RoleKind::AllegedFather, "ПО"},
    {RoleKind::FathersFather, "отец ПО"},
    {RoleKind::FathersMother, "мать ПО"},
    {RoleKind::Brother, "брат ПО"},
    {RoleKind::Sister, "сестра ПО"},
    {RoleKind::OtherChild, "ребенок ПО"},
    {RoleKind::OtherChildsMother, "мать ребенка ПО"},
}};

std::string withNumber(std::string_view words, int number)
{
    std::string text(words);
    if (number > 0)
        text += " " + std::to_string(number);
    return text;
}

std::string_view wordsOf(RoleKind kind, const std::array<std::pair<RoleKind, std::string_view>, 9>& table)
{
    for (const auto& [k, words] : table) {
        if (k == kind)
            return words;
    }
    return {};
}

} // namespace

bool numbered(RoleKind kind)
{
    return kind == RoleKind::Brother || kind == RoleKind::Sister || kind == RoleKind::OtherChild
           || kind == RoleKind::OtherChildsMother;
}

std::string Role::header() const
{
    return withNumber(wordsOf(kind, kWords), number);
}

std::string Role::shortName() const
{
    return withNumber(wordsOf(kind, kShortWords), number);
}

std::optional<Role> roleFromHeader(std::string_view header)
{
    std::string_view text = freqdb::withoutBlanks(header);
    // A trailing number, with blanks before it.
    int number = 0;
    const auto lastBlank = text.find_last_of(' ');
    if (lastBlank != std::string_view::npos) {
        const std::string_view tail = text.substr(lastBlank + 1);
        int value = 0;
        const auto [end, ec] = std::from_chars(tail.data(), tail.data() + tail.size(), value);
        if (ec == std::errc() && end == tail.data() + tail.size() && value > 0) {
            number = value;
            text = freqdb::withoutBlanks(text.substr(0, lastBlank));
        }
    }
    for (const auto& [kind, words] : kWords) {
        if (text == words && (number == 0 || numbered(kind)))
            return Role{kind, number};
    }
    return std::nullopt;
}

} // namespace kinship
