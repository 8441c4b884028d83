// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The file types of the results and genotype workbooks. Results are saved as .xlsx (the
// format the workbook writer produces), or as the case report in PDF; any workbook the readers
// understand can be opened.
#include <QString>

namespace app {

inline constexpr const char* kSaveSuffix = "xlsx";
inline constexpr const char* kReportSuffix = "pdf";

inline QString workbookSaveFilter()
{
    return QStringLiteral("Excel Worksheet (*.xlsx)");
}

inline QString reportSaveFilter()
{
    return QStringLiteral("Отчёт PDF (*.pdf)");
}

// The workbook first: it stays the type the dialog starts with.
inline QString saveFilter()
{
    return workbookSaveFilter() + QStringLiteral(";;") + reportSaveFilter();
}

// A name the save command writes as the report instead of the workbook.
inline bool isReportName(const QString& name)
{
    return name.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive);
}

// The tables the import reads, recognised by their content; "Все файлы" for other names.
inline QString tableOpenFilter()
{
    return QStringLiteral("Таблицы частот (*.csv *.tsv *.txt *.xml *.xlsx *.xls *.ods);;Все файлы (*)");
}

inline QString openFilter()
{
    return QStringLiteral("Excel Worksheet (*.xls *.xlsx *.ods)");
}

// Genotypes come from a genotype workbook or from the genotyping software's text export.
inline QString genotypesOpenFilter()
{
    return openFilter() + QStringLiteral(";;Экспорт генотипов (*.txt *.tsv *.csv)");
}

} // namespace app
