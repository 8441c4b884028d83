// SPDX-License-Identifier: GPL-3.0-or-later
#include "reportdocument.h"

#include "engine/enginetexts.h"
#include "report/reporttexts.h"

namespace report {
namespace {

QString qs(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A text of the case: escaped, with its blanks and line breaks kept.
QString cellText(const std::string& text)
{
    return qs(text).toHtmlEscaped();
}

// A date and time that never breaks between its two parts.
QString dateText(const std::string& text)
{
    return cellText(text).replace(QLatin1Char(' '), QChar(0xA0));
}

// Column widths in percent of the text width: №, locus, three genotypes, formula, two
// frequencies, LR, mark, PE. The formula and frequency texts are the longest of a row.
constexpr double kColumnPercent[11] = {3.5, 9, 8, 8, 8, 16, 12.25, 12.25, 8, 8, 7};

void infoLine(QString& html, std::string_view label, const QString& value)
{
    html += QStringLiteral("<tr><td style=\"padding-right: 8px; color: #333333;\">%1:</td><td>%2</td></tr>")
                .arg(qs(label).toHtmlEscaped(), value);
}

} // namespace

QString frontHtml(const CaseReport& report)
{
    QString html;
    html += QStringLiteral("<p style=\"font-size: 15pt; font-weight: bold; margin-bottom: 10px;\">%1</p>")
                .arg(qs(kTitle).toHtmlEscaped());

    html += QStringLiteral("<table cellspacing=\"0\" cellpadding=\"1\">");
    infoLine(html, kMadeAtLabel, dateText(report.madeAt));
    infoLine(html, kProgramLabel, cellText(report.program));
    infoLine(html, kPopulationLabel, cellText(report.population));
    infoLine(html, kDataFolderLabel, cellText(report.dataFolder));
    infoLine(html, kFingerprintLabel,
             QStringLiteral("<b>%1</b> (%2 %3)")
                 .arg(cellText(report.fingerprint), QString::number(report.lociLoaded), qs(kLociLoadedWord)));
    if (report.source.empty()) {
        infoLine(html, kSourceLabel, qs(kNoSource).toHtmlEscaped());
    } else {
        QString source = cellText(report.source);
        if (!report.sourceLoadedAt.empty())
            source += QStringLiteral(", %1 %2").arg(qs(kLoadedAtWord), dateText(report.sourceLoadedAt));
        if (report.sourceChanged)
            source += QStringLiteral("; %1").arg(qs(kChangedAfterLoad));
        infoLine(html, report.sourceSamples.empty() ? kSourceLabel : kExportSourceLabel, source);
        // A genotyping export holds a run's samples: the report names the ones the case took.
        if (!report.sourceSamples.empty())
            infoLine(html, kSamplesLabel, cellText(report.sourceSamples));
    }
    html += QStringLiteral("</table>");
    // What the export said beyond the rows: its markers not evaluated and why, its file's notes.
    for (const std::string& line : report.exportLines)
        html += QStringLiteral("<p style=\"margin-top: 4px; margin-bottom: 0px;\">%1</p>").arg(cellText(line));

    if (!report.labSettings.empty()) {
        html += QStringLiteral("<p style=\"font-weight: bold; margin-top: 10px; margin-bottom: 4px;\">%1</p>")
                    .arg(qs(kSettingsHeading).toHtmlEscaped());
        html += QStringLiteral("<table cellspacing=\"0\" cellpadding=\"1\">");
        for (const ReportSetting& setting : report.labSettings)
            infoLine(html, setting.label, cellText(setting.value));
        html += QStringLiteral("</table>");
    }
    html += QStringLiteral("<p style=\"font-weight: bold; margin-top: 14px; margin-bottom: 4px;\">%1</p>")
                .arg(qs(kTableHeading).toHtmlEscaped());
    return html;
}

QString tableHtml(const CaseReport& report, std::size_t first, std::size_t last)
{
    QString html;
    if (report.rows.empty()) {
        html += QStringLiteral("<p>%1</p>").arg(qs(kNoRows).toHtmlEscaped());
    } else {
        html += QStringLiteral("<table width=\"100%\" border=\"1\" cellspacing=\"0\" cellpadding=\"3\" "
                               "style=\"border-collapse: collapse; border-color: #000000; font-size: 7.5pt;\">");
        html += QStringLiteral("<tr>");
        for (std::size_t c = 0; c < report.header.size(); ++c)
            html += QStringLiteral("<td width=\"%1%\" bgcolor=\"#e8e8e8\" align=\"center\" valign=\"middle\">%2</td>")
                        .arg(kColumnPercent[c])
                        .arg(cellText(report.header[c]));
        html += QStringLiteral("</tr>");
        for (std::size_t r = first; r < last && r < report.rows.size(); ++r) {
            const ReportRow& row = report.rows[r];
            html += QStringLiteral("<tr>");
            for (std::size_t c = 0; c < row.size(); ++c)
                html += QStringLiteral("<td align=\"center\" style=\"white-space: pre-wrap;\">%1</td>")
                            .arg(cellText(row[c]));
            html += QStringLiteral("</tr>");
        }
        html += QStringLiteral("</table>");
    }
    return html;
}

QString backHtml(const CaseReport& report)
{
    QString html;
    if (!report.thetaNote.empty())
        html
            += QStringLiteral("<p style=\"font-size: 7.5pt; margin-top: 4px;\">%1</p>").arg(cellText(report.thetaNote));
    html += QStringLiteral("<p style=\"font-weight: bold; margin-top: 14px; margin-bottom: 4px;\">%1</p>")
                .arg(qs(kResultHeading).toHtmlEscaped());
    if (report.cpiLine.empty()) {
        html += QStringLiteral("<p style=\"margin: 0;\">%1</p>").arg(qs(kNotCombined).toHtmlEscaped());
    } else {
        html += QStringLiteral("<p style=\"white-space: pre-wrap; margin: 0;\">%1</p>").arg(cellText(report.cpiLine));
        if (!report.probabilityLine.empty())
            html += QStringLiteral("<p style=\"white-space: pre-wrap; margin: 0;\">%1</p>")
                        .arg(cellText(report.probabilityLine));
        if (!report.cpeLine.empty())
            html += QStringLiteral("<p style=\"white-space: pre-wrap; margin: 0;\">%1</p>")
                        .arg(cellText(report.cpeLine));
        if (!report.priorLines.empty()) {
            html += QStringLiteral("<p style=\"margin-top: 10px; margin-bottom: 0;\">%1:</p>")
                        .arg(qs(kPriorsHeading).toHtmlEscaped());
            for (const std::string& line : report.priorLines)
                html += QStringLiteral("<p style=\"margin: 0; margin-left: 24px;\">%1</p>").arg(cellText(line));
        }
    }

    html += QStringLiteral("<p style=\"font-weight: bold; margin-top: 14px; margin-bottom: 4px;\">%1</p>")
                .arg(qs(kCountsHeading).toHtmlEscaped());
    html += QStringLiteral("<table cellspacing=\"0\" cellpadding=\"1\">");
    infoLine(html, kCountLoci, QString::number(report.counts.loci));
    infoLine(html, kCountMarked, QString::number(report.counts.marked));
    infoLine(html, kCountPaternityExcluded, QString::number(report.counts.paternityExcluded));
    infoLine(html, kCountMaternityExcluded, QString::number(report.counts.maternityExcluded));
    if (report.counts.mutationShown)
        infoLine(html, engine::kMutationLociLabel, QString::number(report.counts.mutationModel));
    html += QStringLiteral("</table>");

    html += QStringLiteral("<p style=\"margin-top: 36px;\">%1</p>").arg(qs(kSignature).toHtmlEscaped());
    return html;
}

QString pageFooter(int page, int pages)
{
    return QStringLiteral("%1 %2 %3 %4").arg(qs(kPageWord)).arg(page).arg(qs(kOfWord)).arg(pages);
}

} // namespace report
