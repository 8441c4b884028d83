// SPDX-License-Identifier: GPL-3.0-or-later
// "Сохранить" under the operators' locale. QApplication sets the C library to LANG (here
// ru_RU.UTF-8, where printf writes "9,3"); the saved workbook must still be one that other
// programs open, and reading it back must give the table that was saved.
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <QComboBox>
#include <clocale>
#include <fstream>
#include <memory>

#include "app/helpwindow.h"
#include "app/mainwindow.h"
#include "app/populationdialog.h"
#include "app/resultsview.h"
#include "app/samplechoicedialog.h"
#include "automation/workbookwriter.h"
#include "exchange/resultsworkbookreader.h"
#include "scripteddialogs.h"
#include "support/fakeworkbook.h"

using automation::CellValue;
using automation::FakeSheet;
using automation::makeCellArray;

class SaveLocaleTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        const char* numeric = std::setlocale(LC_NUMERIC, nullptr);
        if (!numeric || !QByteArray(numeric).startsWith("ru_RU"))
            QSKIP("the ru_RU.UTF-8 locale is not installed (scripts/install-deps.sh generates it)");
        QCOMPARE(QByteArray(std::localeconv()->decimal_point), QByteArray(","));
    }

    void savedWorkbookReadsBackUnderTheRussianLocale()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString previous = QDir::currentPath();
        QDir::setCurrent(dir.path());
        const std::filesystem::path work(dir.path().toStdString());
        std::filesystem::create_directories(work / "data");
        std::ofstream(work / "data" / "TH01.xls").flush();
        automation::FakeWorkbookReader loci;
        loci.add(work / "data" / "TH01.xls",
                 {FakeSheet{"TH01-white", makeCellArray({{"6", 0.2}, {"7", 0.4}, {"9.3", 0.4}, {"Сумма", 1.0}})}});

        const text::NumberFormat format(text::decimalSeparatorFromEnvironment());
        QCOMPARE(QString::fromStdString(format.decimalSeparator()), QStringLiteral(","));
        app::testing::ScriptedDialogs dialogs;
        app::MainWindow window(format, dialogs, loci, [] { return automation::makeXlsxWorkbookWriter(); });
        window.start();
        window.populationDialog()->usCaucasiansButton->setChecked(true);
        QTest::mouseClick(window.populationDialog()->okButton, Qt::LeftButton);
        QVERIFY(window.isVisible());
        QCOMPARE(window.priorField->text(), QStringLiteral("0,5"));

        window.locusBox->setCurrentIndex(0);
        emit window.locusBox->activated(0);
        for (QComboBox* list : {window.fatherAllele1Box, window.childAllele1Box, window.motherAllele1Box})
            list->setCurrentIndex(list->findText("6"));
        for (QComboBox* list : {window.fatherAllele2Box, window.childAllele2Box, window.motherAllele2Box})
            list->setCurrentIndex(list->findText("9.3"));
        window.calculateAction->trigger();
        window.gridPressed(Qt::LeftButton, QPoint(300, 40), {});
        window.combineAction->trigger();
        QVERIFY(window.probabilityLine->text().contains(QStringLiteral(",")));

        const QString saved = dir.filePath(QStringLiteral("case.xlsx"));
        dialogs.fileNames.enqueue(saved);
        window.saveAction->trigger();
        QCOMPARE(dialogs.texts("error"), QStringList());
        QCOMPARE(dialogs.texts("information"), QStringList{QStringLiteral("Файл сохранен")});

        // No number inside the workbook's XML carries a decimal comma (widths, heights, values).
        QProcess unzip;
        unzip.start(
            QStringLiteral("python3"),
            {QStringLiteral("-c"),
             QStringLiteral("import sys, zipfile\nz = zipfile.ZipFile(sys.argv[1])\n"
                            "print(''.join(z.read(n).decode('utf-8') for n in z.namelist() if n.endswith('.xml')))"),
             saved});
        QVERIFY(unzip.waitForFinished());
        QCOMPARE(unzip.exitCode(), 0);
        const QString xml = QString::fromUtf8(unzip.readAllStandardOutput());
        QVERIFY(xml.contains(QStringLiteral("<sheetData")));
        const QRegularExpression commaNumber(QStringLiteral("=\"-?[0-9]+,[0-9]+\"|<v>-?[0-9]+,[0-9]+</v>"));
        QVERIFY2(!xml.contains(commaNumber), qPrintable(commaNumber.match(xml).captured()));

        const auto reader = automation::makeFileWorkbookReader();
        const exchange::LoadedResults loaded = exchange::loadResultsWorkbook(saved.toStdString(), *reader, format);
        QVERIFY2(loaded.ok, loaded.error.c_str());
        QCOMPARE(loaded.grid.ResultCount(), window.grid().ResultCount());
        for (int row = 0; row <= 2; ++row)
            for (int column = 0; column < results::kColumnCount; ++column)
                QCOMPARE(loaded.grid.cell(row, column), window.grid().cell(row, column));
        QCOMPARE(loaded.grid.RowGenotypes(1), window.grid().RowGenotypes(1));
        QCOMPARE(loaded.grid.cell(1, results::kColumnMark), std::string("++"));
        QCOMPARE(QString::fromStdString(loaded.cpiLine), window.cpiLine->text());
        QCOMPARE(QString::fromStdString(loaded.probabilityLine), window.probabilityLine->text());

        // Saving again over the same file asks first.
        dialogs.fileNames.enqueue(saved);
        dialogs.answers.enqueue(app::Answer::No);
        window.saveAction->trigger();
        QCOMPARE(dialogs.calls.last().kind, QStringLiteral("question"));
        QVERIFY(dialogs.calls.last().text.contains(QStringLiteral("case.xlsx")));
        QCOMPARE(dialogs.texts("information").size(), 1);

        window.hide();
        QDir::setCurrent(previous);
    }

    // The program as run.sh starts it: the bundled data folder read by the real file reader.
    void bundledDataOpensTheWindowForUsPopulations()
    {
        const QString source = qEnvironmentVariable("PI_SOURCE_DIR");
        if (source.isEmpty() || !QDir(source).exists(QStringLiteral("data")))
            QSKIP("PI_SOURCE_DIR does not name the source tree");
        const QString previous = QDir::currentPath();
        QDir::setCurrent(source);
        const text::NumberFormat format(text::decimalSeparatorFromEnvironment());
        const auto reader = automation::makeFileWorkbookReader();
        app::testing::ScriptedDialogs dialogs;
        app::MainWindow window(format, dialogs, *reader, [] { return automation::makeXlsxWorkbookWriter(); });
        window.start();
        // The bundled workbooks have no Russian worksheets: the dialog comes back.
        QTest::mouseClick(window.populationDialog()->okButton, Qt::LeftButton);
        QCOMPARE(dialogs.texts("error").size(), 1);
        QVERIFY(window.populationDialog()->isVisible());
        window.populationDialog()->usCaucasiansButton->setChecked(true);
        QTest::mouseClick(window.populationDialog()->okButton, Qt::LeftButton);
        QVERIFY2(window.isVisible(), qPrintable(dialogs.texts("error").join('\n')));
        QCOMPARE(window.locusBox->count(), 29);

        auto calculate = [&](const QString& locus, const QStringList& six) {
            const int index = window.locusBox->findText(locus);
            QVERIFY(index >= 0);
            window.locusBox->setCurrentIndex(index);
            emit window.locusBox->activated(index);
            const std::array<QComboBox*, 6> lists
                = {window.fatherAllele1Box, window.fatherAllele2Box, window.childAllele1Box,
                   window.childAllele2Box,  window.motherAllele1Box, window.motherAllele2Box};
            for (std::size_t i = 0; i < lists.size(); ++i)
                lists[i]->setCurrentIndex(lists[i]->findText(six[static_cast<int>(i)]));
            window.calculateAction->trigger();
        };
        calculate("D3S1358", {"15", "16", "15", "17", "17", "17"});
        calculate("vWA", {"16", "18", "17", "18", "17", "19"});
        calculate("FGA", {"22", "24", "21", "22", "Нет", "Нет"});
        calculate("TH01", {"6", "6", "7", "9", "7", "9"});
        QCOMPARE(dialogs.texts("information"), QStringList());
        QCOMPARE(window.grid().ResultCount(), 4);
        for (int row = 1; row <= 3; ++row)
            QVERIFY(!window.grid().cell(row, results::kColumnLr).empty());
        window.gridPressed(Qt::LeftButton, QPoint(300, 40), {});
        window.gridPressed(Qt::LeftButton, QPoint(300, 65), {});
        window.combineAction->trigger();
        QVERIFY(window.cpiLine->text().startsWith(QStringLiteral("Индекс отцовства")));

        window.helpAction->trigger();
        QCOMPARE(dialogs.texts("error").size(), 1);
        QVERIFY(window.helpWindow() && window.helpWindow()->isVisible());

        if (!qEnvironmentVariableIsEmpty("PI_SCREENSHOT")) {
            QVERIFY(QTest::qWaitForWindowExposed(&window));
            window.grab().save(qEnvironmentVariable("PI_SCREENSHOT"));
            window.helpWindow()->grab().save(qEnvironmentVariable("PI_SCREENSHOT") + QStringLiteral(".help.png"));
        }
        window.helpWindow()->close();
        window.hide();
        QDir::setCurrent(previous);
    }

    // The example trio export read from the file through the sample dialog, over the bundled data.
    void exampleExportFillsTheWindow()
    {
        const QString source = qEnvironmentVariable("PI_SOURCE_DIR");
        if (source.isEmpty() || !QDir(source).exists(QStringLiteral("data")))
            QSKIP("PI_SOURCE_DIR does not name the source tree");
        const QString previous = QDir::currentPath();
        QDir::setCurrent(source);
        const text::NumberFormat format(text::decimalSeparatorFromEnvironment());
        const auto reader = automation::makeFileWorkbookReader();
        app::testing::ScriptedDialogs dialogs;
        app::MainWindow window(format, dialogs, *reader, [] { return automation::makeXlsxWorkbookWriter(); });
        window.start();
        window.populationDialog()->usCaucasiansButton->setChecked(true);
        QTest::mouseClick(window.populationDialog()->okButton, Qt::LeftButton);
        const QString shot = qEnvironmentVariable("PI_SCREENSHOT");
        dialogs.fileNames.enqueue(source + QStringLiteral("/examples/trio-export.txt"));
        dialogs.dialogScripts.enqueue([&shot](QDialog& dialog) {
            auto& d = dynamic_cast<app::SampleChoiceDialog&>(dialog);
            d.fatherBox->setCurrentIndex(d.fatherBox->findData(QStringLiteral("Father-2026-118")));
            d.childBox->setCurrentIndex(d.childBox->findData(QStringLiteral("Child-2026-118")));
            d.motherBox->setCurrentIndex(d.motherBox->findData(QStringLiteral("Mother-2026-118")));
            if (!shot.isEmpty()) {
                d.show();
                if (QTest::qWaitForWindowExposed(&d))
                    d.grab().save(shot + QStringLiteral(".samples.png"));
            }
            return true;
        });
        window.loadGenotypesAction->trigger();
        QCOMPARE(dialogs.texts("error"), QStringList());
        QCOMPARE(dialogs.texts("information"),
                 QStringList{
                     "Маркеры экспорта без таблицы частот в папке данных (не рассчитываются): AMEL, DYS391, Yindel"});
        QCOMPARE(window.grid().ResultCount(), 23);
        for (int row = 1; row <= 23; ++row)
            QVERIFY(!window.grid().cell(row, results::kColumnLr).empty());
        if (!shot.isEmpty()) {
            QVERIFY(QTest::qWaitForWindowExposed(&window));
            window.grab().save(shot + QStringLiteral(".export.png"));
        }
        window.hide();
        QDir::setCurrent(previous);
    }
};

QTEST_MAIN(SaveLocaleTest)
#include "savelocale_test.moc"
