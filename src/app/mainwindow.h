// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window: the entry panel on the left, the results grid on the right, the combined
// index fields and the prior field underneath, the main menu on top and the grid's pop-up menu.
// It shows the case (casestate::CaseState: the rows, their marks, the result lines, the tables in
// force and the rules on them) and turns the operator's commands into its calls; entry checks
// come from engine, the workbooks from exchange, the tables from freqdb. Beside the case it keeps
// WorkDir and the data folder; the population dialog (PopulationDialog) holds the population
// chosen.
//
// Its code is in three files: mainwindow.cpp the commands, mainwindowlayout.cpp the controls,
// menus and the resize rule, mainwindowdata.cpp the tables' load, the lab's data and recovery.
//
// Start-up: start() shows the population dialog; its OK runs loadTablesAndShow, which loads the
// locus table behind the loading notice and opens this window on a loaded table only. A failed
// load shows the loader's message and brings the dialog back; a failed reload later keeps the
// previous population, table and results.
#include <QMainWindow>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/resultline.h"
#include "app/settingsline.h"
#include "automation/workbook.h"
#include "automation/workbookwriter.h"
#include "casestate/casestate.h"
#include "freqdb/datafolder.h"
#include "freqdb/locustable.h"
#include "results/resultsgrid.h"
#include "text/numberformat.h"

class QAction;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;

namespace exchange {
struct LoadedResults;
class RecoveryFile;
} // namespace exchange

namespace app {

class DataMenu;
class Dialogs;
class HelpWindow;
class RecoveryKeeper;
class ResultsModel;
class ResultsView;
class PopulationDialog;
class AboutDialog;

using WriterFactory = std::function<std::unique_ptr<automation::WorkbookWriter>()>;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // Window geometry (the window's own size, menu bar included, window manager frame excluded).
    static constexpr int kStartWidth = 659;
    static constexpr int kStartHeight = 378;
    static constexpr int kMinWidth = 659;
    static constexpr int kMinHeight = 375;
    // Grid presses: the header test (default row height 24 + 1) and the mark threshold.
    static constexpr int kHeaderLimitY = 25;
    static constexpr int kMarkThresholdX = 280;

    MainWindow(const text::NumberFormat& format, Dialogs& dialogs, const automation::WorkbookReader& reader,
               WriterFactory writerFactory, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Shows the population dialog, the first window of a run.
    void start();
    // Keeps the case in `file` after every change of the table, and offers the cases of windows
    // that ended without saving once the first table is loaded. Without it nothing is kept.
    void setRecovery(std::unique_ptr<exchange::RecoveryFile> file);
    RecoveryKeeper* recoveryKeeper() const { return m_recovery; }
    DataMenu* dataMenu() const { return m_dataMenu; }
    // Reloads the tables of the population in use (after an import or new settings) and
    // recomputes the rows, as a change of population does.
    void reloadTables();

    // Read access for the tests and the shell.
    const results::ResultsGrid& grid() const { return m_case.grid(); }
    const freqdb::LocusTable& locusTable() const { return m_case.table(); }
    const casestate::CaseState& caseState() const { return m_case; }
    const std::filesystem::path& workDir() const { return m_workDir; }
    const std::filesystem::path& dataDir() const { return m_data.folder; }
    int clickedRow() const { return m_clickedRow; }
    PopulationDialog* populationDialog() const { return m_populationDialog; }
    AboutDialog* aboutDialog() const { return m_aboutDialog; }
    HelpWindow* helpWindow() const { return m_help; }
    QMenu* popupMenu() const { return m_popup; }

    // The controls.
    QGroupBox* locusGroup = nullptr;
    QGroupBox* fatherGroup = nullptr;
    QGroupBox* childGroup = nullptr;
    QGroupBox* motherGroup = nullptr;
    QComboBox* locusBox = nullptr;
    QComboBox* fatherAllele1Box = nullptr;
    QComboBox* fatherAllele2Box = nullptr;
    QComboBox* childAllele1Box = nullptr;
    QComboBox* childAllele2Box = nullptr;
    QComboBox* motherAllele1Box = nullptr;
    QComboBox* motherAllele2Box = nullptr;
    ResultsView* resultsView = nullptr;
    ResultLine* cpiLine = nullptr; // the combined index line
    ResultLine* probabilityLine = nullptr; // the probability line
    QLineEdit* priorField = nullptr; // the a-priori probability
    QLabel* priorLabel = nullptr;
    SettingsLine* settingsLabel = nullptr; // the lab's settings in force, when any is on
    QLabel* dataNoteLabel = nullptr; // notes on where the tables came from, when there are any

    // Menu items, in menu order.
    QAction* calculateAction = nullptr; // "Рассчитать"
    QAction* populationAction = nullptr; // "Популяция"
    QAction* combineAction = nullptr; // "Перемножить"
    QAction* clearAction = nullptr; // "Очистить"
    QAction* saveAction = nullptr; // "Сохранить"
    QAction* loadResultsAction = nullptr; // "Загрузить" > "Результаты"
    QAction* loadGenotypesAction = nullptr; // "Загрузить" > "Генотипы и рассчитать LR"
    QAction* helpAction = nullptr; // "Справка"
    QAction* aboutAction = nullptr; // "О программе"
    QAction* selectAction = nullptr; // pop-up "Выбрать"
    QAction* deleteAction = nullptr; // pop-up "Удалить"

    // Handlers.
    void calculate();
    void choosePopulation();
    void multiply();
    void clearCase();
    void save();
    void loadResults();
    void loadGenotypes();
    void showHelp();
    void showAbout();
    void locusChosen();
    void gridPressed(Qt::MouseButton button, QPoint clientPoint, QPoint globalPoint);
    void layOutControls();
    void loadTablesAndShow();
    // The population has no tables in the data folder: after the load's error, its import is
    // offered where the operator is, then the load again; or the population is chosen again.
    void offerTablesImport(freqdb::Population population, const std::string& refusal,
                           const std::filesystem::path& workDir, const std::string& dataFolder);
    void resetEntryPanel();

signals:
    // The run is over: the population dialog was closed before the first OK, or this window
    // was closed.
    void quitRequested();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void buildMenus();
    void buildDataMenu(); // "Данные", after the other menu items
    void selectClickedRow();
    void deleteClickedRow();
    void showSettings();
    void showDataNotes(const std::vector<std::string>& lookup, const std::vector<std::string>& load);
    // After a load that failed or was stopped: the choice again before the first load, else the
    // confirmed population shown on the dialog.
    void loadStopped();
    void populationDialogClosed();
    // Runs a command; an exception it does not handle goes to the error box. Afterwards the
    // window shows the case as the command left it.
    void guarded(const std::function<void()>& command);
    // Shows the case: the grid, the two result lines, the prior; a change goes to the recovery file.
    void showCase();
    // The save command. A name ending in .pdf gets the case report instead of the workbook.
    enum class Saved { Nothing, Report, Workbook };
    Saved saveResults();
    void writeReport(const std::filesystem::path& path) const;
    // "Сохранить изменения?" before a load replaces the table; false when the operator asked
    // to save and the rows were not saved in a workbook (a report cannot be loaded back), so the
    // load must not go on.
    bool offerToSave(const QString& title);
    // The answer to "Сохранить изменения?" with Yes: true only when the rows went into a workbook.
    bool saveBeforeLosingRows();
    // Rows of another population, or of other tables or settings, never meet new rows in an
    // index or a report: before such a command the operator is asked to recompute them. False
    // when they stay as they are and the command must not go on.
    bool rowsOfChosenPopulation();
    // Toggles the mark of a filled row (pop-up "Выбрать", a left press, Space in the grid).
    void toggleMark(int row);
    // Replaces the case by a successfully read file, or reports the failed read.
    void takeLoaded(const exchange::LoadedResults& loaded, casestate::RowsSource source,
                    const std::filesystem::path& path);
    void centreOnScreen();
    // Takes the case of a recovery file into the table, as unsaved rows; false when unreadable.
    bool takeRecovered(const std::filesystem::path& file);

    const text::NumberFormat& m_format;
    Dialogs& m_dialogs;
    const automation::WorkbookReader& m_reader;
    WriterFactory m_writerFactory;

    casestate::CaseState m_case;
    std::uint64_t m_shownRevision = 0; // the case's revision the recovery file follows
    std::uint8_t m_currentLocus = 0; // the locus the allele lists were filled from
    int m_clickedRow = 0;
    std::filesystem::path m_workDir;
    freqdb::DataFolder m_data; // the data folder of the last load: locus workbooks and help
    bool m_opened = false; // the first load succeeded and this window is shown

    ResultsModel* m_model = nullptr;
    QMenu* m_popup = nullptr;
    PopulationDialog* m_populationDialog = nullptr;
    AboutDialog* m_aboutDialog = nullptr;
    HelpWindow* m_help = nullptr;
    RecoveryKeeper* m_recovery = nullptr;
    DataMenu* m_dataMenu = nullptr;
};

} // namespace app
