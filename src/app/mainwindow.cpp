// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/mainwindow.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <exception>

#include "app/aboutdialog.h"
#include "app/dialogs.h"
#include "app/exportcaseload.h"
#include "app/filefilters.h"
#include "app/helpwindow.h"
#include "app/populationdialog.h"
#include "app/recoverykeeper.h"
#include "app/resultline.h"
#include "app/resultsmodel.h"
#include "app/resultsview.h"
#include "app/shortcuts.h"
#include "app/windowtexts.h"
#include "engine/combinedindex.h"
#include "engine/entrycheck.h"
#include "engine/evaluatelocus.h"
#include "exchange/genotypeworkbook.h"
#include "exchange/loadedresults.h"
#include "exchange/resultsworkbookreader.h"
#include "exchange/resultsworkbookwriter.h"
#include "exchange/workbooklayout.h"
#include "freqdb/datafiles.h"
#include "freqdb/datafolder.h"
#include "freqdb/locusloader.h"
#include "report/casereport.h"
#include "report/reportpdf.h"
#include "results/genotyperow.h"
#include "results/stalerows.h"
#include "text/shorttext.h"

namespace app {

namespace {

// Thrown from the load's progress when the operator pressed "Отмена" on the notice.
struct LoadStopped {};

const char* const kCaption = "Paternity Index";
const char* const kHelpMissing = "Невозможно загрузить файл справки";

// The grid's column widths are G x k / 489 for its width G (489 at the design size).
constexpr int kDesignGridWidth = 489;
constexpr int kColumnFactors[results::kColumnCount] = {20, 65, 110, 90, 90, 35, 50};
// priorLabel ends where priorField begins: both follow 45 x W / 100, 153 pixels apart.
constexpr int kLabelRoom = 149;

QString qs(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string utf8(const QString& text)
{
    return text.toStdString();
}

std::filesystem::path toPath(const QString& path)
{
    return std::filesystem::path(path.toStdU16String());
}

QString fromPath(const std::filesystem::path& path)
{
    return QString::fromStdU16String(path.u16string());
}

void showResultLine(ResultLine* field, const std::string& text)
{
    field->showLine(QString::fromStdString(text));
}

QComboBox* makeList(QWidget* parent, int left, int top, int width)
{
    auto* list = new QComboBox(parent);
    list->setGeometry(left, top, width, 22);
    list->setMaxVisibleItems(20);
    return list;
}

QGroupBox* makeGroup(QWidget* parent, const QString& title, const QRect& geometry)
{
    auto* group = new QGroupBox(title, parent);
    group->setGeometry(geometry);
    return group;
}

QLabel* alleleCaptions(QGroupBox* group, const QString& text)
{
    auto* label = new QLabel(text, group);
    label->move(10, 16);
    label->adjustSize();
    return label;
}

} // namespace

MainWindow::MainWindow(const text::NumberFormat& format, Dialogs& dialogs, const automation::WorkbookReader& reader,
                       WriterFactory writerFactory, QWidget* parent)
    : QMainWindow(parent), m_format(format), m_dialogs(dialogs), m_reader(reader),
      m_writerFactory(std::move(writerFactory))
{
    setWindowTitle(qs(kCaption));
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

void MainWindow::buildControls()
{
    auto* client = new QWidget(this);
    setCentralWidget(client);

    locusGroup = makeGroup(client, tr("Локус"), QRect(0, 8, 150, 49));
    locusBox = makeList(locusGroup, 8, 18, 129);

    fatherGroup = makeGroup(client, tr("Предполагаемый отец"), QRect(0, 64, 150, 65));
    alleleCaptions(fatherGroup, tr("Аллель 1     Аллель 2"));
    fatherAllele1Box = makeList(fatherGroup, 8, 34, 64);
    fatherAllele2Box = makeList(fatherGroup, 79, 34, 65);

    childGroup = makeGroup(client, tr("Ребенок"), QRect(0, 136, 150, 73));
    alleleCaptions(childGroup, tr("Аллель 1     Аллель 2"));
    childAllele1Box = makeList(childGroup, 8, 34, 64);
    childAllele2Box = makeList(childGroup, 79, 34, 65);

    motherGroup = makeGroup(client, tr("Мать"), QRect(0, 208, 150, 65));
    alleleCaptions(motherGroup, tr("Аллель 1    Аллель 2"));
    motherAllele1Box = makeList(motherGroup, 8, 34, 64);
    motherAllele2Box = makeList(motherGroup, 79, 34, 65);

    for (QComboBox* list :
         {fatherAllele1Box, fatherAllele2Box, childAllele1Box, childAllele2Box, motherAllele1Box, motherAllele2Box})
        list->setEnabled(false);
    connect(locusBox, &QComboBox::activated, this, [this] { guarded([this] { locusChosen(); }); });

    resultsView = new ResultsView(client);
    resultsView->setGeometry(157, 8, 489, 265);
    m_model = new ResultsModel(m_grid, this);
    resultsView->setModel(m_model);
    // The header texts are as long as the narrow design columns allow: a pixel smaller.
    QFont headerFont = font();
    headerFont.setPixelSize(10);
    resultsView->horizontalHeader()->setFont(headerFont);
    connect(resultsView, &ResultsView::pressed, this,
            [this](Qt::MouseButton button, QPoint clientPoint, QPoint globalPoint) {
                guarded([&] { gridPressed(button, clientPoint, globalPoint); });
            });
    connect(resultsView, &ResultsView::markKeyPressed, this, [this](int row) { guarded([&] { toggleMark(row); }); });

    cpiLine = new ResultLine(client);
    cpiLine->setGeometry(8, 280, 305, 21);
    probabilityLine = new ResultLine(client);
    probabilityLine->setGeometry(312, 280, 329, 21);
    priorLabel = new QLabel(tr("Априорная вероятность РР ="), client);
    // 12 pixels high as designed, smaller where the font is too wide for the room left of priorField.
    QFont labelFont = priorLabel->font();
    for (int pixels = 12; pixels >= 9; --pixels) {
        labelFont.setPixelSize(pixels);
        if (QFontMetrics(labelFont).horizontalAdvance(priorLabel->text()) <= kLabelRoom)
            break;
    }
    priorLabel->setFont(labelFont);
    priorLabel->move(160, 307);
    priorLabel->adjustSize();
    priorField = new QLineEdit(qs(m_format.general(0.5L)), client);
    priorField->setGeometry(312, 304, 73, 21);
    // The lab's settings in force, in the free room right of the prior field; shown only when a
    // setting is on, so a lab without settings sees the window as it always was.
    settingsLabel = new QLabel(client);
    settingsLabel->setVisible(false);
    QFont settingsFont = font();
    settingsFont.setPixelSize(10);
    settingsLabel->setFont(settingsFont);
    // What the operator should know about where the tables came from (an updated installed
    // table, the lab's own in place of an installed one, loci left out); shown only then.
    dataNoteLabel = new QLabel(client);
    dataNoteLabel->setVisible(false);
    dataNoteLabel->setTextFormat(Qt::PlainText); // file names may hold '<'
    dataNoteLabel->setFont(settingsFont);

    setTabOrder(locusGroup, fatherGroup);
    setTabOrder(locusBox, fatherAllele1Box);
    setTabOrder(fatherAllele1Box, fatherAllele2Box);
    setTabOrder(fatherAllele2Box, childAllele1Box);
    setTabOrder(childAllele1Box, childAllele2Box);
    setTabOrder(childAllele2Box, motherAllele1Box);
    setTabOrder(motherAllele1Box, motherAllele2Box);
    setTabOrder(motherAllele2Box, resultsView);
    setTabOrder(resultsView, cpiLine);
    setTabOrder(cpiLine, probabilityLine);
    setTabOrder(probabilityLine, priorField);
}

void MainWindow::buildMenus()
{
    auto command = [this](QAction* action, void (MainWindow::*handler)()) {
        connect(action, &QAction::triggered, this,
                [this, handler] { guarded([this, handler] { (this->*handler)(); }); });
    };
    QMenuBar* bar = menuBar();
    calculateAction = bar->addAction(tr("Рассчитать"));
    populationAction = bar->addAction(tr("Популяция"));
    combineAction = bar->addAction(tr("Перемножить"));
    clearAction = bar->addAction(tr("Очистить"));
    saveAction = bar->addAction(tr("Сохранить"));
    QMenu* load = bar->addMenu(tr("Загрузить"));
    loadResultsAction = load->addAction(tr("Результаты"));
    loadGenotypesAction = load->addAction(tr("Генотипы и рассчитать LR"));
    helpAction = bar->addAction(tr("Справка"));
    aboutAction = bar->addAction(tr("О программе"));
    command(calculateAction, &MainWindow::calculate);
    command(populationAction, &MainWindow::choosePopulation);
    command(combineAction, &MainWindow::multiply);
    command(clearAction, &MainWindow::clearCase);
    command(saveAction, &MainWindow::save);
    command(loadResultsAction, &MainWindow::loadResults);
    command(loadGenotypesAction, &MainWindow::loadGenotypes);
    command(helpAction, &MainWindow::showHelp);
    command(aboutAction, &MainWindow::showAbout);
    buildDataMenu();

    load->setFont(font());
    m_popup = new QMenu(this);
    m_popup->setFont(font());
    selectAction = m_popup->addAction(tr("Выбрать"));
    deleteAction = m_popup->addAction(tr("Удалить"));
    command(selectAction, &MainWindow::selectClickedRow);
    command(deleteAction, &MainWindow::deleteClickedRow);
}

void MainWindow::guarded(const std::function<void()>& command)
{
    try {
        command();
    } catch (const std::exception& error) {
        m_dialogs.error(isVisible() ? this : nullptr, QString::fromUtf8(error.what()));
    }
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
        m_dialogs.error(m_opened ? this : nullptr, QString::fromStdString(loaded.message));
        loadStopped();
        return;
    }

    m_table = std::move(loaded.table);
    m_workDir = workDir;
    m_data = *data.data;
    showSettings();
    showDataNotes(data.notes, loaded.notes);
    m_populationDialog->setPopulation(population);
    m_grid.WriteHeader();

    if (!m_opened) {
        m_grid.setResultCount(0);
        resetEntryPanel();
        refreshGrid();
        m_opened = true;
        centreOnScreen();
        show();
        activateWindow();
        locusBox->setFocus();
        if (m_recovery)
            m_recovery->offer(this, [this](const std::filesystem::path& file) { return takeRecovered(file); });
        return;
    }
    resetEntryPanel();
    recomputeRows();
}

void MainWindow::recomputeRows()
{
    // Rows are rewritten in place from their locus name and genotypes; numbers, names and marks
    // stay. A row the new table cannot evaluate shows the reason and no LR.
    const int count = m_grid.ResultCount();
    for (int row = 1; row <= count; ++row) {
        const engine::LocusOutcome outcome = results::evaluateGenotypeRow(
            m_table, m_grid.cell(row, results::kColumnLocus), m_grid.RowGenotypes(row), m_format);
        m_grid.applyOutcome(row, outcome);
    }
    m_rowsPopulation = freqdb::Population::Unset;
    m_rowsNotFromTables.clear();
    emptyResultLines();
    refreshGrid();
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

void MainWindow::emptyResultLines()
{
    // Every change to the rows or their marks passes here.
    m_changedSinceLoad = true;
    m_unsaved = true;
    tableChanged();
    for (QLineEdit* field : {cpiLine, probabilityLine}) {
        field->clear();
        field->setToolTip(QString());
    }
}

void MainWindow::resetEntryPanel()
{
    emptyResultLines();
    locusBox->clear();
    for (std::uint8_t k = 1; k <= m_table.LocusCount(); ++k)
        locusBox->addItem(QString::fromStdString(m_table.record(k).Name));
    locusBox->setCurrentIndex(-1);
    const std::array<QComboBox*, 6> alleleLists
        = {fatherAllele1Box, fatherAllele2Box, childAllele1Box, childAllele2Box, motherAllele1Box, motherAllele2Box};
    for (QComboBox* list : alleleLists)
        list->clear();
    for (QComboBox* list : alleleLists)
        list->setEnabled(false);
    // The locus number belonged to the table the lists were filled from.
    m_currentLocus = 0;
}

void MainWindow::locusChosen()
{
    m_currentLocusName = text::cutToCharacters(utf8(locusBox->currentText()), text::kMaxLocusNameChars);
    const std::array<QComboBox*, 6> alleleLists
        = {fatherAllele1Box, fatherAllele2Box, childAllele1Box, childAllele2Box, motherAllele1Box, motherAllele2Box};
    for (QComboBox* list : alleleLists)
        list->clear();
    motherAllele1Box->addItem(qs(freqdb::kNoAlleleLabel));
    motherAllele2Box->addItem(qs(freqdb::kNoAlleleLabel));
    // Every locus of that name contributes its labels; the last one is the current locus.
    for (std::uint8_t k = 1; k <= m_table.LocusCount(); ++k) {
        const freqdb::LocusRecord& record = m_table.record(k);
        if (record.Name != m_currentLocusName)
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
    if (m_grid.ResultCount() >= results::kLastDataRow) {
        m_dialogs.information(this, WindowTexts::tableFull());
        return;
    }
    engine::EntryTexts entry;
    const std::array<QComboBox*, 6> order
        = {fatherAllele1Box, fatherAllele2Box, childAllele1Box, childAllele2Box, motherAllele1Box, motherAllele2Box};
    for (std::size_t i = 0; i < order.size(); ++i)
        entry.texts[i] = utf8(order[i]->currentText());
    const freqdb::LocusRecord& locus = m_table.record(m_currentLocus);
    const engine::EntryProblem problem = engine::CheckEntry(entry, locus);
    if (problem != engine::EntryProblem::None) {
        m_dialogs.information(this, qs(engine::entryMessage(problem)));
        return;
    }
    if (!rowsOfChosenPopulation())
        return;
    auto index = [&](std::size_t i) { return m_table.AlleleIndexOf(m_currentLocus, entry.texts[i]); };
    const std::uint8_t f1 = index(0), f2 = index(1), c1 = index(2), c2 = index(3), m1 = index(4), m2 = index(5);
    auto cut = [&](std::size_t i) { return text::cutToCharacters(entry.texts[i], text::kMaxLabelChars); };
    results::RowGenotype genotype{cut(4), cut(5), cut(2), cut(3), cut(0), cut(1)};
    const int row = m_grid.AppendRow(m_currentLocusName, std::move(genotype));
    m_grid.applyOutcome(row, engine::EvaluateLocus(locus, f1, f2, m1, m2, c1, c2, m_format, m_table.settings()));
    emptyResultLines();
    refreshGrid();
    resultsView->scrollTo(m_model->index(row - 1, 0));
}

void MainWindow::multiply()
{
    if (!rowsOfChosenPopulation())
        return;
    std::vector<engine::CombinedIndexRow> rows;
    for (int row = 1; row <= m_grid.ResultCount(); ++row)
        rows.push_back({m_grid.cell(row, results::kColumnNumber), m_grid.cell(row, results::kColumnLr),
                        m_grid.cell(row, results::kColumnMark)});
    const engine::CombinedIndexResult result = engine::CombineIndex(rows, utf8(priorField->text()), m_format);
    if (result.priorReset)
        priorField->setText(qs(m_format.general(0.5L)));
    switch (result.status) {
    case engine::CombinedIndexStatus::Ok:
        showResultLine(cpiLine, result.cpiText);
        showResultLine(probabilityLine, result.probabilityText);
        m_unsaved = true;
        tableChanged();
        break;
    case engine::CombinedIndexStatus::NoSelection:
    case engine::CombinedIndexStatus::BadPrior:
        m_dialogs.information(this, QString::fromStdString(result.message));
        break;
    case engine::CombinedIndexStatus::Undefined:
        // The probability of the previous combination does not belong beside this CPI.
        showResultLine(cpiLine, result.cpiText);
        showResultLine(probabilityLine, std::string());
        tableChanged();
        m_dialogs.error(this, QString::fromStdString(result.message));
        break;
    case engine::CombinedIndexStatus::BadLr:
        m_dialogs.error(this, QString::fromStdString(result.message));
        break;
    }
}

void MainWindow::clearCase()
{
    // Rows not yet in a workbook are not wiped by one click: the question of close and load.
    if (m_grid.ResultCount() > 0 && m_unsaved) {
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
    m_grid.EmptyAllRows();
    resetEntryPanel();
    setWindowTitle(qs(kCaption));
    m_loadedWorkbook.clear();
    m_loadedSamples.clear();
    m_loadedAt.clear();
    m_rowsPopulation = freqdb::Population::Unset;
    m_rowsNotFromTables.clear();
    resultsView->clearSelection();
    refreshGrid();
    resultsView->scrollToTop();
}

void MainWindow::save()
{
    saveResults();
}

MainWindow::Saved MainWindow::saveResults()
{
    const QString proposed = fromPath(exchange::proposedSaveName(m_loadedWorkbook, m_workDir));
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
            exchange::saveResultsWorkbook(toPath(name), m_grid, utf8(cpiLine->text()), utf8(probabilityLine->text()),
                                          rowsPopulation(), *writer);
        }
    } catch (const std::exception& error) {
        m_dialogs.error(this, QString::fromUtf8(error.what()));
        return Saved::Nothing;
    }
    m_dialogs.information(this, qs(exchange::kSavedMessage));
    if (report)
        return Saved::Report;
    m_unsaved = false;
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
    inputs.grid = &m_grid;
    inputs.cpiLine = utf8(cpiLine->text());
    inputs.probabilityLine = utf8(probabilityLine->text());
    inputs.population = m_populationDialog->Population();
    inputs.table = &m_table;
    // The lab's folder over the installed one is named with both: its tables come from both.
    inputs.dataFolder = m_data.layered() ? std::filesystem::path(m_data.shown()) : m_data.folder;
    inputs.source = m_loadedWorkbook;
    inputs.sourceLoadedAt = m_loadedAt;
    inputs.sourceChanged = m_changedSinceLoad;
    inputs.sourceSamples = m_loadedSamples;
    inputs.format = &m_format;
    report::writeReportPdf(report::describeCase(inputs, report::currentDateTimeText()), path);
}

bool MainWindow::offerToSave(const QString& title)
{
    if (m_grid.ResultCount() == 0)
        return true;
    if (m_dialogs.question(this, title, qs(exchange::kSaveChangesQuestion)) == Answer::Yes)
        return saveBeforeLosingRows();
    return true;
}

void MainWindow::takeLoaded(const exchange::LoadedResults& loaded, const std::filesystem::path& path)
{
    if (!loaded.ok) {
        m_dialogs.error(this, QString::fromStdString(loaded.error));
        return;
    }
    resetEntryPanel();
    m_grid = loaded.grid;
    // A results workbook brings back the result lines of its rows; a genotype workbook none.
    if (!loaded.cpiLine.empty())
        showResultLine(cpiLine, loaded.cpiLine);
    if (!loaded.probabilityLine.empty())
        showResultLine(probabilityLine, loaded.probabilityLine);
    setWindowTitle(QString::fromStdString(loaded.caption));
    m_loadedWorkbook = path;
    m_loadedSamples = loaded.sourceSamples;
    m_loadedAt = report::currentDateTimeText();
    m_changedSinceLoad = false;
    m_unsaved = false;
    m_rowsPopulation = loaded.statedPopulation != m_populationDialog->Population() ? loaded.statedPopulation
                                                                                   : freqdb::Population::Unset;
    m_rowsNotFromTables.clear();
    resultsView->clearSelection();
    refreshGrid();
    resultsView->scrollToTop();
    QStringList notes;
    for (const std::string& note : loaded.notes)
        notes << QString::fromStdString(note);
    // Loaded rows keep the texts they were saved with; the operator must know when they were not
    // computed with the frequencies now chosen, before saving or reporting them as such.
    if (loaded.statedPopulation != freqdb::Population::Unset
        && loaded.statedPopulation != m_populationDialog->Population())
        notes << QString::fromStdString(
            exchange::otherPopulationNote(loaded.statedPopulation, m_populationDialog->Population()));
    else if (!(m_rowsNotFromTables = results::rowsNotFromTables(m_table, m_grid, m_format)).empty())
        notes << WindowTexts::rowsNotFromTablesNote(m_rowsNotFromTables);
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
    takeLoaded(exchange::loadResultsWorkbook(toPath(name), m_reader, m_format), toPath(name));
}

void MainWindow::loadGenotypes()
{
    if (!offerToSave(tr("Вопрос")))
        return;
    const QString name = m_dialogs.openGenotypesFileName(this, fromPath(m_workDir));
    if (name.isEmpty())
        return;
    // A genotyping export (any file that is no workbook) first asks for its persons.
    if (profiles::isGenotypeExportFile(toPath(name))) {
        if (auto loaded = loadExportCase(this, m_dialogs, toPath(name), m_table, m_format))
            takeLoaded(*loaded, toPath(name));
        return;
    }
    takeLoaded(exchange::evaluateGenotypeWorkbook(toPath(name), m_reader, m_table, m_format), toPath(name));
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
        if (row < 1 || row > m_grid.ResultCount())
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
    if (row < 1 || row > m_grid.ResultCount())
        return;
    m_grid.ToggleMark(row);
    emptyResultLines();
    refreshGrid();
}

void MainWindow::selectClickedRow()
{
    toggleMark(m_clickedRow);
}

void MainWindow::deleteClickedRow()
{
    if (m_clickedRow < 1 || m_clickedRow > m_grid.ResultCount())
        return;
    m_grid.DeleteRow(m_clickedRow);
    if (m_grid.ResultCount() == 0)
        m_rowsPopulation = freqdb::Population::Unset;
    emptyResultLines();
    resultsView->clearSelection();
    refreshGrid();
}

void MainWindow::refreshGrid()
{
    m_model->refresh();
}

void MainWindow::layOutControls()
{
    const int w = width();
    const int h = height();
    const int gridWidth = w - 170;
    resultsView->resize(gridWidth, h - 107);
    priorField->move(priorField->x(), h - 68);
    cpiLine->move(cpiLine->x(), h - 92);
    probabilityLine->move(probabilityLine->x(), h - 92);
    cpiLine->resize(45 * w / 100 - 10, cpiLine->height());
    probabilityLine->resize(55 * w / 100 - 10, probabilityLine->height());
    probabilityLine->move(45 * w / 100 - 2, probabilityLine->y());
    priorField->move(45 * w / 100 - 2, priorField->y());
    priorLabel->move(45 * w / 100 - 155, h - 65);
    const int settingsLeft = priorField->x() + priorField->width() + 8;
    settingsLabel->setGeometry(settingsLeft, h - 68, std::max(0, w - settingsLeft - 10), priorField->height());
    dataNoteLabel->setGeometry(cpiLine->x(), h - 45, std::max(0, w - cpiLine->x() - 10), 14);
    // std::nearbyint rounds halves to the even neighbour in the default rounding mode. The view
    // widens a column of numbers beyond its share where a text needs it (columnfit.h).
    ColumnWidths widths{};
    for (int column = 0; column < results::kColumnCount; ++column)
        widths[static_cast<std::size_t>(column)] = static_cast<int>(
            std::nearbyint(static_cast<double>(gridWidth) * kColumnFactors[column] / kDesignGridWidth));
    resultsView->setRuleWidths(widths);
}

void MainWindow::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    layOutControls();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // Results the operator has not saved are not dropped without a word.
    if (m_grid.ResultCount() > 0) {
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

void MainWindow::centreOnScreen()
{
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
}

} // namespace app
