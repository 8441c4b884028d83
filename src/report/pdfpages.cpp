// SPDX-License-Identifier: GPL-3.0-or-later
#include "pdfpages.h"

#include <QAbstractTextDocumentLayout>
#include <QFontMetricsF>
#include <cerrno>
#include <cstring>
#include <string_view>

#include "archive/filereplacement.h"
#include "report/reportdocument.h"
#include "report/reportpdf.h"

namespace report {
namespace {

// Millimetres: a wider left margin leaves room for binding the document into a case file.
const QMarginsF kMargins(20, 15, 10, 15);
// Layout resolution of the PDF (dots per inch); text and lines stay vectors.
constexpr int kResolution = 300;
constexpr qreal kBodyPoints = 9.5;
constexpr qreal kFooterPoints = 8;

QFont pageFont(qreal points)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSizeF(points);
    return font;
}

} // namespace

PdfPages::PdfPages(QIODevice& out, const QString& title, const QString& creator, const QString& footerText)
    : m_writer(&out), m_footerFont(pageFont(kFooterPoints)), m_footerText(footerText)
{
    m_writer.setPageLayout(
        QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, kMargins, QPageLayout::Millimeter));
    m_writer.setResolution(kResolution);
    m_writer.setTitle(title);
    m_writer.setCreator(creator);
    m_body = m_writer.pageLayout().paintRectPixels(kResolution);
    m_footerBand = QFontMetricsF(m_footerFont, &m_writer).height() * 2.5;
    m_page = QSizeF(m_body.width(), m_body.height() - m_footerBand);
}

std::unique_ptr<QTextDocument> PdfPages::document(const QString& html, std::optional<QSizeF> pageSize)
{
    auto d = std::make_unique<QTextDocument>();
    d->documentLayout()->setPaintDevice(&m_writer);
    d->setDefaultFont(pageFont(kBodyPoints));
    QTextOption option = d->defaultTextOption();
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    d->setDefaultTextOption(option);
    d->setDocumentMargin(0);
    // Every setting above and the page size relay the whole text out when it is already there.
    d->setPageSize(pageSize.value_or(m_page));
    d->setHtml(html);
    return d;
}

void PdfPages::drawPage(const QTextDocument& document, int slice, int number, int pages)
{
    if (m_started)
        m_writer.newPage();
    m_started = true;
    m_painter.save();
    const QRectF area(0, slice * m_page.height(), m_page.width(), m_page.height());
    m_painter.translate(0, -area.top());
    m_painter.setClipRect(area);
    QAbstractTextDocumentLayout::PaintContext context;
    context.clip = area;
    document.documentLayout()->draw(&m_painter, context);
    m_painter.restore();

    m_painter.setFont(m_footerFont);
    m_painter.setPen(QPen(Qt::black, 0));
    const QRectF footer(0, m_body.height() - m_footerBand, m_body.width(), m_footerBand);
    const qreal rule = footer.top() + m_footerBand * 0.3;
    m_painter.drawLine(QPointF(0, rule), QPointF(m_body.width(), rule));
    m_painter.drawText(footer, Qt::AlignLeft | Qt::AlignBottom, m_footerText);
    m_painter.drawText(footer, Qt::AlignRight | Qt::AlignBottom, pageFooter(number, pages));
}

void writePdfFile(const std::filesystem::path& path, const std::function<QByteArray()>& render,
                  const std::function<std::string(const std::string& reason)>& failedMessage)
{
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec))
        throw ReportError(failedMessage("это папка"));
    QByteArray pdf;
    try {
        pdf = render();
    } catch (const ReportError& e) {
        throw ReportError(failedMessage(e.what()));
    }
    // Written with every step checked, so a full disk is named as such (QSaveFile reported
    // "Unknown error" for a failed flush).
    if (const int error
        = archive::replaceFile(path, std::string_view(pdf.constData(), static_cast<std::size_t>(pdf.size())))) {
        const std::string reason = std::strerror(error);
        throw ReportError(failedMessage(error == EACCES || error == ENOENT || error == EROFS
                                            ? "нельзя создать файл в его папке (" + reason + ")"
                                            : "ошибка записи (" + reason + ")"));
    }
}

} // namespace report
