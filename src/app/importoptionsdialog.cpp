// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/importoptionsdialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace app {

ImportOptionsDialog::ImportOptionsDialog(const QString& tableFile, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(tr("Импорт таблицы частот"));
    auto* layout = new QVBoxLayout(this);
    auto* file = new QLabel(tr("Таблица: %1").arg(QFileInfo(tableFile).fileName()), this);
    file->setToolTip(tableFile);
    layout->addWidget(file);

    auto* population = new QGroupBox(tr("Популяция таблицы"), this);
    auto* choices = new QVBoxLayout(population);
    russians = new QRadioButton(tr("Русские"), population);
    usCaucasians = new QRadioButton(tr("Европеоиды США"), population);
    usBlacks = new QRadioButton(tr("Негры США"), population);
    russians->setChecked(true);
    for (QRadioButton* button : {russians, usCaucasians, usBlacks})
        choices->addWidget(button);
    layout->addWidget(population);

    auto* origin = new QHBoxLayout;
    originBox = new QCheckBox(tr("Только популяция выгрузки XML:"), this);
    originName = new QLineEdit(this);
    originName->setPlaceholderText(tr("например, POLAND"));
    originName->setEnabled(false);
    connect(originBox, &QCheckBox::toggled, originName, &QLineEdit::setEnabled);
    origin->addWidget(originBox);
    origin->addWidget(originName);
    layout->addLayout(origin);
    newLociBox = new QCheckBox(tr("Создать книги для локусов, которых нет в папке данных"), this);
    pruneBox = new QCheckBox(tr("Убрать в резервную папку книги локусов, которых нет в таблице"), this);
    layout->addWidget(newLociBox);
    layout->addWidget(pruneBox);
    layout->addWidget(new QLabel(tr("Проверка ничего не записывает: сначала будет показан итог."), this));

    auto* buttons = new QDialogButtonBox(this);
    checkButton = buttons->addButton(tr("Проверить"), QDialogButtonBox::AcceptRole);
    buttons->addButton(tr("Отмена"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &ImportOptionsDialog::checkTable);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    // An origin box ticked without a name would read every origin: the check waits for a name.
    auto update
        = [this] { checkButton->setEnabled(!originBox->isChecked() || !originName->text().trimmed().isEmpty()); };
    connect(originBox, &QCheckBox::toggled, this, update);
    connect(originName, &QLineEdit::textChanged, this, update);
    refusal = new QLabel(this);
    refusal->setWordWrap(true);
    refusal->setTextFormat(Qt::PlainText);
    refusal->setStyleSheet(QStringLiteral("color: #b00000"));
    refusal->hide();
    layout->addWidget(refusal);
    layout->addWidget(buttons);
    setMinimumWidth(480);
}

void ImportOptionsDialog::checkTable()
{
    const std::optional<QString> refused = check ? check() : std::nullopt;
    if (!refused) {
        accept();
        return;
    }
    refusal->setText(inWindowTerms(*refused));
    refusal->show();
    adjustSize();
}

void ImportOptionsDialog::choosePopulation(freqdb::Population population)
{
    (population == freqdb::Population::UsCaucasians ? usCaucasians
     : population == freqdb::Population::UsBlacks   ? usBlacks
                                                    : russians)
        ->setChecked(true);
}

QString ImportOptionsDialog::inWindowTerms(const QString& refusal) const
{
    const auto quoted = [](const QCheckBox* box) { return "«" + box->text().remove(QLatin1Char(':')) + "»"; };
    // The command's "дайте --prune" and "выберите одну с --origin ИМЯ" become the check boxes.
    QString out = refusal;
    out.replace(QStringLiteral("дайте --prune"), tr("отметьте %1").arg(quoted(pruneBox)));
    out.replace(QStringLiteral("дайте --new-loci"), tr("отметьте %1").arg(quoted(newLociBox)));
    out.replace(QStringLiteral("выберите одну с --origin ИМЯ"), tr("отметьте %1 и впишите имя").arg(quoted(originBox)));
    out.replace(QStringLiteral("выберите одну с --origin"), tr("отметьте %1 и впишите имя").arg(quoted(originBox)));
    out.replace(QStringLiteral("указан --origin"), tr("отмечено %1").arg(quoted(originBox)));
    return out;
}

popimport::ImportChoice ImportOptionsDialog::choice(const std::filesystem::path& table) const
{
    popimport::ImportChoice out;
    out.table = table;
    out.population = usCaucasians->isChecked() ? freqdb::Population::UsCaucasians
                     : usBlacks->isChecked()   ? freqdb::Population::UsBlacks
                                               : freqdb::Population::Russians;
    if (originBox->isChecked())
        out.origin = originName->text().trimmed().toStdString();
    out.newLoci = newLociBox->isChecked();
    out.prune = pruneBox->isChecked();
    return out;
}

} // namespace app
