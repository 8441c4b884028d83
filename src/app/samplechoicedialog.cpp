// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/samplechoicedialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace app {
namespace {

// The sample's name is the item's data; its text adds the typed markers, which tell a reference
// profile from a control at a glance.
void fillSamples(QComboBox* box, const profiles::GenotypeExport& data)
{
    for (const auto& sample : data.samples) {
        const QString name = QString::fromStdString(sample.name);
        // One arg() for both: a name holding "%2" must not take the count's place.
        box->addItem(SampleChoiceDialog::tr("%1 (маркеров: %2)").arg(name, QString::number(sample.typedMarkers())),
                     name);
    }
    box->setCurrentIndex(-1);
}

std::string chosen(const QComboBox* box)
{
    return box->currentData().toString().toStdString();
}

} // namespace

SampleChoiceDialog::SampleChoiceDialog(const profiles::GenotypeExport& data, const std::vector<std::string>& locusNames,
                                       const QString& fileName, QWidget* parent)
    : QDialog(parent)
{
    for (const auto& sample : data.samples)
        if (sample.typedMarkers() == 0)
            m_emptySamples << QString::fromStdString(sample.name);
    setWindowTitle(tr("Образцы экспорта генотипов"));
    auto* layout = new QVBoxLayout(this);
    auto* source
        = new QLabel(tr("%1\n%2, образцов: %3")
                         .arg(fileName, QString::fromStdString(data.layout), QString::number(data.samples.size())),
                     this);
    source->setTextFormat(Qt::PlainText);
    source->setWordWrap(true);
    layout->addWidget(source);

    auto* form = new QFormLayout;
    fatherBox = new QComboBox(this);
    childBox = new QComboBox(this);
    motherBox = new QComboBox(this);
    motherBox->addItem(tr("Нет"), QString());
    fillSamples(fatherBox, data);
    fillSamples(childBox, data);
    fillSamples(motherBox, data);
    // Two samples make a duo at most; among more the mother is chosen like the others.
    motherBox->setCurrentIndex(data.samples.size() >= 3 ? -1 : 0);
    form->addRow(tr("Предполагаемый отец:"), fatherBox);
    form->addRow(tr("Ребенок:"), childBox);
    form->addRow(tr("Мать:"), motherBox);
    layout->addLayout(form);

    const auto missing = profiles::markersWithoutTable(data, locusNames);
    markersLabel = new QLabel(this);
    markersLabel->setTextFormat(Qt::PlainText); // the export's marker names, whatever they hold
    markersLabel->setWordWrap(true);
    if (!missing.empty())
        markersLabel->setText(QString::fromStdString(profiles::markersWithoutTableNote(missing)));
    markersLabel->setVisible(!missing.empty());
    layout->addWidget(markersLabel);

    reasonLabel = new QLabel(this);
    reasonLabel->setTextFormat(Qt::PlainText);
    reasonLabel->setWordWrap(true);
    reasonLabel->setStyleSheet(QStringLiteral("color: #b00000"));
    layout->addWidget(reasonLabel);

    buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Cancel)->setText(tr("Отмена"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    for (QComboBox* box : {fatherBox, childBox, motherBox})
        connect(box, &QComboBox::currentIndexChanged, this, &SampleChoiceDialog::updateOk);
    updateOk();
    setMinimumWidth(420);
}

profiles::CaseChoice SampleChoiceDialog::choice() const
{
    profiles::CaseChoice out{chosen(fatherBox), chosen(childBox), std::nullopt};
    if (const std::string mother = chosen(motherBox); !mother.empty())
        out.mother = mother;
    return out;
}

void SampleChoiceDialog::updateOk()
{
    const profiles::CaseChoice c = choice();
    const std::pair<QComboBox*, QString> persons[]
        = {{fatherBox, tr("предполагаемого отца")}, {childBox, tr("ребенка")}, {motherBox, tr("мать (или «Нет»)")}};
    QStringList missing;
    for (const auto& [box, person] : persons)
        if (box->currentIndex() < 0)
            missing << person;
    QString reason;
    if (!missing.isEmpty()) {
        reason = tr("Выберите %1.").arg(missing.join(QStringLiteral(", ")));
    } else {
        const std::string* twice = c.father == c.child                 ? &c.father
                                   : c.mother && *c.mother == c.father ? &c.father
                                   : c.mother && *c.mother == c.child  ? &c.child
                                                                       : nullptr;
        if (twice)
            reason
                = tr("Образец «%1» выбран для двух лиц: у каждого свой образец.").arg(QString::fromStdString(*twice));
    }
    buttons->button(QDialogButtonBox::Ok)->setEnabled(reason.isEmpty());
    if (reason.isEmpty()) {
        // Allowed, but said: an empty sample gives no genotype at any locus.
        QStringList empty;
        for (const auto& [box, person] : persons)
            if (const QString name = box->currentData().toString(); !name.isEmpty() && m_emptySamples.contains(name))
                empty << name;
        if (!empty.isEmpty())
            reason = tr("Внимание: в образце %1 нет ни одного типированного маркера (отрицательный контроль?): "
                        "генотипы этого лица будут пусты.")
                         .arg("«" + empty.join(QStringLiteral("», «")) + "»");
    }
    reasonLabel->setText(reason);
    reasonLabel->setVisible(!reason.isEmpty());
}

} // namespace app
