// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The report of a deficiency case, in the style of the case report (same page, font, footer and
// lines about the case): the two hypotheses in words and as pedigree pictures, the persons with
// their roles and samples, the table per locus (each person's genotype, the constellation or the
// verdict, the LR), the CPI and the probability at the operator's prior and at the report's
// priors, the counts, the tables' fingerprint and the lab's settings, and a line for the
// expert's signature.
#include <QByteArray>
#include <filesystem>
#include <string>

#include "kinship/kinshipreportcase.h"

namespace report {

inline constexpr std::string_view kKinshipTitle = "Расчёт индекса отцовства по родственникам";
inline constexpr std::string_view kHypothesesHeading = "Гипотезы";
inline constexpr std::string_view kPersonsHeading = "Лица";
inline constexpr std::string_view kPersonRole = "Роль";
inline constexpr std::string_view kPersonSample = "Образец";
inline constexpr std::string_view kPersonLoci = "Типирован по локусам";
inline constexpr std::string_view kLegend
    = "Квадрат - мужчина, круг - женщина, ромб - ребенок; закрашены типированные лица; стрелка и жирный контур - "
      "предполагаемый отец (ПО).";
inline constexpr std::string_view kCountNotEvaluated = "Локусов без LR";

// The PDF in memory, made at `madeAt`.
QByteArray renderKinshipReportPdf(const kinship::KinshipReportCase& evaluated, const std::string& madeAt);

// Writes the report to `path` (through a temporary file renamed over it). Returns the operator
// message of a failure, or empty.
std::string writeKinshipReport(const std::filesystem::path& path, const kinship::KinshipReportCase& evaluated);

} // namespace report
