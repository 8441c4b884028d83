// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop window driven through its real widgets, offscreen. The locus workbooks are empty
// files in a temporary data folder whose content the in-memory fake reader supplies; message
// boxes and file dialogs are answered by ScriptedDialogs.
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>

#include <fstream>
#include <functional>
#include <memory>

#include "app/aboutdialog.h"
#include "app/helpwindow.h"
#include "app/mainwindow.h"
#include "app/populationdialog.h"
#include "app/resultsview.h"
#include "app/samplechoicedialog.h"
#include "automation/cellvalue.h"
#include "automation/workbookwriter.h"
#include "freqdb/loadmessages.h"
#include "results/genotyperow.h"
#include "scripteddialogs.h"
#include "shots.h"
#include "support/fakeworkbook.h"

using app::Answer;
using app::MainWindow;
using automation::CellValue;
using automation::FakeSheet;
using automation::makeCellArray;
using Rows = std::vector<std::vector<CellValue>>;

namespace {

// The last row of a locus table closes it and is never an allele.
const Rows kD3White = {{"15", 0.25}, {"16", 0.2}, {"17", 0.1}, {"18", 0.05}, {"Сумма", 0.6}};
const Rows kD3Black = {{"15", 0.5}, {"16", 0.1}, {"17", 0.2}, {"Сумма", 0.8}};
const Rows kTh01White = {{"6", 0.2}, {"7", 0.4}, {"9.3", 0.4}, {"Сумма", 1.0}};
const Rows kTh01Black = {{"6", 0.1}, {"7", 0.5}, {"9.3", 0.2}, {"Сумма", 0.8}};
// A rare allele: the trio 20/21, 20/22, 22/22 gives LR 1/2p(20) = 714,29.
const Rows kFgaWhite = {{"20", 0.0007}, {"21", 0.4993}, {"22", 0.5}, {"Сумма", 1.0}};
const QStringList kRareTrio = {"20", "21", "20", "22", "22", "22"};

const QString kTrioFormula = QStringLiteral("1/2p(15)");

} // namespace

class WindowTest : public QObject {
    Q_OBJECT

private:
    std::filesystem::path workDir() const { return std::filesystem::path(m_dir->path().toStdString()); }

    void addLocus(const std::string& fileName, const Rows& white, const Rows& black,
                  const std::filesystem::path& folder = {})
    {
        const auto path = (folder.empty() ? workDir() / "data" : folder) / fileName;
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path).flush();
        const std::string locus = path.stem().string();
        m_reader.add(path, {FakeSheet{locus + "-white", makeCellArray(white)},
                            FakeSheet{locus + "-black", makeCellArray(black)}});
    }

    // Start-up with "Европеоиды США": the bundled-style data has no Russian worksheets.
    void openWindow()
    {
        m_window->start();
        m_window->populationDialog()->usCaucasiansButton->setChecked(true);
        QTest::mouseClick(m_window->populationDialog()->okButton, Qt::LeftButton);
        QVERIFY2(m_window->isVisible(), qPrintable(m_dialogs.texts("error").join('\n')));
    }

    void chooseLocus(const QString& name)
    {
        const int index = m_window->locusBox->findText(name);
        QVERIFY(index >= 0);
        m_window->locusBox->setCurrentIndex(index);
        emit m_window->locusBox->activated(index);
    }

    static void pick(QComboBox* list, const QString& text) { list->setCurrentIndex(list->findText(text)); }

    // father, child and mother genotypes as the six lists show them; "" leaves a list empty.
    void enter(const QStringList& six)
    {
        const std::array<QComboBox*, 6> lists
            = {m_window->fatherAllele1Box, m_window->fatherAllele2Box, m_window->childAllele1Box,
               m_window->childAllele2Box,  m_window->motherAllele1Box, m_window->motherAllele2Box};
        for (std::size_t i = 0; i < lists.size(); ++i)
            pick(lists[i], six[static_cast<int>(i)]);
    }

    void calculate(const QString& locus, const QStringList& six)
    {
        chooseLocus(locus);
        enter(six);
        m_window->calculateAction->trigger();
    }

    QString cell(int row, int column) const { return QString::fromStdString(m_window->grid().cell(row, column)); }

    QStringList rowTexts(int row) const
    {
        QStringList texts;
        for (int c = 0; c < results::kColumnCount; ++c)
            texts << cell(row, c);
        return texts;
    }

    // A press on the grid at client point (x, y of the middle of `row`).
    void pressRow(Qt::MouseButton button, int x, int row)
    {
        const QModelIndex index = m_window->resultsView->model()->index(row - 1, 0);
        const int y = m_window->resultsView->visualRect(index).center().y();
        QTest::mousePress(m_window->resultsView->viewport(), button, {}, QPoint(x, y));
        QTest::mouseRelease(m_window->resultsView->viewport(), button, {}, QPoint(x, y));
    }

    // Saves the table through "Сохранить" under `path` (a new file) and reads the saved sheet
    // back from the file, as another program would.
    automation::CellArray saveAndRead(const std::filesystem::path& path)
    {
        m_dialogs.fileNames.enqueue(QString::fromStdString(path.string()));
        m_window->saveAction->trigger();
        const auto book = automation::makeFileWorkbookReader()->open(path);
        return book->usedRange(1);
    }

    // Column B of sheet row `row`: where the saved result lines stand.
    QString sheetText(const automation::CellArray& sheet, int row) const
    {
        return QString::fromStdString(automation::cellText(sheet.at(row, 2), m_format));
    }

    // The text of a PDF, blanks and line ends squeezed to single blanks.
    static QString pdfText(const QString& pdf)
    {
        QProcess text;
        text.start(QStringLiteral("pdftotext"), {QStringLiteral("-raw"), pdf, QStringLiteral("-")});
        text.waitForFinished();
        return QString::fromUtf8(text.readAllStandardOutput()).simplified();
    }

    void combine()
    {
        m_window->combineAction->trigger();
        QVERIFY(!m_window->cpiLine->text().isEmpty());
    }

    void threeRows()
    {
        calculate("D3S1358", {"15", "16", "15", "17", "17", "17"});
        calculate("D3S1358", {"16", "16", "16", "17", "Нет", "Нет"});
        calculate("TH01", {"6", "7", "7", "9.3", "9.3", "9.3"});
        QCOMPARE(m_window->grid().ResultCount(), 3);
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_previousDir = QDir::currentPath();
        QDir::setCurrent(m_dir->path());
        m_reader = automation::FakeWorkbookReader();
        addLocus("D3S1358.xls", kD3White, kD3Black);
        addLocus("TH01.xls", kTh01White, kTh01Black);
        m_dialogs = app::testing::ScriptedDialogs();
        m_window = std::make_unique<MainWindow>(m_format, m_dialogs, m_reader,
                                                [] { return automation::makeXlsxWorkbookWriter(); });
    }

    void cleanup()
    {
        if (m_window && m_window->popupMenu())
            m_window->popupMenu()->hide();
        m_window.reset();
        QDir::setCurrent(m_previousDir);
        m_dir.reset();
    }

    void startUpShowsOnlyThePopulationDialog()
    {
        m_window->start();
        app::PopulationDialog* dialog = m_window->populationDialog();
        QVERIFY(dialog->isVisible());
        QVERIFY(!m_window->isVisible());
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Выберите популяцию"));
        QVERIFY(dialog->russiansButton->isChecked());
        QCOMPARE(dialog->russiansButton->text(), QStringLiteral("Русские"));
        QCOMPARE(dialog->usCaucasiansButton->text(), QStringLiteral("Европеоиды США"));
        QCOMPARE(dialog->usBlacksButton->text(), QStringLiteral("Негры США"));
        QCOMPARE(dialog->otherPopulationButton->text(), QStringLiteral("Другая ..."));
        QVERIFY(!dialog->otherPopulationButton->isEnabled());
        QVERIFY(dialog->windowFlags() & Qt::WindowStaysOnTopHint);
        QVERIFY(!(dialog->windowFlags() & Qt::WindowCloseButtonHint));
        QCOMPARE(dialog->okButton->text(), QStringLiteral("OK"));
    }

    void okLoadsTheTableAndOpensTheWindow()
    {
        openWindow();
        QVERIFY(!m_window->populationDialog()->isVisible());
        QCOMPARE(m_window->populationDialog()->Population(), freqdb::Population::UsCaucasians);
        QCOMPARE(m_window->windowTitle(), QStringLiteral("Paternity Index"));
        QCOMPARE(m_window->locusBox->count(), 2);
        QCOMPARE(m_window->locusBox->itemText(0), QStringLiteral("D3S1358"));
        QCOMPARE(m_window->locusBox->currentIndex(), -1);
        QCOMPARE(m_window->focusWidget(), m_window->locusBox);
        QCOMPARE(m_window->grid().ResultCount(), 0);
        QCOMPARE(m_window->resultsView->model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("  Локус"));
        QCOMPARE(m_window->priorField->text(), QStringLiteral("0,5"));
        QVERIFY(!m_window->fatherAllele1Box->isEnabled());
        QCOMPARE(m_window->workDir(), workDir());
        QVERIFY(m_dialogs.calls.isEmpty());
    }

    // The bundled data has no Russian worksheets: the loader's message, then the dialog again.
    void failedStartUpLoadBringsTheDialogBack()
    {
        m_window->start();
        m_dialogs.choices.enqueue(QStringLiteral("Выбрать другую популяцию"));
        QTest::mouseClick(m_window->populationDialog()->okButton, Qt::LeftButton);
        QCOMPARE(m_dialogs.texts("error").size(), 1);
        QVERIFY(m_dialogs.texts("error").constFirst().startsWith(QString::fromUtf8(freqdb::kReadFailed.data())));
        QVERIFY(!m_window->isVisible());
        QVERIFY(m_window->populationDialog()->isVisible());
        QCOMPARE(m_window->populationDialog()->windowTitle(), QStringLiteral("Выберите популяцию"));
        QCOMPARE(m_window->populationDialog()->Population(), freqdb::Population::Unset);

        m_window->populationDialog()->usBlacksButton->setChecked(true);
        QTest::mouseClick(m_window->populationDialog()->okButton, Qt::LeftButton);
        QVERIFY(m_window->isVisible());
        QCOMPARE(m_window->populationDialog()->Population(), freqdb::Population::UsBlacks);
    }

    void closingTheDialogBeforeOkEndsTheRun()
    {
        QSignalSpy quit(m_window.get(), &MainWindow::quitRequested);
        m_window->start();
        m_window->populationDialog()->close();
        QCOMPARE(quit.count(), 1);
        QVERIFY(!m_window->isVisible());
    }

    void choosingALocusFillsTheSixLists()
    {
        openWindow();
        chooseLocus("TH01");
        const QStringList labels = {"6", "7", "9.3"};
        for (QComboBox* list : {m_window->fatherAllele1Box, m_window->fatherAllele2Box, m_window->childAllele1Box,
                                m_window->childAllele2Box}) {
            QCOMPARE(list->count(), 3);
            QCOMPARE(list->itemText(2), QStringLiteral("9.3"));
            QCOMPARE(list->currentIndex(), -1);
            QVERIFY(list->isEnabled());
        }
        for (QComboBox* list : {m_window->motherAllele1Box, m_window->motherAllele2Box}) {
            QCOMPARE(list->count(), 4);
            QCOMPARE(list->itemText(0), QStringLiteral("Нет"));
            QCOMPARE(list->itemText(1), QStringLiteral("6"));
        }
        // A second choice of the same locus clears the selections again.
        enter({"6", "7", "7", "7", "Нет", "Нет"});
        chooseLocus("TH01");
        QCOMPARE(m_window->fatherAllele1Box->currentText(), QString());
        QCOMPARE(m_window->fatherAllele1Box->count(), 3);
    }

    // What the operator reads on the window, character for character (blanks included).
    void windowTextsAreTheOperatorsTexts()
    {
        openWindow();
        QStringList menu;
        for (const QAction* action : m_window->menuBar()->actions())
            menu << action->text();
        QCOMPARE(menu, (QStringList{"Рассчитать", "Популяция", "Перемножить", "Очистить", "Сохранить", "Загрузить",
                                    "Справка", "О программе", "Данные"}));
        QCOMPARE(m_window->loadResultsAction->text(), QStringLiteral("Результаты"));
        QCOMPARE(m_window->loadGenotypesAction->text(), QStringLiteral("Генотипы и рассчитать LR"));
        QCOMPARE(m_window->menuBar()->actions().at(5)->menu()->actions(),
                 (QList<QAction*>{m_window->loadResultsAction, m_window->loadGenotypesAction}));

        const struct {
            QGroupBox* group;
            const char* caption;
            const char* alleleCaption; // empty for the locus group
        } groups[] = {
            {m_window->locusGroup, "Локус", ""},
            {m_window->fatherGroup, "Предполагаемый отец", "Аллель 1     Аллель 2"},
            {m_window->childGroup, "Ребенок", "Аллель 1     Аллель 2"},
            {m_window->motherGroup, "Мать", "Аллель 1    Аллель 2"},
        };
        for (const auto& expected : groups) {
            QCOMPARE(expected.group->title(), QString::fromUtf8(expected.caption));
            QStringList labels;
            for (const QLabel* label : expected.group->findChildren<QLabel*>())
                labels << label->text();
            const QString alleleCaption = QString::fromUtf8(expected.alleleCaption);
            QCOMPARE(labels, alleleCaption.isEmpty() ? QStringList() : QStringList{alleleCaption});
        }
        QCOMPARE(m_window->priorLabel->text(), QStringLiteral("Априорная вероятность РР ="));
        QStringList headers;
        for (int c = 0; c < results::kColumnCount; ++c)
            headers << m_window->resultsView->model()->headerData(c, Qt::Horizontal).toString();
        QCOMPARE(headers,
                 (QStringList{"№", "  Локус", " Формула", "Частота аллеля", "Частота аллеля", " LR", "Выбрать"}));
    }

    void entryMessages_data()
    {
        QTest::addColumn<QString>("locus");
        QTest::addColumn<QStringList>("six");
        QTest::addColumn<QString>("message");
        QTest::newRow("no locus chosen") << QString() << QStringList{"", "", "", "", "", ""}
                                         << QStringLiteral("Введите все генотипы");
        QTest::newRow("child list empty")
            << "D3S1358" << QStringList{"15", "16", "15", "", "17", "17"} << QStringLiteral("Введите все генотипы");
        QTest::newRow("father and mother empty, father first")
            << "D3S1358" << QStringList{"", "16", "15", "17", "", ""} << QStringLiteral("Введите все генотипы");
        QTest::newRow("mother list empty")
            << "D3S1358" << QStringList{"15", "16", "15", "17", "17", ""} << QStringLiteral("Нет генотипа матери");
    }

    void entryMessages()
    {
        QFETCH(QString, locus);
        QFETCH(QStringList, six);
        QFETCH(QString, message);
        openWindow();
        if (!locus.isEmpty())
            chooseLocus(locus);
        enter(six);
        m_window->calculateAction->trigger();
        QCOMPARE(m_dialogs.texts("information"), QStringList{message});
        QCOMPARE(m_window->grid().ResultCount(), 0);
        QCOMPARE(cell(1, 0), QString());
    }

    void trioAndDuoGiveTheirRows()
    {
        openWindow();
        calculate("D3S1358", {"15", "16", "15", "17", "17", "17"});
        calculate("D3S1358", {"16", "16", "16", "17", "Нет", "Нет"});
        calculate("D3S1358", {"15", "16", "15", "16", "Нет", "Нет"});
        QVERIFY(m_dialogs.calls.isEmpty());
        QCOMPARE(m_window->grid().ResultCount(), 3);
        QCOMPARE(rowTexts(1), (QStringList{"1", "D3S1358", kTrioFormula, "p(15)=0,250", "", "2,00", ""}));
        QCOMPARE(rowTexts(2), (QStringList{"2", "D3S1358", "1/2p(16)", "p(16)=0,200", "", "2,50", ""}));
        QCOMPARE(rowTexts(3),
                 (QStringList{"3", "D3S1358", "(p(15)+p(16))/4p(15)p(16)", "p(15)=0,250", "p(16)=0,200", "2,25", ""}));
        const results::RowGenotype trio{"17", "17", "15", "17", "15", "16"};
        QCOMPARE(m_window->grid().RowGenotypes(1), trio);
        QCOMPARE(m_window->grid().RowGenotypes(2).mother1, std::string("Нет"));
        // The view shows the table.
        const QAbstractItemModel* model = m_window->resultsView->model();
        QCOMPARE(model->data(model->index(0, 2)).toString(), kTrioFormula);
        // The lists keep their selections, so the same entry can be calculated again.
        QCOMPARE(m_window->fatherAllele1Box->currentText(), QStringLiteral("15"));
    }

    void leftPressRightOfTheThresholdTogglesTheMark()
    {
        openWindow();
        calculate("D3S1358", {"15", "16", "15", "17", "17", "17"});
        pressRow(Qt::LeftButton, 280, 1);
        QCOMPARE(cell(1, 6), QString());
        pressRow(Qt::LeftButton, 281, 1);
        QCOMPARE(cell(1, 6), QStringLiteral("++"));
        QCOMPARE(m_window->clickedRow(), 1);
        pressRow(Qt::LeftButton, 281, 1);
        QCOMPARE(cell(1, 6), QString());
        // Two quick presses: the second arrives as a double click and still toggles.
        pressRow(Qt::LeftButton, 281, 1);
        QCOMPARE(cell(1, 6), QStringLiteral("++"));
        const QModelIndex first = m_window->resultsView->model()->index(0, 0);
        const QPoint point(281, m_window->resultsView->visualRect(first).center().y());
        QTest::mouseDClick(m_window->resultsView->viewport(), Qt::LeftButton, {}, point);
        QTest::mouseRelease(m_window->resultsView->viewport(), Qt::LeftButton, {}, point);
        QCOMPARE(cell(1, 6), QString());
        // Below the last row and on the header nothing happens.
        pressRow(Qt::LeftButton, 400, 2);
        QCOMPARE(cell(2, 6), QString());
        m_window->gridPressed(Qt::LeftButton, QPoint(400, MainWindow::kHeaderLimitY), {});
        m_window->gridPressed(Qt::RightButton, QPoint(400, MainWindow::kHeaderLimitY), {});
        QCOMPARE(cell(1, 6), QString());
        QVERIFY(!m_window->popupMenu()->isVisible());
        QTest::mousePress(m_window->resultsView->horizontalHeader()->viewport(), Qt::LeftButton, {}, QPoint(400, 5));
        QCOMPARE(cell(1, 6), QString());
        QCOMPARE(cell(0, 6), QStringLiteral("Выбрать"));
    }

    void rightPressOpensThePopUpAndDeleteRemovesTheRow()
    {
        openWindow();
        threeRows();
        pressRow(Qt::LeftButton, 300, 3); // mark row 3: the mark moves up with its row
        pressRow(Qt::RightButton, 20, 4); // below the last row: nothing
        QVERIFY(!m_window->popupMenu()->isVisible());

        pressRow(Qt::RightButton, 20, 2);
        QVERIFY(m_window->popupMenu()->isVisible());
        QCOMPARE(m_window->clickedRow(), 2);
        QCOMPARE(m_window->popupMenu()->actions().size(), 2);
        QCOMPARE(m_window->selectAction->text(), QStringLiteral("Выбрать"));
        QCOMPARE(m_window->deleteAction->text(), QStringLiteral("Удалить"));
        const QModelIndexList selected = m_window->resultsView->selectionModel()->selectedIndexes();
        QCOMPARE(selected.size(), 7);
        for (const QModelIndex& index : selected)
            QCOMPARE(index.row(), 1);

        const QStringList third = rowTexts(3);
        m_window->deleteAction->trigger();
        m_window->popupMenu()->hide();
        QCOMPARE(m_window->grid().ResultCount(), 2);
        QCOMPARE(cell(2, 0), QStringLiteral("2"));
        QCOMPARE(rowTexts(2).mid(1), third.mid(1));
        QCOMPARE(cell(2, 6), QStringLiteral("++"));
        QCOMPARE(rowTexts(3), QStringList(7, QString()));

        pressRow(Qt::RightButton, 20, 1);
        m_window->selectAction->trigger();
        QCOMPARE(cell(1, 6), QStringLiteral("++"));
    }

    void combineUsesTheMarkedRowsAndTheTypedPrior()
    {
        openWindow();
        m_window->combineAction->trigger();
        QCOMPARE(m_dialogs.texts("information"), QStringList{QStringLiteral("Выберите локусы")});
        threeRows();
        pressRow(Qt::LeftButton, 300, 1);
        pressRow(Qt::LeftButton, 300, 2);
        m_window->priorField->setText(QStringLiteral("0,9"));
        m_window->combineAction->trigger();
        QCOMPARE(m_window->cpiLine->text(), QStringLiteral("Индекс отцовства (Combined Paternity Index) CPI=5,0"));
        QCOMPARE(m_window->probabilityLine->text(),
                 QStringLiteral("Вероятность отцовства P=97,8261% (априор.вероятность pp=0,9)"));
        // A point reads as the comma does; the operator's text stays as typed.
        m_window->priorField->setText(QStringLiteral("0.9"));
        m_window->combineAction->trigger();
        QCOMPARE(m_window->priorField->text(), QStringLiteral("0.9"));
        QVERIFY(m_window->probabilityLine->text().endsWith(QStringLiteral("pp=0,9)")));
        // A prior that is no number reads 0,5 again.
        m_window->priorField->setText(QStringLiteral("abc"));
        m_window->combineAction->trigger();
        QCOMPARE(m_window->priorField->text(), QStringLiteral("0,5"));
        QVERIFY(m_window->probabilityLine->text().endsWith(QStringLiteral("pp=0,5)")));
    }

    // A combined index belongs to the rows and marks it was formed from: any change to them
    // empties both result fields, so no stale index is shown or saved beside other rows.
    void resultLinesGoWhenRowsOrMarksChange()
    {
        openWindow();
        threeRows();
        const std::vector<std::pair<const char*, std::function<void()>>> changes = {
            {"a new row",
             [&] {
                 calculate("TH01", {"6", "7", "7", "9.3", "9.3", "9.3"});
             }},
            {"a mark toggled by a press", [&] { pressRow(Qt::LeftButton, 300, 2); }},
            {"a mark toggled from the pop-up",
             [&] {
                 pressRow(Qt::RightButton, 20, 3);
                 m_window->selectAction->trigger();
                 m_window->popupMenu()->hide();
             }},
            {"a row deleted",
             [&] {
                 pressRow(Qt::RightButton, 20, m_window->grid().ResultCount());
                 m_window->deleteAction->trigger();
                 m_window->popupMenu()->hide();
             }},
            {"rows recomputed for another population",
             [&] {
                 m_dialogs.answers.enqueue(Answer::Yes);
                 m_window->populationAction->trigger();
                 m_window->populationDialog()->usBlacksButton->setChecked(true);
                 QTest::mouseClick(m_window->populationDialog()->okButton, Qt::LeftButton);
             }},
        };
        for (const auto& [what, change] : changes) {
            if (!m_window->grid().isMarked(1))
                pressRow(Qt::LeftButton, 300, 1);
            combine();
            change();
            QVERIFY2(m_window->cpiLine->text().isEmpty(), what);
            QVERIFY2(m_window->probabilityLine->text().isEmpty(), what);
        }
        QCOMPARE(m_dialogs.texts("error"), QStringList());

        // Combine rows 1 and 2, mark 1 and 3 instead, save: no index of rows 1 and 2 in the file.
        m_dialogs.answers.enqueue(Answer::No); // "Сохранить изменения?"
        m_window->clearAction->trigger();
        threeRows();
        pressRow(Qt::LeftButton, 300, 1);
        pressRow(Qt::LeftButton, 300, 2);
        combine();
        pressRow(Qt::LeftButton, 300, 2);
        pressRow(Qt::LeftButton, 300, 3);
        const auto stale = saveAndRead(workDir() / "remarked.xlsx");
        QCOMPARE(sheetText(stale, 5), QString());
        QCOMPARE(sheetText(stale, 6), QString());
        combine();
        const auto fresh = saveAndRead(workDir() / "combined.xlsx");
        // Rows 1 and 3 with the black table (chosen above): 1,00 x 1,00.
        QCOMPARE(sheetText(fresh, 5), QStringLiteral("Индекс отцовства (Combined Paternity Index) CPI=1,0"));
        QCOMPARE(sheetText(fresh, 6), m_window->probabilityLine->text());

        // A CPI whose probability cannot be formed (0 with the prior 1) is not shown beside the
        // probability of the combination before.
        calculate("D3S1358", {"16", "16", "15", "17", "17", "17"}); // paternity excluded: LR 0
        pressRow(Qt::LeftButton, 300, 4);
        combine();
        QVERIFY(!m_window->probabilityLine->text().isEmpty());
        m_window->priorField->setText(QStringLiteral("1"));
        m_window->combineAction->trigger();
        QCOMPARE(m_window->cpiLine->text(), QStringLiteral("Индекс отцовства (Combined Paternity Index) CPI=0,0"));
        QCOMPARE(m_window->probabilityLine->text(), QString());
    }

    // "Сохранить изменения?" answered yes and then nothing saved: the load does not go on.
    void loadStopsWhenTheOfferedSaveDidNotHappen_data()
    {
        QTest::addColumn<bool>("genotypes");
        QTest::addColumn<QString>("failure");
        for (const bool genotypes : {false, true}) {
            for (const char* failure : {"cancelled", "overwrite declined", "write failed", "report only"})
                QTest::addRow("%s, %s", genotypes ? "genotypes" : "results", failure) << genotypes << failure;
        }
    }

    void loadStopsWhenTheOfferedSaveDidNotHappen()
    {
        QFETCH(bool, genotypes);
        QFETCH(QString, failure);
        openWindow();
        threeRows();
        const QStringList before = rowTexts(3);
        const auto book = workDir() / "case.xls";
        m_reader.add(book, {FakeSheet{"Лист1", makeCellArray({{"№", "Локус", "Отец", "Ребенок", "Мать"},
                                                              {"1", "D3S1358", "15/16", "15/17", "17/18"},
                                                              {"x"},
                                                              {"y"},
                                                              {"z"}})}});
        const auto existing = workDir() / "existing.xlsx";
        std::ofstream(existing) << "keep";
        m_dialogs.answers.enqueue(Answer::Yes);
        if (failure == "cancelled") {
            m_dialogs.fileNames.enqueue(QString());
        } else if (failure == "overwrite declined") {
            m_dialogs.fileNames.enqueue(QString::fromStdString(existing.string()));
            m_dialogs.answers.enqueue(Answer::No);
        } else if (failure == "write failed") {
            m_dialogs.fileNames.enqueue(QString::fromStdString((workDir() / "no such folder" / "a.xlsx").string()));
        } else {
            // The case report is written, but the rows cannot be loaded back from it.
            m_dialogs.fileNames.enqueue(QString::fromStdString((workDir() / "case.pdf").string()));
        }
        m_dialogs.fileNames.enqueue(QString::fromStdString(book.string())); // what a load would open
        (genotypes ? m_window->loadGenotypesAction : m_window->loadResultsAction)->trigger();

        QCOMPARE(m_dialogs.texts("open"), QStringList());
        QCOMPARE(m_window->grid().ResultCount(), 3);
        QCOMPARE(rowTexts(3), before);
        QCOMPARE(m_window->windowTitle(), QStringLiteral("Paternity Index"));
        QCOMPARE(m_dialogs.texts("error").size(), failure == "write failed" ? 1 : 0);
    }

    // A results workbook brings back its own result lines, so loading and saving it again keeps
    // them; a genotype workbook is evaluated anew and has none.
    void loadedResultsWorkbookShowsItsResultLines()
    {
        openWindow();
        threeRows();
        pressRow(Qt::LeftButton, 300, 1);
        pressRow(Qt::LeftButton, 300, 2);
        combine();
        const QString cpi = m_window->cpiLine->text();
        const QString probability = m_window->probabilityLine->text();
        const auto saved = workDir() / "case.xlsx";
        m_reader.add(saved, {FakeSheet{"Лист1", saveAndRead(saved)}});

        m_dialogs.answers.enqueue(Answer::No);
        m_dialogs.fileNames.enqueue(QString::fromStdString(saved.string()));
        m_window->loadResultsAction->trigger();
        QCOMPARE(m_window->grid().ResultCount(), 3);
        QCOMPARE(m_window->cpiLine->text(), cpi);
        QCOMPARE(m_window->probabilityLine->text(), probability);
        const auto again = saveAndRead(workDir() / "again.xlsx");
        QCOMPARE(sheetText(again, 5), cpi);
        QCOMPARE(sheetText(again, 6), probability);

        m_dialogs.answers.enqueue(Answer::No);
        m_dialogs.fileNames.enqueue(QString::fromStdString(saved.string()));
        m_window->loadGenotypesAction->trigger();
        QCOMPARE(m_window->grid().ResultCount(), 3);
        QCOMPARE(m_window->cpiLine->text(), QString());
        QCOMPARE(m_window->probabilityLine->text(), QString());
        QCOMPARE(m_dialogs.texts("error"), QStringList());
        QCOMPARE(m_dialogs.texts("information").filter(QStringLiteral("рассчитаны")), QStringList());

        // Rows saved with the US Caucasian frequencies, loaded while the black table is chosen:
        // the operator is told they were not computed with it.
        m_dialogs.answers.enqueue(Answer::Yes);
        m_window->populationAction->trigger();
        m_window->populationDialog()->usBlacksButton->setChecked(true);
        QTest::mouseClick(m_window->populationDialog()->okButton, Qt::LeftButton);
        m_dialogs.answers.enqueue(Answer::No);
        m_dialogs.fileNames.enqueue(QString::fromStdString(saved.string()));
        m_window->loadResultsAction->trigger();
        QCOMPARE(m_window->grid().ResultCount(), 3);
        QCOMPARE(m_dialogs.texts("information").last(),
                 QStringLiteral("Строки книги рассчитаны по частотам аллелей для европеоидов США, а выбраны частоты "
                                "для негров США: строки не пересчитаны. Чтобы пересчитать их, выберите популяцию "
                                "командой «Популяция»."));
    }

    // Rows loaded from a workbook computed with the US Caucasian frequencies while the black
    // table is chosen never meet rows of the black table in one index or report: every such
    // command asks to recompute them first, and does nothing when the operator declines. A
    // re-saved workbook names the population the rows were computed with.
    void rowsOfAnotherPopulationAreRecomputedBeforeTheyMeetOthers()
    {
        openWindow();
        threeRows();
        pressRow(Qt::LeftButton, 300, 1);
        combine();
        const auto saved = workDir() / "white.xlsx";
        m_reader.add(saved, {FakeSheet{"Лист1", saveAndRead(saved)}});
        m_dialogs.answers.enqueue(Answer::Yes);
        m_window->populationAction->trigger();
        m_window->populationDialog()->usBlacksButton->setChecked(true);
        QTest::mouseClick(m_window->populationDialog()->okButton, Qt::LeftButton);
        m_dialogs.answers.enqueue(Answer::No);
        m_dialogs.fileNames.enqueue(QString::fromStdString(saved.string()));
        m_window->loadResultsAction->trigger();
        const QStringList whiteRow = rowTexts(1);
        QCOMPARE(whiteRow.at(3), QStringLiteral("p(15)=0,250"));
        const QString cpi = m_window->cpiLine->text();

        const QString pdf = QString::fromStdString((workDir() / "white.pdf").string());
        const std::vector<std::pair<const char*, std::function<void()>>> commands = {
            {"Рассчитать",
             [&] {
                 calculate("TH01", {"6", "7", "7", "9.3", "9.3", "9.3"});
             }},
            {"Перемножить", [&] { m_window->combineAction->trigger(); }},
            {"the report",
             [&] {
                 m_dialogs.fileNames.enqueue(pdf);
                 m_window->saveAction->trigger();
             }},
        };
        for (const auto& [what, command] : commands) {
            m_dialogs.answers.enqueue(Answer::No);
            command();
            QCOMPARE(m_dialogs.calls.last().title, QStringLiteral("Внимание"));
            QVERIFY2(m_dialogs.calls.last().text.contains(QStringLiteral("для европеоидов США, а выбраны частоты для "
                                                                         "негров США")),
                     what);
            QCOMPARE(m_window->grid().ResultCount(), 3);
            QCOMPARE(rowTexts(1), whiteRow);
            QCOMPARE(m_window->cpiLine->text(), cpi);
        }
        QVERIFY(!QFileInfo::exists(pdf));
        const auto resaved = saveAndRead(workDir() / "resaved.xlsx");
        QCOMPARE(sheetText(resaved, 7),
                 QStringLiteral("Использовались референтные частоты аллелей для европеоидов США"));

        // The loaded rows deleted one by one: a new row is the black table's, and is saved so.
        for (int row = 3; row >= 1; --row) {
            pressRow(Qt::RightButton, 20, row);
            m_window->deleteAction->trigger();
            m_window->popupMenu()->hide();
        }
        calculate("TH01", {"6", "7", "7", "9.3", "9.3", "9.3"});
        QCOMPARE(sheetText(saveAndRead(workDir() / "one.xlsx"), 5),
                 QStringLiteral("Использовались референтные частоты аллелей для негров США"));

        // Loaded again. Yes: the rows are recomputed with the black table, then the new row joins them.
        m_dialogs.answers.enqueue(Answer::No);
        m_dialogs.fileNames.enqueue(QString::fromStdString(saved.string()));
        m_window->loadResultsAction->trigger();
        QCOMPARE(rowTexts(1), whiteRow);
        m_dialogs.answers.enqueue(Answer::Yes);
        calculate("TH01", {"6", "7", "7", "9.3", "9.3", "9.3"});
        QCOMPARE(m_window->grid().ResultCount(), 4);
        QCOMPARE(cell(1, 3), QStringLiteral("p(15)=0,500"));
        QCOMPARE(cell(4, 3), QStringLiteral("p(7)=0,500"));
        const int questions = m_dialogs.texts("question").size();
        pressRow(Qt::LeftButton, 300, 4);
        combine();
        m_dialogs.fileNames.enqueue(pdf);
        m_window->saveAction->trigger();
        QCOMPARE(m_dialogs.texts("question").size(), questions);
        QVERIFY(pdfText(pdf).contains(QStringLiteral("Негры США")));
        QCOMPARE(sheetText(saveAndRead(workDir() / "black.xlsx"), 8),
                 QStringLiteral("Использовались референтные частоты аллелей для негров США"));
    }

    // Rows of the same population loaded from a workbook computed with other settings (here before
    // θ was set) are said to be so, and recomputed on the operator's word before they meet new
    // rows, a product or a report; rows the tables in force give are loaded without a word.
    void rowsOfOtherSettingsAreRecomputedBeforeTheyMeetOthers()
    {
        openWindow();
        threeRows();
        pressRow(Qt::LeftButton, 300, 1);
        combine();
        const auto saved = workDir() / "plain.xlsx";
        m_reader.add(saved, {FakeSheet{"Лист1", saveAndRead(saved)}});
        const QStringList plainRow = rowTexts(1);
        const auto load = [&] {
            m_dialogs.fileNames.enqueue(QString::fromStdString(saved.string()));
            m_window->loadResultsAction->trigger();
        };
        const int saidBefore = m_dialogs.texts("information").size();
        m_dialogs.answers.enqueue(Answer::No); // "Сохранить изменения?"
        load();
        QCOMPARE(m_dialogs.texts("information").size(), saidBefore);

        std::ofstream(workDir() / "data" / "settings.ini") << "theta = 0,01\n";
        m_dialogs.answers.enqueue(Answer::Yes);
        m_window->populationAction->trigger();
        QTest::mouseClick(m_window->populationDialog()->okButton, Qt::LeftButton);
        QCOMPARE(cell(1, 2), QStringLiteral("θ=0,01 1/2p(15)"));
        m_dialogs.answers.enqueue(Answer::No);
        load();
        QCOMPARE(rowTexts(1), plainRow);
        QVERIFY2(m_dialogs.texts("information")
                     .last()
                     .startsWith(QStringLiteral("Строки книги №1, №2, №3 рассчитаны не "
                                                "с теми частотами")),
                 qPrintable(m_dialogs.texts("information").join('\n')));
        const QString cpi = m_window->cpiLine->text();
        m_dialogs.answers.enqueue(Answer::No);
        m_window->combineAction->trigger();
        QVERIFY(m_dialogs.calls.last().text.contains(QStringLiteral("Пересчитать строки с частотами и настройками")));
        QCOMPARE(rowTexts(1), plainRow);
        QCOMPARE(m_window->cpiLine->text(), cpi);

        m_dialogs.answers.enqueue(Answer::Yes);
        m_window->combineAction->trigger();
        QCOMPARE(cell(1, 2), QStringLiteral("θ=0,01 1/2p(15)"));
        const int questions = m_dialogs.texts("question").size();
        calculate("TH01", {"6", "7", "7", "9.3", "9.3", "9.3"});
        QCOMPARE(m_dialogs.texts("question").size(), questions);
        std::filesystem::remove(workDir() / "data" / "settings.ini");
    }

    // Every text the operator reads is whole, or cut with an ellipsis and whole in the tooltip;
    // numbers are never cut: four rows with LR 714,29 and their CPI, row numbers from 10 on, and a
    // long verdict, at the starting size and maximised.
    void numbersAreNeverCut()
    {
        addLocus("FGA.xls", kFgaWhite, kFgaWhite);
        openWindow();
        calculate("D3S1358", {"15", "16", "17", "18", "17", "17"});
        QCOMPARE(cell(1, 2), QStringLiteral("Отцовство исключается"));
        while (m_window->grid().ResultCount() < 8)
            calculate("D3S1358", {"15", "16", "15", "17", "17", "17"});
        for (int k = 0; k < 4; ++k)
            calculate("FGA", kRareTrio);
        QCOMPARE(cell(12, 5), QStringLiteral("714,29"));
        for (int row = 9; row <= 12; ++row)
            pressRow(Qt::LeftButton, 300, row);
        combine();
        QVERIFY2(m_window->cpiLine->text().contains(QStringLiteral("CPI=260")), qPrintable(m_window->cpiLine->text()));

        const app::ResultsView* grid = m_window->resultsView;
        const QAbstractItemModel* model = grid->model();
        for (const QSize size : {QSize(659, 378), QSize(1400, 900)}) {
            m_window->resize(size);
            QTRY_COMPARE(m_window->size(), size);
            for (int row = 0; row < m_window->grid().ResultCount(); ++row) {
                for (int column = 0; column < results::kColumnCount; ++column) {
                    const QModelIndex index = model->index(row, column);
                    const QString text = index.data().toString();
                    const bool whole = grid->showsWholeText(index);
                    const bool number = column == 0 || column >= 3;
                    QVERIFY2(whole || !number, qPrintable(text));
                    QCOMPARE(grid->toolTipFor(index), whole ? QString() : text);
                }
            }
            for (const app::ResultLine* field : {m_window->cpiLine, m_window->probabilityLine}) {
                const QString shown = field->shownText();
                QVERIFY2(shown == field->text() || shown.contains(QChar(0x2026)), qPrintable(shown));
                QCOMPARE(field->toolTip(), field->text());
            }
        }
        // The CPI keeps its number whole when its words give way.
        m_window->resize(659, 378);
        QTRY_COMPARE(m_window->size(), QSize(659, 378));
        const QString cpiText = m_window->cpiLine->text();
        QVERIFY(m_window->cpiLine->shownText().endsWith(cpiText.mid(cpiText.indexOf(QStringLiteral("CPI=")))));
        m_window->resize(1400, 900);
        QTRY_COMPARE(m_window->size(), QSize(1400, 900));
        // Maximised, the sentences of the formula column are whole too.
        QVERIFY(grid->showsWholeText(model->index(0, 2)));
        // The operator widens a column; it stays as wide when the rows change.
        m_window->resultsView->horizontalHeader()->resizeSection(1, 300);
        calculate("D3S1358", {"15", "16", "15", "17", "17", "17"});
        QCOMPARE(grid->columnWidth(1), 300);
    }

    // The grid shows the row just written; a clear and a load start at the top.
    void gridScrollsToTheNewRow()
    {
        openWindow();
        const app::ResultsView* grid = m_window->resultsView;
        auto rowInView = [&](int row) {
            return grid->viewport()->rect().contains(grid->visualRect(grid->model()->index(row - 1, 0)));
        };
        for (int row = 1; row <= 13; ++row) {
            calculate("TH01", {"6", "7", "7", "9.3", "9.3", "9.3"});
            QVERIFY2(rowInView(row), qPrintable(QString::number(row)));
        }
        QVERIFY(!rowInView(1));
        m_dialogs.answers.enqueue(Answer::No);
        m_window->clearAction->trigger();
        QVERIFY(rowInView(1));
        calculate("TH01", {"6", "7", "7", "9.3", "9.3", "9.3"});
        QVERIFY(rowInView(1));
    }

    // The keyboard is enough: every command has its key (the menu texts stay), Tab leaves the
    // grid for the result fields and the prior, Space toggles the mark of the selected row.
    void keyboardReachesTheCommands()
    {
        openWindow();
        const std::vector<std::pair<QAction*, QKeySequence>> keys = {
            {m_window->calculateAction, QKeySequence(Qt::Key_F9)},
            {m_window->combineAction, QKeySequence(QStringLiteral("Ctrl+M"))},
            {m_window->saveAction, QKeySequence(QStringLiteral("Ctrl+S"))},
            {m_window->loadResultsAction, QKeySequence(QStringLiteral("Ctrl+O"))},
            {m_window->helpAction, QKeySequence(Qt::Key_F1)},
        };
        for (const auto& [action, key] : keys)
            QCOMPARE(action->shortcut(), key);
        QCOMPARE(m_window->calculateAction->text(), QStringLiteral("Рассчитать"));

        QApplication::setActiveWindow(m_window.get());
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        chooseLocus(QStringLiteral("TH01"));
        enter({"6", "7", "7", "9.3", "9.3", "9.3"});
        QTest::keyClick(m_window->motherAllele2Box, Qt::Key_F9);
        QCOMPARE(m_window->grid().ResultCount(), 1);

        m_window->resultsView->setFocus();
        m_window->resultsView->setCurrentIndex(m_window->resultsView->model()->index(0, 3));
        QTest::keyClick(m_window->resultsView, Qt::Key_Space);
        QVERIFY(m_window->grid().isMarked(1));
        QTest::keyClick(m_window->resultsView, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), m_window->cpiLine);
        QTest::keyClick(m_window->cpiLine, Qt::Key_Tab);
        QTest::keyClick(m_window->probabilityLine, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), m_window->priorField);
        // F10 opens the menu bar at its first command; Enter runs it.
        QTest::keyClick(m_window->priorField, Qt::Key_F10);
        QCOMPARE(m_window->menuBar()->activeAction(), m_window->calculateAction);
        QTest::keyClick(m_window->menuBar(), Qt::Key_Return);
        QCOMPARE(m_window->grid().ResultCount(), 2);
    }

    // The table holds 99 rows: the hundredth calculation is refused with a word, row 99 stays.
    void fullTableRefusesTheHundredthRow()
    {
        openWindow();
        chooseLocus(QStringLiteral("D3S1358"));
        enter({"15", "16", "15", "17", "17", "17"});
        for (int row = 1; row <= 99; ++row)
            m_window->calculateAction->trigger();
        const QStringList last = rowTexts(99);
        calculate("TH01", {"6", "7", "7", "9.3", "9.3", "9.3"});
        QCOMPARE(m_window->grid().ResultCount(), 99);
        QCOMPARE(rowTexts(99), last);
        QVERIFY(m_dialogs.texts("information").last().contains(QStringLiteral("Таблица заполнена")));
    }

    void clearEmptiesTheTableAndResetsThePanel()
    {
        openWindow();
        threeRows();
        pressRow(Qt::LeftButton, 300, 1);
        m_window->combineAction->trigger();
        QVERIFY(!m_window->cpiLine->text().isEmpty());
        // Unsaved rows: the question of close and load; Cancel, and a save that wrote only the
        // report, keep them.
        m_dialogs.answers.enqueue(Answer::Cancel);
        m_window->clearAction->trigger();
        QCOMPARE(m_dialogs.calls.last().text, QStringLiteral("Сохранить изменения?"));
        QVERIFY(m_dialogs.calls.last().withCancel);
        m_dialogs.answers.enqueue(Answer::Yes);
        m_dialogs.fileNames.enqueue(QString::fromStdString((workDir() / "case.pdf").string()));
        m_window->clearAction->trigger();
        QCOMPARE(m_window->grid().ResultCount(), 3);
        QVERIFY(m_dialogs.texts("information").last().contains(QStringLiteral(".xlsx")));
        // Saved in a workbook, the rows are cleared without a question.
        m_dialogs.answers.enqueue(Answer::Yes);
        m_dialogs.fileNames.enqueue(QString::fromStdString((workDir() / "case.xlsx").string()));
        m_window->clearAction->trigger();
        QCOMPARE(m_window->grid().ResultCount(), 0);
        calculate("D3S1358", {"15", "16", "15", "17", "17", "17"});
        m_window->saveAction->trigger(); // the save dialog cancelled
        m_dialogs.answers.enqueue(Answer::No);
        m_window->clearAction->trigger();
        QCOMPARE(m_window->grid().ResultCount(), 0);
        for (int row = 1; row <= 4; ++row)
            QCOMPARE(rowTexts(row), QStringList(7, QString()));
        QCOMPARE(m_window->cpiLine->text(), QString());
        QCOMPARE(m_window->probabilityLine->text(), QString());
        QCOMPARE(m_window->windowTitle(), QStringLiteral("Paternity Index"));
        QVERIFY(!m_window->fatherAllele1Box->isEnabled());
        QCOMPARE(m_window->fatherAllele1Box->count(), 0);
        QCOMPARE(m_window->locusBox->count(), 2);
        // The next calculation writes row 1 again.
        calculate("D3S1358", {"15", "16", "15", "17", "17", "17"});
        QCOMPARE(cell(1, 0), QStringLiteral("1"));
    }

    void populationChangeRecomputesRowsInPlace()
    {
        openWindow();
        threeRows();
        calculate("D3S1358", {"15", "18", "18", "17", "17", "17"}); // 18 is no allele of the black table
        pressRow(Qt::LeftButton, 300, 1);
        pressRow(Qt::LeftButton, 300, 3);
        m_window->combineAction->trigger();

        m_dialogs.answers.enqueue(Answer::No);
        m_window->populationAction->trigger();
        QVERIFY(!m_window->populationDialog()->isVisible());

        m_dialogs.answers.enqueue(Answer::Yes);
        m_window->populationAction->trigger();
        const app::testing::DialogCall question = m_dialogs.calls.last();
        QCOMPARE(question.title, QStringLiteral("Внимание"));
        QCOMPARE(question.text, QStringLiteral("При выборе популяции\nзначения LR будут пересчитаны\n\nВы уверены?"));
        app::PopulationDialog* dialog = m_window->populationDialog();
        QVERIFY(dialog->isVisible());
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Выбор популяции"));
        QVERIFY(dialog->usCaucasiansButton->isChecked());
        dialog->usBlacksButton->setChecked(true);
        QTest::mouseClick(dialog->okButton, Qt::LeftButton);

        QCOMPARE(dialog->Population(), freqdb::Population::UsBlacks);
        QCOMPARE(m_window->grid().ResultCount(), 4);
        QCOMPARE(rowTexts(1), (QStringList{"1", "D3S1358", kTrioFormula, "p(15)=0,500", "", "1,00", "++"}));
        QCOMPARE(rowTexts(2), (QStringList{"2", "D3S1358", "1/2p(16)", "p(16)=0,100", "", "5,00", ""}));
        QCOMPARE(rowTexts(3), (QStringList{"3", "TH01", "1/2p(7)", "p(7)=0,500", "", "1,00", "++"}));
        QCOMPARE(rowTexts(4), (QStringList{"4", "D3S1358",
                                           QString::fromStdString(
                                               results::unknownAlleleVerdict(results::Person::Father, "18", "D3S1358")),
                                           "", "", "", ""}));
        QCOMPARE(m_window->cpiLine->text(), QString());
        QCOMPARE(m_window->probabilityLine->text(), QString());
        QVERIFY(!m_window->fatherAllele1Box->isEnabled());
        QCOMPARE(m_dialogs.texts("error"), QStringList());
    }

    void failedReloadKeepsPopulationTableAndResults()
    {
        openWindow();
        threeRows();
        const QStringList first = rowTexts(1);
        m_dialogs.answers.enqueue(Answer::Yes);
        m_window->populationAction->trigger();
        m_window->populationDialog()->russiansButton->setChecked(true); // no Russian worksheets
        m_dialogs.choices.enqueue(QStringLiteral("Выбрать другую популяцию"));
        QTest::mouseClick(m_window->populationDialog()->okButton, Qt::LeftButton);
        QCOMPARE(m_dialogs.texts("error").size(), 1);
        QCOMPARE(m_window->populationDialog()->Population(), freqdb::Population::UsCaucasians);
        QVERIFY(m_window->populationDialog()->usCaucasiansButton->isChecked());
        QVERIFY(!m_window->populationDialog()->isVisible());
        QCOMPARE(m_window->locusTable().population(), freqdb::Population::UsCaucasians);
        QCOMPARE(m_window->grid().ResultCount(), 3);
        QCOMPARE(rowTexts(1), first);
    }

    // "Отмена" on the loading notice: before the first load the choice comes back; later the
    // tables, population and rows stay as they were.
    void stoppedLoadKeepsWhatTheWindowHad()
    {
        const auto stopWhenShown = [this] {
            QTimer::singleShot(0, m_window.get(), [this] {
                QVERIFY(m_window->populationDialog()->cancelLoadButton->isVisible());
                app::testing::shot(m_window->populationDialog(), "loading-notice");
                m_window->populationDialog()->cancelLoadButton->click();
            });
        };
        m_window->start();
        m_window->populationDialog()->usCaucasiansButton->setChecked(true);
        stopWhenShown();
        QTest::mouseClick(m_window->populationDialog()->okButton, Qt::LeftButton);
        QVERIFY(!m_window->isVisible());
        QVERIFY(m_window->populationDialog()->isVisible());
        QCOMPARE(m_window->populationDialog()->windowTitle(), QStringLiteral("Выберите популяцию"));
        QCOMPARE(m_window->populationDialog()->Population(), freqdb::Population::Unset);
        QVERIFY(m_dialogs.calls.isEmpty());

        QTest::mouseClick(m_window->populationDialog()->okButton, Qt::LeftButton);
        QVERIFY(m_window->isVisible());
        threeRows();
        const QStringList first = rowTexts(1);
        m_dialogs.answers.enqueue(Answer::Yes);
        m_window->populationAction->trigger();
        m_window->populationDialog()->usBlacksButton->setChecked(true);
        stopWhenShown();
        QTest::mouseClick(m_window->populationDialog()->okButton, Qt::LeftButton);
        QVERIFY(!m_window->populationDialog()->isVisible());
        QCOMPARE(m_window->populationDialog()->Population(), freqdb::Population::UsCaucasians);
        QVERIFY(m_window->populationDialog()->usCaucasiansButton->isChecked());
        QCOMPARE(m_window->locusTable().population(), freqdb::Population::UsCaucasians);
        QCOMPARE(m_window->grid().ResultCount(), 3);
        QCOMPARE(rowTexts(1), first);
        QCOMPARE(m_dialogs.texts("error"), QStringList());
    }

    void thetaIsShownAndNamedInTheFormula()
    {
        std::ofstream(workDir() / "data" / "settings.ini") << "theta = 0,01\n";
        openWindow();
        QVERIFY(m_window->settingsLabel->text().contains(QStringLiteral("θ=0,01")));
        calculate("D3S1358", {"15", "16", "15", "17", "17", "18"});
        QCOMPARE(cell(1, 2), QStringLiteral("θ=0,01 1/2p(15)"));
        QCOMPARE(cell(1, 3), QStringLiteral("p(15)=0,250"));
        std::filesystem::remove(workDir() / "data" / "settings.ini");
    }

    void labSettingsAreShownAndABadFileKeepsThePreviousOnes()
    {
        const auto settingsFile = workDir() / "data" / "settings.ini";
        std::ofstream(settingsFile) << "mutation_model = proportional\n";
        openWindow();
        QVERIFY(m_window->settingsLabel->isVisible());
        QVERIFY(m_window->settingsLabel->text().contains(QStringLiteral("μ=0,002")));
        calculate("D3S1358", {"15", "15", "16", "16", "Нет", "Нет"});
        const QStringList withMutation = rowTexts(1);
        QCOMPARE(withMutation.at(2), QStringLiteral("мутация μ=0,002"));
        QCOMPARE(withMutation.at(3), QStringLiteral("p(16)=0,200"));

        // A bad line: the reload is refused with the line named; table, settings and row stay.
        std::ofstream(settingsFile) << "mutation_model = proportional\nmin_allele_frequency = 0\n";
        m_dialogs.answers.enqueue(Answer::Yes);
        m_window->populationAction->trigger();
        m_window->populationDialog()->usBlacksButton->setChecked(true);
        QTest::mouseClick(m_window->populationDialog()->okButton, Qt::LeftButton);
        QCOMPARE(m_dialogs.texts("error").size(), 1);
        QVERIFY(m_dialogs.texts("error").constFirst().contains(QStringLiteral("«settings.ini», строка 2")));
        QCOMPARE(m_window->locusTable().population(), freqdb::Population::UsCaucasians);
        QVERIFY(m_window->locusTable().settings().mutationOn());
        QVERIFY(m_window->settingsLabel->isVisible());
        QCOMPARE(rowTexts(1), withMutation);

        // Without the file the settings are off: the label goes, the row reads as it always did.
        std::filesystem::remove(settingsFile);
        m_dialogs.answers.enqueue(Answer::Yes);
        m_window->populationAction->trigger();
        QTest::mouseClick(m_window->populationDialog()->okButton, Qt::LeftButton);
        QVERIFY(!m_window->settingsLabel->isVisible());
        QCOMPARE(cell(1, 2), QStringLiteral("Отцовство исключается"));
        QCOMPARE(cell(1, 5), QStringLiteral("0"));
    }

    void closingAsksToSaveOnlyWithResults()
    {
        openWindow();
        QSignalSpy quit(m_window.get(), &MainWindow::quitRequested);
        calculate("D3S1358", {"15", "16", "15", "17", "17", "17"});

        m_dialogs.answers.enqueue(Answer::Cancel);
        QVERIFY(!m_window->close());
        QVERIFY(m_window->isVisible());
        QCOMPARE(m_dialogs.calls.last().text, QStringLiteral("Сохранить изменения?"));
        QCOMPARE(m_dialogs.calls.last().title, QStringLiteral("Вопрос"));
        QVERIFY(m_dialogs.calls.last().withCancel);
        QCOMPARE(quit.count(), 0);

        // Yes, then a cancelled save dialog: nothing was saved, so the window stays.
        m_dialogs.answers.enqueue(Answer::Yes);
        QVERIFY(!m_window->close());
        QCOMPARE(m_dialogs.calls.last().kind, QStringLiteral("save"));

        m_dialogs.answers.enqueue(Answer::No);
        QVERIFY(m_window->close());
        QCOMPARE(quit.count(), 1);
    }

    void failedSaveIsReportedAndNotConfirmed()
    {
        openWindow();
        calculate("D3S1358", {"15", "16", "15", "17", "17", "17"});
        m_dialogs.fileNames.enqueue(QString::fromStdString((workDir() / "no such folder" / "case.xlsx").string()));
        m_window->saveAction->trigger();
        QCOMPARE(m_dialogs.texts("error").size(), 1);
        QCOMPARE(m_dialogs.texts("information"), QStringList());
        QCOMPARE(m_dialogs.calls.first().text, QString::fromStdString((workDir() / "Untitled.xlsx").string()));
        QCOMPARE(m_window->grid().ResultCount(), 1);
    }

    // "Сохранить" with a .pdf name writes the case report: the same overwrite question, the same
    // confirmation, and the report holds the rows and the result lines the window shows.
    void savingAPdfNameWritesTheReport()
    {
        openWindow();
        threeRows();
        pressRow(Qt::LeftButton, 300, 1);
        pressRow(Qt::LeftButton, 300, 3);
        m_window->combineAction->trigger();
        const QString pdf = QString::fromStdString((workDir() / "Отчёт.PDF").string());
        for (int round = 0; round < 2; ++round) {
            m_dialogs.fileNames.enqueue(pdf);
            if (round == 1)
                m_dialogs.answers.enqueue(Answer::Yes); // "Заменить его?"
            m_window->saveAction->trigger();
            QCOMPARE(m_dialogs.texts("information").size(), round + 1);
            QCOMPARE(m_dialogs.texts("information").last(), QStringLiteral("Файл сохранен"));
        }
        QCOMPARE(m_dialogs.texts("question").size(), 1);
        const QString extracted = pdfText(pdf);
        QVERIFY2(extracted.contains(m_window->cpiLine->text()), qPrintable(extracted));
        QVERIFY(extracted.contains(m_window->probabilityLine->text()));
        QVERIFY(extracted.contains(QStringLiteral("3 TH01 6/7 7/9.3 9.3/9.3")));
    }

    // The report names the workbook the rows were loaded from, and says when they were changed
    // after the load (a mark here), so it does not pass hand-made rows off as the workbook's.
    void reportSaysWhenLoadedRowsWereChanged()
    {
        openWindow();
        threeRows();
        const auto saved = workDir() / "case.xlsx";
        m_reader.add(saved, {FakeSheet{"Лист1", saveAndRead(saved)}});
        m_dialogs.answers.enqueue(Answer::No);
        m_dialogs.fileNames.enqueue(QString::fromStdString(saved.string()));
        m_window->loadResultsAction->trigger();
        for (const bool change : {false, true}) {
            if (change)
                pressRow(Qt::LeftButton, 300, 1);
            const QString pdf = QString::fromStdString((workDir() / (change ? "b.pdf" : "a.pdf")).string());
            m_dialogs.fileNames.enqueue(pdf);
            m_window->saveAction->trigger();
            const QString extracted = pdfText(pdf);
            QVERIFY2(extracted.contains(QStringLiteral("case.xlsx")), qPrintable(extracted));
            QCOMPARE(extracted.contains(QStringLiteral("после загрузки строки изменялись")), change);
        }
    }

    void closingWithoutResultsClosesAtOnce()
    {
        openWindow();
        QSignalSpy quit(m_window.get(), &MainWindow::quitRequested);
        QVERIFY(m_window->close());
        QVERIFY(m_dialogs.calls.isEmpty());
        QCOMPARE(quit.count(), 1);
    }

    void resizeFollowsTheLayoutRule()
    {
        openWindow();
        QCOMPARE(m_window->size(), QSize(659, 378));
        QCOMPARE(m_window->resultsView->geometry(), QRect(157, 8, 489, 271));
        for (int c = 0; c < 7; ++c)
            QCOMPARE(m_window->resultsView->columnWidth(c), (std::array{20, 65, 110, 90, 90, 35, 50})[c]);

        m_window->resize(800, 500);
        QTRY_COMPARE(m_window->size(), QSize(800, 500));
        QCOMPARE(m_window->resultsView->size(), QSize(630, 393));
        QCOMPARE(m_window->cpiLine->geometry(), QRect(8, 408, 350, 21));
        QCOMPARE(m_window->probabilityLine->geometry(), QRect(358, 408, 430, 21));
        QCOMPARE(m_window->priorField->pos(), QPoint(358, 432));
        QCOMPARE(m_window->priorLabel->pos(), QPoint(205, 435));
        for (int c = 0; c < 7; ++c)
            QCOMPARE(m_window->resultsView->columnWidth(c), (std::array{26, 84, 142, 116, 116, 45, 64})[c]);
        QCOMPARE(m_window->fatherGroup->geometry(), QRect(0, 64, 150, 65));

        m_window->resize(600, 300);
        QTRY_COMPARE(m_window->size(), QSize(659, 375));
    }

    // Pictures of a worked case at the design size and maximised, for a person to compare (a
    // change of names or structure must leave them identical byte for byte).
    void picturesOfAWorkedCase()
    {
        openWindow();
        threeRows();
        pressRow(Qt::LeftButton, 300, 1);
        pressRow(Qt::LeftButton, 300, 3);
        combine();
        chooseLocus("TH01");
        app::testing::shot(m_window.get(), "case-659x378");
        m_window->showMaximized();
        QCoreApplication::processEvents();
        app::testing::shot(m_window.get(), "case-maximised");
    }

    void helpShowsTheBundledPageOrTheLabsDocument()
    {
        openWindow();
        m_window->helpAction->trigger();
        QCOMPARE(m_dialogs.texts("error"), QStringList{QStringLiteral("Невозможно загрузить файл справки")});

        {
            std::ofstream page(workDir() / "data" / "help.html");
            page << "<html><body><h1>Справка</h1></body></html>";
        }
        m_window->helpAction->trigger();
        QVERIFY(m_window->helpWindow() && m_window->helpWindow()->isVisible());
        QVERIFY(m_window->helpWindow()->browser()->toPlainText().contains(QStringLiteral("Справка")));

        std::ofstream(workDir() / "data" / "help.pdf").flush();
        m_window->helpAction->trigger();
        QCOMPARE(m_dialogs.texts("document"),
                 QStringList{QString::fromStdString((workDir() / "data" / "help.pdf").string())});
        QCOMPARE(m_dialogs.texts("error").size(), 1);
    }

    // A locus added for another population is left out of this one's load, and the line at the
    // bottom of the window says so.
    void dataNoteNamesALocusLeftOut()
    {
        const auto added = workDir() / "data" / "D99S1.xlsx";
        std::ofstream(added).flush();
        m_reader.add(added, {FakeSheet{"D99S1-rus", makeCellArray(kTh01White)}});
        std::ofstream(workDir() / "data" / "skipped-loci.txt") << "white D99S1\nblack D99S1\n";
        openWindow();
        QCOMPARE(m_window->locusBox->count(), 2);
        QVERIFY(m_window->dataNoteLabel->isVisibleTo(m_window.get()));
        QVERIFY2(m_window->dataNoteLabel->text().contains(QStringLiteral("пропущены локусы D99S1")),
                 qPrintable(m_window->dataNoteLabel->text()));
        if (qEnvironmentVariableIsSet("PI_SCREENSHOT"))
            m_window->grab().save(qEnvironmentVariable("PI_SCREENSHOT"));
    }

    // Started where there is no data/ (from the desktop menu, in the home folder): with no data
    // folder anywhere the message names the folders looked in; the lab's own folder is then the
    // data folder, the help comes from it, and the file dialogs still start in the current one.
    void dataFolderOutsideTheCurrentDirectory()
    {
        struct RestoreVariable {
            QByteArray name, value = qgetenv(name.constData());
            ~RestoreVariable() { value.isNull() ? qunsetenv(name.constData()) : qputenv(name.constData(), value); }
        } restore{"XDG_DATA_HOME"};
        const auto lab = workDir() / "xdg" / "paternity-index" / "data";
        qputenv("XDG_DATA_HOME", QByteArray::fromStdString((workDir() / "xdg").string()));
        std::filesystem::remove_all(workDir() / "data");

        m_window->start();
        m_window->populationDialog()->usCaucasiansButton->setChecked(true);
        QTest::mouseClick(m_window->populationDialog()->okButton, Qt::LeftButton);
        QVERIFY(!m_window->isVisible());
        const QString missing = m_dialogs.texts("error").value(0);
        QVERIFY2(missing.startsWith(QStringLiteral("Files not found\n")), qPrintable(missing));
        QVERIFY(missing.contains(QString::fromStdString((workDir() / "data").string())));
        QVERIFY(missing.contains(QString::fromStdString(lab.string())));

        addLocus("TH01.xls", kTh01White, kTh01Black, lab);
        std::ofstream(lab / "help.html") << "<html><body>Справка лаборатории</body></html>";
        QTest::mouseClick(m_window->populationDialog()->okButton, Qt::LeftButton);
        QVERIFY(m_window->isVisible());
        QCOMPARE(m_window->locusBox->count(), 1);
        QCOMPARE(m_window->dataDir(), lab);
        QCOMPARE(m_window->workDir(), workDir());
        m_window->helpAction->trigger();
        QVERIFY(m_window->helpWindow()->browser()->toPlainText().contains(QStringLiteral("Справка лаборатории")));
    }

    void aboutBoxShowsNameAndVersion()
    {
        openWindow();
        m_window->aboutAction->trigger();
        app::AboutDialog* about = m_window->aboutDialog();
        QVERIFY(about->isVisible());
        QCOMPARE(about->windowTitle(), QStringLiteral("Kinora"));
        QCOMPARE(about->titleLabel->text(), QStringLiteral("Программа расчета индекса и вероятности отцовства"));
        QCOMPARE(about->versionLabel->text(), QStringLiteral("Версия 0.2"));
        // Every wrapped line of the title shows, whatever face stands in for Arial here.
        const QRect room = about->titleLabel->contentsRect();
        const QRect needed = QFontMetrics(about->titleLabel->font())
                                 .boundingRect(room, Qt::AlignCenter | Qt::TextWordWrap, about->titleLabel->text());
        QVERIFY2(needed.height() <= room.height(), qPrintable(QString::number(needed.height())));
        QVERIFY(about->titleLabel->font().bold());
        QTest::mouseClick(about->okButton, Qt::LeftButton);
        QVERIFY(!about->isVisible());
    }

    void failedLoadKeepsTheTable()
    {
        openWindow();
        threeRows();
        const auto missing = workDir() / "missing.xlsx";
        m_dialogs.answers.enqueue(Answer::No);
        m_dialogs.fileNames.enqueue(QString::fromStdString(missing.string()));
        m_window->loadResultsAction->trigger();
        QCOMPARE(m_dialogs.calls.first().text, QStringLiteral("Сохранить изменения?"));
        QCOMPARE(m_dialogs.calls.first().title, QString()); // the results load asks untitled
        QCOMPARE(m_dialogs.texts("error").size(), 1);
        QCOMPARE(m_window->grid().ResultCount(), 3);
        QCOMPARE(cell(3, 1), QStringLiteral("TH01"));
        QCOMPARE(m_window->windowTitle(), QStringLiteral("Paternity Index"));
    }

    void genotypeWorkbookIsEvaluatedWithTheLoadedPopulation()
    {
        openWindow();
        const auto book = workDir() / "case.xls";
        m_reader.add(
            book,
            {FakeSheet{"Лист1", makeCellArray({{"№", "Локус", "Генотип отца", "Генотип ребенка", "Генотип матери"},
                                               {"1", "D3S1358", "15/16", "15/17", "17/18"},
                                               {"x"},
                                               {"y"},
                                               {"z"}})}});
        m_dialogs.fileNames.enqueue(QString::fromStdString(book.string()));
        m_window->loadGenotypesAction->trigger();
        QCOMPARE(m_dialogs.texts("error"), QStringList());
        QCOMPARE(m_window->grid().ResultCount(), 1);
        QCOMPARE(rowTexts(1), (QStringList{"1", "D3S1358", kTrioFormula, "p(15)=0,250", "", "2,00", ""}));
        QCOMPARE(m_window->windowTitle(), QStringLiteral("Paternity Index - ") + QString::fromStdString(book.string()));
        // The save proposes the loaded workbook's name as .xlsx.
        m_window->saveAction->trigger();
        QCOMPARE(m_dialogs.calls.last().kind, QStringLiteral("save"));
        QCOMPARE(m_dialogs.calls.last().text, QString::fromStdString((workDir() / "case.xlsx").string()));

        // Loading again over a filled table asks under the title "Вопрос".
        m_dialogs.answers.enqueue(Answer::No);
        m_window->loadGenotypesAction->trigger();
        QCOMPARE(m_dialogs.calls.last().kind, QStringLiteral("open"));
        const app::testing::DialogCall question = m_dialogs.calls.at(m_dialogs.calls.size() - 2);
        QCOMPARE(question.text, QStringLiteral("Сохранить изменения?"));
        QCOMPARE(question.title, QStringLiteral("Вопрос"));

        // "Очистить" forgets the workbook: the caption is plain again and the save proposes Untitled.
        m_window->clearAction->trigger();
        QCOMPARE(m_window->windowTitle(), QStringLiteral("Paternity Index"));
        m_window->saveAction->trigger();
        QCOMPARE(m_dialogs.calls.last().kind, QStringLiteral("save"));
        QCOMPARE(m_dialogs.calls.last().text, QString::fromStdString((workDir() / "Untitled.xlsx").string()));
    }

    // A genotyping export through the real sample dialog: the unsaved rows are offered first,
    // nothing is preselected, OK waits for two distinct persons, and the table is filled as a
    // genotype workbook fills it; a cancelled choice leaves the table as it was.
    void genotypeExportIsChosenInTheSampleDialog()
    {
        openWindow();
        threeRows();
        const auto file = workDir() / "run.txt";
        std::ofstream(file, std::ios::binary)
            << "Run 118\r\nSample Name\tMarker\tAllele 1\tAllele 2\tHeight 1\r\nNEG\tD3S1358\t\t\t\r\n"
               "F\tD3S1358\t15\t16\t900\r\nC\tD3S1358\t15\t17\t900\r\nM\tD3S1358\t17\t18\t900\r\n"
               "F\tth01\t9.3\t\t1\r\nC\tth01\t9.3\t7\t1\r\nM\tth01\tOL\t7\t1\r\nF\tAMEL\tX\tY\t1\r\n";
        for (const bool accept : {false, true}) {
            m_dialogs.answers.enqueue(Answer::No);
            m_dialogs.fileNames.enqueue(QString::fromStdString(file.string()));
            // What the dialog showed, checked once it has closed (QCOMPARE returns from the
            // function it is in).
            QStringList seen;
            m_dialogs.dialogScripts.enqueue([accept, &seen](QDialog& dialog) -> bool {
                auto& d = dynamic_cast<app::SampleChoiceDialog&>(dialog);
                QPushButton* ok = d.buttons->button(QDialogButtonBox::Ok);
                seen << QString::number(d.fatherBox->currentIndex()) << d.motherBox->currentText()
                     << QString::number(ok->isEnabled());
                d.fatherBox->setCurrentIndex(d.fatherBox->findData(QStringLiteral("F")));
                d.childBox->setCurrentIndex(d.childBox->findData(QStringLiteral("F")));
                seen << QString::number(ok->isEnabled()); // one sample for two persons
                d.childBox->setCurrentIndex(d.childBox->findData(QStringLiteral("C")));
                d.motherBox->setCurrentIndex(d.motherBox->findData(QStringLiteral("M")));
                seen << QString::number(ok->isEnabled()) << d.childBox->currentText() << d.markersLabel->text();
                return accept;
            });
            m_window->loadGenotypesAction->trigger();
            QCOMPARE(seen,
                     (QStringList{"-1", "", "0", "0", "1", "C (маркеров: 2)",
                                  "Маркеры экспорта без таблицы частот в папке данных (не рассчитываются): AMEL"}));
            QCOMPARE(m_dialogs.calls.first().text, QStringLiteral("Сохранить изменения?"));
            QCOMPARE(m_dialogs.calls.last().kind, accept ? QStringLiteral("information") : QStringLiteral("dialog"));
            QCOMPARE(m_dialogs.texts("error"), QStringList());
            if (!accept) {
                QCOMPARE(m_window->grid().ResultCount(), 3);
                m_dialogs.calls.clear();
            }
        }
        QCOMPARE(m_window->grid().ResultCount(), 2);
        QCOMPARE(rowTexts(1), (QStringList{"1", "D3S1358", kTrioFormula, "p(15)=0,250", "", "2,00", ""}));
        QCOMPARE(rowTexts(2).mid(0, 3),
                 (QStringList{"2", "TH01", "Аллель OL матери вне аллельной лестницы: не рассчитывается"}));
        QCOMPARE(m_window->grid().RowGenotypes(2).father1, std::string("9.3")); // the table's own label
        QCOMPARE(m_dialogs.texts("information").constLast(),
                 QStringLiteral("Маркеры экспорта без таблицы частот в папке данных (не рассчитываются): AMEL"));
        QCOMPARE(m_window->windowTitle(), QStringLiteral("Paternity Index - ") + QString::fromStdString(file.string()));
    }

    // A case just taken from a genotyping export was computed with the tables in force: nothing
    // is called stale, "Перемножить" asks nothing, and a locus the child was not typed at reads
    // as batch prints it, after a save and a load as well.
    void caseFromAnExportIsNotStale()
    {
        openWindow();
        const auto file = workDir() / "run.txt";
        std::ofstream(file, std::ios::binary)
            << "Sample Name\tMarker\tAllele 1\tAllele 2\r\nF\tD3S1358\t15\t16\r\nC\tD3S1358\t15\t17\r\n"
               "M\tD3S1358\t17\t17\r\nF\tTH01\t6\t7\r\nC\tTH01\t\t\r\nM\tTH01\t7\t9.3\r\n";
        m_dialogs.fileNames.enqueue(QString::fromStdString(file.string()));
        m_dialogs.dialogScripts.enqueue([](QDialog& dialog) -> bool {
            auto& d = dynamic_cast<app::SampleChoiceDialog&>(dialog);
            d.fatherBox->setCurrentIndex(d.fatherBox->findData(QStringLiteral("F")));
            d.childBox->setCurrentIndex(d.childBox->findData(QStringLiteral("C")));
            d.motherBox->setCurrentIndex(d.motherBox->findData(QStringLiteral("M")));
            return true;
        });
        m_window->loadGenotypesAction->trigger();
        QCOMPARE(m_window->grid().ResultCount(), 2);
        const QString untyped = QStringLiteral("Локус не типирован у ребенка");
        QCOMPARE(cell(2, 2), untyped);
        QCOMPARE(m_dialogs.texts("information"), QStringList());
        pressRow(Qt::LeftButton, 300, 1);
        combine();
        QCOMPARE(m_dialogs.texts("question"), QStringList());
        QCOMPARE(cell(2, 2), untyped);

        const auto saved = workDir() / "export case.xlsx";
        const automation::CellArray sheet = saveAndRead(saved);
        QCOMPARE(QString::fromStdString(automation::cellText(sheet.at(3, 4), m_format)), QString());
        m_reader.add(saved, {FakeSheet{"Лист1", sheet}});
        m_dialogs.answers.enqueue(Answer::No); // "Сохранить изменения?"
        m_dialogs.fileNames.enqueue(QString::fromStdString(saved.string()));
        m_window->loadResultsAction->trigger();
        QCOMPARE(m_dialogs.texts("information"), QStringList{QStringLiteral("Файл сохранен")});
        QCOMPARE(cell(2, 2), untyped);
        m_window->combineAction->trigger();
        QCOMPARE(m_dialogs.texts("question"), QStringList{QStringLiteral("Сохранить изменения?")});
    }

    // Sample names are shown as written, "%2" in a name included.
    void sampleNamesAreShownAsWritten()
    {
        const auto data = profiles::readGenotypeExportText("Sample;vWA\nОбразец %2 100%;17/18\nC;17\n", "e.csv");
        app::SampleChoiceDialog dialog(data, {"vWA"}, QStringLiteral("e.csv"));
        QCOMPARE(dialog.fatherBox->itemText(0), QStringLiteral("Образец %2 100% (маркеров: 1)"));
        QCOMPARE(dialog.fatherBox->itemData(0).toString(), QStringLiteral("Образец %2 100%"));
    }

    // OK says why it waits; among three samples or more the mother is a choice to make ("Нет"
    // included); an empty sample (a negative control) chosen as a person is warned of.
    void sampleChoiceSaysWhyAndAsksForTheMother()
    {
        const auto data
            = profiles::readGenotypeExportText("Sample;vWA;TH01\nNEG;;\nF;17/18;7\nC;17;7/9.3\nM;17/19;9.3\n", "e.csv");
        app::SampleChoiceDialog dialog(data, {"vWA", "TH01"}, QStringLiteral("e.csv"));
        QPushButton* ok = dialog.buttons->button(QDialogButtonBox::Ok);
        const auto choose = [](QComboBox* box, const QString& sample) { box->setCurrentIndex(box->findData(sample)); };
        QCOMPARE(dialog.motherBox->currentIndex(), -1);
        QVERIFY(!ok->isEnabled());
        QCOMPARE(dialog.reasonLabel->text(),
                 QStringLiteral("Выберите предполагаемого отца, ребенка, мать (или «Нет»)."));
        choose(dialog.fatherBox, "F");
        choose(dialog.childBox, "F");
        dialog.motherBox->setCurrentIndex(0); // "Нет"
        QVERIFY(!ok->isEnabled());
        QCOMPARE(dialog.reasonLabel->text(),
                 QStringLiteral("Образец «F» выбран для двух лиц: у каждого свой образец."));
        choose(dialog.childBox, "NEG");
        QVERIFY(ok->isEnabled());
        QVERIFY2(dialog.reasonLabel->text().startsWith(QStringLiteral("Внимание: в образце «NEG» нет ни одного")),
                 qPrintable(dialog.reasonLabel->text()));
        dialog.show();
        app::testing::shot(&dialog, "sample-choice-empty-sample");
        choose(dialog.childBox, "C");
        choose(dialog.motherBox, "M");
        QVERIFY(ok->isEnabled());
        QVERIFY(dialog.reasonLabel->isHidden());
        QVERIFY(dialog.choice().mother == std::optional<std::string>("M"));

        // Two samples make a duo at most: "Нет" is chosen already.
        const auto duo = profiles::readGenotypeExportText("Sample;vWA\nF;17/18\nC;17\n", "d.csv");
        app::SampleChoiceDialog duoDialog(duo, {"vWA"}, QStringLiteral("d.csv"));
        QCOMPARE(duoDialog.motherBox->currentText(), QStringLiteral("Нет"));
    }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_previousDir;
    automation::FakeWorkbookReader m_reader;
    text::NumberFormat m_format{","};
    app::testing::ScriptedDialogs m_dialogs;
    std::unique_ptr<MainWindow> m_window;
};

QTEST_MAIN(WindowTest)
#include "mainwindow_test.moc"
