// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/settingsline.h"

#include <QFontMetrics>
#include <QResizeEvent>

namespace app {
namespace {

QString qs(const std::string& text)
{
    return QString::fromStdString(text);
}

bool fits(const QString& text, const QFont& font, const QRect& room)
{
    const QFontMetrics metrics(font);
    const QStringList lines = text.split('\n');
    if (lines.size() * metrics.lineSpacing() > room.height() + 1)
        return false;
    for (const QString& line : lines)
        if (metrics.horizontalAdvance(line) > room.width())
            return false;
    return true;
}

} // namespace

SettingsLine::SettingsLine(QWidget* parent) : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    QFont designFont = font();
    designFont.setPixelSize(kDesignPixels);
    setFont(designFont);
}

void SettingsLine::showSettings(const freqdb::LabSettings& settings)
{
    m_parts.clear();
    if (settings.mutationOn())
        m_parts.append({tr("мутации: μ=") + qs(settings.mutationRateText), tr("μ=") + qs(settings.mutationRateText)});
    if (settings.minFrequency)
        m_parts.append(
            {tr("мин. частота: ") + qs(settings.minFrequencyText), tr("мин. ") + qs(settings.minFrequencyText)});
    if (settings.theta)
        m_parts.append({tr("θ=") + qs(settings.thetaText), tr("θ=") + qs(settings.thetaText)});
    setVisible(!m_parts.isEmpty());
    if (m_parts.isEmpty()) {
        clear();
        setToolTip({});
        return;
    }
    QString tip;
    for (const auto& [label, value] : freqdb::settingsLines(settings))
        tip += qs(label) + ": " + qs(value) + '\n';
    setToolTip(tip.trimmed());
    fit();
}

void SettingsLine::fit()
{
    if (m_parts.isEmpty())
        return;
    QStringList full, brief;
    for (const Part& part : m_parts) {
        full << part.full;
        brief << part.brief;
    }
    const QString title = tr("Настройки: ");
    const QString separator = QStringLiteral("; ");
    // From the design wording down to the shortest: the first that fits whole is shown.
    const QStringList wordings = {
        title + full.join(separator),
        title + brief.join(separator),
        brief.join(separator),
        title + full.join(QStringLiteral(";\n")),
        title + brief.join(QStringLiteral(";\n")),
        brief.join(QStringLiteral(";\n")),
    };
    const QRect room = contentsRect();
    QFont shown = font();
    for (const QString& wording : wordings) {
        for (int pixels = kDesignPixels; pixels >= kMinPixels; --pixels) {
            shown.setPixelSize(pixels);
            if (fits(wording, shown, room)) {
                setFont(shown);
                setText(wording);
                return;
            }
        }
    }
    // No room for any: the shortest, smallest, its numbers whole, beside the tooltip.
    shown.setPixelSize(kMinPixels);
    setFont(shown);
    setText(wordings.last());
}

bool SettingsLine::fitsWhole() const
{
    return fits(text(), font(), contentsRect());
}

void SettingsLine::resizeEvent(QResizeEvent* event)
{
    QLabel::resizeEvent(event);
    fit();
}

} // namespace app
