// SPDX-License-Identifier: GPL-3.0-or-later
// The menu "Данные" driven offscreen through its dialogs, over copies of the bundled data folder.
// The import's oracle is the import command: the same table imported by the program in another
// copy of the folder must give the same workbooks, entry for entry (only docProps/core.xml, the
// creation time, may differ), and the window's summary must be the command's --dry-run output.
// The settings' oracle is the settings reader: the written file re-read gives the values chosen,
// and every comment line of the lab's file is still there, in its order.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <fstream>
#include <functional>
#include <iterator>

#include "app/archiverundialog.h"
#include "app/datamenu.h"
#include "app/importoptionsdialog.h"
#include "app/importsummarydialog.h"
#include "app/kinshipdialog.h"
#include "app/mainwindow.h"
#include "app/populationdialog.h"
#include "app/qttranslations.h"
#include "app/settingsdialog.h"
#include "app/validationdialog.h"
#include "app/widgetdialogs.h"
#include "automation/workbookwriter.h"
#include "exchange/resultsworkbookreader.h"
#include "freqdb/labsettingsfile.h"
#include "freqdb/loadmessages.h"
#include "scripteddialogs.h"
#include "shots.h"

using app::MainWindow;

namespace {

const text::NumberFormat kFormat(",");
const QString kSource = QString::fromLocal8Bit(qgetenv("PI_SOURCE_DIR"));
const QString kTable = kSource + QStringLiteral("/tests/popimport/fixtures/nist-caucasian-export.csv");

// Runs `act` on the dialog of type T as soon as it is shown (a modal dialog runs its own loop).
template <typename T> void whenShown(std::function<void(T*)> act)
{
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (auto* dialog = qobject_cast<T*>(widget); dialog && dialog->isVisible()) {
                timer->stop();
                timer->deleteLater();
                act(dialog);
                return;
            }
    });
    timer->start(10);
}

void copyBundledData(const QString& folder)
{
    QDir().mkpath(folder);
    for (const QString& name : QDir(kSource + "/data").entryList({"*.xls", "settings.ini"}, QDir::Files))
        QVERIFY(QFile::copy(kSource + "/data/" + name, folder + "/" + name));
}

QByteArray run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(60000);
    return process.readAllStandardOutput();
}

// A workbook as its zip entries; the creation time is the one entry allowed to differ.
QMap<QString, QByteArray> entries(const QString& workbook)
{
    QMap<QString, QByteArray> out;
    for (const QString& entry : QString::fromUtf8(run("unzip", {"-Z1", workbook})).split('\n', Qt::SkipEmptyParts))
        if (entry != QLatin1String("docProps/core.xml"))
            out[entry] = run("unzip", {"-p", workbook, entry});
    return out;
}

// Every file below `folder` by its path relative to it, the backup folder's date-time name
// replaced by "backup"; workbooks by their entries, other files by their bytes.
QMap<QString, QMap<QString, QByteArray>> contents(const QString& folder)
{
    QMap<QString, QMap<QString, QByteArray>> out;
    QDir dir(folder);
    for (const QString& sub : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        for (const QString& name : QDir(dir.filePath(sub)).entryList(QDir::Files))
            out["backup/" + name] = {{"bytes", [&] {
                                          QFile f(dir.filePath(sub + "/" + name));
                                          f.open(QIODevice::ReadOnly);
                                          return f.readAll();
                                      }()}};
    for (const QString& name : dir.entryList(QDir::Files)) {
        if (name.endsWith(".xlsx")) {
            out[name] = entries(dir.filePath(name));
        } else {
            QFile f(dir.filePath(name));
            f.open(QIODevice::ReadOnly);
            out[name] = {{"bytes", f.readAll()}};
        }
    }
    return out;
}

QByteArray fileBytes(const QString& file)
{
    QFile f(file);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

// A folder of cases: the bundled examples, and a file that is no workbook.
QString archiveOfCases(const QString& folder, bool withBroken)
{
    QDir().mkpath(folder);
    for (const char* example : {"trio", "duo", "exclusion"})
        QFile::copy(kSource + "/examples/" + example + ".xlsx", folder + "/" + example + ".xlsx");
    if (withBroken) {
        QFile broken(folder + "/broken.xlsx");
        broken.open(QIODevice::WriteOnly);
        broken.write("not a workbook");
    }
    return folder;
}

// The dialog of "Расчёт архива дел…" answered with the cases' folder; the results folder is left
// at its default, checked to be the cases' subfolder.
std::function<bool(QDialog&)> startArchiveRun(const QString& cases, bool withReports)
{
    return [cases, withReports](QDialog& shown) {
        auto& dialog = dynamic_cast<app::ArchiveRunDialog&>(shown);
        [&] { QVERIFY(!dialog.startButton->isEnabled()); }();
        dialog.casesFolder->setText(cases);
        [&] {
            QCOMPARE(dialog.resultsFolder->text(), cases + "/результаты");
            QVERIFY(dialog.startButton->isEnabled());
            QVERIFY(dialog.inForceText->text().contains("Популяция: Европеоиды США"));
        }();
        dialog.pdfReports->setChecked(withReports);
        app::testing::shot(&dialog, "archive-run");
        return true;
    };
}

// A protocol's text as its reader sees it, without the lines that carry the time of the run.
QStringList protocolLines(const QString& pdf)
{
    QStringList lines;
    for (const QString& line : QString::fromUtf8(run("pdftotext", {"-layout", pdf, "-"})).split('\n'))
        if (!line.contains(QDate::currentDate().toString(u"dd.MM.yyyy")))
            lines << line;
    return lines;
}

QStringList commentLines(const QString& file)
{
    QFile f(file);
    f.open(QIODevice::ReadOnly);
    QStringList out;
    for (const QString& line : QString::fromUtf8(f.readAll()).split('\n'))
        if (line.trimmed().startsWith(';'))
            out << line;
    return out;
}

} // namespace

class DataMenuTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    app::testing::ScriptedDialogs m_dialogs;
    std::unique_ptr<automation::WorkbookReader> m_reader = automation::makeFileWorkbookReader();
    std::unique_ptr<MainWindow> m_window;

    QString data() const { return m_dir->filePath("window/data"); }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        copyBundledData(data());
        QDir::setCurrent(m_dir->filePath("window"));
        m_dialogs = app::testing::ScriptedDialogs();
        m_window = std::make_unique<MainWindow>(kFormat, m_dialogs, *m_reader,
                                                [] { return automation::makeXlsxWorkbookWriter(); });
        m_window->start();
        m_window->populationDialog()->usCaucasiansButton->setChecked(true);
        QTest::mouseClick(m_window->populationDialog()->okButton, Qt::LeftButton);
        QVERIFY(m_window->isVisible());
    }

    void cleanup()
    {
        m_window.reset();
        QDir::setCurrent(kSource);
        m_dir.reset();
    }

    void menuComesAfterTheOtherItems()
    {
        QCOMPARE(m_window->menuBar()->actions().last()->menu(), m_window->dataMenu()->menu);
        m_window->dataMenu()->menu->popup(m_window->mapToGlobal(QPoint(300, 20)));
        app::testing::shot(m_window.get(), "window");
        app::testing::shot(m_window->dataMenu()->menu, "menu");
        m_window->dataMenu()->menu->hide();
        QStringList items;
        for (QAction* action : m_window->dataMenu()->menu->actions())
            if (!action->isSeparator())
                items << action->text();
        QCOMPARE(items, QStringList({"Импорт таблицы частот…", "Настройки расчёта…", "Проверка расчёта (валидация)…",
                                     "Расчёт архива дел…", "Открыть папку данных", "Дело по родственникам…"}));
        m_window->dataMenu()->openFolderAction->trigger();
        QCOMPARE(m_dialogs.texts("document"), QStringList{QDir(data()).absolutePath()});
    }

    void importWritesWhatTheCommandWrites()
    {
        const QString commandData = m_dir->filePath("command/data");
        copyBundledData(commandData);
        const QString program = QString::fromLocal8Bit(qgetenv("PI_PROGRAM"));
        const QByteArray dryRun
            = run(program, {"import", kTable, "--population", "rus", "--data", data(), "--dry-run"});
        QVERIFY(dryRun.contains("--dry-run"));
        const auto before = contents(data());

        // Cancelled at the summary: nothing is written.
        QString summary;
        m_dialogs.fileNames.enqueue(kTable);
        whenShown<app::ImportOptionsDialog>([](auto* dialog) {
            app::testing::shot(dialog, "import-options");
            QVERIFY(dialog->russians->isChecked());
            dialog->checkButton->click();
        });
        whenShown<app::ImportSummaryDialog>([&](auto* dialog) {
            app::testing::shot(dialog, "import-summary");
            summary = dialog->summaryText->toPlainText();
            dialog->cancelButton->click();
        });
        m_window->dataMenu()->importAction->trigger();
        QCOMPARE(summary + "Проверка (--dry-run): ничего не записано.\n", QString::fromUtf8(dryRun));
        QVERIFY(contents(data()) == before);

        // Written: as the command writes it, and the window loads the new tables.
        QCOMPARE(run(program, {"import", kTable, "--population", "rus", "--data", commandData}).isEmpty(), false);
        m_dialogs.fileNames.enqueue(kTable);
        whenShown<app::ImportOptionsDialog>([](auto* dialog) { dialog->checkButton->click(); });
        whenShown<app::ImportSummaryDialog>([](auto* dialog) { dialog->writeButton->click(); });
        m_window->dataMenu()->importAction->trigger();
        QVERIFY2(m_dialogs.texts("error").isEmpty(), qPrintable(m_dialogs.texts("error").join('\n')));
        QVERIFY(m_dialogs.texts("information").last().startsWith("Записано книг: 29."));
        const auto window = contents(data());
        const auto command = contents(commandData);
        QCOMPARE(window.keys(), command.keys());
        for (const QString& name : window.keys())
            QVERIFY2(window[name] == command[name], qPrintable(name));
        QVERIFY(QFileInfo(data() + "/TH01.xlsx").exists());
        QCOMPARE(m_window->locusBox->count(), 29);
    }

    void settingsAreWrittenCheckedAndKeepTheirComments()
    {
        const QString file = data() + "/settings.ini";
        const QStringList comments = commentLines(file);
        QVERIFY(comments.size() > 10);
        QVERIFY(!m_window->settingsLabel->isVisible());

        QString refused;
        whenShown<app::SettingsDialog>([&](auto* dialog) {
            QVERIFY(dialog->mutationOff->isChecked());
            QVERIFY(!dialog->minFrequencyBox->isChecked());
            dialog->mutationProportional->setChecked(true);
            dialog->mutationRate->setText("2");
            dialog->saveButton->click();
            app::testing::shot(dialog, "settings-refused");
            // Refused as the file would be refused, and the dialog stays open.
            refused = dialog->refusal->text();
            QVERIFY(dialog->isVisible());
            dialog->mutationRate->setText("0,001");
            dialog->minFrequencyBox->setChecked(true);
            dialog->minFrequency->setText("0.005");
            app::testing::shot(dialog, "settings");
            dialog->saveButton->click();
        });
        m_window->dataMenu()->settingsAction->trigger();
        QVERIFY2(refused.contains("строка"), qPrintable(refused));

        const freqdb::SettingsRead read = freqdb::readLabSettings(file.toStdString());
        QVERIFY2(read.ok, read.message.c_str());
        QVERIFY(read.settings.mutationOn());
        QCOMPARE(read.settings.mutationRateText, std::string("0,001"));
        QCOMPARE(double(*read.settings.minFrequency), 0.005);
        QCOMPARE(commentLines(file), comments);
        // The window reloaded the tables with them.
        QVERIFY(m_window->settingsLabel->text().contains("μ=0,001"));
        app::testing::shot(m_window.get(), "window-after-settings");

        // Off again: the file reads as the bundled one did.
        whenShown<app::SettingsDialog>([](auto* dialog) {
            QVERIFY(dialog->mutationProportional->isChecked());
            dialog->mutationOff->setChecked(true);
            dialog->minFrequencyBox->setChecked(false);
            dialog->mutationRate->setText("0,002");
            dialog->saveButton->click();
        });
        m_window->dataMenu()->settingsAction->trigger();
        QFile written(file), bundled(kSource + "/data/settings.ini");
        QVERIFY(written.open(QIODevice::ReadOnly) && bundled.open(QIODevice::ReadOnly));
        QCOMPARE(written.readAll(), bundled.readAll());
        QVERIFY(m_window->settingsLabel->text().isEmpty());

        // θ beside the mutation model is refused as the file would be; alone it is written.
        QString thetaRefused;
        whenShown<app::SettingsDialog>([&](auto* dialog) {
            QVERIFY(!dialog->thetaBox->isChecked());
            dialog->mutationProportional->setChecked(true);
            dialog->thetaBox->setChecked(true);
            dialog->theta->setText("0,01");
            dialog->saveButton->click();
            thetaRefused = dialog->refusal->text();
            QVERIFY(dialog->isVisible());
            dialog->mutationOff->setChecked(true);
            dialog->saveButton->click();
        });
        m_window->dataMenu()->settingsAction->trigger();
        QVERIFY2(thetaRefused.contains("θ"), qPrintable(thetaRefused));
        const freqdb::SettingsRead withTheta = freqdb::readLabSettings(file.toStdString());
        QVERIFY2(withTheta.ok, withTheta.message.c_str());
        QCOMPARE(withTheta.settings.thetaText, std::string("0,01"));
        QVERIFY(!withTheta.settings.mutationOn());
        QVERIFY(m_window->settingsLabel->text().contains("θ=0,01"));

        // A key line the reader takes as Notepad writes it (a byte-order mark before it, a colon):
        // unticking θ takes θ out of the file, not only out of the dialog.
        {
            QFile notepad(file);
            QVERIFY(notepad.open(QIODevice::WriteOnly));
            notepad.write("\xEF\xBB\xBFtheta: 0,02\r\n");
        }
        whenShown<app::SettingsDialog>([](auto* dialog) {
            dialog->thetaBox->setChecked(false);
            dialog->saveButton->click();
        });
        m_window->dataMenu()->settingsAction->trigger();
        const freqdb::SettingsRead unticked = freqdb::readLabSettings(file.toStdString());
        QVERIFY2(unticked.ok, unticked.message.c_str());
        QVERIFY(!unticked.settings.theta);
        QVERIFY(m_window->settingsLabel->text().isEmpty());
    }

    // The window's protocol is the command's for the same tables, settings, cases and seed; a run
    // stopped on its progress writes nothing.
    void validationSavesTheCommandsProtocol()
    {
        const QString pdf = m_dir->filePath("window/protocol.pdf");
        QString refused, proposed;
        m_dialogs.dialogScripts.enqueue([&](QDialog& shown) {
            auto& dialog = static_cast<app::ValidationDialog&>(shown);
            proposed = dialog.protocolEdit->text();
            dialog.casesBox->setValue(3000);
            dialog.seedEdit->setText("семь");
            dialog.startButton->click();
            refused = dialog.refusal->text();
            dialog.seedEdit->setText("7");
            dialog.protocolEdit->setText(m_dir->filePath("window/protocol"));
            app::testing::shot(&dialog, "validation");
            dialog.startButton->click();
            return dialog.result() == QDialog::Accepted;
        });
        m_dialogs.answers.enqueue(app::Answer::No);
        m_window->dataMenu()->validationAction->trigger();
        QVERIFY2(refused.contains("Зерно"), qPrintable(refused));
        QVERIFY2(proposed.endsWith("-white-" + QDate::currentDate().toString(u"yyyy-MM-dd") + ".pdf"),
                 qPrintable(proposed));
        QVERIFY2(m_dialogs.texts("error").isEmpty(), qPrintable(m_dialogs.texts("error").join('\n')));
        QVERIFY2(m_dialogs.texts("question").last().contains("во всех 3000 случаях"),
                 qPrintable(m_dialogs.texts("question").last()));
        // The protocol's warnings about the tables are said beside the verdict, not only in the PDF.
        QVERIFY2(m_dialogs.texts("question").last().contains("Предупреждения протокола (1):\nПопуляция «Русские»"),
                 qPrintable(m_dialogs.texts("question").last()));

        const QString commandPdf = m_dir->filePath("command.pdf");
        run(QString::fromLocal8Bit(qgetenv("PI_PROGRAM")), {"validate", "--population", "white", "--data", data(),
                                                            "--cases", "3000", "--seed", "7", "--report", commandPdf});
        const QStringList window = protocolLines(pdf);
        QVERIFY(window.size() > 50);
        QCOMPARE(window, protocolLines(commandPdf));

        // Stopped: the earlier protocol stays as it was, and no other file appears.
        QFile::remove(commandPdf);
        const QStringList before = QDir(m_dir->filePath("window")).entryList(QDir::Files);
        const QByteArray earlier = [&] {
            QFile f(pdf);
            f.open(QIODevice::ReadOnly);
            return f.readAll();
        }();
        m_dialogs.dialogScripts.enqueue([&](QDialog& shown) {
            auto& dialog = static_cast<app::ValidationDialog&>(shown);
            dialog.casesBox->setValue(100000);
            dialog.protocolEdit->setText(pdf);
            dialog.startButton->click();
            return true;
        });
        m_dialogs.answers.enqueue(app::Answer::Yes); // replace the earlier protocol
        whenShown<QProgressDialog>([](auto* progress) {
            app::testing::shot(progress, "validation-progress");
            progress->cancel();
        });
        m_window->dataMenu()->validationAction->trigger();
        QVERIFY2(m_dialogs.texts("information").last().contains("прервана"),
                 qPrintable(m_dialogs.texts("information").join('\n')));
        QCOMPARE(QDir(m_dir->filePath("window")).entryList(QDir::Files), before);
        QFile after(pdf);
        QVERIFY(after.open(QIODevice::ReadOnly));
        QCOMPARE(after.readAll(), earlier);
    }

    // The window's archive run writes what `batch --output-dir … --format csv` writes for the same
    // folder and tables: the summary byte for byte, each results workbook entry for entry.
    void archiveRunWritesWhatBatchWrites()
    {
        const QString cases = archiveOfCases(m_dir->filePath("дела"), true);
        const QString batchOut = m_dir->filePath("batch-out");
        const QByteArray batchSummary
            = run(QString::fromLocal8Bit(qgetenv("PI_PROGRAM")), {"batch", cases, "--population", "white", "--data",
                                                                  data(), "--output-dir", batchOut, "--format", "csv"});
        QVERIFY(batchSummary.startsWith("file,loci,"));

        m_dialogs.dialogScripts.enqueue(startArchiveRun(cases, false));
        m_dialogs.answers.enqueue(app::Answer::Yes);
        m_window->dataMenu()->archiveAction->trigger();
        QVERIFY2(m_dialogs.texts("error").isEmpty(), qPrintable(m_dialogs.texts("error").join('\n')));
        const QString results = cases + "/результаты";
        QCOMPARE(fileBytes(results + "/summary.csv"), batchSummary);
        const QStringList written = QDir(batchOut).entryList(QDir::Files);
        QCOMPARE(written, QStringList({"duo.results.xlsx", "exclusion.results.xlsx", "trio.results.xlsx"}));
        QCOMPARE(QDir(results).entryList(QDir::Files | QDir::Hidden),
                 QStringList({"duo.results.xlsx", "exclusion.results.xlsx", "summary.csv", "trio.results.xlsx"}));
        for (const QString& name : written)
            QVERIFY2(entries(results + "/" + name) == entries(batchOut + "/" + name), qPrintable(name));
        const QString message = m_dialogs.texts("question").last();
        QVERIFY2(message.contains("Дел: 4. Рассчитано: 3; с оговорками (неполный расчёт): 0; с ошибками: 1."),
                 qPrintable(message));
        QCOMPARE(m_dialogs.texts("document").last(), results);
    }

    // "Дело по родственникам…" on the grandparents' example: the table per locus, the CPI and the
    // probability are what `kinship` prints for the same tables and prior; the report and the
    // results workbook are written, the workbook entry for entry as `kinship --output` writes it.
    void kinshipCaseGivesWhatTheCommandGives()
    {
        const QString caseFile = kSource + "/examples/relatives-grandparents.xlsx";
        const QString commandWorkbook = m_dir->filePath("command.results.xlsx");
        const QStringList printed = QString::fromUtf8(run(QString::fromLocal8Bit(qgetenv("PI_PROGRAM")),
                                                          {"kinship", caseFile, "--population", "white", "--data",
                                                           data(), "--output", commandWorkbook}))
                                        .split('\n', Qt::SkipEmptyParts);
        QVERIFY(printed.size() > 3);
        const QString exportFile = kSource + "/examples/trio-export.txt";
        const QStringList printedExport
            = QString::fromUtf8(
                  run(QString::fromLocal8Bit(qgetenv("PI_PROGRAM")),
                      {"kinship", exportFile, "--child", "Child-2026-118", "--mother", "Mother-2026-118", "--person",
                       "Брат предполагаемого отца 1=Father-2026-118", "--population", "white", "--data", data()}))
                  .split('\n', Qt::SkipEmptyParts);
        QVERIFY(printedExport.size() > 3);
        const QString report = m_dir->filePath("дело.pdf");
        const QString workbook = m_dir->filePath("дело.results.xlsx");
        m_dialogs.fileNames << caseFile << report << workbook;
        m_dialogs.dialogScripts.enqueue([&](QDialog& shown) {
            auto& dialog = dynamic_cast<app::KinshipDialog&>(shown);
            QTest::mouseClick(dialog.openButton, Qt::LeftButton);
            [&] {
                QCOMPARE(dialog.cpiLine->text(), printed[printed.size() - 2]);
                QCOMPARE(dialog.probabilityLine->text(), printed.last());
                QCOMPARE(dialog.resultsTable->rowCount(), printed.size() - 3);
                QCOMPARE(dialog.resultsTable->item(0, 1)->text(), QStringLiteral("CSF1PO"));
                QCOMPARE(dialog.resultsTable->item(0, dialog.resultsTable->columnCount() - 2)->text(),
                         QStringLiteral("2,43"));
            }();
            app::testing::shot(&dialog, "kinship");
            QTest::mouseClick(dialog.saveReportButton, Qt::LeftButton);
            QTest::mouseClick(dialog.saveWorkbookButton, Qt::LeftButton);

            // The export's samples given their roles, as --child, --mother and --person give them.
            dialog.openCase(exportFile);
            const QStringList roles{"Нет", "Брат предполагаемого отца 1", "Мать", "Ребенок", "Нет"};
            [&] {
                QCOMPARE(dialog.rolesTable->rowCount(), roles.size());
                QCOMPARE(dialog.rolesTable->item(1, 0)->text(), QStringLiteral("Father-2026-118"));
            }();
            for (int row = 0; row < roles.size(); ++row)
                static_cast<QComboBox*>(dialog.rolesTable->cellWidget(row, 1))->setCurrentText(roles[row]);
            QTest::mouseClick(dialog.calculateButton, Qt::LeftButton);
            [&] {
                QCOMPARE(dialog.cpiLine->text(), printedExport[printedExport.size() - 2]);
                QCOMPARE(dialog.probabilityLine->text(), printedExport.last());
            }();
            app::testing::shot(&dialog, "kinship-export");
            return false;
        });
        m_window->dataMenu()->kinshipAction->trigger();
        QVERIFY2(m_dialogs.texts("error").isEmpty(), qPrintable(m_dialogs.texts("error").join('\n')));
        // The one note: the export's markers without tables, as the command states them.
        const QStringList told = m_dialogs.texts("information");
        QVERIFY2(told.size() == 1 && told[0].contains("AMEL"), qPrintable(told.join('\n')));
        QVERIFY(fileBytes(report).startsWith("%PDF"));
        QVERIFY(entries(workbook) == entries(commandWorkbook));
    }

    // "Отмена" while the second case is about to begin: the first case's workbook and report are
    // whole, nothing of the others is written, and the summary lists them as not processed.
    void archiveRunStoppedAfterTheFirstCase()
    {
        const QString cases = archiveOfCases(m_dir->filePath("дела"), false);
        m_dialogs.dialogScripts.enqueue(startArchiveRun(cases, true));
        m_dialogs.answers.enqueue(app::Answer::No);
        QStringList labels;
        QTimer watcher;
        QObject::connect(&watcher, &QTimer::timeout, [&] {
            for (QWidget* widget : QApplication::topLevelWidgets())
                if (auto* progress = qobject_cast<QProgressDialog*>(widget); progress && progress->isVisible()) {
                    if (progress->labelText().startsWith("Дело")
                        && (labels.isEmpty() || labels.last() != progress->labelText()))
                        labels << progress->labelText();
                    if (progress->labelText().startsWith("Дело 1 из 3"))
                        app::testing::shot(progress, "archive-progress");
                    if (progress->labelText().startsWith("Дело 2 из 3"))
                        progress->findChild<QPushButton*>()->click();
                }
        });
        watcher.start(0);
        m_window->dataMenu()->archiveAction->trigger();
        watcher.stop();
        QCOMPARE(labels, QStringList({"Дело 1 из 3: duo.xlsx", "Дело 2 из 3: exclusion.xlsx"}));

        const QString results = cases + "/результаты";
        QCOMPARE(QDir(results).entryList(QDir::Files | QDir::Hidden),
                 QStringList({"duo.report.pdf", "duo.results.xlsx", "summary.csv"}));
        const QByteArray pdf = fileBytes(results + "/duo.report.pdf");
        QVERIFY(pdf.startsWith("%PDF") && pdf.trimmed().endsWith("%%EOF"));
        const exchange::LoadedResults loaded
            = exchange::loadResultsWorkbook((results + "/duo.results.xlsx").toStdString(), *m_reader, kFormat);
        QVERIFY2(loaded.ok, loaded.error.c_str());
        const QList<QByteArray> lines = fileBytes(results + "/summary.csv").trimmed().split('\n');
        QCOMPARE(lines.size(), 4);
        QVERIFY2(lines[1].contains(",ok,"), lines[1].constData());
        for (int i : {2, 3})
            QVERIFY2(lines[i].contains(",,,,,,не обработано: запуск прерван,,,,white,")
                         && lines[i].endsWith(",\"0,5\",off,off,off"),
                     lines[i].constData());
        const QString message = m_dialogs.texts("question").last();
        QVERIFY2(message.startsWith("Расчёт архива прерван.") && message.contains("Не обработано (запуск прерван): 2."),
                 qPrintable(message));
        QVERIFY(m_dialogs.texts("document").isEmpty());
    }

    // The settings line right of the prior shows every number whole at the design size and
    // maximised: a smaller font, shorter words or two lines, never a cut digit.
    void settingsLineKeepsEveryNumberWhole()
    {
        const auto wholeLines = [](const QLabel* line) {
            const QFontMetrics metrics(line->font());
            const QStringList lines = line->text().split('\n');
            if (lines.size() * metrics.lineSpacing() > line->contentsRect().height() + 1)
                return false;
            for (const QString& text : lines)
                if (metrics.horizontalAdvance(text) > line->contentsRect().width())
                    return false;
            return true;
        };
        const QSize maximised(1280, 800);
        for (const auto& [settings, numbers] :
             {std::pair{QStringLiteral("mutation_model = proportional\nmutation_rate = 0,0015\n"
                                       "min_allele_frequency = 0,0069\n"),
                        QStringList{"0,0015", "0,0069"}},
              // As a lab writes a computed rate or 5/2N: wider than the room at the design size.
              std::pair{QStringLiteral("mutation_model = proportional\nmutation_rate = 0,00153846\n"
                                       "min_allele_frequency = 0,00692521\n"),
                        QStringList{"0,00153846", "0,00692521"}},
              std::pair{QStringLiteral("theta = 0,0123456789\nmin_allele_frequency = 0,000123456789\n"),
                        QStringList{"0,0123456789", "0,000123456789"}}}) {
            QFile file(data() + "/settings.ini");
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(settings.toUtf8());
            file.close();
            m_dialogs.answers.enqueue(app::Answer::Yes);
            m_window->populationAction->trigger();
            QTest::mouseClick(m_window->populationDialog()->okButton, Qt::LeftButton);
            QVERIFY2(m_dialogs.texts("error").isEmpty(), qPrintable(m_dialogs.texts("error").join('\n')));
            for (const QSize size : {QSize(MainWindow::kStartWidth, MainWindow::kStartHeight), maximised}) {
                m_window->resize(size);
                QLabel* line = m_window->settingsLabel;
                QVERIFY(line->isVisible());
                for (const QString& number : numbers) {
                    QVERIFY2(line->text().contains(number), qPrintable(line->text()));
                    QVERIFY2(line->toolTip().contains(number), qPrintable(line->toolTip()));
                }
                QVERIFY2(wholeLines(line), qPrintable(line->text()));
                app::testing::shot(m_window.get(),
                                   QStringLiteral("settings-line-%1-%2").arg(numbers.first()).arg(size.width()));
            }
            m_window->resize(MainWindow::kStartWidth, MainWindow::kStartHeight);
        }
    }

    // A results folder holding an earlier run's results is not written into unasked; replaced,
    // the closing message counts the files left from the earlier run and names the failed cases.
    void archiveRunAsksBeforeMixingWithAnEarlierRun()
    {
        const QString cases = archiveOfCases(m_dir->filePath("дела"), true);
        const QString results = cases + "/результаты";
        m_dialogs.dialogScripts.enqueue(startArchiveRun(cases, false));
        m_dialogs.answers.enqueue(app::Answer::No);
        m_window->dataMenu()->archiveAction->trigger();
        QString message = m_dialogs.texts("question").last();
        QVERIFY2(message.contains("С ошибками:\nbroken.xlsx: Книга"), qPrintable(message));
        QVERIFY2(!message.contains(QString::fromUtf8(freqdb::kReadFailed.data())), qPrintable(message));
        QVERIFY(m_dialogs.texts("choose").isEmpty());

        // Run again without the trio: "Отмена" at the question runs nothing.
        QVERIFY(QFile::remove(cases + "/trio.xlsx"));
        const QByteArray earlierSummary = fileBytes(results + "/summary.csv");
        m_dialogs.dialogScripts.enqueue(startArchiveRun(cases, false));
        m_dialogs.choices.enqueue("Отмена");
        m_window->dataMenu()->archiveAction->trigger();
        QCOMPARE(m_dialogs.calls.last().kind, QStringLiteral("choose"));
        QCOMPARE(m_dialogs.calls.last().title, QStringLiteral("Расчёт архива дел|Новая папка|Заменить|Отмена"));
        QVERIFY2(m_dialogs.calls.last().text.contains("файлов: 4"), qPrintable(m_dialogs.calls.last().text));
        QCOMPARE(fileBytes(results + "/summary.csv"), earlierSummary);

        // Replaced: the trio's workbook stays from the earlier run, and the message says so.
        m_dialogs.dialogScripts.enqueue(startArchiveRun(cases, false));
        m_dialogs.choices.enqueue("Заменить");
        m_dialogs.answers.enqueue(app::Answer::No);
        m_window->dataMenu()->archiveAction->trigger();
        message = m_dialogs.texts("question").last();
        QVERIFY2(message.contains("Файлов прежнего запуска не обновлено (рассчитаны с прежними таблицами и "
                                  "настройками): 1: trio.results.xlsx"),
                 qPrintable(message));

        // A new folder: beside the first, with this run's results only.
        m_dialogs.dialogScripts.enqueue(startArchiveRun(cases, false));
        m_dialogs.choices.enqueue("Новая папка");
        m_dialogs.answers.enqueue(app::Answer::No);
        m_window->dataMenu()->archiveAction->trigger();
        message = m_dialogs.texts("question").last();
        QVERIFY2(message.contains(results + " (2)") && !message.contains("прежнего запуска"), qPrintable(message));
        QCOMPARE(QDir(results + " (2)").entryList(QDir::Files),
                 QStringList({"duo.results.xlsx", "exclusion.results.xlsx", "summary.csv"}));
    }

    // The import's refusal stays in its dialog, with the choices made, and names the check box to
    // tick; the validation dialog keeps its entries through a refused number and a "Нет" to
    // replacing the protocol, and takes a seventh digit to refuse it in words.
    void refusalsKeepTheDialogAndItsEntries()
    {
        // A table of three loci does not cover the folder's workbooks.
        const QString trimmed = m_dir->filePath("three-loci.csv");
        {
            QFile in(kTable), out(trimmed);
            QVERIFY(in.open(QIODevice::ReadOnly) && out.open(QIODevice::WriteOnly));
            for (const QByteArray& line : in.readAll().split('\n'))
                out.write(line.split(';').mid(0, 4).join(';') + '\n');
        }
        QString refusal;
        bool stayed = false;
        m_dialogs.fileNames.enqueue(trimmed);
        whenShown<app::ImportOptionsDialog>([&](auto* dialog) {
            dialog->usCaucasians->setChecked(true);
            dialog->checkButton->click();
            refusal = dialog->refusal->text();
            stayed = dialog->isVisible() && dialog->usCaucasians->isChecked();
            app::testing::shot(dialog, "import-refused");
            dialog->pruneBox->setChecked(true);
            dialog->checkButton->click();
        });
        QString summary;
        whenShown<app::ImportSummaryDialog>([&](auto* dialog) {
            summary = dialog->summaryText->toPlainText();
            dialog->cancelButton->click();
        });
        m_window->dataMenu()->importAction->trigger();
        QVERIFY(stayed);
        QVERIFY2(refusal.contains("отметьте «Убрать в резервную папку книги локусов, которых нет в таблице»")
                     && !refusal.contains("--prune"),
                 qPrintable(refusal));
        QVERIFY2(summary.contains("убираются в резервную папку"), qPrintable(summary));
        QVERIFY(m_dialogs.texts("error").isEmpty());

        const QString existing = m_dir->filePath("protocol.pdf");
        QFile(existing).open(QIODevice::WriteOnly);
        QString tooMany, notReplaced;
        int casesKept = 0;
        m_dialogs.dialogScripts.enqueue([&](QDialog& shown) {
            auto& dialog = static_cast<app::ValidationDialog&>(shown);
            QTest::keyClick(dialog.casesBox, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(dialog.casesBox, "2000000");
            dialog.casesBox->interpretText();
            dialog.seedEdit->setText("7");
            dialog.protocolEdit->setText(existing);
            dialog.startButton->click();
            tooMany = dialog.refusal->text();
            dialog.casesBox->setValue(500);
            dialog.startButton->click(); // answered "Нет"
            notReplaced = dialog.refusal->text();
            casesKept = dialog.casesBox->value();
            app::testing::shot(&dialog, "validation-not-replaced");
            const bool accepted = dialog.result() == QDialog::Accepted;
            dialog.reject();
            return accepted;
        });
        m_dialogs.answers.enqueue(app::Answer::No);
        m_window->dataMenu()->validationAction->trigger();
        QVERIFY2(tooMany.contains("Число случаев - от 1 до 1000000"), qPrintable(tooMany));
        QVERIFY2(notReplaced.contains("не заменён"), qPrintable(notReplaced));
        QCOMPARE(casesKept, 500);
        QCOMPARE(m_dialogs.texts("question").size(), 1);
        QCOMPARE(fileBytes(existing), QByteArray());
    }

    // "››", which holds the menu "Данные" at the design width, says what it holds.
    void menuOverflowSaysWhatItHolds()
    {
        auto* more = m_window->menuBar()->findChild<QToolButton*>(QStringLiteral("qt_menubar_ext_button"));
        QVERIFY(more);
        QVERIFY2(more->toolTip().contains("«Данные»"), qPrintable(more->toolTip()));
        app::testing::shot(m_window.get(), "menu-overflow");
    }

    // The first run of a lab without Russian tables: the refusal offers the window's import for
    // the chosen population, then the load again; or the choice of another population. It names
    // the menu for later and no command line.
    void firstRunOffersTheImportOfTheChosenPopulation()
    {
        for (const QString& answer :
             {QStringLiteral("Выбрать другую популяцию"), QStringLiteral("Импорт таблицы частот…")}) {
            app::testing::ScriptedDialogs dialogs;
            MainWindow window(kFormat, dialogs, *m_reader, [] { return automation::makeXlsxWorkbookWriter(); });
            window.start();
            QVERIFY(window.populationDialog()->russiansButton->isChecked());
            dialogs.choices.enqueue(answer);
            bool russiansShown = false;
            if (answer.startsWith("Импорт")) {
                dialogs.fileNames.enqueue(kTable);
                whenShown<app::ImportOptionsDialog>([&](auto* dialog) {
                    russiansShown = dialog->russians->isChecked();
                    dialog->checkButton->click();
                });
                whenShown<app::ImportSummaryDialog>([](auto* dialog) { dialog->writeButton->click(); });
            }
            QTest::mouseClick(window.populationDialog()->okButton, Qt::LeftButton);
            QCOMPARE(dialogs.calls.at(1).kind, QStringLiteral("choose"));
            QCOMPARE(dialogs.calls.at(1).title,
                     QStringLiteral("Нет таблиц частот|Импорт таблицы частот…|Выбрать другую популяцию"));
            const QString text = dialogs.calls.at(1).text;
            QVERIFY2(text.contains("меню «Данные» → «Импорт таблицы частот…»") && !text.contains("paternity-index"),
                     qPrintable(text));
            if (!qEnvironmentVariableIsEmpty("PI_SHOTS_DIR")) {
                // The offer as the program's own boxes show it, for a person to look at.
                whenShown<QMessageBox>([](auto* box) {
                    app::testing::shot(box, "first-run-offer");
                    box->buttons().constFirst()->click();
                });
                app::WidgetDialogs().choose(
                    nullptr, QStringLiteral("Нет таблиц частот"), text,
                    {QStringLiteral("Импорт таблицы частот…"), QStringLiteral("Выбрать другую популяцию")});
            }
            // The failed load is reported as before: the book and the missing worksheet.
            QCOMPARE(dialogs.texts("error").size(), 1);
            QVERIFY2(dialogs.texts("error").constFirst().contains("-rus»")
                         && !dialogs.texts("error").constFirst().contains("paternity-index"),
                     qPrintable(dialogs.texts("error").constFirst()));
            if (answer.startsWith("Выбрать")) {
                QVERIFY(!window.isVisible());
                QVERIFY(window.populationDialog()->isVisible());
                QVERIFY(window.populationDialog()->okButton->isVisible());
                window.populationDialog()->hide();
                continue;
            }
            QVERIFY(russiansShown);
            QVERIFY2(window.isVisible(), qPrintable(dialogs.texts("error").join('\n')));
            QCOMPARE(dialogs.texts("error").size(), 1);
            QCOMPARE(window.locusTable().population(), freqdb::Population::Russians);
            QCOMPARE(window.locusBox->count(), 29);
        }
    }

    // Qt's own texts in Russian: the file dialog's type column among them.
    void qtTextsAreRussian()
    {
        QVERIFY(app::installQtTranslations(*QCoreApplication::instance()));
        QDir(m_dir->path()).mkpath("папка");
        QFileSystemModel model;
        QSignalSpy loaded(&model, &QFileSystemModel::directoryLoaded);
        const QModelIndex root = model.setRootPath(m_dir->path());
        QVERIFY(loaded.wait(5000) || model.rowCount(root) > 0);
        const QModelIndex folder = model.index(m_dir->filePath("папка"));
        QCOMPARE(model.type(folder), QStringLiteral("Папка"));
        QDialogButtonBox buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
        QCOMPARE(buttons.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("Отмена"));
        QFileDialog dialog(nullptr, QString(), m_dir->path());
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.resize(640, 400);
        dialog.show();
        QTest::qWait(300);
        app::testing::shot(&dialog, "file-dialog");
    }
};

QTEST_MAIN(DataMenuTest)
#include "datamenu_test.moc"
