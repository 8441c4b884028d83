// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The validation protocol as an A4 PDF for the lab's validation file, in the case report's style
// (DejaVu Sans, the same margins and footer): a cover page with the title, the identity lines and
// the verdict; the agreement and coverage tables; the frequency tables and their warnings; a
// sample of the cases (the first kSampleCases and every disagreement, up to kListedDisagreements)
// with the program's texts and the independent value; the deficiency cases (one round of the
// constellations, trio and duo, and every disagreement) per locus with the program's row and the
// second computation; a signature line for the person validating.
// Long tables continue over pages under their repeated header; every page ends with "Страница N
// из M".
#include <QByteArray>
#include <QString>
#include <filesystem>

#include "validation/validationprotocol.h"

namespace report {

inline constexpr std::size_t kSampleCases = 50;
inline constexpr std::size_t kListedDisagreements = 1000;

inline constexpr std::string_view kValidationSignature
    = "Валидацию провёл: ____________________________  (подпись, фамилия и инициалы)     "
      "Дата: ______________";

// The protocol as Qt rich text, page breaks included.
QString validationHtml(const validation::ValidationProtocol& protocol);

// The PDF in memory; needs a QGuiApplication (see offscreengui.h). Throws ReportError.
QByteArray renderValidationPdf(const validation::ValidationProtocol& protocol);

// Writes the PDF whole or not at all. Throws ReportError naming the file.
void writeValidationPdf(const validation::ValidationProtocol& protocol, const std::filesystem::path& path);

} // namespace report
