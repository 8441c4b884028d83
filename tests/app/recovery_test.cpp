// SPDX-License-Identifier: GPL-3.0-or-later
// Recovery of unsaved work. A window run in a child process (this program with --enter-and-die)
// enters rows with the bundled tables, marks two, forms the combined index and is killed with
// SIGKILL; the next window must offer its case and bring back exactly what the killed one showed.
// The expected texts come from the same entry done here in a window that keeps no recovery file.
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <sys/file.h>
#include <unistd.h>

#include "app/mainwindow.h"
#include "app/populationdialog.h"
#include "app/recoverykeeper.h"
#include "app/resultsview.h"
#include "app/widgetdialogs.h"
#include "automation/workbookwriter.h"
#include "exchange/recoveryfile.h"
#include "scripteddialogs.h"
#include "shots.h"

using app::Answer;
using app::MainWindow;

namespace {

const text::NumberFormat kFormat(",");

struct Window {
    app::testing::ScriptedDialogs dialogs;
    std::unique_ptr<automation::WorkbookReader> reader = automation::makeFileWorkbookReader();
    MainWindow form{kFormat, dialogs, *reader, [] { return automation::makeXlsxWorkbookWriter(); }};

    void open()
    {
        form.start();
        form.populationDialog()->usCaucasiansButton->setChecked(true);
        QTest::mouseClick(form.populationDialog()->okButton, Qt::LeftButton);
    }

    void calculate(const QString& locus, const QStringList& six)
    {
        const int index = form.locusBox->findText(locus);
        form.locusBox->setCurrentIndex(index);
        emit form.locusBox->activated(index);
        const std::array<QComboBox*, 6> lists = {form.fatherAllele1Box, form.fatherAllele2Box, form.childAllele1Box,
                                                 form.childAllele2Box,  form.motherAllele1Box, form.motherAllele2Box};
        for (std::size_t i = 0; i < lists.size(); ++i)
            lists[i]->setCurrentIndex(lists[i]->findText(six[static_cast<int>(i)]));
        form.calculateAction->trigger();
    }

    // Three rows, rows 1 and 3 marked, the combined index formed with a prior of 0,1234.
    void enterCase()
    {
        calculate("D3S1358", {"15", "16", "15", "17", "17", "17"});
        calculate("TH01", {"6", "7", "7", "8", "Нет", "Нет"});
        calculate("FGA", {"20", "21", "20", "22", "22", "22"});
        emit form.resultsView->markKeyPressed(1);
        emit form.resultsView->markKeyPressed(3);
        form.priorField->setText(QStringLiteral("0,1234"));
        form.combineAction->trigger();
    }

    // Every text the window shows of the case: header, rows, genotypes, the two result lines and
    // the prior they were formed with.
    QStringList shown() const
    {
        QStringList texts;
        const results::ResultsGrid& grid = form.grid();
        texts << QString::number(grid.ResultCount());
        for (int row = 0; row <= grid.ResultCount(); ++row) {
            for (int column = 0; column < results::kColumnCount; ++column)
                texts << QString::fromStdString(grid.cell(row, column));
            if (row > 0)
                for (const results::RowGenotype& g = grid.RowGenotypes(row);
                     const std::string* label : {&g.father1, &g.father2, &g.child1, &g.child2, &g.mother1, &g.mother2})
                    texts << QString::fromStdString(*label);
        }
        return texts << form.cpiLine->text() << form.probabilityLine->text() << form.priorField->text();
    }
};

std::filesystem::path stateFolder(const QTemporaryDir& dir)
{
    return std::filesystem::path(dir.path().toStdString()) / "paternity-index";
}

QStringList filesIn(const std::filesystem::path& folder, const QString& pattern)
{
    return QDir(QString::fromStdString(folder.string())).entryList({pattern}, QDir::Files);
}

// The child: enters the case and dies the hard way once the recovery write has run.
int enterAndDie()
{
    Window window;
    window.form.setRecovery(std::make_unique<exchange::RecoveryFile>(exchange::RecoveryFile::defaultFolder()));
    window.open();
    window.enterCase();
    QCoreApplication::processEvents();
    ::kill(::getpid(), SIGKILL);
    return 0;
}

} // namespace

class RecoveryTest : public QObject {
    Q_OBJECT

    // Runs the child with its state folder in `dir`; it must end killed, leaving its case.
    void killedWindow(const QTemporaryDir& dir)
    {
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_STATE_HOME"), dir.path());
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--enter-and-die")});
        QVERIFY(child.waitForFinished(60000));
        QCOMPARE(child.exitStatus(), QProcess::CrashExit);
        QCOMPARE(filesIn(stateFolder(dir), QStringLiteral("recovery-*.xlsx")).size(), 1);
    }

private slots:
    void initTestCase() { QDir::setCurrent(QString::fromLocal8Bit(qgetenv("PI_SOURCE_DIR"))); }

    void killedWindowsCaseIsRestoredExactly()
    {
        QTemporaryDir dir;
        killedWindow(dir);
        Window expected;
        expected.open();
        expected.enterCase();
        QVERIFY2(expected.form.grid().ResultCount() == 3, qPrintable(expected.dialogs.texts("information").join('\n')));
        QVERIFY(!expected.form.cpiLine->text().isEmpty());
        QCOMPARE(QString::fromStdString(expected.form.grid().cell(3, results::kColumnMark)), QStringLiteral("++"));

        Window next;
        next.form.setRecovery(std::make_unique<exchange::RecoveryFile>(stateFolder(dir)));
        next.dialogs.answers.enqueue(Answer::Yes);
        next.open();
        const QStringList asked = next.dialogs.texts(QStringLiteral("question"));
        QCOMPARE(asked.size(), 1);
        QVERIFY2(asked[0].startsWith(QStringLiteral("Восстановить несохранённые результаты от ")),
                 qPrintable(asked[0]));
        QCOMPARE(next.shown(), expected.shown());
        if (qEnvironmentVariableIsSet("PI_SHOTS_DIR")) {
            // The question as the operator sees it, in the program's own message box.
            QTimer::singleShot(300, [] {
                for (QWidget* widget : QApplication::topLevelWidgets())
                    if (auto* box = qobject_cast<QMessageBox*>(widget); box && box->isVisible()) {
                        app::testing::shot(box, "recovery-question");
                        box->done(QMessageBox::No);
                    }
            });
            app::WidgetDialogs().question(&next.form, QStringLiteral("Восстановление"), asked[0], false);
            app::testing::shot(&next.form, "recovered-window");
        }
        QCOMPARE(next.form.windowTitle(), QStringLiteral("Paternity Index"));
        // The case is now this window's: the old file went, its own took over.
        QCoreApplication::processEvents();
        QCOMPARE(filesIn(stateFolder(dir), QStringLiteral("recovery-*.xlsx")),
                 QStringList{QString::fromStdString(next.form.recoveryKeeper()->file().file().filename().string())});

        // A normal save ends the need for it.
        const QString saved = dir.filePath(QStringLiteral("case.xlsx"));
        next.dialogs.fileNames.enqueue(saved);
        next.form.saveAction->trigger();
        QVERIFY(!std::filesystem::exists(next.form.recoveryKeeper()->file().file()));
    }

    void declinedCaseIsSetAsideNotOfferedAgain()
    {
        QTemporaryDir dir;
        killedWindow(dir);
        {
            Window next;
            next.form.setRecovery(std::make_unique<exchange::RecoveryFile>(stateFolder(dir)));
            next.dialogs.answers.enqueue(Answer::No);
            next.open();
            QCOMPARE(next.form.grid().ResultCount(), 0);
        }
        QCOMPARE(filesIn(stateFolder(dir), QStringLiteral("recovery-*.xlsx")), QStringList());
        QCOMPARE(filesIn(stateFolder(dir), QStringLiteral("declined-*.xlsx")).size(), 1);
        Window again; // ScriptedDialogs fails an unexpected question
        again.form.setRecovery(std::make_unique<exchange::RecoveryFile>(stateFolder(dir)));
        again.open();
        QCOMPARE(again.form.grid().ResultCount(), 0);
    }

    void runningWindowsFileIsNotOffered()
    {
        QTemporaryDir dir;
        std::filesystem::create_directories(stateFolder(dir));
        const auto other = stateFolder(dir) / "recovery-1.xlsx";
        std::ofstream(other).flush();
        // Another window holds its lock.
        const int held = ::open((stateFolder(dir) / "recovery-1.lock").c_str(), O_RDWR | O_CREAT, 0600);
        QVERIFY(held >= 0);
        QCOMPARE(::flock(held, LOCK_EX | LOCK_NB), 0);
        exchange::RecoveryFile mine(stateFolder(dir));
        QVERIFY(mine.claimOrphans().empty());
        ::close(held);
        QCOMPARE(mine.claimOrphans(), std::vector<std::filesystem::path>{other});
    }
};

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    if (argc > 1 && QByteArray(argv[1]) == "--enter-and-die") {
        QDir::setCurrent(QString::fromLocal8Bit(qgetenv("PI_SOURCE_DIR")));
        return enterAndDie();
    }
    RecoveryTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "recovery_test.moc"
