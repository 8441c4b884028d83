// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "Расчёт архива дел…": the folder of genotype workbooks to evaluate, the folder the results go
// into (by default the subfolder "результаты" of the cases' folder, until the operator picks
// another), whether each case also gets its PDF report, and, read-only, what the cases are
// evaluated with: the population, data folder, settings and prior in force in the window.
// "Начать" accepts; the run itself is ArchiveCommand's.
#include <QDialog>
#include <QString>
#include <filesystem>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace app {

class Dialogs;

class ArchiveRunDialog : public QDialog {
    Q_OBJECT
public:
    // The default results folder's name inside the cases' folder.
    static constexpr const char* kResultsSubfolder = "результаты";

    // `inForce`: the lines describing the tables in use, shown as they are. Browsing starts in
    // `startFolder` while the cases' folder is empty.
    ArchiveRunDialog(const QString& inForce, const QString& startFolder, Dialogs& dialogs, QWidget* parent = nullptr);

    std::filesystem::path casesPath() const;
    std::filesystem::path resultsPath() const;
    bool withReports() const;

    QLineEdit* casesFolder = nullptr;
    QPushButton* browseCases = nullptr;
    QLineEdit* resultsFolder = nullptr;
    QPushButton* browseResults = nullptr;
    QCheckBox* pdfReports = nullptr;
    QLabel* inForceText = nullptr;
    QPushButton* startButton = nullptr;

private:
    void casesChanged(const QString& folder);
    void chooseCases();
    void chooseResults();

    Dialogs& m_dialogs;
    QString m_startFolder;
    bool m_resultsChosen = false; // the operator set the results folder: it no longer follows the cases
};

} // namespace app
