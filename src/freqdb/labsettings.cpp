// SPDX-License-Identifier: GPL-3.0-or-later
#include "labsettings.h"

#include "text/numberformat.h"

namespace freqdb {
namespace {

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const char x = (a[i] >= 'A' && a[i] <= 'Z') ? static_cast<char>(a[i] - 'A' + 'a') : a[i];
        if (x != b[i])
            return false;
    }
    return true;
}

std::string quoted(std::string_view text)
{
    return "«" + std::string(text) + "»";
}

} // namespace

std::optional<long double> parseProportion(std::string_view text)
{
    text = trimmed(text);
    std::optional<long double> value = text::NumberFormat(",").parse(text);
    if (!value)
        value = text::NumberFormat(".").parse(text);
    if (!value || !(*value > 0) || !(*value < 1))
        return std::nullopt;
    return value;
}

std::optional<std::string> applyMutationSetting(LabSettings& settings, std::string_view text)
{
    text = trimmed(text);
    if (equalsIgnoringCase(text, "off")) {
        settings.mutationModel = MutationModel::Off;
        return std::nullopt;
    }
    constexpr std::string_view kProportional = "proportional";
    if (!equalsIgnoringCase(text.substr(0, kProportional.size()), kProportional)
        || (text.size() > kProportional.size() && text[kProportional.size()] != ':'))
        return "модель мутаций должна быть off или proportional, а не " + quoted(text);
    if (text.size() > kProportional.size()) {
        const std::string_view rate = trimmed(text.substr(kProportional.size() + 1));
        const auto value = parseProportion(rate);
        if (!value)
            return "частота мутаций " + quoted(rate) + " должна быть числом больше 0 и меньше 1";
        settings.mutationRate = *value;
        settings.mutationRateText = std::string(rate);
    }
    settings.mutationModel = MutationModel::Proportional;
    return std::nullopt;
}

std::optional<std::string> applyMinFrequencySetting(LabSettings& settings, std::string_view text)
{
    text = trimmed(text);
    if (equalsIgnoringCase(text, "off")) {
        settings.minFrequency.reset();
        settings.minFrequencyText.clear();
        return std::nullopt;
    }
    const auto value = parseProportion(text);
    if (!value)
        return "минимальная частота аллеля должна быть off или числом больше 0 и меньше 1, а не " + quoted(text);
    settings.minFrequency = *value;
    settings.minFrequencyText = std::string(text);
    return std::nullopt;
}

std::optional<std::string> applyThetaSetting(LabSettings& settings, std::string_view text)
{
    text = trimmed(text);
    if (equalsIgnoringCase(text, "off")) {
        settings.theta.reset();
        settings.thetaText.clear();
        return std::nullopt;
    }
    const auto value = parseProportion(text);
    if (!value)
        return "θ должна быть off или числом больше 0 и меньше 1, а не " + quoted(text);
    settings.theta = *value;
    settings.thetaText = std::string(text);
    return std::nullopt;
}

std::optional<std::string> settingsConflict(const LabSettings& settings)
{
    if (settings.theta && settings.mutationOn())
        return std::string("поправка θ и модель мутаций вместе не применяются: выключите одну из них");
    return std::nullopt;
}

std::vector<std::pair<std::string, std::string>> settingsLines(const LabSettings& settings)
{
    std::vector<std::pair<std::string, std::string>> lines;
    lines.emplace_back("Модель мутаций", settings.mutationOn() ? "пропорциональная, μ=" + settings.mutationRateText
                                                               : std::string("не применяется"));
    lines.emplace_back("Минимальная частота аллеля",
                       settings.minFrequency ? settings.minFrequencyText : std::string("не применяется"));
    if (settings.theta)
        lines.emplace_back("Поправка на субпопуляцию (Balding–Nichols)", "θ=" + settings.thetaText);
    if (!settings.source.empty())
        lines.emplace_back("Источник настроек", settings.source);
    return lines;
}

std::string settingsSummary(const LabSettings& settings)
{
    std::string out = "Настройки лаборатории: модель мутаций ";
    out += settings.mutationOn() ? "пропорциональная, μ=" + settings.mutationRateText : "не применяется";
    out += "; минимальная частота аллеля ";
    out += settings.minFrequency ? settings.minFrequencyText : "не применяется";
    if (settings.theta)
        out += "; θ=" + settings.thetaText;
    return out;
}

} // namespace freqdb
