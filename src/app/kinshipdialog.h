// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "Дело по родственникам…": a deficiency case (the alleged father untyped, his relatives typed)
// evaluated with the window's tables, settings and prior, as `kinship` evaluates it. The case is
// a relatives workbook, or a genotyping export whose samples the operator gives their roles
// ("Нет" for a sample that is not in the case). The dialog shows the table per locus (each
// person's genotype, the constellation or the verdict, the LR, the persons typed there), the CPI
// and the probability, and saves the PDF report and the results workbook with the writers the
// command uses.
#include <QDialog>
#include <QString>
#include <filesystem>
#include <optional>
#include <string>

#include "automation/workbook.h"
#include "freqdb/locustable.h"
#include "freqdb/population.h"
#include "kinship/kinshipcase.h"
#include "kinship/kinshipevaluation.h"
#include "profiles/genotypeexport.h"
#include "text/numberformat.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace app {

class Dialogs;

class KinshipDialog : public QDialog {
    Q_OBJECT
public:
    // What the case is evaluated with: the window's tables (θ off), where they come from, the
    // population and the prior field's text.
    struct Inputs {
        const freqdb::LocusTable* table = nullptr;
        freqdb::Population population = freqdb::Population::Unset;
        std::filesystem::path dataFolder; // as reports name it
        std::string prior;
        const text::NumberFormat* format = nullptr;
    };

    KinshipDialog(Inputs inputs, Dialogs& dialogs, const automation::WorkbookReader& reader,
                  std::filesystem::path workDir, QWidget* parent = nullptr);

    // "Открыть дело…" with the file chosen: a relatives workbook is read and evaluated at once;
    // an export lists its samples for their roles. A refusal is told and leaves nothing open.
    void openCase(const QString& path);
    // "Рассчитать": the export's samples formed into a case by their roles, then evaluated.
    void calculate();
    void saveReport();
    void saveWorkbook();

    QLineEdit* caseFile = nullptr;
    QPushButton* openButton = nullptr;
    QTableWidget* rolesTable = nullptr; // an export's samples: "Образец", "Роль" (an editable list)
    QPushButton* calculateButton = nullptr;
    QTableWidget* resultsTable = nullptr;
    QLabel* cpiLine = nullptr;
    QLabel* probabilityLine = nullptr;
    QPushButton* saveReportButton = nullptr;
    QPushButton* saveWorkbookButton = nullptr;

private:
    void chooseCase();
    void clearResults();
    void evaluate(kinship::KinshipCase kinshipCase);
    void showResults();
    // The name to save under, proposed as `suffix` after the case's name in the working folder;
    // empty when the operator cancelled or declined to replace a file.
    std::filesystem::path savePath(const QString& suffix);

    Inputs m_inputs;
    Dialogs& m_dialogs;
    const automation::WorkbookReader& m_reader;
    std::filesystem::path m_workDir;
    std::filesystem::path m_source;
    std::optional<profiles::GenotypeExport> m_export;
    std::optional<kinship::KinshipCase> m_case;
    std::optional<kinship::KinshipResult> m_result;
};

} // namespace app
