// SPDX-License-Identifier: GPL-3.0-or-later
// MainWindow's ties to the tables and the lab's data, and to the recovery of unsaved work: the
// load of the tables behind the loading notice, the menu "Данные", the reload after an import or
// new settings, the end of a load that failed or was stopped, the settings and data notes lines,
// the questions before stale rows meet others, and the recovery file's wiring.
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QStringList>

#include "app/datamenu.h"
#include "app/dialogs.h"
#include "app/mainwindow.h"
#include "app/populationdialog.h"
#include "app/qtconversions.h"
#include "app/recoverykeeper.h"
#include "app/windowtexts.h"
#include "exchange/recoveryfile.h"
#include "freqdb/datafolder.h"
#include "freqdb/locusloader.h"

namespace app {

namespace {

// Thrown from the load's progress when the operator pressed "Отмена" on the notice.
struct LoadStopped {};

} // namespace

void MainWindow::loadTablesAndShow()
{
    const freqdb::Population population = m_populationDialog->chosenPopulation();
    m_populationDialog->becomeNotice();
    m_populationDialog->show();
    QCoreApplication::processEvents();

    // WorkDir stays the current directory (the file dialogs start there); the data folder is
    // data/ below it when that exists, else the lab's own or the installed one.
    const std::filesystem::path workDir = toPath(QDir::currentPath());
    const freqdb::DataFolderLookup data = freqdb::findDataFolder(freqdb::dataFolderPlaces(workDir));
    freqdb::LoadResult loaded;
    try {
        if (!data.data) {
            loaded.status = freqdb::LoadStatus::FilesNotFound;
            loaded.message = freqdb::dataFolderMissingMessage(data.lookedIn);
        } else {
            loaded = freqdb::LoadDataFolder(
                *data.data, population, m_reader, m_format, [this](int done, int total, const std::string& locusName) {
                    m_populationDialog->setProgress(done, total, QString::fromStdString(locusName));
                    // The notice is modal: its "Отмена" is the only input.
                    QCoreApplication::processEvents();
                    if (m_populationDialog->loadCancelRequested())
                        throw LoadStopped{};
                });
        }
    } catch (const LoadStopped&) {
        // Stopped by the operator: the tables, rows and population stay as they were.
        m_populationDialog->hide();
        loadStopped();
        return;
    } catch (const std::exception& error) {
        // An unreadable data folder: reported like any failed load, never with the notice left up.
        loaded.status = freqdb::LoadStatus::Failed;
        loaded.message = error.what();
    }
    m_populationDialog->hide();

    if (loaded.status != freqdb::LoadStatus::Loaded) {
        if (!loaded.missingSheet.empty() && data.data) {
            offerTablesImport(population, loaded.missingSheet, workDir, data.data->shown());
            return;
        }
        m_dialogs.error(m_opened ? this : nullptr, QString::fromStdString(loaded.message));
        loadStopped();
        return;
    }

    // The rows are recomputed with the new tables; before the first load there are none.
    m_case.takeTables(std::move(loaded.table), population);
    m_workDir = workDir;
    m_data = *data.data;
    showSettings();
    showDataNotes(data.notes, loaded.notes);
    m_populationDialog->setPopulation(population);
    resetEntryPanel();
    showCase();

    if (!m_opened) {
        m_opened = true;
        centreOnScreen();
        show();
        activateWindow();
        locusBox->setFocus();
        if (m_recovery)
            m_recovery->offer(this, [this](const std::filesystem::path& file) { return takeRecovered(file); });
    }
}

void MainWindow::buildDataMenu()
{
    m_dataMenu = new DataMenu(
        menuBar(), this, m_dialogs, m_reader,
        {[this] { return m_workDir; }, [this] { return m_data.folder; }, [this] { return m_case.table().settings(); },
         [this] { reloadTables(); },
         [this] {
             return DataMenu::TablesInUse{&m_case.table(), &m_data, m_populationDialog->Population(), &m_format};
         },
         [this] { return m_case.prior(); }});
}

void MainWindow::reloadTables()
{
    m_populationDialog->showChoice(m_populationDialog->Population());
    loadTablesAndShow();
}

void MainWindow::offerTablesImport(freqdb::Population population, const std::string& refusal,
                                   const std::filesystem::path& workDir, const std::string& dataFolder)
{
    const QString name = QString::fromStdString(std::string(freqdb::populationName(population)));
    const QString code = QString::fromStdString(std::string(freqdb::populationCode(population)));
    // The failed load is reported as every failed load is; the way on is offered after it.
    m_dialogs.error(m_opened ? this : nullptr, QString::fromStdString(refusal));
    const QString text
        = tr("Для популяции «%1» в папке данных нет таблиц частот. «Импорт таблицы частот…» внесёт таблицу "
             "лаборатории сейчас (сначала проверка, затем запись в папку данных), и частоты загрузятся снова. "
             "Можно и положить в папку %2 книги локусов с листами «<локус>-%3», или выбрать другую популяцию.")
              .arg(name, QString::fromStdString(dataFolder), code)
          + "\n\n" + tr("Позже таблицу можно внести из меню «Данные» → «Импорт таблицы частот…».");
    const int answer = m_dialogs.choose(m_opened ? this : nullptr, tr("Нет таблиц частот"), text,
                                        {tr("Импорт таблицы частот…"), tr("Выбрать другую популяцию")});
    if (answer == 0) {
        // The import writes into the folder this load looked in; file dialogs start where it does.
        if (m_workDir.empty())
            m_workDir = workDir;
        if (m_dataMenu->importTableFor(population, false)) {
            loadTablesAndShow();
            return;
        }
    }
    loadStopped();
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
    settingsLabel->showSettings(m_case.table().settings());
}

bool MainWindow::rowsOfChosenPopulation()
{
    const casestate::RecomputeNeed need = m_case.recomputeNeed();
    QString question;
    switch (need.kind) {
    case casestate::RecomputeNeed::Kind::None:
        return true;
    case casestate::RecomputeNeed::Kind::OtherPopulation:
        question = WindowTexts::otherPopulationRows(need.rowsPopulation, m_case.population());
        break;
    case casestate::RecomputeNeed::Kind::OtherTables:
        question = WindowTexts::rowsNotFromTablesQuestion(need.rows);
        break;
    }
    if (m_dialogs.question(this, tr("Внимание"), question) != Answer::Yes)
        return false;
    m_case.recompute();
    showCase();
    return true;
}

void MainWindow::setRecovery(std::unique_ptr<exchange::RecoveryFile> file)
{
    m_recovery = new RecoveryKeeper(
        std::move(file), m_writerFactory, m_dialogs, [this] { return m_case.recoveryContents(); }, this);
}

bool MainWindow::takeRecovered(const std::filesystem::path& file)
{
    const exchange::RecoveredCase recovered = exchange::RecoveryFile::read(file, m_reader, m_format);
    takeLoaded(recovered.results, casestate::RowsSource::Recovered, file);
    if (!recovered.results.ok)
        return false;
    // The prior the ended window's lines were formed with, so the next product uses it too.
    if (!recovered.prior.empty())
        m_case.setPrior(recovered.prior);
    showCase();
    return true;
}

} // namespace app
