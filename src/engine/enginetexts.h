// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Every text the engine gives the operator: the verdict cells of a results row, the pieces of
// the formula and frequency texts, the messages of "Рассчитать" and "Перемножить", and the
// prefixes of the two result fields. Tests compare against these constants.
#include <string_view>

namespace engine {

// Verdict cells: column 2 gets the verdict, column 5 the LR text ("0" or empty).
inline constexpr std::string_view kPaternityExcluded = "Отцовство исключается";
inline constexpr std::string_view kPaternityExcludedLr = "0";
inline constexpr std::string_view kMaternityExcluded = "Материнство исключается";
inline constexpr std::string_view kMaternityExcludedLr = "";

// The formula cell of an index given by the mutation model, followed by the rate as the lab
// wrote it: "мутация μ=0,002".
inline constexpr std::string_view kMutationFormulaPrefix = "мутация μ=";
// The count of such rows, where a case's counts are shown (the report, the batch): the loci that
// do not fit the alleged father without a mutation.
inline constexpr std::string_view kMutationLociLabel = "Локусов с несовпадением (модель мутаций)";

// The formula cell of an index with the subpopulation correction: the prefix, θ as the lab wrote
// it, a blank and the table's formula: "θ=0,01 1/2p(15)".
inline constexpr std::string_view kThetaFormulaPrefix = "θ=";

// A failed evaluation: column 2 gets one of these, column 5 stays empty.
inline constexpr std::string_view kBadAlleleIndex = "Расчет невозможен: аллель не принадлежит локусу";
inline constexpr std::string_view kFatherRole = " (отец)";
inline constexpr std::string_view kMotherRole = " (мать)";
inline constexpr std::string_view kChildRole = " (ребенок)";
inline constexpr std::string_view kZeroFrequencyPrefix = "LR не вычисляется: частота аллеля ";
inline constexpr std::string_view kZeroFrequencySuffix = " равна 0";
inline constexpr std::string_view kZeroFrequenciesPrefix = "LR не вычисляется: сумма частот аллелей ";
inline constexpr std::string_view kBadFrequencyPrefix = "LR не вычисляется: неверная частота аллеля ";
inline constexpr std::string_view kLrOutOfRange = "LR не вычисляется: значение вне допустимого диапазона";
inline constexpr std::string_view kMutationNoVariation
    = "LR с мутацией не вычисляется: частоты локуса не дают изменчивости (одна аллель)";
inline constexpr std::string_view kMutationRateTooHigh
    = "LR с мутацией не вычисляется: частота мутаций слишком велика для частот этого локуса";
inline constexpr std::string_view kNoRuleApplies = "Расчет невозможен: сочетание генотипов не распознано";

// Checks of "Рассчитать", in the order they run.
inline constexpr std::string_view kMissingGenotype = "Введите все генотипы";
inline constexpr std::string_view kMissingMother = "Нет генотипа матери";
inline constexpr std::string_view kWrongGenotype = "Неправильно введены генотипы";

// "Перемножить".
inline constexpr std::string_view kNoSelection = "Выберите локусы";
inline constexpr std::string_view kCpiPrefix = "Индекс отцовства (Combined Paternity Index) CPI=";
inline constexpr std::string_view kCpiBeyondRange = "более ";
inline constexpr std::string_view kProbabilityPrefix = "Вероятность отцовства P=";
inline constexpr std::string_view kProbabilityMiddle = "% (априор.вероятность pp=";
inline constexpr std::string_view kProbabilitySuffix = ")";
inline constexpr std::string_view kBadLrPrefix = "Неверное значение LR в строке ";
inline constexpr std::string_view kNegativeLrPrefix = "Отрицательное значение LR в строке ";
inline constexpr std::string_view kBadPrior = "Априорная вероятность должна быть числом от 0 до 1";
inline constexpr std::string_view kUndefinedProbability
    = "Вероятность отцовства не определена: CPI=0 при априорной вероятности 1";

} // namespace engine
