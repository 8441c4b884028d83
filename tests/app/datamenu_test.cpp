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
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <fstream>
#include <functional>
#include <iterator>

#include "app/archiverundialog.h"
#include "app/datamenu.h"
#include "app/importoptionsdialog.h"
#include "app/importsummarydialog.h"
#include "app/mainwindow.h"
#include "app/populationdialog.h"
#include "app/settingsdialog.h"
#include "app/validationdialog.h"
#include "automation/workbookwriter.h"
#include "exchange/resultsworkbookreader.h"
#include "freqdb/labsettingsfile.h"
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
                                     "Расчёт архива дел…", "Открыть папку данных"}));
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
            QVERIFY2(lines[i].endsWith(",,,,,,не обработано: запуск прерван,,,"), lines[i].constData());
        const QString message = m_dialogs.texts("question").last();
        QVERIFY2(message.startsWith("Расчёт архива прерван.") && message.contains("Не обработано (запуск прерван): 2."),
                 qPrintable(message));
        QVERIFY(m_dialogs.texts("document").isEmpty());
    }
};

QTEST_MAIN(DataMenuTest)
#include "datamenu_test.moc"
