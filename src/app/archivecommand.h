// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "Расчёт архива дел…" from the window: the folders chosen in ArchiveRunDialog, then the archive
// run (archive/archiverun.h) over the window's loaded tables, the same run and files as
// `batch CASES --output-dir RESULTS [--report-dir RESULTS] --format csv`, with a progress dialog
// whose "Отмена" stops it between two cases. The summary CSV goes into the results folder
// (archive::kSummaryFileName); a closing message counts the cases and offers to open the folder.
// A results folder that already holds results is not written into unasked: the operator chooses
// a new folder beside it or to replace them, and the closing message counts what was left.
#include <QCoreApplication>
#include <QString>
#include <filesystem>
#include <string>
#include <vector>

#include "automation/workbook.h"
#include "freqdb/locustable.h"
#include "freqdb/population.h"
#include "text/numberformat.h"

class QWidget;

namespace archive {
struct ArchiveResult;
}

namespace app {

class Dialogs;

// What the window evaluates with while the run lasts: its loaded tables and their population,
// the data folder as reports name it, and the prior field's text.
struct ArchiveInForce {
    const freqdb::LocusTable* table = nullptr;
    freqdb::Population population = freqdb::Population::Unset;
    std::filesystem::path dataFolder;
    std::string prior;
    const text::NumberFormat* format = nullptr;
};

class ArchiveCommand {
    Q_DECLARE_TR_FUNCTIONS(ArchiveCommand)
public:
    ArchiveCommand(QWidget* window, Dialogs& dialogs, const automation::WorkbookReader& reader);

    // The whole command: dialog, run, summary. `startFolder` is where browsing begins.
    void run(const ArchiveInForce& inForce, const std::filesystem::path& startFolder);

    // The closing message of a run whose files went into `resultsFolder`; `summaryFailure` is why
    // the summary file was not written, or empty. It names the cases that failed, with their
    // reasons, and counts the files of an earlier run the run left as they were (`leftOver`).
    static QString summaryText(const archive::ArchiveResult& result, const std::filesystem::path& resultsFolder,
                               bool withReports, const QString& summaryFailure,
                               const std::vector<std::filesystem::path>& leftOver = {});

private:
    QString inForceText(const ArchiveInForce& inForce) const;

    QWidget* m_window;
    Dialogs& m_dialogs;
    const automation::WorkbookReader& m_reader;
};

} // namespace app
