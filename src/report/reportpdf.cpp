// SPDX-License-Identifier: GPL-3.0-or-later
#include "reportpdf.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QGuiApplication>
#include <QTextDocument>
#include <QTextTable>
#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

#include "report/pdfpages.h"
#include "report/reportdocument.h"
#include "report/reporttexts.h"

namespace report {
namespace {

QString qs(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// What one sheet of the report holds: the front on the first, rows first..last - 1 of the
// table under its header, the back on the last.
struct PageContent {
    std::size_t first = 0;
    std::size_t last = 0;
    bool front = false;
    bool back = false;
};

QString pageHtml(const CaseReport& report, const PageContent& content)
{
    QString html;
    if (content.front)
        html += frontHtml(report);
    if (content.first < content.last || (content.front && report.rows.empty()))
        html += tableHtml(report, content.first, content.last);
    if (content.back)
        html += backHtml(report);
    return html;
}

// Puts whole rows on pages: each page takes as many rows as fit under the header, so no row is
// ever split between two pages; the back follows the last row, on a page of its own if it must.
std::vector<PageContent> paginate(const CaseReport& report, const std::function<bool(const PageContent&)>& fits)
{
    std::vector<PageContent> pages;
    const std::size_t rows = report.rows.size();
    PageContent content{0, 0, true, false};
    for (;;) {
        while (content.last < rows) {
            PageContent more = content;
            ++more.last;
            const bool fitting = fits(more);
            if (!fitting && content.last > content.first)
                break;
            content = more; // a row that fits no page at all still gets one of its own
            if (!fitting)
                break;
        }
        if (content.last == rows) {
            PageContent closing = content;
            closing.back = true;
            if (fits(closing) || (content.first == content.last && !content.front)) {
                pages.push_back(closing);
                return pages;
            }
        }
        pages.push_back(content);
        content = PageContent{content.last, content.last, false, false};
    }
}

// Heights in the writer's pixels of the parts of a sheet, measured once on the whole report laid
// out in one piece (the table's columns are fixed shares of the width, so a row is as high on any
// page as there).
struct PageHeights {
    qreal front = 0; // down to the table
    qreal header = 0; // the table's header row
    std::vector<qreal> rows;
    qreal tableEnd = 0; // the table's bottom border
    qreal back = 0; // below the table

    qreal of(const PageContent& c) const
    {
        qreal h = (c.front ? front : 0) + (c.back ? back : 0);
        if (c.first < c.last)
            h += header + tableEnd;
        for (std::size_t r = c.first; r < c.last && r < rows.size(); ++r)
            h += rows[r];
        return h;
    }
};

// `whole` is laid out as one endless page of the body's width.
PageHeights measure(const CaseReport& report, QTextDocument& whole)
{
    PageHeights heights;
    const qreal total = whole.size().height();
    QTextTable* table = nullptr;
    if (!report.rows.empty()) {
        // The results table is the last table of the front and the table part.
        for (QTextFrame* frame : whole.rootFrame()->childFrames())
            if (auto* t = qobject_cast<QTextTable*>(frame); t && t->columns() == static_cast<int>(report.header.size()))
                table = t;
    }
    if (!table) {
        heights.front = total;
        return heights;
    }
    QAbstractTextDocumentLayout* layout = whole.documentLayout();
    const QRectF frame = layout->frameBoundingRect(table);
    auto rowTop = [&](int row) {
        qreal top = frame.bottom();
        for (int c = 0; c < table->columns(); ++c)
            top = std::min(top, layout->blockBoundingRect(table->cellAt(row, c).firstCursorPosition().block()).top());
        return top;
    };
    std::vector<qreal> tops;
    for (int r = 0; r < table->rows(); ++r)
        tops.push_back(rowTop(r));
    tops.push_back(frame.bottom());
    heights.front = tops[0];
    heights.header = tops[1] - tops[0];
    for (int r = 1; r < table->rows(); ++r)
        heights.rows.push_back(tops[r + 1] - tops[r]);
    heights.tableEnd = 0;
    heights.back = total - frame.bottom();
    return heights;
}

} // namespace

QByteArray renderReportPdf(const CaseReport& report)
{
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        throw ReportError("Отчёт не составлен: нет графической подсистемы Qt для шрифтов");

    QByteArray pdf;
    QBuffer buffer(&pdf);
    buffer.open(QIODevice::WriteOnly);
    PdfPages pdfPages(buffer, qs(kTitle), QString::fromStdString(report.program),
                      qs(kTitle) + QStringLiteral(", ") + QString::fromStdString(report.madeAt));
    std::unique_ptr<QTextDocument> whole
        = pdfPages.document(frontHtml(report) + tableHtml(report, 0, report.rows.size()) + backHtml(report),
                            QSizeF(pdfPages.bodySize().width(), -1));
    const PageHeights heights = measure(report, *whole);
    // A little room for the rounding of borders and paragraph spacing between the measured parts.
    const qreal room = pdfPages.bodySize().height() * 0.98;
    const std::vector<PageContent> contents
        = paginate(report, [&](const PageContent& c) { return heights.of(c) <= room; });
    // Sheets and how many pages each fills. A report on one sheet is the measured document itself:
    // its text fits the page, so it lies there as it would in a document of the page's size, and
    // it is not laid out a second time.
    std::vector<std::pair<std::unique_ptr<QTextDocument>, int>> sheets;
    if (contents.size() == 1 && contents[0].first == 0 && contents[0].last == report.rows.size() && contents[0].front
        && contents[0].back)
        sheets.emplace_back(std::move(whole), 1);
    else
        for (const PageContent& content : contents) {
            auto sheet = pdfPages.document(pageHtml(report, content));
            const int count = sheet->pageCount();
            sheets.emplace_back(std::move(sheet), count);
        }
    // A row taller than a page (a text of thousands of characters) is the one case where Qt's
    // own page breaking splits a sheet over several pages.
    int pages = 0;
    for (const auto& sheet : sheets)
        pages += sheet.second;

    if (!pdfPages.begin())
        throw ReportError("Отчёт не составлен: PDF не создан");
    int number = 0;
    for (const auto& [sheet, count] : sheets) {
        for (int p = 0; p < count; ++p)
            pdfPages.drawPage(*sheet, p, ++number, pages);
    }
    if (!pdfPages.end())
        throw ReportError("Отчёт не составлен: PDF не завершён");
    return pdf;
}

void writeReportPdf(const CaseReport& report, const std::filesystem::path& path)
{
    writePdfFile(
        path, [&] { return renderReportPdf(report); },
        [&](const std::string& reason) { return "Отчёт «" + path.string() + "» не сохранён: " + reason; });
}

} // namespace report
