// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/mainwindow.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QMenu>
#include <QStringList>
#include <exception>

#include "app/aboutdialog.h"
#include "app/dialogs.h"
#include "app/exportcaseload.h"
#include "app/filefilters.h"
#include "app/helpwindow.h"
#include "app/populationdialog.h"
#include "app/qtconversions.h"
#include "app/recoverykeeper.h"
#include "app/resultline.h"
#include "app/resultsmodel.h"
#include "app/resultsview.h"
#include "app/shortcuts.h"
#include "app/windowtexts.h"
#include "engine/entrycheck.h"
#include "exchange/genotypeworkbook.h"
#include "exchange/loadedresults.h"
#include "exchange/resultsworkbookreader.h"
#include "exchange/resultsworkbookwriter.h"
#include "exchange/workbooklayout.h"
#include "freqdb/datafiles.h"
#include "report/casereport.h"
#include "report/reportpdf.h"
#include "text/shorttext.h"

namespace app {

namespace {

const char* const kHelpMissing = "Невозможно загрузить файл справки";

// A result field shows the case's line; an empty line leaves the field and its tooltip empty.
void showResultLine(ResultLine* field, const std::string& line)
{
    if (utf8(field->text()) == line)
        return;
    if (line.empty()) {
        field->clear();
        field->setToolTip(QString());
        return;
    }
    field->showLine(QString::fromStdString(line));
}

} // namespace

MainWindow::MainWindow(const text::NumberFormat& format, Dialogs& dialogs, const automation::WorkbookReader& reader,
                       WriterFactory writerFactory, QWidget* parent)
    : QMainWindow(parent), m_format(format), m_dialogs(dialogs), m_reader(reader),
      m_writerFactory(std::move(writerFactory)), m_case(format)
{
    setWindowTitle(WindowTexts::caption());
    // The layout is in pixels, so the font is too: 11 pixels is the 8-point design font at 96 dpi.
    QFont windowFont = font();
    windowFont.setPixelSize(11);
    setFont(windowFont);
    buildControls();
    buildMenus();
    assignShortcuts(*this);

    // The population dialog is a window of its own, not a child of this hidden one, so that it
    // can be the first window of the run.
    m_populationDialog = new PopulationDialog;
    connect(m_populationDialog, &PopulationDialog::populationChosen, this,
            [this] { guarded([this] { loadTablesAndShow(); }); });
    connect(m_populationDialog, &PopulationDialog::closedWithoutChoice, this, &MainWindow::populationDialogClosed);
    m_aboutDialog = new AboutDialog(this);

    setMinimumSize(kMinWidth, kMinHeight);
    resize(kStartWidth, kStartHeight);
    layOutControls();
}

MainWindow::~MainWindow()
{
    delete m_populationDialog;
    delete m_help;
}

void MainWindow::guarded(const std::function<void()>& command)
{
    try {
        command();
    } catch (const std::exception& error) {
        m_dialogs.error(isVisible() ? this : nullptr, QString::fromUtf8(error.what()));
    }
    showCase();
}

void MainWindow::showCase()
{
    // The prior changes under the operator's hands, or when "Перемножить" sets a bad one back.
    if (utf8(priorField->text()) != m_case.prior())
        priorField->setText(qs(m_case.prior()));
    if (m_case.revision() == m_shownRevision)
        return;
    m_shownRevision = m_case.revision();
    m_model->refresh();
    showResultLine(cpiLine, m_case.cpiLine());
    showResultLine(probabilityLine, m_case.probabilityLine());
    if (m_recovery)
        m_recovery->changed();
}

void MainWindow::start()
{
    m_populationDialog->becomeChoice(tr("Выберите популяцию"));
    m_populationDialog->setWindowModality(Qt::NonModal);
    m_populationDialog->show();
}

void MainWindow::populationDialogClosed()
{
    // Before the first load the dialog is the whole program; later it only cancels the change.
    if (!m_opened)
        emit quitRequested();
}

void MainWindow::choosePopulation()
{
    const Answer answer = m_dialogs.question(this, tr("Внимание"),
                                             tr("При выборе популяции") + '\n' + tr("значения LR будут пересчитаны")
                                                 + '\n' + '\n' + tr("Вы уверены?"));
    if (answer != Answer::Yes)
        return;
    m_populationDialog->showChoice(m_populationDialog->Population());
    m_populationDialog->becomeChoice(tr("Выбор популяции"));
    m_populationDialog->setWindowModality(Qt::ApplicationModal);
    m_populationDialog->show();
}

void MainWindow::resetEntryPanel()
{
    const freqdb::LocusTable& table = m_case.table();
    locusBox->clear();
    for (std::uint8_t k = 1; k <= table.LocusCount(); ++k)
        locusBox->addItem(QString::fromStdString(table.record(k).Name));
    locusBox->setCurrentIndex(-1);
    for (QComboBox* list :
         {fatherAllele1Box, fatherAllele2Box, childAllele1Box, childAllele2Box, motherAllele1Box, motherAllele2Box}) {
        list->clear();
        list->setEnabled(false);
    }
    // The locus number belonged to the table the lists were filled from.
    m_currentLocus = 0;
}

void MainWindow::locusChosen()
{
    const std::string name = text::cutToCharacters(utf8(locusBox->currentText()), text::kMaxLocusNameChars);
    const std::array<QComboBox*, 6> alleleLists
        = {fatherAllele1Box, fatherAllele2Box, childAllele1Box, childAllele2Box, motherAllele1Box, motherAllele2Box};
    for (QComboBox* list : alleleLists)
        list->clear();
    motherAllele1Box->addItem(qs(freqdb::kNoAlleleLabel));
    motherAllele2Box->addItem(qs(freqdb::kNoAlleleLabel));
    // Every locus of that name contributes its labels; the last one is the current locus.
    const freqdb::LocusTable& table = m_case.table();
    for (std::uint8_t k = 1; k <= table.LocusCount(); ++k) {
        const freqdb::LocusRecord& record = table.record(k);
        if (record.Name != name)
            continue;
        m_currentLocus = k;
        for (int j = 1; j <= record.AlleleCount; ++j)
            for (QComboBox* list : alleleLists)
                list->addItem(QString::fromStdString(record.Labels[static_cast<std::size_t>(j)]));
    }
    for (QComboBox* list : alleleLists) {
        list->setCurrentIndex(-1);
        list->setEnabled(true);
    }
}

void MainWindow::calculate()
{
    // A full table keeps its last row: the operator saves or deletes a row first.
    if (m_case.full()) {
        m_dialogs.information(this, WindowTexts::tableFull());
        return;
    }
    engine::EntryTexts entry;
    const std::array<QComboBox*, 6> order
        = {fatherAllele1Box, fatherAllele2Box, childAllele1Box, childAllele2Box, motherAllele1Box, motherAllele2Box};
    for (std::size_t i = 0; i < order.size(); ++i)
        entry.texts[i] = utf8(order[i]->currentText());
    const engine::EntryProblem problem = engine::CheckEntry(entry, m_case.table().record(m_currentLocus));
    if (problem != engine::EntryProblem::None) {
        m_dialogs.information(this, qs(engine::entryMessage(problem)));
        return;
    }
    if (!rowsOfChosenPopulation())
        return;
    const int row = m_case.addRow(m_currentLocus, entry.texts);
    showCase();
    resultsView->scrollTo(m_model->index(row - 1, 0));
}

void MainWindow::multiply()
{
    if (!rowsOfChosenPopulation())
        return;
    const engine::CombinedIndexResult result = m_case.combine();
    showCase();
    switch (result.status) {
    case engine::CombinedIndexStatus::Ok:
        break;
    case engine::CombinedIndexStatus::NoSelection:
    case engine::CombinedIndexStatus::BadPrior:
        m_dialogs.information(this, QString::fromStdString(result.message));
        break;
    case engine::CombinedIndexStatus::Undefined:
    case engine::CombinedIndexStatus::BadLr:
        m_dialogs.error(this, QString::fromStdString(result.message));
        break;
    }
}

void MainWindow::clearCase()
{
    // Rows not yet in a workbook are not wiped by one click: the question of close and load.
    if (m_case.rowCount() > 0 && m_case.unsaved()) {
        switch (m_dialogs.question(this, tr("Вопрос"), qs(exchange::kSaveChangesQuestion), true)) {
        case Answer::Yes:
            if (!saveBeforeLosingRows())
                return;
            break;
        case Answer::No:
            break;
        case Answer::Cancel:
            return;
        }
    }
    m_case.clear();
    resetEntryPanel();
    setWindowTitle(WindowTexts::caption());
    resultsView->clearSelection();
    showCase();
    resultsView->scrollToTop();
}

void MainWindow::save()
{
    saveResults();
}

MainWindow::Saved MainWindow::saveResults()
{
    const QString proposed = fromPath(exchange::proposedSaveName(m_case.loadedWorkbook(), m_workDir));
    const QString name = m_dialogs.saveFileName(this, proposed);
    if (name.isEmpty())
        return Saved::Nothing;
    // The report states the chosen population and its tables: the rows must be computed with them.
    const bool report = isReportName(name);
    if (report && !rowsOfChosenPopulation())
        return Saved::Nothing;
    if (QFileInfo::exists(name)) {
        const Answer replace = m_dialogs.question(this, tr("Вопрос"), WindowTexts::replaceExisting(name));
        if (replace != Answer::Yes)
            return Saved::Nothing;
    }
    try {
        if (report) {
            writeReport(toPath(name));
        } else {
            std::unique_ptr<automation::WorkbookWriter> writer = m_writerFactory();
            exchange::saveResultsWorkbook(toPath(name), m_case.grid(), m_case.cpiLine(), m_case.probabilityLine(),
                                          m_case.rowsPopulation(), *writer, m_case.loadedExportLines(), {},
                                          &m_case.table().settings());
        }
    } catch (const std::exception& error) {
        m_dialogs.error(this, QString::fromUtf8(error.what()));
        return Saved::Nothing;
    }
    m_dialogs.information(this, qs(exchange::kSavedMessage));
    if (report)
        return Saved::Report;
    m_case.savedInWorkbook();
    if (m_recovery)
        m_recovery->done();
    return Saved::Workbook;
}

bool MainWindow::saveBeforeLosingRows()
{
    const Saved saved = saveResults();
    if (saved == Saved::Report)
        m_dialogs.information(this, WindowTexts::reportIsNoSave());
    return saved == Saved::Workbook;
}

void MainWindow::writeReport(const std::filesystem::path& path) const
{
    report::CaseInputs inputs;
    inputs.grid = &m_case.grid();
    inputs.cpiLine = m_case.cpiLine();
    inputs.probabilityLine = m_case.probabilityLine();
    inputs.population = m_populationDialog->Population();
    inputs.table = &m_case.table();
    // The lab's folder over the installed one is named with both: its tables come from both.
    inputs.dataFolder = m_data.layered() ? std::filesystem::path(m_data.shown()) : m_data.folder;
    inputs.source = m_case.loadedWorkbook();
    inputs.sourceLoadedAt = m_case.loadedAt();
    inputs.sourceChanged = m_case.changedSinceLoad();
    inputs.sourceSamples = m_case.loadedSamples();
    inputs.exportLines = m_case.loadedExportLines();
    inputs.format = &m_format;
    report::writeReportPdf(report::describeCase(inputs, report::currentDateTimeText()), path);
}

bool MainWindow::offerToSave(const QString& title)
{
    if (m_case.rowCount() == 0)
        return true;
    if (m_dialogs.question(this, title, qs(exchange::kSaveChangesQuestion)) == Answer::Yes)
        return saveBeforeLosingRows();
    return true;
}

void MainWindow::takeLoaded(const exchange::LoadedResults& loaded, casestate::RowsSource source,
                            const std::filesystem::path& path)
{
    if (!loaded.ok) {
        m_dialogs.error(this, QString::fromStdString(loaded.error));
        return;
    }
    resetEntryPanel();
    const casestate::LoadNotes said = m_case.take(loaded, source, path, report::currentDateTimeText());
    setWindowTitle(source == casestate::RowsSource::Recovered ? WindowTexts::caption()
                                                              : QString::fromStdString(loaded.caption));
    resultsView->clearSelection();
    showCase();
    resultsView->scrollToTop();
    QStringList notes;
    for (const std::string& note : said.notes)
        notes << QString::fromStdString(note);
    if (said.otherPopulation != freqdb::Population::Unset)
        notes << qs(exchange::otherPopulationNote(said.otherPopulation, m_case.population()));
    else if (!said.staleRows.empty())
        notes << WindowTexts::rowsNotFromTablesNote(said.staleRows);
    if (!notes.isEmpty())
        m_dialogs.information(this, notes.join('\n'));
}

void MainWindow::loadResults()
{
    // The operator asked to save: when that did not happen, the table stays as it is.
    if (!offerToSave(QString()))
        return;
    const QString name = m_dialogs.openFileName(this, fromPath(m_workDir));
    if (name.isEmpty())
        return;
    takeLoaded(exchange::loadResultsWorkbook(toPath(name), m_reader, m_format), casestate::RowsSource::Stored,
               toPath(name));
}

void MainWindow::loadGenotypes()
{
    if (!offerToSave(tr("Вопрос")))
        return;
    const QString name = m_dialogs.openGenotypesFileName(this, fromPath(m_workDir));
    if (name.isEmpty())
        return;
    // Every row is computed now, with the tables in force. A genotyping export (any file that
    // is no workbook) first asks for its persons.
    if (profiles::isGenotypeExportFile(toPath(name))) {
        if (auto loaded = loadExportCase(this, m_dialogs, toPath(name), m_case.table(), m_format))
            takeLoaded(*loaded, casestate::RowsSource::Computed, toPath(name));
        return;
    }
    takeLoaded(exchange::evaluateGenotypeWorkbook(toPath(name), m_reader, m_case.table(), m_format),
               casestate::RowsSource::Computed, toPath(name));
}

void MainWindow::showHelp()
{
    // A laboratory's own help document comes first; the bundled page is the fallback. In the
    // lab's folder laid over the installed one, the installed page is the newest unless the lab
    // wrote its own.
    for (const char* name : {"help.doc", "help.docx", "help.odt", "help.pdf"}) {
        const std::filesystem::path path = freqdb::fileInForce(m_data, name);
        if (!path.empty()) {
            if (!m_dialogs.openDocument(fromPath(path)))
                m_dialogs.error(this, tr(kHelpMissing));
            return;
        }
    }
    if (!m_help)
        m_help = new HelpWindow;
    const std::filesystem::path page = freqdb::fileInForce(m_data, "help.html");
    if (!m_help->showFile(fromPath(page.empty() ? m_data.folder / "help.html" : page)))
        m_dialogs.error(this, tr(kHelpMissing));
}

void MainWindow::showAbout()
{
    m_aboutDialog->open();
}

void MainWindow::gridPressed(Qt::MouseButton button, QPoint clientPoint, QPoint globalPoint)
{
    if (clientPoint.y() <= kHeaderLimitY)
        return;
    const int row = resultsView->gridRowAt(clientPoint.y());
    if (button == Qt::RightButton) {
        m_clickedRow = row;
        if (row < 1 || row > m_case.rowCount())
            return;
        const QModelIndex first = m_model->index(row - 1, 0);
        const QModelIndex last = m_model->index(row - 1, results::kColumnCount - 1);
        resultsView->selectionModel()->select(QItemSelection(first, last), QItemSelectionModel::ClearAndSelect);
        m_popup->popup(globalPoint);
    } else if (button == Qt::LeftButton && clientPoint.x() > kMarkThresholdX) {
        m_clickedRow = row;
        toggleMark(row);
    }
}

void MainWindow::toggleMark(int row)
{
    m_case.toggleMark(row);
}

void MainWindow::selectClickedRow()
{
    toggleMark(m_clickedRow);
}

void MainWindow::deleteClickedRow()
{
    if (m_case.deleteRow(m_clickedRow))
        resultsView->clearSelection();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // Results the operator has not saved are not dropped without a word.
    if (m_case.rowCount() > 0) {
        switch (m_dialogs.question(this, tr("Вопрос"), qs(exchange::kSaveChangesQuestion), true)) {
        case Answer::Yes:
            if (!saveBeforeLosingRows()) {
                event->ignore();
                return;
            }
            break;
        case Answer::No:
            break;
        case Answer::Cancel:
            event->ignore();
            return;
        }
    }
    event->accept();
    if (m_recovery)
        m_recovery->done();
    m_populationDialog->hide();
    if (m_help)
        m_help->close();
    emit quitRequested();
}

} // namespace app
