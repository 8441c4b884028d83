// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/populationdialog.h"

#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace app {

namespace {

constexpr int kChoiceWidth = 171;
constexpr int kChoiceHeight = 203;
constexpr int kNoticeWidth = 260;
constexpr int kNoticeHeight = 100;

} // namespace

PopulationDialog::PopulationDialog(QWidget* parent) : QDialog(parent)
{
    // No system menu and no close box; the window stays above the calculator.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint);
    setWindowTitle(tr("Выберите популяцию"));
    QFont dialogFont = font();
    dialogFont.setPixelSize(13);
    setFont(dialogFont);

    m_pages = new QStackedWidget(this);

    auto* choice = new QWidget(m_pages);
    auto* frame = new QFrame(choice); // the frame the choices lie over
    frame->setFrameShape(QFrame::Box);
    frame->setFrameShadow(QFrame::Sunken);
    frame->setGeometry(0, 0, 169, 139);
    russiansButton = new QRadioButton(tr("Русские"), choice);
    usCaucasiansButton = new QRadioButton(tr("Европеоиды США"), choice);
    usBlacksButton = new QRadioButton(tr("Негры США"), choice);
    otherPopulationButton = new QRadioButton(tr("Другая ..."), choice);
    russiansButton->move(20, 20);
    usCaucasiansButton->move(20, 49);
    usBlacksButton->move(20, 79);
    otherPopulationButton->move(20, 108);
    for (QRadioButton* button : {russiansButton, usCaucasiansButton, usBlacksButton, otherPopulationButton})
        button->adjustSize();
    russiansButton->setChecked(true);
    otherPopulationButton->setEnabled(false);
    okButton = new QPushButton(tr("OK"), choice);
    okButton->setGeometry(39, 148, 93, 30);
    okButton->setDefault(true);
    // The names the tests and the accessibility tree find the controls by.
    russiansButton->setObjectName(QStringLiteral("russiansButton"));
    usCaucasiansButton->setObjectName(QStringLiteral("usCaucasiansButton"));
    usBlacksButton->setObjectName(QStringLiteral("usBlacksButton"));
    otherPopulationButton->setObjectName(QStringLiteral("otherPopulationButton"));
    okButton->setObjectName(QStringLiteral("okButton"));
    setTabOrder(okButton, russiansButton);
    setTabOrder(russiansButton, usCaucasiansButton);
    setTabOrder(usCaucasiansButton, usBlacksButton);
    connect(okButton, &QPushButton::clicked, this, &PopulationDialog::confirmChoice);
    m_pages->addWidget(choice);

    auto* notice = new QWidget(m_pages);
    auto* noticeLayout = new QVBoxLayout(notice);
    m_noticeText = new QLabel(notice);
    m_progress = new QProgressBar(notice);
    m_progress->setTextVisible(false);
    cancelLoadButton = new QPushButton(tr("Отмена"), notice);
    noticeLayout->addWidget(m_noticeText);
    noticeLayout->addWidget(m_progress);
    noticeLayout->addWidget(cancelLoadButton, 0, Qt::AlignRight);
    connect(cancelLoadButton, &QPushButton::clicked, this, [this] { m_cancelRequested = true; });
    m_pages->addWidget(notice);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_pages);
    becomeChoice(windowTitle());
}

void PopulationDialog::setPopulation(freqdb::Population population)
{
    m_population = population;
}

freqdb::Population PopulationDialog::chosenPopulation() const
{
    if (russiansButton->isChecked())
        return freqdb::Population::Russians;
    if (usCaucasiansButton->isChecked())
        return freqdb::Population::UsCaucasians;
    return freqdb::Population::UsBlacks;
}

void PopulationDialog::showChoice(freqdb::Population population)
{
    switch (population) {
    case freqdb::Population::Russians:
        russiansButton->setChecked(true);
        break;
    case freqdb::Population::UsCaucasians:
        usCaucasiansButton->setChecked(true);
        break;
    case freqdb::Population::UsBlacks:
        usBlacksButton->setChecked(true);
        break;
    case freqdb::Population::Unset:
        break;
    }
}

void PopulationDialog::becomeChoice(const QString& title)
{
    m_loading = false;
    setWindowModality(Qt::NonModal);
    setWindowTitle(title);
    m_pages->setCurrentIndex(0);
    setFixedSize(kChoiceWidth, kChoiceHeight);
}

void PopulationDialog::becomeNotice()
{
    m_loading = true;
    m_cancelRequested = false;
    // While the tables load, only the notice takes input: its "Отмена" is the one thing to press.
    setWindowModality(Qt::ApplicationModal);
    setWindowTitle(tr("Загрузка данных ..."));
    m_noticeText->clear();
    m_progress->setRange(0, 0);
    m_pages->setCurrentIndex(1);
    setFixedSize(kNoticeWidth, kNoticeHeight);
}

void PopulationDialog::setProgress(int done, int total, const QString& locusName)
{
    m_progress->setRange(0, total);
    m_progress->setValue(done);
    m_noticeText->setText(tr("%1 (%2 из %3)").arg(locusName).arg(done).arg(total));
}

void PopulationDialog::confirmChoice()
{
    hide();
    emit populationChosen();
}

void PopulationDialog::reject()
{
    // Esc while loading stops the load, as "Отмена" does; the notice goes when the load has ended.
    if (m_loading) {
        m_cancelRequested = true;
        return;
    }
    hide();
    emit closedWithoutChoice();
}

void PopulationDialog::closeEvent(QCloseEvent* event)
{
    event->ignore();
    reject();
}

} // namespace app
