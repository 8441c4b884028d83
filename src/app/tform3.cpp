// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/tform3.h"

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

TForm3::TForm3(QWidget* parent) : QDialog(parent)
{
    // No system menu and no close box; the window stays above the calculator.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint);
    setWindowTitle(tr("Выберите популяцию"));
    QFont dialogFont = font();
    dialogFont.setPixelSize(13);
    setFont(dialogFont);

    m_pages = new QStackedWidget(this);

    auto* choice = new QWidget(m_pages);
    auto* frame = new QFrame(choice); // RadioGroup1: the frame the choices lie over
    frame->setFrameShape(QFrame::Box);
    frame->setFrameShadow(QFrame::Sunken);
    frame->setGeometry(0, 0, 169, 139);
    RadioButton1 = new QRadioButton(tr("Русские"), choice);
    RadioButton2 = new QRadioButton(tr("Европеоиды США"), choice);
    RadioButton3 = new QRadioButton(tr("Негры США"), choice);
    RadioButton4 = new QRadioButton(tr("Другая ..."), choice);
    RadioButton1->move(20, 20);
    RadioButton2->move(20, 49);
    RadioButton3->move(20, 79);
    RadioButton4->move(20, 108);
    for (QRadioButton* button : {RadioButton1, RadioButton2, RadioButton3, RadioButton4})
        button->adjustSize();
    RadioButton1->setChecked(true);
    RadioButton4->setEnabled(false);
    Button1 = new QPushButton(tr("OK"), choice);
    Button1->setGeometry(39, 148, 93, 30);
    Button1->setDefault(true);
    setTabOrder(Button1, RadioButton1);
    setTabOrder(RadioButton1, RadioButton2);
    setTabOrder(RadioButton2, RadioButton3);
    connect(Button1, &QPushButton::clicked, this, &TForm3::Button1Click);
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

void TForm3::setPopulation(freqdb::Population population)
{
    m_population = population;
}

freqdb::Population TForm3::chosenPopulation() const
{
    if (RadioButton1->isChecked())
        return freqdb::Population::Russians;
    if (RadioButton2->isChecked())
        return freqdb::Population::UsCaucasians;
    return freqdb::Population::UsBlacks;
}

void TForm3::showChoice(freqdb::Population population)
{
    switch (population) {
    case freqdb::Population::Russians:
        RadioButton1->setChecked(true);
        break;
    case freqdb::Population::UsCaucasians:
        RadioButton2->setChecked(true);
        break;
    case freqdb::Population::UsBlacks:
        RadioButton3->setChecked(true);
        break;
    case freqdb::Population::Unset:
        break;
    }
}

void TForm3::becomeChoice(const QString& title)
{
    m_loading = false;
    setWindowModality(Qt::NonModal);
    setWindowTitle(title);
    m_pages->setCurrentIndex(0);
    setFixedSize(kChoiceWidth, kChoiceHeight);
}

void TForm3::becomeNotice()
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

void TForm3::setProgress(int done, int total, const QString& locusName)
{
    m_progress->setRange(0, total);
    m_progress->setValue(done);
    m_noticeText->setText(tr("%1 (%2 из %3)").arg(locusName).arg(done).arg(total));
}

void TForm3::Button1Click()
{
    hide();
    emit populationChosen();
}

void TForm3::reject()
{
    // Esc while loading stops the load, as "Отмена" does; the notice goes when the load has ended.
    if (m_loading) {
        m_cancelRequested = true;
        return;
    }
    hide();
    emit closedWithoutChoice();
}

void TForm3::closeEvent(QCloseEvent* event)
{
    event->ignore();
    reject();
}

} // namespace app
