// SPDX-License-Identifier: GPL-3.0-or-later
#include "kinshipreport.h"

#include <QBuffer>
#include <QUrl>
#include <cmath>

#include "engine/combinedindex.h"
#include "engine/enginetexts.h"
#include "freqdb/labsettings.h"
#include "freqdb/tablesfingerprint.h"
#include "kinship/kinshiptexts.h"
#include "report/casereport.h"
#include "report/pdfpages.h"
#include "report/pedigreepicture.h"
#include "report/reportpdf.h"
#include "report/reporttexts.h"
#include "version/projectversion.h"

namespace report {
namespace {

QString qs(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).toHtmlEscaped();
}

void infoLine(QString& html, std::string_view label, const QString& value)
{
    html += QStringLiteral("<tr><td style=\"padding-right: 8px; color: #333333;\">%1:</td><td>%2</td></tr>")
                .arg(qs(label), value);
}

QString heading(std::string_view text)
{
    return QStringLiteral("<p style=\"font-weight: bold; margin-top: 12px; margin-bottom: 4px;\">%1</p>").arg(qs(text));
}

std::filesystem::path fullPath(const std::filesystem::path& path)
{
    std::error_code ec;
    const auto full = std::filesystem::absolute(path, ec);
    return ec ? path : full.lexically_normal();
}

// Whether each person is typed at any locus.
std::vector<int> typedLoci(const kinship::KinshipReportCase& c)
{
    std::vector<int> count(c.kinshipCase->persons.size(), 0);
    for (const auto& row : c.result->rows) {
        for (std::size_t i = 0; i < count.size() && i < row.genotypes.size(); ++i)
            count[i] += kinship::untypedText(row.genotypes[i]) ? 0 : 1;
    }
    return count;
}

QString frontHtml(const kinship::KinshipReportCase& c, const std::string& madeAt, int imageWidth)
{
    const auto& persons = c.kinshipCase->persons;
    QString html = QStringLiteral("<p style=\"font-size: 15pt; font-weight: bold; margin-bottom: 10px;\">%1</p>")
                       .arg(qs(kKinshipTitle));
    html += QStringLiteral("<table cellspacing=\"0\" cellpadding=\"1\">");
    infoLine(html, kMadeAtLabel, qs(madeAt));
    infoLine(html, kProgramLabel,
             qs(std::string(kProgramName) + ", " + std::string(kVersionWord) + " " + version::kVersion));
    infoLine(html, kPopulationLabel, qs(freqdb::populationName(c.table->population())));
    infoLine(html, kDataFolderLabel, qs(fullPath(c.dataDir).string()));
    infoLine(
        html, kFingerprintLabel,
        QStringLiteral("<b>%1</b> (%2 %3)")
            .arg(qs(freqdb::tablesFingerprint(*c.table)), QString::number(c.table->LocusCount()), qs(kLociLoadedWord)));
    infoLine(html, kSourceLabel, qs(fullPath(c.source).string()));
    html += QStringLiteral("</table>");
    html += heading(kSettingsHeading);
    html += QStringLiteral("<table cellspacing=\"0\" cellpadding=\"1\">");
    for (const auto& [label, value] : freqdb::settingsLines(c.table->settings()))
        infoLine(html, label, qs(value));
    html += QStringLiteral("</table>");

    html += heading(kHypothesesHeading);
    html += QStringLiteral("<table width=\"100%\" cellspacing=\"0\" cellpadding=\"4\"><tr>");
    for (const auto& [text, name] :
         {std::pair{kinship::kHypothesisP, "pedigree:hp"}, std::pair{kinship::kHypothesisD, "pedigree:hd"}})
        html += QStringLiteral("<td width=\"50%\" valign=\"top\"><p>%1</p><p align=\"center\"><img src=\"%2\" "
                               "width=\"%3\"></p></td>")
                    .arg(qs(text), QString::fromLatin1(name))
                    .arg(imageWidth);
    html += QStringLiteral("</tr></table>");
    html += QStringLiteral("<p style=\"font-size: 7.5pt; color: #333333;\">%1</p>").arg(qs(kLegend));

    html += heading(kPersonsHeading);
    html
        += QStringLiteral(
               "<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\" style=\"border-collapse: collapse;\">"
               "<tr><td bgcolor=\"#e8e8e8\">%1</td><td bgcolor=\"#e8e8e8\">%2</td><td bgcolor=\"#e8e8e8\">%3</td></tr>")
               .arg(qs(kPersonRole), qs(kPersonSample), qs(kPersonLoci));
    const std::vector<int> loci = typedLoci(c);
    for (std::size_t i = 0; i < persons.size(); ++i)
        html += QStringLiteral("<tr><td>%1</td><td>%2</td><td align=\"center\">%3</td></tr>")
                    .arg(qs(persons[i].role.header()), qs(persons[i].sample.empty() ? "-" : persons[i].sample))
                    .arg(loci[i]);
    html += QStringLiteral("</table>");
    return html;
}

QString tableHtml(const kinship::KinshipReportCase& c)
{
    const auto& persons = c.kinshipCase->persons;
    QString html = heading(kTableHeading);
    html += QStringLiteral("<table width=\"100%\" border=\"1\" cellspacing=\"0\" cellpadding=\"2\" "
                           "style=\"border-collapse: collapse; font-size: 7pt;\"><tr>");
    auto headerCell = [&](const std::string& text) {
        html += QStringLiteral("<td bgcolor=\"#e8e8e8\" align=\"center\">%1</td>").arg(qs(text));
    };
    headerCell("№");
    headerCell("Локус");
    for (const auto& p : persons)
        headerCell(p.role.shortName());
    html += QStringLiteral("<td bgcolor=\"#e8e8e8\" align=\"center\" width=\"26%\">Формула</td>");
    headerCell("LR");
    html += QStringLiteral("</tr>");
    for (const auto& row : c.result->rows) {
        html += QStringLiteral("<tr>");
        auto cell
            = [&](const std::string& text) { html += QStringLiteral("<td align=\"center\">%1</td>").arg(qs(text)); };
        cell(row.number);
        cell(row.locus);
        for (const auto& g : row.genotypes)
            cell(kinship::untypedText(g) ? "-" : g);
        cell(row.formula);
        cell(row.lr);
        html += QStringLiteral("</tr>");
    }
    html += QStringLiteral("</table>");
    return html;
}

QString backHtml(const kinship::KinshipReportCase& c)
{
    const engine::CombinedIndexResult& combined = c.result->combined;
    QString html = heading(kResultHeading);
    auto line = [&](const std::string& text) {
        if (!text.empty())
            html += QStringLiteral("<p style=\"margin: 0;\">%1</p>").arg(qs(text));
    };
    if (combined.cpiText.empty()) {
        line(std::string(combined.message));
    } else {
        line(combined.cpiText);
        line(c.probabilityLine);
        std::vector<engine::CombinedIndexRow> rows;
        for (const auto& row : c.result->rows)
            rows.push_back({row.number, row.lr, row.lr.empty() ? "" : "++"});
        html += QStringLiteral("<p style=\"margin-top: 8px; margin-bottom: 0;\">%1:</p>").arg(qs(kPriorsHeading));
        for (const long double prior : kReportPriors) {
            const auto at = engine::CombineIndex(rows, c.format->general(prior), *c.format);
            if (at.status == engine::CombinedIndexStatus::Ok)
                html += QStringLiteral("<p style=\"margin: 0; margin-left: 24px;\">%1</p>").arg(qs(at.probabilityText));
        }
    }
    int excluded = 0, maternity = 0, mutation = 0, withLr = 0;
    for (const auto& row : c.result->rows) {
        excluded += row.formula == engine::kPaternityExcluded ? 1 : 0;
        maternity += row.formula == engine::kMaternityExcluded ? 1 : 0;
        mutation += row.mutation ? 1 : 0;
        withLr += row.lr.empty() ? 0 : 1;
    }
    html += heading(kCountsHeading);
    html += QStringLiteral("<table cellspacing=\"0\" cellpadding=\"1\">");
    infoLine(html, kCountLoci, QString::number(c.result->rows.size()));
    infoLine(html, kCountMarked, QString::number(withLr));
    infoLine(html, kCountNotEvaluated, QString::number(c.result->withoutLr));
    infoLine(html, kCountPaternityExcluded, QString::number(excluded));
    infoLine(html, kCountMaternityExcluded, QString::number(maternity));
    if (c.table->settings().mutationOn() || mutation > 0)
        infoLine(html, engine::kMutationLociLabel, QString::number(mutation));
    html += QStringLiteral("</table>");
    html += QStringLiteral("<p style=\"margin-top: 36px;\">%1</p>").arg(qs(kSignature));
    return html;
}

} // namespace

QByteArray renderKinshipReportPdf(const kinship::KinshipReportCase& c, const std::string& madeAt)
{
    QByteArray pdf;
    QBuffer buffer(&pdf);
    buffer.open(QIODevice::WriteOnly);
    PdfPages pages(buffer, QString::fromUtf8(kKinshipTitle.data(), static_cast<qsizetype>(kKinshipTitle.size())),
                   QString::fromUtf8(kProgramName.data(), static_cast<qsizetype>(kProgramName.size())),
                   QString::fromUtf8(kKinshipTitle.data(), static_cast<qsizetype>(kKinshipTitle.size()))
                       + QStringLiteral(", ") + QString::fromStdString(madeAt));
    std::vector<bool> typed;
    for (int n : typedLoci(c))
        typed.push_back(n > 0);
    const QImage hp = pedigreePicture(c.kinshipCase->persons, typed, true);
    const QImage hd = pedigreePicture(c.kinshipCase->persons, typed, false);
    // Both pictures at one scale, each within half the page's width. An image's width in the
    // document is in pixels of 96 per inch, which the layout scales to the writer's resolution.
    const double half = pages.bodySize().width() * 0.46;
    const double scale = std::min(1.0, half / std::max(hp.width(), hd.width())) * 96.0 / 300.0;
    QString front = frontHtml(c, madeAt, static_cast<int>(std::lround(hp.width() * scale)));
    auto first = pages.document(front);
    first->addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("pedigree:hp")), hp);
    first->addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("pedigree:hd")), hd);
    first->setHtml(
        front.replace(QStringLiteral("src=\"pedigree:hd\" width=\"%1\"").arg(std::lround(hp.width() * scale)),
                      QStringLiteral("src=\"pedigree:hd\" width=\"%1\"").arg(std::lround(hd.width() * scale))));
    first->setPageSize(pages.bodySize());
    auto rest = pages.document(tableHtml(c) + backHtml(c));
    const auto slices = [&](const QTextDocument& d) {
        return std::max(1, static_cast<int>(std::ceil(d.size().height() / pages.bodySize().height() - 1e-6)));
    };
    const int firstPages = slices(*first), restPages = slices(*rest);
    if (!pages.begin())
        throw ReportError("нельзя начать PDF");
    int number = 1;
    for (int s = 0; s < firstPages; ++s)
        pages.drawPage(*first, s, number++, firstPages + restPages);
    for (int s = 0; s < restPages; ++s)
        pages.drawPage(*rest, s, number++, firstPages + restPages);
    if (!pages.end())
        throw ReportError("PDF не завершён");
    return pdf;
}

std::string writeKinshipReport(const std::filesystem::path& path, const kinship::KinshipReportCase& evaluated)
{
    const std::string now = currentDateTimeText();
    try {
        writePdfFile(
            path, [&] { return renderKinshipReportPdf(evaluated, now); },
            [&](const std::string& reason) { return "Отчёт «" + path.string() + "» не сохранён: " + reason; });
    } catch (const std::exception& e) {
        return e.what();
    }
    return {};
}

} // namespace report
