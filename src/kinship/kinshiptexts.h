// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The texts of a deficiency case: refusals of its persons, verdicts of rows that are not
// evaluated, the names of the hypotheses. Tests compare against these constants.
#include <string_view>

namespace kinship {

// Refusals of the persons (after the cell or argument that names the person).
inline constexpr std::string_view kRoleTwice = "эта роль уже есть в деле";
inline constexpr std::string_view kSameNumber = "этот номер уже есть у лица той же роли";
inline constexpr std::string_view kMotherWithoutChild = "в деле нет ребенка предполагаемого отца с этим номером";
inline constexpr std::string_view kNoChild = "В деле нет ребенка (столбец «Ребенок»)";
inline constexpr std::string_view kNoRelative
    = "В деле нет ни предполагаемого отца, ни его родственников: индекс отцовства не из чего рассчитать";
inline constexpr std::string_view kNotRole
    = "заголовок не называет лицо дела (Ребенок, Мать, Предполагаемый отец, Отец предполагаемого отца, Мать "
      "предполагаемого отца, Брат/Сестра предполагаемого отца N, Ребенок предполагаемого отца N, Мать ребенка "
      "предполагаемого отца N)";
inline constexpr std::string_view kThetaRefused
    = "Поправка θ для дела с родственниками не применяется: расчет по родословной ведется без θ. Укажите --theta "
      "off";

// Rows that are not evaluated (the formula cell; the LR stays empty).
inline constexpr std::string_view kChildUntyped = "Не рассчитывается: ребенок не типирован";
inline constexpr std::string_view kRelativesInconsistent
    = "Не рассчитывается: генотипы родственников несовместимы между собой";
inline constexpr std::string_view kNoSlash = "Не рассчитывается: генотип без «/»";
inline constexpr std::string_view kUnknownAllele = "Не рассчитывается: нет аллеля ";
inline constexpr std::string_view kOffLadder = "Не рассчитывается: аллель вне аллельной лестницы ";

// The constellation of an evaluated row: "трио" or "дуо", then the typed relatives.
inline constexpr std::string_view kTrio = "трио";
inline constexpr std::string_view kDuo = "дуо";
inline constexpr std::string_view kNoRelativesTyped = "родственники не типированы";

// The hypotheses, in words.
inline constexpr std::string_view kHypothesisP = "Hp: ребенок - ребенок предполагаемого отца и матери";
inline constexpr std::string_view kHypothesisD
    = "Hd: ребенок - ребенок матери и неродственного предполагаемому отцу мужчины; предполагаемый отец остается в "
      "своей семье";

} // namespace kinship
