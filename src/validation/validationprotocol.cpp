// SPDX-License-Identifier: GPL-3.0-or-later
#include "validationprotocol.h"

#include <cstdio>

namespace validation {

std::string verdictText(const ValidationResult& result)
{
    const std::string n = std::to_string(result.cases.size());
    if (result.cases.empty())
        return "Валидация не проведена: в таблицах нет локуса с двумя аллелями, из которых можно составить случай.";
    if (result.allAgree())
        return "Расчёт программы совпадает с независимым расчётом во всех " + n + " случаях. Сложенных случаев "
               + "(CPI, W, CPE) совпало: " + std::to_string(result.combined.size()) + ". Дел с родственниками "
               + "совпало: " + std::to_string(result.relatives.size()) + ".";
    std::string out = "РАСХОЖДЕНИЯ: расчёт программы не совпадает с независимым в "
                      + std::to_string(result.disagreements.size()) + " из " + n + " случаев";
    if (!result.combinedDisagreements.empty())
        out += " и в " + std::to_string(result.combinedDisagreements.size()) + " из "
               + std::to_string(result.combined.size()) + " сложенных случаев (CPI, W, CPE)";
    if (!result.relativesDisagreements.empty())
        out += " и в " + std::to_string(result.relativesDisagreements.size()) + " из "
               + std::to_string(result.relatives.size()) + " дел с родственниками";
    return out + ". Программу нельзя применять с этими таблицами и настройками.";
}

std::string verdictText(const ValidationProtocol& protocol)
{
    std::string out;
    if (!protocol.source.agrees())
        out += "РАСХОЖДЕНИЯ: таблицы частот не совпадают с источником ("
               + std::to_string(protocol.source.differences.size()) + "). ";
    if (!protocol.settings.agrees())
        out += "РАСХОЖДЕНИЯ: настройки прочитаны программой не так, как записаны. ";
    if (out.empty() || !protocol.result.allAgree())
        out += verdictText(protocol.result);
    else
        out += "Программу нельзя применять с этими таблицами и настройками.";
    return out;
}

std::string numberText(long double value)
{
    char text[40];
    std::snprintf(text, sizeof text, "%.10Lg", value);
    std::string out = text;
    for (char& c : out)
        c = c == '.' ? ',' : c;
    return out;
}

std::string differenceText(long double difference)
{
    if (difference == 0)
        return "0";
    char text[32];
    std::snprintf(text, sizeof text, "%.1E", static_cast<double>(difference));
    std::string out = text;
    for (char& c : out)
        c = c == '.' ? ',' : c;
    return out;
}

std::string independentText(const CaseResult& c)
{
    switch (c.independent.finding) {
    case Finding::Index:
        return numberText(c.independent.lr);
    case Finding::PaternityInconsistent:
        return "0 (несовпадение с отцом)";
    case Finding::MaternityInconsistent:
        return "несовпадение с матерью";
    case Finding::NotComputable:
        return "не вычисляется: " + c.independent.reason;
    }
    return {};
}

} // namespace validation
