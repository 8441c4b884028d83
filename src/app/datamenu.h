// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The menu "Данные", after the window's other menu items: the lab's data and settings reached
// from the window.
//   "Импорт таблицы частот…"      the table file, its population and options, the check's summary,
//                                  then the import written as the command writes it and the
//                                  tables reloaded (popimport: the same steps as `import`);
//   "Настройки расчёта…"           settings.ini edited, checked and written, the tables reloaded;
//   "Проверка расчёта (валидация)…" the validation pack run on the tables in use, with progress,
//                                  its protocol saved as a PDF (validation/protocolbuild.h, the
//                                  same protocol as `validate`);
//   "Расчёт архива дел…"           a folder of genotype workbooks evaluated in one run, with
//                                  progress and "Отмена" (archivecommand.h);
//   "Открыть папку данных"         the data folder in the desktop's file manager;
//   "Дело по родственникам…"       a deficiency case evaluated with the tables in use and the
//                                  prior (kinshipdialog.h, the same evaluation as `kinship`).
// Reloading goes through the window (Host::reloadTables), which recomputes the rows as after a
// change of population.
#include <QObject>
#include <filesystem>
#include <functional>

#include "app/archivecommand.h"
#include "automation/workbook.h"
#include "freqdb/datafolder.h"
#include "freqdb/labsettings.h"
#include "freqdb/locustable.h"
#include "freqdb/population.h"
#include "text/numberformat.h"

class QAction;
class QMenu;
class QMenuBar;
class QWidget;

namespace app {

class Dialogs;

class DataMenu : public QObject {
    Q_OBJECT
public:
    // The tables the window calculates with, as the validation needs them.
    struct TablesInUse {
        const freqdb::LocusTable* table = nullptr; // with the settings in force
        const freqdb::DataFolder* data = nullptr; // where it was loaded from
        freqdb::Population population = freqdb::Population::Unset;
        const text::NumberFormat* format = nullptr;
    };

    struct Host {
        std::function<std::filesystem::path()> workDir; // where file dialogs start
        std::function<std::filesystem::path()> dataFolder; // the folder of the tables in use
        std::function<freqdb::LabSettings()> settings; // the settings in force
        std::function<void()> reloadTables; // reload and recompute, as on a population change
        std::function<TablesInUse()> tablesInUse;
        std::function<std::string()> prior; // the prior field's text, for the archive run
    };

    DataMenu(QMenuBar* bar, QWidget* window, Dialogs& dialogs, const automation::WorkbookReader& reader, Host host);

    void importTable();
    // The import with `population` shown as the table's; the tables reloaded after it when
    // `reload`. True when the table was written.
    bool importTableFor(freqdb::Population population, bool reload);
    void editSettings();
    void validateCalculation();
    void runArchive();
    void openDataFolder();
    void kinshipCase();

    QMenu* menu = nullptr;
    QAction* importAction = nullptr; // "Импорт таблицы частот…"
    QAction* settingsAction = nullptr; // "Настройки расчёта…"
    QAction* validationAction = nullptr; // "Проверка расчёта (валидация)…"
    QAction* archiveAction = nullptr; // "Расчёт архива дел…"
    QAction* openFolderAction = nullptr; // "Открыть папку данных"
    QAction* kinshipAction = nullptr; // "Дело по родственникам…"

private:
    // The folder settings are written into, made when missing: the one `import` writes into.
    std::filesystem::path writableFolder();

    QWidget* m_window;
    Dialogs& m_dialogs;
    const automation::WorkbookReader& m_reader;
    Host m_host;
};

} // namespace app
