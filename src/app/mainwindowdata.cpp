// SPDX-License-Identifier: GPL-3.0-or-later
// MainWindow's ties to the lab's data and to the recovery of unsaved work: the menu "Данные", the
// reload after an import or new settings, the end of a load that failed or was stopped, the
// settings and data notes lines, and the recovery file's wiring.
#include <QLabel>
#include <QLineEdit>
#include <QStringList>

#include "app/datamenu.h"
#include "app/dialogs.h"
#include "app/mainwindow.h"
#include "app/populationdialog.h"
#include "app/recoverykeeper.h"
#include "app/resultline.h"
#include "app/windowtexts.h"
#include "exchange/loadedresults.h"
#include "exchange/recoveryfile.h"
#include "exchange/resultsworkbookreader.h"
#include "results/stalerows.h"

namespace app {

void MainWindow::buildDataMenu()
{
    m_dataMenu = new DataMenu(
        menuBar(), this, m_dialogs, m_reader,
        {[this] { return m_workDir; }, [this] { return m_data.folder; }, [this] { return m_table.settings(); },
         [this] { reloadTables(); },
         [this] {
             return DataMenu::TablesInUse{&m_table, &m_data, m_populationDialog->Population(), &m_format};
         },
         [this] { return priorField->text().toStdString(); }});
}

void MainWindow::reloadTables()
{
    m_populationDialog->showChoice(m_populationDialog->Population());
    loadTablesAndShow();
}

void MainWindow::loadStopped()
{
    if (!m_opened) {
        // Nothing to calculate with yet: the operator chooses again.
        m_populationDialog->becomeChoice(tr("Выберите популяцию"));
        m_populationDialog->show();
    } else {
        m_populationDialog->showChoice(m_populationDialog->Population());
    }
}

void MainWindow::showDataNotes(const std::vector<std::string>& lookup, const std::vector<std::string>& load)
{
    QStringList notes;
    for (const auto* list : {&lookup, &load})
        for (const std::string& note : *list)
            notes << QString::fromStdString(note);
    dataNoteLabel->setVisible(!notes.isEmpty());
    // One line in the window; the whole text in the tooltip.
    dataNoteLabel->setText(notes.join(QStringLiteral(" ")));
    dataNoteLabel->setToolTip(notes.join(QStringLiteral("\n")));
}

void MainWindow::showSettings()
{
    const freqdb::LabSettings& settings = m_table.settings();
    settingsLabel->setVisible(settings.any());
    if (!settings.any()) {
        settingsLabel->clear();
        settingsLabel->setToolTip({});
        return;
    }
    QStringList parts;
    if (settings.mutationOn())
        parts << tr("мутации: μ=") + QString::fromStdString(settings.mutationRateText);
    if (settings.minFrequency)
        parts << tr("мин. частота: ") + QString::fromStdString(settings.minFrequencyText);
    if (settings.theta)
        parts << tr("θ=") + QString::fromStdString(settings.thetaText);
    settingsLabel->setText(tr("Настройки: ") + parts.join(QStringLiteral("; ")));
    QString tip;
    for (const auto& [label, value] : freqdb::settingsLines(settings))
        tip += QString::fromStdString(label) + ": " + QString::fromStdString(value) + '\n';
    settingsLabel->setToolTip(tip.trimmed());
}

bool MainWindow::rowsOfChosenPopulation()
{
    const freqdb::Population chosen = m_populationDialog->Population();
    // With the loaded rows all deleted, the rows that come next are the chosen population's.
    if (m_grid.ResultCount() == 0)
        m_rowsPopulation = freqdb::Population::Unset;
    if (m_rowsPopulation != freqdb::Population::Unset && m_rowsPopulation != chosen) {
        if (m_dialogs.question(this, tr("Внимание"), WindowTexts::otherPopulationRows(m_rowsPopulation, chosen))
            != Answer::Yes)
            return false;
        recomputeRows();
        return true;
    }
    // Loaded rows computed with other tables or settings of the same population: asked the same
    // way, for the rows still in the table (the operator may have deleted them since).
    if (m_rowsNotFromTables.empty())
        return true;
    m_rowsNotFromTables = results::rowsNotFromTables(m_table, m_grid, m_format);
    if (m_rowsNotFromTables.empty())
        return true;
    if (m_dialogs.question(this, tr("Внимание"), WindowTexts::rowsNotFromTablesQuestion(m_rowsNotFromTables))
        != Answer::Yes)
        return false;
    recomputeRows();
    return true;
}

freqdb::Population MainWindow::rowsPopulation() const
{
    // Loaded rows not recomputed are saved under the population they were computed with.
    return m_rowsPopulation != freqdb::Population::Unset ? m_rowsPopulation : m_populationDialog->Population();
}

void MainWindow::setRecovery(std::unique_ptr<exchange::RecoveryFile> file)
{
    m_recovery = new RecoveryKeeper(
        std::move(file), m_writerFactory, m_dialogs,
        [this] {
            return RecoverySnapshot{&m_grid, cpiLine->text().toStdString(), probabilityLine->text().toStdString(),
                                    rowsPopulation()};
        },
        this);
}

void MainWindow::tableChanged()
{
    if (m_recovery)
        m_recovery->changed();
}

bool MainWindow::takeRecovered(const std::filesystem::path& file)
{
    const exchange::LoadedResults loaded = exchange::loadResultsWorkbook(file, m_reader, m_format);
    takeLoaded(loaded, file);
    if (!loaded.ok)
        return false;
    // The rows are as the crashed window had them: not from a workbook, and not saved.
    setWindowTitle(WindowTexts::caption());
    m_loadedWorkbook.clear();
    m_loadedAt.clear();
    m_unsaved = true;
    return true;
}

} // namespace app
