// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The texts of the case report. Tests compare against these constants.
#include <string_view>

namespace report {

inline constexpr std::string_view kTitle = "Расчёт индекса отцовства";
inline constexpr std::string_view kProgramName = "Paternity Index";

// Labels of the lines about the case, in the order they appear.
inline constexpr std::string_view kMadeAtLabel = "Дата и время составления";
inline constexpr std::string_view kProgramLabel = "Программа";
inline constexpr std::string_view kVersionWord = "версия";
inline constexpr std::string_view kPopulationLabel = "Референтная популяция";
inline constexpr std::string_view kDataFolderLabel = "Папка данных";
inline constexpr std::string_view kFingerprintLabel = "Отпечаток таблиц частот (SHA-256)";
inline constexpr std::string_view kLociLoadedWord = "локусов";
inline constexpr std::string_view kSourceLabel = "Книга, из которой загружены строки";
// The same line when the rows came from a genotyping export.
inline constexpr std::string_view kExportSourceLabel = "Экспорт генотипов";
inline constexpr std::string_view kLoadedAtWord = "загружена";
inline constexpr std::string_view kSamplesLabel = "Образцы экспорта генотипов";
inline constexpr std::string_view kChangedAfterLoad = "после загрузки строки изменялись";
inline constexpr std::string_view kNoSource = "нет: строки введены в окне программы";
inline constexpr std::string_view kSettingsHeading = "Настройки лаборатории";

inline constexpr std::string_view kTableHeading = "Результаты по локусам";
// The last column of the table: the row's power of exclusion.
inline constexpr std::string_view kExclusionPowerHeader = "PE";
inline constexpr std::string_view kNoRows = "В таблице нет строк.";

inline constexpr std::string_view kResultHeading = "Комбинированный индекс";
inline constexpr std::string_view kNotCombined
    = "Комбинированный индекс для строк этой таблицы не рассчитан (команда «Перемножить»).";
inline constexpr std::string_view kPriorsHeading = "Вероятность отцовства при других априорных вероятностях";

inline constexpr std::string_view kCountsHeading = "Сводка";
inline constexpr std::string_view kCountLoci = "Локусов в таблице";
inline constexpr std::string_view kCountMarked = "Локусов отмечено для расчёта CPI";
inline constexpr std::string_view kCountPaternityExcluded = "Локусов с «Отцовство исключается»";
inline constexpr std::string_view kCountMaternityExcluded = "Локусов с «Материнство исключается»";

inline constexpr std::string_view kSignature = "Эксперт: ____________________________  (подпись, фамилия и инициалы)";

// Footer of every page: "Страница N из M".
inline constexpr std::string_view kPageWord = "Страница";
inline constexpr std::string_view kOfWord = "из";

// The priors the report adds beside the operator's own.
inline constexpr long double kReportPriors[] = {0.1L, 0.5L, 0.9L};

} // namespace report
