// SPDX-License-Identifier: GPL-3.0-or-later
#include "validationreport.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QTextDocument>
#include <cstdio>

#include "report/pdfpages.h"
#include "report/reportpdf.h"

namespace report {
namespace {

using validation::CaseResult;

QString qs(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).toHtmlEscaped();
}

QString heading(std::string_view text, bool newPage = false)
{
    return QStringLiteral("<p style=\"font-weight: bold; font-size: 11pt; margin-top: 14px; margin-bottom: 4px;%1\">"
                          "%2</p>")
        .arg(newPage ? QStringLiteral(" page-break-before: always;") : QString(), qs(text));
}

void infoLine(QString& html, std::string_view label, std::string_view value)
{
    html += QStringLiteral("<tr><td style=\"padding-right: 8px; color: #333333;\">%1:</td><td>%2</td></tr>")
                .arg(qs(label), qs(value));
}

// A table with a header row repeated on every page it runs over; `widths` in percent.
QString tableStart(const std::vector<std::pair<std::string_view, int>>& columns)
{
    QString html = QStringLiteral("<table width=\"100%\" border=\"1\" cellspacing=\"0\" cellpadding=\"3\" "
                                  "style=\"border-collapse: collapse; border-color: #000000; font-size: 7.5pt;\">"
                                  "<thead><tr>");
    for (const auto& [title, width] : columns)
        html += QStringLiteral("<td width=\"%1%\" bgcolor=\"#e8e8e8\" align=\"center\">%2</td>")
                    .arg(width)
                    .arg(qs(title));
    return html + QStringLiteral("</tr></thead>");
}

QString row(const std::vector<std::string>& cells, const char* colour = nullptr)
{
    QString html = colour ? QStringLiteral("<tr bgcolor=\"%1\">").arg(QLatin1String(colour)) : QStringLiteral("<tr>");
    for (const std::string& cell : cells)
        html += QStringLiteral("<td align=\"center\">%1</td>").arg(qs(cell));
    return html + QStringLiteral("</tr>");
}

std::string comma(long double value, int decimals)
{
    QString text = QString::number(static_cast<double>(value), 'f', decimals);
    text.replace(QLatin1Char('.'), QLatin1Char(','));
    return text.toStdString();
}

std::string problemsOf(const CaseResult& c)
{
    std::string out;
    for (const std::string& p : c.problems)
        out += (out.empty() ? "" : "; ") + p;
    return out;
}

// The independent value in a table cell: short, so that a case stays on one line.
std::string independentCell(const CaseResult& c)
{
    switch (c.independent.finding) {
    case validation::Finding::Index:
        return validation::independentText(c);
    case validation::Finding::PaternityInconsistent:
        return "0";
    case validation::Finding::MaternityInconsistent:
        return "нет (мать)";
    case validation::Finding::NotComputable:
        return "нет";
    }
    return {};
}

// One line a case; a disagreement gets a line below it that says what differs.
QString casesTable(const validation::ValidationResult& r, const std::vector<std::size_t>& which)
{
    QString html = tableStart({{"№", 6},
                               {"Локус", 10},
                               {"Отец", 10},
                               {"Ребенок", 10},
                               {"Мать", 10},
                               {"Формула", 24},
                               {"LR", 10},
                               {"Независимо", 13},
                               {"Совп.", 7}});
    for (std::size_t i : which) {
        const CaseResult& c = r.cases[i];
        html += row({std::to_string(i + 1), c.drawn.locus, c.father, c.child, c.mother, c.formula, c.lr,
                     independentCell(c), c.agrees() ? "да" : "НЕТ"},
                    c.agrees() ? nullptr : "#ffd8d8");
        if (!c.agrees())
            html += QStringLiteral("<tr><td></td><td colspan=\"8\">%1</td></tr>").arg(qs(problemsOf(c)));
    }
    return html + QStringLiteral("</table>");
}

// The deficiency cases `which`: a line per locus, the case's number and constellation on its first.
QString relativesTable(const validation::ValidationResult& r, const std::vector<std::size_t>& which)
{
    QString html = tableStart({{"№", 5},
                               {"Случай", 17},
                               {"Локус", 9},
                               {"Генотипы", 31},
                               {"Программа", 18},
                               {"Второй расчёт", 13},
                               {"Совп.", 7}});
    for (std::size_t i : which) {
        const validation::RelativesCase& c = r.relatives[i];
        for (std::size_t k = 0; k < c.rows.size(); ++k) {
            const validation::RelativesRow& line = c.rows[k];
            std::string genotypes;
            for (std::size_t p = 0; p < c.persons.size() && p < line.genotypes.size(); ++p)
                genotypes += (p ? ", " : "") + c.persons[p] + " " + line.genotypes[p];
            const bool agrees = line.problems.empty();
            html += row({k == 0 ? std::to_string(i + 1) : std::string(),
                         k == 0 ? validation::constellationText(c.drawn) : std::string(), line.locus, genotypes,
                         line.formula + (line.lr.empty() ? std::string() : "; LR " + line.lr),
                         validation::independentText(line.independent), agrees ? "да" : "НЕТ"},
                        agrees ? nullptr : "#ffd8d8");
            if (!agrees) {
                std::string problems;
                for (const std::string& p : line.problems)
                    problems += (problems.empty() ? "" : "; ") + p;
                html += QStringLiteral("<tr><td></td><td colspan=\"6\">%1</td></tr>").arg(qs(problems));
            }
        }
    }
    return html + QStringLiteral("</table>");
}

// The section of the deficiency cases: how they are computed, one round of the rotation (every
// constellation as a trio and a duo) and every disagreement.
QString relativesSection(const validation::ValidationResult& r)
{
    QString html = heading("Дела с родственниками (предполагаемый отец не типирован)", true);
    if (!r.relativesSkipped.empty())
        return html + QStringLiteral("<p>%1.</p>").arg(qs(r.relativesSkipped));
    std::string loci;
    for (const std::string& locus : r.relativesLoci)
        loci += (loci.empty() ? "" : ", ") + locus;
    html += QStringLiteral("<p>Семьи составлены случайно в каждом сочетании родственников, трио и дуо, и рассчитаны "
                           "программой так же, как командой kinship. Второй расчёт - отношение правдоподобий "
                           "родословной, сумма по генотипам всех нетипированных лиц по всей таблице локуса (с "
                           "минимальной частотой и моделью мутаций, когда они включены). Перебор медленный, поэтому "
                           "семьи типированы по локусам с наименьшим числом аллелей: %1. Дел: %2, расхождений: "
                           "%3.</p>")
                .arg(qs(loci))
                .arg(r.relatives.size())
                .arg(r.relativesDisagreements.size());
    std::vector<std::size_t> round;
    for (std::size_t i = 0; i < r.relatives.size() && i < 2 * validation::relativesConstellations().size(); ++i)
        round.push_back(i);
    html += heading("Дела с родственниками: каждое сочетание, трио и дуо (" + std::to_string(round.size()) + ")");
    html += relativesTable(r, round);
    if (!r.relativesDisagreements.empty()) {
        std::vector<std::size_t> listed(
            r.relativesDisagreements.begin(),
            r.relativesDisagreements.begin()
                + static_cast<std::ptrdiff_t>(std::min(r.relativesDisagreements.size(), kListedDisagreements)));
        html += heading("Дела с родственниками: расхождения (" + std::to_string(r.relativesDisagreements.size()) + ")");
        html += relativesTable(r, listed);
    }
    return html;
}

} // namespace

QString validationHtml(const validation::ValidationProtocol& protocol)
{
    const validation::ValidationResult& r = protocol.result;
    QString html;
    // The cover: title, identity, verdict.
    html += QStringLiteral("<p style=\"font-size: 15pt; font-weight: bold; margin-bottom: 12px;\">%1</p>")
                .arg(qs(validation::kProtocolTitle));
    html += QStringLiteral("<table cellspacing=\"0\" cellpadding=\"2\">");
    for (const auto& line : protocol.identity)
        infoLine(html, line.label, line.value);
    html += QStringLiteral("</table>");
    html += heading("Заключение");
    html += QStringLiteral("<p style=\"font-weight: bold; color: %1;\">%2</p>")
                .arg(protocol.passed() ? QStringLiteral("#000000") : QStringLiteral("#b00000"),
                     qs(validation::verdictText(protocol)));
    html += QStringLiteral("<p>Каждый случай рассчитан программой так же, как в окне и командой batch (от текстов "
                           "генотипов до текстов строки результатов), и независимо: как отношение правдоподобий "
                           "родословной при отцовстве предполагаемого отца и случайного мужчины, с перебором "
                           "аллелей, переданных родителями (с моделью мутаций и минимальной частотой, когда они "
                           "включены). Сравниваются вердикт, LR до относительной разницы %1, текст LR, формула и "
                           "частоты.</p>")
                .arg(qs(validation::differenceText(validation::kAgreement)));

    html += QStringLiteral("<p>Таблицы частот сверены с файлом, из которого они записаны (прочитан программой "
                           "импорта), аллель за аллелью; настройки прочитаны второй раз простым разбором строк файла; "
                           "PE каждого случая сверена с суммой по всем генотипам случайного мужчины; в сложенных "
                           "случаях CPI сверен с произведением текстов LR, вероятность отцовства — с формулой Байеса "
                           "при pp 0,1, 0,5 и 0,9, CPE — с 1 − П(1 − PE). Дела с родственниками (предполагаемый отец "
                           "не типирован) сверены "
                           "по LR каждого локуса и вердикту с суммой по генотипам всех нетипированных лиц.</p>");

    html += heading("Сверка таблиц с источником");
    html += QStringLiteral("<p>%1</p>").arg(qs(protocol.source.summary()));
    if (!protocol.source.differences.empty()) {
        html += QStringLiteral("<ul>");
        for (const std::string& d : protocol.source.differences)
            html += QStringLiteral("<li style=\"color: #b00000;\">%1</li>").arg(qs(d));
        html += QStringLiteral("</ul>");
    }
    html += heading("Настройки, как их поняла программа");
    html += tableStart({{"Строка", 52}, {"Программа", 16}, {"Второе чтение", 16}, {"Совп.", 16}});
    for (const auto& line : protocol.settings.lines)
        html += row({line.line, line.program, line.plain, line.agrees ? "да" : "НЕТ"},
                    line.agrees ? nullptr : "#ffd8d8");
    html += QStringLiteral("</table>");
    if (!protocol.settings.problem.empty())
        html += QStringLiteral("<p style=\"color: #b00000;\">%1</p>").arg(qs(protocol.settings.problem));

    html += heading("Согласие");
    html += QStringLiteral("<table cellspacing=\"0\" cellpadding=\"2\">");
    std::string cases = std::to_string(r.cases.size());
    if (r.drawnOnPurpose > 0)
        cases += " (из них " + std::to_string(r.drawnOnPurpose) + " составлены для недостигнутых исходов)";
    infoLine(html, "Случаев", cases);
    infoLine(html, "Совпали", std::to_string(r.agreeing));
    infoLine(html, "Расхождений", std::to_string(r.disagreements.size()));
    infoLine(html, "Наибольшее относительное расхождение LR",
             validation::differenceText(r.largestRelativeDifference)
                 + (r.largestAt > 0 ? " (случай " + std::to_string(r.largestAt) + ")" : std::string()));
    infoLine(html, "PE сверена (сумма по генотипам)", std::to_string(r.peCompared));
    infoLine(html, "Сложенных случаев (CPI, W, CPE)",
             std::to_string(r.combined.size()) + ", расхождений " + std::to_string(r.combinedDisagreements.size()));
    infoLine(html, "Дел с родственниками (LR локусов, вердикт)",
             std::to_string(r.relatives.size()) + ", расхождений " + std::to_string(r.relativesDisagreements.size()));
    html += QStringLiteral("</table>");

    html += heading("Охват: правила таблицы формул", true);
    html += tableStart({{"Правило", 12}, {"Условие", 70}, {"Случаев", 18}});
    for (const auto& line : r.rules)
        html += row({line.rule, line.condition, std::to_string(line.cases)}, line.cases == 0 ? "#ffd8d8" : nullptr);
    html += QStringLiteral("</table>");

    html += heading("Охват: исходы программы");
    html += tableStart({{"Случай", 15}, {"Формула или вердикт", 55}, {"Случаев", 30}});
    for (const auto& line : r.coverage)
        html += row({line.trio ? "трио" : "дуо", line.outcome + (line.expected ? "" : " (вне перечня)"),
                     std::to_string(line.cases)},
                    line.cases == 0 ? "#ffd8d8" : nullptr);
    html += QStringLiteral("</table>");
    std::string unreached;
    for (const std::string& u : r.unreached)
        unreached += (unreached.empty() ? "" : "; ") + u;
    html += QStringLiteral("<p>Не достигнуты: %1</p>").arg(qs(unreached.empty() ? "нет" : unreached));
    html += heading("Охват: особенности случаев");
    html += tableStart({{"Особенность", 70}, {"Случаев", 30}});
    for (const auto& f : r.features)
        html += row({f.feature, std::to_string(f.cases)});
    html += QStringLiteral("</table>");

    html += heading("Таблицы частот");
    html += tableStart({{"Локус", 30}, {"Аллелей", 15}, {"Сумма частот", 25}, {"Наименьшая частота (аллель)", 30}});
    for (const auto& locus : protocol.tables.loci)
        html += row({locus.locus, std::to_string(locus.alleles), comma(locus.sum, 4),
                     comma(locus.smallest, 4) + " (" + locus.smallestLabel + ")"});
    html += QStringLiteral("</table>");
    html += heading("Частоты аллелей, как их прочитала программа");
    for (const auto& locus : protocol.tables.loci) {
        std::string alleles;
        for (const auto& [label, frequency] : locus.frequencies)
            alleles += (alleles.empty() ? "" : "; ") + label + " " + comma(frequency, 4);
        html += QStringLiteral("<p style=\"font-size: 7.5pt; margin: 2px 0;\"><b>%1:</b> %2</p>")
                    .arg(qs(locus.locus), qs(alleles));
    }
    html += heading("Предупреждения о таблицах");
    if (protocol.warnings.empty())
        html += QStringLiteral("<p>Нет.</p>");
    else {
        html += QStringLiteral("<ul>");
        for (const std::string& w : protocol.warnings)
            html += QStringLiteral("<li>%1</li>").arg(qs(w));
        html += QStringLiteral("</ul>");
    }

    std::vector<std::size_t> sample;
    for (std::size_t i = 0; i < r.cases.size() && i < kSampleCases; ++i)
        sample.push_back(i);
    html += heading("Случаи: первые " + std::to_string(sample.size()), true);
    html += casesTable(r, sample);
    if (!r.disagreements.empty()) {
        std::vector<std::size_t> listed(
            r.disagreements.begin(),
            r.disagreements.begin()
                + static_cast<std::ptrdiff_t>(std::min(r.disagreements.size(), kListedDisagreements)));
        html += heading("Расхождения: " + std::to_string(r.disagreements.size()), true);
        html += casesTable(r, listed);
        if (listed.size() < r.disagreements.size())
            html += QStringLiteral("<p>Показаны первые %1; все - в выводе команды (--format json).</p>")
                        .arg(listed.size());
    }
    html += heading("Сложенные случаи", true);
    html += tableStart(
        {{"№", 5}, {"Случай", 25}, {"Локусов", 8}, {"CPI программы", 22}, {"Произведение LR", 20}, {"Совп.", 20}});
    for (std::size_t i = 0; i < r.combined.size(); ++i) {
        const validation::CombinedCase& c = r.combined[i];
        std::string cpi = c.cpiText.substr(std::min(c.cpiText.size(), c.cpiText.find('=') + 1));
        char product[40];
        std::snprintf(product, sizeof product, "%.6Lg", c.independentCpi);
        html += row(
            {std::to_string(i + 1), c.kind, std::to_string(c.loci.size()), cpi, product, c.agrees() ? "да" : "НЕТ"},
            c.agrees() ? nullptr : "#ffd8d8");
        if (!c.agrees()) {
            std::string problems;
            for (const std::string& p : c.problems)
                problems += (problems.empty() ? "" : "; ") + p;
            html += QStringLiteral("<tr><td></td><td colspan=\"5\">%1</td></tr>").arg(qs(problems));
        }
    }
    html += QStringLiteral("</table>");
    html += relativesSection(r);
    html += QStringLiteral("<p style=\"margin-top: 36px;\">%1</p>").arg(qs(kValidationSignature));
    return html;
}

QByteArray renderValidationPdf(const validation::ValidationProtocol& protocol)
{
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        throw ReportError("Протокол не составлен: нет графической подсистемы Qt для шрифтов");
    QByteArray pdf;
    QBuffer buffer(&pdf);
    buffer.open(QIODevice::WriteOnly);
    const QString title = QString::fromUtf8(validation::kProtocolTitle);
    PdfPages pdfPages(buffer, title, QStringLiteral("paternity-index"),
                      title + QStringLiteral(", ") + QString::fromStdString(protocol.madeAt));
    const std::unique_ptr<QTextDocument> document = pdfPages.document(validationHtml(protocol));
    const int pages = document->pageCount();

    if (!pdfPages.begin())
        throw ReportError("Протокол не составлен: PDF не создан");
    for (int p = 0; p < pages; ++p)
        pdfPages.drawPage(*document, p, p + 1, pages);
    if (!pdfPages.end())
        throw ReportError("Протокол не составлен: PDF не завершён");
    return pdf;
}

void writeValidationPdf(const validation::ValidationProtocol& protocol, const std::filesystem::path& path)
{
    writePdfFile(
        path, [&] { return renderValidationPdf(protocol); },
        [&](const std::string& reason) { return "Протокол «" + path.string() + "» не сохранён: " + reason; });
}

} // namespace report
