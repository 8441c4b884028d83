// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The case report as an A4 PDF: DejaVu Sans embedded (so Cyrillic shows on any reader), the
// table's header row repeated on every page, "Страница N из M" at the foot of every page.
// Drawing needs a QGuiApplication (fonts); a process without one makes an OffscreenGui first.
#include <QByteArray>
#include <filesystem>
#include <stdexcept>

#include "report/casereport.h"

namespace report {

// A report that could not be written; what() is the operator message naming the file.
class ReportError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The PDF of the report, in memory.
QByteArray renderReportPdf(const CaseReport& report);

// Writes the PDF to `path` through a temporary file in its folder that replaces `path` only once
// it is complete and flushed, so a failed write leaves neither a partial file nor a damaged old
// one. Throws ReportError.
void writeReportPdf(const CaseReport& report, const std::filesystem::path& path);

} // namespace report
