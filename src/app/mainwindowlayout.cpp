// SPDX-License-Identifier: GPL-3.0-or-later
// MainWindow's controls and menus as designed, and the rule that lays them out when the window
// is resized.
#include <QAction>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <algorithm>
#include <cmath>
#include <utility>

#include "app/mainwindow.h"
#include "app/qtconversions.h"
#include "app/resultline.h"
#include "app/resultsmodel.h"
#include "app/resultsview.h"

namespace app {

namespace {

// The grid's column widths are G x k / 489 for its width G (489 at the design size).
constexpr int kDesignGridWidth = 489;
constexpr int kColumnFactors[results::kColumnCount] = {20, 65, 110, 90, 90, 35, 50};
// priorLabel ends where priorField begins: both follow 45 x W / 100, 153 pixels apart.
constexpr int kLabelRoom = 149;

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
    m_model = new ResultsModel(m_case.grid(), this);
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
    priorField = new QLineEdit(qs(m_case.prior()), client);
    connect(priorField, &QLineEdit::textChanged, this, [this](const QString& text) { m_case.setPrior(utf8(text)); });
    priorField->setGeometry(312, 304, 73, 21);
    // The lab's settings in force, in the free room right of the prior field; shown only when a
    // setting is on, so a lab without settings sees the window as it always was.
    settingsLabel = new SettingsLine(client);
    settingsLabel->setVisible(false);
    QFont settingsFont = font();
    settingsFont.setPixelSize(10);
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

    // The names the tests and the accessibility tree find the controls by.
    const std::pair<QWidget*, const char*> named[] = {{locusGroup, "locusGroup"},
                                                      {fatherGroup, "fatherGroup"},
                                                      {childGroup, "childGroup"},
                                                      {motherGroup, "motherGroup"},
                                                      {locusBox, "locusBox"},
                                                      {fatherAllele1Box, "fatherAllele1Box"},
                                                      {fatherAllele2Box, "fatherAllele2Box"},
                                                      {childAllele1Box, "childAllele1Box"},
                                                      {childAllele2Box, "childAllele2Box"},
                                                      {motherAllele1Box, "motherAllele1Box"},
                                                      {motherAllele2Box, "motherAllele2Box"},
                                                      {resultsView, "resultsView"},
                                                      {cpiLine, "cpiLine"},
                                                      {probabilityLine, "probabilityLine"},
                                                      {priorField, "priorField"},
                                                      {priorLabel, "priorLabel"},
                                                      {settingsLabel, "settingsLabel"},
                                                      {dataNoteLabel, "dataNoteLabel"}};
    for (const auto& [widget, name] : named)
        widget->setObjectName(QLatin1String(name));
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

void MainWindow::centreOnScreen()
{
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
}

} // namespace app
