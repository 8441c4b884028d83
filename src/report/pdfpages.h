// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The page of the program's PDFs, the case report and the validation protocol alike: A4
// portrait, margins wider on the left for binding into a file, DejaVu Sans embedded (so Cyrillic
// shows on any reader), and at the foot of every page a rule, the document's title and time on
// the left and "Страница N из M" on the right. A body is a QTextDocument laid out on the writer
// and cut into slices as high as a page's body.
#include <QFont>
#include <QPainter>
#include <QPdfWriter>
#include <QString>
#include <QTextDocument>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace report {

class PdfPages {
public:
    // Pages written to `out`, with `title` as the PDF's title, `creator` as its creator and
    // `footerText` at the left of every footer.
    PdfPages(QIODevice& out, const QString& title, const QString& creator, const QString& footerText);

    // Width and height of a page's body above the footer, in the writer's pixels.
    QSizeF bodySize() const { return m_page; }

    // A document that holds `html` in the body font, laid out for these pages. A text longer
    // than its column (a locus name from a lab's workbook) breaks inside the word rather than run
    // into the next column or off the page. `pageSize` (default: bodySize()) is set before the
    // text goes in, so the document is laid out once rather than once per setting.
    std::unique_ptr<QTextDocument> document(const QString& html, std::optional<QSizeF> pageSize = std::nullopt);

    // Painting starts after the documents are laid out; false when the PDF cannot be made.
    bool begin() { return m_painter.begin(&m_writer); }

    // Page `slice` (from 0) of `document` with its footer, as page `number` of `pages`; every
    // page after the first starts a new sheet.
    void drawPage(const QTextDocument& document, int slice, int number, int pages);

    // Finishes the PDF; false when it could not be completed.
    bool end() { return m_painter.end(); }

private:
    QPdfWriter m_writer;
    QPainter m_painter;
    QRectF m_body; // the printable part of a page inside the margins
    QFont m_footerFont;
    qreal m_footerBand = 0; // the footer's height at the bottom of m_body
    QSizeF m_page; // m_body less the footer band
    QString m_footerText;
    bool m_started = false;
};

// Writes the PDF `render` makes to `path` through a temporary file in its folder that replaces
// `path` only once it is complete and flushed, so a failed write leaves neither a partial file
// nor a damaged old one. A failure throws ReportError with failedMessage(reason).
void writePdfFile(const std::filesystem::path& path, const std::function<QByteArray()>& render,
                  const std::function<std::string(const std::string& reason)>& failedMessage);

} // namespace report
