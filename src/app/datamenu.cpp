// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/datamenu.h"

#include <QAction>
#include <QCoreApplication>
#include <QDate>
#include <QMenu>
#include <QMenuBar>
#include <QProgressDialog>
#include <QToolButton>
#include <algorithm>
#include <exception>

#include "app/dialogs.h"
#include "app/importoptionsdialog.h"
#include "app/importsummarydialog.h"
#include "app/kinshipdialog.h"
#include "app/settingsdialog.h"
#include "app/validationdialog.h"
#include "app/windowtexts.h"
#include "freqdb/datafolder.h"
#include "freqdb/labsettingswriter.h"
#include "freqdb/loadmessages.h"
#include "popimport/folderupdate.h"
#include "popimport/importrun.h"
#include "popimport/sourcecopy.h"
#include "report/reportpdf.h"
#include "report/validationreport.h"
#include "validation/protocolbuild.h"

namespace app {
namespace {

QString fromPath(const std::filesystem::path& path)
{
    return QString::fromStdU16String(path.u16string());
}

std::filesystem::path toPath(const QString& path)
{
    return std::filesystem::path(path.toStdU16String());
}

const char* const kNothingWritten = "Ничего не записано.";

// Lets the progress dialog draw and take its "Отмена". Until the dialog shows (it waits a moment,
// so short work does not flash it) it is not yet modal: the window's own input waits, so no
// command of the window runs in the middle of the work.
void keepProgressAlive(const QProgressDialog& progress)
{
    QCoreApplication::processEvents(progress.isVisible() ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents);
}

// Thrown from the validation's progress when the operator stops it: the run is abandoned before
// its protocol exists, so no file is written.
struct ValidationStopped {};

} // namespace

DataMenu::DataMenu(QMenuBar* bar, QWidget* window, Dialogs& dialogs, const automation::WorkbookReader& reader,
                   Host host)
    : QObject(window), m_window(window), m_dialogs(dialogs), m_reader(reader), m_host(std::move(host))
{
    menu = bar->addMenu(tr("Данные"));
    menu->setFont(window->font());
    // At the window's design width the menu bar has no room for "Данные": Qt then shows an
    // unlabelled "››" button holding it. The button says what it holds.
    if (auto* more = bar->findChild<QToolButton*>(QStringLiteral("qt_menubar_ext_button")))
        more->setToolTip(tr("Другие пункты меню: «Данные» (импорт таблицы частот, настройки, валидация, архив дел). "
                            "С клавиатуры: F10 и стрелки."));
    importAction = menu->addAction(tr("Импорт таблицы частот…"));
    settingsAction = menu->addAction(tr("Настройки расчёта…"));
    validationAction = menu->addAction(tr("Проверка расчёта (валидация)…"));
    archiveAction = menu->addAction(tr("Расчёт архива дел…"));
    menu->addSeparator();
    openFolderAction = menu->addAction(tr("Открыть папку данных"));
    // After the items above, which keep their places.
    menu->addSeparator();
    kinshipAction = menu->addAction(tr("Дело по родственникам…"));
    auto guarded = [this](void (DataMenu::*command)()) {
        return [this, command] {
            try {
                (this->*command)();
            } catch (const std::exception& error) {
                m_dialogs.error(m_window, QString::fromUtf8(error.what()));
            }
        };
    };
    connect(importAction, &QAction::triggered, this, guarded(&DataMenu::importTable));
    connect(settingsAction, &QAction::triggered, this, guarded(&DataMenu::editSettings));
    connect(validationAction, &QAction::triggered, this, guarded(&DataMenu::validateCalculation));
    connect(archiveAction, &QAction::triggered, this, guarded(&DataMenu::runArchive));
    connect(openFolderAction, &QAction::triggered, this, guarded(&DataMenu::openDataFolder));
    connect(kinshipAction, &QAction::triggered, this, guarded(&DataMenu::kinshipCase));
}

std::filesystem::path DataMenu::writableFolder()
{
    // The folder `import` writes into: the lab's own, laid over the installed read-only one.
    const freqdb::DataFolder data = freqdb::importDataFolder(freqdb::dataFolderPlaces(m_host.workDir()));
    std::filesystem::create_directories(data.folder);
    return data.folder;
}

void DataMenu::importTable()
{
    importTableFor(freqdb::Population::Russians, true);
}

bool DataMenu::importTableFor(freqdb::Population population, bool reload)
{
    const QString name = m_dialogs.openTableFileName(m_window, fromPath(m_host.workDir()));
    if (name.isEmpty())
        return false;
    ImportOptionsDialog options(name, m_window);
    options.choosePopulation(population);
    // Read and planned as `import` does, against the folder it writes into; the check writes
    // nothing, as `import --dry-run`. A refusal stays in the dialog, with the choices made.
    std::optional<popimport::PreparedImport> planned;
    popimport::ImportChoice choice;
    options.check = [&]() -> std::optional<QString> {
        choice = options.choice(toPath(name));
        try {
            planned.emplace(
                popimport::prepareImport(choice, freqdb::dataFolderPlaces(m_host.workDir()), std::nullopt, m_reader));
        } catch (const std::exception& error) { // the import's refusal, or a table that cannot be read
            return QString::fromUtf8(error.what()) + '\n' + tr(kNothingWritten);
        }
        return std::nullopt;
    };
    if (options.exec() != QDialog::Accepted)
        return false;
    try {
        const popimport::PreparedImport& prepared = *planned;
        ImportSummaryDialog summary(QString::fromStdString(popimport::importSummary(prepared, choice)), m_window);
        if (summary.exec() != QDialog::Accepted)
            return false;
        // Writing many workbooks takes a while: the operator sees it and may stop it before any
        // original is moved, leaving the folder as it was.
        QProgressDialog progress(tr("Запись книг частот…"), tr("Отмена"), 0,
                                 static_cast<int>(prepared.plan.updates.size()), m_window);
        progress.setWindowModality(Qt::WindowModal);
        progress.setMinimumDuration(300);
        const popimport::UpdateResult done = popimport::applyImport(prepared.plan, prepared.data.folder, {},
                                                                    [&progress](std::size_t written, std::size_t) {
                                                                        progress.setValue(static_cast<int>(written));
                                                                        keepProgressAlive(progress);
                                                                        return !progress.wasCanceled();
                                                                    });
        progress.reset();
        const popimport::SourceKept kept = popimport::keepTableSource(prepared, choice, done.backupDir);
        const QString message
            = QString::fromStdString(popimport::importDoneLine(prepared, done.backupDir) + '\n' + kept.line);
        if (kept.ok)
            m_dialogs.information(m_window, message);
        else
            m_dialogs.error(m_window, message);
    } catch (const popimport::ImportCancelled&) {
        m_dialogs.information(m_window, tr("Импорт прерван.") + ' ' + tr(kNothingWritten));
        return false;
    } catch (const popimport::ImportUnfinished& error) {
        m_dialogs.error(m_window, QString::fromUtf8(error.what()));
        return false;
    } catch (const popimport::ImportError& error) {
        m_dialogs.error(m_window, QString::fromUtf8(error.what()) + '\n' + tr(kNothingWritten));
        return false;
    }
    if (reload)
        m_host.reloadTables();
    return true;
}

void DataMenu::editSettings()
{
    const std::filesystem::path file
        = m_host.dataFolder() / std::filesystem::path(std::string(freqdb::kSettingsFileName));
    bool written = false;
    SettingsDialog dialog(
        m_host.settings(), fromPath(file),
        [&](const freqdb::SettingsChoice& choice) -> std::optional<QString> {
            try {
                const std::filesystem::path target
                    = writableFolder() / std::filesystem::path(std::string(freqdb::kSettingsFileName));
                const freqdb::SettingsRead read = freqdb::writeLabSettings(target, choice);
                if (!read.ok) {
                    // The reader's first line speaks of a failed load; here nothing was loaded.
                    std::string reason = read.message;
                    if (reason.rfind(freqdb::kReadFailed, 0) == 0)
                        reason.erase(0, std::string_view(freqdb::kReadFailed).size() + 1);
                    return QString::fromStdString(reason) + '\n' + tr(kNothingWritten);
                }
            } catch (const std::exception& error) {
                return QString::fromUtf8(error.what());
            }
            written = true;
            return std::nullopt;
        },
        m_window);
    dialog.exec();
    if (written)
        m_host.reloadTables();
}

void DataMenu::validateCalculation()
{
    const TablesInUse tables = m_host.tablesInUse();
    // The run works on copies: nothing the window does meanwhile can change what it checks.
    const freqdb::LocusTable table = *tables.table;
    const freqdb::DataFolder data = *tables.data;
    const std::string code(freqdb::populationCode(tables.population));
    const QString tablesText = tr("Популяция: %1 (%2)")
                                   .arg(QString::fromStdString(std::string(freqdb::populationName(tables.population))),
                                        QString::fromStdString(code))
                               + '\n' + QString::fromStdString(freqdb::settingsSummary(table.settings()));
    const QString proposed = fromPath(m_host.workDir())
                             + QStringLiteral("/validation-%1-%2.pdf")
                                   .arg(QString::fromStdString(code), QDate::currentDate().toString(u"yyyy-MM-dd"));
    ValidationDialog dialog(tablesText, proposed, m_window);
    dialog.confirmReplace = [this, &dialog](const QString& existing) {
        return m_dialogs.question(&dialog, tr("Вопрос"), WindowTexts::replaceExisting(existing)) == Answer::Yes;
    };
    if (!m_dialogs.runDialog(dialog))
        return;
    const QString path = dialog.protocolPath();

    validation::ProtocolRequest request;
    request.data = &data;
    request.population = tables.population;
    request.table = &table;
    request.cases = dialog.cases();
    request.seed = dialog.seed().value_or(validation::newSeed());
    QProgressDialog progress(tr("Проверка расчёта…"), tr("Отмена"), 0, static_cast<int>(request.cases), m_window);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(300);
    request.progress = [&progress](std::size_t done, std::size_t) {
        progress.setValue(static_cast<int>(done));
        keepProgressAlive(progress);
        if (progress.wasCanceled())
            throw ValidationStopped{};
    };
    validation::ValidationProtocol protocol;
    try {
        protocol = validation::buildProtocol(request, m_reader, *tables.format);
        // The PDF is written whole or not at all; the bar stays up while it is drawn.
        progress.setLabelText(tr("Запись протокола…"));
        progress.setCancelButton(nullptr);
        keepProgressAlive(progress);
        report::writeValidationPdf(protocol, toPath(path));
    } catch (const ValidationStopped&) {
        progress.reset();
        m_dialogs.information(m_window, tr("Проверка расчёта прервана.") + ' ' + tr(kNothingWritten));
        return;
    } catch (const report::ReportError& error) {
        progress.reset();
        m_dialogs.error(m_window, QString::fromUtf8(error.what()));
        return;
    }
    progress.reset();
    QString verdict = QString::fromStdString(validation::verdictText(protocol));
    // The protocol's warnings about the tables (a locus whose frequencies do not sum to 1) belong
    // beside the verdict: a run that agrees says nothing about the tables themselves.
    if (!protocol.warnings.empty()) {
        constexpr std::size_t kShownWarnings = 5;
        verdict += '\n' + tr("Предупреждения протокола (%1):").arg(protocol.warnings.size());
        for (std::size_t i = 0; i < std::min(protocol.warnings.size(), kShownWarnings); ++i)
            verdict += '\n' + QString::fromStdString(protocol.warnings[i]);
        if (protocol.warnings.size() > kShownWarnings)
            verdict += '\n' + tr("… и ещё %1 (см. протокол)").arg(protocol.warnings.size() - kShownWarnings);
    }
    if (m_dialogs.question(m_window, tr("Проверка расчёта"),
                           verdict + '\n' + tr("Протокол сохранён: %1").arg(path) + "\n\n" + tr("Открыть протокол?"))
            == Answer::Yes
        && !m_dialogs.openDocument(path))
        m_dialogs.error(m_window, tr("Не удалось открыть протокол %1.").arg(path));
}

void DataMenu::runArchive()
{
    const TablesInUse tables = m_host.tablesInUse();
    // The run works on a copy of the tables: nothing the window does meanwhile changes them.
    const freqdb::LocusTable table = *tables.table;
    // Reports name the lab's folder over the installed one with both: its tables come from both.
    const std::filesystem::path dataFolder
        = tables.data->layered() ? std::filesystem::path(tables.data->shown()) : tables.data->folder;
    ArchiveCommand(m_window, m_dialogs, m_reader)
        .run({&table, tables.population, dataFolder, m_host.prior(), tables.format}, m_host.workDir());
}

void DataMenu::openDataFolder()
{
    const QString folder = fromPath(m_host.dataFolder());
    if (!m_dialogs.openDocument(folder))
        m_dialogs.error(m_window, tr("Не удалось открыть папку данных %1.").arg(folder));
}

void DataMenu::kinshipCase()
{
    const TablesInUse tables = m_host.tablesInUse();
    // The pedigree is evaluated without θ: with θ in the settings the case is refused, as
    // `kinship` refuses it, rather than evaluated with other settings than the window shows.
    if (tables.table->settings().theta) {
        m_dialogs.information(m_window, tr("Поправка θ для дела с родственниками не применяется: расчет по "
                                           "родословной ведется без θ. Выключите θ в «Настройки расчёта…»."));
        return;
    }
    // The dialog works on a copy of the tables: nothing the window does meanwhile changes them.
    const freqdb::LocusTable table = *tables.table;
    const std::filesystem::path dataFolder
        = tables.data->layered() ? std::filesystem::path(tables.data->shown()) : tables.data->folder;
    KinshipDialog dialog({&table, tables.population, dataFolder, m_host.prior(), tables.format}, m_dialogs, m_reader,
                         m_host.workDir(), m_window);
    m_dialogs.runDialog(dialog);
}

} // namespace app
